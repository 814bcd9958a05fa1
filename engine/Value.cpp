#include "engine/Value.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace hv::engine {
namespace {
using namespace std::chrono;
// 30 December 1899 is 25569 days before 1 January 1970.
constexpr long kEpochOffset = 25569;
} // namespace

std::string dateTimeToText(double value, FieldType type)
{
    double whole = std::floor(value);
    long long secs = std::llround((value - whole) * 86400.0);
    if (secs >= 86400) {
        whole += 1;
        secs -= 86400;
    }
    char buf[40];
    if (type == FieldType::Time) {
        std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", secs / 3600, (secs / 60) % 60, secs % 60);
        return buf;
    }
    sys_days d{days{static_cast<long>(whole) - kEpochOffset}};
    year_month_day ymd{d};
    int y = int(ymd.year());
    unsigned m = unsigned(ymd.month()), dd = unsigned(ymd.day());
    if (type == FieldType::Date) {
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", y, m, dd);
        return buf;
    }
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02lld:%02lld:%02lld", y, m, dd, secs / 3600,
                  (secs / 60) % 60, secs % 60);
    return buf;
}

bool textToDateTime(const std::string& text, double& value)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, n = 0;
    double dayPart = 0;
    const char* p = text.c_str();
    if (text.size() >= 10 && std::sscanf(p, "%4d-%2d-%2d%n", &y, &mo, &d, &n) == 3 && n == 10) {
        year_month_day ymd{year{y}, month{unsigned(mo)}, day{unsigned(d)}};
        if (!ymd.ok())
            return false;
        dayPart = double(sys_days{ymd}.time_since_epoch().count() + kEpochOffset);
        p += 10;
        if (*p == 0) {
            value = dayPart;
            return true;
        }
        if (*p != ' ' && *p != 'T')
            return false;
        ++p;
    }
    if (std::sscanf(p, "%2d:%2d:%2d%n", &h, &mi, &s, &n) == 3 && p[n] == 0) {
    } else if (std::sscanf(p, "%2d:%2d%n", &h, &mi, &n) == 2 && p[n] == 0) {
        s = 0;
    } else {
        return false;
    }
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    value = dayPart + (h * 3600 + mi * 60 + s) / 86400.0;
    return true;
}

} // namespace hv::engine

#include <sstream>

namespace hv::engine {

std::string valueAsString(const Value& v)
{
    if (auto* s = std::get_if<std::string>(&v))
        return *s;
    if (auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) {
        std::ostringstream ss;
        ss.precision(15);
        ss << *d;
        return ss.str();
    }
    return {};
}

std::int64_t valueAsInteger(const Value& v)
{
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (auto* d = std::get_if<double>(&v))
        return std::int64_t(std::llround(*d));
    if (auto* s = std::get_if<std::string>(&v))
        return std::strtoll(s->c_str(), nullptr, 10);
    return 0;
}

double valueAsFloat(const Value& v)
{
    if (auto* i = std::get_if<std::int64_t>(&v))
        return double(*i);
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* s = std::get_if<std::string>(&v)) {
        double dt;
        if (textToDateTime(*s, dt))
            return dt;
        return std::strtod(s->c_str(), nullptr);
    }
    return 0;
}

bool valueAsBoolean(const Value& v)
{
    if (auto* s = std::get_if<std::string>(&v))
        return *s == "1" || (s->size() == 4 && (*s)[0] % 32 == 't' % 32 && (*s)[1] % 32 == 'r' % 32 &&
                             (*s)[2] % 32 == 'u' % 32 && (*s)[3] % 32 == 'e' % 32);
    return valueAsFloat(v) != 0;
}

double valueAsDateTime(const Value& v)
{
    if (auto* s = std::get_if<std::string>(&v)) {
        double dt = 0;
        return textToDateTime(*s, dt) ? dt : 0.0;
    }
    return valueAsFloat(v);
}

} // namespace hv::engine
