// The report host and the time card list: goldens of the laid-out pages, the
// week cut to the period, the printer choice, the copies rule, the status
// window and the page file's place.
#include "reportengine/PageFile.h"
#include "reports/HourvaneList.h"
#include "timekeeping/WeekClip.h"
#include "tests/reports/ReportFixture.h"
#include "tests/support/Golden.h"
#include "timekeeping/WorkUtil.h"

#include <filesystem>
#include <fstream>

namespace hv::test {
namespace {

using namespace hv::report;

class ReportHostTest : public ReportTest {
protected:
    void expectGolden(const TfrmHVReport& host, const char* name)
    {
        ExpectGolden(PageFileText(host.Pages()), std::string(HV_GOLDEN_DIR) + name, HV_TEST_PROGRAM);
    }
};

TEST_F(ReportHostTest, TimeCardListGoldens)
{
    addTwoEmployees();
    {
        // 12-hour times, a page each with signature lines, 9 days from a
        // Tuesday: Zoë's first week is cut to Tuesday..Saturday and her
        // regular hours are 32 + 22 (Thursday 16 is past the period), other
        // 4 (unpaid personal time counts here); Sam has 40 regular, 10
        // overtime and an entry of a missing reason.
        TfrmHVReport host(*dm, windows, printer);
        setUpTwoEmployeeList(host);
        ASSERT_TRUE(host.RunPreview()) << messages.last();
        EXPECT_EQ(host.Pages().size(), 2u);
        expectGolden(host, "hourvane-list-12h.rpt");
    }
    {
        // 24-hour times, departments, one after the other on a page.
        const std::int64_t shipping = addDept("Shipping");
        exec(*dm, "update Employee set DeptID = " + std::to_string(shipping) + " where EmpID = " + std::to_string(sam));
        globalSettings().timeFormat = "hh:nn";
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "HourvaneList";
        host.Options.employeesMode = false;
        host.SetSelectionList({{"Shipping", std::int32_t(shipping)}, {"<No Department>", 0}});
        host.Options.periodStart = date(2023, 3, 12);
        host.Options.periodEnd = date(2023, 3, 18);
        ASSERT_TRUE(host.RunPreview()) << messages.last();
        expectGolden(host, "hourvane-list-departments-24h.rpt");
    }
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(ReportHostTest, ClippedDaysGiveBackWorkedHoursLessOvertimeNotTheirOvertimeCountingTimeOff)
{
    addTwoEmployees();
    // Week of 5..11 March: 8 hours Tuesday..Friday and an 8-hour holiday
    // that counts toward overtime on Monday 6. The week's regular total is
    // the 32 worked hours; cutting Monday off must not take its 8 holiday
    // hours from them again (that would print 24).
    TWorkWeekRecClass week(*dm);
    week.SetEmployee(std::int32_t(zoe));
    week.SetWeekEnd(date(2023, 3, 11));
    ASSERT_TRUE(week.Load());
    const WeekClip clip = ClipWeek(week, date(2023, 3, 7), date(2023, 3, 15));
    EXPECT_FLOAT_EQ(clip.regular, 32);
    EXPECT_FLOAT_EQ(clip.overtime, 0);
    EXPECT_FLOAT_EQ(clip.paidTimeOff, 0); // the holiday lies before the period
    EXPECT_EQ(clip.firstDay, date(2023, 3, 7));
    EXPECT_EQ(clip.lastDay, date(2023, 3, 11));
    EXPECT_EQ(FirstWeekEnd(date(2023, 3, 7)), date(2023, 3, 11));
}

TEST_F(ReportHostTest, CopiesRuleAndPrinterChoice)
{
    addTwoEmployees();
    installPrinters({"Office Laser", "Old Dot"});
    printer.cannotCopy = {"Old Dot"};
    windows.onPrintRange = [](ReportSettings& s) { s.job.copies = 3; };

    // A printer that copies gets one pass of 3 copies.
    TfrmHVReport copying(*dm, windows, printer);
    setUpTwoEmployeeList(copying);
    ASSERT_TRUE(copying.RunPrint()) << messages.last();
    EXPECT_EQ(windows.lastPageCount, 2);
    ASSERT_EQ(printer.recorded.size(), 1u);
    EXPECT_EQ(printer.recorded[0].printer, "Office Laser");
    EXPECT_EQ(printer.recorded[0].copies, 3);
    EXPECT_EQ(printer.recorded[0].pages.size(), 2u);

    // One that cannot gets three passes of one copy, numbered 1..3.
    printer.recorded.clear();
    globalSettings().printerName = "Old Dot";
    TfrmHVReport single(*dm, windows, printer);
    setUpTwoEmployeeList(single);
    ASSERT_TRUE(single.RunPrint()) << messages.last();
    ASSERT_EQ(printer.recorded.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(printer.recorded[i].printer, "Old Dot");
        EXPECT_EQ(printer.recorded[i].copies, 1);
        EXPECT_EQ(printer.recorded[i].pass, i + 1);
        EXPECT_EQ(printer.recorded[i].passes, 3);
    }

    // Cancel in the setup window prints nothing.
    printer.recorded.clear();
    windows.printRangeAnswer = false;
    TfrmHVReport cancelled(*dm, windows, printer);
    setUpTwoEmployeeList(cancelled);
    EXPECT_FALSE(cancelled.RunPrint());
    EXPECT_TRUE(printer.recorded.empty());

    // An exact name beats one that only contains it; otherwise the last that contains it.
    EXPECT_EQ(ChoosePrinter({"HP", "HP (copy 1)"}, "HP"), 0);
    EXPECT_EQ(ChoosePrinter({"HP LaserJet", "HP (copy 1)", "Canon"}, "HP"), 1);
    EXPECT_EQ(ChoosePrinter({"Canon"}, "HP"), -1);
}

TEST_F(ReportHostTest, WithoutPrintersEveryPrintPathSaysSoAndWritesNothing)
{
    addTwoEmployees();
    installPrinters({});
    const std::filesystem::path pageFile = ReportPageFilePath();
    for (bool direct : {true, false}) {
        messages.clear();
        TfrmHVReport host(*dm, windows, printer);
        setUpTwoEmployeeList(host);
        EXPECT_FALSE(direct ? host.RunDirect() : host.RunPrint());
        EXPECT_EQ(messages.texts(), std::vector<std::string>{kNoPrinterMessage});
    }
    EXPECT_TRUE(printer.recorded.empty());
    EXPECT_FALSE(std::filesystem::exists(pageFile));

    // The preview needs no printer.
    TfrmHVReport preview(*dm, windows, printer);
    setUpTwoEmployeeList(preview);
    EXPECT_TRUE(preview.RunPreview());
    EXPECT_EQ(windows.previews, std::vector<std::string>{pageFile.string()});
    EXPECT_TRUE(std::filesystem::exists(pageFile));
}

TEST_F(ReportHostTest, StatusWindowFromSixEntriesAndHeaderNamesOfEmptyOrDeletedEntries)
{
    addTwoEmployees();
    std::vector<SelectionEntry> five(5, bothEmployees()[1]);
    TfrmHVReport fewer(*dm, windows, printer);
    setUpTwoEmployeeList(fewer);
    fewer.SetSelectionList(five);
    ASSERT_TRUE(fewer.RunPreview());
    EXPECT_TRUE(windows.statusCaptions.empty());

    five.push_back(bothEmployees()[0]);
    TfrmHVReport six(*dm, windows, printer);
    setUpTwoEmployeeList(six);
    six.SetSelectionList(five);
    ASSERT_TRUE(six.RunPreview());
    EXPECT_EQ(windows.statusCaptions, std::vector<std::string>{"Report Status"});
    ASSERT_EQ(windows.statusTexts.size(), 6u);
    EXPECT_EQ(windows.statusTexts.front(), "Generating page 1");
    EXPECT_EQ(windows.statusTexts.back(), "Generating page 6");

    // An empty selection with a page per entry: one page, no header name.
    TfrmHVReport empty(*dm, windows, printer);
    setUpTwoEmployeeList(empty);
    empty.SetSelectionList(std::vector<SelectionEntry>{});
    ASSERT_TRUE(empty.RunPreview());
    EXPECT_EQ(empty.Pages().size(), 1u);
    EXPECT_EQ(empty.Options.headerName, "");

    // The header name of a page per employee: first name first; empty when
    // the list is empty or another copy deleted the employee.
    TfrmHVReport hours(*dm, windows, printer);
    hours.ReportName = "HoursWorked";
    hours.Options.newPage = true;
    hours.SetSelectionList(bothEmployees());
    hours.BeforePrint();
    EXPECT_EQ(hours.Options.headerName, "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m");
    hours.SetSelectionList(std::vector<SelectionEntry>{});
    hours.BeforePrint();
    EXPECT_EQ(hours.Options.headerName, "");
    exec(*dm, "delete from Employee where EmpID = " + std::to_string(zoe));
    hours.SetSelectionList(bothEmployees());
    hours.BeforePrint();
    EXPECT_EQ(hours.Options.headerName, "");
}

TEST_F(ReportHostTest, PageFileThatCannotBeWrittenNamesPathAndReasonAndPrintsNothing)
{
    addTwoEmployees();
    // A settings folder under a plain file cannot hold the page file, even for root.
    const std::filesystem::path plain = config.path() / "plain";
    std::ofstream(plain) << "not a folder";
    const std::string folder = (plain / "settings").string();
    setenv("HOURVANE_CONFIG_DIR", folder.c_str(), 1);
    TfrmHVReport host(*dm, windows, printer);
    setUpTwoEmployeeList(host);
    EXPECT_FALSE(host.RunDirect());
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string prefix = "The report file " + folder + "/HVReport.rpt could not be written: ";
    EXPECT_EQ(messages.last().substr(0, prefix.size()), prefix) << messages.last();
    EXPECT_GT(messages.last().size(), prefix.size());
    EXPECT_TRUE(printer.recorded.empty());
}

} // namespace
} // namespace hv::test
