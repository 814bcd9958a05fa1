#pragma once
// How running copies see each other through the shared data folder: one
// presence slot (a semaphore of the users table) per running copy, and the
// maintenance marker (a semaphore of the reasons table) held while a backup,
// restore or import needs the database to itself. Semaphores are always tried
// once, without waiting; the connection's retry settings come back on every
// path.
#include "storage/DataModule.h"

namespace hv {

struct AppState;

inline constexpr int kMaintenanceSemaphore = 1; // of tblReasons
inline constexpr int kPresenceSlotCount = 1024; // of tblUsers, one per running copy

// What a copy that starts while the marker is held shows before it ends.
inline constexpr const char* kMaintenanceMessage =
    "A Backup or Restore of the Hourvane database is in progress.  Please try again later.";

// Lock retry count and wait time 0 for a scope, put back however it ends.
class SingleAttempt {
public:
    explicit SingleAttempt(engine::Database& db);
    ~SingleAttempt();
    SingleAttempt(const SingleAttempt&) = delete;
    SingleAttempt& operator=(const SingleAttempt&) = delete;

private:
    engine::Database& m_db;
    int m_retryCount;
    int m_waitTime;
};

// The maintenance marker: true when taken (or already held by this copy).
bool TakeMaintenanceMarker(THourvaneDataMod& dm);
void ReleaseMaintenanceMarker(THourvaneDataMod& dm);
// True while another copy holds the marker (tested by taking and releasing it).
bool MaintenanceInProgress(THourvaneDataMod& dm);

// The lowest free presence slot, taken; 0 when every slot is held.
int TakePresenceSlot(THourvaneDataMod& dm);
// Lets go of the slot this copy holds (none: nothing happens).
void ReleasePresenceSlot(THourvaneDataMod& dm, AppState& state);

// Presence slots held by other copies; this copy's own slot, if any, is not
// counted, so a copy that has not taken its slot yet still sees every other.
int OtherCopiesPresent(THourvaneDataMod& dm);

} // namespace hv
