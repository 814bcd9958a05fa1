#include "reports/HourvaneList.h"

#include "people/TEmp.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/HVGlobal.h"
#include "timekeeping/PeriodLoader.h"

#include <cmath>

namespace hv {

using namespace report;

namespace {

constexpr double kMargin = 0.02;

std::string punch(double value, const std::string& format)
{
    return value < 0 ? std::string() : FormatPunch(value, format);
}

// "Tab, the name in bold as a line", left-justified whatever the tabs say.
void nameLine(ReportCanvas& c, const std::string& name)
{
    c.SetTabJustify(TabOverride::Left);
    c.Tab();
    c.Bold(true);
    c.PrintLn(name);
    c.Bold(false);
}

// A new page that goes on with the employee's name.
void continuation(ReportCanvas& c, const std::string& name)
{
    c.NewPage();
    nameLine(c, name + " - Continued");
}

} // namespace

THourvaneListReport::THourvaneListReport(THourvaneDataMod& dm, const ReportOptions& options,
                                         const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

std::string THourvaneListReport::punchFormat() const
{
    return m_options.punchFormat.empty() ? globalSettings().timeFormat : m_options.punchFormat;
}

void THourvaneListReport::setDayTabs(ReportCanvas& c, bool twentyFourHour) const
{
    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 1.0, kMargin);
    c.SetTab(0.75, Justify::Left, 1.0, kMargin);
    // 24-hour times sit 0.2 in further right.
    const double shift = twentyFourHour ? 0.2 : 0.0;
    for (double at : {1.75, 2.65, 3.55, 4.45})
        c.SetTab(at + shift, Justify::Right, 0.75, kMargin);
    c.SetTab(5.2, Justify::Right, 0.65, kMargin);
    c.SetTab(5.85, Justify::Right, 0.75, kMargin);
    c.SetTab(6.6, Justify::Right, 0.75, kMargin);
}

void THourvaneListReport::header(ReportCanvas& c)
{
    c.SetAreaTop(0.85);
    c.SetFont(kReportFace, 12);
    c.Bold(true);
    c.PrintHeader("For " + ReportDate(m_options.periodStart) + " to " + ReportDate(m_options.periodEnd),
                  Justify::Centre);
    c.SetAreaTop(1.25);
    c.FixBodyTop();
    c.SetAreaBottom(10.5);
    c.Home();
    c.SetFont(kReportFace, 11);

    c.ClearTabs();
    for (double at : {5.25, 6.0, 6.75})
        c.SetTab(at, Justify::Centre, 0.75, kMargin);
    c.SetTabJustify(TabOverride::Centre);
    c.Bold(true);
    c.PrintLn("\tWork\tTime Off\tTotal");

    setDayTabs(c, false);
    c.Underline(true);
    c.Print("\t\t\tIn\tOut\tIn\tOut");
    c.SetTabJustify(TabOverride::Right);
    c.PrintLn("\tHours\tHours\tHours");
    c.Bold(false);
    c.Underline(false);
}

THourvaneListReport::Card THourvaneListReport::collect(std::int32_t empID, const std::string& name)
{
    Card card;
    card.name = CleanReportText(name);
    const double start = std::floor(m_options.periodStart);
    const double end = std::floor(m_options.periodEnd);
    if (!m_loader || m_loader->PeriodStart() != start || m_loader->PeriodEnd() != end)
        m_loader = std::make_unique<PeriodLoader>(m_dm, start, end);
    PeriodLoader& period = *m_loader;
    const std::string f = punchFormat();
    period.Load(empID);
    period.ForEachWeek([&](const TWorkWeekRecClass& week) {
        const double weekEnd = week.WeekEnd();
        for (int i = 0; i < 7; ++i) {
            const double date = weekEnd - 6 + i;
            if (date < start || date > end)
                continue;
            const THoursWorkedRecClass& d = week.Day(i);
            CardDay day;
            day.weekday = regional().longDayNames.at(std::size_t(DayOfWeek(date)));
            day.punches = {punch(d.In(1), f), punch(d.Out(1), f), punch(d.In(2), f), punch(d.Out(2), f)};
            day.secondRow = d.hasMore();
            day.morePunches = {punch(d.In(3), f), punch(d.Out(3), f), punch(d.In(4), f), punch(d.Out(4), f)};
            day.worked = d.DayHours();
            day.timeOff = week.TimeOffOnWeekday(DayOfWeek(date));
            card.days.push_back(day);
        }
        const WeekClip clip = period.Clip(week);
        card.regular += clip.regular;
        card.overtime += clip.overtime;
    });
    // The period's own entries, by day and reason, from the rows the weeks read.
    for (const PeriodTimeOff& e : period.TimeOff()) {
        if (e.day < start || e.day > end)
            continue;
        CardEntry entry{e.day, e.hours, period.ReasonDescription(e.reasonID), false};
        entry.reasonMissing = entry.reason == "Reason Not Found";
        entry.reason = CleanReportText(entry.reason);
        card.other += e.hours;
        card.entries.push_back(entry);
    }
    return card;
}

void THourvaneListReport::layout(const Card& card, ReportCanvas& c) const
{
    setDayTabs(c, punchFormat() == "hh:nn");
    if (c.LinesLeft() < 3)
        c.NewPage();
    nameLine(c, card.name);

    for (const CardDay& day : card.days) {
        if (c.LinesLeft() < 2)
            continuation(c, card.name);
        c.SetTabJustify(TabOverride::Left);
        c.Print("\t\t" + day.weekday);
        for (const std::string& p : day.punches)
            c.Print("\t" + p);
        if (day.secondRow) {
            c.NewLine();
            c.Print("\t\t");
            for (const std::string& p : day.morePunches)
                c.Print("\t" + p);
        }
        c.SetTabJustify(TabOverride::Right);
        c.Print("\t" + ReportHours(day.worked, true));
        c.Print("\t" + ReportHours(day.timeOff, true));
        c.PrintLn("\t" + ReportHours(day.worked + day.timeOff, true));
    }

    if (c.LinesLeft() < 2)
        continuation(c, card.name);
    // Each totals tab follows the previous one: 0.5, 1.5, 2.0, 3.0, 3.5, 4.5, 5.0, 6.86.
    c.ClearTabs();
    c.SetTab(0.5, Justify::Right, 1.0, kMargin);
    c.SetTab(kTabFollows, Justify::Left, 0.5, kMargin);
    c.SetTab(kTabFollows, Justify::Right, 1.0, kMargin);
    c.SetTab(kTabFollows, Justify::Left, 0.5, kMargin);
    c.SetTab(kTabFollows, Justify::Right, 1.0, kMargin);
    c.SetTab(kTabFollows, Justify::Left, 0.5, kMargin);
    c.SetTab(kTabFollows, Justify::Left, 1.86, kMargin);
    c.SetTab(kTabFollows, Justify::Right, 0.5, kMargin);
    c.Tab();
    c.PrintLn();
    c.SetTabJustify(TabOverride::Right);
    c.PrintLn("\tRegular:\t" + ReportHours(card.regular) + "\tOvertime:\t" + ReportHours(card.overtime) + "\tOther:\t" +
              ReportHours(card.other) + "\tTotal:\t" + ReportHours(card.regular + card.overtime + card.other));

    c.ClearTabs();
    c.SetTab(1.0, Justify::Left, 0.75, kMargin);
    c.SetTab(1.75, Justify::Left, 0.5, kMargin);
    c.SetTab(2.3, Justify::Left, 3.0, kMargin);
    if (!card.entries.empty()) {
        if (c.LinesLeft() < 2)
            continuation(c, card.name);
        else
            c.PrintLn();
    }
    for (const CardEntry& entry : card.entries) {
        if (c.LinesLeft() < 2)
            continuation(c, card.name);
        c.Bold(entry.reasonMissing);
        c.Italic(entry.reasonMissing);
        c.SetTabJustify(TabOverride::Left);
        c.Print("\t" + ReportDate(entry.date) + " -");
        c.SetTabJustify(TabOverride::Right);
        c.Print("\t" + ReportHours(entry.hours));
        c.SetTabJustify(TabOverride::Left);
        c.PrintLn("\t" + entry.reason);
        c.Bold(false);
        c.Italic(false);
    }
}

void THourvaneListReport::signatureBlock(ReportCanvas& c) const
{
    for (int i = 0; i < 4; ++i)
        c.PrintLn();
    c.ClearTabs();
    c.SetTabJustify(TabOverride::Left);
    c.SetTab(0.5, Justify::Left, 3.4, kMargin);
    c.SetTab(4.0, Justify::Left, 0.3, kMargin);
    c.SetTab(4.4, Justify::Left, 3.4, kMargin);
    // Each label sits under a 3.4-inch signature line.
    c.TabTopLine();
    c.Print("Employee:");
    c.Tab();
    c.TabTopLine();
    c.PrintLn("Manager:");
}

void THourvaneListReport::body(ReportCanvas& c)
{
    const std::size_t count = m_selection.size();
    for (std::size_t i = 0; i < count; ++i) {
        const SelectionEntry& entry = m_selection[i];
        if (m_options.employeesMode) {
            layout(collect(entry.id, entry.text), c);
            if (m_options.signature && m_options.newPage)
                signatureBlock(c);
        } else {
            // The department's employees employed in the period, in name order.
            MemoryPickList employees;
            TEmployeeRecClass(m_dm).FillEmployeesForPeriod(employees, entry.id, m_options.periodEnd,
                                                           m_options.periodStart);
            for (int k = 0; k < employees.count(); ++k)
                layout(collect(employees.id(k), employees.text(k)), c);
        }
        if (i + 1 < count) {
            if (m_options.newPage)
                c.NewPage();
            else
                c.PrintLn();
        }
    }
}

} // namespace hv
