#pragma once
// The commands that open the people windows from the main window's menus.
namespace hv {

class CommandRegistry;

// "mnuEditEmployees" and "mnuEditDepartments".
void RegisterPeopleWindows(CommandRegistry& registry);

} // namespace hv
