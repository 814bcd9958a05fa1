#include "timekeeping/TimeValues.h"

#include "platform/DateUtil.h"
#include "platform/Format.h"

#include <algorithm>

namespace hv {

std::string FormatPunch(double value, const std::string& timeFormat)
{
    if (isEmptyPunch(value))
        return BlankPunchDisplay(TimeTypeFor(timeFormat));
    return FormatDateTime(timeFormat, value);
}

std::optional<double> ParsePunch(const std::string& text, const std::string& timeFormat)
{
    TimeType type = TimeTypeFor(timeFormat);
    if ((type == TimeType::te24Hour && text == "  :  ") || text == "  :    ")
        return kEmptyPunch;
    std::string toParse = type == TimeType::te12Hour ? text + "M" : text;
    double value = 0;
    if (!TryStrToTime(toParse, value))
        return std::nullopt;
    return value;
}

namespace {

// round(r / step) with halves up, for r > 0.
int roundedSteps(int r, int step) { return (2 * r + step) / (2 * step); }

} // namespace

float DayHours(const PunchPairs& in, const PunchPairs& out, int minuteRounding)
{
    int minutes = 0;
    for (int k = 0; k < 4; ++k) {
        bool hasIn = !isEmptyPunch(in[k]), hasOut = !isEmptyPunch(out[k]);
        if (hasIn)
            minutes -= MinutesOf(in[k]);
        if (hasOut)
            minutes += MinutesOf(out[k]);
        if (hasIn && hasOut && MinutesOf(in[k]) > MinutesOf(out[k]))
            minutes += 1440; // the pair runs past midnight
    }
    int h = minutes / 60;
    int r = minutes - 60 * h;
    if (r <= 0)
        return float(h);
    // Worked out in double and rounded to single precision once: adding a
    // single-precision fraction would round twice (2 h 23 min would come out
    // one unit in the last place low).
    auto hours = [h](double fraction) { return float(double(h) + fraction); };
    switch (minuteRounding) {
    case 0: return hours(r / 60.0);
    case 1: return hours(roundedSteps(r, 5) / 12.0);
    case 2: return hours(roundedSteps(r, 6) / 10.0);
    case 3: return hours(roundedSteps(r, 10) / 6.0);
    case 4: return hours(roundedSteps(r, 15) / 4.0);
    default: return hours(roundedSteps(r, 30) / 2.0);
    }
}

} // namespace hv
