// The Overtime Policies window: the policy's fields, its second line and the
// read-only view; choosing, saving, deleting and closing follow TRecordWindow.
#include "people/windows/OvertimePolicy.h"

#include "people/TOTPolicy.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/SQLRec.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/WindowParts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace hv {
namespace {

const char* const kHoursPattern = "#,##0.0";
const char* const kRatePattern = "#,##0.00";

TQVNumberEdit* numberField(const char* name, const char* pattern, double maximum, QWidget* parent)
{
    auto* field = new TQVNumberEdit(parent);
    field->setObjectName(name);
    field->setDisplayPattern(pattern);
    field->setMaximum(maximum);
    field->setMaximumWidth(70);
    return field;
}

} // namespace

TfrmOvertimePolicy::TfrmOvertimePolicy(THourvaneDataMod& dm, AppState& state, QWidget* owner, ScaleFunction scale) :
    TRecordWindow(state,
                  {"This Overtime Policy has been deleted by another user and is no longer available.",
                   "This Overtime Policy record has been modified. Do you want to save your changes?"},
                  kOvertimePolicyHelpContext, owner),
    m_dm(dm),
    m_policy(std::make_unique<TOTPolicyRecClass>(dm))
{
    setObjectName("frmOvertimePolicy");
    setWindowTitle("Overtime Policies");
    setRecord(*m_policy);

    cboPolicies = new TQVComboBox(this);
    cboPolicies->setObjectName("cboPolicies");
    cboPolicies->setMinimumContentsLength(24);
    txtPolicy = new QLineEdit(this);
    txtPolicy->setObjectName("txtPolicy");
    txtPolicy->setMaxLength(50);
    auto* basis = new QGroupBox(" Overtime Basis ", this);
    btnWeekly = new QRadioButton("per Week", basis);
    btnWeekly->setObjectName("btnWeekly");
    btnDaily = new QRadioButton("per Day", basis);
    btnDaily->setObjectName("btnDaily");
    btnWeekly->setChecked(true);
    auto* basisLayout = new QHBoxLayout(basis);
    basisLayout->addWidget(btnWeekly);
    basisLayout->addWidget(btnDaily);

    auto* premium = new QGroupBox("Wage Premium", this);
    chkOver1 = new QCheckBox(premium);
    chkOver1->setObjectName("chkOver1");
    chkOver1->setChecked(true);
    chkOver1->setEnabled(false); // the first line is always there
    txtHours1 = numberField("txtHours1", kHoursPattern, 9999, premium);
    txtRate1 = numberField("txtRate1", kRatePattern, 99, premium);
    chkOver2 = new QCheckBox(premium);
    chkOver2->setObjectName("chkOver2");
    txtHours2 = numberField("txtHours2", kHoursPattern, 9999, premium);
    txtRate2 = numberField("txtRate2", kRatePattern, 99, premium);
    lblOver2 = new QLabel("For over", premium);
    lblPay2 = new QLabel("hours pay", premium);
    lblWage2 = new QLabel("X wage", premium);
    auto* lines = new QGridLayout(premium);
    lines->addWidget(chkOver1, 0, 0);
    lines->addWidget(new QLabel("For over", premium), 0, 1);
    lines->addWidget(txtHours1, 0, 2);
    lines->addWidget(new QLabel("hours pay", premium), 0, 3);
    lines->addWidget(txtRate1, 0, 5);
    lines->addWidget(new QLabel("X wage", premium), 0, 6);
    lines->addWidget(chkOver2, 1, 0);
    lines->addWidget(lblOver2, 1, 1);
    lines->addWidget(txtHours2, 1, 2);
    lines->addWidget(lblPay2, 1, 3);
    lines->addWidget(txtRate2, 1, 5);
    lines->addWidget(lblWage2, 1, 6);
    // Away from 96 pixels per inch the rate fields and their labels sit a
    // little further right, clear of the "hours pay" text.
    if (scale && scale(96) != 96)
        m_rateShift = scale(4);
    lines->setColumnMinimumWidth(4, m_rateShift);
    lines->setHorizontalSpacing(4);

    chkActive = new QCheckBox("Policy is Active", this);
    chkActive->setObjectName("chkActive");
    chkActive->setChecked(true);
    auto* fields = new QGridLayout;
    fields->addWidget(fieldLabel("Policy", cboPolicies, this), 0, 0);
    fields->addWidget(cboPolicies, 0, 1);
    fields->addWidget(fieldLabel("Description", txtPolicy, this), 1, 0);
    fields->addWidget(txtPolicy, 1, 1);
    QHBoxLayout* buttons = buildButtons();
    buttons->insertWidget(0, chkActive);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(basis);
    layout->addWidget(premium);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtPolicy, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
    txtPolicy->installEventFilter(this);
    for (TQVNumberEdit* field : {txtHours1, txtRate1, txtHours2, txtRate2}) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
        connect(field, &TQVNumberEdit::exitBox, this, [this, field] { storeField(field); });
    }
    for (QRadioButton* button : {btnWeekly, btnDaily})
        connect(button, &QRadioButton::clicked, this, [this] {
            if (m_loading)
                return;
            m_policy->SetWeeklyFlag(btnWeekly->isChecked());
            valueStored();
        });
    connect(chkActive, &QCheckBox::clicked, this, [this](bool on) {
        if (m_loading)
            return;
        m_policy->SetActiveFlag(on);
        valueStored();
    });
    connect(chkOver2, &QCheckBox::clicked, this, &TfrmOvertimePolicy::chkOver2Click);
    setPicker(cboPolicies, txtPolicy);

    const LoadingScope loading(m_loading);
    refillPicker();
    cboPolicies->setCurrentIndex(0);
    showSecondLine(false);
}

TfrmOvertimePolicy::~TfrmOvertimePolicy() { finishClosing(); }

bool TfrmOvertimePolicy::event(QEvent* e)
{
    if (e->type() == QEvent::Show && !m_activated) {
        m_activated = true;
        if (viewMode())
            enterViewMode();
    }
    return QDialog::event(e);
}

void TfrmOvertimePolicy::enterViewMode()
{
    const LoadingScope loading(m_loading);
    if (m_viewPolicyID <= 0) {
        // Fixed values: the policy used is built from the preferences.
        cboPolicies->add("<Default Policy>", 0);
        cboPolicies->setCurrentIndex(cboPolicies->count() - 1);
        txtPolicy->setText("<Default Policy>");
        btnWeekly->setChecked(true);
        txtHours1->setValue(40);
        txtRate1->setValue(1.5);
        chkOver2->setChecked(false);
        showSecondLine(false);
        chkActive->setChecked(true);
    } else {
        m_policy->SetPolicyID(m_viewPolicyID);
        if (m_policy->LoadByID()) {
            showRecord();
            cboPolicies->SelectID(m_viewPolicyID);
        }
    }
    // Nothing here can be changed: no field would take the row lock either.
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSave, cmdDelete, cboPolicies, txtPolicy, btnWeekly, btnDaily,
                                                      txtHours1, txtRate1, chkOver2, txtHours2, txtRate2, chkActive})
        w->setEnabled(false);
}

void TfrmOvertimePolicy::refillPicker() { m_policy->FillPolicyList(*cboPolicies, true, false, 0); }

bool TfrmOvertimePolicy::loadRecord(std::int32_t id)
{
    m_policy->SetPolicyID(id);
    return m_policy->LoadByID();
}

void TfrmOvertimePolicy::showRecord()
{
    const TOTPolicyRecClass& p = *m_policy;
    txtPolicy->setText(QString::fromStdString(p.Policy()));
    chkActive->setChecked(p.ActiveFlag());
    (p.WeeklyFlag() ? btnWeekly : btnDaily)->setChecked(true);
    txtHours1->setValue(p.Hours1());
    txtRate1->setValue(p.Rate1());
    const bool second = p.Hours2() > 0;
    chkOver2->setChecked(second);
    txtHours2->setValue(second ? p.Hours2() : 0);
    txtRate2->setValue(second ? p.Rate2() : 0);
    showSecondLine(second);
}

void TfrmOvertimePolicy::showSecondLine(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{txtHours2, txtRate2, lblOver2, lblPay2, lblWage2})
        w->setEnabled(on);
}

void TfrmOvertimePolicy::storeField(QObject* field)
{
    if (m_loading || m_closed || viewMode())
        return;
    if (field == txtPolicy)
        m_policy->SetPolicy(txtPolicy->text().toStdString());
    else if (field == txtHours1)
        m_policy->SetHours1(float(txtHours1->value()));
    else if (field == txtRate1)
        m_policy->SetRate1(float(txtRate1->value()));
    else if (field == txtHours2)
        m_policy->SetHours2(float(txtHours2->value()));
    else if (field == txtRate2)
        m_policy->SetRate2(float(txtRate2->value()));
}

bool TfrmOvertimePolicy::takeTypedText()
{
    storeField(txtPolicy);
    return true;
}

bool TfrmOvertimePolicy::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && watched == txtPolicy)
        storeField(txtPolicy);
    return QDialog::eventFilter(watched, event);
}

void TfrmOvertimePolicy::chkOver2Click()
{
    const bool on = chkOver2->isChecked();
    showSecondLine(on);
    if (on) {
        txtHours2->setFocus(Qt::OtherFocusReason);
        return;
    }
    txtHours2->setValue(0);
    txtRate2->setValue(0);
    if (m_loading || viewMode())
        return;
    m_policy->SetHours2(0);
    m_policy->SetRate2(0);
    valueStored();
}

void TfrmOvertimePolicy::clearRecord()
{
    txtPolicy->clear();
    btnWeekly->setChecked(true);
    txtRate1->setValue(0);
    txtHours1->setValue(0);
    chkOver2->setChecked(false);
    txtHours2->setValue(0);
    txtRate2->setValue(0);
    showSecondLine(false);
    chkActive->setChecked(true);
    m_policy->Clear();
    m_policy->SetPolicyID(0);
}

bool TfrmOvertimePolicy::saveRecord()
{
    if (viewMode())
        return false;
    storeField(txtPolicy);
    const auto refuse = [](const char* text, QWidget* field) {
        ShowMessageBox(text, MsgKind::Information);
        field->setFocus(Qt::OtherFocusReason);
        return false;
    };
    if (txtPolicy->text().isEmpty())
        return refuse("Please enter a Description for this Policy.", txtPolicy);
    if (txtHours1->value() == 0)
        return refuse("Please enter the Hours overtime begins for this Policy.", txtHours1);
    if (txtRate1->value() == 0)
        return refuse("Please enter an overtime Rate for this Policy.", txtRate1);
    if (chkOver2->isChecked()) {
        if (txtHours2->value() == 0)
            return refuse("Please enter the Hours overtime begins for this portion of the Policy.", txtHours2);
        if (txtRate2->value() == 0)
            return refuse("Please enter an overtime Rate for this portion of the Policy.", txtRate2);
    }
    bool saved = false;
    {
        WaitCursor wait;
        saved = m_policy->Save(m_state.lockIdentity);
    }
    if (!saved && cboPolicies->SelectedID() != 0) {
        Reset();
        refillPicker();
        cboPolicies->setCurrentIndex(0);
    }
    return saved;
}

bool TfrmOvertimePolicy::confirmDelete()
{
    return !viewMode() && ShowMessageBox("Are you sure you want to delete this Overtime Policy?", MsgKind::Confirmation,
                                         MsgButtons::YesNo, 210) == MsgResult::Yes;
}

} // namespace hv
