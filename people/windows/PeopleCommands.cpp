#include "people/windows/PeopleCommands.h"

#include "people/windows/Depts.h"
#include "people/windows/Emp.h"
#include "ports/CursorService.h"
#include "widgets/CommandRegistry.h"
#include "widgets/PickDate.h"

namespace hv {

void RegisterPeopleWindows(CommandRegistry& registry)
{
    // Employees may have been added, renamed, moved in time or deleted: the
    // main window refills its list and shows the selected employee's week again.
    registry.add({"mnuEditEmployees"}, {[](CommandContext& c) {
                                            DialogDatePicker picker;
                                            ShowWaitCursor();
                                            TfrmEmp window(c.dm, c.state, picker, c.settingsFileName, c.owner);
                                            RestoreCursor();
                                            window.exec();
                                        },
                                        refresh::EmployeeList | refresh::Reselect});
    registry.add({"mnuEditDepartments"}, {[](CommandContext& c) {
                     TfrmDepts window(c.dm, c.state, c.owner);
                     window.exec();
                 }});
}

} // namespace hv
