#include "timeoff/TAccrual.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "platform/Format.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"

namespace hv {
namespace {

constexpr const char* kAccrualRecord = "Benefit Accrual";

// The reason's description, empty when the reason is gone.
std::string reasonDescription(THourvaneDataMod& dm, std::int32_t reasonID)
{
    engine::Table& reasons = dm.tblReasons;
    reasons.setIndexName("");
    if (!reasons.findKey({engine::Value(std::int64_t(reasonID))}))
        return {};
    return reasons.fieldByName("Reason").asString();
}

} // namespace

TEmpAccrualRecClass::TEmpAccrualRecClass(THourvaneDataMod& dm, std::int32_t empID, std::int32_t reasonID)
    : THistoryRecClass(dm)
{
    m_values.empID = empID;
    m_values.reasonID = reasonID;
    setRecordName(kAccrualRecord);
    setTableName("tblAccruals");
    Clear();
}

void TEmpAccrualRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_values.storedReasonID = 0;
    m_values.accrualDate = 0;
    m_values.accruedHours = 0;
    m_values.deletePending = false;
    m_values.description.clear();
}

bool TEmpAccrualRecClass::findStoredRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey(
        {engine::Value(std::int64_t(m_values.empID)), engine::Value(std::int64_t(m_values.storedReasonID))});
}

bool TEmpAccrualRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_values.empID)), engine::Value(std::int64_t(m_values.reasonID))}))
        return false;
    m_values.storedReasonID = m_values.reasonID;
    m_values.accrualDate = t.fieldByName("AccrualDate").isNull() ? 0.0 : t.fieldByName("AccrualDate").asDateTime();
    m_values.accruedHours = float(t.fieldByName("AccruedHours").asFloat());
    const std::string holder = t.fieldByName("LockedBy").asString();
    noteStoredRow(t);
    m_values.description = reasonDescription(dataModule(), m_values.reasonID);
    setLockHolder(holder);
    return true;
}

bool TEmpAccrualRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    const bool saved = SaveKeyedRow(
        lockIdentity, IsStored(), [this] { return findStoredRow(); }, recreateQuestion(),
        [this](engine::Table& t, bool appended) {
            if (appended)
                t.fieldByName("EmpID").setAsInteger(m_values.empID);
            t.fieldByName("ReasonID").setAsInteger(m_values.reasonID);
            t.fieldByName("AccrualDate").setAsDateTime(m_values.accrualDate);
            t.fieldByName("AccruedHours").setAsFloat(m_values.accruedHours);
        },
        {}, {});
    if (saved) {
        // The row now lives under the new reason: the next save must find it there.
        m_values.storedReasonID = m_values.reasonID;
        setLockHolder("");
    }
    return saved;
}

bool TEmpAccrualRecClass::Delete(const std::string& lockIdentity)
{
    if (!deleteStoredRow(lockIdentity, false))
        return false;
    Clear();
    m_values.empID = 0;
    return true;
}

TAccrualListClass::TAccrualListClass(THourvaneDataMod& dm, std::int32_t empID)
    : THistoryListClass(dm, empID, kAccrualRecord)
{
}

void TAccrualListClass::Load()
{
    m_items.clear();
    std::vector<std::int32_t> reasons;
    {
        engine::Table& t = m_dm.tblAccruals;
        t.setIndexName("");
        engine::FilterScope filter(t, "EmpID = " + std::to_string(m_empID));
        for (t.first(); !t.eof(); t.next())
            reasons.push_back(std::int32_t(t.fieldByName("ReasonID").asInteger()));
    }
    // Each entry positions the table itself, so the rows are collected first.
    for (std::int32_t reasonID : reasons) {
        auto entry = std::make_unique<TEmpAccrualRecClass>(m_dm, m_empID, reasonID);
        entry->Load();
        m_items.push_back(std::move(entry));
    }
}

void TAccrualListClass::SetAllModified(bool value)
{
    for (auto& item : m_items)
        item->setModified(value);
}

void FillAccrualGrid(GridView& grid, const TAccrualListClass& list)
{
    grid.setRowCount(1);
    grid.clearCells();
    if (grid.columnCount() < 4)
        grid.setColumnCount(4);
    int row = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const TEmpAccrualRecClass& entry = list.Items(i);
        if (entry.DeletePending())
            continue;
        if (row >= grid.rowCount())
            grid.setRowCount(row + 1);
        grid.setCell(row, 0, entry.Description());
        grid.setCell(row, 1, FormatFloat(globalSettings().hourFormat, entry.AccruedHours()));
        grid.setCell(row, 2, FormatDateTime(list.dataModule().state().displayDateFormat, entry.AccrualDate()));
        grid.setCell(row, 3, std::to_string(i));
        ++row;
    }
}

} // namespace hv
