#include "exchange/windows/ExchangeCommands.h"

#include "exchange/ImportAccess.h"
#include "exchange/windows/Import.h"
#include "ports/CursorService.h"
#include "widgets/CommandRegistry.h"

namespace hv {

void RegisterExchangeWindows(CommandRegistry& registry)
{
    // The import needs the database to itself for as long as its wizard is
    // open; afterwards the main window lists the employees again.
    registry.add({"mnuFileImport"}, {[](CommandContext& c) {
                                         ImportAccess access(c.dm);
                                         if (!access.granted())
                                             return;
                                         // The shown week's pending changes are settled before the
                                         // import may replace its rows.
                                         if (c.week && !c.week->settleChanges({}))
                                             return;
                                         ShowWaitCursor();
                                         TfrmImport wizard(c.dm, c.state, c.fileDialogs, c.settingsFileName, c.owner);
                                         RestoreCursor();
                                         wizard.exec();
                                         if (wizard.imported() && c.week)
                                             c.week->reload(); // its rows may have been replaced
                                     },
                                     refresh::EmployeeList});
}

} // namespace hv
