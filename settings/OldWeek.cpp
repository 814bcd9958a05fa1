#include "settings/OldWeek.h"

#include "platform/Clock.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/AppState.h"

namespace hv {

bool IsOldWeek(double weekEnd, double today) { return today - weekEnd > 7; }

bool OldWeekChangeAllowed(double weekEnd, const AppState& state, const std::function<void()>& requestAccess,
                          const std::string& refusal)
{
    if (!IsOldWeek(weekEnd, clock().today()) || state.managerAccess)
        return true;
    RestoreCursor();
    if (requestAccess)
        requestAccess();
    if (state.managerAccess)
        return true;
    ShowMessageBox(refusal, MsgKind::Information);
    return false;
}

} // namespace hv
