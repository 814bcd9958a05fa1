#pragma once
// The process-wide state of one running copy: created at start, alive until the
// process ends. Windows and records read it; the start-up and the manager
// access commands change it.
#include <string>

namespace hv {

struct AppState {
    // The name this copy writes into LockedBy: at most 15 characters.
    std::string lockIdentity;
    std::string applicationTitle = "Hourvane Standard";
    std::string programFolder;     // with a trailing separator; HOURVANE.TIP lives here
    std::string displayDateFormat; // for dates shown in windows
    int presenceSlot = 0;          // 1..1024 while held, else 0
    bool started = false;          // the deferred start-up step settled the identity
    bool managerAccess = false;
    bool migrationMode = false;    // started with CONVERTONLY
    std::string helpFile = "Hourvane3.hlp";

    // The display date format when one is set, else the regional one.
    std::string dateFormatShown() const;
};

// The copy's state. Tests reset it with resetAppState().
AppState& appState();
void resetAppState();

inline constexpr std::size_t kLockIdentityLength = 15;

} // namespace hv
