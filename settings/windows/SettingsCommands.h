#pragma once
// The commands of the settings windows, registered for the main window.
namespace hv {

class CommandRegistry;

// "mnuHelpTips": the tip of the day window; "mnuHelpAbout": the about window;
// "mnuEditPreferences": the Preferences window, run by the main window's
// preferences flow.
void RegisterSettingsWindows(CommandRegistry& registry);

} // namespace hv
