#include "reports/ReportLayout.h"

#include "platform/Format.h"
#include "platform/RegionalSettings.h"

#include <cctype>

namespace hv {

using namespace report;

void ListPageTop(ReportCanvas& c, const std::string& line, const ReportOptions& options)
{
    c.SetAreaTop(0.8);
    c.SetFont(kReportFace, 14);
    c.Bold(true);
    c.PrintHeader(line, Justify::Centre);
    c.SetAreaTop(1.1);
    if (options.newPage) {
        c.PrintHeader(options.headerName, Justify::Centre);
        c.SetAreaTop(1.5);
    } else {
        c.SetAreaTop(1.25);
    }
    c.FixBodyTop();
    c.SetAreaBottom(10.5);
    c.Home();
    c.SetFont(kReportFace, 11);
    c.ClearTabs();
    c.SetTabJustify(TabOverride::None);
}

void DepartmentHeading(ReportCanvas& c, const std::string& text)
{
    c.SetFont(kReportFace, 12);
    c.Bold(true);
    c.Underline(true);
    c.Tab();
    c.PrintLn(text);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
}

void BoldNameLine(ReportCanvas& c, const std::string& text)
{
    c.Tab();
    c.Bold(true);
    c.PrintLn(text);
    c.Bold(false);
}

void RightInTab(ReportCanvas& c, const std::string& text)
{
    const TabOverride before = c.TabJustify();
    c.SetTabJustify(TabOverride::Right);
    c.Tab();
    c.Print(text);
    c.SetTabJustify(before);
}

std::string PrintedMoney(Money amount) { return FormatCurrency(amount.Amount(), 2); }

Money PrintedAmount(const std::string& text)
{
    const std::string& separator = regional().decimalSeparator;
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool afterSeparator = false;
    bool negative = false;
    for (std::size_t i = 0; i < text.size();) {
        const char ch = text[i];
        if (std::isdigit(static_cast<unsigned char>(ch))) {
            if (!afterSeparator)
                whole = whole * 10 + (ch - '0');
            else if (fractionDigits < 4) {
                fraction = fraction * 10 + (ch - '0');
                ++fractionDigits;
            }
            ++i;
        } else if (!separator.empty() && text.compare(i, separator.size(), separator) == 0) {
            afterSeparator = true;
            i += separator.size();
        } else {
            if (ch == '-' || ch == '(')
                negative = true;
            ++i;
        }
    }
    for (int d = fractionDigits; d < 4; ++d)
        fraction *= 10;
    const std::int64_t units = whole * kMoneyScale + fraction;
    return Money::FromUnits(negative ? -units : units);
}

Money AsPrinted(Money amount) { return PrintedAmount(PrintedMoney(amount)); }

} // namespace hv
