#pragma once
// An employee's overtime policy history: one assignment is one row of
// empot.dat (table component tblEmpOT), saying that from its start date on a
// given policy applies. The list picks the policy in force on a date and is
// locked and saved as a whole.
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

class TOTPolicyRecClass;

class TEmpOTPolicyRecClass : public TSQLRecClass {
public:
    explicit TEmpOTPolicyRecClass(THourvaneDataMod& dm);

    // The key: owner and start date. Setting the owner marks nothing.
    std::int32_t EmpID() const { return m_values.empID; }
    void SetEmpID(std::int32_t id) { m_values.empID = id; }
    // The StartDate the row was last read or written with; 0 = never stored.
    double StoredStartDate() const { return m_values.storedStartDate; }

    double StartDate() const { return m_values.startDate; }
    double EndDate() const { return m_values.endDate; } // 0 = none; shown, never consulted
    std::int32_t PolicyID() const { return m_values.policyID; }
    // To be deleted by the list's next SaveAll; hidden from the grid.
    bool DeletePending() const { return m_values.deletePending; }

    // Each marks the record modified when the value changes; none takes a
    // lock (the list locks all its entries at once).
    void SetStartDate(double value);
    void SetEndDate(double value);
    void SetPolicyID(std::int32_t value);
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
    friend class TEmpOTPolicyListClass;
    template <class> friend class history::Batch;

    struct Values {
        std::int32_t empID = 0;
        double storedStartDate = 0;
        double startDate = 0;
        double endDate = 0;
        std::int32_t policyID = 0;
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

    // Positions tblEmpOT on the row of (EmpID, StoredStartDate).
    bool findStoredRow();

    Values m_values;
};

class TEmpOTPolicyListClass {
public:
    TEmpOTPolicyListClass(THourvaneDataMod& dm, std::int32_t empID = 0);
    TEmpOTPolicyListClass(const TEmpOTPolicyListClass&) = delete;
    TEmpOTPolicyListClass& operator=(const TEmpOTPolicyListClass&) = delete;

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }

    // The owner's assignments from disk, in start date order.
    void Load();
    // Appends an entry; the list owns it.
    void Add(std::unique_ptr<TEmpOTPolicyRecClass> entry);
    int Count() const { return int(m_items.size()); }
    TEmpOTPolicyRecClass& Item(int index) const { return *m_items.at(std::size_t(index)); }
    bool AnyModified() const;
    void Clear() { m_items.clear(); }

    // Saves (or deletes, for DeletePending) every entry in one transaction,
    // started here only when none is active. Returns the index of the first
    // failing entry, or -1 when all succeeded; a transaction started here is
    // then rolled back and the entries are as they were before the call.
    int SaveAll(const std::string& lockIdentity);
    // Lock (or unlock) every entry in one transaction likewise; at the first
    // failure an owned transaction is rolled back and false returned.
    bool LockAll(const std::string& lockIdentity);
    bool UnlockAll(const std::string& lockIdentity);

    // Fills the policy with the one in force on the date: the assignment with
    // the latest start on or before it whose policy row can be read (the end
    // date is not consulted), else the default policy.
    void PolicyInForce(TOTPolicyRecClass& policy, double date) const;

    // At least 4 columns and one empty row, then per entry not DeletePending:
    // the policy's description, start date, end date (empty when none) and
    // the entry's index in the list.
    void FillAssignmentGrid(GridView& grid) const;

private:
    bool lockEach(const std::string& lockIdentity, bool lock);

    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    std::vector<std::unique_ptr<TEmpOTPolicyRecClass>> m_items;
};

} // namespace hv
