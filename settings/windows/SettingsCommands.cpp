#include "settings/windows/SettingsCommands.h"

#include "platform/Shell.h"
#include "settings/windows/About.h"
#include "settings/windows/DayTip.h"
#include "storage/AppState.h"
#include "widgets/CommandRegistry.h"

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
}

} // namespace hv
