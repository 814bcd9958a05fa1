#include "storage/Presence.h"

#include "engine/Table.h"
#include "storage/AppState.h"

namespace hv {

SingleAttempt::SingleAttempt(engine::Database& db)
    : m_db(db), m_retryCount(db.lockRetryCount()), m_waitTime(db.lockWaitTime())
{
    m_db.setLockRetryCount(0);
    m_db.setLockWaitTime(0);
}

SingleAttempt::~SingleAttempt()
{
    m_db.setLockRetryCount(m_retryCount);
    m_db.setLockWaitTime(m_waitTime);
}

bool TakeMaintenanceMarker(THourvaneDataMod& dm)
{
    SingleAttempt once(dm.HourvaneDB);
    return dm.tblReasons.holdsSemaphore(kMaintenanceSemaphore) || dm.tblReasons.lockSemaphore(kMaintenanceSemaphore);
}

void ReleaseMaintenanceMarker(THourvaneDataMod& dm)
{
    if (dm.tblReasons.holdsSemaphore(kMaintenanceSemaphore))
        dm.tblReasons.unlockSemaphore(kMaintenanceSemaphore);
}

bool MaintenanceInProgress(THourvaneDataMod& dm)
{
    if (dm.tblReasons.holdsSemaphore(kMaintenanceSemaphore))
        return false; // our own
    SingleAttempt once(dm.HourvaneDB);
    if (!dm.tblReasons.lockSemaphore(kMaintenanceSemaphore))
        return true;
    dm.tblReasons.unlockSemaphore(kMaintenanceSemaphore); // only a test: never kept
    return false;
}

int TakePresenceSlot(THourvaneDataMod& dm)
{
    SingleAttempt once(dm.HourvaneDB);
    for (int slot = 1; slot <= kPresenceSlotCount; ++slot)
        if (!dm.tblUsers.holdsSemaphore(slot) && dm.tblUsers.lockSemaphore(slot))
            return slot;
    return 0;
}

void ReleasePresenceSlot(THourvaneDataMod& dm, AppState& state)
{
    if (state.presenceSlot <= 0)
        return;
    dm.tblUsers.unlockSemaphore(state.presenceSlot);
    state.presenceSlot = 0;
}

int OtherCopiesPresent(THourvaneDataMod& dm)
{
    // This copy's own slot does not conflict with its own lock test.
    return dm.tblUsers.semaphoresHeldElsewhere(1, kPresenceSlotCount);
}

} // namespace hv
