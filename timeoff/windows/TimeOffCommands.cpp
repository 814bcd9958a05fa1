#include "timeoff/windows/TimeOffCommands.h"

#include "ports/CursorService.h"
#include "timeoff/windows/Reasons.h"
#include "timeoff/windows/TimeOff.h"
#include "timeoff/windows/Wizard.h"
#include "widgets/CommandRegistry.h"

namespace hv {

void RegisterTimeOffWindows(CommandRegistry& registry)
{
    // The window opens on the selected employee and the shown week; afterwards
    // the shown week takes its time off again.
    registry.add({"cmdTimeOff", "mnuEditTimeOff"}, {[](CommandContext& c) {
                                                        ShowWaitCursor();
                                                        TfrmTimeOff window(c.dm, c.state, c.employeeID, c.weekEnd,
                                                                           c.settingsFileName, c.owner);
                                                        RestoreCursor();
                                                        window.exec();
                                                    },
                                                    refresh::WeekTimeOff});
    // Reasons may have been added, renamed or deleted with their time off:
    // the pop-up menu and the shown week's time off follow.
    registry.add({"mnuEditReasons"}, {[](CommandContext& c) {
                                          TfrmReasons window(c.dm, c.state, c.owner);
                                          window.exec();
                                      },
                                      refresh::ReasonMenu | refresh::WeekTimeOff});
    registry.add({"mnuEditBenefitPolicies"}, {[](CommandContext& c) {
                     TfrmPolicy window(c.dm, c.state, c.settingsFileName, c.owner);
                     window.exec();
                 }});
}

} // namespace hv
