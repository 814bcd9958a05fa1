#include "people/windows/Depts.h"

#include "people/TDept.h"
#include "people/TEmp.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/SQLRec.h"
#include "widgets/TQVComboBox.h"
#include "widgets/WindowParts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace hv {

TfrmDepts::TfrmDepts(THourvaneDataMod& dm, AppState& state, QWidget* owner) :
    QDialog(owner), m_dm(dm), m_state(state), m_dept(std::make_unique<TDeptRecClass>(dm))
{
    setObjectName("frmDepts");
    setWindowTitle("Departments");

    cboDepts = new TQVComboBox(this);
    cboDepts->setObjectName("cboDepts");
    cboDepts->setMinimumContentsLength(24);
    txtDeptName = new QLineEdit(this);
    txtDeptName->setObjectName("txtDeptName");
    txtDeptName->setMaxLength(50);
    txtDeptCode = new QLineEdit(this);
    txtDeptCode->setObjectName("txtDeptCode");
    // The column keeps 10 characters; more would be cut off unseen.
    txtDeptCode->setMaxLength(10);
    chkActive = new QCheckBox(" Department is Active", this);
    chkActive->setObjectName("chkActive");
    chkActive->setChecked(true);
    cboManagers = new TQVComboBox(this);
    cboManagers->setObjectName("cboManagers");
    cboManagers->setMinimumContentsLength(24);
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
    fields->addWidget(fieldLabel("Department", cboDepts, this), 0, 0);
    fields->addWidget(cboDepts, 0, 1, 1, 3);
    fields->addWidget(fieldLabel("Name", txtDeptName, this), 1, 0);
    fields->addWidget(txtDeptName, 1, 1, 1, 3);
    fields->addWidget(fieldLabel("ID", txtDeptCode, this), 2, 0);
    fields->addWidget(txtDeptCode, 2, 1);
    fields->addWidget(chkActive, 2, 2, 1, 2);
    fields->addWidget(fieldLabel("Manager", cboManagers, this), 3, 0);
    fields->addWidget(cboManagers, 3, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit* field : {txtDeptName, txtDeptCode}) {
        connect(field, &QLineEdit::textEdited, this, [this] { textChanged(); });
        field->installEventFilter(this);
    }
    connect(chkActive, &QCheckBox::clicked, this, [this](bool on) {
        if (m_loading)
            return;
        m_dept->SetActiveFlag(on);
        valueStored();
    });
    connect(cboManagers, &TQVComboBox::itemClicked, this, [this](int) {
        if (m_loading)
            return;
        m_dept->SetManagerID(cboManagers->SelectedID());
        valueStored();
    });
    connect(cboDepts, &TQVComboBox::itemClicked, this, [this](int) { cboDeptsClick(); });
    connect(cboDepts, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboDepts->currentText().toStdString();
        refillDepartments();
        cboDepts->SelectText(shown);
    });
    connect(cboManagers, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboManagers->currentText().toStdString();
        refillManagers();
        cboManagers->SelectText(shown);
    });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(cmdDelete, &QPushButton::clicked, this, &TfrmDepts::cmdDeleteClick);
    connect(cmdClose, &QPushButton::clicked, this, &TfrmDepts::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { helpService().showTopic(kDepartmentsHelpContext); });

    const LoadingScope loading(m_loading);
    refillDepartments();
    cboDepts->setCurrentIndex(0);
    refillManagers();
    cboManagers->setCurrentIndex(0);
}

TfrmDepts::~TfrmDepts()
{
    m_closed = true;
    releaseLock();
}

void TfrmDepts::refillDepartments() { m_dept->FillDepartmentList(*cboDepts, true, false, 0); }

void TfrmDepts::refillManagers()
{
    TEmployeeRecClass(m_dm).FillEmployeeList(*cboManagers, EmployeeStatus::Current, false, false);
    cboManagers->insertItem(0, "<No Manager>", QVariant(std::int32_t(0)));
}

bool TfrmDepts::holdsLock() const { return m_dept->heldBy(m_state.lockIdentity); }

void TfrmDepts::releaseLock() { m_dept->releaseIfHeld(m_state.lockIdentity); }

void TfrmDepts::textChanged()
{
    if (m_loading)
        return;
    ShowLockState(cmdSave, cmdDelete, m_dept->Lock(m_state.lockIdentity), m_dept->lockRefused());
}

void TfrmDepts::valueStored() { ShowLockState(cmdSave, cmdDelete, holdsLock(), m_dept->lockRefused()); }

void TfrmDepts::storeTexts()
{
    if (m_loading || m_closed)
        return;
    m_dept->SetDeptName(txtDeptName->text().toStdString());
    m_dept->SetDeptCode(txtDeptCode->text().toStdString());
}

bool TfrmDepts::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtDeptName || watched == txtDeptCode))
        storeTexts();
    return QDialog::eventFilter(watched, event);
}

void TfrmDepts::cboDeptsClick()
{
    if (cboDepts->currentIndex() < 0)
        return;
    const std::int32_t chosen = cboDepts->SelectedID();
    if (chosen == 0) {
        Reset();
        txtDeptName->setFocus(Qt::OtherFocusReason);
        return;
    }
    WaitCursor wait;
    // Changes to the department shown before are dropped without a question.
    releaseLock();
    m_dept->SetDeptID(chosen);
    if (m_dept->LoadByID()) {
        const LoadingScope loading(m_loading);
        cmdSave->setEnabled(false);
        cmdDelete->setEnabled(true);
        txtDeptName->setText(QString::fromStdString(m_dept->DeptName()));
        txtDeptCode->setText(QString::fromStdString(m_dept->DeptCode()));
        chkActive->setChecked(m_dept->ActiveFlag());
        if (m_dept->ManagerID() < 1)
            cboManagers->SelectID(0);
        else
            // A manager who left is not among the current employees: none shows.
            cboManagers->SelectText(m_dept->ManagerName());
    } else {
        ShowMessageBox("This Department has been deleted by another user and is no longer available.",
                       MsgKind::Warning);
        Reset();
        refillDepartments();
        cboDepts->setCurrentIndex(0);
    }
    txtDeptName->setFocus(Qt::OtherFocusReason);
}

void TfrmDepts::Reset()
{
    // Let go of the row first: a cleared record could not release it later,
    // and every other copy would be refused until this one took it again.
    releaseLock();
    const LoadingScope loading(m_loading);
    cboDepts->setCurrentIndex(0);
    txtDeptName->clear();
    txtDeptCode->clear();
    chkActive->setChecked(true);
    cboManagers->SelectID(0);
    m_dept->Clear();
    m_dept->SetDeptID(0);
    cmdDelete->setEnabled(false);
    cmdSave->setEnabled(false);
}

bool TfrmDepts::ValidateAndSave()
{
    storeTexts();
    if (txtDeptName->text().isEmpty()) {
        ShowMessageBox("Please enter a Name for this Department.", MsgKind::Information);
        txtDeptName->setFocus(Qt::OtherFocusReason);
        return false;
    }
    bool saved = false;
    {
        WaitCursor wait;
        saved = m_dept->Save(m_state.lockIdentity);
    }
    if (!saved && cboDepts->SelectedID() != 0) {
        Reset();
        refillDepartments();
        cboDepts->setCurrentIndex(0);
    }
    return saved;
}

bool TfrmDepts::cmdSaveClick()
{
    if (!ValidateAndSave())
        return false;
    releaseLock();
    refillDepartments();
    Reset();
    txtDeptName->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmDepts::cmdDeleteClick()
{
    if (ShowMessageBox("Are you sure you want to delete this Department?", MsgKind::Confirmation, MsgButtons::YesNo,
                       kDepartmentsHelpContext) != MsgResult::Yes)
        return;
    {
        WaitCursor wait;
        if (!m_dept->Lock(m_state.lockIdentity)) {
            cmdDelete->setEnabled(false);
            return;
        }
        if (m_dept->Delete(m_state.lockIdentity)) {
            refillDepartments();
            Reset();
        }
    }
    txtDeptName->setFocus(Qt::OtherFocusReason);
}

void TfrmDepts::reject()
{
    storeTexts();
    if (m_dept->IsModified() && cmdSave->isEnabled() &&
        !settleUnsavedChanges("This Department record has been modified. Do you want to save your changes?",
                              [this] { return ValidateAndSave(); }))
        return;
    m_closed = true;
    releaseLock();
    QDialog::reject();
}

} // namespace hv
