#include "widgets/PasswordDialogs.h"

#include "storage/AppState.h"

namespace hv {
namespace {

class NoPasswordWindow : public PasswordDialogs {
public:
    bool run(PasswordMode, THourvaneDataMod&, QWidget*) override { return false; }
};

NoPasswordWindow g_none;
PasswordDialogs* g_dialogs = nullptr;

} // namespace

void setPasswordDialogs(PasswordDialogs* d) { g_dialogs = d; }

PasswordDialogs& passwordDialogs() { return g_dialogs ? *g_dialogs : g_none; }

bool RequestManagerAccess(AppState& state, THourvaneDataMod& dm, QWidget* owner)
{
    if (!state.managerAccess && passwordDialogs().run(PasswordMode::Access, dm, owner))
        state.managerAccess = true;
    return state.managerAccess;
}

} // namespace hv
