// The report windows built for real on the offscreen platform: the setup
// window's checks, the preview's pages and printing, PDF written through the
// File destination and through "Save as PDF...", and the main window's
// "&Print".
#include "ports/PrinterQuery.h"
#include "reportengine/PageFile.h"
#include "reports/windows/QVPreFrm.h"
#include "reports/windows/QVSetFrm.h"
#include "reports/windows/ReportCommands.h"
#include "tests/reports/ReportFixture.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/timekeeping/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <filesystem>
#include <fstream>

namespace hv::test {
namespace {

using namespace hv::report;

template <class W = QWidget>
W* find(QWidget* window, const char* name)
{
    W* found = window->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void typeIn(QWidget* window, const char* name, const char* text)
{
    auto* edit = find<QLineEdit>(window, name);
    edit->setText(text);
    emit edit->editingFinished();
}

PageSet pagesNumbered(int count)
{
    PageSet pages(static_cast<std::size_t>(count), Page{});
    for (int i = 0; i < count; ++i)
        pages[std::size_t(i)].items.push_back(
            TextItem{500, 8000, 500, Justify::Right, "page " + std::to_string(i + 1)});
    return pages;
}

// The pages' texts as pdftotext reads them, one string a page.
std::vector<std::string> pdfPages(const std::string& path)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", "-enc", "UTF-8", QString::fromStdString(path), "-"});
    EXPECT_TRUE(pdftotext.waitForFinished(30000)) << "pdftotext (poppler-utils) did not run";
    const std::string text = pdftotext.readAllStandardOutput().toStdString();
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(text.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

// Each text appears on the page after the one before it.
::testing::AssertionResult inOrder(const std::string& page, const std::vector<std::string>& texts)
{
    std::size_t at = 0;
    for (const std::string& t : texts) {
        const std::size_t found = page.find(t, at);
        if (found == std::string::npos)
            return ::testing::AssertionFailure() << "'" << t << "' missing after position " << at << " in:\n" << page;
        at = found + t.size();
    }
    return ::testing::AssertionSuccess();
}

class ReportWindowTest : public ReportTest {
protected:
    ScriptedFileDialogs fileDialogs;
};

TEST_F(ReportWindowTest, SetupWindowPrintRangeAndCopies)
{
    installPrinters({"Office Laser"});
    printer.select("Office Laser");
    ReportSettings settings;
    settings.job.copies = 2;
    auto setup = [&] {
        return std::make_unique<TQVSetupForm>(SetupUse::PrintRange, settings, 3, &printer, fileDialogs, nullptr);
    };

    // A 3-page report offers "1-3" and 1 to 3; Pages 2 to 3 prints 2 pages.
    auto form = setup();
    EXPECT_EQ(find<QLabel>(form.get(), "lblPrinter")->text(), "Office Laser on LPT1:");
    EXPECT_EQ(find<QLineEdit>(form.get(), "txtSelection")->text(), "1-3");
    EXPECT_EQ(find<QLineEdit>(form.get(), "txtFrom")->text(), "1");
    EXPECT_EQ(find<QLineEdit>(form.get(), "txtTo")->text(), "3");
    EXPECT_TRUE(find<QRadioButton>(form.get(), "btnAll")->isChecked());
    EXPECT_FALSE(find<QLineEdit>(form.get(), "txtFrom")->isEnabled());
    find<QRadioButton>(form.get(), "btnPages")->click();
    find<QLineEdit>(form.get(), "txtFrom")->setText("2");
    form->cmdOKClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    std::string error;
    ASSERT_TRUE(PrintWithCopiesRule(printer, pagesNumbered(3), settings.job, error)) << error;
    ASSERT_EQ(printer.recorded.size(), 1u);
    ASSERT_EQ(printer.recorded[0].pages.size(), 2u);
    EXPECT_EQ(pageTexts(printer.recorded[0].pages[0]), std::vector<std::string>{"page 2"});

    // From "x", or a selection that is no page number, is refused and the window stays open.
    for (const char* button : {"btnPages", "btnSelection"}) {
        form = setup();
        messages.clear();
        find<QRadioButton>(form.get(), button)->click();
        find<QLineEdit>(form.get(), std::string(button) == "btnPages" ? "txtFrom" : "txtSelection")->setText("x");
        form->cmdOKClick();
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"'x' is not a valid page number."});
        EXPECT_NE(form->result(), QDialog::Accepted);
    }

    // Copies 1 to 999 are taken; anything else keeps the old number.
    for (const auto& [typed, copies] :
         std::vector<std::pair<const char*, int>>{{"abc", 2}, {"0", 2}, {"1000", 2}, {"999", 999}, {"5", 5}}) {
        settings.job.copies = 2;
        form = setup();
        find<QLineEdit>(form.get(), "txtCopies")->setText(typed);
        form->cmdOKClick();
        EXPECT_EQ(settings.job.copies, copies) << typed;
    }
}

TEST_F(ReportWindowTest, SetupWindowDestinationWithoutPrinters)
{
    ReportSettings settings;
    settings.destination = Destination::Printer;
    TQVSetupForm form(SetupUse::Destination, settings, 0, nullptr, fileDialogs, nullptr);
    form.layout()->activate();
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "a small dialog offers no maximise button";
    EXPECT_EQ(find<QLabel>(&form, "lblPrinter")->text(), "No printers installed!");
    EXPECT_TRUE(find<QRadioButton>(&form, "btnPreview")->isChecked());
    EXPECT_FALSE(find<QRadioButton>(&form, "btnPrinter")->isEnabled());
    EXPECT_FALSE(find<QRadioButton>(&form, "btnFile")->isEnabled()) << "only Preview is offered";
    EXPECT_FALSE(find<QLineEdit>(&form, "txtFileName")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(&form, "cmdSetup")->isEnabled());
    EXPECT_FALSE(find<QLineEdit>(&form, "txtCopies")->isEnabled());
}

TEST_F(ReportWindowTest, SetupWindowFileDestinationAsksForANameAndMakesItAPdf)
{
    installPrinters({"Office Laser"});
    printer.select("Office Laser");
    ReportSettings settings;
    TQVSetupForm form(SetupUse::Destination, settings, 0, &printer, fileDialogs, nullptr);

    // File with no name asks for one; a name without extension gets ".pdf".
    find<QRadioButton>(&form, "btnFile")->click();
    EXPECT_TRUE(find<QLineEdit>(&form, "txtFileName")->isEnabled());
    form.cmdOKClick();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Please enter a file name."});
    EXPECT_NE(form.result(), QDialog::Accepted);
    const std::string chosen = (config.path() / "week").string();
    fileDialogs.answer(chosen);
    form.cmdBrowseClick();
    ASSERT_EQ(fileDialogs.asked().size(), 1u);
    EXPECT_EQ(fileDialogs.asked()[0].request.filter, "PDF Files (*.pdf)");
    form.cmdOKClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(settings.destination, Destination::File);
    EXPECT_EQ(settings.outputFile, chosen + ".pdf");
}

TEST_F(ReportWindowTest, PreviewPagesZoomAndPrint)
{
    installPrinters({"Office Laser"});
    printer.select("Office Laser");
    ReportSettings settings;
    PreviewOptions options;
    options.setupBeforePrint = false;
    TQVPreviewForm form(pagesNumbered(3), &printer, settings, options, fileDialogs, nullptr);
    EXPECT_EQ(form.windowTitle(), "Report Preview");
    EXPECT_EQ(find<QLabel>(&form, "lblPages")->text(), "Page 1 of 3");
    EXPECT_EQ(find<QLineEdit>(&form, "txtZoom")->text(), "100.0");
    EXPECT_FALSE(find<QToolButton>(&form, "spdFirst")->isEnabled());
    EXPECT_FALSE(find<QToolButton>(&form, "spdPrior")->isEnabled());
    EXPECT_TRUE(find<QToolButton>(&form, "spdNext")->isEnabled());
    std::vector<std::string> hints;
    for (const char* name : {"spdZoomIn", "spdZoomOut", "spdZoomWidth", "spdZoomPage", "spdFirst", "spdPrior",
                             "spdNext", "spdLast", "spdPrint", "spdDone"})
        hints.push_back(find<QToolButton>(&form, name)->toolTip().toStdString());
    EXPECT_EQ(hints,
              (std::vector<std::string>{"Zoom In", "Zoom Out", "Zoom Page Width", "Zoom Whole Page", "First Page",
                                        "Previous Page", "Next Page", "Last Page", "Print", "Done"}));

    // A page past the report goes to the last page; zoom stays within 10 to 500 %.
    typeIn(&form, "txtPage", "99");
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_EQ(find<QLabel>(&form, "lblPages")->text(), "Page 3 of 3");
    EXPECT_FALSE(find<QToolButton>(&form, "spdNext")->isEnabled());
    EXPECT_FALSE(find<QToolButton>(&form, "spdLast")->isEnabled());
    typeIn(&form, "txtZoom", "0");
    EXPECT_EQ(find<QLineEdit>(&form, "txtZoom")->text(), "10.0");
    typeIn(&form, "txtZoom", "9999");
    EXPECT_EQ(form.zoom(), 500);

    // Started without the setup step, Print prints at once.
    find<QToolButton>(&form, "spdPrint")->click();
    ASSERT_EQ(printer.recorded.size(), 1u);
    EXPECT_EQ(printer.recorded[0].pages.size(), 3u);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(ReportWindowTest, PreviewOfADamagedPageFileShowsTheErrorAndNoWindow)
{
    const std::string path = (config.path() / "HVReport.rpt").string();
    std::ofstream(path) << "HVREPORT 1\nP 8500 11000\nT 1 2 3 L \"x\"\n";
    ReportSettings settings;
    EXPECT_FALSE(ShowReportPreview(path, nullptr, settings, {}, fileDialogs, nullptr, nullptr));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"The report file " + path +
                                                         " could not be read: line 3: text comes before any font on "
                                                         "its page"});
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TQVPreviewForm*>(w), nullptr);
}

TEST_F(ReportWindowTest, TimeCardListAsPdfThroughFileDestinationAndSaveAsPdf)
{
    addTwoEmployees();
    const std::vector<std::vector<std::string>> expected = {
        {"Date: 3/15/2023", "Page: 1", "Hourvane List", "For 3/7/2023 to 3/15/2023", "Work", "Time Off", "Total",
         "\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB", "Tuesday", "08:00 AM", "Wednesday", "Regular:", "54.00",
         "Other:", "4.00", "Personal", "Employee:", "Manager:"},
        {"Date: 3/15/2023", "Page: 2", "Hourvane List", "Baker, Sam", "Saturday", "Overtime:", "10.00",
         "Reason Not Found", "Employee:", "Manager:"}};

    // Through the File destination.
    const std::string viaFile = (config.path() / "list.pdf").string();
    windows.destination = Destination::File;
    windows.outputFile = viaFile;
    TfrmHVReport host(*dm, windows, printer);
    setUpTwoEmployeeList(host);
    ASSERT_TRUE(host.RunWithSetup()) << messages.last();
    std::vector<std::string> pages = pdfPages(viaFile);
    ASSERT_EQ(pages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(inOrder(pages[i], expected[i])) << "page " << i + 1;

    // Through "Save as PDF..." of the preview, ".pdf" added to the name.
    const std::string viaPreview = (config.path() / "saved").string();
    fileDialogs.answer(viaPreview);
    ReportSettings settings;
    TQVPreviewForm form(host.Pages(), &printer, settings, {}, fileDialogs, nullptr);
    EXPECT_EQ(find<QToolButton>(&form, "spdSavePdf")->text(), "Save as &PDF...");
    find<QToolButton>(&form, "spdSavePdf")->click();
    ASSERT_EQ(fileDialogs.asked().size(), 1u);
    EXPECT_EQ(fileDialogs.asked()[0].request.filter, "PDF Files (*.pdf)");
    pages = pdfPages(viaPreview + ".pdf");
    ASSERT_EQ(pages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(inOrder(pages[i], expected[i])) << "page " << i + 1;
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

// --- the main window's "&Print" and "Printer &Setup..." ---

class PrintCommandTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        installPrinters({"Office Laser", "Back Office"});
        ReportWindowServices services;
        services.makePrinter = [this] { return std::make_unique<BorrowedPrinter>(printer); };
        services.printerSetup = [this](QWidget*, const std::string& current) {
            setupAskedOn = current;
            return setupAnswer;
        };
        RegisterReportWindows(commands, services);
        baker = addEmp("Baker", "Ann", date(2020, 1, 1));
        putPunches(*dm, baker, date(2023, 3, 13), 0, EncodeTime(8, 0), EncodeTime(16, 0));
    }
    void TearDown() override
    {
        setPrinterQuery({});
        setCurrentPrinter({});
        MainWindowTest::TearDown();
    }

    RecordingPrinter printer;
    std::string setupAskedOn;
    std::string setupAnswer;
    std::int64_t baker = 0;
};

TEST_F(PrintCommandTest, PrintSendsOneHourvaneListPageOfTheShownWeekAndOpensNoWindow)
{
    open();
    chooseEmployee("Baker, Ann");
    ASSERT_TRUE(button("cmdPrint")->isEnabled());
    const QWidgetList before = QApplication::topLevelWidgets();
    button("cmdPrint")->click();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before.size());
    ASSERT_EQ(printer.recorded.size(), 1u) << messages.last();
    EXPECT_EQ(printer.recorded[0].printer, "Office Laser");
    ASSERT_EQ(printer.recorded[0].pages.size(), 1u);
    EXPECT_TRUE(inOrder(
        [&] {
            std::string all;
            for (const std::string& t : pageTexts(printer.recorded[0].pages[0]))
                all += t + "\n";
            return all;
        }(),
        {"Page: 1", "Hourvane List", "For 3/12/2023 to 3/18/2023", "Baker, Ann", "Monday", "08:00", "16:00", "8.00",
         "Regular:", "8.00"}));

    // With unsaved changes the save question comes first; Cancel prints nothing.
    printer.recorded.clear();
    typeInto(box("msk1In2"), "0900");
    box("msk1Out2")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(window->week().IsModified());
    messages.clear();
    messages.answer(MsgResult::Cancel);
    button("cmdPrint")->click();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"The current Hourvane record has been changed.  Do you want to save your "
                                       "changes?"});
    EXPECT_TRUE(printer.recorded.empty());
}

TEST_F(PrintCommandTest, PrinterSetupTakesTheChosenPrinterOrSaysThereIsNone)
{
    open();
    setupAnswer = "Back Office";
    window->findChild<QAction*>("mnuFilePrinterSetup")->trigger();
    EXPECT_EQ(setupAskedOn, "Office Laser");
    EXPECT_EQ(currentPrinter(), "Back Office");
    EXPECT_EQ(globalSettings().printerName, "Back Office");

    installPrinters({});
    setupAskedOn.clear();
    window->findChild<QAction*>("mnuFilePrinterSetup")->trigger();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"There is no printer installed on this computer."});
    EXPECT_TRUE(setupAskedOn.empty());
}

} // namespace
} // namespace hv::test
