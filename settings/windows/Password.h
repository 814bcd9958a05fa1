#pragma once
// The manager password window: grants manager access (Access) or changes the
// stored password (Change).
#include "settings/PassUtil.h"
#include "widgets/PasswordDialogs.h"

#include <QDialog>
#include <QValidator>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hv {

inline constexpr int kAccessHelpContext = 1310;
inline constexpr int kChangePasswordHelpContext = 1320;

// Letters and digits only, upper-cased as they are typed, at most 15.
class PasswordValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class TfrmPassword : public QDialog {
    Q_OBJECT
public:
    // Reads the stored password once; Change mode locks its row until the
    // window is destroyed.
    TfrmPassword(THourvaneDataMod& dm, PasswordMode mode, QWidget* owner = nullptr);
    ~TfrmPassword() override;

    PasswordMode mode() const { return m_mode; }
    int helpContext() const { return m_helpContext; }

private:
    void setMode(PasswordMode mode);
    void cmdOKClick();
    void okAccess();
    void okChange();
    void clearNewFields();

    THourvaneDataMod& m_dm;
    TManagerPasswordClass m_password;
    PasswordMode m_mode = PasswordMode::Access;
    int m_helpContext = kAccessHelpContext;
    bool m_locked = false;

    QLabel* lblPassword = nullptr;
    QLabel* lblNew = nullptr;
    QLabel* lblConfirm = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtNew = nullptr;
    QLineEdit* txtConfirm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace hv
