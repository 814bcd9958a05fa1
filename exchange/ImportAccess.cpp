#include "exchange/ImportAccess.h"

#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/Presence.h"

namespace hv {

ImportAccess::ImportAccess(THourvaneDataMod& dm) : m_dm(dm)
{
    if (!TakeMaintenanceMarker(dm)) {
        tell("Unable to lock the database to import data. Please try again later.", MsgKind::Information);
        return;
    }
    // Any slot but this copy's own is another copy: before the deferred
    // start-up step this copy holds none, so counting "two or more" would
    // let one other copy through.
    bool alone = false;
    try {
        alone = OtherCopiesPresent(dm) == 0;
    } catch (...) {
        ReleaseMaintenanceMarker(dm);
        throw;
    }
    if (!alone) {
        ReleaseMaintenanceMarker(dm);
        tell("Other users are currently accessing Hourvane and you must have exclusive access to import data. "
             "Please try again later.",
             MsgKind::Information);
        return;
    }
    m_granted = true;
}

ImportAccess::~ImportAccess()
{
    if (!m_granted)
        return;
    try {
        m_dm.ReopenTables(TableMode::Shared);
    } catch (...) {
    }
    try {
        ReleaseMaintenanceMarker(m_dm);
    } catch (...) {
    }
}

} // namespace hv
