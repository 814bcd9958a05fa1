#pragma once
// How windows reach the manager password window: through a small service, so
// that tests can answer it and drive a whole flow. The program installs the
// real window at start; without one every request is refused. The caller sets
// the manager access flag when an Access run reports success.
class QWidget;

namespace hv {

class THourvaneDataMod;
struct AppState;

enum class PasswordMode { Access, Change };

class PasswordDialogs {
public:
    virtual ~PasswordDialogs() = default;
    // Opens the manager password window modally; true when access was granted
    // (Access) or the password changed (Change).
    virtual bool run(PasswordMode mode, THourvaneDataMod& dm, QWidget* owner) = 0;
};

// Null: none installed, every run answers false.
void setPasswordDialogs(PasswordDialogs* d);
PasswordDialogs& passwordDialogs();

// Opens the access window when the flag is not set; the flag is set when it
// grants access. Returns the flag afterwards.
bool RequestManagerAccess(AppState& state, THourvaneDataMod& dm, QWidget* owner);

} // namespace hv
