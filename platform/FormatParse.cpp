// Parsing of typed numbers, times and dates (TryStrTo*, StrTo*Def) by the
// regional settings.
#include "platform/Format.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include <QString>

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/FormatInternal.h"
#include "platform/RegionalSettings.h"

namespace hv {

using format_detail::isDigit;
using format_detail::upper;

namespace {

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

} // namespace

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

    // Today is read only when the text leaves the year or its century to it:
    // the system clock looks at the time zone each time, and an import
    // parses a date on every line.
    auto currentYear = [] { return Year(clock().today()); };
    int y = 0, m = 0, d = 0;
    std::string used = order;
    if (tokens.size() == 2) {
        used.erase(used.find('Y'), 1);
        y = currentYear();
    }
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
                const int pivot = currentYear() - 50;
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

std::string UpperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

} // namespace hv
