#include "app/DeferredStartup.h"

#include "platform/SettingsFile.h"
#include "platform/Shell.h"
#include "ports/MessageService.h"
#include "storage/Presence.h"

namespace hv {
namespace {

const char* const kNoSlotMessage =
    "Hourvane cannot start because 1024 copies of Hourvane are already using this database.  "
    "Please close Hourvane on another computer and try again.";

} // namespace

DeferredStartup::DeferredStartup(THourvaneDataMod& dm, AppState& state, UserNameProvider userName,
                                 StartupCallbacks callbacks, std::string settingsFileName)
    : m_dm(dm), m_state(state), m_userName(std::move(userName)), m_callbacks(std::move(callbacks)),
      m_settingsFileName(std::move(settingsFileName))
{
}

StartupOutcome DeferredStartup::run()
{
    auto cursor = [this](bool on) {
        if (m_callbacks.waitCursor)
            m_callbacks.waitCursor(on);
    };
    auto refuse = [&](const char* message, StartupOutcome outcome) {
        cursor(false);
        ShowMessageBox(message, MsgKind::Information, MsgButtons::Ok);
        if (m_callbacks.closeMainWindow)
            m_callbacks.closeMainWindow();
        return outcome;
    };

    cursor(true);
    if (MaintenanceInProgress(m_dm))
        return refuse(kMaintenanceMessage, StartupOutcome::MaintenanceInProgress);

    if (m_state.presenceSlot == 0)
        m_state.presenceSlot = TakePresenceSlot(m_dm);
    if (m_state.presenceSlot == 0)
        return refuse(kNoSlotMessage, StartupOutcome::NoFreeSlot);

    if (m_state.lockIdentity.empty()) {
        const std::string user = m_userName ? m_userName() : std::string();
        m_state.lockIdentity = !user.empty()
            ? CutToCharacters(user, kLockIdentityLength)
            : "*Hourvane" + std::to_string(m_state.presenceSlot);
    }

    // The identity is never empty here: the fallback always names the slot.
    m_state.started = true;
    const std::string showTips =
        SettingsFile(m_settingsFileName).read("Initialization", "ShowTips", "");
    cursor(false);
    // An empty value is as good as a missing one.
    if ((showTips.empty() || showTips == "0") && m_callbacks.showTips)
        m_callbacks.showTips(m_state.programFolder + "HOURVANE.TIP");
    return StartupOutcome::Started;
}

} // namespace hv
