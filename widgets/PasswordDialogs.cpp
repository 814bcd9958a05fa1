#include "widgets/PasswordDialogs.h"

#include "storage/AppState.h"

namespace hv {

bool RequestManagerAccess(AppState& state, THourvaneDataMod& dm, QWidget* owner)
{
    if (!state.managerAccess && passwordDialogs().run(PasswordMode::Access, dm, owner))
        state.managerAccess = true;
    return state.managerAccess;
}

} // namespace hv
