#pragma once
// Layout steps the list reports share: the period or date line at the top
// of each page with the header name, the department heading and the bold
// name lines that start an employee block.
#include "people/Money.h"
#include "reportengine/ReportCanvas.h"
#include "reports/HVReport.h"

#include <string>

namespace hv {

inline constexpr const char* kReportFace = "Times New Roman";
inline constexpr double kTabMargin = 0.02;

// Area top 0.8 in, the line in 14 pt bold, centred; then the header name
// at 1.1 in when each entry has its own page. Fixes the body top (1.5 in
// with a header name line, else 1.25 in), area bottom 10.5 in, Home, 11 pt.
void ListPageTop(report::ReportCanvas& c, const std::string& line, const ReportOptions& options);

// 12 pt bold underlined department text, an empty 14 pt line, back to 11 pt.
void DepartmentHeading(report::ReportCanvas& c, const std::string& text);

// Tab and the text in bold as a line.
void BoldNameLine(report::ReportCanvas& c, const std::string& text);

// Tab, then the text right-justified in the tab whatever the tab says.
void RightInTab(report::ReportCanvas& c, const std::string& text);

// An amount as the reports print it (currency, 2 decimals).
std::string PrintedMoney(Money amount);
// What a printed amount says, as whole cents: digits and the decimal
// separator kept, "-" or "(" make it negative. Exact, unlike a float.
Money PrintedAmount(const std::string& text);
// The amount as it prints: rounded to the cent the way the text shows it.
Money AsPrinted(Money amount);

} // namespace hv
