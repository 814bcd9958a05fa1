#pragma once
// The report host: takes a report name, a selection list and the options of
// a run, lays the report out on the report engine's canvas with the page
// header block every report carries, writes the page file and hands it to
// the preview or the printer. Created per run by its caller.
#include "reportengine/ReportCanvas.h"
#include "reportengine/ReportPrinter.h"
#include "reports/ReportWindows.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

namespace report {
class PdfPageStream;
}

class PickList;
class THourvaneDataMod;

inline constexpr const char* kNoPrinterMessage =
    "There is no printer installed on this computer.  Use Preview to see the report on screen.";

// The run options the generators read.
struct ReportOptions {
    bool employeesMode = true; // IDs are EmpIDs, else DeptIDs (0: no department)
    bool newPage = false;      // each entry starts a new page
    bool includeDeptEmployees = false;
    bool printBasic = false;
    bool printComments = false;
    bool printBalances = false;
    bool printWages = false; // wage history, or gross wages in the hours worked report
    bool shiftLine = false;
    bool signature = false;
    bool detail = true;
    double periodStart = 0;
    double periodEnd = 0;
    // Printed in the page header when each entry gets its own page.
    std::string headerName;
    int employeeFilter = 0; // 0 current, 1 former, 2 all
    // The time card list's punch format for this run ("hh:nn AM/PM" or
    // "hh:nn"); empty: the time format setting.
    std::string punchFormat;
};

struct SelectionEntry {
    std::string text;
    std::int32_t id = 0;
};

// A report's own part, called by the host on the canvas.
class ReportGenerator {
public:
    virtual ~ReportGenerator() = default;
    // After the page header block, on every page.
    virtual void header(report::ReportCanvas& canvas) = 0;
    virtual void body(report::ReportCanvas& canvas) = 0;
};

// The installed printer the stored name picks: the one of exactly that name,
// else the last whose name contains it; -1 for none (or no stored name).
int ChoosePrinter(const std::vector<std::string>& installed, const std::string& stored);

// Where every run writes its pages: "HVReport.rpt" in the per-machine
// settings folder.
std::string ReportPageFilePath();

// The page title of a report; empty for "UserList".
std::string ReportTitle(const std::string& reportName, bool detail);

class TfrmHVReport {
public:
    TfrmHVReport(THourvaneDataMod& dm, ReportWindowService& windows, report::ReportPrinter& printer);
    ~TfrmHVReport();
    TfrmHVReport(const TfrmHVReport&) = delete;
    TfrmHVReport& operator=(const TfrmHVReport&) = delete;

    std::string ReportName;
    ReportOptions Options;

    // More than 5 entries show the status window while pages are produced.
    void SetSelectionList(const PickList& list);
    void SetSelectionList(std::vector<SelectionEntry> entries);
    const std::vector<SelectionEntry>& SelectionList() const { return m_selection; }
    bool ShowsStatus() const { return m_showStatus; }
    // From the selection window's box: Current, All, Former by position.
    void SetEmployeeFilter(int position);

    // From the selection window: the pages into the preview, no setup step.
    bool RunPreview();
    // From the selection window: the pages into the page file, the setup
    // window in its print range use, then the printer with the copies rule.
    bool RunPrint();
    // From the main window: straight to the printer, no window.
    bool RunDirect();
    // The setup window in its destination use first, then the printer, the
    // preview or a PDF file.
    bool RunWithSetup();

    // The run's settings (copies, pages, destination) as the setup left them.
    report::ReportSettings& Settings() { return m_settings; }
    // The pages of the last run.
    const report::PageSet& Pages() const { return m_pages; }

    // While set, the pages of a preview run also go to this PDF as they are
    // laid out, drawn on its own thread while the rest is laid out.
    report::PdfPageStream* PdfAlongside = nullptr;

    // Before printing: the header name of the first page.
    void BeforePrint();

private:
    std::unique_ptr<ReportGenerator> makeGenerator();
    // Chooses the printer by the stored name; false when none is installed.
    bool choosePrinter();
    // Lays the report out and writes the page file; false with its message shown.
    // A PDF given is handed each page as it is laid out.
    bool produce(const char* statusText, report::PdfPageStream* pdf = nullptr);
    bool readBack();
    bool printPages();
    void pageHeader(report::ReportCanvas& canvas, ReportGenerator* generator);

    THourvaneDataMod& m_dm;
    ReportWindowService& m_windows;
    report::ReportPrinter& m_printer;
    std::vector<SelectionEntry> m_selection;
    bool m_showStatus = false;
    bool m_hasPrinter = false;
    report::ReportSettings m_settings;
    report::PageSet m_pages;
    std::string m_pageFile;
    std::unique_ptr<ReportStatus> m_status;
};

} // namespace hv
