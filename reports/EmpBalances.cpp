#include "reports/EmpBalances.h"

#include "engine/Database.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "ports/GridView.h"
#include "ports/PickList.h"
#include "reports/ReportLayout.h"
#include "reports/ReportText.h"
#include "storage/DataModule.h"
#include "timeoff/Balances.h"

namespace hv {

using namespace report;

TEmpBalancesReport::TEmpBalancesReport(THourvaneDataMod& dm, ReportOptions& options,
                                       const std::vector<SelectionEntry>& selection) :
    m_dm(dm), m_options(options), m_selection(selection)
{
}

void TEmpBalancesReport::header(ReportCanvas& c)
{
    ListPageTop(c, "As of " + ReportDate(clock().today()), m_options);
    c.SetTab(0.75, Justify::Left, 0.5, kTabMargin);
    c.SetTab(1.0, Justify::Left, 2.25, kTabMargin);
    for (double at : {3.5, 4.25, 5.0})
        c.SetTab(at, Justify::Right, 0.5, kTabMargin);
    c.Bold(true);
    c.Underline(true);
    c.PrintLn("\t\tBenefit\tUsable\tTaken\tBalance");
    c.Bold(false);
    c.Underline(false);
}

TEmpBalancesReport::EmployeeRows TEmpBalancesReport::collect(std::int32_t empID) const
{
    EmployeeRows data;
    engine::ReadTransaction reading(m_dm.HourvaneDB);
    TEmployeeRecClass employee(m_dm);
    employee.SetEmpID(empID);
    data.found = employee.LoadByID();
    if (!data.found)
        return data;
    data.fullName = CleanReportText(employee.FullName());
    MemoryGrid grid;
    FillBalanceGrid(m_dm, grid, employee, 0);
    for (int r = 0; r < grid.rowCount(); ++r)
        data.rows.push_back({CleanReportText(grid.cell(r, 0)), grid.cell(r, 1), grid.cell(r, 2), grid.cell(r, 3),
                             grid.cellAlert(r, 3)});
    return data;
}

void TEmpBalancesReport::balanceBlock(ReportCanvas& c, const EmployeeRows& data, const std::string& name,
                                      const std::string& dept) const
{
    for (const Row& row : data.rows) {
        if (c.LinesLeft() < 2) {
            c.NewPage();
            if (!dept.empty() && !m_options.newPage)
                DepartmentHeading(c, dept + " - Continued");
            BoldNameLine(c, name + " - Continued");
        }
        c.Print("\t\t" + row.benefit + "\t" + row.usable + "\t" + row.taken + "\t");
        c.Bold(row.marked);
        c.PrintLn(row.balance);
        c.Bold(false);
    }
}

void TEmpBalancesReport::body(ReportCanvas& c)
{
    const std::size_t count = m_selection.size();
    bool previousPrinted = false;
    for (std::size_t i = 0; i < count; ++i) {
        const SelectionEntry& entry = m_selection[i];
        const std::string text = CleanReportText(entry.text);
        if (m_options.employeesMode) {
            const EmployeeRows data = collect(entry.id);
            // Another copy removed him: his list text, no rows.
            const std::string name = data.found ? data.fullName : text;
            if (!m_options.newPage) {
                if (c.LinesLeft() < 3)
                    c.NewPage();
                BoldNameLine(c, name);
            }
            balanceBlock(c, data, name, {});
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
        // Employed at some time in the seven days ending today.
        const double today = clock().today();
        MemoryPickList employees;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(employees, entry.id, today, today - 6);
        if (!m_options.newPage) {
            if (c.LinesLeft() < 6)
                c.NewPage();
            else if (previousPrinted) {
                c.PrintLn();
                c.PrintLn();
            }
            DepartmentHeading(c, text);
            if (employees.count() == 0) {
                c.PrintLn();
                c.PrintLn();
            }
        } else if (i > 0) {
            m_options.headerName = text;
            c.NewPage();
        }
        for (int k = 0; k < employees.count(); ++k) {
            const std::string name = CleanReportText(employees.text(k));
            const EmployeeRows data = collect(employees.id(k));
            if (c.LinesLeft() < 4) {
                c.NewPage();
                if (!m_options.newPage)
                    DepartmentHeading(c, text + " - Continued");
            } else if (k > 0) {
                c.PrintLn();
            }
            BoldNameLine(c, name);
            balanceBlock(c, data, name, text);
        }
        previousPrinted = employees.count() > 0;
    }
}

} // namespace hv
