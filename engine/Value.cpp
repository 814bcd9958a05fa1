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

namespace {

void put2(std::string& out, long long v)
{
    out += char('0' + v / 10 % 10);
    out += char('0' + v % 10);
}

bool digits(const char*& p, int count, int& out)
{
    out = 0;
    for (int i = 0; i < count; ++i, ++p) {
        if (*p < '0' || *p > '9')
            return false;
        out = out * 10 + (*p - '0');
    }
    return true;
}

} // namespace

// Written by hand: this runs for every date and time a row carries.
std::string dateTimeToText(double value, FieldType type)
{
    double whole = std::floor(value);
    long long secs = std::llround((value - whole) * 86400.0);
    if (secs >= 86400) {
        whole += 1;
        secs -= 86400;
    }
    std::string out;
    out.reserve(19);
    if (type != FieldType::Time) {
        sys_days d{days{static_cast<long>(whole) - kEpochOffset}};
        year_month_day ymd{d};
        int y = int(ymd.year());
        if (y < 0 || y > 9999) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d", y);
            out += buf;
        } else {
            put2(out, y / 100);
            put2(out, y % 100);
        }
        out += '-';
        put2(out, unsigned(ymd.month()));
        out += '-';
        put2(out, unsigned(ymd.day()));
        if (type == FieldType::Date)
            return out;
        out += ' ';
    }
    put2(out, secs / 3600);
    out += ':';
    put2(out, (secs / 60) % 60);
    out += ':';
    put2(out, secs % 60);
    return out;
}

bool textToDateTime(const std::string& text, double& value)
{
    const char* p = text.c_str();
    double dayPart = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (text.size() >= 10 && p[4] == '-') {
        if (!digits(p, 4, y) || *p++ != '-' || !digits(p, 2, mo) || *p++ != '-' || !digits(p, 2, d))
            return false;
        year_month_day ymd{year{y}, month{unsigned(mo)}, day{unsigned(d)}};
        if (!ymd.ok())
            return false;
        dayPart = double(sys_days{ymd}.time_since_epoch().count() + kEpochOffset);
        if (*p == 0) {
            value = dayPart;
            return true;
        }
        if (*p != ' ' && *p != 'T')
            return false;
        ++p;
    }
    if (!digits(p, 2, h) || *p++ != ':' || !digits(p, 2, mi))
        return false;
    if (*p == ':') {
        ++p;
        if (!digits(p, 2, s))
            return false;
    }
    if (*p != 0 || h > 23 || mi > 59 || s > 59)
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
