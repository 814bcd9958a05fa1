#pragma once
// The start-up step that runs once the main window is up: it refuses to start
// during a backup or restore, registers this copy's presence in the shared data
// folder, settles the lock identity and offers the tip of the day.
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/Presence.h"

#include <functional>
#include <string>

namespace hv {

// The login name of the session; empty when it cannot be found.
using UserNameProvider = std::function<std::string()>;

struct StartupCallbacks {
    // Shows the tip of the day window modally for the given tip file.
    std::function<void(const std::string& tipFile)> showTips;
    // Asks the main window to close in order, which ends the program.
    std::function<void()> closeMainWindow;
    // Wait cursor on (true) or off; it is off before any message is shown.
    std::function<void(bool)> waitCursor;
};


enum class StartupOutcome {
    Started,               // identity settled, started flag set
    MaintenanceInProgress, // refused: a backup or restore runs; the window closes
    NoFreeSlot,            // refused: every presence slot is held; the window closes
};

class DeferredStartup {
public:
    DeferredStartup(THourvaneDataMod& dm, AppState& state, UserNameProvider userName,
                    StartupCallbacks callbacks, std::string settingsFileName = "Hourvane3.ini");

    StartupOutcome run();

private:
    THourvaneDataMod& m_dm;
    AppState& m_state;
    UserNameProvider m_userName;
    StartupCallbacks m_callbacks;
    std::string m_settingsFileName;
};

} // namespace hv
