#include "timekeeping/TimeValues.h"

#include "platform/DateUtil.h"
#include "platform/Format.h"

#include <algorithm>

namespace hv {

TimeType TimeTypeFor(const std::string& timeFormat)
{
    return timeFormat == "hh:nn" ? TimeType::te24Hour : TimeType::te12Hour;
}

std::string BlankPunchDisplay(TimeType type) { return type == TimeType::te24Hour ? "  :  " : "  :   "; }

TimeBoxLayout TimeBoxLayoutFor(TimeType type)
{
    if (type == TimeType::te24Hour)
        return {"!90:00;1;_", "  :  ", 5};
    return {"!90:00> L;1;_", "  :    ", 7};
}

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

std::string ExpectedTimeEntry(const std::string& timeFormat)
{
    return TimeTypeFor(timeFormat) == TimeType::te24Hour ? "HH:MM" : "HH:MM A/P";
}

std::string PunchMaskMessage(const std::string& boxText, const std::string& timeFormat)
{
    auto first = boxText.find_first_not_of(' ');
    auto last = boxText.find_last_not_of(' ');
    std::string trimmed = first == std::string::npos ? std::string() : boxText.substr(first, last - first + 1);
    return "Your entry \"" + trimmed + "\" was not in a valid time format.\r\rPlease try again using an " +
           ExpectedTimeEntry(timeFormat) + " format.";
}

std::string PunchParseMessage(const std::string& text, const std::string& timeFormat)
{
    return "Your entry \"" + text + "\" was not in a valid time" + " format." + "\r\r" +
           "Please try again using an " + ExpectedTimeEntry(timeFormat) + " format.";
}

char ApKeyLetter(const std::string& boxText, int maxLength, int keyCode, KeyModifier held,
                 const GlobalSettings& settings)
{
    if (settings.timeFormat != "hh:nn A/P" || keyCode == 0)
        return 0;
    std::size_t typed = 0;
    for (char c : boxText)
        if (c != ' ')
            ++typed;
    if (int(typed) != maxLength - 2)
        return 0;
    if (keyCode == settings.amKey && held == settings.amModifier)
        return 'A';
    if (keyCode == settings.pmKey && held == settings.pmModifier)
        return 'P';
    return 0;
}

namespace {

int minutesOf(double time)
{
    int h = 0, n = 0, s = 0;
    DecodeTime(time, h, n, s);
    return h * 60 + n;
}

// round(r / step) with halves up, for r > 0.
int roundedSteps(int r, int step) { return (2 * r + step) / (2 * step); }

} // namespace

float DayHours(const PunchPairs& in, const PunchPairs& out, int minuteRounding)
{
    int minutes = 0;
    for (int k = 0; k < 4; ++k) {
        bool hasIn = !isEmptyPunch(in[k]), hasOut = !isEmptyPunch(out[k]);
        if (hasIn)
            minutes -= minutesOf(in[k]);
        if (hasOut)
            minutes += minutesOf(out[k]);
        if (hasIn && hasOut && minutesOf(in[k]) > minutesOf(out[k]))
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
