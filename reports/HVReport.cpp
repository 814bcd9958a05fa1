#include "reports/HVReport.h"

#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/SettingsFile.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "ports/PickList.h"
#include "ports/PrinterQuery.h"
#include "reportengine/PageFile.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/ReportMetrics.h"
#include "reports/DeptList.h"
#include "reports/EmpBalances.h"
#include "reports/EmpTimeOff.h"
#include "reports/EmployeeList.h"
#include "reports/HoursWorked.h"
#include "reports/HourvaneList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/HVGlobal.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <optional>

namespace hv {

using namespace report;

namespace {

std::string withPage(const char* pattern, int page)
{
    std::string text = pattern;
    const std::size_t at = text.find("%p");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(page));
    return text;
}

} // namespace

int ChoosePrinter(const std::vector<std::string>& installed, const std::string& stored)
{
    if (stored.empty())
        return -1;
    int chosen = -1;
    for (std::size_t i = 0; i < installed.size(); ++i) {
        // An exact name wins over names that only contain it ("HP" over "HP (copy 1)").
        if (installed[i] == stored)
            return int(i);
        if (installed[i].find(stored) != std::string::npos)
            chosen = int(i);
    }
    return chosen;
}

std::string ReportPageFilePath()
{
    const QString folder = QString::fromStdString(settingsFolder());
    QDir().mkpath(folder);
    return QDir(folder).filePath(QString::fromLatin1(kPageFileName)).toStdString();
}

std::string ReportTitle(const std::string& reportName, bool detail)
{
    const std::string form = detail ? "Detail" : "Summary";
    if (reportName == "HoursWorked")
        return "Employee Hours Worked Report - " + form;
    if (reportName == "TimeOff")
        return "Employee Time Off Hours Report - " + form;
    if (reportName == "Balances")
        return "Employee Accrued Benefits Report";
    if (reportName == "HourvaneList")
        return "Hourvane List";
    if (reportName == "EmpList")
        return "Employee List";
    if (reportName == "DeptList")
        return "Department List";
    if (reportName == "ReasonList")
        return "Time Off Reason List";
    return {};
}

TfrmHVReport::TfrmHVReport(THourvaneDataMod& dm, ReportWindowService& windows, ReportPrinter& printer) :
    m_dm(dm), m_windows(windows), m_printer(printer)
{
}

TfrmHVReport::~TfrmHVReport() = default;

void TfrmHVReport::SetSelectionList(const PickList& list)
{
    std::vector<SelectionEntry> entries;
    for (int i = 0; i < list.count(); ++i)
        entries.push_back({list.text(i), list.id(i)});
    SetSelectionList(std::move(entries));
}

void TfrmHVReport::SetSelectionList(std::vector<SelectionEntry> entries)
{
    m_selection = std::move(entries);
    m_showStatus = m_selection.size() > 5;
}

void TfrmHVReport::SetEmployeeFilter(int position)
{
    Options.employeeFilter = position == 1 ? 2 : position == 2 ? 1 : 0;
}

void TfrmHVReport::BeforePrint()
{
    // An empty selection, or an employee another copy has deleted, leaves
    // the header name empty.
    Options.headerName.clear();
    if (m_selection.empty())
        return;
    const SelectionEntry& first = m_selection.front();
    const bool listReport = ReportName == "HoursWorked" || ReportName == "TimeOff" || ReportName == "Balances";
    if (listReport && Options.newPage) {
        if (!Options.employeesMode) {
            Options.headerName = CleanReportText(first.text);
            return;
        }
        TEmployeeRecClass employee(m_dm);
        employee.SetEmpID(first.id);
        if (employee.LoadByID())
            Options.headerName = CleanReportText(employee.FirstName() + " " + employee.LastName());
    } else if (ReportName == "EmpList" && !Options.employeesMode) {
        Options.headerName = CleanReportText(first.text);
    }
}

std::unique_ptr<ReportGenerator> TfrmHVReport::makeGenerator()
{
    if (ReportName == "HourvaneList")
        return std::make_unique<THourvaneListReport>(m_dm, Options, m_selection);
    if (ReportName == "HoursWorked")
        return std::make_unique<THoursWorkedReport>(m_dm, Options, m_selection);
    if (ReportName == "TimeOff")
        return std::make_unique<TEmpTimeOffReport>(m_dm, Options, m_selection);
    if (ReportName == "Balances")
        return std::make_unique<TEmpBalancesReport>(m_dm, Options, m_selection);
    if (ReportName == "EmpList")
        return std::make_unique<TEmployeeListReport>(m_dm, Options, m_selection);
    if (ReportName == "DeptList")
        return std::make_unique<TDeptListReport>(m_dm, Options, m_selection);
    if (ReportName == "ReasonList")
        return std::make_unique<TReasonListReport>(m_dm);
    return nullptr;
}

bool TfrmHVReport::choosePrinter()
{
    const std::vector<std::string> installed = installedPrinters();
    m_hasPrinter = !installed.empty();
    const int index = ChoosePrinter(installed, globalSettings().printerName);
    if (index >= 0)
        m_printer.select(installed[std::size_t(index)]);
    return m_hasPrinter;
}

void TfrmHVReport::pageHeader(ReportCanvas& canvas, ReportGenerator* generator)
{
    // The block every report page carries: page number and date, then the title.
    canvas.SetAreaTop(0.3);
    canvas.SetFont(kReportFace, 11);
    canvas.PrintHeader("Page: " + std::to_string(canvas.CurrentPage()), Justify::Right);
    canvas.PrintHeader("Date: " + ReportDate(clock().today()), Justify::Left);
    canvas.SetAreaTop(0.6);
    canvas.SetFont(kReportFace, 14);
    canvas.Bold(true);
    canvas.PrintHeader(ReportTitle(ReportName, Options.detail), Justify::Centre);
    generator->header(canvas);
}

bool TfrmHVReport::produce(const char* statusText, PdfPageStream* pdf)
{
    std::unique_ptr<ReportGenerator> generator = makeGenerator();
    if (!generator && ReportName != "UserList") {
        ShowMessageBox("The report \"" + ReportName + "\" cannot be produced by this version.", MsgKind::Error);
        return false;
    }
    std::string error;
    if (!RegisterReportFonts(error)) {
        ShowMessageBox(error, MsgKind::Error);
        return false;
    }
    // The printer's own paper when the layouts fit on it, else Letter.
    PaperSize paper;
    if (m_hasPrinter) {
        const PaperSize own = m_printer.paper();
        if (own.width >= 8 && own.height >= 11)
            paper = own;
    }
    ReportCanvas canvas(paper.width, paper.height);
    if (generator)
        canvas.onPageHeader = [this, g = generator.get()](ReportCanvas& c) { pageHeader(c, g); };
    if (m_showStatus) {
        m_status = m_windows.status("Report Status");
        canvas.onPageStart = [this, statusText](int page) { m_status->setText(withPage(statusText, page)); };
    }
    if (pdf)
        canvas.onPageDone = [pdf](const Page& page) { pdf->add(page); };
    BeforePrint();
    canvas.Start();
    if (generator) {
        WaitCursor wait;
        generator->body(canvas);
    }
    m_pages = canvas.Finish();

    m_pageFile = ReportPageFilePath();
    if (!WritePageFile(m_pageFile, m_pages, error)) {
        m_status.reset();
        ShowMessageBox("The report file " + m_pageFile + " could not be written: " + error, MsgKind::Error);
        return false;
    }
    return true;
}

bool TfrmHVReport::readBack()
{
    std::string error;
    if (ReadPageFile(m_pageFile, m_pages, error))
        return true;
    m_status.reset();
    ShowMessageBox("The report file " + m_pageFile + " could not be read: " + error, MsgKind::Error);
    return false;
}

bool TfrmHVReport::printPages()
{
    if (!readBack())
        return false;
    std::function<void(int)> onPage;
    if (m_status)
        onPage = [this](int page) { m_status->setText(withPage("Printing page %p", page)); };
    std::string error;
    const bool printed = PrintWithCopiesRule(m_printer, m_pages, m_settings.job, error, onPage);
    m_status.reset();
    if (!printed)
        ShowMessageBox("The report could not be printed: " + error, MsgKind::Error);
    return printed;
}

bool TfrmHVReport::RunPreview()
{
    choosePrinter();
    if (!produce("Generating page %p", PdfAlongside))
        return false;
    m_status.reset();
    // Print from this preview prints at once: the setup step is off.
    PreviewOptions options;
    options.setupBeforePrint = false;
    m_windows.preview(m_pageFile, m_hasPrinter ? &m_printer : nullptr, m_settings, options);
    return true;
}

bool TfrmHVReport::RunPrint()
{
    if (!choosePrinter()) {
        tell(kNoPrinterMessage, MsgKind::Information);
        return false;
    }
    if (!produce("Generating page %p") || !readBack())
        return false;
    m_status.reset();
    m_settings.job.firstPage = 1;
    m_settings.job.lastPage = int(m_pages.size());
    if (!m_windows.printRangeSetup(m_settings, int(m_pages.size()), &m_printer))
        return false;
    if (m_showStatus)
        m_status = m_windows.status("Report Status");
    return printPages();
}

bool TfrmHVReport::RunDirect()
{
    if (!choosePrinter()) {
        tell(kNoPrinterMessage, MsgKind::Information);
        return false;
    }
    if (!produce("Printing page %p"))
        return false;
    return printPages();
}

bool TfrmHVReport::RunWithSetup()
{
    const bool printer = choosePrinter();
    m_settings.destination = Destination::Preview;
    if (!m_windows.destinationSetup(m_settings, printer ? &m_printer : nullptr))
        return false;
    if (m_settings.destination == Destination::Printer && !printer) {
        tell(kNoPrinterMessage, MsgKind::Information);
        return false;
    }
    // A PDF is drawn while the pages are laid out.
    std::optional<PdfPageStream> pdf;
    if (m_settings.destination == Destination::File)
        pdf.emplace(m_settings.outputFile, ReportTitle(ReportName, Options.detail));
    if (!produce(m_settings.destination == Destination::Printer ? "Printing page %p" : "Generating page %p",
                 pdf ? &*pdf : nullptr))
        return false;
    switch (m_settings.destination) {
    case Destination::Printer:
        return printPages();
    case Destination::Preview: {
        m_status.reset();
        PreviewOptions options;
        options.setupBeforePrint = true;
        m_windows.preview(m_pageFile, printer ? &m_printer : nullptr, m_settings, options);
        return true;
    }
    case Destination::File: {
        m_status.reset();
        std::string error;
        if (!pdf->finish(error)) {
            ShowMessageBox("The file " + m_settings.outputFile + " could not be written: " + error, MsgKind::Error);
            return false;
        }
        return true;
    }
    }
    return false;
}

} // namespace hv
