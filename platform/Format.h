#pragma once
// The one formatting module: number patterns, date-time patterns, printf-style
// texts, currency amounts, and the parsers for typed numbers, times and dates.
// Everything reads the process-wide regional settings (regional()).
//
// Rounding: a value is first taken to 15 significant digits (so 2.675 counts
// as 2.675, not as the binary 2.67499...), then rounded at the last digit
// shown with halves away from zero. A result that rounds to zero never shows
// a minus sign.
#include <concepts>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hv {

// Number patterns: "0" a digit always shown, "#" a digit shown when
// significant, "." the decimal separator, "," anywhere before it groups the
// thousands, '...' and "..." literal text, any other character itself.
// Up to three sections "positive;negative;zero": an empty or missing negative
// section uses the first with a leading "-", an empty or missing zero section
// the first as well; a value that rounds to zero uses the zero section.
// An empty pattern gives FloatToStr(value).
std::string FormatFloat(const std::string& pattern, double value);

// Shortest general form with up to 15 significant digits ("8.5", "-0.25",
// "1E20"), with the regional decimal separator.
std::string FloatToStr(double value);

// Date-time patterns:
//   d dd ddd dddd   day, two-digit day, short and long day name
//   ddddd dddddd    the regional short and long date formats
//   m mm mmm mmmm   month, two-digit month, short and long month name;
//                   right after an h or hh they mean minutes
//   yy yyyy         two- and four-digit year
//   h hh n nn s ss  hour, minutes, seconds; z zzz milliseconds
//   am/pm a/p ampm  12-hour clock for the pattern's hours: "am/pm" and "a/p"
//                   show their own letters in the pattern's case, "ampm" the
//                   regional designators (00:00 is 12:00 AM, 12:00 is 12:00 PM)
//   t tt            the regional short and long time formats
//   c               short date, then the long time unless it is midnight
//   / :             the regional date and time separators
//   '...' "..."     literal text
// An empty pattern means "c".
std::string FormatDateTime(const std::string& pattern, double value);

// One argument of FormatText.
class FormatArg {
public:
    template <std::integral T>
    FormatArg(T value) : m_value(static_cast<long long>(value)) {}
    template <std::floating_point T>
    FormatArg(T value) : m_value(static_cast<double>(value)) {}
    FormatArg(const char* value) : m_value(std::string(value ? value : "")) {}
    FormatArg(std::string value) : m_value(std::move(value)) {}
    FormatArg(std::string_view value) : m_value(std::string(value)) {}

    const std::variant<long long, double, std::string>& value() const { return m_value; }

private:
    std::variant<long long, double, std::string> m_value;
};

// printf-style texts: %[-][width][.precision]type with the types
//   d  integer (precision: minimum digits)     u  unsigned integer
//   x  upper-case hexadecimal                  s  text (precision: maximum length)
//   f  fixed decimals (precision default 2)    n  as f with thousand separators
//   %% a percent sign.
// Width pads with blanks on the left, or on the right after "-". Numbers use
// the regional separators and the rounding above. A type that does not fit
// its argument, or a missing argument, throws std::invalid_argument.
std::string FormatTextArgs(std::string_view pattern, const std::vector<FormatArg>& args);

template <typename... Args>
std::string FormatText(std::string_view pattern, const Args&... args)
{
    return FormatTextArgs(pattern, std::vector<FormatArg>{FormatArg(args)...});
}

// An amount in the regional currency layout ("$1,234.50", "($1,234.50)"),
// with the regional number of decimals or the given one.
std::string FormatCurrency(double value);
std::string FormatCurrency(double value, int decimals);

// Decimal numbers as typed: blanks around, an optional sign, digits with at
// most one regional decimal separator, an optional exponent ("1.5E3").
// No thousand separators.
// ASCII letters upper-cased; every other byte is kept, so UTF-8 stays whole.
std::string UpperCase(std::string text);

bool TryStrToFloat(const std::string& text, double& value);
double StrToFloatDef(const std::string& text, double defaultValue);

// Whole numbers with blanks around and an optional sign, in int's range.
bool TryStrToInt(const std::string& text, int& value);
int StrToIntDef(const std::string& text, int defaultValue);

// A time of day as typed: hour, separator, minutes, optionally separator and
// seconds ("8:30", "08:30", "08:30:15"), optionally followed, with or without
// a blank, by the regional AM or PM designator or by "AM"/"PM" in any case.
// Either the regional time separator or ":" separates the parts. Without a
// designator the hour is 0..23; with one it is 0..12, where 12 AM and 0 AM
// are midnight's hour and 12 PM noon's. Minutes and seconds 0..59. The result
// is a time of day (whole part 0). Empty text or anything else is refused.
bool TryStrToTime(const std::string& text, double& time);

// A date as typed in the regional short date format's order of day, month
// and year, separated by the regional date separator. A missing year means
// the current one (from clock()); a year of one or two digits is taken within
// 50 years before and 49 after the current year.
bool TryStrToDate(const std::string& text, double& date);

} // namespace hv
