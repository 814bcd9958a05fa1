#include "reports/EmployeeList.h"

#include "engine/Database.h"
#include "people/TEmp.h"
#include "people/TEmpWage.h"
#include "people/TFields.h"
#include "people/TOther.h"
#include "platform/Format.h"
#include "ports/GridView.h"
#include "ports/PickList.h"
#include "reportengine/ReportMetrics.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/DataModule.h"
#include "timeoff/Balances.h"

#include <QString>
#include <QStringList>

namespace hv {

using namespace report;

namespace {

std::string trimmed(const std::string& text) { return QString::fromStdString(text).trimmed().toStdString(); }

// The comments broken into lines that fit the width in the current font.
std::vector<std::string> wrapLines(const ReportFont& font, const std::string& text, double width)
{
    FontMeasure measure;
    std::vector<std::string> lines;
    QString all = QString::fromStdString(text);
    all.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : all.split(QLatin1Char('\n'))) {
        std::string line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const std::string w = word.toStdString();
            const std::string candidate = line.empty() ? w : line + " " + w;
            if (line.empty() || measure.width(font, candidate) <= width) {
                line = candidate;
            } else {
                lines.push_back(line);
                line = w;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEmployeeListReport::TEmployeeListReport(THourvaneDataMod& dm, ReportOptions& options,
                                         const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

void TEmployeeListReport::header(ReportCanvas& c)
{
    c.SetAreaTop(0.9);
    if (m_options.newPage) {
        c.PrintHeader(m_options.headerName, Justify::Centre);
        c.SetAreaTop(1.25);
    } else {
        c.SetAreaTop(1.0);
    }
    c.FixBodyTop();
    c.SetAreaBottom(10.5);
    c.Home();
    c.SetFont(kReportFace, 11);
}

TEmployeeListReport::Sheet TEmployeeListReport::collect(std::int32_t empID) const
{
    Sheet s;
    engine::ReadTransaction reading(m_dm.HourvaneDB);
    TEmployeeRecClass e(m_dm);
    e.SetEmpID(empID);
    s.found = e.LoadByID();
    if (!s.found)
        return s;
    s.fullName = CleanReportText(e.FullName());
    s.empCode = CleanReportText(e.EmpCode());
    s.department = CleanReportText(e.DepartmentName());
    s.position = CleanReportText(e.Position());
    s.address1 = CleanReportText(e.Address1());
    s.address2 = CleanReportText(e.Address2());
    s.cityLine = CleanReportText(e.City() + ", " + e.State() + "  " + e.PostalCode());
    s.homePhone = CleanReportText(e.HomePhone());
    s.contact = CleanReportText(e.Contact());
    s.relationship = CleanReportText(e.Relationship());
    s.dayPhone = CleanReportText(e.ContactWorkPhone());
    s.nightPhone = CleanReportText(e.ContactHomePhone());
    s.comments = e.Comments();
    s.startDate = e.StartDate();
    s.endDate = e.EndDate();
    s.eligible = e.EligibleFlag();
    if (m_options.printBasic) {
        TEmpFieldListClass fields(m_dm, nullptr);
        for (int i = 0; i < fields.Count(); ++i) {
            TEmpOtherRecClass value(m_dm);
            value.SetEmpID(empID);
            value.SetFieldID(fields.Item(i).FieldID());
            value.Load();
            s.items.emplace_back(CleanReportText(fields.Item(i).FieldDesc()), CleanReportText(value.FieldValue()));
        }
    }
    if (m_options.printBalances) {
        MemoryGrid grid;
        FillBalanceGrid(m_dm, grid, e, 0);
        for (int r = 0; r < grid.rowCount(); ++r)
            s.balances.push_back({CleanReportText(grid.cell(r, 0)), grid.cell(r, 1), grid.cell(r, 2), grid.cell(r, 3)});
    }
    if (m_options.printWages) {
        TWageListClass wages(m_dm, empID);
        wages.Load();
        for (int i = wages.Count() - 1; i >= 0; --i) {
            const TEmpWageRecClass& w = wages.Item(i);
            s.wages.push_back({FormatCurrency(w.Wage(), 2), PayTypeWord(w.PayTypeCode()), ReportDate(w.StartDate()),
                               w.EndDate() > 0 ? ReportDate(w.EndDate()) : std::string(), w.OvertimeFlag()});
        }
    }
    return s;
}

void TEmployeeListReport::pageCheck(ReportCanvas& c, int lines, const std::string& name) const
{
    if (c.LinesLeft() >= lines)
        return;
    c.NewPage();
    c.Tab();
    c.Bold(true);
    c.PrintLn(name + " - Continued");
    c.Bold(false);
}

void TEmployeeListReport::personal(ReportCanvas& c, const Sheet& s) const
{
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5);
    c.SetTab(1.0, Justify::Left, 1.0);
    c.SetTab(2.0, Justify::Left, 2.5);
    c.SetTab(4.5, Justify::Left, 0.75);
    c.SetTab(5.25, Justify::Left, 2.5);
    const std::string& name = s.fullName;
    auto endValueLine = [&] {
        c.NewLine();
        pageCheck(c, 2, name);
        c.Print("\t\t");
    };
    pageCheck(c, 4, name);
    c.Tab();
    c.PrintLn();
    c.Print("\t\t");
    c.Bold(true);
    c.Underline(true);
    c.PrintLn("Personal Information");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    c.Print("\t\tEmployee ID:\t" + s.empCode);
    endValueLine();
    c.Print("Start Date:\t" + (s.startDate > 0 ? ReportDate(s.startDate) : std::string()));
    if (s.endDate > 0)
        c.Print("\t\tTerm Date:" + ReportDate(s.endDate));
    endValueLine();
    c.Print("Department:\t" + s.department + "\tPosition:\t" + s.position);
    endValueLine();
    c.PrintLn(std::string("Benefits:\t") +
              (s.eligible ? "Eligible to earn benefit hours" : "Not Eligible to earn benefit hours"));

    pageCheck(c, 5, name);
    c.PrintLn("\t\tAddress:\t" + s.address1);
    if (!s.address2.empty())
        c.PrintLn("\t\t\t" + s.address2);
    if (trimmed(s.cityLine) != ",")
        c.PrintLn("\t\t\t" + s.cityLine);
    pageCheck(c, 2, name);
    c.PrintLn("\t\tHome Phone:\t" + s.homePhone);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    pageCheck(c, 3, name);
    c.Print("\t\t");
    c.Bold(true);
    c.PrintLn("In case of Emergency:");
    c.Bold(false);
    c.PrintLn("\t\tContact:\t" + s.contact);
    c.PrintLn("\t\tRelationship:\t" + s.relationship);
    // The check comes before the label, so the label keeps its number.
    pageCheck(c, 2, name);
    c.PrintLn("\t\tDay Phone:\t" + s.dayPhone);
    c.PrintLn("\t\tNight Phone:\t" + s.nightPhone);
}

void TEmployeeListReport::additional(ReportCanvas& c, const Sheet& s) const
{
    if (s.items.empty())
        return;
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5);
    c.SetTab(1.0, Justify::Left, 1.0);
    c.SetTab(2.5, Justify::Left, 2.5);
    pageCheck(c, 4, s.fullName);
    c.Tab();
    c.PrintLn();
    c.Print("\t\t");
    c.Bold(true);
    c.PrintLn("Additional Employee Information:");
    c.Bold(false);
    for (const auto& [description, value] : s.items) {
        pageCheck(c, 2, s.fullName);
        c.PrintLn("\t\t" + description + ":\t" + value);
    }
}

void TEmployeeListReport::commentsSection(ReportCanvas& c, const Sheet& s) const
{
    auto setTabs = [&] {
        c.ClearTabs();
        c.SetTab(0.75, Justify::Left, 2.5);
        c.SetTab(1.0, Justify::Left, 6.0);
    };
    auto heading = [&](const char* text) {
        c.Print("\t\t");
        c.Bold(true);
        c.Underline(true);
        c.PrintLn(text);
        c.Bold(false);
        c.Underline(false);
        c.SetFont(kReportFace, 14);
        c.PrintLn();
        c.SetFont(kReportFace, 11);
    };
    setTabs();
    pageCheck(c, 4, s.fullName);
    c.Tab();
    c.PrintLn();
    heading("Comments");
    const double left = 1.0;
    if (trimmed(s.comments).empty()) {
        c.Italic(true);
        c.PrintWrapped("<No Comments>", left, c.AreaRight());
        c.Italic(false);
        return;
    }
    for (const std::string& line : wrapLines(c.Font(), s.comments, c.AreaRight() - left)) {
        c.PrintWrapped(line, left, c.AreaRight());
        if (c.LinesLeft() <= 3) {
            c.NewPage();
            c.Tab();
            c.Bold(true);
            c.PrintLn(s.fullName + " - Continued");
            c.Bold(false);
            heading("Comments - Continued");
        }
    }
    setTabs();
}

void TEmployeeListReport::balancesSection(ReportCanvas& c, const Sheet& s) const
{
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5);
    c.SetTab(1.0, Justify::Left, 2.0);
    for (double at : {3.0, 3.75, 4.5})
        c.SetTab(at, Justify::Right, 0.5);
    pageCheck(c, 4, s.fullName);
    c.Tab();
    c.PrintLn();
    c.Bold(true);
    c.Underline(true);
    c.PrintLn("\t\tAccrued Benefit\tAvailable\tTaken\tBalance");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    for (const std::vector<std::string>& row : s.balances) {
        pageCheck(c, 2, s.fullName);
        c.PrintLn("\t\t" + row[0] + "\t" + row[1] + "\t" + row[2] + "\t" + row[3]);
    }
}

void TEmployeeListReport::wagesSection(ReportCanvas& c, const Sheet& s) const
{
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5);
    c.SetTab(1.0, Justify::Right, 0.95);
    c.SetTab(2.25, Justify::Left, 0.5);
    c.SetTab(3.0, Justify::Centre, 0.75);
    c.SetTab(4.0, Justify::Centre, 0.75);
    c.SetTab(4.85, Justify::Left, 0.5);
    pageCheck(c, 4, s.fullName);
    c.Tab();
    c.PrintLn();
    c.Bold(true);
    c.Underline(true);
    c.Print("\t");
    c.SetTabJustify(TabOverride::Left);
    c.Print("\tWage Amount");
    c.SetTabJustify(TabOverride::None);
    c.PrintLn("\tper\tStart\tEnd\tNonexempt");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    for (const Sheet::Wage& w : s.wages) {
        pageCheck(c, 2, s.fullName);
        c.PrintLn("\t\t" + w.amount + "\t" + w.per + "\t" + w.start + "\t" + w.end + "\t" + (w.exempt ? "X" : ""));
    }
}

void TEmployeeListReport::employeeBlock(ReportCanvas& c, const Sheet& s, const std::string& listText) const
{
    c.Tab();
    c.Bold(true);
    c.PrintLn(s.found ? s.fullName : listText);
    c.Bold(false);
    // Another copy removed him after he was chosen: his list text only.
    if (!s.found)
        return;
    if (m_options.printBasic) {
        personal(c, s);
        additional(c, s);
    }
    if (m_options.printComments)
        commentsSection(c, s);
    if (m_options.printBalances)
        balancesSection(c, s);
    if (m_options.printWages)
        wagesSection(c, s);
}

void TEmployeeListReport::body(ReportCanvas& c)
{
    const std::size_t count = m_selection.size();
    bool previousPrinted = false;
    for (std::size_t i = 0; i < count; ++i) {
        const SelectionEntry& entry = m_selection[i];
        const std::string text = CleanReportText(entry.text);
        if (m_options.employeesMode) {
            const Sheet sheet = collect(entry.id);
            c.ClearTabs();
            c.SetTab(0.75, Justify::Left, 2.5);
            if (c.LinesLeft() < 5)
                c.NewPage();
            employeeBlock(c, sheet, text);
            if (i + 1 < count) {
                if (m_options.newPage) {
                    c.NewPage();
                } else {
                    c.SetFont(kReportFace, 14);
                    c.PrintLn();
                    c.SetFont(kReportFace, 11);
                }
            }
            continue;
        }
        MemoryPickList employees;
        TEmployeeRecClass(m_dm).FillEmployeesOfDepartment(employees, EmployeeStatus(m_options.employeeFilter),
                                                          entry.id);
        auto heading = [&](const std::string& t) {
            c.ClearTabs();
            c.SetTab(0.5, Justify::Left, 2.5);
            DepartmentHeading(c, t);
        };
        if (!m_options.newPage) {
            if (c.LinesLeft() < 6)
                c.NewPage();
            else if (previousPrinted) {
                c.PrintLn();
                c.PrintLn();
            }
            heading(text);
            if (employees.count() == 0) {
                c.PrintLn();
                c.PrintLn();
            }
        } else if (i > 0) {
            m_options.headerName = text;
            c.NewPage();
        }
        for (int k = 0; k < employees.count(); ++k) {
            const Sheet sheet = collect(employees.id(k));
            if (c.LinesLeft() < 5) {
                c.NewPage();
                if (!m_options.newPage)
                    heading(text + " - Continued");
            } else if (k > 0) {
                c.PrintLn();
            }
            c.ClearTabs();
            c.SetTab(0.75, Justify::Left, 2.5);
            employeeBlock(c, sheet, CleanReportText(employees.text(k)));
        }
        previousPrinted = employees.count() > 0;
    }
}

} // namespace hv
