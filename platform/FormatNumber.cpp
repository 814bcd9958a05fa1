// Number formatting: patterns (FormatFloat), the general form (FloatToStr),
// printf-style texts and currency amounts, all with one rounding rule.
#include "platform/Format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/FormatInternal.h"
#include "platform/RegionalSettings.h"

namespace hv {

using format_detail::isDigit;
using format_detail::upper;

namespace {

// |value| rounded to a number of decimals, as digit texts: the integer part
// without leading zeros (empty for zero) and exactly `decimals` fraction digits.
struct Rounded {
    std::string integer;
    std::string fraction;
    bool isZero = true;
};

// value as "%.14e" prints it ("1.23450000000000e+02"), with its closing
// zero byte. std::to_chars gives the same correctly rounded digits, ties to
// even like printf, without printf's slow general path.
void scientific15(char (&buf)[64], double value)
{
    const auto end = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14).ptr;
    *end = '\0';
}

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
    scientific15(buf, magnitude);
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
    throw std::invalid_argument("format \"" + std::string(pattern) + "\" is invalid or does not fit its arguments");
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
    scientific15(buf, std::fabs(value));
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

std::string FormatCurrency(double value) { return FormatCurrency(value, regional().currencyDecimals); }

std::string FormatCurrency(double value, int decimals)
{
    static const char* const positive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const negative[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                           "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
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

} // namespace hv
