#include "people/TDept.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "people/TEmp.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

namespace hv {
namespace {

const char* const kDeptRecord = "Department";

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + "'";
}

} // namespace

TDeptRecClass::TDeptRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kDeptRecord);
    setTableName("tblDepts");
    Clear();
}

void TDeptRecClass::SetModified(bool value)
{
    if (value && !modified())
        Lock(dataModule().state().lockIdentity);
    setModified(value);
}

void TDeptRecClass::SetDeptName(const std::string& value)
{
    if (value != m_deptName)
        SetModified(true);
    m_deptName = value;
}

void TDeptRecClass::SetDeptCode(const std::string& value)
{
    if (value != m_deptCode)
        SetModified(true);
    m_deptCode = value;
}

void TDeptRecClass::SetActiveFlag(bool value)
{
    if (value != m_activeFlag)
        SetModified(true);
    m_activeFlag = value;
}

void TDeptRecClass::SetManagerID(std::int32_t value)
{
    if (value != m_managerID)
        SetModified(true);
    m_managerID = value;
}

void TDeptRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_deptName.clear();
    m_deptCode.clear();
    m_activeFlag = true;
    m_managerID = 0;
}

bool TDeptRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_deptID))});
}

void TDeptRecClass::readRow(bool withName)
{
    engine::Table& t = table();
    m_deptID = std::int32_t(t.fieldByName("DeptID").asInteger());
    if (withName)
        m_deptName = t.fieldByName("DeptName").asString();
    m_deptCode = t.fieldByName("DeptCode").asString();
    m_activeFlag = t.fieldByName("ActiveFlag").asBoolean();
    m_managerID = std::int32_t(t.fieldByName("ManagerID").asInteger());
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
}

bool TDeptRecClass::LoadByID()
{
    Clear();
    if (!findRow())
        return false;
    readRow(true);
    return true;
}

bool TDeptRecClass::LoadByName()
{
    const std::string name = m_deptName;
    Clear();
    m_deptName = name;
    engine::Table& t = table();
    t.setIndexName("DeptName");
    if (!t.findKey({engine::Value(name)}))
        return false;
    readRow(false);
    return true;
}

bool TDeptRecClass::LoadByCode()
{
    const std::string code = m_deptCode;
    Clear();
    m_deptCode = code;
    engine::Table& t = table();
    engine::FilterScope filter(t, "DeptCode = " + quoted(code));
    t.first();
    if (t.eof() || !t.hasRow())
        return false;
    readRow(true);
    return true;
}

bool TDeptRecClass::Save(const std::string& lockIdentity)
{
    return SaveKeyedRow(
        lockIdentity, m_deptID != 0, [this] { return findRow(); },
        std::string("This ") + kDeptRecord + " record no longer exists in" +
            " the database.  Do you want to re-create the record?",
        [this](engine::Table& t, bool) {
            t.fieldByName("DeptCode").setAsString(m_deptCode);
            t.fieldByName("DeptName").setAsString(m_deptName);
            t.fieldByName("ActiveFlag").setAsBoolean(m_activeFlag);
            t.fieldByName("ManagerID").setAsInteger(m_managerID);
        },
        "DeptName", "This Department Name has already been used.  Please try another one.");
}

bool TDeptRecClass::Delete(const std::string& lockIdentity)
{
    // The department's employees are left without one.
    const bool deleted = DeleteKeyedRow(
        lockIdentity, [this] { return findRow(); },
        std::string("The ") + kDeptRecord + " record has been deleted by another" + " user.",
        [this] {
            execBlank(dataModule(), "update Employee set DeptID = 0 where DeptID = " + std::to_string(m_deptID));
        });
    if (!deleted)
        return false;
    Clear();
    m_deptID = 0;
    return true;
}

bool TDeptRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TDeptRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

std::string TDeptRecClass::ManagerName()
{
    const std::string none = "<No Manager>";
    if (m_managerID == 0)
        return none;
    try {
        TEmployeeRecClass manager(dataModule());
        manager.SetEmpID(m_managerID);
        if (!manager.LoadByID())
            return none;
        return manager.FullName();
    } catch (const engine::EngineError&) {
        return none;
    } catch (const engine::EngineTextError&) {
        return none;
    }
}

void TDeptRecClass::FillDepartmentList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID)
{
    list.clear();
    if (withNew)
        list.add("<New Department>", 0);
    engine::Table& t = table();
    t.setIndexName("DeptName");
    for (t.first(); !t.eof(); t.next()) {
        auto id = std::int32_t(t.fieldByName("DeptID").asInteger());
        if (!activeOnly || t.fieldByName("ActiveFlag").asBoolean() || id == keptID)
            list.add(t.fieldByName("DeptName").asString(), id);
    }
}

void TDeptRecClass::FillDepartmentListBox(PickList& list, bool withNone)
{
    list.clear();
    if (withNone)
        list.add("<No Department>", 0);
    engine::Table& t = table();
    t.setIndexName("DeptName");
    for (t.first(); !t.eof(); t.next())
        list.add(t.fieldByName("DeptName").asString(), std::int32_t(t.fieldByName("DeptID").asInteger()));
}

} // namespace hv
