#pragma once
// The commands of the settings windows, registered for the main window.
namespace hv {

class CommandRegistry;

// "mnuHelpTips": the tip of the day window; "mnuHelpAbout": the about window.
void RegisterSettingsWindows(CommandRegistry& registry);

} // namespace hv
