#include "reports/ReportText.h"

#include "platform/Format.h"
#include "storage/HVGlobal.h"

namespace hv {

std::string CleanReportText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF that follows gives the one blank
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string ReportDate(double date) { return FormatDateTime("ddddd", date); }

std::string ReportHours(double hours, bool blankZero)
{
    if (blankZero && hours == 0)
        return {};
    return FormatFloat(globalSettings().hourFormat, hours);
}

} // namespace hv
