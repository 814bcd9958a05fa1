#include "timeoff/windows/Reasons.h"

#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/Presence.h"
#include "storage/SQLRec.h"
#include "timeoff/TReason.h"
#include "widgets/TQVComboBox.h"
#include "widgets/WindowParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QVBoxLayout>

namespace hv {
namespace {

const char* const kDeletedElsewhere =
    "This Time Off Reason has been deleted by another user and is no longer available.";
const char* const kNoDescription = "Please enter a Description for this Time Off Reason.";
const char* const kNoCode = "Please enter a Code for this Time Off Reason.";
const char* const kNotExclusive = "More than one person is currently using Hourvane.  You must have exclusive access "
                                  "to delete a Reason.\r\rPlease try again later.";
const char* const kDeleteQuestion =
    "Deleting the Time Off Reason will also delete all of the Employee Time Off entries for this Reason, as well as "
    "any Benefit Accrual Policy you may have created.\r\rAre you sure you want to delete the Reason?";
const char* const kCloseQuestion =
    "The current Time Off Reason record has been changed.  Do you want to save your changes?";

QRadioButton* radio(const char* name, const char* caption, QButtonGroup* group, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    group->addButton(button);
    return button;
}

} // namespace

TfrmReasons::TfrmReasons(THourvaneDataMod& dm, AppState& state, QWidget* owner) :
    QDialog(owner), m_dm(dm), m_state(state), m_reason(std::make_unique<TReasonRecClass>(dm))
{
    setObjectName("frmReasons");
    setWindowTitle("Time Off Reasons");

    cboReasons = new TQVComboBox(this);
    cboReasons->setObjectName("cboReasons");
    cboReasons->setMinimumContentsLength(30);
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName("txtDescription");
    txtDescription->setMaxLength(30);
    txtCode = new QLineEdit(this);
    txtCode->setObjectName("txtCode");
    txtCode->setMaxLength(1);
    // One letter or digit; anything else is refused as it is typed.
    txtCode->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Za-z0-9]?"), txtCode));
    txtCode->setMaximumWidth(40);
    chkActive = new QCheckBox("Reason is Active", this);
    chkActive->setObjectName("chkActive");
    chkActive->setChecked(true);
    chkPaid = new QCheckBox("Hours Are Paid", this);
    chkPaid->setObjectName("chkPaid");
    chkOvertime = new QCheckBox("Hours Count Towards Overtime", this);
    chkOvertime->setObjectName("chkOvertime");
    chkPolicy = new QCheckBox("Hours Have a Benefit Accrual Policy", this);
    chkPolicy->setObjectName("chkPolicy");

    // The texts wrap inside their groups, which they are enabled with.
    grpAccrualBasis = new QGroupBox(this);
    grpAccrualBasis->setObjectName("grpAccrualBasis");
    m_accrualGroup = new QButtonGroup(this);
    btnCalendar = radio("btnCalendar", "Calendar Year", m_accrualGroup, grpAccrualBasis);
    btnAnniversary = radio("btnAnniversary", "Anniversary Year", m_accrualGroup, grpAccrualBasis);
    btnUser = radio("btnUser", "User Defined Year", m_accrualGroup, grpAccrualBasis);
    auto* accrualLayout = new QVBoxLayout(grpAccrualBasis);
    auto* accrualText = new QLabel("This benefit is based on a", grpAccrualBasis);
    accrualText->setWordWrap(true);
    accrualLayout->addWidget(accrualText);
    for (QRadioButton* b : {btnCalendar, btnAnniversary, btnUser})
        accrualLayout->addWidget(b);
    grpValidateBasis = new QGroupBox(this);
    grpValidateBasis->setObjectName("grpValidateBasis");
    m_validateGroup = new QButtonGroup(this);
    btnEarnedtoDate = radio("btnEarnedtoDate", "Earned to Date", m_validateGroup, grpValidateBasis);
    btnYearEnd = radio("btnYearEnd", "As of Year End", m_validateGroup, grpValidateBasis);
    auto* validateLayout = new QVBoxLayout(grpValidateBasis);
    auto* validateText = new QLabel(
        "When an employee is using these benefit hours, validate hours against the total hours", grpValidateBasis);
    validateText->setWordWrap(true);
    validateLayout->addWidget(validateText);
    validateLayout->addWidget(btnEarnedtoDate);
    validateLayout->addWidget(btnYearEnd);
    grpAccrualBasis->setEnabled(false);
    grpValidateBasis->setEnabled(false);

    cmdSave = new QPushButton("&Save", this);
    cmdSave->setObjectName("cmdSave");
    cmdDelete = new QPushButton("&Delete", this);
    cmdDelete->setObjectName("cmdDelete");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    for (QPushButton* b : {cmdSave, cmdDelete, cmdClose})
        b->setAutoDefault(false);
    cmdSave->setEnabled(false);
    cmdDelete->setEnabled(false);

    auto* fields = new QGridLayout;
    fields->addWidget(fieldLabel("Reason", cboReasons, this), 0, 0);
    fields->addWidget(cboReasons, 0, 1, 1, 3);
    fields->addWidget(fieldLabel("Description", txtDescription, this), 1, 0);
    fields->addWidget(txtDescription, 1, 1);
    fields->addWidget(fieldLabel("Code", txtCode, this), 1, 2);
    fields->addWidget(txtCode, 1, 3);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* c : {chkActive, chkPaid, chkOvertime, chkPolicy})
        checks->addWidget(c);
    auto* groups = new QHBoxLayout;
    groups->addWidget(grpAccrualBasis);
    groups->addWidget(grpValidateBasis);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(checks);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise

    for (QLineEdit* field : {txtDescription, txtCode}) {
        connect(field, &QLineEdit::textEdited, this, [this] { textTyped(); });
        field->installEventFilter(this);
    }
    connect(txtCode, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text != text.toUpper())
            txtCode->setText(text.toUpper());
    });
    auto flag = [this](QCheckBox* box, void (TReasonRecClass::*setter)(bool)) {
        connect(box, &QCheckBox::clicked, this, [this, setter](bool on) {
            if (m_loading)
                return;
            (m_reason.get()->*setter)(on);
            valueStored();
        });
    };
    flag(chkActive, &TReasonRecClass::SetActiveFlag);
    flag(chkPaid, &TReasonRecClass::SetPaidFlag);
    flag(chkOvertime, &TReasonRecClass::SetOvertimeFlag);
    connect(chkPolicy, &QCheckBox::clicked, this, &TfrmReasons::policyClicked);
    auto basis = [this](QRadioButton* button, bool accrual, const char* letter) {
        connect(button, &QRadioButton::clicked, this, [this, accrual, letter] {
            if (m_loading)
                return;
            if (accrual)
                m_reason->SetAccrualBasis(letter);
            else
                m_reason->SetValidateBasis(letter);
            valueStored();
        });
    };
    basis(btnCalendar, true, "C");
    basis(btnAnniversary, true, "A");
    basis(btnUser, true, "U");
    basis(btnEarnedtoDate, false, "E");
    basis(btnYearEnd, false, "Y");
    connect(cboReasons, &TQVComboBox::itemClicked, this, [this](int) { cboReasonsClick(); });
    connect(cboReasons, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboReasons->currentText().toStdString();
        refillReasons();
        cboReasons->SelectText(shown);
    });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(cmdDelete, &QPushButton::clicked, this, &TfrmReasons::cmdDeleteClick);
    connect(cmdClose, &QPushButton::clicked, this, &TfrmReasons::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { helpService().showTopic(kReasonsHelpContext); });

    refillReasons();
    resetForm();
}

TfrmReasons::~TfrmReasons()
{
    m_closed = true;
    releaseLock();
}

void TfrmReasons::refillReasons() { m_reason->FillReasonList(*cboReasons, true, false, -1); }

bool TfrmReasons::holdsLock() const { return m_reason->heldBy(m_state.lockIdentity); }

void TfrmReasons::releaseLock() { m_reason->releaseIfHeld(m_state.lockIdentity); }

void TfrmReasons::clearBasisButtons()
{
    for (QButtonGroup* group : {m_accrualGroup, m_validateGroup}) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
    }
}

void TfrmReasons::resetForm()
{
    const LoadingScope loading(m_loading);
    cboReasons->setCurrentIndex(0);
    txtDescription->clear();
    txtCode->clear();
    chkActive->setChecked(true);
    chkPaid->setChecked(false);
    chkOvertime->setChecked(false);
    chkPolicy->setChecked(false);
    clearBasisButtons();
    grpAccrualBasis->setEnabled(false);
    grpValidateBasis->setEnabled(false);
    m_reason->Clear();
    m_reason->SetReasonID(0);
    cmdDelete->setEnabled(false);
    cmdSave->setEnabled(false);
}

void TfrmReasons::showBasisButtons(const std::string& accrual, const std::string& validate)
{
    (accrual == "A" ? btnAnniversary : accrual == "U" ? btnUser : btnCalendar)->setChecked(true);
    (validate == "E" ? btnEarnedtoDate : btnYearEnd)->setChecked(true);
}

void TfrmReasons::cboReasonsClick()
{
    if (cboReasons->currentIndex() < 0)
        return;
    const std::int32_t chosen = cboReasons->SelectedID();
    // Changes to the reason shown before are dropped without a question.
    releaseLock();
    resetForm();
    cboReasons->SelectID(chosen);
    if (chosen != 0) {
        WaitCursor wait;
        m_reason->SetReasonID(chosen);
        if (m_reason->LoadByID()) {
            const LoadingScope loading(m_loading);
            txtDescription->setText(QString::fromStdString(m_reason->Reason()));
            txtCode->setText(QString::fromStdString(m_reason->ReasonCode()));
            chkActive->setChecked(m_reason->ActiveFlag());
            chkPaid->setChecked(m_reason->PaidFlag());
            chkOvertime->setChecked(m_reason->OvertimeFlag());
            chkPolicy->setChecked(m_reason->PolicyFlag());
            grpAccrualBasis->setEnabled(m_reason->PolicyFlag());
            grpValidateBasis->setEnabled(m_reason->PolicyFlag());
            if (m_reason->PolicyFlag()) {
                // Loading shows what is stored: any letter but C and A is a user year.
                (m_reason->AccrualBasis() == "C"   ? btnCalendar
                 : m_reason->AccrualBasis() == "A" ? btnAnniversary
                                                   : btnUser)
                    ->setChecked(true);
                (m_reason->ValidateBasis() == "E" ? btnEarnedtoDate : btnYearEnd)->setChecked(true);
            }
            cmdSave->setEnabled(false);
            cmdDelete->setEnabled(true);
        } else {
            tell(kDeletedElsewhere, MsgKind::Warning);
            refillReasons();
            resetForm();
        }
    }
    txtDescription->setFocus(Qt::OtherFocusReason);
}

void TfrmReasons::textTyped()
{
    if (m_loading)
        return;
    ShowLockState(cmdSave, cmdDelete, m_reason->Lock(m_state.lockIdentity), m_reason->lockRefused());
}

void TfrmReasons::valueStored() { ShowLockState(cmdSave, cmdDelete, holdsLock(), m_reason->lockRefused()); }

void TfrmReasons::storeTexts()
{
    if (m_loading || m_closed)
        return;
    const QString description = txtDescription->text().trimmed();
    const QString code = txtCode->text().trimmed().toUpper();
    if (description != txtDescription->text())
        txtDescription->setText(description);
    m_reason->SetReason(description.toStdString());
    m_reason->SetReasonCode(code.toStdString());
    valueStored();
}

bool TfrmReasons::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtDescription || watched == txtCode))
        storeTexts();
    return QDialog::eventFilter(watched, event);
}

void TfrmReasons::policyClicked(bool on)
{
    if (m_loading)
        return;
    m_reason->SetPolicyFlag(on);
    grpAccrualBasis->setEnabled(on);
    grpValidateBasis->setEnabled(on);
    if (on) {
        // Selecting the buttons stores their letters: a reason without a
        // basis gets "C" and "Y".
        const std::string accrual = m_reason->AccrualBasis();
        const std::string validate = m_reason->ValidateBasis();
        showBasisButtons(accrual, validate);
        m_reason->SetAccrualBasis(accrual == "A" || accrual == "U" ? accrual : "C");
        m_reason->SetValidateBasis(validate == "E" ? "E" : "Y");
    }
    valueStored();
}

bool TfrmReasons::cmdSaveClick()
{
    storeTexts();
    if (txtDescription->text().isEmpty()) {
        tell(kNoDescription, MsgKind::Information);
        txtDescription->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (txtCode->text().isEmpty()) {
        tell(kNoCode, MsgKind::Information);
        txtCode->setFocus(Qt::OtherFocusReason);
        return false;
    }
    bool saved = false;
    try {
        WaitCursor wait;
        saved = m_reason->Save(m_state.lockIdentity);
    } catch (const EDupReasonDescError& e) {
        tell(e.what(), MsgKind::Information);
        txtDescription->setFocus(Qt::OtherFocusReason);
        return false;
    } catch (const EDupReasonCodeError& e) {
        tell(e.what(), MsgKind::Information);
        txtCode->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!saved)
        return false;
    releaseLock();
    refillReasons();
    resetForm();
    txtDescription->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmReasons::cmdDeleteClick()
{
    int others = 1;
    {
        WaitCursor wait;
        try {
            const SingleAttempt once(m_dm.HourvaneDB);
            others = OtherCopiesPresent(m_dm);
        } catch (const std::exception&) {
            // A presence table that cannot be tested proves no exclusive use.
        }
    }
    if (others > 0) {
        tell(kNotExclusive, MsgKind::Information);
        return;
    }
    if (ShowMessageBox(kDeleteQuestion, MsgKind::Confirmation, MsgButtons::YesNo, kReasonsHelpContext) !=
        MsgResult::Yes)
        return;
    {
        WaitCursor wait;
        if (!m_reason->Lock(m_state.lockIdentity)) {
            cmdDelete->setEnabled(false);
            return;
        }
        if (m_reason->Delete(m_state.lockIdentity)) {
            resetForm();
            refillReasons();
            cboReasons->setCurrentIndex(0);
        }
    }
    txtDescription->setFocus(Qt::OtherFocusReason);
}

void TfrmReasons::reject()
{
    storeTexts();
    if (m_reason->IsModified() && cmdSave->isEnabled()) {
        switch (ShowMessageBox(kCloseQuestion, MsgKind::Confirmation, MsgButtons::YesNoCancel)) {
        case MsgResult::Yes:
            // Whatever keeps the save from succeeding keeps the window open,
            // or the change would be lost.
            if (!cmdSaveClick())
                return;
            break;
        case MsgResult::No:
            break;
        default:
            return;
        }
    }
    m_closed = true;
    releaseLock();
    QDialog::reject();
}

} // namespace hv
