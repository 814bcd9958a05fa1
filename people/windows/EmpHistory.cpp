// The Employees window's history sections: wages, opening benefit balances
// and overtime policy assignments, edited in memory and saved with the
// employee.
#include "people/HistoryDates.h"
#include "people/TEmp.h"
#include "people/TEmpOTPolicy.h"
#include "people/TEmpWage.h"
#include "people/windows/Emp.h"
#include "people/windows/OvertimePolicy.h"
#include "platform/Format.h"
#include "ports/MessageService.h"
#include "timeoff/TAccrual.h"
#include "widgets/PasswordDialogs.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVGrid.h"
#include "widgets/TQVNumberEdit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace hv {
namespace {

// The column of each grid that holds the entry's position in its list.
constexpr int kWageIndexColumn = 6;
constexpr int kAccrualIndexColumn = 3;
constexpr int kOvertimeIndexColumn = 3;
constexpr int kWagePlainAmountColumn = 5;

void inform(const char* text, QWidget* focus)
{
    ShowMessageBox(text, MsgKind::Information);
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

} // namespace

int TfrmEmp::entryOfRow(const TQVGrid* grid, int indexColumn, int row) const
{
    int index = -1;
    if (row < 0 || row >= grid->rowCount() || !TryStrToInt(grid->cell(row, indexColumn), index))
        return -1;
    return index;
}

int TfrmEmp::filledRows(const TQVGrid* grid) const
{
    int rows = 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->rowHasText(r))
            ++rows;
    return rows;
}

void TfrmEmp::setHistoryAddEnabled(bool enabled)
{
    for (QPushButton* add : {cmdAddWage, cmdAccrualAdd, cmdOvertimeAdd})
        add->setEnabled(enabled);
}

bool TfrmEmp::settleEarlyDate(TQVDateEdit* field, const std::string& question)
{
    const double start = txtStartDate->date();
    if (start <= 0 || field->date() >= start)
        return true;
    if (ShowMessageBox(question, MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes) {
        field->setFocus(Qt::OtherFocusReason);
        return false;
    }
    field->setDate(start);
    return true;
}

void TfrmEmp::resetHistories()
{
    resetWageInputs(true);
    resetAccrualInputs();
    resetOvertimeInputs();
    fillWageGrid();
    fillAccrualGrid();
    fillOvertimeGrid();
    setHistoryAddEnabled(true);
}

// --- wages ---

void TfrmEmp::fillWageGrid()
{
    m_wages->FillWageGrid(*grdWages);
    // Newest first: row 0 is the wage in force now.
    grdWages->sortRowsDescending([this](int row) {
        const int entry = entryOfRow(grdWages, kWageIndexColumn, row);
        return entry < 0 ? 0.0 : m_wages->Item(entry).StartDate();
    });
    grdWages->selectRow(0);
    grdWages->sizeLastColumn();
}

void TfrmEmp::resetWageInputs(bool hourToo)
{
    txtWage->setValue(0);
    txtWageStartDate->setDate(0);
    chkExempt->setChecked(false);
    if (hourToo)
        btnHour->setChecked(true);
    cmdAddWage->setText("&Add");
    cmdDeleteWage->setEnabled(false);
    m_wageEntry = -1;
}

void TfrmEmp::cmdAddWageClick()
{
    if (!takeTypedText())
        return;
    if (txtWage->value() == 0)
        return inform("Please select the Amount for this Wage entry.", txtWage);
    if (txtWageStartDate->date() == 0)
        return inform("Please select the Start Date for this Wage entry.", txtWageStartDate);
    if (!settleEarlyDate(txtWageStartDate, "The Wage Start Date must be on or after the Employee's Start "
                                           "Date.\r\rDo you want to use the Start Date?"))
        return;
    const double start = txtWageStartDate->date();
    if (txtEndDate->date() > 0 && txtEndDate->date() < start)
        return inform("The Wage Start Date must be before the Employee's Term Date.", txtWageStartDate);
    TEmpWageRecClass* updating = m_wageEntry >= 0 ? &m_wages->Item(m_wageEntry) : nullptr;
    const char* const notAfterCurrent = "The Wage Start Date must occur after the current wage Start Date.";
    if (!updating && filledRows(grdWages) >= 2) {
        const int current = entryOfRow(grdWages, kWageIndexColumn, 0);
        if (current >= 0 && m_wages->Item(current).StartDate() >= start)
            return inform(notAfterCurrent, txtWageStartDate);
    }
    // Two wages on one day would share one key: the whole save would fail.
    if (history::StartTaken(*m_wages, start, updating))
        return inform(notAfterCurrent, txtWageStartDate);

    std::unique_ptr<TEmpWageRecClass> added;
    TEmpWageRecClass* entry = updating;
    if (!entry) {
        added = std::make_unique<TEmpWageRecClass>(m_dm);
        added->SetEmpID(m_wages->EmpID());
        entry = added.get();
    }
    entry->SetWage(float(txtWage->value()));
    entry->SetPayTypeCode(btnWeek->isChecked() ? "W" : btnMonth->isChecked() ? "M" : btnYear->isChecked() ? "Y" : "H");
    entry->SetStartDate(start);
    entry->SetOvertimeFlag(chkExempt->isChecked());
    if (added) {
        m_wages->Add(std::move(added));
        history::ChainAdded(*m_wages, *entry);
    } else {
        history::ChainUpdated(*m_wages, *entry);
    }
    fillWageGrid();
    resetWageInputs(false);
    fieldChanged();
}

void TfrmEmp::grdWagesDblClick(int row)
{
    if (!cmdAddWage->isEnabled())
        return;
    const int index = entryOfRow(grdWages, kWageIndexColumn, row);
    if (index < 0)
        return;
    const TEmpWageRecClass& wage = m_wages->Item(index);
    double amount = wage.Wage();
    TryStrToFloat(grdWages->cell(row, kWagePlainAmountColumn), amount);
    txtWage->setValue(amount);
    const std::string word = grdWages->cell(row, 1);
    (word == "Week" ? btnWeek : word == "Month" ? btnMonth : word == "Year" ? btnYear : btnHour)->setChecked(true);
    txtWageStartDate->setDate(wage.StartDate());
    chkExempt->setChecked(grdWages->cell(row, 4) == "X");
    cmdAddWage->setText("&Update");
    // Only the wage in force now can be deleted.
    cmdDeleteWage->setEnabled(row == 0);
    m_wageEntry = index;
}

void TfrmEmp::cmdDeleteWageClick()
{
    if (m_wageEntry < 0)
        return;
    TEmpWageRecClass& wage = m_wages->Item(m_wageEntry);
    wage.SetDeletePending(true);
    history::HandOverDeleted(*m_wages, wage);
    fillWageGrid();
    resetWageInputs(true);
    fieldChanged();
}

// --- opening benefit balances ---

void TfrmEmp::fillAccrualGrid()
{
    FillAccrualGrid(*grdAccruals, *m_accruals);
    grdAccruals->sizeLastColumn();
}

void TfrmEmp::resetAccrualInputs()
{
    cboBenefits->setCurrentIndex(-1);
    txtAccruedHours->setValue(0);
    txtAsOfDate->setDate(0);
    cmdAccrualAdd->setText("&Add");
    cmdAccrualDelete->setEnabled(false);
    m_accrualEntry = -1;
}

void TfrmEmp::cmdAccrualAddClick()
{
    if (!takeTypedText())
        return;
    if (!RequestManagerAccess(m_state, m_dm, this))
        return inform("You must enable Manager Access to add or update Employee Accrued Benefit records.", nullptr);
    if (cboBenefits->currentIndex() < 0)
        return inform("Please select the Benefit for these Accrued hours.", cboBenefits);
    if (txtAccruedHours->text().trimmed().isEmpty())
        return inform("Please select the Hours Accrued for this benefit.", txtAccruedHours);
    if (txtAsOfDate->date() == 0)
        return inform("Please enter the As Of Date for the Accrued hours.", txtAsOfDate);
    if (!settleEarlyDate(txtAsOfDate, "The As Of Date must be on or after the Employee's Start Date.\r\rDo you want "
                                      "to use the Start Date?"))
        return;
    TEmpAccrualRecClass* entry = nullptr;
    if (m_accrualEntry >= 0) {
        entry = &m_accruals->Item(m_accrualEntry);
    } else {
        auto added = std::make_unique<TEmpAccrualRecClass>(m_dm, m_accruals->EmpID());
        entry = added.get();
        m_accruals->Add(std::move(added));
    }
    entry->SetReasonID(cboBenefits->SelectedID());
    entry->SetDescription(cboBenefits->currentText().toStdString());
    entry->SetAccrualDate(txtAsOfDate->date());
    entry->SetAccruedHours(float(txtAccruedHours->value()));
    fillAccrualGrid();
    resetAccrualInputs();
    fieldChanged();
}

void TfrmEmp::pickAccrualRow(int row)
{
    const int index = entryOfRow(grdAccruals, kAccrualIndexColumn, row);
    if (index < 0)
        return;
    const TEmpAccrualRecClass& accrual = m_accruals->Item(index);
    txtAccruedHours->setValue(accrual.AccruedHours());
    txtAsOfDate->setDate(accrual.AccrualDate());
    grdAccruals->selectRow(row);
    cmdAccrualAdd->setText("&Update");
    cmdAccrualDelete->setEnabled(true);
    m_accrualEntry = index;
}

void TfrmEmp::cboBenefitsClick()
{
    const std::string benefit = cboBenefits->currentText().toStdString();
    for (int row = 0; row < grdAccruals->rowCount(); ++row)
        if (grdAccruals->rowHasText(row) && grdAccruals->cell(row, 0) == benefit)
            return pickAccrualRow(row);
}

void TfrmEmp::grdAccrualsDblClick(int row)
{
    if (!cmdAccrualAdd->isEnabled() || !grdAccruals->rowHasText(row))
        return;
    cboBenefits->SelectText(grdAccruals->cell(row, 0));
    pickAccrualRow(row);
}

void TfrmEmp::cmdAccrualDeleteClick()
{
    if (!RequestManagerAccess(m_state, m_dm, this))
        return inform("You must enable Manager Access to delete Employee Accrued Benefit records.", nullptr);
    if (m_accrualEntry < 0)
        return;
    m_accruals->Item(m_accrualEntry).SetDeletePending(true);
    fillAccrualGrid();
    resetAccrualInputs();
    fieldChanged();
}

// --- overtime policy assignments (no button leads here in this edition) ---

void TfrmEmp::fillOvertimeGrid()
{
    m_assignments->FillAssignmentGrid(*grdOvertime);
    grdOvertime->sortRowsDescending([this](int row) {
        const int entry = entryOfRow(grdOvertime, kOvertimeIndexColumn, row);
        return entry < 0 ? 0.0 : m_assignments->Item(entry).StartDate();
    });
    grdOvertime->selectRow(0);
    grdOvertime->sizeLastColumn();
}

void TfrmEmp::resetOvertimeInputs()
{
    cboOvertime->setCurrentIndex(-1);
    txtOTStartDate->setDate(0);
    cmdOvertimeAdd->setText("&Add");
    cmdOvertimeDelete->setEnabled(false);
    m_overtimeEntry = -1;
}

void TfrmEmp::cmdOvertimeAddClick()
{
    if (!takeTypedText())
        return;
    if (cboOvertime->currentIndex() < 0)
        return inform("Please select an Overtime Policy for this entry.", cboOvertime);
    if (txtOTStartDate->date() == 0)
        return inform("Please select a Start Date for this Overtime Policy entry.", txtOTStartDate);
    if (!settleEarlyDate(txtOTStartDate, "The Overtime Policy Start Date must be on or after the Employee's Start "
                                         "Date.\r\rDo you want to use the Start Date?"))
        return;
    const double start = txtOTStartDate->date();
    if (txtEndDate->date() > 0 && txtEndDate->date() < start)
        return inform("The Overtime Policy Start Date must be before the Employee's Termination Date.", txtOTStartDate);
    TEmpOTPolicyRecClass* updating = m_overtimeEntry >= 0 ? &m_assignments->Item(m_overtimeEntry) : nullptr;
    const char* const notAfterCurrent =
        "The new Overtime Policy Start Date must occur after the current policy Start Date.";
    if (!updating && filledRows(grdOvertime) >= 2) {
        const int current = entryOfRow(grdOvertime, kOvertimeIndexColumn, 0);
        if (current >= 0 && m_assignments->Item(current).StartDate() >= start)
            return inform(notAfterCurrent, txtOTStartDate);
    }
    if (history::StartTaken(*m_assignments, start, updating))
        return inform(notAfterCurrent, txtOTStartDate);

    std::unique_ptr<TEmpOTPolicyRecClass> added;
    TEmpOTPolicyRecClass* entry = updating;
    if (!entry) {
        added = std::make_unique<TEmpOTPolicyRecClass>(m_dm);
        added->SetEmpID(m_assignments->EmpID());
        entry = added.get();
    }
    entry->SetStartDate(start);
    entry->SetPolicyID(cboOvertime->SelectedID());
    if (added) {
        m_assignments->Add(std::move(added));
        history::ChainAdded(*m_assignments, *entry);
    } else {
        history::ChainUpdated(*m_assignments, *entry);
    }
    fillOvertimeGrid();
    resetOvertimeInputs();
    fieldChanged();
}

void TfrmEmp::pickOvertimeRow(int row)
{
    const int index = entryOfRow(grdOvertime, kOvertimeIndexColumn, row);
    if (index < 0)
        return;
    txtOTStartDate->setDate(m_assignments->Item(index).StartDate());
    grdOvertime->selectRow(row);
    cmdOvertimeAdd->setText("&Update");
    cmdOvertimeDelete->setEnabled(true);
    m_overtimeEntry = index;
}

void TfrmEmp::cboOvertimeClick()
{
    const std::string policy = cboOvertime->currentText().toStdString();
    for (int row = 0; row < grdOvertime->rowCount(); ++row)
        if (grdOvertime->rowHasText(row) && grdOvertime->cell(row, 0) == policy)
            return pickOvertimeRow(row);
}

void TfrmEmp::grdOvertimeDblClick(int row)
{
    const int index = entryOfRow(grdOvertime, kOvertimeIndexColumn, row);
    if (!cmdOvertimeAdd->isEnabled() || index < 0)
        return;
    const std::int32_t policyID = m_assignments->Item(index).PolicyID();
    if (cboOvertime->SelectID(policyID) < 0) {
        // An inactive policy is offered only when it is the one chosen.
        refillPolicies(policyID);
        cboOvertime->SelectID(policyID);
    }
    pickOvertimeRow(row);
}

void TfrmEmp::cmdOvertimeDeleteClick()
{
    if (m_overtimeEntry < 0)
        return;
    TEmpOTPolicyRecClass& assignment = m_assignments->Item(m_overtimeEntry);
    assignment.SetDeletePending(true);
    history::HandOverDeleted(*m_assignments, assignment);
    fillOvertimeGrid();
    resetOvertimeInputs();
    fieldChanged();
}

void TfrmEmp::spdViewPolicyClick()
{
    TfrmOvertimePolicy view(m_dm, m_state, this);
    view.setViewPolicy(cboOvertime->currentIndex() < 0 ? 0 : cboOvertime->SelectedID());
    view.exec();
}

} // namespace hv
