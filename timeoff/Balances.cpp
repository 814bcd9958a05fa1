#include "timeoff/Balances.h"

#include "engine/Query.h"
#include "engine/Table.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace hv {
namespace {

struct Reason {
    std::int32_t id = 0;
    std::string description;
    bool policy = false;
    std::string accrualBasis;
    std::string validateBasis;
};

struct Rule {
    int endMonths = 0;
    float earned = 0;
    float carryOver = 0;
};

struct Opening {
    bool found = false;
    float hours = 0;
    double date = 0;
};

std::string upper(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

engine::Value key(std::int64_t v) { return engine::Value(v); }

Reason loadReason(THourvaneDataMod& dm, std::int32_t reasonID)
{
    engine::Table& t = dm.tblReasons;
    t.setIndexName("");
    if (!t.findKey({key(reasonID)}))
        throw ENoReasonRecError("No record found for , ReasonID: " + std::to_string(reasonID));
    Reason r;
    r.id = reasonID;
    r.description = t.fieldByName("Reason").asString();
    r.policy = t.fieldByName("PolicyFlag").asBoolean();
    // The basis letters mean something only for a benefit.
    if (r.policy) {
        r.accrualBasis = t.fieldByName("AccrualBasis").asString();
        r.validateBasis = t.fieldByName("ValidateBasis").asString();
    }
    return r;
}

Opening loadOpening(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID)
{
    engine::Table& t = dm.tblAccruals;
    t.setIndexName("");
    Opening o;
    if (!t.findKey({key(empID), key(reasonID)}))
        return o;
    o.found = true;
    o.hours = float(t.fieldByName("AccruedHours").asFloat());
    o.date = t.fieldByName("AccrualDate").isNull() ? 0.0 : t.fieldByName("AccrualDate").asDateTime();
    return o;
}

// The benefit's rules for employee type 1 in StartMonths order.
std::vector<Rule> loadRules(THourvaneDataMod& dm, std::int32_t reasonID)
{
    engine::Table& t = dm.tblPolicy;
    t.setIndexName("");
    t.setFilter("ReasonID = " + std::to_string(reasonID) + " and EmpTypeID = 1");
    t.setFiltered(true);
    std::vector<Rule> rules;
    try {
        for (t.first(); !t.eof(); t.next())
            rules.push_back({int(t.fieldByName("EndMonths").asInteger()), float(t.fieldByName("EarnedHours").asFloat()),
                             float(t.fieldByName("CarryOverHours").asFloat())});
    } catch (...) {
        t.setFiltered(false);
        t.setFilter("");
        throw;
    }
    t.setFiltered(false);
    t.setFilter("");
    return rules;
}

// The band whose end is the first one not below the months of service.
const Rule* findByMonths(const std::vector<Rule>& rules, int months)
{
    for (const Rule& r : rules)
        if (r.endMonths >= months)
            return &r;
    return nullptr;
}

float takenBetween(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID, double start, double end)
{
    engine::Query& q = dm.qryTOTotalHours;
    q.close();
    q.setParamInteger("EmpID", empID);
    q.setParamInteger("ReasonID", reasonID);
    q.setParamDate("StartDate", start);
    q.setParamDate("EndDate", end);
    q.open();
    float total = 0;
    if (!q.eof() && !q.fieldByName("TotalHours").isNull())
        total = float(q.fieldByName("TotalHours").asFloat());
    q.close();
    return total;
}

// The first day of the month after the date's.
double nextMonthStart(double date) { return AddMonths(EncodeDate(Year(date), Month(date), 1), 1); }

std::string noPolicyText(const Reason& reason, int months)
{
    return "No policy record found for " + upper(reason.description) + " for and employee who has worked for " +
           std::to_string(months) + " months.";
}

} // namespace

float TakenHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, int year)
{
    const Reason reason = loadReason(dm, reasonID);
    const double today = clock().today();
    double start = 0;
    double end = 0;
    if (reason.accrualBasis == "C") {
        start = EncodeDate(year, 1, 1);
        end = EncodeDate(year, 12, 31);
    } else {
        const bool anniversary = reason.accrualBasis == "A";
        const int m = anniversary ? Month(employee.StartDate()) : globalSettings().userMonth;
        const int d = anniversary ? Day(employee.StartDate()) : globalSettings().userDay;
        end = NearestValidDate(year, m, d - 1);
        if (today > end)
            end = AddYears(end, 1);
        start = AddYears(end, -1) + 1;
    }
    return takenBetween(dm, employee.EmpID(), reasonID, start, end);
}

double BalanceDate(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID)
{
    const Reason reason = loadReason(dm, reasonID);
    const double today = clock().today();
    if (reason.validateBasis == "E")
        return today;
    if (reason.accrualBasis == "A") {
        const double sd = employee.StartDate();
        double x = AddYears(sd, YearDiff(sd, today));
        if (today >= x)
            x = AddYears(sd, YearDiff(sd, today) + 1);
        return x;
    }
    if (reason.accrualBasis == "U") {
        double x = NearestValidDate(Year(today), globalSettings().userMonth, globalSettings().userDay);
        if (today >= x)
            x = NearestValidDate(Year(today) + 1, globalSettings().userMonth, globalSettings().userDay);
        return x;
    }
    // The calendar year, also for a letter only migrated data could hold.
    return EncodeDate(Year(today) + 1, 1, 1);
}

float EarnedHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, double asOf)
{
    const Reason reason = loadReason(dm, reasonID);
    const std::string& basis = reason.accrualBasis;
    const std::int32_t empID = employee.EmpID();
    const double sd = employee.StartDate();
    const double ed = employee.EndDate();
    const int um = globalSettings().userMonth;
    const int ud = globalSettings().userDay;

    const Opening opening = loadOpening(dm, empID, reasonID);
    float h = opening.found ? opening.hours : 0.0f;
    double p = opening.found ? opening.date : sd;
    const double ad = opening.found ? opening.date : 0.0;

    // Nothing is earned after the employment ended.
    if (ed > 0 && ed < asOf)
        asOf = ed;
    if (asOf < p || asOf <= sd)
        return 0;

    if (!employee.EligibleFlag()) {
        const std::string notEligible =
            "This employee is not eligible to earn " + upper(reason.description) + " hours.";
        if (!opening.found || asOf < ad)
            throw ENotEligibleError(notEligible);
        if (basis == "C")
            return Year(ad) == Year(asOf - 1) ? opening.hours : 0.0f;
        if (basis == "A") {
            const double pe = AddYears(sd, YearDiff(sd, ad) + 1);
            if (reason.validateBasis == "Y")
                return (ad <= asOf && asOf <= pe) ? opening.hours : 0.0f;
            return (ad <= asOf && asOf < pe) ? opening.hours : 0.0f;
        }
        if (basis == "U") {
            double pe = NearestValidDate(Year(ad), um, ud);
            if (pe < ad)
                pe = NearestValidDate(Year(ad) + 1, um, ud);
            return (ad <= asOf && asOf <= pe) ? opening.hours : 0.0f;
        }
        if (Year(asOf) == Year(ad))
            return opening.hours;
        throw ENotEligibleError(notEligible);
    }

    if (!reason.policy)
        return Year(asOf) == Year(ad) ? opening.hours : 0.0f;

    int y0 = 0, m0 = 0, d0 = 0;
    DecodeDate(p, y0, m0, d0);
    const double savedAsOf = asOf;
    const int ms = Month(sd);
    const int ds = Day(sd);
    double e = 0;
    if (basis == "C") {
        asOf = EncodeDate(Year(asOf), Month(asOf), 1);
        e = EncodeDate(y0 + 1, 1, 1);
        p = EncodeDate(y0, m0, 1);
        // A start in the middle of a month begins accruing on the first of the next.
        if (p < sd)
            p = AddMonths(p, 1);
    } else if (basis == "A") {
        asOf = AddMonths(sd, MonthDiff(sd, asOf));
        e = NearestValidDate(Year(p), ms, ds);
        if (e <= p)
            e = NearestValidDate(Year(p) + 1, ms, ds);
        p = AddMonths(sd, MonthDiff(sd, p));
    } else {
        e = NearestValidDate(Year(p), um, ud);
        // A year that starts on P itself has not ended yet: an opening balance
        // dated on it already stands for the new year.
        if (e <= p)
            e = NearestValidDate(Year(p) + 1, um, ud);
        p = ud > d0 ? NearestValidDate(y0, m0 - 1, ud) : NearestValidDate(y0, m0, ud);
        // Without an opening balance nothing accrues before the hire date.
        if (!opening.found && p < sd)
            p = NearestValidDate(Year(p), Month(p) + 1, ud);
    }

    if (MonthDiff(p, ad) > 1)
        p = AddMonths(p, 1);

    const int months = MonthDiff(sd, p);
    std::vector<Rule> rules;
    try {
        rules = loadRules(dm, reasonID);
    } catch (const std::exception&) {
        throw ENoPolicyRecError(noPolicyText(reason, months));
    }
    const Rule* rule = findByMonths(rules, months);
    if (!rule)
        throw ENoPolicyRecError(noPolicyText(reason, months));
    double b = AddMonths(sd, rule->endMonths);
    if (p > b) {
        rule = findByMonths(rules, months + 1);
        if (!rule)
            throw ENoPolicyRecError(noPolicyText(reason, months + 1));
        b = AddMonths(sd, rule->endMonths);
    }

    // Credits are worked out in double and rounded to the float total once each.
    auto credit = [&h](double amount) { h = float(double(h) + amount); };
    float cap = rule->carryOver;
    bool first = true;
    double s = p; // an employee who left within the first month never enters the loop
    int ya = 0, ma = 0, da = 0;
    DecodeDate(ad, ya, ma, da);

    while (p < asOf) {
        const double r = double(rule->earned) / 12.0;
        s = e;
        if (asOf < s)
            s = asOf;
        if (b < s)
            s = b;
        const int md = MonthDiff(p, s);
        // A final part-month before the as-of date is not credited.
        if (md < 1 && s == asOf)
            break;
        if (md >= 1)
            credit(md * double(rule->earned) / 12.0);
        else
            credit(((s - p) / DaysInMonth(p)) * double(rule->earned) / 12.0);

        // The opening balance holds everything before its date, and the first
        // segment was credited from the start of its period: take that part back.
        if (first && opening.found) {
            const double n = DaysInMonth(ad);
            if (basis == "C") {
                if (Year(p) == ya && da > 1)
                    credit(-((da - 1) / n) * r);
            } else if (basis == "U" && ud != da) {
                if (ud < da)
                    credit(-((da - ud) / n) * r);
                else
                    credit(-((n - ud + da) / n) * r);
            }
        }

        if (s == b) {
            int ys = 0, ms2 = 0, ds2 = 0;
            DecodeDate(s, ys, ms2, ds2);
            const double n = DaysInMonth(s);
            if (basis == "C") {
                if (ds2 > 1 && ms2 > 1)
                    credit(((ds2 - 1) / n) * r);
            } else if (basis == "U" && MonthDiff(p, s) >= 1) {
                if (ud < ds2)
                    credit(((ds2 - ud) / n) * r);
                else if (ud > ds2)
                    credit(((n - ud + ds2) / n) * r);
            }
            cap = rule->carryOver;
            const Rule* next = findByMonths(rules, MonthDiff(sd, s) + 1);
            if (next) {
                rule = next;
                b = AddMonths(sd, rule->endMonths);
            } else {
                b = EncodeDate(9999, 12, 31);
            }
            const double r2 = double(rule->earned) / 12.0;
            if (basis == "C") {
                if (ds2 != 1) {
                    credit(((n - ds2 + 1) / n) * r2);
                    s = nextMonthStart(s);
                }
            } else if (basis == "U" && ud != ds2) {
                s = NearestValidDate(ys, ms2, ud);
                if (ud < ds2) {
                    credit(((n - ds2 + ud) / n) * r2);
                    s = NearestValidDate(ys, ms2 + 1, ud);
                } else {
                    credit(((ud - ds2) / n) * r2);
                }
            }
        }

        if (s == e) {
            if (savedAsOf != e) {
                // The benefit year that ends here is the one whose time off counts.
                const double yearStart = basis == "C" ? EncodeDate(Year(s) - 1, 1, 1) : AddYears(s, -1);
                const double yearEnd = basis == "C" ? EncodeDate(Year(s) - 1, 12, 31) : s - 1;
                credit(-double(takenBetween(dm, empID, reasonID, yearStart, yearEnd)));
                if (cap == 0)
                    h = 0;
                else if (h > cap)
                    h = cap;
            }
            int ye = 0, me = 0, de = 0;
            DecodeDate(s, ye, me, de);
            e = basis == "A" ? NearestValidDate(ye + 1, ms, ds) : NearestValidDate(ye + 1, me, de);
        }
        cap = rule->carryOver;
        p = s;
        first = false;
    }

    // The days of the last month worked, the end date counted in.
    if (ed > 0 && p < ed) {
        const double r = double(rule->earned) / 12.0;
        if (basis == "C")
            credit(((ed - s + 1) / DaysInMonth(ed)) * r);
        else
            credit(((ed - s + 1) / (AddMonths(s, 1) - s)) * r);
    }
    return h;
}

void FillBalanceGrid(THourvaneDataMod& dm, GridView& grid, const TEmployeeRecClass& employee, int scrollBarWidth)
{
    grid.setRowCount(1);
    grid.clearCells();
    if (grid.columnCount() < 4)
        grid.setColumnCount(4);
    const std::string& hourFormat = globalSettings().hourFormat;
    const int thisYear = Year(clock().today());

    engine::Query query(dm.HourvaneDB);
    query.addSql("select ReasonID, Reason from Reason where PolicyFlag = True order by Reason");
    query.open();
    std::vector<std::int32_t> benefits;
    for (; !query.eof(); query.next())
        benefits.push_back(std::int32_t(query.fieldByName("ReasonID").asInteger()));
    query.close();

    int row = 0;
    for (std::int32_t reasonID : benefits) {
        if (row >= grid.rowCount())
            grid.setRowCount(row + 1);
        float taken = 0;
        try {
            grid.setCell(row, 0, loadReason(dm, reasonID).description);
            const double balanceDate = BalanceDate(dm, employee, reasonID);
            taken = TakenHours(dm, employee, reasonID, thisYear);
            const float earned = EarnedHours(dm, employee, reasonID, balanceDate);
            const float remaining = float(double(earned) - double(taken));
            grid.setCell(row, 1, FormatFloat(hourFormat, earned));
            grid.setCell(row, 2, FormatFloat(hourFormat, taken));
            grid.setCell(row, 3, FormatFloat(hourFormat, remaining));
            grid.setCellAlert(row, 3, remaining < 0);
        } catch (const ENoReasonRecError&) {
            grid.setCell(row, 1, "***");
            grid.setCell(row, 2, "***");
            grid.setCell(row, 3, "***");
            grid.setCellAlert(row, 3, false);
        } catch (const ENoPolicyRecError&) {
            grid.setCell(row, 1, "***");
            grid.setCell(row, 2, FormatFloat(hourFormat, taken));
            grid.setCell(row, 3, "***");
            grid.setCellAlert(row, 3, false);
        } catch (const ENotEligibleError&) {
            grid.setCell(row, 1, "***");
            grid.setCell(row, 2, FormatFloat(hourFormat, taken));
            grid.setCell(row, 3, "***");
            grid.setCellAlert(row, 3, false);
        }
        ++row;
    }

    int rest = grid.width() - grid.columnWidth(0) - grid.columnWidth(1) - grid.columnWidth(2) - 7;
    if (grid.rowCount() >= 4)
        rest -= scrollBarWidth + 8;
    grid.setColumnWidth(3, rest);
    grid.selectRow(0);
}

} // namespace hv
