#pragma once
// The commands of the time off windows, registered for the main window.
namespace hv {

class CommandRegistry;

// "cmdTimeOff" and "mnuEditTimeOff": the Employee Time Off window;
// "mnuEditReasons": the Time Off Reasons window; "mnuEditBenefitPolicies":
// the Benefit Policy Wizard.
void RegisterTimeOffWindows(CommandRegistry& registry);

} // namespace hv
