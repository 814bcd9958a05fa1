// The Departments window: the department's fields and its manager; choosing,
// saving, deleting and closing follow TRecordWindow.
#include "people/windows/Depts.h"

#include "people/TDept.h"
#include "people/TEmp.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/SQLRec.h"
#include "widgets/TQVComboBox.h"
#include "widgets/WindowParts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace hv {

TfrmDepts::TfrmDepts(THourvaneDataMod& dm, AppState& state, QWidget* owner) :
    TRecordWindow(state,
                  {"This Department has been deleted by another user and is no longer available.",
                   "This Department record has been modified. Do you want to save your changes?"},
                  kDepartmentsHelpContext, owner),
    m_dm(dm),
    m_dept(std::make_unique<TDeptRecClass>(dm))
{
    setObjectName("frmDepts");
    setWindowTitle("Departments");
    setRecord(*m_dept);

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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit* field : {txtDeptName, txtDeptCode}) {
        connect(field, &QLineEdit::textEdited, this, [this] { fieldChanged(); });
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
    setPicker(cboDepts, txtDeptName);
    connect(cboManagers, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboManagers->currentText().toStdString();
        refillManagers();
        cboManagers->SelectText(shown);
    });

    const LoadingScope loading(m_loading);
    refillPicker();
    cboDepts->setCurrentIndex(0);
    refillManagers();
    cboManagers->setCurrentIndex(0);
}

TfrmDepts::~TfrmDepts() { finishClosing(); }

void TfrmDepts::refillPicker() { m_dept->FillDepartmentList(*cboDepts, true, false, 0); }

void TfrmDepts::refillManagers()
{
    TEmployeeRecClass(m_dm).FillEmployeeList(*cboManagers, EmployeeStatus::Current, false, false);
    cboManagers->insertItem(0, "<No Manager>", QVariant(std::int32_t(0)));
}

void TfrmDepts::storeTexts()
{
    if (m_loading || m_closed)
        return;
    m_dept->SetDeptName(txtDeptName->text().toStdString());
    m_dept->SetDeptCode(txtDeptCode->text().toStdString());
}

bool TfrmDepts::takeTypedText()
{
    storeTexts();
    return true;
}

bool TfrmDepts::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtDeptName || watched == txtDeptCode))
        storeTexts();
    return QDialog::eventFilter(watched, event);
}

bool TfrmDepts::loadRecord(std::int32_t id)
{
    m_dept->SetDeptID(id);
    return m_dept->LoadByID();
}

void TfrmDepts::showRecord()
{
    txtDeptName->setText(QString::fromStdString(m_dept->DeptName()));
    txtDeptCode->setText(QString::fromStdString(m_dept->DeptCode()));
    chkActive->setChecked(m_dept->ActiveFlag());
    if (m_dept->ManagerID() < 1)
        cboManagers->SelectID(0);
    else
        // A manager who left is not among the current employees: none shows.
        cboManagers->SelectText(m_dept->ManagerName());
}

void TfrmDepts::clearRecord()
{
    txtDeptName->clear();
    txtDeptCode->clear();
    chkActive->setChecked(true);
    cboManagers->SelectID(0);
    m_dept->Clear();
    m_dept->SetDeptID(0);
}

bool TfrmDepts::saveRecord()
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
        refillPicker();
        cboDepts->setCurrentIndex(0);
    }
    return saved;
}

bool TfrmDepts::confirmDelete()
{
    return ShowMessageBox("Are you sure you want to delete this Department?", MsgKind::Confirmation, MsgButtons::YesNo,
                          kDepartmentsHelpContext) == MsgResult::Yes;
}

} // namespace hv
