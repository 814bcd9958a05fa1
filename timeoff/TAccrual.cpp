#include "timeoff/TAccrual.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "platform/Format.h"
#include "storage/AppState.h"
#include "storage/CursorService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/MessageService.h"

namespace hv {
namespace {

constexpr const char* kRecordName = "Benefit Accrual";

void tell(const std::string& text)
{
    RestoreCursor();
    ShowMessageBox(text, MsgKind::Warning, MsgButtons::Ok);
}

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
    : TSQLRecClass(dm), m_empID(empID), m_reasonID(reasonID)
{
    setRecordName(kRecordName);
    setTableName("tblAccruals");
    Clear();
}

template <class T> void TEmpAccrualRecClass::assign(T& member, const T& value)
{
    if (member == value)
        return;
    member = value;
    setModified(true);
}

void TEmpAccrualRecClass::SetReasonID(std::int32_t value) { assign(m_reasonID, value); }
void TEmpAccrualRecClass::SetAccrualDate(double value) { assign(m_accrualDate, value); }
void TEmpAccrualRecClass::SetAccruedHours(float value) { assign(m_accruedHours, value); }
void TEmpAccrualRecClass::SetDeletePending(bool value) { assign(m_deletePending, value); }

void TEmpAccrualRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_storedReasonID = 0;
    m_accrualDate = 0;
    m_accruedHours = 0;
    m_deletePending = false;
    m_description.clear();
}

bool TEmpAccrualRecClass::findStoredRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_empID)), engine::Value(std::int64_t(m_storedReasonID))});
}

bool TEmpAccrualRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_empID)), engine::Value(std::int64_t(m_reasonID))}))
        return false;
    m_storedReasonID = m_reasonID;
    const double date = t.fieldByName("AccrualDate").isNull() ? 0.0 : t.fieldByName("AccrualDate").asDateTime();
    const float hours = float(t.fieldByName("AccruedHours").asFloat());
    const std::string holder = t.fieldByName("LockedBy").asString();
    m_description = reasonDescription(dataModule(), m_reasonID);
    m_accrualDate = date;
    m_accruedHours = hours;
    setLockHolder(holder);
    return true;
}

bool TEmpAccrualRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    engine::Table* t = nullptr;
    try {
        t = &table();
        if (m_storedReasonID != 0 && findStoredRow()) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t->edit();
        } else if (m_storedReasonID != 0) {
            RestoreCursor();
            if (ShowMessageBox(recreateQuestion(), MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
                return false;
            t->append();
            t->fieldByName("EmpID").setAsInteger(m_empID);
        } else {
            t->append();
            t->fieldByName("EmpID").setAsInteger(m_empID);
        }
        t->fieldByName("ReasonID").setAsInteger(m_reasonID);
        t->fieldByName("AccrualDate").setAsDateTime(m_accrualDate);
        t->fieldByName("AccruedHours").setAsFloat(m_accruedHours);
        t->fieldByName("LockedBy").setAsString("");
        t->post();
    } catch (const std::exception& e) {
        if (t)
            t->cancel();
        const auto* coded = dynamic_cast<const engine::EngineError*>(&e);
        tell("The following error occurred saving the record: " + (coded ? coded->message() : std::string(e.what())) +
             "\r\r" + "The record was NOT saved.");
        return false;
    }
    // The row now lives under the new reason: the next save must find it there.
    m_storedReasonID = m_reasonID;
    setLockHolder("");
    setModified(false);
    return true;
}

bool TEmpAccrualRecClass::Delete(const std::string& lockIdentity)
{
    try {
        if (!findStoredRow())
            return false;
        if (!TSQLRecClass::Delete(lockIdentity))
            return false;
    } catch (const engine::EngineError& e) {
        tell(std::string("The following error occurred deleting the ") + kRecordName + " record: " + "\r\r" +
             std::to_string(e.code()) + " - " + e.message() + ".");
        return false;
    } catch (const engine::EngineTextError& e) {
        tell(std::string("The following error occurred deleting the ") + kRecordName + " record:" + "\r\r" + e.what());
        return false;
    }
    Clear();
    m_empID = 0;
    return true;
}

bool TEmpAccrualRecClass::Lock(const std::string& lockIdentity)
{
    if (m_storedReasonID != 0 && findStoredRow())
        return TSQLRecClass::Lock(lockIdentity);
    setLockHolder(lockIdentity);
    return true;
}

bool TEmpAccrualRecClass::Unlock(const std::string& lockIdentity)
{
    if (m_storedReasonID != 0 && findStoredRow())
        return TSQLRecClass::Unlock(lockIdentity);
    setLockHolder("");
    return true;
}

TAccrualListClass::TAccrualListClass(THourvaneDataMod& dm, std::int32_t empID) : m_dm(dm), m_empID(empID) {}

void TAccrualListClass::Load()
{
    m_items.clear();
    engine::Table& t = m_dm.tblAccruals;
    t.setIndexName("");
    t.setFilter("EmpID = " + std::to_string(m_empID));
    t.setFiltered(true);
    std::vector<std::int32_t> reasons;
    try {
        for (t.first(); !t.eof(); t.next())
            reasons.push_back(std::int32_t(t.fieldByName("ReasonID").asInteger()));
    } catch (...) {
        t.setFiltered(false);
        t.setFilter("");
        throw;
    }
    t.setFiltered(false);
    t.setFilter("");
    // Each entry positions the table itself, so the rows are collected first.
    for (std::int32_t reasonID : reasons) {
        auto entry = std::make_unique<TEmpAccrualRecClass>(m_dm, m_empID, reasonID);
        entry->Load();
        m_items.push_back(std::move(entry));
    }
}

void TAccrualListClass::Add(std::unique_ptr<TEmpAccrualRecClass> entry)
{
    if (entry)
        m_items.push_back(std::move(entry));
}

bool TAccrualListClass::AnyModified() const
{
    for (const auto& item : m_items)
        if (item->modified())
            return true;
    return false;
}

void TAccrualListClass::SetAllModified(bool value)
{
    for (auto& item : m_items)
        item->setModified(value);
}

int TAccrualListClass::SaveAll(const std::string& lockIdentity)
{
    TransactionGuard tx(m_dm.HourvaneDB);
    // A rolled-back save must leave the entries as unsaved as the rows are.
    std::vector<bool> wasModified;
    for (const auto& item : m_items)
        wasModified.push_back(item->modified());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        TEmpAccrualRecClass& entry = *m_items[i];
        if (entry.EmpID() == 0)
            entry.SetEmpID(m_empID);
        bool ok = true;
        if (entry.DeletePending()) {
            // An entry that never reached the table has nothing to delete.
            if (entry.StoredReasonID() != 0)
                ok = entry.Delete(lockIdentity);
        } else {
            ok = entry.Save(lockIdentity);
        }
        if (!ok) {
            tx.rollback();
            for (std::size_t k = 0; k < i; ++k)
                m_items[k]->setModified(wasModified[k]);
            return int(i);
        }
    }
    tx.commit();
    return -1;
}

template <class Op> bool TAccrualListClass::applyAll(Op&& op)
{
    TransactionGuard tx(m_dm.HourvaneDB);
    for (auto& item : m_items) {
        if (!op(*item)) {
            tx.rollback();
            return false;
        }
    }
    tx.commit();
    return true;
}

bool TAccrualListClass::LockAll(const std::string& lockIdentity)
{
    return applyAll([&](TEmpAccrualRecClass& e) { return e.Lock(lockIdentity); });
}

bool TAccrualListClass::UnlockAll(const std::string& lockIdentity)
{
    return applyAll([&](TEmpAccrualRecClass& e) { return e.Unlock(lockIdentity); });
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
        grid.setCell(row, 2, FormatDateTime(appState().displayDateFormat, entry.AccrualDate()));
        grid.setCell(row, 3, std::to_string(i));
        ++row;
    }
}

} // namespace hv
