#include "timekeeping/WeekPay.h"

#include "timekeeping/WorkUtil.h"

namespace hv {

PayWeek PayWeekOf(const TWorkWeekRecClass& week)
{
    PayWeek p;
    p.empID = week.EmployeeID();
    for (int i = 0; i < 7; ++i) {
        PayDay& d = p.days[std::size_t(i)];
        d.date = week.Day(i).dayDate();
        d.regular = week.DayRegular(i);
        d.overtime = week.DayOvertime(i);
        d.shift = week.Day(i).shift(0);
    }
    const TTimeOffListClass& timeOff = week.TimeOffList();
    for (int w = 0; w < 7; ++w) {
        p.paidTimeOff[std::size_t(w)] = timeOff.DayPaid(w);
        p.overtimeTimeOff[std::size_t(w)] = timeOff.DayOvertime(w);
    }
    return p;
}

WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWorkWeekRecClass& week, double periodStart,
                         double periodEnd)
{
    return WeeklyPay(dm, PayWeekOf(week), periodStart, periodEnd);
}

WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWorkWeekRecClass& week, const TWageListClass& wages,
                         const TEmpOTPolicyListClass& assignments, double periodStart, double periodEnd)
{
    return WeeklyPay(dm, wages, assignments, PayWeekOf(week), periodStart, periodEnd, ShiftPayFromSettings());
}

} // namespace hv
