#pragma once
// How report generators put user data on the page: text typed by users
// (names, addresses, comments) cleaned so that a pasted tab or line break
// never moves a column, and dates and hours in the report formats.
#include <string>

namespace hv {

// Tabs and line breaks become blanks (a CR LF pair one blank).
std::string CleanReportText(const std::string& text);

// A date in the system's short date format, as every report prints dates.
std::string ReportDate(double date);

// Hours with the hour format setting; zero gives "" when blankZero.
std::string ReportHours(double hours, bool blankZero = false);

} // namespace hv
