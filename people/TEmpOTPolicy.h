#pragma once
// An employee's overtime policy history: one assignment is one row of
// empot.dat (table component tblEmpOT), saying that from its start date on a
// given policy applies. The list picks the policy in force on a date and is
// locked and saved as a whole.
#include "ports/GridView.h"
#include "storage/HistoryEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class TOTPolicyRecClass;

namespace detail {
struct OTAssignmentValues {
    std::int32_t empID = 0;
    double storedStartDate = 0;
    double startDate = 0;
    double endDate = 0;
    std::int32_t policyID = 0;
    bool deletePending = false;
};
} // namespace detail

class TEmpOTPolicyRecClass : public THistoryRecClass<detail::OTAssignmentValues> {
public:
    explicit TEmpOTPolicyRecClass(THourvaneDataMod& dm);

    // The key: owner (EmpID) and start date.
    // The StartDate the row was last read or written with; 0 = never stored.
    double StoredStartDate() const { return m_values.storedStartDate; }
    bool IsStored() const override { return m_values.storedStartDate != 0; }

    double StartDate() const { return m_values.startDate; }
    double EndDate() const { return m_values.endDate; } // 0 = none; shown, never consulted
    std::int32_t PolicyID() const { return m_values.policyID; }

    // Each marks the record modified when the value changes; none takes a
    // lock (the list locks all its entries at once).
    void SetStartDate(double value) { assign(m_values.startDate, value); }
    void SetEndDate(double value) { assign(m_values.endDate, value); }
    void SetPolicyID(std::int32_t value) { assign(m_values.policyID, value); }

    // Base clear, then the defaults; EmpID and StartDate are kept.
    void Clear() override;
    // The row of (EmpID, StartDate); false when there is none.
    bool Load();
    // The same from the row tblEmpOT is on, for a reader walking the rows.
    void LoadCurrentRow();
    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;

private:
    void readCurrentRow();
    // Positions tblEmpOT on the row of (EmpID, StoredStartDate).
    bool findStoredRow() override;
};

class TEmpOTPolicyListClass : public THistoryListClass<TEmpOTPolicyRecClass> {
public:
    explicit TEmpOTPolicyListClass(THourvaneDataMod& dm, std::int32_t empID = 0);

    // The owner's assignments from disk, in start date order.
    void Load();

    // Fills the policy with the one in force on the date: the assignment with
    // the latest start on or before it whose policy row can be read (the end
    // date is not consulted), else the default policy. A policy that already
    // holds that row is not read again.
    void PolicyInForce(TOTPolicyRecClass& policy, double date) const;

    // At least 4 columns and one empty row, then per entry not DeletePending:
    // the policy's description, start date, end date (empty when none) and
    // the entry's index in the list.
    void FillAssignmentGrid(GridView& grid) const;
};

} // namespace hv
