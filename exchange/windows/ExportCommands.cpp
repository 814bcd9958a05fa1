#include "exchange/windows/ExportCommands.h"

#include "exchange/windows/Export.h"
#include "ports/CursorService.h"
#include "widgets/CommandRegistry.h"
#include "widgets/PickDate.h"

namespace hv {

void RegisterExportWindows(CommandRegistry& registry)
{
    registry.add({"mnuFileExport"}, {[](CommandContext& c) {
                                         ShowWaitCursor();
                                         DialogDatePicker picker;
                                         TfrmExport wizard(c.dm, c.state, c.fileDialogs, picker, c.settingsFileName,
                                                           c.owner);
                                         RestoreCursor();
                                         wizard.exec();
                                     },
                                     refresh::None});
}

} // namespace hv
