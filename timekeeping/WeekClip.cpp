#include "timekeeping/WeekClip.h"

#include "platform/DateUtil.h"
#include "storage/HVGlobal.h"
#include "timekeeping/WorkUtil.h"

#include <algorithm>
#include <cmath>

namespace hv {

double FirstWeekEnd(double periodStart)
{
    const int lastWeekday = DayOfWeek(std::floor(globalSettings().firstDate) - 1);
    double day = std::floor(periodStart);
    while (DayOfWeek(day) != lastWeekday)
        day += 1;
    return day;
}

WeekClip ClipWeek(const TWorkWeekRecClass& week, double periodStart, double periodEnd)
{
    WeekClip clip;
    clip.regular = week.RegularTotal();
    clip.overtime = week.OvertimeTotal();
    clip.paidTimeOff = week.TimeOffTotal() - week.UnpaidTimeOff();
    const double first = week.WeekEnd() - 6;
    auto remove = [&](int i) {
        const float overtime = week.DayOvertime(i);
        clip.regular -= week.Day(i).DayHours() - overtime;
        clip.overtime -= overtime;
        clip.paidTimeOff -= week.TimeOffList().DayPaid(DayOfWeek(first + i));
    };
    int from = 0;
    while (from < 7 && first + from < std::floor(periodStart))
        remove(from++);
    int to = 6;
    while (to >= from && first + to > std::floor(periodEnd))
        remove(to--);
    clip.firstDay = first + from;
    clip.lastDay = first + to;
    clip.regular = std::max(clip.regular, 0.0f);
    clip.overtime = std::max(clip.overtime, 0.0f);
    clip.paidTimeOff = std::max(clip.paidTimeOff, 0.0f);
    return clip;
}

} // namespace hv
