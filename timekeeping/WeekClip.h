#pragma once
// A program week cut to a report period: the hours worked report and the
// time card list both count only the days of a week that lie in the period,
// and the export clips its hours the same way.
#include <string>

namespace hv {

class TWorkWeekRecClass;

struct WeekClip {
    float regular = 0;
    float overtime = 0;
    float paidTimeOff = 0;
    double firstDay = 0; // the first and last days of the week in the period
    double lastDay = 0;
};

// The first week-ending date on or after the period start: the first day
// whose weekday is that of the day before the first date setting.
double FirstWeekEnd(double periodStart);

// The loaded week's regular, overtime and paid time off hours less those of
// its days before periodStart and after periodEnd. A removed day gives back
// its worked hours less its overtime (its overtime-counting time off never
// was regular time), its overtime and its paid time off; no figure goes
// below 0.
WeekClip ClipWeek(const TWorkWeekRecClass& week, double periodStart, double periodEnd);

} // namespace hv
