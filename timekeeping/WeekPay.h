#pragma once
// The pay of one computed week: the week object's hours, shifts and time
// off handed to the pay calculation.
#include "people/WageCalc.h"

namespace hv {

class THourvaneDataMod;
class TWorkWeekRecClass;

// The week's numbers as the pay calculation takes them: per day its date,
// regular and overtime hours and the shift of its first punch row; per
// weekday the paid and the overtime-counting time off.
PayWeek PayWeekOf(const TWorkWeekRecClass& week);

// WeeklyPay of the week for the days from periodStart to periodEnd, with the
// shift settings of the global settings. The week must be loaded or computed.
WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWorkWeekRecClass& week, double periodStart,
                         double periodEnd);

// The same with the wage history and overtime assignments read by the caller.
WeekPayAmounts WeeklyPay(THourvaneDataMod& dm, const TWorkWeekRecClass& week, const TWageListClass& wages,
                         const TEmpOTPolicyListClass& assignments, double periodStart, double periodEnd);

} // namespace hv
