#pragma once
// An employee's wage history: one entry is one row of wage.dat (table
// component tblWages), saying from which day an amount is paid per hour,
// week, month or year and whether the employee is exempt from the overtime
// policy. The list finds the wage in force on a date and is locked and saved
// as a whole.
#include "ports/GridView.h"
#include "storage/HistoryEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

namespace detail {
struct WageValues {
    std::int32_t empID = 0;
    double storedStartDate = 0;
    double startDate = 0;
    double endDate = 0;
    float wage = 0;
    std::string payTypeCode = "H";
    bool overtimeFlag = true;
    bool deletePending = false;
};
} // namespace detail

class TEmpWageRecClass : public TDatedHistoryRecClass<detail::WageValues> {
public:
    explicit TEmpWageRecClass(THourvaneDataMod& dm);

    float Wage() const { return m_values.wage; }
    // "H" hour, "W" week, "M" month, anything else a year.
    const std::string& PayTypeCode() const { return m_values.payTypeCode; }
    // True: exempt from the overtime policy.
    bool OvertimeFlag() const { return m_values.overtimeFlag; }

    // Each marks the record modified when the value changes; none takes a
    // lock (the list locks all its entries at once).
    void SetWage(float value) { assign(m_values.wage, value); }
    void SetPayTypeCode(const std::string& value) { assign(m_values.payTypeCode, value); }
    void SetOvertimeFlag(bool value) { assign(m_values.overtimeFlag, value); }

protected:
    void clearColumns() override;
    void readColumns(engine::Table& t) override;
    void writeColumns(engine::Table& t) override;
};

// The grid word of a pay type code: "Hour", "Week", "Month", else "Year".
std::string PayTypeWord(const std::string& code);

class TWageListClass : public THistoryListClass<TEmpWageRecClass> {
public:
    explicit TWageListClass(THourvaneDataMod& dm, std::int32_t empID = 0);

    // The owner's wages from disk, in start date order.
    void Load() { loadDatedRows(m_dm.tblWages); }

    // The wage in force on the date: scanning from the last entry back, the
    // first that starts on or before it; nullptr when every entry starts later.
    // End dates and DeletePending are not consulted.
    const TEmpWageRecClass* WageInEffect(double date) const;

    // At least 7 columns and one empty row, then per entry not DeletePending:
    // the wage as currency, the pay type word, start date, end date (empty
    // when none), "X" when exempt, the wage as a plain sortable number and
    // the entry's index in the list.
    void FillWageGrid(GridView& grid) const;
};

} // namespace hv
