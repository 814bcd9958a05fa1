#include "people/TFields.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>

namespace hv {
namespace {

const char* const kEmpFieldRecord = "Custom Employee Data Item";

} // namespace

// --- TEmpFieldRecClass ---

TEmpFieldRecClass::TEmpFieldRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kEmpFieldRecord);
    setTableName("tblFields");
    Clear();
}

void TEmpFieldRecClass::SetModified(bool value)
{
    if (value && !modified())
        Lock(dataModule().state().lockIdentity);
    setModified(value);
}

void TEmpFieldRecClass::SetFieldDesc(const std::string& value)
{
    if (value != m_fieldDesc)
        SetModified(true);
    m_fieldDesc = value;
}

void TEmpFieldRecClass::SetActiveFlag(bool value)
{
    if (value != m_activeFlag)
        SetModified(true);
    m_activeFlag = value;
}

void TEmpFieldRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_fieldDesc.clear();
    m_activeFlag = true;
}

bool TEmpFieldRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_fieldID))});
}

bool TEmpFieldRecClass::LoadByID()
{
    Clear();
    if (!findRow())
        return false;
    engine::Table& t = table();
    m_fieldDesc = t.fieldByName("FieldDesc").asString();
    m_activeFlag = t.fieldByName("ActiveFlag").asBoolean();
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
    return true;
}

bool TEmpFieldRecClass::Save(const std::string& lockIdentity)
{
    return SaveKeyedRow(
        lockIdentity, m_fieldID != 0, [this] { return findRow(); },
        std::string("The ") + kEmpFieldRecord + " record no longer exists in" +
            " the database. Do you want to re-create the record?",
        [this](engine::Table& t, bool) {
            t.fieldByName("FieldDesc").setAsString(m_fieldDesc);
            t.fieldByName("ActiveFlag").setAsBoolean(m_activeFlag);
        },
        "FieldName", "This Item Description has already been used.  Please try another one.");
}

bool TEmpFieldRecClass::Delete(const std::string& lockIdentity)
{
    // Values of an item that no longer exists would never be shown again.
    const bool deleted = DeleteKeyedRow(lockIdentity, [this] { return findRow(); }, {}, [this] {
        execBlank(dataModule(), "delete from EmpField where (FieldID = " + std::to_string(m_fieldID) + ")");
    });
    if (!deleted)
        return false;
    Clear();
    m_fieldID = 0;
    return true;
}

bool TEmpFieldRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TEmpFieldRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

// --- TEmpFieldListClass ---

TEmpFieldListClass::TEmpFieldListClass(THourvaneDataMod& dm, TextWidthFunction textWidth)
{
    std::vector<std::int32_t> ids;
    {
        engine::Table& t = dm.tblFields;
        t.setIndexName("");
        for (t.first(); !t.eof(); t.next()) {
            if (t.fieldByName("ActiveFlag").asBoolean())
                ids.push_back(std::int32_t(t.fieldByName("FieldID").asInteger()));
        }
    }
    for (std::int32_t id : ids) {
        auto item = std::make_unique<TEmpFieldRecClass>(dm);
        item->SetFieldID(id);
        if (!item->LoadByID())
            continue;
        if (textWidth)
            m_widestLabel = std::max(m_widestLabel, textWidth(item->FieldDesc()));
        m_items.push_back(std::move(item));
    }
}

} // namespace hv
