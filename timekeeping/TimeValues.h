#pragma once
// Punch times: a time of day (whole part 0) or -1 for an empty punch, shown and
// typed in 24-hour ("hh:nn") or 12-hour form with A or P, and turned into the
// hours of a day with the minute rounding in force.
#include "platform/PunchText.h"

#include <array>
#include <optional>
#include <string>

namespace hv {

inline constexpr double kEmptyPunch = -1.0;
inline bool isEmptyPunch(double v) { return v < 0; }

std::string FormatPunch(double value, const std::string& timeFormat);

// -1 for a blank box; no value when the system's time parser refuses the text.
std::optional<double> ParsePunch(const std::string& text, const std::string& timeFormat);

using PunchPairs = std::array<double, 4>;
// The hours of one day from its four pairs, rounded once by the minute rounding
// (0 exact, 1 nearest 5 minutes, 2 nearest 6, 3 nearest 10, 4 nearest 15,
// anything else nearest 30), in single precision.
float DayHours(const PunchPairs& in, const PunchPairs& out, int minuteRounding);

} // namespace hv
