#include "settings/windows/Password.h"

#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace hv {

QValidator::State PasswordValidator::validate(QString& input, int& pos) const
{
    std::string accepted;
    if (!AcceptPasswordInput(input.toStdString(), accepted))
        return Invalid;
    input = QString::fromStdString(accepted);
    return Acceptable;
}

namespace {

QLineEdit* passwordField(QWidget* parent, const char* name, QValidator* validator)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setEchoMode(QLineEdit::Password);
    field->setMaxLength(static_cast<int>(kMaxPasswordLength));
    field->setValidator(validator);
    return field;
}

QLabel* fieldLabel(QWidget* parent, const char* name, const char* text, QLineEdit* buddy)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TfrmPassword::TfrmPassword(THourvaneDataMod& dm, PasswordMode mode, QWidget* owner) :
    QDialog(owner), m_dm(dm), m_password(dm)
{
    setObjectName("frmPassword");
    setWindowTitle("Manager Password");

    auto* validator = new PasswordValidator(this);
    txtPassword = passwordField(this, "txtPassword", validator);
    txtNew = passwordField(this, "txtNew", validator);
    txtConfirm = passwordField(this, "txtConfirm", validator);
    lblPassword = fieldLabel(this, "lblPassword", "Current Password", txtPassword);
    lblNew = fieldLabel(this, "lblNew", "New Password", txtNew);
    lblConfirm = fieldLabel(this, "lblConfirm", "Confirm Password", txtConfirm);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdCancel = new QPushButton("Cancel", this);
    cmdCancel->setObjectName("cmdCancel");

    auto* fields = new QGridLayout;
    fields->addWidget(lblPassword, 0, 0);
    fields->addWidget(txtPassword, 0, 1);
    fields->addWidget(lblNew, 1, 0);
    fields->addWidget(txtNew, 1, 1);
    fields->addWidget(lblConfirm, 2, 0);
    fields->addWidget(txtConfirm, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { helpService().showTopic(m_helpContext); });

    setMode(mode);
}

TfrmPassword::~TfrmPassword()
{
    if (m_locked)
        m_password.Unlock(m_dm.state().lockIdentity);
}

void TfrmPassword::setMode(PasswordMode mode)
{
    m_mode = mode;
    const bool change = mode == PasswordMode::Change;
    lblNew->setVisible(change);
    txtNew->setVisible(change);
    lblConfirm->setVisible(change);
    txtConfirm->setVisible(change);
    if (change) {
        setWindowTitle("Change Password");
        m_helpContext = kChangePasswordHelpContext;
        lblPassword->setText("Current Password");
        cmdOK->setDefault(false);
        // Held for the window's life, so that two copies cannot change it together.
        if (!m_locked)
            m_locked = m_password.Lock(m_dm.state().lockIdentity);
    } else {
        setWindowTitle("Manager Access");
        m_helpContext = kAccessHelpContext;
        lblPassword->setText("Enter Password");
        cmdOK->setDefault(true);
    }
    adjustSize();
    txtPassword->setFocus();
}

void TfrmPassword::cmdOKClick()
{
    if (m_mode == PasswordMode::Access)
        okAccess();
    else
        okChange();
}

void TfrmPassword::okAccess()
{
    if (m_password.Matches(txtPassword->text().toStdString())) {
        accept();
        return;
    }
    ShowMessageBox(kAccessInvalidMessage, MsgKind::Information, MsgButtons::Ok);
    txtPassword->clear();
    txtPassword->setFocus();
}

void TfrmPassword::clearNewFields()
{
    txtNew->clear();
    txtConfirm->clear();
    txtNew->setFocus();
}

void TfrmPassword::okChange()
{
    const std::string newPassword = txtNew->text().toStdString();
    const PasswordChange check = CheckPasswordChange(m_password.storedForm(), txtPassword->text().toStdString(),
                                                     newPassword, txtConfirm->text().toStdString());
    if (check == PasswordChange::Accepted) {
        if (m_password.Change(newPassword, m_dm.state().lockIdentity)) {
            ShowMessageBox(kPasswordChangedMessage, MsgKind::Information, MsgButtons::Ok);
            accept();
        }
        return;
    }
    ShowMessageBox(PasswordChangeMessage(check), MsgKind::Information, MsgButtons::Ok);
    if (check == PasswordChange::CurrentInvalid) {
        txtPassword->clear();
        txtNew->clear();
        txtConfirm->clear();
        txtPassword->setFocus();
    } else {
        clearNewFields();
    }
}

} // namespace hv
