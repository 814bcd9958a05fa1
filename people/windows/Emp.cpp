// The Employees window's flow: opening, choosing an employee, editing under
// the row lock, the save of the employee with its histories in one
// transaction, delete and closing.
#include "people/windows/Emp.h"

#include "people/EmployeeEditor.h"
#include "people/TDept.h"
#include "people/TEmp.h"
#include "people/TEmpOTPolicy.h"
#include "people/TEmpWage.h"
#include "people/TFields.h"
#include "people/TOTPolicy.h"
#include "people/TOther.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/SettingsFile.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "timeoff/Balances.h"
#include "timeoff/TAccrual.h"
#include "timeoff/TReason.h"
#include "widgets/PasswordDialogs.h"
#include "widgets/PickDate.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVGrid.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/WindowParts.h"
#include "widgets/WindowUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTextEdit>

namespace hv {
namespace {

const char* const kModifiedQuestion = "This employee record has been modified.  Do you want to save your changes?";
const char* const kIncludeKey = "EmployeeInclude";

// Filter index (the drop-down's order) and the employee status it lists.
EmployeeStatus statusOf(const TQVComboBox* filter) { return EmployeeStatus(filter->SelectedID()); }

} // namespace

TfrmEmp::TfrmEmp(THourvaneDataMod& dm, AppState& state, DatePicker& datePicker, std::string settingsFileName,
                 QWidget* owner) :
    TRecordWindow(state,
                  {"This Employee has been deleted by another user and is no longer available.", kModifiedQuestion},
                  kEmployeesHelpContext, owner),
    m_dm(dm),
    m_datePicker(datePicker),
    m_settingsFileName(std::move(settingsFileName)),
    m_employee(std::make_unique<TEmployeeRecClass>(dm)),
    m_values(std::make_unique<TEmpOtherValueListClass>()),
    m_assignments(std::make_unique<TEmpOTPolicyListClass>(dm)),
    m_accruals(std::make_unique<TAccrualListClass>(dm)),
    m_wages(std::make_unique<TWageListClass>(dm)),
    m_assignmentHistory(std::make_unique<EmployeeHistoryOf<TEmpOTPolicyListClass>>(*m_assignments)),
    m_accrualHistory(std::make_unique<EmployeeHistoryOf<TAccrualListClass>>(*m_accruals)),
    m_wageHistory(std::make_unique<EmployeeHistoryOf<TWageListClass>>(*m_wages)),
    m_editor(std::make_unique<TEmployeeEditor>(
        dm, *m_employee, *m_values,
        std::vector<EmployeeHistory*>{m_assignmentHistory.get(), m_accrualHistory.get(), m_wageHistory.get()}))
{
    setObjectName("frmEmp");
    setWindowTitle("Employees");
    setRecord(*m_employee);
    // Leaving an employee with changes asks, and one shown is locked at once.
    m_asksBeforeLeaving = true;
    m_locksWhenShown = true;
    buildControls();

    const LoadingScope loading(m_loading);
    for (TQVDateEdit* field : {txtStartDate, txtEndDate, txtWageStartDate, txtAsOfDate, txtOTStartDate})
        field->setDisplayFormat(m_state.displayDateFormat);

    int filter = 1; // "All" when nothing usable is stored
    const std::string stored = SettingsFile(m_settingsFileName).read(kPreferSection, kIncludeKey, "");
    int value = 0;
    if (TryStrToInt(stored, value) && value >= 0 && value < cboEmpType->count())
        filter = value;
    cboEmpType->setCurrentIndex(filter);
    m_filterIndex = filter;
    refillPicker();
    cboEmps->setCurrentIndex(0);
    refillDepartments(0);
    refillPolicies(0);
    TReasonRecClass(m_dm).FillPolicyReasonList(*cboBenefits);
    cboBenefits->setCurrentIndex(-1);
    txtAccruedHours->setDisplayPattern(globalSettings().hourFormat);
    ShowSection(BasicData);
    Reset();
}

TfrmEmp::~TfrmEmp() { finishClosing(); }

bool TfrmEmp::event(QEvent* e)
{
    if (e->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        const bool handled = QDialog::event(e);
        // The sections need their final widths before the stored ones apply.
        for (TQVGrid* grid : {grdBalances, grdWages, grdAccruals, grdOvertime}) {
            LoadColumnWidths(grid->header(), grid, m_settingsFileName);
            grid->sizeLastColumn();
        }
        return handled;
    }
    return QDialog::event(e);
}

std::string TfrmEmp::dateText(double date) const { return FormatDateTime(m_state.dateFormatShown(), date); }

// --- lists ---

void TfrmEmp::refillPicker() { TEmployeeRecClass(m_dm).FillEmployeeList(*cboEmps, statusOf(cboEmpType), true, false); }

void TfrmEmp::refillDepartments(std::int32_t keptID)
{
    TDeptRecClass(m_dm).FillDepartmentList(*cboDepts, false, true, keptID);
    cboDepts->insertItem(0, "<No Department>", QVariant(std::int32_t(0)));
}

void TfrmEmp::refillPolicies(std::int32_t keptID)
{
    const std::string shown = cboOvertime->currentText().toStdString();
    TOTPolicyRecClass(m_dm).FillPolicyList(*cboOvertime, false, true, keptID);
    cboOvertime->insertItem(0, "<Default Policy>", QVariant(std::int32_t(0)));
    if (cboOvertime->SelectText(shown) < 0)
        cboOvertime->setCurrentIndex(-1);
}

void TfrmEmp::cboEmpsDropDown()
{
    WaitCursor wait;
    const std::string shown = cboEmps->currentText().toStdString();
    refillPicker();
    if (cboEmps->SelectText(shown) < 0)
        reselectShown();
}

void TfrmEmp::cboDeptsDropDown()
{
    const std::string shown = cboDepts->currentText().toStdString();
    refillDepartments(cboDepts->SelectedID());
    cboDepts->SelectText(shown);
}

void TfrmEmp::cboEmpTypeChange()
{
    const int previous = m_filterIndex;
    refillPicker();
    if (m_employee->EmpID() == 0 || cboEmps->SelectID(m_employee->EmpID()) >= 0) {
        if (m_employee->EmpID() == 0)
            cboEmps->setCurrentIndex(0);
        m_filterIndex = cboEmpType->currentIndex();
        return;
    }
    // The shown employee is no longer listed: that is leaving it, with the
    // same question and the same release of its lock.
    if (!settleChanges()) {
        cboEmpType->setCurrentIndex(previous);
        refillPicker();
        reselectShown();
        return;
    }
    m_filterIndex = cboEmpType->currentIndex();
    WaitCursor wait;
    Reset();
}

// --- showing an employee ---

bool TfrmEmp::loadRecord(std::int32_t id)
{
    m_employee->SetEmpID(id);
    return m_employee->LoadByID();
}

void TfrmEmp::showRecord()
{
    const TEmployeeRecClass& e = *m_employee;
    txtFirstName->setText(QString::fromStdString(e.FirstName()));
    txtLastName->setText(QString::fromStdString(e.LastName()));
    txtEmpCode->setText(QString::fromStdString(e.EmpCode()));
    txtStartDate->setDate(e.StartDate());
    txtEndDate->setDate(e.EndDate());
    chkActive->setChecked(e.ActiveFlag());
    chkBenefits->setChecked(e.EligibleFlag());
    const std::string department = m_employee->DepartmentName();
    if (cboDepts->SelectText(department) < 0) {
        // An inactive department is not offered, yet the employee keeps it.
        cboDepts->add(department, e.DeptID());
        cboDepts->SelectText(department);
    }
    chkManager->setChecked(e.IsManager());
    chkManager->setEnabled(cboDepts->SelectedID() != 0);
    txtPosition->setText(QString::fromStdString(e.Position()));
    txtStreet1->setText(QString::fromStdString(e.Address1()));
    txtStreet2->setText(QString::fromStdString(e.Address2()));
    txtCity->setText(QString::fromStdString(e.City()));
    txtState->setText(QString::fromStdString(e.State()));
    txtZip->setText(QString::fromStdString(e.PostalCode()));
    txtHomePhone->setText(QString::fromStdString(e.HomePhone()));
    txtContact->setText(QString::fromStdString(e.Contact()));
    txtDayPhone->setText(QString::fromStdString(e.ContactWorkPhone()));
    txtNightPhone->setText(QString::fromStdString(e.ContactHomePhone()));
    txtRelationship->setText(QString::fromStdString(e.Relationship()));
    txtComments->setPlainText(QString::fromStdString(e.Comments()));

    FillBalanceGrid(m_dm, *grdBalances, e, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    for (int i = 0; i < m_values->Count(); ++i) {
        TEmpOtherRecClass* value = m_values->Item(i);
        value->SetEmpID(e.EmpID());
        value->Load();
        m_otherFields[std::size_t(i)]->setText(QString::fromStdString(value->FieldValue()));
    }
    m_assignments->SetEmpID(e.EmpID());
    m_assignments->Load();
    fillOvertimeGrid();
    m_accruals->SetEmpID(e.EmpID());
    m_accruals->Load();
    fillAccrualGrid();
    m_wages->SetEmpID(e.EmpID());
    m_wages->Load();
    fillWageGrid();
    setHistoryAddEnabled(e.StartDate() > 0);
}

// --- sections ---

bool TfrmEmp::ShowSection(Section section)
{
    if (section == Wages && !RequestManagerAccess(m_state, m_dm, this)) {
        ShowMessageBox("You must enable Manager Access to view and edit Employee Wage records.", MsgKind::Information);
        return false;
    }
    for (QWidget* panel : m_panels)
        panel->setEnabled(false);
    m_panels[section]->setEnabled(true);
    m_sections->setCurrentWidget(m_panels[section]);
    showSectionHeader(section);
    m_section = section;
    static const int contexts[SectionCount] = {kBasicDataHelpContext, kPersonalDataHelpContext, kCommentsHelpContext,
                                               kWagesHelpContext,     kAccrualsHelpContext,     kEmployeesHelpContext,
                                               kEmployeesHelpContext};
    m_helpContext = contexts[section];
    QWidget* first[SectionCount] = {txtFirstName, txtStreet1,  txtComments,
                                    txtWage,      cboBenefits, m_otherFields.empty() ? nullptr : m_otherFields.front(),
                                    cboOvertime};
    if (first[section])
        first[section]->setFocus(Qt::OtherFocusReason);
    return true;
}

// --- editing ---

void TfrmEmp::storeField(QObject* field)
{
    if (m_loading || m_closed)
        return;
    TEmployeeRecClass& e = *m_employee;
    const auto text = [field] { return static_cast<QLineEdit*>(field)->text().toStdString(); };
    if (field == txtFirstName)
        e.SetFirstName(text());
    else if (field == txtLastName)
        e.SetLastName(text());
    else if (field == txtEmpCode)
        e.SetEmpCode(text());
    else if (field == txtPosition)
        e.SetPosition(text());
    else if (field == txtStreet1)
        e.SetAddress1(text());
    else if (field == txtStreet2)
        e.SetAddress2(text());
    else if (field == txtCity)
        e.SetCity(text());
    else if (field == txtState)
        e.SetState(text());
    else if (field == txtZip)
        e.SetPostalCode(text());
    else if (field == txtHomePhone)
        e.SetHomePhone(text());
    else if (field == txtContact)
        e.SetContact(text());
    else if (field == txtDayPhone)
        e.SetContactWorkPhone(text());
    else if (field == txtNightPhone)
        e.SetContactHomePhone(text());
    else if (field == txtRelationship)
        e.SetRelationship(text());
    else if (field == txtComments)
        e.SetComments(txtComments->toPlainText().toStdString());
    else if (field == txtStartDate) {
        e.SetStartDate(txtStartDate->date());
        startDateLeft();
    } else if (field == txtEndDate)
        e.SetEndDate(txtEndDate->date());
    else if (field == chkManager)
        e.SetIsManager(chkManager->isChecked());
    else if (field == chkBenefits)
        e.SetEligibleFlag(chkBenefits->isChecked());
    else if (field == chkActive)
        e.SetActiveFlag(chkActive->isChecked());
    else {
        for (std::size_t i = 0; i < m_otherFields.size(); ++i)
            if (field == m_otherFields[i])
                m_values->Item(int(i))->SetFieldValue(text());
    }
}

void TfrmEmp::startDateLeft() { setHistoryAddEnabled(txtStartDate->date() > 0); }

void TfrmEmp::cboDeptsClick()
{
    if (m_loading)
        return;
    m_employee->SetDeptID(cboDepts->SelectedID());
    showManagerBox();
    valueStored();
}

void TfrmEmp::showManagerBox()
{
    const std::int32_t deptID = cboDepts->SelectedID();
    bool manager = false;
    if (deptID != 0) {
        TDeptRecClass dept(m_dm);
        dept.SetDeptID(deptID);
        manager = m_employee->EmpID() > 0 && dept.LoadByID() && dept.ManagerID() == m_employee->EmpID();
    }
    chkManager->setEnabled(deptID != 0);
    chkManager->setChecked(manager);
    m_employee->SetIsManager(manager);
}

bool TfrmEmp::takeTypedText()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused) ||
        (!qobject_cast<QLineEdit*>(focused) && !qobject_cast<QTextEdit*>(focused)))
        return true;
    // Leaving it stores what was typed; a date it cannot read keeps the focus.
    setFocus(Qt::OtherFocusReason);
    return !focused->hasFocus();
}

void TfrmEmp::spdDateClick(TQVDateEdit* field)
{
    if (PickDateInto(m_datePicker, *field, m_state.displayDateFormat, this) &&
        (field == txtStartDate || field == txtEndDate)) {
        fieldChanged();
        storeField(field);
    }
    field->setFocus(Qt::OtherFocusReason);
}

// --- resetting, saving, deleting ---

void TfrmEmp::clearRecord()
{
    for (QLineEdit* field : {txtFirstName, txtLastName, txtEmpCode, txtPosition, txtStreet1, txtStreet2, txtCity,
                             txtState, txtZip, txtHomePhone, txtContact, txtDayPhone, txtNightPhone, txtRelationship})
        field->clear();
    txtComments->clear();
    txtEndDate->setDate(0);
    txtStartDate->setDate(clock().today());
    chkBenefits->setChecked(true);
    chkActive->setChecked(true);
    cboDepts->SelectID(0);
    chkManager->setChecked(false);
    chkManager->setEnabled(false);
    for (QLineEdit* field : m_otherFields)
        field->clear();
    for (int i = 0; i < m_values->Count(); ++i) {
        m_values->Item(i)->Clear();
        m_values->Item(i)->SetEmpID(0);
    }
    grdBalances->setRowCount(1);
    grdBalances->clearCells();
    grdBalances->sizeLastColumn();
    m_employee->Clear();
    m_employee->SetEmpID(0);
    m_accruals->Clear();
    m_accruals->SetEmpID(0);
    m_wages->Clear();
    m_wages->SetEmpID(0);
    m_assignments->Clear();
    m_assignments->SetEmpID(0);
    resetHistories();
}

bool TfrmEmp::hasUnsavedChanges() const { return m_editor->AnyModified(); }

bool TfrmEmp::saveRecord()
{
    EmployeeBoxes boxes;
    boxes.firstName = txtFirstName->text().toStdString();
    boxes.lastName = txtLastName->text().toStdString();
    boxes.startDateText = txtStartDate->text().toStdString();
    boxes.startDate = txtStartDate->date();
    const EmployeeSaveResult result = m_editor->Save(boxes, m_state.lockIdentity);
    using Outcome = EmployeeSaveResult::Outcome;
    if (result.outcome == Outcome::NameMissing || result.outcome == Outcome::StartDateMissing) {
        ShowSection(BasicData);
        (result.outcome == Outcome::NameMissing ? static_cast<QWidget*>(txtFirstName) : txtStartDate)
            ->setFocus(Qt::OtherFocusReason);
    }
    return result.saved();
}

bool TfrmEmp::confirmDelete()
{
    return ShowMessageBox("Deleting the Employee record will also delete all information associated with the "
                          "Employee.\r\rAre you sure you want to delete this Employee?",
                          MsgKind::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
}

void TfrmEmp::closing()
{
    if (m_shown)
        for (QHeaderView* header : {hdrBalances, hdrWages, hdrAccruals, hdrOvertime})
            SaveColumnWidths(header, m_settingsFileName);
    SettingsFile(m_settingsFileName).write(kPreferSection, kIncludeKey, std::to_string(cboEmpType->currentIndex()));
}

} // namespace hv
