#include "timeoff/BalanceCalc.h"

#include "platform/DateUtil.h"
#include "platform/Format.h"

#include <algorithm>

namespace hv {
namespace {

std::string noPolicyText(const BenefitTerms& benefit, int months)
{
    return "No policy record found for " + UpperCase(benefit.description) + " for and employee who has worked for " +
           std::to_string(months) + " months.";
}

std::string notEligibleText(const BenefitTerms& benefit)
{
    return "This employee is not eligible to earn " + UpperCase(benefit.description) + " hours.";
}

// The band whose end is the first one not below the months of service: a
// band's last month still belongs to it.
const BenefitRule* findByMonths(const std::vector<BenefitRule>& rules, int months)
{
    for (const BenefitRule& r : rules)
        if (r.endMonths >= months)
            return &r;
    return nullptr;
}

double monthlyRate(const BenefitRule& rule) { return double(rule.earnedHours) / 12.0; }

double firstOfMonth(double date) { return EncodeDate(Year(date), Month(date), 1); }

// The last day numbered userDay on or before the date (for January the
// date library reads month 0 as December of the year before).
double lastUserDay(double date, int userDay)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    return userDay > d ? NearestValidDate(y, m - 1, userDay) : NearestValidDate(y, m, userDay);
}

// Not eligible: only the opening balance of its own benefit year counts.
float ineligibleHours(const BalanceInputs& in, double asOf)
{
    const OpeningBalance& opening = in.opening;
    if (!opening.found || asOf < opening.date)
        throw ENotEligibleError(notEligibleText(in.benefit));
    const double ad = opening.date;
    switch (in.benefit.basis) {
    case AccrualBasis::Anniversary: {
        const double sd = in.employee.startDate;
        const double nextAnniversary = AddYears(sd, YearDiff(sd, ad) + 1);
        const bool within =
            in.benefit.validate == ValidateBasis::YearEnd ? asOf <= nextAnniversary : asOf < nextAnniversary;
        return ad <= asOf && within ? opening.hours : 0.0f;
    }
    case AccrualBasis::UserYear: {
        double yearStart = NearestValidDate(Year(ad), in.userYear.month, in.userYear.day);
        if (yearStart < ad)
            yearStart = NearestValidDate(Year(ad) + 1, in.userYear.month, in.userYear.day);
        return ad <= asOf && asOf <= yearStart ? opening.hours : 0.0f;
    }
    case AccrualBasis::CalendarYear:
        break;
    }
    return Year(ad) == Year(asOf - 1) ? opening.hours : 0.0f;
}

// Eligible with a policy: the monthly credits from the start of accrual to the
// as-of date, segment by segment between band ends and benefit-year ends.
float accruedHours(const BalanceInputs& in, double asOf)
{
    const BenefitTerms& benefit = in.benefit;
    const OpeningBalance& opening = in.opening;
    const AccrualBasis basis = benefit.basis;
    const double hireDate = in.employee.startDate;
    const double endDate = in.employee.endDate;
    const int userMonth = in.userYear.month;
    const int userDay = in.userYear.day;
    const double accrualDate = opening.found ? opening.date : 0.0;
    // Only an employment that ended by the as-of date has a last part month.
    const bool left = endDate > 0 && endDate <= asOf;
    const double savedAsOf = asOf;

    // Each credit is worked out in double and added to the single-precision total.
    float held = opening.found ? opening.hours : 0.0f;
    auto credit = [&held](double amount) { held = float(double(held) + amount); };

    // Align the start of accrual, the as-of date and the first benefit-year end.
    double periodStart = opening.found ? opening.date : hireDate;
    int y0 = 0, m0 = 0, d0 = 0;
    DecodeDate(periodStart, y0, m0, d0);
    double yearEnd = 0;
    switch (basis) {
    case AccrualBasis::CalendarYear:
        asOf = firstOfMonth(asOf);
        yearEnd = EncodeDate(y0 + 1, 1, 1);
        periodStart = EncodeDate(y0, m0, 1);
        // A start in the middle of a month begins accruing on the first of the
        // next. An opening balance starts on its own date even in the hire
        // month: its month is credited less the days before it (below).
        if (!opening.found && periodStart < hireDate)
            periodStart = AddMonths(periodStart, 1);
        break;
    case AccrualBasis::Anniversary:
        asOf = AddMonths(hireDate, MonthDiff(hireDate, asOf));
        yearEnd = NearestValidDate(y0, Month(hireDate), Day(hireDate));
        if (yearEnd <= periodStart)
            yearEnd = NearestValidDate(y0 + 1, Month(hireDate), Day(hireDate));
        periodStart = AddMonths(hireDate, MonthDiff(hireDate, periodStart));
        break;
    case AccrualBasis::UserYear:
        // Stop at a month point, so that the days of the last month of an
        // employee who left are credited as a part month below.
        if (left)
            asOf = lastUserDay(asOf, userDay);
        yearEnd = NearestValidDate(y0, userMonth, userDay);
        // A year that starts on the start of accrual has not ended yet: an
        // opening balance dated on it already stands for the new year.
        if (yearEnd <= periodStart)
            yearEnd = NearestValidDate(y0 + 1, userMonth, userDay);
        periodStart = lastUserDay(periodStart, userDay);
        // Without an opening balance nothing accrues before the hire date.
        if (!opening.found && periodStart < hireDate)
            periodStart = NearestValidDate(Year(periodStart), Month(periodStart) + 1, userDay);
        break;
    }
    if (MonthDiff(periodStart, accrualDate) > 1)
        periodStart = AddMonths(periodStart, 1);

    const int months = MonthDiff(hireDate, periodStart);
    if (!benefit.rulesRead)
        throw ENoPolicyRecError(noPolicyText(benefit, months));
    const BenefitRule* rule = findByMonths(benefit.rules, months);
    if (!rule)
        throw ENoPolicyRecError(noPolicyText(benefit, months));
    double bandEnd = AddMonths(hireDate, rule->endMonths);
    if (periodStart > bandEnd) {
        rule = findByMonths(benefit.rules, months + 1);
        if (!rule)
            throw ENoPolicyRecError(noPolicyText(benefit, months + 1));
        bandEnd = AddMonths(hireDate, rule->endMonths);
    }

    // The opening balance holds everything before its date, while accrual is
    // credited from the start of the period that holds the date: the days
    // between are taken back (or, for a period that starts after the date,
    // credited) together with the first credit, each day at the rate it is
    // credited with, the next band's from the band end on.
    double firstMonth = 0;
    if (opening.found) {
        double from = periodStart, days = 0, n = 1, sign = -1;
        if (basis == AccrualBasis::UserYear) {
            const int da = Day(accrualDate);
            n = DaysInMonth(accrualDate);
            days = userDay == da ? 0 : userDay < da ? da - userDay : n - userDay + da;
        } else {
            from = std::min(periodStart, accrualDate);
            days = std::max(periodStart, accrualDate) - from;
            sign = periodStart < accrualDate ? -1 : 1;
            n = basis == AccrualBasis::CalendarYear
                    ? DaysInMonth(accrualDate)
                    : AddMonths(hireDate, MonthDiff(hireDate, periodStart) + 1) - periodStart;
        }
        const double beforeBandEnd = std::clamp(bandEnd - from, 0.0, days);
        const BenefitRule* next = findByMonths(benefit.rules, MonthDiff(hireDate, bandEnd) + 1);
        firstMonth = sign * ((beforeBandEnd / n) * monthlyRate(*rule) +
                             ((days - beforeBandEnd) / n) * monthlyRate(next ? *next : *rule));
    }
    bool firstMonthPending = firstMonth != 0;

    float cap = rule->carryOverHours;
    while (periodStart < asOf) {
        const double rate = monthlyRate(*rule);
        double s = std::min({yearEnd, asOf, bandEnd});
        const int wholeMonths = MonthDiff(periodStart, s);
        // A final part month before the as-of date is not credited.
        if (wholeMonths < 1 && s == asOf)
            break;
        if (wholeMonths >= 1)
            credit(wholeMonths * double(rule->earnedHours) / 12.0);
        else
            credit(((s - periodStart) / DaysInMonth(periodStart)) * double(rule->earnedHours) / 12.0);
        if (firstMonthPending && s > periodStart) {
            credit(firstMonth);
            firstMonthPending = false;
        }

        if (s == bandEnd) {
            int ys = 0, ms = 0, ds = 0;
            DecodeDate(s, ys, ms, ds);
            const double n = DaysInMonth(s);
            // The days of the band end's month before it, at the old rate, when
            // the segment's whole months stopped at the month point before it.
            if (wholeMonths >= 1) {
                if (basis == AccrualBasis::CalendarYear) {
                    if (ds > 1)
                        credit(((ds - 1) / n) * rate);
                } else if (basis == AccrualBasis::UserYear) {
                    if (userDay < ds)
                        credit(((ds - userDay) / n) * rate);
                    else if (userDay > ds)
                        credit(((n - userDay + ds) / n) * rate);
                }
            }
            cap = rule->carryOverHours;
            if (const BenefitRule* next = findByMonths(benefit.rules, MonthDiff(hireDate, s) + 1)) {
                rule = next;
                bandEnd = AddMonths(hireDate, rule->endMonths);
            } else {
                bandEnd = EncodeDate(9999, 12, 31);
            }
            // The rest of that month at the new rate; the next segment starts
            // at the following month point.
            const double newRate = monthlyRate(*rule);
            if (basis == AccrualBasis::CalendarYear) {
                if (ds != 1) {
                    credit(((n - ds + 1) / n) * newRate);
                    s = AddMonths(firstOfMonth(s), 1);
                }
            } else if (basis == AccrualBasis::UserYear && userDay != ds) {
                s = NearestValidDate(ys, ms, userDay);
                if (userDay < ds) {
                    credit(((n - ds + userDay) / n) * newRate);
                    s = NearestValidDate(ys, ms + 1, userDay);
                } else {
                    credit(((userDay - ds) / n) * newRate);
                }
            }
        }

        if (s == yearEnd) {
            if (savedAsOf != yearEnd) {
                // The time off of the benefit year that ends here.
                const DayRange year = basis == AccrualBasis::CalendarYear
                                          ? DayRange{EncodeDate(Year(s) - 1, 1, 1), EncodeDate(Year(s) - 1, 12, 31)}
                                          : DayRange{AddYears(s, -1), s - 1};
                credit(-double(in.taken.between(year)));
                if (cap == 0)
                    held = 0;
                else if (held > cap)
                    held = cap; // no lower limit: a negative balance is carried on
            }
            int ye = 0, me = 0, de = 0;
            DecodeDate(s, ye, me, de);
            yearEnd = basis == AccrualBasis::Anniversary ? NearestValidDate(ye + 1, Month(hireDate), Day(hireDate))
                                                         : NearestValidDate(ye + 1, me, de);
        }
        cap = rule->carryOverHours;
        periodStart = s;
    }

    // The days of the last month worked, the end date counted in.
    if (left && periodStart < endDate) {
        const double rate = monthlyRate(*rule);
        if (basis == AccrualBasis::CalendarYear)
            credit(((endDate - periodStart + 1) / DaysInMonth(endDate)) * rate);
        else
            credit(((endDate - periodStart + 1) / (AddMonths(periodStart, 1) - periodStart)) * rate);
        if (firstMonthPending)
            credit(firstMonth);
    }
    return held;
}

} // namespace

AccrualBasis accrualBasisOf(const std::string& letter)
{
    if (letter == "A")
        return AccrualBasis::Anniversary;
    if (letter == "U")
        return AccrualBasis::UserYear;
    return AccrualBasis::CalendarYear;
}

ValidateBasis validateBasisOf(const std::string& letter)
{
    return letter == "E" ? ValidateBasis::EarnedToDate : ValidateBasis::YearEnd;
}

void TimeOffLedger::add(double day, double hours)
{
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), day,
                                     [](double d, const std::pair<double, double>& e) { return d < e.first; });
    m_entries.insert(at, {day, hours});
}

float TimeOffLedger::between(DayRange days) const
{
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), days.first,
                               [](const std::pair<double, double>& e, double d) { return e.first < d; });
    double total = 0;
    for (; it != m_entries.end() && it->first <= days.last; ++it)
        total += it->second;
    return float(total);
}

DayRange takenYearRange(AccrualBasis basis, double startDate, UserYearStart userYear, int year, double today)
{
    if (basis == AccrualBasis::CalendarYear)
        return {EncodeDate(year, 1, 1), EncodeDate(year, 12, 31)};
    const bool anniversary = basis == AccrualBasis::Anniversary;
    const int m = anniversary ? Month(startDate) : userYear.month;
    const int d = anniversary ? Day(startDate) : userYear.day;
    double end = NearestValidDate(year, m, d - 1);
    if (today > end)
        end = AddYears(end, 1);
    return {AddYears(end, -1) + 1, end};
}

double BalanceDate(const BenefitTerms& benefit, double startDate, UserYearStart userYear, double today)
{
    if (benefit.validate == ValidateBasis::EarnedToDate)
        return today;
    switch (benefit.basis) {
    case AccrualBasis::Anniversary: {
        double next = AddYears(startDate, YearDiff(startDate, today));
        if (today >= next)
            next = AddYears(startDate, YearDiff(startDate, today) + 1);
        return next;
    }
    case AccrualBasis::UserYear: {
        double next = NearestValidDate(Year(today), userYear.month, userYear.day);
        if (today >= next)
            next = NearestValidDate(Year(today) + 1, userYear.month, userYear.day);
        return next;
    }
    case AccrualBasis::CalendarYear:
        break;
    }
    return EncodeDate(Year(today) + 1, 1, 1);
}

float EarnedHours(const BalanceInputs& inputs, double asOf)
{
    const double hireDate = inputs.employee.startDate;
    const double endDate = inputs.employee.endDate;
    // Nothing is earned after the employment ended.
    if (endDate > 0 && endDate < asOf)
        asOf = endDate;
    const double accrualStart = inputs.opening.found ? inputs.opening.date : hireDate;
    if (asOf < accrualStart || asOf <= hireDate)
        return 0;
    if (!inputs.employee.eligible)
        return ineligibleHours(inputs, asOf);
    if (!inputs.benefit.policy)
        return inputs.opening.found && Year(asOf) == Year(inputs.opening.date) ? inputs.opening.hours : 0.0f;
    return accruedHours(inputs, asOf);
}

std::vector<BenefitBalance> benefitBalances(const std::vector<BenefitTerms>& benefits,
                                            const EmploymentTerms& employee, const EmployeeBenefitRecords& records,
                                            UserYearStart userYear, double today)
{
    static const TimeOffLedger kNoTimeOff;
    static const OpeningBalance kNoOpening;
    std::vector<BenefitBalance> balances;
    balances.reserve(benefits.size());
    for (const BenefitTerms& benefit : benefits) {
        BenefitBalance row;
        row.reasonID = benefit.reasonID;
        row.description = benefit.description;
        const auto timeOff = records.timeOff.find(benefit.reasonID);
        const TimeOffLedger& ledger = timeOff == records.timeOff.end() ? kNoTimeOff : timeOff->second;
        const auto opening = records.openings.find(benefit.reasonID);
        const BalanceInputs inputs{benefit, employee, opening == records.openings.end() ? kNoOpening : opening->second,
                                   ledger, userYear};
        row.taken = ledger.between(takenYearRange(benefit.basis, employee.startDate, userYear, Year(today), today));
        try {
            row.earned = EarnedHours(inputs, BalanceDate(benefit, employee.startDate, userYear, today));
            row.remaining = float(double(row.earned) - double(row.taken));
        } catch (const ENoPolicyRecError&) {
            row.outcome = BalanceOutcome::NoPolicy;
        } catch (const ENotEligibleError&) {
            row.outcome = BalanceOutcome::NotEligible;
        }
        balances.push_back(std::move(row));
    }
    return balances;
}

} // namespace hv
