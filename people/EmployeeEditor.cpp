#include "people/EmployeeEditor.h"

#include "people/TEmp.h"
#include "people/TOther.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>
#include <memory>

namespace hv {

TEmployeeEditor::TEmployeeEditor(THourvaneDataMod& dm, TEmployeeRecClass& employee, TEmpOtherValueListClass& values,
                                 std::vector<EmployeeHistory*> histories) :
    m_dm(dm), m_employee(employee), m_values(values), m_histories(std::move(histories))
{
}

bool TEmployeeEditor::AnyModified() const
{
    return m_employee.IsModified() || m_values.AnyModified() ||
           std::any_of(m_histories.begin(), m_histories.end(),
                       [](const EmployeeHistory* h) { return h->AnyModified(); });
}

EmployeeSaveResult TEmployeeEditor::Save(const EmployeeBoxes& boxes, const std::string& lockIdentity)
{
    EmployeeSaveResult result;
    if (boxes.firstName.empty() && boxes.lastName.empty()) {
        ShowMessageBox("Please enter a name for this employee.", MsgKind::Information);
        result.outcome = EmployeeSaveResult::Outcome::NameMissing;
        return result;
    }
    if (boxes.startDateText.empty()) {
        ShowMessageBox("A Start Date is required for all employees so that their benefit hours can be calculated "
                       "correctly.",
                       MsgKind::Information);
        result.outcome = EmployeeSaveResult::Outcome::StartDateMissing;
        return result;
    }
    // A new employee's box is prefilled without storing its date: a save by
    // the closing or switching question must not store none.
    if (m_employee.StartDate() == 0 && boxes.startDate > 0)
        m_employee.SetStartDate(boxes.startDate);

    // A failed save puts everything back as it was, so that a retry writes
    // each row exactly once: the rows are rolled back, the objects restored.
    const auto employeeBefore = m_employee.snapshot();
    const auto valuesBefore = m_values.snapshot();
    for (EmployeeHistory* history : m_histories)
        history->keep();
    WaitCursor wait;
    std::unique_ptr<TransactionGuard> tx;
    try {
        tx = std::make_unique<TransactionGuard>(m_dm.HourvaneDB);
    } catch (const std::exception& e) {
        tell(saveFailureText(e), MsgKind::Warning);
        result.outcome = EmployeeSaveResult::Outcome::Failed;
        return result;
    }
    bool saved = false;
    try {
        saved = writeAll(lockIdentity);
        if (saved)
            tx->commit();
    } catch (const std::exception& e) {
        tell(saveFailureText(e), MsgKind::Warning);
        saved = false;
    }
    if (!saved) {
        if (tx->owned()) {
            tx->rollback();
            m_employee.restore(employeeBefore);
            m_values.restore(valuesBefore);
            for (EmployeeHistory* history : m_histories)
                history->putBack();
        }
        result.outcome = EmployeeSaveResult::Outcome::Failed;
        return result;
    }
    m_employee.Unlock(lockIdentity);
    return result;
}

bool TEmployeeEditor::writeAll(const std::string& lockIdentity)
{
    if (!m_employee.Save(lockIdentity))
        return false;
    const std::int32_t empID = m_employee.EmpID();
    for (EmployeeHistory* history : m_histories)
        history->SetEmpID(empID);
    for (int i = 0; i < m_values.Count(); ++i) {
        TEmpOtherRecClass* value = m_values.Item(i);
        if (!value->IsModified())
            continue;
        value->SetEmpID(empID);
        if (!value->Lock(lockIdentity) || !value->Save(lockIdentity))
            return false;
    }
    return std::all_of(m_histories.begin(), m_histories.end(),
                       [&](EmployeeHistory* history) { return history->Write(lockIdentity); });
}

} // namespace hv
