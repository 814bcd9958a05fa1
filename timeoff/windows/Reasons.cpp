// The Time Off Reasons window: the reason's fields, flags and benefit basis;
// choosing, saving, deleting and closing follow TRecordWindow.
#include "timeoff/windows/Reasons.h"

#include "ports/CursorService.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
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
    TRecordWindow(state, {kDeletedElsewhere, kCloseQuestion}, kReasonsHelpContext, owner),
    m_dm(dm),
    m_reason(std::make_unique<TReasonRecClass>(dm))
{
    setObjectName("frmReasons");
    setWindowTitle("Time Off Reasons");
    setRecord(*m_reason);

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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(checks);
    layout->addLayout(groups);
    layout->addLayout(buildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise

    for (QLineEdit* field : {txtDescription, txtCode}) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
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
    setPicker(cboReasons, txtDescription);

    refillPicker();
    Reset();
}

TfrmReasons::~TfrmReasons() { finishClosing(); }

void TfrmReasons::refillPicker() { m_reason->FillReasonList(*cboReasons, true, false, -1); }

bool TfrmReasons::loadRecord(std::int32_t id)
{
    m_reason->SetReasonID(id);
    return m_reason->LoadByID();
}

void TfrmReasons::clearBasisButtons()
{
    for (QButtonGroup* group : {m_accrualGroup, m_validateGroup}) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
    }
}

void TfrmReasons::clearRecord()
{
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
}

void TfrmReasons::showBasisButtons(const std::string& accrual, const std::string& validate)
{
    (accrual == "A" ? btnAnniversary : accrual == "U" ? btnUser : btnCalendar)->setChecked(true);
    (validate == "E" ? btnEarnedtoDate : btnYearEnd)->setChecked(true);
}

void TfrmReasons::showRecord()
{
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
}

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

bool TfrmReasons::takeTypedText()
{
    storeTexts();
    return true;
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

bool TfrmReasons::saveRecord()
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
    try {
        WaitCursor wait;
        return m_reason->Save(m_state.lockIdentity);
    } catch (const EDupReasonDescError& e) {
        tell(e.what(), MsgKind::Information);
        txtDescription->setFocus(Qt::OtherFocusReason);
    } catch (const EDupReasonCodeError& e) {
        tell(e.what(), MsgKind::Information);
        txtCode->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool TfrmReasons::confirmDelete()
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
        return false;
    }
    return ShowMessageBox(kDeleteQuestion, MsgKind::Confirmation, MsgButtons::YesNo, kReasonsHelpContext) ==
           MsgResult::Yes;
}

} // namespace hv
