#pragma once
// An employee's opening balance of one benefit: one row of accrual.dat
// (table component tblAccruals), and the list of those rows for one employee.
// Both are history entries: setters only mark them modified, and the list
// locks and saves them as a whole, putting every entry back after a rollback.
#include "ports/GridView.h"
#include "storage/HistoryEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

namespace detail {
struct AccrualValues {
    std::int32_t empID = 0;
    std::int32_t reasonID = 0;
    std::int32_t storedReasonID = 0;
    double accrualDate = 0;
    float accruedHours = 0;
    std::string description;
    bool deletePending = false;
};
} // namespace detail

class TEmpAccrualRecClass : public THistoryRecClass<detail::AccrualValues> {
public:
    explicit TEmpAccrualRecClass(THourvaneDataMod& dm, std::int32_t empID = 0, std::int32_t reasonID = 0);

    std::int32_t ReasonID() const { return m_values.reasonID; }
    // The ReasonID of the row as last loaded or saved; 0 while not stored.
    std::int32_t StoredReasonID() const { return m_values.storedReasonID; }
    bool IsStored() const override { return m_values.storedReasonID != 0; }
    double AccrualDate() const { return m_values.accrualDate; } // 0 = none
    float AccruedHours() const { return m_values.accruedHours; }
    // The reason's description as Load found it, for display.
    const std::string& Description() const { return m_values.description; }

    // Each marks the entry modified when the value changes; none locks.
    void SetReasonID(std::int32_t value) { assign(m_values.reasonID, value); }
    void SetAccrualDate(double value) { assign(m_values.accrualDate, value); }
    void SetAccruedHours(float value) { assign(m_values.accruedHours, value); }
    void SetDescription(const std::string& value) { m_values.description = value; }

    // Base clear, then no stored reason, no date, no hours; EmpID and ReasonID stay.
    void Clear() override;
    // The row (EmpID, ReasonID); false when there is none.
    bool Load();
    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;

private:
    bool findStoredRow() override;
};

class TAccrualListClass : public THistoryListClass<TEmpAccrualRecClass> {
public:
    explicit TAccrualListClass(THourvaneDataMod& dm, std::int32_t empID = 0);

    // Every row of the employee, freshly read.
    void Load();
    TEmpAccrualRecClass& Items(int index) const { return Item(index); }
    void SetAllModified(bool value);
};

// One row per entry that is not delete-pending: description, hours, date and
// the entry's position in the list (a hidden key in column 3).
void FillAccrualGrid(GridView& grid, const TAccrualListClass& list);

} // namespace hv
