#pragma once
// How windows reach the manager password window: through a small service, so
// that tests can answer it and drive a whole flow. The program installs the
// real window at start; without one every request is refused.
class QWidget;

namespace hv {

class THourvaneDataMod;

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

} // namespace hv
