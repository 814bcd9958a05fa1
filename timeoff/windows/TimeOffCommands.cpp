#include "timeoff/windows/TimeOffCommands.h"

#include "storage/CursorService.h"
#include "timeoff/windows/TimeOff.h"
#include "widgets/CommandRegistry.h"

namespace hv {

void RegisterTimeOffWindows(CommandRegistry& registry)
{
    // The window opens on the selected employee and the shown week; afterwards
    // the shown week takes its time off again.
    registry.add({"cmdTimeOff", "mnuEditTimeOff"},
                 {[](CommandContext& c) {
                      ShowWaitCursor();
                      TfrmTimeOff window(c.dm, c.state, c.employeeName, c.weekEndText, c.settingsFileName, c.owner);
                      RestoreCursor();
                      window.exec();
                  },
                  refresh::WeekTimeOff});
}

} // namespace hv
