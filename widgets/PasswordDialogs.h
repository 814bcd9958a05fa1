#pragma once
// Manager access as the windows ask for it: the password window through its
// port when the flag is not set yet. The caller sets nothing more; the flag
// is set here when the window grants access.
#include "ports/PasswordPrompt.h"

class QWidget;

namespace hv {

class THourvaneDataMod;
struct AppState;

// Opens the access window when the flag is not set; the flag is set when it
// grants access. Returns the flag afterwards.
bool RequestManagerAccess(AppState& state, THourvaneDataMod& dm, QWidget* owner);

} // namespace hv
