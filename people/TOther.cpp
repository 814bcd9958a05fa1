#include "people/TOther.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>

namespace hv {
namespace {

const char* const kEmpOtherRecord = "Custom Employee Data";

void cancelQuietly(engine::Table* t)
{
    if (!t)
        return;
    try {
        t->cancel();
    } catch (...) {
    }
}

} // namespace

// --- TEmpOtherRecClass ---

TEmpOtherRecClass::TEmpOtherRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kEmpOtherRecord);
    setTableName("tblEmpOther");
    Clear();
}

void TEmpOtherRecClass::SetFieldValue(const std::string& value)
{
    if (value != m_fieldValue)
        setModified(true);
    m_fieldValue = value;
}

void TEmpOtherRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_fieldValue.clear();
}

bool TEmpOtherRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_empID)), engine::Value(std::int64_t(m_fieldID))});
}

bool TEmpOtherRecClass::Load()
{
    Clear();
    if (!findRow())
        return false;
    engine::Table& t = table();
    m_fieldValue = t.fieldByName("FieldValue").asString();
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
    return true;
}

bool TEmpOtherRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    engine::Table* t = nullptr;
    try {
        t = &table();
        if (findRow()) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t->edit();
        } else {
            t->append();
            t->fieldByName("EmpID").setAsInteger(m_empID);
            t->fieldByName("FieldID").setAsInteger(m_fieldID);
        }
        t->fieldByName("FieldValue").setAsString(m_fieldValue);
        t->fieldByName("LockedBy").setAsString(""); // a save releases the row
        t->post();
        noteStoredRow(*t);
    } catch (const engine::EngineError& e) {
        cancelQuietly(t);
        tell(std::string("The following error occurred updating the ") + kEmpOtherRecord + " record: " + "\r\r" +
                 std::to_string(e.code()) + " - " + e.message() + ".",
             MsgKind::Warning);
        return false;
    } catch (const std::exception& e) {
        cancelQuietly(t);
        tell(std::string("The following error occurred updating the ") + kEmpOtherRecord + " record:" + "\r\r" +
                 e.what(),
             MsgKind::Warning);
        return false;
    }
    setModified(false);
    return true;
}

bool TEmpOtherRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TEmpOtherRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

// --- TEmpOtherValueListClass ---

void TEmpOtherValueListClass::Add(std::unique_ptr<TEmpOtherRecClass> entry)
{
    if (entry)
        m_items.push_back(std::move(entry));
}

TEmpOtherRecClass* TEmpOtherValueListClass::Item(int index) const
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return nullptr;
    return m_items[std::size_t(index)].get();
}

bool TEmpOtherValueListClass::AnyModified() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const auto& e) { return e->IsModified(); });
}

std::vector<TEmpOtherRecClass::Snapshot> TEmpOtherValueListClass::snapshot() const
{
    std::vector<TEmpOtherRecClass::Snapshot> saved;
    for (const auto& item : m_items)
        saved.push_back(item->snapshot());
    return saved;
}

void TEmpOtherValueListClass::restore(const std::vector<TEmpOtherRecClass::Snapshot>& saved)
{
    for (std::size_t i = 0; i < m_items.size() && i < saved.size(); ++i)
        m_items[i]->restore(saved[i]);
}

} // namespace hv
