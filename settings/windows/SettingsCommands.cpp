#include "settings/windows/SettingsCommands.h"

#include "platform/Shell.h"
#include "ports/CursorService.h"
#include "settings/PreferenceRules.h"
#include "settings/windows/About.h"
#include "settings/windows/DayTip.h"
#include "settings/windows/Preferences.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "widgets/CommandRegistry.h"
#include "widgets/PickDate.h"

namespace hv {
namespace {

// The program's own version information.
std::string programVersion(const std::string& field) { return GetVersionString(ProgramFileName(), field); }

} // namespace

void RegisterSettingsWindows(CommandRegistry& registry)
{
    registry.add({"mnuHelpTips"}, {[](CommandContext& c) {
                     TfrmTips tips(c.state.programFolder + "HOURVANE.TIP", c.settingsFileName, c.owner);
                     tips.exec();
                 }});
    registry.add({"mnuHelpAbout"}, {[](CommandContext& c) {
                     TAboutBox about(&programVersion, c.owner, &ScaleToScreen);
                     about.setShowBuild(true);
                     about.setShowComments(false);
                     about.exec();
                 }});
    // The main window locks the shared settings before and stores and unlocks
    // them after; the command shows the window and takes the values over.
    registry.add({"mnuEditPreferences"}, {[](CommandContext& c) {
                     DialogDatePicker picker;
                     TfrmPreferences window(c.dm, c.state, globalSettings(), c.settingsLocked, picker, c.owner);
                     RestoreCursor();
                     if (window.exec() != QDialog::Accepted)
                         return;
                     const PreferenceChanges changed = TakeOverPreferences(globalSettings(), window.values());
                     c.settingsConfirmed = true;
                     if (changed.hourFormat)
                         c.refresh |= refresh::HourFormat;
                     if (changed.minuteRound)
                         c.refresh |= refresh::Times;
                     // The new week list selects the employee again, which
                     // also covers a changed overtime rule.
                     if (changed.firstDate)
                         c.refresh |= refresh::WeekEndList;
                     else if (changed.overtime)
                         c.refresh |= refresh::Reselect;
                     if (changed.timeFormat)
                         c.refresh |= refresh::TimeFormat | refresh::Times;
                 }});
}

} // namespace hv
