#include "settings/windows/PasswordWindowService.h"

#include "settings/windows/Password.h"

namespace hv {

bool PasswordWindowService::run(PasswordMode mode, THourvaneDataMod& dm, QWidget* owner)
{
    TfrmPassword window(dm, mode, owner);
    return window.exec() == QDialog::Accepted;
}

} // namespace hv
