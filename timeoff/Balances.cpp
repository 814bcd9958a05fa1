#include "timeoff/Balances.h"

#include "engine/Query.h"
#include "engine/Table.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"

#include <optional>

namespace hv {
namespace {

engine::Value key(std::int64_t v) { return engine::Value(v); }

// The reason's description and letters; its rules are read separately.
BenefitTerms loadReason(THourvaneDataMod& dm, std::int32_t reasonID)
{
    engine::Table& t = dm.tblReasons;
    t.setIndexName("");
    if (!t.findKey({key(reasonID)}))
        throw ENoReasonRecError("No record found for , ReasonID: " + std::to_string(reasonID));
    BenefitTerms reason;
    reason.reasonID = reasonID;
    reason.description = t.fieldByName("Reason").asString();
    reason.policy = t.fieldByName("PolicyFlag").asBoolean();
    // The basis letters mean something only for a benefit.
    if (reason.policy) {
        reason.basis = accrualBasisOf(t.fieldByName("AccrualBasis").asString());
        reason.validate = validateBasisOf(t.fieldByName("ValidateBasis").asString());
    }
    return reason;
}

// The benefit's rules for employee type 1 in StartMonths order. A failed read
// is reported by the calculation as a missing rule.
void loadRules(THourvaneDataMod& dm, BenefitTerms& benefit)
{
    engine::Table& t = dm.tblPolicy;
    t.setIndexName("");
    t.setFilter("ReasonID = " + std::to_string(benefit.reasonID) + " and EmpTypeID = 1");
    t.setFiltered(true);
    try {
        for (t.first(); !t.eof(); t.next())
            benefit.rules.push_back({int(t.fieldByName("EndMonths").asInteger()),
                                     float(t.fieldByName("EarnedHours").asFloat()),
                                     float(t.fieldByName("CarryOverHours").asFloat())});
    } catch (const std::exception&) {
        benefit.rules.clear();
        benefit.rulesRead = false;
    }
    t.setFiltered(false);
    t.setFilter("");
}

OpeningBalance loadOpening(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID)
{
    engine::Table& t = dm.tblAccruals;
    t.setIndexName("");
    OpeningBalance o;
    if (!t.findKey({key(empID), key(reasonID)}))
        return o;
    o.found = true;
    o.hours = float(t.fieldByName("AccruedHours").asFloat());
    o.date = t.fieldByName("AccrualDate").isNull() ? 0.0 : t.fieldByName("AccrualDate").asDateTime();
    return o;
}

float takenBetween(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID, DayRange days)
{
    engine::Query& q = dm.qryTOTotalHours;
    q.close();
    q.setParamInteger("EmpID", empID);
    q.setParamInteger("ReasonID", reasonID);
    q.setParamDate("StartDate", days.first);
    q.setParamDate("EndDate", days.last);
    q.open();
    float total = 0;
    if (!q.eof() && !q.fieldByName("TotalHours").isNull())
        total = float(q.fieldByName("TotalHours").asFloat());
    q.close();
    return total;
}

// Time off rows of benefits (of one employee, one benefit, or all) as the sum
// query counts them: it compares WeekDate with its date parameters as text,
// so only a date stored as text can fall inside a range.
template <class Add>
void readBenefitTimeOff(THourvaneDataMod& dm, std::optional<std::int32_t> empID,
                        std::optional<std::int32_t> reasonID, Add add)
{
    engine::Query q(dm.HourvaneDB);
    q.addSql("select EmpID, ReasonID, WeekDate, Hours from TimeOff");
    q.addSql("where typeof(WeekDate) = 'text' and Hours is not null");
    q.addSql("   and ReasonID in (select ReasonID from Reason where PolicyFlag = True)");
    if (empID) {
        q.addSql("   and EmpID = :EmpID");
        q.setParamInteger("EmpID", *empID);
    }
    if (reasonID) {
        q.addSql("   and ReasonID = :ReasonID");
        q.setParamInteger("ReasonID", *reasonID);
    }
    q.open();
    for (; !q.eof(); q.next())
        add(std::int32_t(q.field(0).asInteger()), std::int32_t(q.field(1).asInteger()), q.field(2).asDateTime(),
            q.field(3).asFloat());
    q.close();
}

template <class Add>
void readOpenings(THourvaneDataMod& dm, std::optional<std::int32_t> empID, Add add)
{
    engine::Query q(dm.HourvaneDB);
    q.addSql("select EmpID, ReasonID, AccruedHours, AccrualDate from Accrual");
    if (empID) {
        q.addSql("where EmpID = :EmpID");
        q.setParamInteger("EmpID", *empID);
    }
    q.open();
    for (; !q.eof(); q.next()) {
        OpeningBalance o;
        o.found = true;
        o.hours = float(q.field(2).asFloat());
        o.date = q.field(3).isNull() ? 0.0 : q.field(3).asDateTime();
        add(std::int32_t(q.field(0).asInteger()), std::int32_t(q.field(1).asInteger()), o);
    }
    q.close();
}

// One employee's time off of one benefit, read on first use and only once,
// however many benefit years end before the as-of date.
class StoredTimeOff : public TakenHoursLookup {
public:
    StoredTimeOff(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID)
        : m_dm(dm), m_empID(empID), m_reasonID(reasonID)
    {
    }
    float between(DayRange days) const override
    {
        if (!m_read) {
            readBenefitTimeOff(m_dm, m_empID, m_reasonID,
                               [this](std::int32_t, std::int32_t, double day, double hours) {
                                   m_ledger.add(day, hours);
                               });
            m_read = true;
        }
        return m_ledger.between(days);
    }

private:
    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    std::int32_t m_reasonID;
    mutable bool m_read = false;
    mutable TimeOffLedger m_ledger;
};

} // namespace

EmploymentTerms employmentTermsOf(const TEmployeeRecClass& employee)
{
    return {employee.StartDate(), employee.EndDate(), employee.EligibleFlag()};
}

UserYearStart userYearStart() { return {globalSettings().userMonth, globalSettings().userDay}; }

float TakenHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, int year)
{
    const BenefitTerms reason = loadReason(dm, reasonID);
    return takenBetween(dm, employee.EmpID(), reasonID,
                        takenYearRange(reason.basis, employee.StartDate(), userYearStart(), year, clock().today()));
}

double BalanceDate(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID)
{
    return BalanceDate(loadReason(dm, reasonID), employee.StartDate(), userYearStart(), clock().today());
}

float EarnedHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, double asOf)
{
    BenefitTerms benefit = loadReason(dm, reasonID);
    const OpeningBalance opening = loadOpening(dm, employee.EmpID(), reasonID);
    if (benefit.policy)
        loadRules(dm, benefit);
    const StoredTimeOff taken(dm, employee.EmpID(), reasonID);
    const EmploymentTerms terms = employmentTermsOf(employee);
    return EarnedHours(BalanceInputs{benefit, terms, opening, taken, userYearStart()}, asOf);
}

std::vector<BenefitTerms> loadBenefits(THourvaneDataMod& dm)
{
    std::vector<BenefitTerms> benefits;
    engine::Query reasons(dm.HourvaneDB);
    reasons.addSql("select ReasonID, Reason, AccrualBasis, ValidateBasis from Reason where PolicyFlag = True "
                   "order by Reason");
    reasons.open();
    for (; !reasons.eof(); reasons.next()) {
        BenefitTerms b;
        b.reasonID = std::int32_t(reasons.field(0).asInteger());
        b.description = reasons.field(1).asString();
        b.policy = true;
        b.basis = accrualBasisOf(reasons.field(2).asString());
        b.validate = validateBasisOf(reasons.field(3).asString());
        benefits.push_back(std::move(b));
    }
    reasons.close();

    std::map<std::int32_t, BenefitTerms*> byID;
    for (BenefitTerms& b : benefits)
        byID[b.reasonID] = &b;
    try {
        engine::Query rules(dm.HourvaneDB);
        rules.addSql("select ReasonID, EndMonths, EarnedHours, CarryOverHours from Policy where EmpTypeID = 1 "
                     "order by ReasonID, StartMonths");
        rules.open();
        for (; !rules.eof(); rules.next()) {
            const auto it = byID.find(std::int32_t(rules.field(0).asInteger()));
            if (it != byID.end())
                it->second->rules.push_back({int(rules.field(1).asInteger()), float(rules.field(2).asFloat()),
                                             float(rules.field(3).asFloat())});
        }
        rules.close();
    } catch (const std::exception&) {
        for (BenefitTerms& b : benefits) {
            b.rules.clear();
            b.rulesRead = false;
        }
    }
    return benefits;
}

EmployeeBenefitRecords loadBenefitRecords(THourvaneDataMod& dm, std::int32_t empID)
{
    EmployeeBenefitRecords records;
    readOpenings(dm, empID,
                 [&](std::int32_t, std::int32_t reason, const OpeningBalance& o) { records.openings[reason] = o; });
    readBenefitTimeOff(dm, empID, std::nullopt,
                       [&](std::int32_t, std::int32_t reason, double day, double hours) {
                           records.timeOff[reason].add(day, hours);
                       });
    return records;
}

std::map<std::int32_t, EmployeeBenefitRecords> loadAllBenefitRecords(THourvaneDataMod& dm)
{
    std::map<std::int32_t, EmployeeBenefitRecords> all;
    readOpenings(dm, std::nullopt, [&](std::int32_t emp, std::int32_t reason, const OpeningBalance& o) {
        all[emp].openings[reason] = o;
    });
    readBenefitTimeOff(dm, std::nullopt, std::nullopt, [&](std::int32_t emp, std::int32_t reason, double day, double hours) {
        all[emp].timeOff[reason].add(day, hours);
    });
    return all;
}

void FillBalanceGrid(GridView& grid, const std::vector<BenefitBalance>& balances, const std::string& hourFormat,
                     int scrollBarWidth)
{
    grid.setRowCount(1);
    grid.clearCells();
    if (grid.columnCount() < 4)
        grid.setColumnCount(4);
    int row = 0;
    for (const BenefitBalance& balance : balances) {
        if (row >= grid.rowCount())
            grid.setRowCount(row + 1);
        const bool computed = balance.outcome == BalanceOutcome::Computed;
        grid.setCell(row, 0, balance.description);
        grid.setCell(row, 1, computed ? FormatFloat(hourFormat, balance.earned) : "***");
        grid.setCell(row, 2, FormatFloat(hourFormat, balance.taken));
        grid.setCell(row, 3, computed ? FormatFloat(hourFormat, balance.remaining) : "***");
        grid.setCellAlert(row, 3, computed && balance.remaining < 0);
        ++row;
    }

    int rest = grid.width() - grid.columnWidth(0) - grid.columnWidth(1) - grid.columnWidth(2) - 7;
    if (grid.rowCount() >= 4)
        rest -= scrollBarWidth + 8;
    grid.setColumnWidth(3, rest);
    grid.selectRow(0);
}

void FillBalanceGrid(THourvaneDataMod& dm, GridView& grid, const TEmployeeRecClass& employee, int scrollBarWidth)
{
    const std::vector<BenefitTerms> benefits = loadBenefits(dm);
    const EmployeeBenefitRecords records = loadBenefitRecords(dm, employee.EmpID());
    FillBalanceGrid(grid,
                    benefitBalances(benefits, employmentTermsOf(employee), records, userYearStart(), clock().today()),
                    globalSettings().hourFormat, scrollBarWidth);
}

} // namespace hv
