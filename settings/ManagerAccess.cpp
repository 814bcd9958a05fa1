#include "settings/ManagerAccess.h"

#include "settings/Password.h"

namespace hv {
namespace {

class PasswordWindow : public PasswordDialogs {
public:
    bool run(PasswordMode mode, THourvaneDataMod& dm, QWidget* owner) override
    {
        TfrmPassword window(dm, mode, owner);
        return window.exec() == QDialog::Accepted;
    }
};

PasswordWindow g_window;
PasswordDialogs* g_dialogs = nullptr;

} // namespace

void setPasswordDialogs(PasswordDialogs* d) { g_dialogs = d; }

PasswordDialogs& passwordDialogs() { return g_dialogs ? *g_dialogs : g_window; }

} // namespace hv
