#include "reports/DeptList.h"

#include "people/TDept.h"
#include "people/TEmp.h"
#include "platform/Format.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "timeoff/TPolicy.h"
#include "timeoff/TReason.h"

namespace hv {

using namespace report;

TDeptListReport::TDeptListReport(THourvaneDataMod& dm, ReportOptions& options,
                                 const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

void TDeptListReport::setTabs(ReportCanvas& c, double fourth) const
{
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 2.5);
    c.SetTab(1.0, Justify::Left, 2.5);
    c.SetTab(3.3, Justify::Left, 0.9);
    c.SetTab(fourth, Justify::Left, 0.5);
    c.SetTab(5.0, Justify::Left, 2.0);
}

void TDeptListReport::header(ReportCanvas& c)
{
    c.SetAreaTop(1.0);
    c.FixBodyTop();
    c.SetAreaBottom(10.5);
    c.Home();
    c.SetFont(kReportFace, 11);
    setTabs(c, 4.25);
    c.Bold(true);
    c.Underline(true);
    c.PrintLn("\tDepartment\t\tCode\tActive\tManager");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    setTabs(c, 4.3);
}

void TDeptListReport::employeeLines(ReportCanvas& c, std::int32_t deptID) const
{
    if (!m_options.includeDeptEmployees)
        return;
    MemoryPickList employees;
    TEmployeeRecClass(m_dm).FillEmployeesOfDepartment(employees, EmployeeStatus(m_options.employeeFilter), deptID);
    for (int k = 0; k < employees.count(); ++k) {
        if (c.LinesLeft() < 2)
            c.NewPage();
        c.PrintLn("\t\t" + CleanReportText(employees.text(k)));
    }
}

void TDeptListReport::body(ReportCanvas& c)
{
    bool unassigned = false;
    std::vector<const SelectionEntry*> named;
    for (const SelectionEntry& e : m_selection) {
        if (e.id == 0)
            unassigned = true;
        else
            named.push_back(&e);
    }
    for (std::size_t i = 0; i < named.size(); ++i) {
        const SelectionEntry& entry = *named[i];
        TDeptRecClass dept(m_dm);
        dept.SetDeptID(entry.id);
        if (c.LinesLeft() < 2)
            c.NewPage();
        if (dept.LoadByID()) {
            c.PrintLn("\t" + CleanReportText(dept.DeptName()) + "\t\t" + CleanReportText(dept.DeptCode()) + "\t" +
                      (dept.ActiveFlag() ? "Yes" : "No") + "\t" + CleanReportText(dept.ManagerName()));
            employeeLines(c, entry.id);
        } else {
            // Another copy removed it after it was chosen: its list text, no rows.
            c.PrintLn("\t" + CleanReportText(entry.text));
        }
        if (i + 1 < named.size() || unassigned) {
            if (m_options.newPage)
                c.NewPage();
            else
                c.PrintLn();
        }
    }
    if (unassigned) {
        c.Tab();
        c.Italic(true);
        c.PrintLn("Unassigned Employees");
        c.Italic(false);
        employeeLines(c, 0);
    }
}

TReasonListReport::TReasonListReport(THourvaneDataMod& dm) : m_dm(dm) {}

void TReasonListReport::header(ReportCanvas& c)
{
    c.SetAreaTop(1.0);
    c.FixBodyTop();
    c.SetAreaBottom(10.5);
    c.Home();
    c.SetFont(kReportFace, 11);
    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 2.35);
    c.SetTab(2.9, Justify::Left, 0.45);
    c.SetTab(3.4, Justify::Left, 0.55);
    c.SetTab(4.0, Justify::Left, 0.35);
    c.SetTab(4.45, Justify::Left, 0.75);
    c.SetTab(5.2, Justify::Left, 0.55);
    c.SetTab(5.8, Justify::Left, 0.95);
    c.SetTab(6.8, Justify::Left, 0.95);
    c.Bold(true);
    c.Underline(true);
    c.PrintLn("\tReason\tCode\tActive\tPaid\tOvertime\tPolicy\tBenefit Year\tValidate Hours");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);
    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 2.45);
    for (double at : {3.0, 3.5, 4.0, 4.65, 5.3})
        c.SetTab(at, Justify::Left, 0.45);
    c.SetTab(5.8, Justify::Left, 0.95);
    c.SetTab(6.0, Justify::Left, 0.5);
    c.SetTab(6.8, Justify::Left, 0.95);
    c.SetTab(7.0, Justify::Left, 0.5);
}

std::pair<std::string, std::string> TReasonListReport::AtLeastText(int months)
{
    if (months == 0)
        return {"0", "months"};
    if (months % 12 != 0)
        return {FormatText("%d", months), "months"};
    return {FormatText("%d", months / 12), "years"};
}

std::pair<std::string, std::string> TReasonListReport::UpToText(int months)
{
    if (months % 12 == 0)
        return {FormatText("%d", months / 12), "years"};
    return {FormatText("%d", months), "months"};
}

void TReasonListReport::body(ReportCanvas& c)
{
    TReasonListClass reasons(m_dm);
    reasons.Load();
    auto yesNo = [](bool b) { return std::string(b ? "Yes" : "No"); };
    bool anyPolicy = false;
    for (int i = 0; i < reasons.Count(); ++i) {
        const TReasonRecClass& r = reasons.Items(i);
        if (c.LinesLeft() < 2)
            c.NewPage();
        std::string line = "\t" + CleanReportText(r.Reason()) + "\t" + CleanReportText(r.ReasonCode()) + "\t" +
                           yesNo(r.ActiveFlag()) + "\t" + yesNo(r.PaidFlag()) + "\t" + yesNo(r.OvertimeFlag()) + "\t";
        if (r.PolicyFlag()) {
            anyPolicy = true;
            const std::string year = r.AccrualBasis() == "A"   ? "Anniversary"
                                     : r.AccrualBasis() == "U" ? "User"
                                                               : "Calendar";
            line += "Yes\t" + year + "\t\t" + (r.ValidateBasis() == "Y" ? "As Of Year End" : "As Of Month End");
        } else {
            line += "No\t\tn/a\t\tn/a";
        }
        c.PrintLn(line);
    }
    if (!anyPolicy)
        return;

    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 2.45);
    c.SetTab(3.0, Justify::Left, 0.1);
    for (double at : {4.0, 5.0, 6.5})
        c.SetTab(at, Justify::Left, 0.95);
    c.PrintLn();
    c.PrintLn();
    c.PrintLn();
    c.SetFont(kReportFace, 14);
    c.Bold(true);
    c.PrintLn("Benefit Accrual Policies");
    c.SetFont(kReportFace, 11);
    c.Bold(true);
    c.PrintLn("\t\tAn employee has worked for your company for...");
    c.Underline(true);
    c.PrintLn("\tBenefit\tAt Least\tUp To\tWill Earn\tCarry Over");
    c.Bold(false);
    c.Underline(false);
    c.SetFont(kReportFace, 14);
    c.PrintLn();
    c.SetFont(kReportFace, 11);

    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 2.45);
    const double pairs[4][2] = {{3.0, 0.8}, {4.0, 0.8}, {5.0, 0.85}, {6.7, 0.85}};
    for (const auto& p : pairs) {
        c.SetTab(p[0], Justify::Right, 0.1);
        c.SetTab(p[0] + 0.15, Justify::Left, p[1]);
    }
    for (int i = 0; i < reasons.Count(); ++i) {
        const TReasonRecClass& r = reasons.Items(i);
        if (!r.PolicyFlag())
            continue;
        TPolicyListClass rules(m_dm);
        rules.SetReasonID(r.ReasonID());
        rules.SetEmpTypeID(1);
        rules.Load();
        if (c.LinesLeft() < 2)
            c.NewPage();
        c.Print("\t" + CleanReportText(r.Reason()));
        for (int k = 0; k < rules.Count(); ++k) {
            const TPolicyRecClass& rule = rules.Items(k);
            const auto from = AtLeastText(rule.StartMonths());
            const auto to = UpToText(rule.EndMonths());
            const bool yearly = rule.EndMonths() - rule.StartMonths() > 11;
            const std::string earned =
                yearly ? FormatFloat("#0.0", rule.EarnedHours()) : FormatText("%4.0f", double(rule.EarnedHours()));
            c.PrintLn("\t" + from.first + "\t" + from.second + "\t" + to.first + "\t" + to.second + "\t" + earned +
                      "\t" + (yearly ? "hours per year" : "hours for the period") + "\t" +
                      FormatFloat("#0.0", rule.CarryOverHours()) + "\thours");
            c.Tab();
        }
        c.NewLine();
    }
}

TrptReasonList::TrptReasonList(THourvaneDataMod& dm, ReportWindowService& windows, ReportPrinter& printer) :
    m_host(std::make_unique<TfrmHVReport>(dm, windows, printer))
{
    m_host->ReportName = "ReasonList";
}

TrptReasonList::~TrptReasonList() = default;

bool TrptReasonList::Run() { return m_host->RunWithSetup(); }

const PageSet& TrptReasonList::Pages() const { return m_host->Pages(); }

} // namespace hv
