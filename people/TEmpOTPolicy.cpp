#include "people/TEmpOTPolicy.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "people/TOTPolicy.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>
#include <numeric>

namespace hv {
namespace {

const char* const kEmpOTPolicyRecord = "Employee Overtime Policy";

} // namespace

// --- TEmpOTPolicyRecClass ---

TEmpOTPolicyRecClass::TEmpOTPolicyRecClass(THourvaneDataMod& dm) : TDatedHistoryRecClass(dm)
{
    setRecordName(kEmpOTPolicyRecord);
    setTableName("tblEmpOT");
    Clear();
}

void TEmpOTPolicyRecClass::readColumns(engine::Table& t)
{
    m_values.policyID = std::int32_t(t.fieldByName("PolicyID").asInteger());
}

void TEmpOTPolicyRecClass::writeColumns(engine::Table& t) { t.fieldByName("PolicyID").setAsInteger(m_values.policyID); }

// --- TEmpOTPolicyListClass ---

TEmpOTPolicyListClass::TEmpOTPolicyListClass(THourvaneDataMod& dm, std::int32_t empID)
    : THistoryListClass(dm, empID, kEmpOTPolicyRecord)
{
}

void TEmpOTPolicyListClass::PolicyInForce(TOTPolicyRecClass& policy, double date) const
{
    // Latest start first; entries added after Load need not be in order.
    std::vector<std::size_t> order(m_items.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        double sa = m_items[a]->StartDate(), sb = m_items[b]->StartDate();
        return sa > sb || (sa == sb && a > b);
    });
    for (std::size_t i : order) {
        const TEmpOTPolicyRecClass& e = *m_items[i];
        if (e.StartDate() > date)
            continue;
        // The pay calculation asks once per day with one policy object: a
        // policy that already holds this row is not read again.
        if (e.PolicyID() != 0 && policy.PolicyID() == e.PolicyID())
            return;
        policy.SetPolicyID(e.PolicyID());
        try {
            if (policy.LoadByID())
                return;
        } catch (const engine::EngineError&) {
        } catch (const engine::EngineTextError&) {
        }
    }
    policy.LoadDefault();
}

void TEmpOTPolicyListClass::FillAssignmentGrid(GridView& grid) const
{
    if (grid.columnCount() < 4)
        grid.setColumnCount(4);
    grid.setRowCount(1);
    grid.clearCells();
    const std::string format = m_dm.state().dateFormatShown();
    TOTPolicyRecClass policy(m_dm);
    int row = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const TEmpOTPolicyRecClass& e = *m_items[i];
        if (e.DeletePending())
            continue;
        if (row >= grid.rowCount())
            grid.setRowCount(row + 1);
        policy.SetPolicyID(e.PolicyID());
        grid.setCell(row, 0, policy.LoadByID() ? policy.Policy() : std::string());
        grid.setCell(row, 1, FormatDateTime(format, e.StartDate()));
        grid.setCell(row, 2, e.EndDate() > 0 ? FormatDateTime(format, e.EndDate()) : std::string());
        grid.setCell(row, 3, std::to_string(i));
        ++row;
    }
}

} // namespace hv
