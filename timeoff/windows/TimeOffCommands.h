#pragma once
// The commands of the time off windows, registered for the main window.
namespace hv {

class CommandRegistry;

// "cmdTimeOff" and "mnuEditTimeOff": the Employee Time Off window.
void RegisterTimeOffWindows(CommandRegistry& registry);

} // namespace hv
