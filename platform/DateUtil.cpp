#include "platform/DateUtil.h"

#include <chrono>
#include <cmath>
#include <stdexcept>

namespace hv {

namespace {

using namespace std::chrono;

constexpr sys_days kOrigin = year{1899} / December / 30;

int wholeDay(double value)
{
    return int(std::trunc(value));
}

double timeFraction(double value)
{
    return std::fabs(value - std::trunc(value));
}

year_month_day civil(int day)
{
    return year_month_day{kOrigin + days{day}};
}

int serial(const year_month_day& ymd)
{
    return int((sys_days{ymd} - kOrigin).count());
}

// A day number and a time of day put back together; below the origin the
// fraction is subtracted, as the value's sign rules the whole number.
double combine(int day, double fraction)
{
    return day < 0 ? day - fraction : day + fraction;
}

int floorDiv(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int lastDay(int y, int m)
{
    return int(unsigned(year_month_day_last{year{y}, month_day_last{month{unsigned(m)}}}.day()));
}

// Day number of year/month/day with the day clamped to the month's length.
int clampedSerial(int y, int m, int d)
{
    const int last = lastDay(y, m);
    if (d > last)
        d = last;
    return serial(year{y} / month{unsigned(m)} / day{unsigned(d)});
}

int addMonthsToDay(int dayNumber, int months)
{
    const year_month_day ymd = civil(dayNumber);
    const int total = int(ymd.year()) * 12 + int(unsigned(ymd.month())) - 1 + months;
    const int y = floorDiv(total, 12);
    const int m = total - y * 12 + 1;
    return clampedSerial(y, m, int(unsigned(ymd.day())));
}

int addYearsToDay(int dayNumber, int years)
{
    const year_month_day ymd = civil(dayNumber);
    return clampedSerial(int(ymd.year()) + years, int(unsigned(ymd.month())),
                         int(unsigned(ymd.day())));
}

} // namespace

bool IsLeapYear(int y)
{
    return year{y}.is_leap();
}

int DaysInMonth(int y, int m)
{
    return lastDay(y, m);
}

bool TryEncodeDate(int y, int m, int d, double& date)
{
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > lastDay(y, m))
        return false;
    date = serial(year{y} / month{unsigned(m)} / day{unsigned(d)});
    return true;
}

double EncodeDate(int y, int m, int d)
{
    double date = 0;
    if (!TryEncodeDate(y, m, d, date))
        throw std::out_of_range("invalid date");
    return date;
}

void DecodeDate(double date, int& y, int& m, int& d)
{
    const year_month_day ymd = civil(wholeDay(date));
    y = int(ymd.year());
    m = int(unsigned(ymd.month()));
    d = int(unsigned(ymd.day()));
}

bool TryEncodeTime(int hour, int minute, int second, int msec, double& time)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return false;
    time = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / 86400000.0;
    return true;
}

double EncodeTime(int hour, int minute, int second, int msec)
{
    double time = 0;
    if (!TryEncodeTime(hour, minute, second, msec, time))
        throw std::out_of_range("invalid time");
    return time;
}

void DecodeTime(double time, int& hour, int& minute, int& second, int& msec)
{
    // Rounded, not truncated: 17:12 is not exactly representable and must
    // not come back as 17:11:59.999. A full day wraps to midnight.
    long long ms = std::llround(timeFraction(time) * 86400000.0) % 86400000LL;
    msec = int(ms % 1000);
    ms /= 1000;
    second = int(ms % 60);
    ms /= 60;
    minute = int(ms % 60);
    hour = int(ms / 60);
}

int MinutesOf(double time)
{
    int h = 0, n = 0, s = 0;
    DecodeTime(time, h, n, s);
    return h * 60 + n;
}

void DecodeTime(double time, int& hour, int& minute, int& second)
{
    int msec = 0;
    DecodeTime(time, hour, minute, second, msec);
}

int DayOfWeek(double date)
{
    return int(weekday{kOrigin + days{wholeDay(date)}}.c_encoding());
}

int Year(double date)
{
    return int(civil(wholeDay(date)).year());
}

int Month(double date)
{
    return int(unsigned(civil(wholeDay(date)).month()));
}

int Day(double date)
{
    return int(unsigned(civil(wholeDay(date)).day()));
}

int DaysInMonth(double date)
{
    const year_month_day ymd = civil(wholeDay(date));
    return lastDay(int(ymd.year()), int(unsigned(ymd.month())));
}

double AddMonths(double date, int months)
{
    return combine(addMonthsToDay(wholeDay(date), months), timeFraction(date));
}

double AddYears(double date, int years)
{
    return combine(addYearsToDay(wholeDay(date), years), timeFraction(date));
}

int MonthDiff(double first, double second)
{
    const int a = wholeDay(first);
    const int b = wholeDay(second);
    if (b < a)
        return -MonthDiff(b, a);
    const year_month_day ya = civil(a);
    const year_month_day yb = civil(b);
    int n = (int(yb.year()) - int(ya.year())) * 12
          + int(unsigned(yb.month())) - int(unsigned(ya.month()));
    // n months lands in the second date's month; it counts only once reached.
    if (addMonthsToDay(a, n) > b)
        --n;
    return n;
}

int YearDiff(double first, double second)
{
    const int a = wholeDay(first);
    const int b = wholeDay(second);
    if (b < a)
        return -YearDiff(b, a);
    int n = int(civil(b).year()) - int(civil(a).year());
    if (addYearsToDay(a, n) > b)
        --n;
    return n;
}

double NearestValidDate(int y, int m, int d)
{
    const int months = m - 1;
    y += floorDiv(months, 12);
    m = months - floorDiv(months, 12) * 12 + 1;
    if (d >= 1)
        return clampedSerial(y, m, d);
    return serial(year{y} / month{unsigned(m)} / day{1}) + (d - 1);
}

std::string DateFormat(const RegionalSettings& settings)
{
    std::string format = settings.shortDateFormat;
    constexpr std::size_t kMax = 255;
    if (format.size() > kMax) {
        std::size_t cut = kMax;
        // Never split a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(format[cut]) & 0xC0) == 0x80)
            --cut;
        format.resize(cut);
    }
    return format;
}

std::string DateFormat()
{
    return DateFormat(regional());
}

} // namespace hv
