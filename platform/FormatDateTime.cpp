// Date-time patterns (FormatDateTime), including the regional formats they
// refer to and the 12-hour clock.
#include "platform/Format.h"

#include <cmath>
#include <cstdio>

#include "platform/DateUtil.h"
#include "platform/FormatInternal.h"
#include "platform/RegionalSettings.h"

namespace hv {

using format_detail::upper;

namespace {

bool startsWithNoCase(const std::string& text, std::size_t at, const char* word)
{
    for (std::size_t k = 0; word[k]; ++k)
        if (at + k >= text.size() || upper(text[at + k]) != word[k])
            return false;
    return true;
}

// Length of the am/pm specifier at this position, or 0.
std::size_t amPmLength(const std::string& fmt, std::size_t at)
{
    if (startsWithNoCase(fmt, at, "AM/PM"))
        return 5;
    if (startsWithNoCase(fmt, at, "A/P"))
        return 3;
    if (startsWithNoCase(fmt, at, "AMPM"))
        return 4;
    return 0;
}

// Whether the pattern holds an am/pm specifier, which makes its hours
// 12-hour; some regions put the designator before the hour.
bool hasAmPm(const std::string& fmt)
{
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = fmt.find(c, i + 1);
            if (end == std::string::npos)
                return false;
            i = end;
            continue;
        }
        if (amPmLength(fmt, i) > 0)
            return true;
    }
    return false;
}

struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int dayOfWeek = 0;
    bool hasTime = false;
};

DateTimeParts splitDateTime(double value)
{
    DateTimeParts p;
    int dayNumber = int(std::trunc(value));
    long long ms = std::llround(std::fabs(value - std::trunc(value)) * 86400000.0);
    if (ms >= 86400000LL) {
        // 23:59:59.9996 shows as midnight of the next day, not of this one.
        ms -= 86400000LL;
        ++dayNumber;
    }
    DecodeDate(dayNumber, p.year, p.month, p.day);
    p.dayOfWeek = DayOfWeek(dayNumber);
    p.hasTime = ms != 0;
    p.msec = int(ms % 1000);
    ms /= 1000;
    p.second = int(ms % 60);
    ms /= 60;
    p.minute = int(ms % 60);
    p.hour = int(ms / 60);
    return p;
}

std::string twoDigits(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

void appendDateTime(std::string& out, const std::string& fmt, const DateTimeParts& p, int depth)
{
    const RegionalSettings& rs = regional();
    if (depth > 2)
        return; // regional formats that refer to each other
    char lastToken = 0;
    std::size_t i = 0;
    while (i < fmt.size()) {
        const char c = fmt[i];
        char token = upper(c);
        const bool letter = token >= 'A' && token <= 'Z';
        if (letter) {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        std::size_t count = 1;
        while (i + count < fmt.size() && upper(fmt[i + count]) == upper(c))
            ++count;
        switch (token) {
        case 'Y':
            out += count <= 2 ? twoDigits(p.year % 100) : std::to_string(p.year);
            i += count;
            break;
        case 'M':
            if (count == 1)
                out += std::to_string(p.month);
            else if (count == 2)
                out += twoDigits(p.month);
            else if (count == 3)
                out += rs.shortMonthNames[std::size_t(p.month - 1)];
            else
                out += rs.longMonthNames[std::size_t(p.month - 1)];
            i += count;
            break;
        case 'D':
            if (count == 1)
                out += std::to_string(p.day);
            else if (count == 2)
                out += twoDigits(p.day);
            else if (count == 3)
                out += rs.shortDayNames[std::size_t(p.dayOfWeek)];
            else if (count == 4)
                out += rs.longDayNames[std::size_t(p.dayOfWeek)];
            else if (count == 5)
                appendDateTime(out, rs.shortDateFormat, p, depth + 1);
            else
                appendDateTime(out, rs.longDateFormat, p, depth + 1);
            i += count;
            break;
        case 'H': {
            int hour = p.hour;
            if (hasAmPm(fmt)) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += count == 1 ? std::to_string(hour) : twoDigits(hour);
            i += count;
            break;
        }
        case 'N':
            out += count == 1 ? std::to_string(p.minute) : twoDigits(p.minute);
            i += count;
            break;
        case 'S':
            out += count == 1 ? std::to_string(p.second) : twoDigits(p.second);
            i += count;
            break;
        case 'Z': {
            char buf[16];
            std::snprintf(buf, sizeof buf, count >= 3 ? "%03d" : "%d", p.msec);
            out += buf;
            i += count;
            break;
        }
        case 'T':
            appendDateTime(out, count == 1 ? rs.shortTimeFormat : rs.longTimeFormat, p, depth + 1);
            i += count;
            break;
        case 'C':
            appendDateTime(out, rs.shortDateFormat, p, depth + 1);
            if (p.hasTime) {
                out += ' ';
                appendDateTime(out, rs.longTimeFormat, p, depth + 1);
            }
            i += count;
            break;
        case 'A': {
            const std::size_t len = amPmLength(fmt, i);
            const bool pm = p.hour >= 12;
            if (len == 5) // the pattern's own "AM" or "PM", in its case
                out.append(fmt, pm ? i + 3 : i, 2);
            else if (len == 3)
                out += fmt[pm ? i + 2 : i];
            else if (len == 4)
                out += pm ? rs.pmDesignator : rs.amDesignator;
            else
                out += c;
            i += len ? len : 1;
            break;
        }
        case '/':
            out += rs.dateSeparator;
            ++i;
            break;
        case ':':
            out += rs.timeSeparator;
            ++i;
            break;
        case '"':
        case '\'': {
            const std::size_t end = fmt.find(c, i + 1);
            const std::size_t stop = end == std::string::npos ? fmt.size() : end;
            out.append(fmt, i + 1, stop - i - 1);
            i = stop + 1;
            break;
        }
        default:
            out += c;
            ++i;
            break;
        }
    }
}

} // namespace

std::string FormatDateTime(const std::string& pattern, double value)
{
    std::string out;
    appendDateTime(out, pattern.empty() ? std::string("c") : pattern, splitDateTime(value), 0);
    return out;
}

} // namespace hv
