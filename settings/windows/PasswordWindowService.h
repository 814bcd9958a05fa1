#pragma once
// The password service that opens the real manager password window; the
// program installs it at start.
#include "widgets/PasswordDialogs.h"

namespace hv {

class PasswordWindowService : public PasswordDialogs {
public:
    bool run(PasswordMode mode, THourvaneDataMod& dm, QWidget* owner) override;
};

} // namespace hv
