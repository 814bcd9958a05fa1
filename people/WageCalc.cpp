#include "people/WageCalc.h"

#include "people/TEmpOTPolicy.h"
#include "people/TEmpWage.h"
#include "people/TOTPolicy.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"

#include <algorithm>
#include <cctype>

namespace hv {
namespace {

constexpr double kScale = double(kMoneyScale);

// The hours a week of the policy: a daily threshold counts five working days.
float weeklyHours(const TOTPolicyRecClass& policy)
{
    return policy.WeeklyFlag() ? policy.Hours1() : policy.Hours1() * 5.0f;
}

// Adds a day's overtime at rate r1 (units per hour), or, when the day runs
// past the second tier, its first tierHours at r1 and the rest at r2.
std::int64_t addOvertime(std::int64_t total, std::int64_t r1, std::int64_t r2, double overtime, bool twoTiers,
                         double tierHours)
{
    if (!twoTiers)
        return RoundUnits(double(total) + double(r1) * overtime);
    const std::int64_t tier = RoundUnits(tierHours * kScale);
    total = RoundUnits((double(total) * kScale + double(r2) * (overtime * kScale - double(tier))) / kScale);
    return RoundUnits((double(total) * kScale + double(r1) * double(tier)) / kScale);
}

} // namespace

float HourlyRate(const TEmpWageRecClass* wage, const TOTPolicyRecClass& policy)
{
    if (!wage)
        return 0;
    const std::string& code = wage->PayTypeCode();
    const float amount = wage->Wage();
    if (code == "H")
        return amount;
    const float hours = weeklyHours(policy);
    // A policy without weekly hours has no rate to divide into.
    if (!(hours > 0))
        return 0;
    if (code == "W")
        return amount / hours;
    if (code == "M")
        return amount * 12.0f / (hours * 52.0f);
    return amount / (hours * 52.0f);
}

float WeeklySalary(const TEmpWageRecClass* wage, const TOTPolicyRecClass& policy)
{
    if (!wage)
        return 0;
    const std::string& code = wage->PayTypeCode();
    const float amount = wage->Wage();
    // An hourly wage is a week of the same hours the hourly rate divides by,
    // so a daily policy counts five days, not one.
    if (code == "H")
        return amount * weeklyHours(policy);
    if (code == "W")
        return amount;
    if (code == "M")
        return amount * 12.0f / 52.0f;
    // Every other code is a yearly amount, as the hourly rate and the grid read it.
    return amount / 52.0f;
}

float ParseAmount(const std::string& text)
{
    const std::string& separator = regional().decimalSeparator;
    std::string kept;
    bool negative = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            kept += c;
            ++i;
        } else if (!separator.empty() && text.compare(i, separator.size(), separator) == 0) {
            kept += separator;
            i += separator.size();
        } else {
            if (c == '-' || c == '(')
                negative = true;
            ++i;
        }
    }
    const double value = StrToFloatDef(kept, 0);
    return float(negative ? -value : value);
}

ShiftPay ShiftPayFromSettings()
{
    const GlobalSettings& g = globalSettings();
    ShiftPay s;
    s.shift2 = g.shift2Premium;
    s.shift3 = g.shift3Premium;
    s.perShift = g.shiftOvertime;
    s.includeOvertime = g.includeShiftOT;
    s.includeMultiple = g.includeShiftMultiple;
    s.includeTimeOff = g.includeShiftOff;
    return s;
}

WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const PayWeek& week, double periodStart, double periodEnd)
{
    return WeeklyPay(dm, week, periodStart, periodEnd, ShiftPayFromSettings());
}

WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const PayWeek& week, double periodStart, double periodEnd,
                         const ShiftPay& shifts)
{
    TWageListClass wages(dm, week.empID);
    wages.Load();
    TEmpOTPolicyListClass assignments(dm, week.empID);
    assignments.Load();
    return WeeklyPay(dm, wages, assignments, week, periodStart, periodEnd, shifts);
}

WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWageListClass& wages, const TEmpOTPolicyListClass& assignments,
                         const PayWeek& week, double periodStart, double periodEnd, const ShiftPay& shifts)
{
    TOTPolicyRecClass policy(dm);
    return WeeklyPay(wages, assignments, week, periodStart, periodEnd, shifts, policy);
}

WeekPayAmounts WeeklyPay(const TWageListClass& wages, const TEmpOTPolicyListClass& assignments, const PayWeek& week,
                         double periodStart, double periodEnd, const ShiftPay& shifts, TOTPolicyRecClass& policy)
{
    std::int64_t regularPay = 0, overtimePay = 0, timeOffPay = 0;
    std::int64_t regularDiff = 0, overtimeDiff = 0, timeOffDiff = 0;

    bool anyDay = false;
    const TEmpWageRecClass* lastWage = nullptr;

    for (const PayDay& day : week.days) {
        if (day.date < periodStart || day.date > periodEnd)
            continue;
        anyDay = true;
        const TEmpWageRecClass* wage = wages.WageInEffect(day.date);
        assignments.PolicyInForce(policy, day.date);
        lastWage = wage;

        const std::int64_t rate = RoundUnits(double(HourlyRate(wage, policy)) * kScale);
        const std::int64_t rate1 = RoundUnits(double(rate) * double(policy.Rate1()));
        const std::int64_t rate2 = RoundUnits(double(rate) * double(policy.Rate2()));

        std::int64_t dReg = 0, dOT1 = 0, dOT2 = 0, dOff = 0;
        if (wage && !shifts.perShift && (day.shift == 2 || day.shift == 3)) {
            const double amount = day.shift == 2 ? shifts.shift2 : shifts.shift3;
            dReg = RoundUnits(amount * kScale);
            if (shifts.includeOvertime) {
                if (shifts.includeMultiple) {
                    dOT1 = RoundUnits(amount * double(policy.Rate1()) * kScale);
                    dOT2 = RoundUnits(amount * double(policy.Rate2()) * kScale);
                } else {
                    dOT1 = dOT2 = RoundUnits(amount * kScale);
                }
            }
            if (shifts.includeTimeOff)
                dOff = RoundUnits(amount * kScale);
        }

        const int weekday = DayOfWeek(day.date);
        const float regular = day.regular - week.overtimeTimeOff.at(std::size_t(weekday));
        const float overtime = day.overtime;
        const float paidOff = week.paidTimeOff.at(std::size_t(weekday));

        // A second tier needs a rate and a threshold above the first: with
        // Hours2 at 0 ("no second tier") the tier width would be negative.
        const float tierHours = policy.Hours2() - policy.Hours1();
        const bool twoTiers = wage && !wage->OvertimeFlag() && policy.Rate2() > 0 && tierHours > 0 &&
                              overtime > tierHours;

        regularPay = RoundUnits(double(regularPay) + double(rate) * double(regular));
        overtimePay = addOvertime(overtimePay, rate1, rate2, overtime, twoTiers, tierHours);
        timeOffPay = RoundUnits(double(timeOffPay) + double(rate) * double(paidOff));
        regularDiff = RoundUnits(double(regularDiff) + double(dReg) * double(regular));
        overtimeDiff = addOvertime(overtimeDiff, dOT1, dOT2, overtime, twoTiers, tierHours);
        timeOffDiff = RoundUnits(double(timeOffDiff) + double(dOff) * double(paidOff));

        if (wage && !wage->OvertimeFlag() && shifts.perShift && (day.shift == 2 || day.shift == 3)) {
            const std::int64_t bonus = RoundUnits(double(day.shift == 2 ? shifts.shift2 : shifts.shift3) * kScale);
            regularDiff += bonus;
            // Paid once more only for time off actually taken that day.
            if (shifts.includeTimeOff && paidOff > 0)
                timeOffDiff += bonus;
        }
    }

    // An exempt wage is paid at most its weekly salary: overtime goes first,
    // then regular pay, then time off. Each step leaves the sum at the cap or
    // the amount it cut at 0, so three steps always reach the cap.
    if (anyDay && lastWage && lastWage->OvertimeFlag()) {
        const std::int64_t cap = RoundUnits(double(WeeklySalary(lastWage, policy)) * kScale);
        for (int step = 0; step < 3 && cap < timeOffPay + overtimePay + regularPay; ++step) {
            if (overtimePay > 0)
                overtimePay = std::max<std::int64_t>(0, cap - regularPay - timeOffPay);
            else if (regularPay > 0)
                regularPay = std::max<std::int64_t>(0, cap - timeOffPay);
            else
                timeOffPay = cap;
        }
    }

    WeekPayAmounts out;
    out.RegularPay = Money::FromUnits(regularPay);
    out.OvertimePay = Money::FromUnits(overtimePay);
    out.TimeOffPay = Money::FromUnits(timeOffPay);
    out.RegularDifferential = Money::FromUnits(regularDiff);
    out.OvertimeDifferential = Money::FromUnits(overtimeDiff);
    out.TimeOffDifferential = Money::FromUnits(timeOffDiff);
    return out;
}

} // namespace hv
