#pragma once
// Punch times: a time of day (whole part 0) or -1 for an empty punch, shown and
// typed in 24-hour ("hh:nn") or 12-hour form with A or P, and turned into the
// hours of a day with the minute rounding in force.
#include "storage/HVGlobal.h"

#include <array>
#include <optional>
#include <string>

namespace hv {

inline constexpr double kEmptyPunch = -1.0;
inline bool isEmptyPunch(double v) { return v < 0; }

enum class TimeType { te24Hour, te12Hour };

// Exactly "hh:nn" is 24-hour entry; any other format is 12-hour entry.
TimeType TimeTypeFor(const std::string& timeFormat);

// What an empty punch shows: "  :  " (24-hour) or "  :   " (12-hour).
std::string BlankPunchDisplay(TimeType type);
// The time box's mask, empty text and maximum length for a mode.
struct TimeBoxLayout {
    std::string editMask;
    std::string blankText;
    int maxLength;
};
TimeBoxLayout TimeBoxLayoutFor(TimeType type);

std::string FormatPunch(double value, const std::string& timeFormat);

// -1 for a blank box; no value when the system's time parser refuses the text.
std::optional<double> ParsePunch(const std::string& text, const std::string& timeFormat);

// "HH:MM A/P" or "HH:MM", as the messages name the expected entry.
std::string ExpectedTimeEntry(const std::string& timeFormat);
// Shown when a box is left with a required position missing.
std::string PunchMaskMessage(const std::string& boxText, const std::string& timeFormat);
// Shown when the parser refuses what was typed.
std::string PunchParseMessage(const std::string& text, const std::string& timeFormat);

// The A/P keys of a 12-hour box: while hour and minutes are typed and only the
// letter is missing, the configured AM (PM) key with exactly its modifier held
// makes the next typed character "A" ("P"). Only for the format "hh:nn A/P";
// a key code of 0 matches no key. Returns 'A', 'P' or 0.
char ApKeyLetter(const std::string& boxText, int maxLength, int keyCode, KeyModifier held,
                 const GlobalSettings& settings);

using PunchPairs = std::array<double, 4>;
// The hours of one day from its four pairs, rounded once by the minute rounding
// (0 exact, 1 nearest 5 minutes, 2 nearest 6, 3 nearest 10, 4 nearest 15,
// anything else nearest 30), in single precision.
float DayHours(const PunchPairs& in, const PunchPairs& out, int minuteRounding);

} // namespace hv
