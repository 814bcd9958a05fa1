#pragma once
// The pay calculation: the hourly rate and weekly salary of a wage under an
// overtime policy, and the gross pay of one employee-week split into regular,
// overtime and paid time off pay with the shift differential on each.
// The week comes in as plain numbers so that the caller that computed the
// hours (the week object, a report) can fill it.
#include "people/Money.h"

#include <array>
#include <cstdint>
#include <string>

namespace hv {

class THourvaneDataMod;
class TEmpWageRecClass;
class TOTPolicyRecClass;
class TWageListClass;
class TEmpOTPolicyListClass;

// Per hour for "H"; per week "W" over the policy's weekly hours (Hours1, or
// Hours1 x 5 for a daily policy); "M" x 12 / 52 weeks; any other code as a
// yearly amount over 52 weeks. 0 without a wage or when the policy gives no
// weekly hours.
float HourlyRate(const TEmpWageRecClass* wage, const TOTPolicyRecClass& policy);
// The wage as a week's pay: "H" over the policy's weekly hours, "W" itself,
// "M" x 12 / 52, any other code / 52. 0 without a wage.
float WeeklySalary(const TEmpWageRecClass* wage, const TOTPolicyRecClass& policy);
// An amount as the currency format shows it read back: digits and the decimal
// separator kept, negative when the text holds "-" or "(". 0 when nothing is left.
float ParseAmount(const std::string& text);

// One day of the computed week, day 0 = week end - 6.
struct PayDay {
    double date = 0;
    float regular = 0;  // the week split's regular hours (with overtime-counting time off)
    float overtime = 0; // the week split's overtime hours
    int shift = 1;      // shift of the day's first punch row
};

struct PayWeek {
    std::int32_t empID = 0;
    std::array<PayDay, 7> days{};
    // Time off by weekday, 0 = Sunday .. 6 = Saturday.
    std::array<float, 7> paidTimeOff{};
    std::array<float, 7> overtimeTimeOff{}; // time off that counts toward overtime
};

// The shift settings the differentials follow (the preferences' "2nd Shift
// pays", "3rd Shift pays", "per Shift", and the three "Apply ..." options).
struct ShiftPay {
    float shift2 = 0;
    float shift3 = 0;
    bool perShift = false;
    bool includeOvertime = false;
    bool includeMultiple = false;
    bool includeTimeOff = false;
};
// The shift settings as the global settings hold them now.
ShiftPay ShiftPayFromSettings();

struct WeekPayAmounts {
    Money RegularPay;
    Money OvertimePay;
    Money TimeOffPay;
    Money RegularDifferential;
    Money OvertimeDifferential;
    Money TimeOffDifferential;
};

// The week's pay for the days from periodStart to periodEnd (both included):
// each day with the wage and the overtime policy in force on it; an exempt
// wage's regular, overtime and time off pay together are kept within its
// weekly salary (the differentials are not). Reads the employee's wage
// history and overtime assignments.
WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const PayWeek& week, double periodStart, double periodEnd,
                         const ShiftPay& shifts);
// The same with the employee's wage history and overtime assignments read by
// the caller (a report reads them once for many weeks).
WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWageListClass& wages, const TEmpOTPolicyListClass& assignments,
                         const PayWeek& week, double periodStart, double periodEnd, const ShiftPay& shifts);
// The same with a policy object the caller keeps from week to week: a policy
// it already holds is not read again.
WeekPayAmounts WeeklyPay(const TWageListClass& wages, const TEmpOTPolicyListClass& assignments, const PayWeek& week,
                         double periodStart, double periodEnd, const ShiftPay& shifts, TOTPolicyRecClass& policy);
// The same with the shift settings of the global settings.
WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const PayWeek& week, double periodStart, double periodEnd);

} // namespace hv
