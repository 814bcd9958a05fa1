// The hours worked, time off, balances, employee, department and reason
// reports: goldens of their pages over one small folder, and the sums the
// hours worked report prints, derived by hand.
#include "people/TEmp.h"
#include "reportengine/PageFile.h"
#include "reports/DeptList.h"
#include "reports/ReportLayout.h"
#include "tests/reports/SmallFolder.h"
#include "tests/support/Golden.h"

#include <algorithm>
#include <map>

namespace hv::test {
namespace {

using namespace hv::report;

// Each page's texts joined by " | " per baseline, in page order.
std::vector<std::string> printedLines(const PageSet& pages)
{
    std::vector<std::string> lines;
    for (const Page& page : pages) {
        std::map<int, std::string> byBaseline;
        for (const PageItem& item : page.items) {
            if (const auto* t = std::get_if<TextItem>(&item)) {
                std::string& line = byBaseline[t->baseline];
                line += (line.empty() ? "" : " | ") + t->text;
            }
        }
        for (const auto& [baseline, line] : byBaseline)
            lines.push_back(line);
    }
    return lines;
}

bool hasLine(const PageSet& pages, const std::string& line)
{
    for (const std::string& l : printedLines(pages))
        if (l == line)
            return true;
    return false;
}

class ListReportTest : public SmallFolderTest {
protected:
    void SetUp() override
    {
        SmallFolderTest::SetUp();
        addSmallFolder();
    }
    // Runs the report to the preview and compares its pages.
    void golden(TfrmHVReport& host, const char* name)
    {
        ASSERT_TRUE(host.RunPreview()) << messages.last();
        ExpectGolden(PageFileText(host.Pages()), std::string(HV_GOLDEN_DIR) + name, HV_TEST_PROGRAM);
    }
    void period(TfrmHVReport& host, double start, double end)
    {
        host.Options.periodStart = start;
        host.Options.periodEnd = end;
    }
};

TEST_F(ListReportTest, HoursWorkedGoldens)
{
    {
        // Detail with gross wages by department, 8 to 18 March: Ava alone
        // under "<No Department>", Office with nobody active after Dana left
        // on the 7th, Shipping with Zoë, Sam and Lee.
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "HoursWorked";
        host.Options.employeesMode = false;
        host.Options.printWages = true;
        host.SetSelectionList(departments());
        period(host, date(2023, 3, 8), date(2023, 3, 18));
        golden(host, "hours-worked-detail-departments-wages.rpt");
        EXPECT_TRUE(hasLine(host.Pages(), "Office")) << "a department with nobody active keeps its heading";
    }
    {
        // Summary by employee, a page each with the name in the header, and
        // a last page of report totals over the three weeks.
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "HoursWorked";
        host.Options.detail = false;
        host.Options.newPage = true;
        host.SetSelectionList({entry(zoe), entry(sam), entry(ava)});
        period(host, date(2023, 2, 26), date(2023, 3, 18));
        golden(host, "hours-worked-summary-employees.rpt");
        ASSERT_EQ(host.Pages().size(), 4u);
        EXPECT_TRUE(hasLine({host.Pages()[1]}, "Sam Baker"));
        EXPECT_TRUE(hasLine({host.Pages()[3]}, "Report Period Totals"));
    }
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(ListReportTest, TimeOffAndBalancesGoldens)
{
    {
        // Detail by department: Ava's entry of a deleted reason prints
        // "Reason Not Found" and stays out of the totals; Office (Dana) had
        // no time off.
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "TimeOff";
        host.Options.employeesMode = false;
        host.SetSelectionList(departments());
        period(host, date(2023, 2, 26), date(2023, 3, 18));
        golden(host, "time-off-detail-departments.rpt");
    }
    {
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "TimeOff";
        host.Options.detail = false;
        host.SetSelectionList({entry(zoe), entry(ava), entry(sam)});
        period(host, date(2023, 2, 26), date(2023, 3, 18));
        golden(host, "time-off-summary-employees.rpt");
    }
    {
        // By department as of 15 March: Ava's vacation balance is negative
        // (bold), Sick Leave has no rule past 6 months of service ("***"),
        // and Dana, who left 8 days ago, is left out.
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "Balances";
        host.Options.employeesMode = false;
        host.SetSelectionList(departments());
        golden(host, "balances-departments.rpt");
        for (const std::string& line : printedLines(host.Pages()))
            EXPECT_EQ(line.find("Evans"), std::string::npos) << line;
    }
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(ListReportTest, EmployeeDepartmentAndReasonListGoldens)
{
    {
        // Every section; Ava's 40 lines of comments cross a page.
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "EmpList";
        host.Options.printBasic = host.Options.printComments = true;
        host.Options.printBalances = host.Options.printWages = true;
        host.SetSelectionList({entry(ava), entry(zoe)});
        golden(host, "employee-list.rpt");
        EXPECT_TRUE(hasLine(host.Pages(), "Cole, Ava - Continued"));
    }
    {
        // "<No Department>" chosen first prints last, as "Unassigned Employees".
        TfrmHVReport host(*dm, windows, printer);
        host.ReportName = "DeptList";
        host.Options.employeesMode = false;
        host.Options.includeDeptEmployees = true;
        host.Options.employeeFilter = 2;
        host.SetSelectionList(departments());
        golden(host, "department-list.rpt");
    }
    {
        // Rules 0-12, 12-24 and 24-36 months of Vacation, 0-6 of Sick Leave,
        // Holiday and Personal without a policy; through the setup window
        // with Preview chosen.
        TrptReasonList list(*dm, windows, printer);
        ASSERT_TRUE(list.Run());
        EXPECT_EQ(windows.destinationCalls, 1);
        ExpectGolden(PageFileText(list.Pages()), std::string(HV_GOLDEN_DIR) + "reason-list.rpt", HV_TEST_PROGRAM);
    }
    EXPECT_EQ(TReasonListReport::AtLeastText(0), std::make_pair(std::string("0"), std::string("months")));
    EXPECT_EQ(TReasonListReport::UpToText(12), std::make_pair(std::string("1"), std::string("years")));
    EXPECT_EQ(TReasonListReport::UpToText(6), std::make_pair(std::string("6"), std::string("months")));
    EXPECT_EQ(TReasonListReport::AtLeastText(24), std::make_pair(std::string("2"), std::string("years")));
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(ListReportTest, DayPhoneKeepsItsValueOnItsPage)
{
    // Fifty employees with 1 to 50 lines of comments one after the other
    // bring each one's personal information to every line of a page; the
    // check before "Day Phone:" never leaves the label on one page and the
    // number on the next.
    std::vector<SelectionEntry> selection;
    for (int i = 1; i <= 50; ++i) {
        const std::int64_t id = addEmp("Lead", std::to_string(100 + i), date(2020, 1, 6));
        setEmployee(id, "ContactWorkPhone = '555-0199'");
        TEmployeeRecClass record(*dm);
        record.SetEmpID(std::int32_t(id));
        ASSERT_TRUE(record.LoadByID());
        std::string comments;
        for (int k = 0; k < i; ++k)
            comments += "A line.\r\n";
        record.SetComments(comments);
        ASSERT_TRUE(record.Save("ALICE"));
        record.Unlock("ALICE");
        selection.push_back(entry(id));
    }
    TfrmHVReport host(*dm, windows, printer);
    host.ReportName = "EmpList";
    host.Options.printBasic = host.Options.printComments = true;
    host.SetSelectionList(selection);
    ASSERT_TRUE(host.RunPreview());
    int labels = 0;
    for (const std::string& line : printedLines(host.Pages())) {
        if (line.find("Day Phone:") == std::string::npos)
            continue;
        ++labels;
        EXPECT_EQ(line, "Day Phone: | 555-0199");
    }
    EXPECT_EQ(labels, 50);
}

TEST_F(ListReportTest, EntriesRemovedByAnotherCopyPrintTheirListTextAndTheRunGoesOn)
{
    TfrmHVReport hours(*dm, windows, printer);
    hours.ReportName = "HoursWorked";
    hours.SetSelectionList({{"Gone, Joe", 9999}, entry(zoe)});
    period(hours, date(2023, 3, 12), date(2023, 3, 18));
    ASSERT_TRUE(hours.RunPreview());
    const std::vector<std::string> lines = printedLines(hours.Pages());
    const auto gone = std::find(lines.begin(), lines.end(), "Gone, Joe");
    ASSERT_NE(gone, lines.end());
    EXPECT_EQ(*(gone + 1), "\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB");

    TfrmHVReport departments(*dm, windows, printer);
    departments.ReportName = "DeptList";
    departments.Options.employeesMode = false;
    departments.SetSelectionList({{"Closed", 9999}, {"Office", std::int32_t(office)}});
    ASSERT_TRUE(departments.RunPreview());
    EXPECT_TRUE(hasLine(departments.Pages(), "Closed"));
    EXPECT_TRUE(hasLine(departments.Pages(), "Office | OF | Yes | <No Manager>"));
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

class HoursWorkedSumsTest : public ReportTest {};

TEST_F(HoursWorkedSumsTest, ShortPeriodAndClippedHoliday)
{
    addTwoEmployees();
    // Tuesday 7 to Thursday 9 March inside the week of 5..11 March: one
    // line whose range is the period. Zoë worked 8 hours on each of the
    // three days; Monday's 8-hour overtime-counting holiday lies outside and
    // is not taken off her worked hours: 24 regular, not 16.
    TfrmHVReport host(*dm, windows, printer);
    host.ReportName = "HoursWorked";
    host.SetSelectionList({bothEmployees()[0]});
    host.Options.periodStart = date(2023, 3, 7);
    host.Options.periodEnd = date(2023, 3, 9);
    ASSERT_TRUE(host.RunPreview());
    int weekLines = 0;
    for (const std::string& line : printedLines(host.Pages()))
        weekLines += line.find(" - 3/") != std::string::npos;
    EXPECT_EQ(weekLines, 1);
    EXPECT_TRUE(hasLine(host.Pages(), "3/7/2023 - 3/9/2023 | 24.00 | 0.00 | 0.00 | 24.00"));
}

TEST_F(HoursWorkedSumsTest, PayTotalsAddThePrintedCents)
{
    // $10.003 an hour and a second-shift premium of $0.003 an hour. Monday
    // 6 March: 1 hour on the second shift, 10.003 + 0.003 = 10.006, printed
    // $10.01. Monday 13 March: 1 hour on the first shift, printed $10.00.
    // The Total is $20.01, the sum of the printed cells; rounding the six
    // amounts one by one (10.00 + 0.00 + 10.00) would give $20.00.
    globalSettings().shift2Premium = 0.003f;
    const std::int64_t emp = addEmp("Pay", "Penny", date(2022, 1, 3));
    exec(*dm, "insert into Wage (EmpID, StartDate, Wage, PayTypeCode, OvertimeFlag) values (" + std::to_string(emp) +
                  ", '2022-01-03', 10.003, 'H', 0)");
    punches(emp, date(2023, 3, 6), 0, at(8), at(9));
    exec(*dm, "update WorkDay set Shift = 2 where EmpID = " + std::to_string(emp));
    punches(emp, date(2023, 3, 13), 0, at(8), at(9));
    TfrmHVReport host(*dm, windows, printer);
    host.ReportName = "HoursWorked";
    host.Options.printWages = true;
    host.SetSelectionList({{"Pay, Penny", std::int32_t(emp)}});
    host.Options.periodStart = date(2023, 3, 5);
    host.Options.periodEnd = date(2023, 3, 18);
    ASSERT_TRUE(host.RunPreview());
    EXPECT_TRUE(hasLine(host.Pages(), "$10.01 | $0.00 | $0.00 | $10.01"));
    EXPECT_TRUE(hasLine(host.Pages(), "$10.00 | $0.00 | $0.00 | $10.00"));
    EXPECT_TRUE(hasLine(host.Pages(), "$20.01 | $0.00 | $0.00 | $20.01"));

    // Printed text reads back as whole cents; a float would hold 1234.5699.
    EXPECT_EQ(PrintedAmount("$1,234.57").Units(), 12345700);
    EXPECT_EQ(PrintedAmount("($0.05)").Units(), -500);
}

TEST_F(HoursWorkedSumsTest, DepartmentAndReportPayTotalsKeepTheirCents)
{
    // Three employees at $65,536.25 an hour, 8.25 + 4 x 8 = 40.25 hours in
    // the week of 5..11 March under a 50-hour threshold:
    // 65,536.25 x 40.25 = 2,637,834.0625, printed $2,637,834.06 each; the
    // department and the report add 3 x 2,637,834.06 = $7,913,502.18 (a
    // single-precision sum would print $7,913,502.00) and 3 x 40.25 = 120.75
    // hours.
    globalSettings().overtimeHours = 50;
    const std::int64_t dept = addDept("Trading");
    for (const char* first : {"Ann", "Bob", "Cy"}) {
        const std::int64_t emp = addEmp("Rich", first, date(2020, 1, 6), 0, dept);
        exec(*dm, "insert into Wage (EmpID, StartDate, Wage, PayTypeCode, OvertimeFlag) values (" +
                      std::to_string(emp) + ", '2020-01-06', 65536.25, 'H', 0)");
        punches(emp, date(2023, 3, 6), 0, at(8), at(16, 15));
        for (int d = 7; d <= 10; ++d)
            punches(emp, date(2023, 3, d), 0, at(8), at(16));
    }
    TfrmHVReport host(*dm, windows, printer);
    host.ReportName = "HoursWorked";
    host.Options.employeesMode = false;
    host.Options.printWages = true;
    host.Options.detail = false;
    host.SetSelectionList({{"Trading", std::int32_t(dept)}});
    host.Options.periodStart = date(2023, 3, 5);
    host.Options.periodEnd = date(2023, 3, 11);
    ASSERT_TRUE(host.RunPreview());
    const std::vector<std::string> lines = printedLines(host.Pages());
    const std::string pay = "$7,913,502.18 | $0.00 | $0.00 | $7,913,502.18";
    const std::string hours = "120.75 | 0.00 | 0.00 | 120.75";
    EXPECT_TRUE(hasLine(host.Pages(), "Department Total | " + hours));
    EXPECT_TRUE(hasLine(host.Pages(), "Report Total | " + hours));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), pay), 2);
    EXPECT_TRUE(hasLine(host.Pages(), "$2,637,834.06 | $0.00 | $0.00 | $2,637,834.06"));
}

} // namespace
} // namespace hv::test
