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

class TEmpOTPolicyRecClass : public TDatedHistoryRecClass<detail::OTAssignmentValues> {
public:
    explicit TEmpOTPolicyRecClass(THourvaneDataMod& dm);

    std::int32_t PolicyID() const { return m_values.policyID; }
    // Marks the record modified when the value changes; takes no lock (the
    // list locks all its entries at once).
    void SetPolicyID(std::int32_t value) { assign(m_values.policyID, value); }

protected:
    void clearColumns() override { m_values.policyID = 0; }
    void readColumns(engine::Table& t) override;
    void writeColumns(engine::Table& t) override;
};

class TEmpOTPolicyListClass : public THistoryListClass<TEmpOTPolicyRecClass> {
public:
    explicit TEmpOTPolicyListClass(THourvaneDataMod& dm, std::int32_t empID = 0);

    // The owner's assignments from disk, in start date order, in one walk:
    // the week computation loads them for each employee it meets.
    void Load() { loadDatedRows(m_dm.tblEmpOT); }

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
