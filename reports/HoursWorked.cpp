#include "reports/HoursWorked.h"

#include "engine/Database.h"
#include "people/TEmp.h"
#include "platform/Format.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/DataModule.h"
#include "timekeeping/PeriodLoader.h"
#include "timekeeping/WorkUtil.h"

#include <cmath>

namespace hv {

using namespace report;

void THoursWorkedReport::Totals::add(const Totals& t)
{
    regular += t.regular;
    overtime += t.overtime;
    other += t.other;
    for (std::size_t i = 0; i < pay.size(); ++i)
        pay[i] += t.pay[i];
}

THoursWorkedReport::THoursWorkedReport(THourvaneDataMod& dm, ReportOptions& options,
                                       const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

void THoursWorkedReport::setBodyTabs(ReportCanvas& c) const
{
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5, kTabMargin);
    c.SetTab(1.0, Justify::Left, 1.25, kTabMargin);
    for (double at : {2.75, 4.0, 5.25, 6.5})
        c.SetTab(at, Justify::Right, 1.0, kTabMargin);
}

void THoursWorkedReport::header(ReportCanvas& c)
{
    ListPageTop(c, "For " + ReportDate(m_options.periodStart) + " to " + ReportDate(m_options.periodEnd), m_options);
    for (double at : {3.0, 4.25, 5.5, 6.75})
        c.SetTab(at, Justify::Centre, 1.0);
    c.Bold(true);
    c.PrintLn("\tRegular\tOvertime\tOther\tTotal");
    c.Underline(true);
    c.PrintLn("\tHours\tHours\tHours\tHours");
    c.Bold(false);
    c.Underline(false);
    setBodyTabs(c);
}

PeriodLoader& THoursWorkedReport::loader()
{
    if (!m_loader || m_loader->PeriodStart() != std::floor(m_options.periodStart) ||
        m_loader->PeriodEnd() != std::floor(m_options.periodEnd))
        m_loader = std::make_unique<PeriodLoader>(m_dm, m_options.periodStart, m_options.periodEnd);
    return *m_loader;
}

THoursWorkedReport::EmployeeWeeks THoursWorkedReport::collect(std::int32_t empID)
{
    EmployeeWeeks result;
    PeriodLoader& period = loader();
    // One state of the tables for the whole block, and no lock held past it;
    // the employee's record reads his department too.
    static const std::vector<std::string> tables = [] {
        std::vector<std::string> t = PeriodLoader::Tables();
        t.insert(t.end(), {"employee", "dept"});
        return t;
    }();
    engine::ReadTransaction reading(m_dm.HourvaneDB, tables);
    TEmployeeRecClass employee(m_dm);
    employee.SetEmpID(empID);
    result.found = employee.LoadByID();
    if (!result.found)
        return result;
    // The whole period's rows in a few statements, fed week by week to the
    // time card's own computation and pay.
    period.Load(empID);
    period.ForEachWeek([&](const TWorkWeekRecClass& week) {
        const WeekClip clip = period.Clip(week);
        WeekLine line{clip.firstDay, clip.lastDay, clip.regular, clip.overtime, clip.paidTimeOff, {}};
        if (m_options.printWages) {
            const WeekPayAmounts a = period.Pay(week);
            line.pay = {a.RegularPay,          a.OvertimePay,          a.TimeOffPay,
                        a.RegularDifferential, a.OvertimeDifferential, a.TimeOffDifferential};
        }
        result.weeks.push_back(line);
    });
    return result;
}

void THoursWorkedReport::hourLine(ReportCanvas& c, double regular, double overtime, double other) const
{
    c.Print("\t" + ReportHours(regular));
    c.Print("\t" + ReportHours(overtime));
    c.Print("\t" + ReportHours(other));
    c.PrintLn("\t" + ReportHours(regular + overtime + other));
}

THoursWorkedReport::Pay THoursWorkedReport::payLines(ReportCanvas& c, const Pay& pay) const
{
    // Each cell is added up as it prints, and a line's sum is the sum of
    // its printed cells, so every total matches the lines above it.
    Pay printed{};
    auto line = [&](Money a, Money b, Money d, std::size_t first) {
        printed[first] = AsPrinted(a);
        printed[first + 1] = AsPrinted(b);
        printed[first + 2] = AsPrinted(d);
        c.Print("\t\t\t" + PrintedMoney(printed[first]));
        c.Print("\t" + PrintedMoney(printed[first + 1]));
        c.Print("\t" + PrintedMoney(printed[first + 2]));
        c.PrintLn("\t" + PrintedMoney(printed[first] + printed[first + 1] + printed[first + 2]));
    };
    if (m_options.shiftLine) {
        line(pay[0], pay[1], pay[2], 0);
        line(pay[3], pay[4], pay[5], 3);
    } else {
        line(pay[0] + pay[3], pay[1] + pay[4], pay[2] + pay[5], 0);
    }
    return printed;
}

void THoursWorkedReport::continuation(ReportCanvas& c, const std::string& name, const std::string& dept) const
{
    c.NewPage();
    if (!dept.empty() && !m_options.newPage)
        DepartmentHeading(c, dept + " - Continued");
    BoldNameLine(c, name + " - Continued");
}

THoursWorkedReport::Totals THoursWorkedReport::employeeBlock(ReportCanvas& c, std::int32_t empID,
                                                             const std::string& name, const std::string& dept)
{
    Totals totals;
    const EmployeeWeeks data = collect(empID);
    // Another copy removed the employee after he was chosen: his name only.
    if (!data.found)
        return totals;
    ++m_blocks;
    for (const WeekLine& w : data.weeks) {
        if (c.LinesLeft() < 3)
            continuation(c, name, dept);
        if (m_options.detail) {
            c.Print("\t\t" + ReportDate(w.firstDay) + " - " + ReportDate(w.lastDay));
            c.Print("\t" + ReportHours(w.regular));
            c.Print("\t" + ReportHours(w.overtime));
            c.Print("\t" + ReportHours(w.other));
            c.PrintLn("\t" + ReportHours(w.regular + w.overtime + w.other));
        }
        totals.regular += w.regular;
        totals.overtime += w.overtime;
        totals.other += w.other;
        if (m_options.printWages) {
            Pay printed{};
            if (m_options.detail) {
                printed = payLines(c, w.pay);
            } else {
                // Summary adds the same cents the detail lines would print.
                if (m_options.shiftLine) {
                    for (std::size_t i = 0; i < 6; ++i)
                        printed[i] = AsPrinted(w.pay[i]);
                } else {
                    for (std::size_t i = 0; i < 3; ++i)
                        printed[i] = AsPrinted(w.pay[i] + w.pay[i + 3]);
                }
            }
            for (std::size_t i = 0; i < 6; ++i)
                totals.pay[i] += printed[i];
        }
    }
    if (c.LinesLeft() < 3)
        continuation(c, name, dept);
    c.Tab();
    c.PrintLn();
    c.Tab();
    c.Bold(true);
    RightInTab(c, "Total");
    c.Bold(false);
    hourLine(c, totals.regular, totals.overtime, totals.other);
    if (m_options.printWages)
        payLines(c, totals.pay);
    return totals;
}

void THoursWorkedReport::totalBlock(ReportCanvas& c, const char* label, const Totals& t) const
{
    c.Tab();
    c.PrintLn();
    c.Tab();
    c.SetFont(kReportFace, 12);
    c.Bold(true);
    RightInTab(c, label);
    c.SetFont(kReportFace, 11);
    hourLine(c, t.regular, t.overtime, t.other);
    if (m_options.printWages)
        payLines(c, t.pay);
}

void THoursWorkedReport::body(ReportCanvas& c)
{
    // The reasons, read once for the run.
    m_loader.reset();
    Totals report;
    m_blocks = 0;
    const std::size_t count = m_selection.size();
    for (std::size_t i = 0; i < count; ++i) {
        const SelectionEntry& entry = m_selection[i];
        const std::string text = CleanReportText(entry.text);
        if (m_options.employeesMode) {
            if (!m_options.newPage) {
                if (c.LinesLeft() < 3)
                    c.NewPage();
                BoldNameLine(c, text);
            }
            report.add(employeeBlock(c, entry.id, text, {}));
            if (i + 1 < count) {
                if (m_options.newPage) {
                    TEmployeeRecClass next(m_dm);
                    next.SetEmpID(m_selection[i + 1].id);
                    m_options.headerName =
                        next.LoadByID() ? CleanReportText(next.FirstName() + " " + next.LastName()) : std::string();
                    c.NewPage();
                } else {
                    c.SetFont(kReportFace, 6);
                    c.PrintLn();
                    c.SetFont(kReportFace, 11);
                }
            }
            continue;
        }
        Totals department;
        MemoryPickList employees;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(employees, entry.id, m_options.periodEnd, m_options.periodStart);
        if (!m_options.newPage) {
            if (c.LinesLeft() > 5) {
                if (i > 0) {
                    c.PrintLn();
                    c.PrintLn();
                }
            } else {
                c.NewPage();
            }
            DepartmentHeading(c, text);
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
            department.add(employeeBlock(c, employees.id(k), name, text));
        }
        if (c.LinesLeft() < 3) {
            c.NewPage();
            if (!m_options.newPage)
                DepartmentHeading(c, text + " - Continued");
        }
        totalBlock(c, "Department Total", department);
        report.add(department);
    }
    if (m_blocks > 1) {
        if (m_options.newPage) {
            m_options.headerName = "Report Period Totals";
            c.NewPage();
        } else if (c.LinesLeft() > 3) {
            c.PrintLn();
        } else {
            c.NewPage();
        }
        if (c.LinesLeft() < 3)
            c.NewPage();
        totalBlock(c, "Report Total", report);
    }
}

} // namespace hv
