#include "ports/PasswordPrompt.h"

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

} // namespace hv
