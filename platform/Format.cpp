#include "platform/Format.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <QString>

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"

namespace hv {

namespace {

// ---------------------------------------------------------------- numbers

// |value| rounded to a number of decimals, as digit texts: the integer part
// without leading zeros (empty for zero) and exactly `decimals` fraction digits.
struct Rounded {
    std::string integer;
    std::string fraction;
    bool isZero = true;
};

Rounded roundDecimal(double value, int decimals)
{
    Rounded r;
    if (decimals < 0)
        decimals = 0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0) {
        r.fraction.assign(std::size_t(decimals), '0');
        return r;
    }
    // 15 significant digits: what a double reliably carries.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    std::string digits;
    digits += buf[0];
    const char* p = buf + 2;
    while (*p >= '0' && *p <= '9')
        digits += *p++;
    const int exponent = std::atoi(p + 1); // past the 'e'
    int integerLength = exponent + 1;
    if (integerLength <= 0) {
        digits.insert(0, std::size_t(-integerLength), '0');
        integerLength = 0;
    } else if (integerLength > int(digits.size())) {
        digits.append(std::size_t(integerLength) - digits.size(), '0');
    }
    const std::size_t keep = std::size_t(integerLength + decimals);
    if (keep < digits.size()) {
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            std::size_t i = digits.size();
            while (i > 0) {
                --i;
                if (digits[i] == '9') {
                    digits[i] = '0';
                } else {
                    ++digits[i];
                    break;
                }
                if (i == 0) {
                    digits.insert(digits.begin(), '1');
                    ++integerLength;
                    break;
                }
            }
            if (digits.empty()) {
                digits = "1";
                integerLength = 1;
            }
        }
    } else {
        digits.append(keep - digits.size(), '0');
    }
    r.integer = digits.substr(0, std::size_t(integerLength));
    r.fraction = digits.substr(std::size_t(integerLength));
    const auto firstNonZero = r.integer.find_first_not_of('0');
    r.integer = firstNonZero == std::string::npos ? std::string() : r.integer.substr(firstNonZero);
    r.isZero = r.integer.empty() && r.fraction.find_first_not_of('0') == std::string::npos;
    return r;
}

std::string groupThousands(const std::string& integer, const std::string& separator)
{
    std::string out;
    const std::size_t n = integer.size();
    for (std::size_t i = 0; i < n; ++i) {
        out += integer[i];
        const std::size_t left = n - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += separator;
    }
    return out;
}

// A number with fixed decimals; the sign is the caller's.
std::string fixedDigits(const Rounded& r, bool thousands)
{
    const RegionalSettings& rs = regional();
    std::string integer = r.integer.empty() ? "0" : r.integer;
    std::string out = thousands ? groupThousands(integer, rs.thousandSeparator) : integer;
    if (!r.fraction.empty())
        out += rs.decimalSeparator + r.fraction;
    return out;
}

const char* nonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    return nullptr;
}

std::vector<std::string> splitSections(const std::string& pattern)
{
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : pattern) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

struct NumberLayout {
    int integerPlaces = 0;  // placeholders before the decimal point
    int minInteger = 0;     // digits always shown before it
    int fractionPlaces = 0; // placeholders after it: the decimals rounded to
    int minFraction = 0;    // decimals always shown
    bool thousands = false;
};

NumberLayout analyse(const std::string& section)
{
    NumberLayout l;
    bool afterPoint = false;
    int firstZero = -1;
    int lastZero = -1;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        switch (c) {
        case '"':
        case '\'':
            quote = c;
            break;
        case '0':
        case '#':
            if (afterPoint) {
                if (c == '0')
                    lastZero = l.fractionPlaces;
                ++l.fractionPlaces;
            } else {
                if (c == '0' && firstZero < 0)
                    firstZero = l.integerPlaces;
                ++l.integerPlaces;
            }
            break;
        case '.':
            afterPoint = true;
            break;
        case ',':
            l.thousands = true;
            break;
        default:
            break;
        }
    }
    l.minInteger = firstZero < 0 ? 0 : l.integerPlaces - firstZero;
    l.minFraction = lastZero + 1;
    return l;
}

std::string renderSection(const std::string& section, const NumberLayout& l, const Rounded& r)
{
    const RegionalSettings& rs = regional();
    std::string integer = r.integer;
    if (int(integer.size()) < l.minInteger)
        integer.insert(0, std::size_t(l.minInteger) - integer.size(), '0');
    std::string fraction = r.fraction;
    while (int(fraction.size()) > l.minFraction && fraction.back() == '0')
        fraction.pop_back();

    const int length = int(integer.size());
    std::string out;
    auto emitDigit = [&](int fromRight) {
        out += integer[std::size_t(length - 1 - fromRight)];
        if (l.thousands && fromRight > 0 && fromRight % 3 == 0)
            out += rs.thousandSeparator;
    };

    int integerIndex = 0;
    std::size_t fractionIndex = 0;
    bool afterPoint = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = section.find(c, i + 1);
            const std::size_t stop = end == std::string::npos ? section.size() : end;
            out.append(section, i + 1, stop - i - 1);
            i = stop;
            continue;
        }
        if (c == '0' || c == '#') {
            if (afterPoint) {
                if (fractionIndex < fraction.size())
                    out += fraction[fractionIndex];
                ++fractionIndex;
                continue;
            }
            // Placeholders map to digits from the right; the first one also
            // takes every digit the pattern has no place for.
            const int slot = l.integerPlaces - 1 - integerIndex;
            if (integerIndex == 0) {
                for (int p = length - 1; p >= slot; --p)
                    if (p >= 0)
                        emitDigit(p);
            } else if (slot < length) {
                emitDigit(slot);
            }
            ++integerIndex;
            continue;
        }
        if (c == '.') {
            if (!afterPoint) {
                afterPoint = true;
                if (l.integerPlaces == 0)
                    for (int p = length - 1; p >= 0; --p)
                        emitDigit(p);
                if (!fraction.empty())
                    out += rs.decimalSeparator;
            }
            continue;
        }
        if (c == ',')
            continue;
        out += c;
    }
    return out;
}

// ---------------------------------------------------------------- dates

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

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

// ---------------------------------------------------------------- parsing

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Typed or pasted text may carry the bidirectional marks that some regions'
// formats put around separators; they mean nothing to a parser.
std::string withoutBidiMarks(std::string text)
{
    for (const char* mark : {"\xE2\x80\x8E", "\xE2\x80\x8F", "\xD8\x9C"}) {
        const std::string m(mark);
        for (std::size_t at = text.find(m); at != std::string::npos; at = text.find(m, at))
            text.erase(at, m.size());
    }
    return text;
}

std::string trimBlanks(const std::string& text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads 1..maxDigits digits at pos.
bool readNumber(const std::string& s, std::size_t& pos, std::size_t maxDigits, int& value)
{
    std::size_t n = 0;
    value = 0;
    while (pos < s.size() && isDigit(s[pos]) && n < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++n;
    }
    return n > 0 && !(pos < s.size() && isDigit(s[pos]));
}

bool readSeparator(const std::string& s, std::size_t& pos, const std::string& separator)
{
    if (!separator.empty() && s.compare(pos, separator.size(), separator) == 0) {
        pos += separator.size();
        return true;
    }
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        return true;
    }
    return false;
}

int utf8Length(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string utf8Left(const std::string& s, int chars)
{
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars)
                return s.substr(0, i);
            ++n;
        }
    }
    return s;
}

[[noreturn]] void badFormat(std::string_view pattern)
{
    throw std::invalid_argument("format \"" + std::string(pattern)
                                + "\" is invalid or does not fit its arguments");
}

} // namespace

std::string FormatFloat(const std::string& pattern, double value)
{
    if (const char* special = nonFinite(value))
        return special;
    if (pattern.empty())
        return FloatToStr(value);
    const std::vector<std::string> sections = splitSections(pattern);
    auto usable = [&](std::size_t k) { return sections.size() > k && !sections[k].empty(); };

    std::size_t index = 0;
    bool minus = false;
    if (value < 0) {
        if (usable(1))
            index = 1;
        else
            minus = true;
    } else if (value == 0 && usable(2)) {
        index = 2;
    }
    NumberLayout layout = analyse(sections[index]);
    Rounded r = roundDecimal(value, layout.fractionPlaces);
    if (r.isZero) {
        minus = false;
        if (value != 0 && usable(2)) {
            index = 2;
            layout = analyse(sections[index]);
            r = roundDecimal(0.0, layout.fractionPlaces);
        }
    }
    return (minus ? "-" : "") + renderSection(sections[index], layout, r);
}

std::string FloatToStr(double value)
{
    if (const char* special = nonFinite(value))
        return special;
    if (value == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    const char* p = buf + 2;
    while (*p >= '0' && *p <= '9')
        digits += *p++;
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const std::string& point = regional().decimalSeparator;
    std::string out = value < 0 ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += point + digits.substr(1);
        out += "E";
        out += exponent < 0 ? "-" : "";
        out += std::to_string(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += "0" + point + std::string(std::size_t(-exponent - 1), '0') + digits;
        return out;
    }
    const std::size_t integerLength = std::size_t(exponent) + 1;
    if (digits.size() <= integerLength)
        return out + digits + std::string(integerLength - digits.size(), '0');
    return out + digits.substr(0, integerLength) + point + digits.substr(integerLength);
}

std::string FormatDateTime(const std::string& pattern, double value)
{
    std::string out;
    appendDateTime(out, pattern.empty() ? std::string("c") : pattern, splitDateTime(value), 0);
    return out;
}

std::string FormatTextArgs(std::string_view pattern, const std::vector<FormatArg>& args)
{
    std::string out;
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < pattern.size() && pattern[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        if (i < pattern.size() && pattern[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        while (i < pattern.size() && isDigit(pattern[i]))
            width = width * 10 + (pattern[i++] - '0');
        int precision = -1;
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            precision = 0;
            while (i < pattern.size() && isDigit(pattern[i]))
                precision = precision * 10 + (pattern[i++] - '0');
        }
        if (i >= pattern.size() || next >= args.size())
            badFormat(pattern);
        const char type = upper(pattern[i++]);
        const auto& arg = args[next++].value();
        std::string text;
        switch (type) {
        case 'D':
        case 'U':
        case 'X': {
            const long long* n = std::get_if<long long>(&arg);
            if (!n || (type == 'U' && *n < 0))
                badFormat(pattern);
            const unsigned long long magnitude =
                *n < 0 ? 0ULL - static_cast<unsigned long long>(*n) : static_cast<unsigned long long>(*n);
            char buf[32];
            std::snprintf(buf, sizeof buf, type == 'X' ? "%llX" : "%llu", magnitude);
            std::string digits = buf;
            if (precision > int(digits.size()))
                digits.insert(0, std::size_t(precision) - digits.size(), '0');
            text = (*n < 0 ? "-" : "") + digits;
            break;
        }
        case 'F':
        case 'N': {
            double v = 0;
            if (const double* d = std::get_if<double>(&arg))
                v = *d;
            else if (const long long* n = std::get_if<long long>(&arg))
                v = double(*n);
            else
                badFormat(pattern);
            if (const char* special = nonFinite(v)) {
                text = special;
                break;
            }
            const Rounded r = roundDecimal(v, precision < 0 ? 2 : precision);
            text = (v < 0 && !r.isZero ? "-" : "") + fixedDigits(r, type == 'N');
            break;
        }
        case 'S': {
            const std::string* s = std::get_if<std::string>(&arg);
            if (!s)
                badFormat(pattern);
            text = precision >= 0 ? utf8Left(*s, precision) : *s;
            break;
        }
        default:
            badFormat(pattern);
        }
        const int length = utf8Length(text);
        if (length < width) {
            const std::string pad(std::size_t(width - length), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

std::string FormatCurrency(double value)
{
    return FormatCurrency(value, regional().currencyDecimals);
}

std::string FormatCurrency(double value, int decimals)
{
    static const char* const positive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const negative[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$",
                                           "1-$", "1$-", "-1 $", "-$ 1", "1 $-", "$ 1-",
                                           "$ -1", "1- $", "($ 1)", "(1 $)"};
    const RegionalSettings& rs = regional();
    if (const char* special = nonFinite(value))
        return special;
    const Rounded r = roundDecimal(value, decimals);
    const std::string amount = fixedDigits(r, true);
    const bool isNegative = value < 0 && !r.isZero;
    const int layout = isNegative ? rs.negativeCurrencyFormat : rs.currencyFormat;
    const char* shape = isNegative ? negative[(layout >= 0 && layout < 16) ? layout : 1]
                                   : positive[(layout >= 0 && layout < 4) ? layout : 0];
    std::string out;
    for (const char* p = shape; *p; ++p) {
        if (*p == '$')
            out += rs.currencyString;
        else if (*p == '1')
            out += amount;
        else
            out += *p;
    }
    return out;
}

bool TryStrToFloat(const std::string& text, double& value)
{
    const std::string s = trimBlanks(text);
    const std::string& point = regional().decimalSeparator;
    std::string plain; // the number in the notation from_chars reads
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            plain += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        plain += s[i++];
        ++digits;
    }
    if (!point.empty() && s.compare(i, point.size(), point) == 0) {
        i += point.size();
        plain += '.';
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            plain += s[i++];
        std::size_t exponentDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != s.size())
        return false;
    double result = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

double StrToFloatDef(const std::string& text, double defaultValue)
{
    double value = 0;
    return TryStrToFloat(text, value) ? value : defaultValue;
}

bool TryStrToInt(const std::string& text, int& value)
{
    const std::string s = trimBlanks(text);
    std::size_t start = (!s.empty() && s[0] == '+') ? 1 : 0;
    if (start < s.size() && s[start] == '-' && start == 1)
        return false;
    long long result = 0;
    const char* first = s.data() + start;
    const char* last = s.data() + s.size();
    if (first == last)
        return false;
    const auto [end, ec] = std::from_chars(first, last, result);
    if (ec != std::errc() || end != last || result < INT_MIN || result > INT_MAX)
        return false;
    value = int(result);
    return true;
}

int StrToIntDef(const std::string& text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

bool TryStrToTime(const std::string& text, double& time)
{
    const RegionalSettings& rs = regional();
    const std::string s = trimBlanks(withoutBidiMarks(text));
    std::size_t pos = 0;
    int hour = 0, minute = 0, second = 0;
    if (!readNumber(s, pos, 2, hour))
        return false;
    if (!readSeparator(s, pos, rs.timeSeparator) || !readNumber(s, pos, 2, minute))
        return false;
    {
        std::size_t at = pos;
        if (readSeparator(s, at, rs.timeSeparator)) {
            if (!readNumber(s, at, 2, second))
                return false;
            pos = at;
        }
    }
    // What follows may only be a designator, with or without a blank before it.
    const QString rest = QString::fromStdString(s.substr(pos)).trimmed();
    int designator = 0; // 0 none, 1 AM, 2 PM
    if (!rest.isEmpty()) {
        auto is = [&rest](const std::string& word) {
            return !word.empty()
                && rest.compare(QString::fromStdString(word), Qt::CaseInsensitive) == 0;
        };
        if (is(rs.amDesignator) || is("AM"))
            designator = 1;
        else if (is(rs.pmDesignator) || is("PM"))
            designator = 2;
        else
            return false;
    }
    if (minute > 59 || second > 59)
        return false;
    if (designator != 0) {
        if (hour > 12)
            return false;
        hour = hour % 12 + (designator == 2 ? 12 : 0);
    } else if (hour > 23) {
        return false;
    }
    return TryEncodeTime(hour, minute, second, 0, time);
}

bool TryStrToDate(const std::string& text, double& date)
{
    const RegionalSettings& rs = regional();
    // The order of day, month and year in the short date format, and the
    // characters it puts between them ("/" standing for the date separator).
    std::string order;
    std::vector<std::string> separators = {rs.dateSeparator.empty() ? std::string("/")
                                                                    : rs.dateSeparator};
    {
        // Literal text between the fields separates as a whole ("年", ". ").
        std::string literal;
        auto flush = [&] {
            if (!literal.empty())
                separators.push_back(literal);
            literal.clear();
        };
        const std::string& fmt = rs.shortDateFormat;
        for (std::size_t i = 0; i < fmt.size(); ++i) {
            const char c = fmt[i];
            if (c == '"' || c == '\'') {
                const std::size_t end = fmt.find(c, i + 1);
                if (end == std::string::npos)
                    break;
                flush();
                literal = fmt.substr(i + 1, end - i - 1);
                flush();
                i = end;
                continue;
            }
            const char u = upper(c);
            if (u == 'D' || u == 'M' || u == 'Y') {
                flush();
                if (order.find(u) == std::string::npos)
                    order += u;
            } else if (c == '/' || isBlank(c) || (u >= 'A' && u <= 'Z') || isDigit(c)) {
                flush();
            } else {
                literal += c;
            }
        }
        flush();
        if (order.size() != 3)
            order = "MDY";
    }

    // Tokens: runs of digits, or runs of anything else that is no separator
    // (a month name). Blanks separate too; two separators in a row leave a
    // part out, and a separator closing the text ("15.3.2023.") is harmless.
    struct Token {
        std::string text;
        bool digits;
    };
    auto separatorAt = [&separators](const std::string& str, std::size_t at) -> std::size_t {
        for (const std::string& sep : separators)
            if (!sep.empty() && str.compare(at, sep.size(), sep) == 0)
                return sep.size();
        return 0;
    };
    std::vector<Token> tokens;
    const std::string s = trimBlanks(withoutBidiMarks(text));
    bool pendingSeparator = false;
    std::size_t i = 0;
    while (i < s.size()) {
        if (isBlank(s[i])) {
            ++i;
            continue;
        }
        if (const std::size_t length = separatorAt(s, i)) {
            if (tokens.empty() || pendingSeparator)
                return false;
            pendingSeparator = true;
            i += length;
            continue;
        }
        const bool digit = isDigit(s[i]);
        Token token{{}, digit};
        while (i < s.size() && !isBlank(s[i]) && isDigit(s[i]) == digit && !separatorAt(s, i))
            token.text += s[i++];
        tokens.push_back(std::move(token));
        pendingSeparator = false;
    }
    if (tokens.size() < 2 || tokens.size() > 3)
        return false;

    const int currentYear = Year(clock().today());
    int y = currentYear, m = 0, d = 0;
    std::string used = order;
    if (tokens.size() == 2)
        used.erase(used.find('Y'), 1);
    for (std::size_t k = 0; k < used.size(); ++k) {
        const Token& t = tokens[k];
        if (!t.digits) {
            // Only the month may be written as a name, short or long.
            if (used[k] != 'M')
                return false;
            const QString name = QString::fromStdString(t.text);
            for (int n = 0; n < 12 && m == 0; ++n)
                for (const std::string* candidate : {&rs.shortMonthNames[std::size_t(n)],
                                                     &rs.longMonthNames[std::size_t(n)]})
                    if (!candidate->empty()
                        && name.compare(QString::fromStdString(*candidate), Qt::CaseInsensitive) == 0)
                        m = n + 1;
            if (m == 0)
                return false;
            continue;
        }
        if (t.text.size() > 4)
            return false;
        const int number = std::atoi(t.text.c_str());
        switch (used[k]) {
        case 'D': d = number; break;
        case 'M': m = number; break;
        case 'Y':
            y = number;
            if (t.text.size() <= 2) {
                const int pivot = currentYear - 50;
                y += pivot / 100 * 100;
                if (y < pivot)
                    y += 100;
            }
            break;
        default: break;
        }
    }
    return TryEncodeDate(y, m, d, date);
}

} // namespace hv
