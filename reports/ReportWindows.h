#pragma once
// What the report host needs from windows: the setup step in its two uses,
// the preview and the status display. The program answers with its own
// setup, preview and status windows (reports/windows); tests answer from a
// script. The report host itself never includes a widget.
#include "reportengine/ReportPrinter.h"

#include <memory>
#include <string>

namespace hv {

class ReportStatus {
public:
    virtual ~ReportStatus() = default;
    virtual void setText(const std::string& text) = 0;
};

struct PreviewOptions {
    std::string title = "Report Preview";
    // Whether "Print" prints, and whether the setup step comes before it.
    bool allowPrint = true;
    bool setupBeforePrint = false;
};

class ReportWindowService {
public:
    virtual ~ReportWindowService() = default;
    // The print range use on a generated report of pageCount pages: pages,
    // copies, collation, duplex into settings. False on Cancel. printer is
    // null when no printer is installed.
    virtual bool printRangeSetup(report::ReportSettings& settings, int pageCount, report::ReportPrinter* printer) = 0;
    // The destination use: printer, preview or file into settings. False on
    // Cancel.
    virtual bool destinationSetup(report::ReportSettings& settings, report::ReportPrinter* printer) = 0;
    // Shows the page file until the user is done; the window reads the file
    // itself and tells the user when it cannot.
    virtual void preview(const std::string& pageFile, report::ReportPrinter* printer, report::ReportSettings& settings,
                         const PreviewOptions& options) = 0;
    // The status window with this caption, shown until the result goes.
    virtual std::unique_ptr<ReportStatus> status(const std::string& caption) = 0;
};

} // namespace hv
