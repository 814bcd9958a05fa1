#pragma once
// An employee's opening balance of one benefit: one row of accrual.dat
// (table component tblAccruals), and the list of those rows for one employee.
// Both are history entries: setters only mark them modified, and the list
// locks and saves them as a whole.
#include "storage/GridView.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class TEmpAccrualRecClass : public TSQLRecClass {
public:
    explicit TEmpAccrualRecClass(THourvaneDataMod& dm, std::int32_t empID = 0, std::int32_t reasonID = 0);

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    std::int32_t ReasonID() const { return m_reasonID; }
    // The ReasonID of the row as last loaded or saved; 0 while not stored.
    std::int32_t StoredReasonID() const { return m_storedReasonID; }
    double AccrualDate() const { return m_accrualDate; } // 0 = none
    float AccruedHours() const { return m_accruedHours; }
    // The reason's description as Load found it, for display.
    const std::string& Description() const { return m_description; }
    bool DeletePending() const { return m_deletePending; }

    // Each marks the entry modified when the value changes; none locks.
    void SetReasonID(std::int32_t value);
    void SetAccrualDate(double value);
    void SetAccruedHours(float value);
    void SetDeletePending(bool value);
    void SetDescription(const std::string& value) { m_description = value; }

    // Base clear, then no stored reason, no date, no hours; EmpID and ReasonID stay.
    void Clear() override;
    // The row (EmpID, ReasonID); false when there is none.
    bool Load();
    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    bool findStoredRow();
    template <class T> void assign(T& member, const T& value);

    std::int32_t m_empID = 0;
    std::int32_t m_reasonID = 0;
    std::int32_t m_storedReasonID = 0;
    double m_accrualDate = 0;
    float m_accruedHours = 0;
    std::string m_description;
    bool m_deletePending = false;
};

class TAccrualListClass {
public:
    explicit TAccrualListClass(THourvaneDataMod& dm, std::int32_t empID = 0);

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }

    // Every row of the employee, freshly read.
    void Load();
    int Count() const { return int(m_items.size()); }
    TEmpAccrualRecClass& Items(int index) { return *m_items.at(std::size_t(index)); }
    const TEmpAccrualRecClass& Items(int index) const { return *m_items.at(std::size_t(index)); }
    // The list takes the entry over.
    void Add(std::unique_ptr<TEmpAccrualRecClass> entry);
    bool AnyModified() const;
    void SetAllModified(bool value);
    void Clear() { m_items.clear(); }

    // Saves (or deletes, when delete-pending) every entry in one transaction;
    // the position of the first failing entry, or -1 when all succeeded.
    int SaveAll(const std::string& lockIdentity);
    bool LockAll(const std::string& lockIdentity);
    bool UnlockAll(const std::string& lockIdentity);

private:
    template <class Op> bool applyAll(Op&& op);

    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    std::vector<std::unique_ptr<TEmpAccrualRecClass>> m_items;
};

// One row per entry that is not delete-pending: description, hours, date and
// the entry's position in the list (a hidden key in column 3).
void FillAccrualGrid(GridView& grid, const TAccrualListClass& list);

} // namespace hv
