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

TEmpOTPolicyRecClass::TEmpOTPolicyRecClass(THourvaneDataMod& dm) : THistoryRecClass(dm)
{
    setRecordName(kEmpOTPolicyRecord);
    setTableName("tblEmpOT");
    Clear();
}

void TEmpOTPolicyRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_values.storedStartDate = 0;
    m_values.endDate = 0;
    m_values.policyID = 0;
    m_values.deletePending = false;
}

bool TEmpOTPolicyRecClass::findStoredRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_values.empID)), engine::Value(m_values.storedStartDate)});
}

bool TEmpOTPolicyRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_values.empID)), engine::Value(m_values.startDate)}))
        return false;
    readCurrentRow();
    return true;
}

void TEmpOTPolicyRecClass::LoadCurrentRow()
{
    Clear();
    engine::Table& t = table();
    m_values.empID = std::int32_t(t.fieldByName("EmpID").asInteger());
    m_values.startDate = t.fieldByName("StartDate").asDateTime();
    readCurrentRow();
}

void TEmpOTPolicyRecClass::readCurrentRow()
{
    engine::Table& t = table();
    m_values.storedStartDate = m_values.startDate;
    engine::Field end = t.fieldByName("EndDate");
    m_values.endDate = end.isNull() ? 0 : end.asDateTime();
    m_values.policyID = std::int32_t(t.fieldByName("PolicyID").asInteger());
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
}

bool TEmpOTPolicyRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    const bool saved = SaveKeyedRow(
        lockIdentity, m_values.storedStartDate != 0, [this] { return findStoredRow(); },
        recreateQuestion(),
        [this](engine::Table& t, bool appended) {
            if (appended)
                t.fieldByName("EmpID").setAsInteger(m_values.empID);
            t.fieldByName("StartDate").setAsDateTime(m_values.startDate);
            if (m_values.endDate > 0)
                t.fieldByName("EndDate").setAsDateTime(m_values.endDate);
            else
                t.fieldByName("EndDate").clear();
            t.fieldByName("PolicyID").setAsInteger(m_values.policyID);
        },
        {}, {});
    if (saved) {
        // The row now lives under the new start date: a later save must find
        // it there instead of appending it a second time.
        m_values.storedStartDate = m_values.startDate;
    }
    return saved;
}

bool TEmpOTPolicyRecClass::Delete(const std::string& lockIdentity)
{
    if (!deleteStoredRow(lockIdentity, true))
        return false;
    Clear();
    m_values.empID = 0;
    m_values.startDate = 0;
    return true;
}

// --- TEmpOTPolicyListClass ---

TEmpOTPolicyListClass::TEmpOTPolicyListClass(THourvaneDataMod& dm, std::int32_t empID)
    : THistoryListClass(dm, empID, kEmpOTPolicyRecord)
{
}

void TEmpOTPolicyListClass::Load()
{
    m_items.clear();
    // One walk reads every entry: the week computation loads them for each
    // employee it meets.
    engine::Table& t = m_dm.tblEmpOT;
    t.setIndexName("");
    engine::FilterScope filter(t, "EmpID = " + std::to_string(m_empID));
    for (t.first(); !t.eof(); t.next()) {
        auto entry = std::make_unique<TEmpOTPolicyRecClass>(m_dm);
        entry->LoadCurrentRow();
        m_items.push_back(std::move(entry));
    }
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
