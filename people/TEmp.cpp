#include "people/TEmp.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "people/PeopleUtil.h"
#include "people/TDept.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

namespace hv {
namespace {

const char* const kEmpRecord = "Employee";

// The rows an employee leaves behind, removed with it. The double blank after
// the table name is how these statements have always read.
const char* const kDeleteStatements[] = {
    "update Dept set ManagerID = 0 where ManagerID = ",
    "delete from Accrual  where EmpID = ",
    "delete from EmpField  where EmpID = ",
    "delete from TimeOff  where EmpID = ",
    "delete from Wage  where EmpID = ",
    "delete from EmpOT  where EmpID = ",
    "delete from WorkDay  where EmpID = ",
    "delete from HVUser  where EmpID = ",
};

double dateOf(engine::Table& t, const char* name)
{
    engine::Field f = t.fieldByName(name);
    return f.isNull() ? 0.0 : f.asDateTime();
}

void setDate(engine::Table& t, const char* name, double value)
{
    if (value > 0)
        t.fieldByName(name).setAsDateTime(value);
    else
        t.fieldByName(name).clear();
}

bool statusMatches(EmployeeStatus status, bool hasEndDate)
{
    switch (status) {
    case EmployeeStatus::Current:
        return !hasEndDate;
    case EmployeeStatus::Former:
        return hasEndDate;
    case EmployeeStatus::All:
        return true;
    }
    return false;
}

} // namespace

TEmployeeRecClass::TEmployeeRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kEmpRecord);
    setTableName("tblEmps");
    Clear();
}

void TEmployeeRecClass::SetModified(bool value)
{
    if (value && !modified())
        Lock(dataModule().state().lockIdentity);
    setModified(value);
}

template <class T> void TEmployeeRecClass::assign(T& member, const T& value)
{
    if (member != value)
        SetModified(true);
    member = value;
}

void TEmployeeRecClass::SetFirstName(const std::string& value) { assign(m_firstName, value); }
void TEmployeeRecClass::SetLastName(const std::string& value) { assign(m_lastName, value); }
void TEmployeeRecClass::SetEmpCode(const std::string& value) { assign(m_empCode, value); }
void TEmployeeRecClass::SetStartDate(double value) { assign(m_startDate, value); }
void TEmployeeRecClass::SetEndDate(double value) { assign(m_endDate, value); }
void TEmployeeRecClass::SetActiveFlag(bool value) { assign(m_activeFlag, value); }
void TEmployeeRecClass::SetDeptID(std::int32_t value) { assign(m_deptID, value); }
void TEmployeeRecClass::SetEligibleFlag(bool value) { assign(m_eligibleFlag, value); }
void TEmployeeRecClass::SetPosition(const std::string& value) { assign(m_position, value); }
void TEmployeeRecClass::SetAddress1(const std::string& value) { assign(m_address1, value); }
void TEmployeeRecClass::SetAddress2(const std::string& value) { assign(m_address2, value); }
void TEmployeeRecClass::SetCity(const std::string& value) { assign(m_city, value); }
void TEmployeeRecClass::SetState(const std::string& value) { assign(m_state, value); }
void TEmployeeRecClass::SetPostalCode(const std::string& value) { assign(m_postalCode, value); }
void TEmployeeRecClass::SetHomePhone(const std::string& value) { assign(m_homePhone, value); }
void TEmployeeRecClass::SetContact(const std::string& value) { assign(m_contact, value); }
void TEmployeeRecClass::SetContactWorkPhone(const std::string& value) { assign(m_contactWorkPhone, value); }
void TEmployeeRecClass::SetContactHomePhone(const std::string& value) { assign(m_contactHomePhone, value); }
void TEmployeeRecClass::SetRelationship(const std::string& value) { assign(m_relationship, value); }
void TEmployeeRecClass::SetComments(const std::string& value) { assign(m_comments, value); }
void TEmployeeRecClass::SetIsManager(bool value) { assign(m_isManager, value); }

void TEmployeeRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_firstName.clear();
    m_lastName.clear();
    m_empCode.clear();
    m_startDate = 0;
    m_endDate = 0;
    m_activeFlag = true;
    m_deptID = 0;
    m_eligibleFlag = true;
    m_position.clear();
    m_address1.clear();
    m_address2.clear();
    m_city.clear();
    m_state.clear();
    m_postalCode.clear();
    m_homePhone.clear();
    m_contact.clear();
    m_contactWorkPhone.clear();
    m_contactHomePhone.clear();
    m_relationship.clear();
    m_comments.clear();
    m_isManager = false;
}

bool TEmployeeRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_empID))});
}

bool TEmployeeRecClass::LoadByID()
{
    Clear();
    if (!findRow())
        return false;
    engine::Table& t = table();
    m_firstName = t.fieldByName("FirstName").asString();
    m_lastName = t.fieldByName("LastName").asString();
    m_empCode = t.fieldByName("EmpCode").asString();
    m_startDate = dateOf(t, "StartDate");
    m_endDate = dateOf(t, "EndDate");
    m_activeFlag = t.fieldByName("ActiveFlag").asBoolean();
    m_deptID = std::int32_t(t.fieldByName("DeptID").asInteger());
    m_eligibleFlag = t.fieldByName("EligibleFlag").asBoolean();
    m_position = t.fieldByName("Position").asString();
    m_address1 = t.fieldByName("Address1").asString();
    m_address2 = t.fieldByName("Address2").asString();
    m_city = t.fieldByName("City").asString();
    m_state = t.fieldByName("State").asString();
    m_postalCode = t.fieldByName("PostalCode").asString();
    m_homePhone = t.fieldByName("HomePhone").asString();
    m_contact = t.fieldByName("Contact").asString();
    m_contactWorkPhone = t.fieldByName("ContactWorkPhone").asString();
    m_contactHomePhone = t.fieldByName("ContactHomePhone").asString();
    m_relationship = t.fieldByName("Relationship").asString();
    m_comments = t.fieldByName("Comments").asString();
    const std::string holder = t.fieldByName("LockedBy").asString();
    noteStoredRow(t);
    if (m_deptID > 0) {
        TDeptRecClass dept(dataModule());
        dept.SetDeptID(m_deptID);
        try {
            m_isManager = dept.LoadByID() && dept.ManagerID() == m_empID;
        } catch (const engine::EngineError&) {
            m_isManager = false; // an unreadable department names no manager
        } catch (const engine::EngineTextError&) {
            m_isManager = false;
        }
    }
    setLockHolder(holder);
    return true;
}

void TEmployeeRecClass::writeColumns()
{
    engine::Table& t = table();
    t.fieldByName("LastName").setAsString(m_lastName);
    t.fieldByName("FirstName").setAsString(m_firstName);
    setDate(t, "StartDate", m_startDate);
    setDate(t, "EndDate", m_endDate);
    t.fieldByName("ActiveFlag").setAsBoolean(m_activeFlag);
    t.fieldByName("EmpCode").setAsString(m_empCode);
    t.fieldByName("DeptID").setAsInteger(m_deptID);
    t.fieldByName("Position").setAsString(m_position);
    t.fieldByName("EligibleFlag").setAsBoolean(m_eligibleFlag);
    t.fieldByName("Address1").setAsString(m_address1);
    t.fieldByName("Address2").setAsString(m_address2);
    t.fieldByName("City").setAsString(m_city);
    t.fieldByName("State").setAsString(m_state);
    t.fieldByName("PostalCode").setAsString(m_postalCode);
    t.fieldByName("HomePhone").setAsString(m_homePhone);
    t.fieldByName("Contact").setAsString(m_contact);
    t.fieldByName("ContactWorkPhone").setAsString(m_contactWorkPhone);
    t.fieldByName("ContactHomePhone").setAsString(m_contactHomePhone);
    t.fieldByName("Relationship").setAsString(m_relationship);
    t.fieldByName("Comments").setAsString(m_comments);
    t.fieldByName("LockedBy").setAsString(""); // a save releases the row
}

bool TEmployeeRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    engine::Table* t = nullptr;
    try {
        t = &table();
        bool appended = true;
        if (m_empID != 0 && findRow()) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t->edit();
            appended = false;
        } else if (m_empID != 0) {
            if (ask(recreateQuestion()) != MsgResult::Yes)
                return false;
            t->append();
        } else {
            t->append();
        }
        writeColumns();
        t->post();
        noteStoredRow(*t);
        // A re-created row has a new key too; keeping the old one would make
        // the next save create yet another row.
        if (appended)
            m_empID = std::int32_t(t->fieldByName("EmpID").asInteger());
    } catch (const engine::EngineError& e) {
        if (t)
            t->cancel();
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    } catch (const engine::EngineTextError& e) {
        if (t)
            t->cancel();
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    }
    if (!writeManagerThrough(lockIdentity))
        return false;
    setModified(false);
    return true;
}

bool TEmployeeRecClass::writeManagerThrough(const std::string& lockIdentity)
{
    if (m_deptID <= 0)
        return true;
    TDeptRecClass dept(dataModule());
    dept.SetDeptID(m_deptID);
    try {
        if (!dept.LoadByID())
            return false;
    } catch (const engine::EngineError&) {
        return false;
    } catch (const engine::EngineTextError&) {
        return false;
    }
    const bool namesThisEmployee = dept.ManagerID() == m_empID;
    if (m_isManager == namesThisEmployee)
        return true;
    if (!dept.Lock(lockIdentity))
        return false;
    // Changed under the lock just taken: the setter need not take it again.
    dept.setModified(true);
    dept.SetManagerID(m_isManager ? m_empID : 0);
    bool ok = dept.Save(lockIdentity);
    // Released also after a failed save, so that the department is not left
    // locked by this copy.
    if (!dept.Unlock(lockIdentity))
        ok = false;
    return ok;
}

bool TEmployeeRecClass::Delete(const std::string& lockIdentity)
{
    const std::string id = std::to_string(m_empID);
    try {
        if (!findRow())
            return false;
        TransactionGuard tx(dataModule().HourvaneDB);
        if (!TSQLRecClass::Delete(lockIdentity)) {
            tx.rollback();
            return false;
        }
        for (const char* statement : kDeleteStatements)
            execBlank(dataModule(), statement + id);
        tx.commit();
    } catch (const engine::EngineError& e) {
        tell(deleteFailureText(e), MsgKind::Warning);
        return false;
    } catch (const engine::EngineTextError& e) {
        tell(deleteFailureText(e), MsgKind::Warning);
        return false;
    }
    Clear();
    m_empID = 0;
    return true;
}

bool TEmployeeRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TEmployeeRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

std::string TEmployeeRecClass::FullName() const
{
    std::string name = m_lastName;
    if (!m_lastName.empty() && !m_firstName.empty())
        name += ", ";
    return name + m_firstName;
}

std::string TEmployeeRecClass::DepartmentName()
{
    const std::string none = "<No Department>";
    if (m_deptID == 0)
        return none;
    try {
        TDeptRecClass dept(dataModule());
        dept.SetDeptID(m_deptID);
        if (!dept.LoadByID())
            return none;
        return dept.DeptName();
    } catch (const engine::EngineError&) {
        return none;
    } catch (const engine::EngineTextError&) {
        return none;
    }
}

std::int32_t TEmployeeRecClass::FindIDByCode()
{
    engine::Table& t = table();
    t.setIndexName("EmpCode");
    if (!t.findKey({engine::Value(m_empCode)}))
        return 0;
    return std::int32_t(t.fieldByName("EmpID").asInteger());
}

std::int32_t TEmployeeRecClass::FindIDByName()
{
    engine::Table& t = table();
    t.setIndexName("EmpName");
    if (!t.findKey({engine::Value(m_lastName), engine::Value(m_firstName)}))
        return 0;
    return std::int32_t(t.fieldByName("EmpID").asInteger());
}

template <class Accept> void TEmployeeRecClass::fillList(PickList& list, Accept&& accept)
{
    engine::Table& t = table();
    t.setIndexName("EmpName");
    for (t.first(); !t.eof(); t.next()) {
        if (!accept(t))
            continue;
        list.add(people::ListName(t.fieldByName("LastName").asString(), t.fieldByName("FirstName").asString()),
                 std::int32_t(t.fieldByName("EmpID").asInteger()));
    }
}

void TEmployeeRecClass::FillEmployeeList(PickList& list, EmployeeStatus status, bool withNew, bool activeOnly,
                                         double asOfDate)
{
    list.clear();
    if (withNew)
        list.add("<New Employee>", 0);
    fillList(list, [&](engine::Table& t) {
        if (activeOnly && !t.fieldByName("ActiveFlag").asBoolean())
            return false;
        engine::Field end = t.fieldByName("EndDate");
        if (asOfDate > 0) {
            // Employed on at least one day of the seven ending on the as-of date.
            return dateOf(t, "StartDate") <= asOfDate && (end.isNull() || end.asDateTime() >= asOfDate - 6);
        }
        return statusMatches(status, !end.isNull());
    });
}

void TEmployeeRecClass::FillEmployeesForPeriod(PickList& list, std::int32_t departmentID, double periodEnd,
                                               double periodStart)
{
    list.clear();
    fillList(list, [&](engine::Table& t) {
        if (departmentID != -1 && t.fieldByName("DeptID").asInteger() != departmentID)
            return false;
        engine::Field end = t.fieldByName("EndDate");
        return dateOf(t, "StartDate") <= periodEnd && (end.isNull() || end.asDateTime() >= periodStart);
    });
}

void TEmployeeRecClass::FillEmployeesOfDepartment(PickList& list, EmployeeStatus status, std::int32_t departmentID)
{
    list.clear();
    fillList(list, [&](engine::Table& t) {
        return t.fieldByName("DeptID").asInteger() == departmentID &&
               statusMatches(status, !t.fieldByName("EndDate").isNull());
    });
}

} // namespace hv
