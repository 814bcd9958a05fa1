#include "reports/EmpTimeOff.h"

#include "engine/Database.h"
#include "people/TEmp.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/DataModule.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"

#include <cmath>

namespace hv {

using namespace report;

namespace {
const char* const kReasonNotFound = "Reason Not Found";
}

TEmpTimeOffReport::TEmpTimeOffReport(THourvaneDataMod& dm, ReportOptions& options,
                                     const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

void TEmpTimeOffReport::header(ReportCanvas& c)
{
    ListPageTop(c, "For " + ReportDate(m_options.periodStart) + " to " + ReportDate(m_options.periodEnd), m_options);
    if (m_options.detail) {
        c.SetTab(1.0, Justify::Left, 2.5, kTabMargin);
        c.SetTab(1.25, Justify::Left, 0.75, kTabMargin);
        c.SetTab(2.25, Justify::Left, 2.0, kTabMargin);
        c.SetTab(4.25, Justify::Right, 1.0, kTabMargin);
    } else {
        c.SetTab(1.0, Justify::Left, 2.5, kTabMargin);
        c.SetTab(1.25, Justify::Left, 2.0, kTabMargin);
        c.SetTab(3.25, Justify::Right, 1.0, kTabMargin);
    }
}

std::vector<TEmpTimeOffReport::Entry> TEmpTimeOffReport::collect(std::int32_t empID) const
{
    std::vector<Entry> entries;
    engine::ReadTransaction reading(m_dm.HourvaneDB);
    TTimeOffReportListClass list(m_dm, empID, std::floor(m_options.periodStart), std::floor(m_options.periodEnd));
    list.Load();
    for (int i = 0; i < list.Count(); ++i) {
        const TTimeOffRecClass& e = list.Items(i);
        Entry entry{e.WeekDate(), e.ReasonDescription(), false, e.Hours()};
        entry.reasonMissing = entry.reason == kReasonNotFound;
        entries.push_back(entry);
    }
    return entries;
}

void TEmpTimeOffReport::noTimeOff(ReportCanvas& c) const
{
    c.Print("\t\t");
    c.Bold(true);
    c.PrintLn("No Time Off Hours taken for this reporting period.");
    c.Bold(false);
}

void TEmpTimeOffReport::continuation(ReportCanvas& c, const std::string& name, const std::string& dept) const
{
    c.NewPage();
    if (!dept.empty() && !m_options.newPage)
        DepartmentHeading(c, dept + " - Continued");
    BoldNameLine(c, name + " - Continued");
}

void TEmpTimeOffReport::tallyLine(ReportCanvas& c, const std::string& reason, double hours) const
{
    c.Print(m_options.detail ? "\t\t\t" : "\t\t");
    c.Print(CleanReportText(reason));
    c.PrintLn("\t" + ReportHours(hours));
}

void TEmpTimeOffReport::employeeBlock(ReportCanvas& c, const std::vector<Entry>& entries, const std::string& name,
                                      const std::string& dept)
{
    for (const Entry& e : entries) {
        if (m_options.detail) {
            if (c.LinesLeft() < 2)
                continuation(c, name, dept);
            c.Bold(e.reasonMissing);
            c.Italic(e.reasonMissing);
            c.PrintLn("\t\t" + ReportDate(e.date) + "\t" + CleanReportText(e.reason) + "\t" + ReportHours(e.hours));
            c.Bold(false);
            c.Italic(false);
        }
        // An entry whose reason is gone matches no tally and is not totalled.
        for (Tally& t : m_tallies) {
            if (t.reason != e.reason)
                continue;
            for (Pair* p : {&t.employee, &t.department, &t.report}) {
                ++p->count;
                p->hours += e.hours;
            }
            break;
        }
    }
    if (m_options.detail) {
        if (c.LinesLeft() < 3)
            continuation(c, name, dept);
        c.Tab();
        c.PrintLn();
        c.Tab();
        c.Bold(true);
        RightInTab(c, "Totals");
        c.PrintLn();
        c.Bold(false);
    }
    for (Tally& t : m_tallies) {
        if (t.employee.count == 0)
            continue;
        if (c.LinesLeft() < 2)
            continuation(c, name, dept);
        tallyLine(c, t.reason, t.employee.hours);
        t.employee = {};
    }
}

void TEmpTimeOffReport::levelTotals(ReportCanvas& c, const std::string& heading, Pair Tally::*level)
{
    auto headingLine = [&](const std::string& text) {
        c.Tab();
        c.SetFont(kReportFace, 12);
        c.Bold(true);
        c.PrintLn(text);
        c.SetFont(kReportFace, 11);
    };
    if (c.LinesLeft() < 2)
        c.NewPage();
    headingLine(heading);
    for (Tally& t : m_tallies) {
        if ((t.*level).count == 0)
            continue;
        if (c.LinesLeft() < 2) {
            c.NewPage();
            headingLine(heading + " - Continued");
        }
        tallyLine(c, t.reason, (t.*level).hours);
        t.*level = {};
    }
}

void TEmpTimeOffReport::body(ReportCanvas& c)
{
    m_tallies.clear();
    {
        TReasonListClass reasons(m_dm);
        reasons.Load();
        for (int i = 0; i < reasons.Count(); ++i)
            m_tallies.push_back({reasons.Items(i).Reason(), {}, {}, {}});
    }
    int withTimeOff = 0;
    const std::size_t count = m_selection.size();
    bool previousPrinted = false;
    for (std::size_t i = 0; i < count; ++i) {
        const SelectionEntry& entry = m_selection[i];
        const std::string text = CleanReportText(entry.text);
        if (m_options.employeesMode) {
            const std::vector<Entry> entries = collect(entry.id);
            if (!m_options.newPage) {
                if (c.LinesLeft() < 3)
                    c.NewPage();
                BoldNameLine(c, text);
            }
            if (entries.empty()) {
                noTimeOff(c);
            } else {
                employeeBlock(c, entries, text, {});
                ++withTimeOff;
            }
            if (i + 1 < count) {
                if (m_options.newPage) {
                    TEmployeeRecClass next(m_dm);
                    next.SetEmpID(m_selection[i + 1].id);
                    m_options.headerName =
                        next.LoadByID() ? CleanReportText(next.FirstName() + " " + next.LastName()) : std::string();
                    c.NewPage();
                } else {
                    c.PrintLn();
                }
            }
            continue;
        }
        MemoryPickList employees;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(employees, entry.id, m_options.periodEnd, m_options.periodStart);
        std::vector<std::vector<Entry>> all;
        bool anyWithTimeOff = false;
        for (int k = 0; k < employees.count(); ++k) {
            all.push_back(collect(employees.id(k)));
            anyWithTimeOff = anyWithTimeOff || !all.back().empty();
        }
        if (!m_options.newPage) {
            if (c.LinesLeft() < 6)
                c.NewPage();
            else if (previousPrinted) {
                c.PrintLn();
                c.PrintLn();
            }
            DepartmentHeading(c, text);
            if (!anyWithTimeOff) {
                c.PrintLn();
                c.PrintLn();
            }
        } else if (i > 0) {
            m_options.headerName = text;
            c.NewPage();
        }
        for (int k = 0; k < employees.count(); ++k) {
            const std::string name = CleanReportText(employees.text(k));
            if (c.LinesLeft() < 4) {
                c.NewPage();
                if (!m_options.newPage)
                    DepartmentHeading(c, text + " - Continued");
            } else if (k > 0) {
                c.PrintLn();
            }
            BoldNameLine(c, name);
            if (all[std::size_t(k)].empty()) {
                noTimeOff(c);
            } else {
                employeeBlock(c, all[std::size_t(k)], name, text);
                ++withTimeOff;
            }
        }
        if (anyWithTimeOff) {
            c.PrintLn();
            c.PrintLn();
            levelTotals(c, text + " Totals", &Tally::department);
        }
        previousPrinted = anyWithTimeOff;
    }
    if (withTimeOff > 1) {
        if (m_options.newPage) {
            m_options.headerName = "Report Period Totals";
            c.NewPage();
        } else {
            c.PrintLn();
            c.PrintLn();
        }
        levelTotals(c, "Report Period Totals", &Tally::report);
    }
}

} // namespace hv
