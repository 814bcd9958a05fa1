#pragma once
// An employee's wage history: one entry is one row of wage.dat (table
// component tblWages), saying from which day an amount is paid per hour,
// week, month or year and whether the employee is exempt from the overtime
// policy. The list finds the wage in force on a date and is locked and saved
// as a whole.
#include "storage/GridView.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

namespace history {
template <class Entry> class Batch;
}

class TEmpWageRecClass : public TSQLRecClass {
public:
    explicit TEmpWageRecClass(THourvaneDataMod& dm);

    // The key: owner and start date. Setting the owner marks nothing.
    std::int32_t EmpID() const { return m_values.empID; }
    void SetEmpID(std::int32_t id) { m_values.empID = id; }
    // The StartDate the row was last read or written with; 0 = never stored.
    double StoredStartDate() const { return m_values.storedStartDate; }

    double StartDate() const { return m_values.startDate; }
    double EndDate() const { return m_values.endDate; } // 0 = none; informational only
    float Wage() const { return m_values.wage; }
    // "H" hour, "W" week, "M" month, anything else a year.
    const std::string& PayTypeCode() const { return m_values.payTypeCode; }
    // True: exempt from the overtime policy.
    bool OvertimeFlag() const { return m_values.overtimeFlag; }
    // To be deleted by the list's next SaveAll; hidden from the grid.
    bool DeletePending() const { return m_values.deletePending; }

    // Each marks the record modified when the value changes; none takes a
    // lock (the list locks all its entries at once).
    void SetStartDate(double value);
    void SetEndDate(double value);
    void SetWage(float value);
    void SetPayTypeCode(const std::string& value);
    void SetOvertimeFlag(bool value);
    void SetDeletePending(bool value);

    bool IsModified() const { return modified(); }

    // Base clear, then the defaults; EmpID and StartDate are kept.
    void Clear() override;
    // The row of (EmpID, StartDate); false when there is none.
    bool Load();
    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    friend class TWageListClass;
    template <class> friend class history::Batch;

    struct Values {
        std::int32_t empID = 0;
        double storedStartDate = 0;
        double storedEndDate = 0;
        double startDate = 0;
        double endDate = 0;
        float wage = 0;
        std::string payTypeCode = "H";
        bool overtimeFlag = true;
        bool deletePending = false;
    };
    // Everything a rolled-back batch must put back.
    struct Snapshot {
        Values values;
        bool modified = false;
        std::string lockHolder;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);

    // Positions tblWages on the row of (EmpID, StoredStartDate).
    bool findStoredRow();

    Values m_values;
};

// The grid word of a pay type code: "Hour", "Week", "Month", else "Year".
std::string PayTypeWord(const std::string& code);

class TWageListClass {
public:
    TWageListClass(THourvaneDataMod& dm, std::int32_t empID = 0);
    TWageListClass(const TWageListClass&) = delete;
    TWageListClass& operator=(const TWageListClass&) = delete;

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }

    // The owner's wages from disk, in start date order.
    void Load();
    // Appends an entry; the list owns it.
    void Add(std::unique_ptr<TEmpWageRecClass> entry);
    int Count() const { return int(m_items.size()); }
    TEmpWageRecClass& Item(int index) const { return *m_items.at(std::size_t(index)); }
    bool AnyModified() const;
    void Clear() { m_items.clear(); }

    // The wage in force on the date: scanning from the last entry back, the
    // first that starts on or before it; nullptr when every entry starts later.
    // End dates and DeletePending are not consulted.
    const TEmpWageRecClass* WageInEffect(double date) const;

    // Saves (or deletes, for DeletePending) every entry in one transaction,
    // started here only when none is active. Returns the index of the first
    // failing entry, or -1 when all succeeded; a transaction started here is
    // then rolled back and the entries are as they were before the call.
    int SaveAll(const std::string& lockIdentity);
    // Lock (or unlock) every entry in one transaction likewise; at the first
    // failure an owned transaction is rolled back and false returned.
    bool LockAll(const std::string& lockIdentity);
    bool UnlockAll(const std::string& lockIdentity);

    // At least 7 columns and one empty row, then per entry not DeletePending:
    // the wage as currency, the pay type word, start date, end date (empty
    // when none), "X" when exempt, the wage as a plain sortable number and
    // the entry's index in the list.
    void FillWageGrid(GridView& grid) const;

private:
    bool lockEach(const std::string& lockIdentity, bool lock);

    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    std::vector<std::unique_ptr<TEmpWageRecClass>> m_items;
};

} // namespace hv
