#include "reports/HoursWorked.h"

#include "engine/Database.h"
#include "engine/Query.h"
#include "people/TEmp.h"
#include "people/TEmpOTPolicy.h"
#include "people/TEmpWage.h"
#include "platform/Format.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/DataModule.h"
#include "timekeeping/TimeValues.h"
#include "timekeeping/WeekClip.h"
#include "timekeeping/WeekPay.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TReason.h"

#include <cmath>

namespace hv {

using namespace report;

namespace {
std::string sqlDate(double date) { return "'" + FormatDateTime("yyyy-mm-dd", date) + "'"; }
} // namespace

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

std::vector<DayPunchRow> THoursWorkedReport::readPunches(std::int32_t empID, double first, double last) const
{
    std::vector<DayPunchRow> rows;
    engine::Query q(m_dm.HourvaneDB);
    q.addSql("select WeekDate, SequenceNum, TimeIn1, TimeOut1, TimeIn2, TimeOut2, Shift from WorkDay where EmpID = " +
             std::to_string(empID) + " and WeekDate between " + sqlDate(first) + " and " + sqlDate(last) +
             " order by WeekDate, SequenceNum");
    auto punch = [&](int i) { return q.field(i).isNull() ? kEmptyPunch : q.field(i).asDateTime(); };
    for (q.open(); !q.eof(); q.next()) {
        DayPunchRow row;
        row.day = std::floor(q.field(0).asDateTime());
        row.sequence = int(q.field(1).asInteger());
        row.in = {punch(2), punch(4)};
        row.out = {punch(3), punch(5)};
        row.shift = q.field(6).isNull() ? 1 : int(q.field(6).asInteger());
        rows.push_back(row);
    }
    return rows;
}

std::vector<TimeOffHours> THoursWorkedReport::readTimeOff(std::int32_t empID, double first, double last)
{
    std::vector<TimeOffHours> rows;
    engine::Query q(m_dm.HourvaneDB);
    q.addSql("select WeekDate, ReasonID, Hours from TimeOff where EmpID = " + std::to_string(empID) +
             " and WeekDate between " + sqlDate(first) + " and " + sqlDate(last) + " order by WeekDate");
    for (q.open(); !q.eof(); q.next()) {
        const std::int32_t reasonID = std::int32_t(q.field(1).asInteger());
        auto flags = m_reasonFlags.find(reasonID);
        if (flags == m_reasonFlags.end()) {
            // A reason not read yet (or gone): its flags as the time card reads them.
            TReasonRecClass reason(m_dm);
            reason.SetReasonID(reasonID);
            reason.LoadByID();
            flags = m_reasonFlags.emplace(reasonID, std::make_pair(reason.PaidFlag(), reason.OvertimeFlag())).first;
        }
        rows.push_back({std::floor(q.field(0).asDateTime()), float(q.field(2).asFloat()), flags->second.first,
                        flags->second.second});
    }
    return rows;
}

THoursWorkedReport::EmployeeWeeks THoursWorkedReport::collect(std::int32_t empID)
{
    EmployeeWeeks result;
    const double start = std::floor(m_options.periodStart);
    const double end = std::floor(m_options.periodEnd);
    // One state of the tables for the whole block, and no lock held past it.
    engine::ReadTransaction reading(m_dm.HourvaneDB);
    TEmployeeRecClass employee(m_dm);
    employee.SetEmpID(empID);
    result.found = employee.LoadByID();
    if (!result.found)
        return result;
    // The whole period's rows in a few statements, fed week by week to the
    // time card's own computation and pay.
    const double firstWeekEnd = FirstWeekEnd(start);
    double lastWeekEnd = firstWeekEnd;
    while (lastWeekEnd + 1 <= end)
        lastWeekEnd += 7;
    const std::vector<DayPunchRow> punches = readPunches(empID, firstWeekEnd - 6, lastWeekEnd);
    const std::vector<TimeOffHours> timeOff = readTimeOff(empID, firstWeekEnd - 6, lastWeekEnd);
    TEmpOTPolicyListClass assignments(m_dm, empID);
    assignments.Load();
    TWageListClass wages(m_dm, empID);
    if (m_options.printWages)
        wages.Load();

    TWorkWeekRecClass week(m_dm);
    week.SetEmployee(empID);
    std::size_t p = 0;
    std::size_t t = 0;
    for (double weekEnd = firstWeekEnd; weekEnd - 6 <= end; weekEnd += 7) {
        std::vector<DayPunchRow> weekPunches;
        for (; p < punches.size() && punches[p].day <= weekEnd; ++p)
            weekPunches.push_back(punches[p]);
        std::vector<TimeOffHours> weekTimeOff;
        for (; t < timeOff.size() && timeOff[t].day <= weekEnd; ++t)
            weekTimeOff.push_back(timeOff[t]);
        week.SetWeekEnd(weekEnd);
        week.LoadRows(weekPunches, weekTimeOff, assignments);
        const WeekClip clip = ClipWeek(week, start, end);
        WeekLine line{clip.firstDay, clip.lastDay, clip.regular, clip.overtime, clip.paidTimeOff, {}};
        if (m_options.printWages) {
            const WeekPayAmounts a = WeeklyPay(m_dm, week, wages, assignments, start, end);
            line.pay = {a.RegularPay,          a.OvertimePay,          a.TimeOffPay,
                        a.RegularDifferential, a.OvertimeDifferential, a.TimeOffDifferential};
        }
        result.weeks.push_back(line);
    }
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
    // Every reason's paid and overtime flags, read once for the run.
    m_reasonFlags.clear();
    {
        engine::Query q(m_dm.HourvaneDB);
        q.addSql("select ReasonID, PaidFlag, OvertimeFlag from Reason");
        for (q.open(); !q.eof(); q.next())
            m_reasonFlags[std::int32_t(q.field(0).asInteger())] = {q.field(1).asBoolean(), q.field(2).asBoolean()};
    }
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
