#pragma once
// An employee: one row of employee.dat (table component tblEmps). Its save
// keeps the department's manager in step, its delete removes everything that
// belongs to the employee, and it fills the employee pick lists.
#include "ports/PickList.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <string>

namespace hv {

// Which employees a list holds when no as-of date is given.
enum class EmployeeStatus {
    Current = 0, // no EndDate
    Former = 1,  // with an EndDate
    All = 2,
};

class TEmployeeRecClass : public TSQLRecClass {
public:
    explicit TEmployeeRecClass(THourvaneDataMod& dm);

    // The key selects the row the record is about; setting it marks nothing.
    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }

    const std::string& FirstName() const { return m_firstName; }
    const std::string& LastName() const { return m_lastName; }
    const std::string& EmpCode() const { return m_empCode; }
    double StartDate() const { return m_startDate; } // 0 = none
    double EndDate() const { return m_endDate; }     // 0 = none (a current employee)
    bool ActiveFlag() const { return m_activeFlag; }
    std::int32_t DeptID() const { return m_deptID; }
    bool EligibleFlag() const { return m_eligibleFlag; }
    const std::string& Position() const { return m_position; }
    const std::string& Address1() const { return m_address1; }
    const std::string& Address2() const { return m_address2; }
    const std::string& City() const { return m_city; }
    const std::string& State() const { return m_state; }
    const std::string& PostalCode() const { return m_postalCode; }
    const std::string& HomePhone() const { return m_homePhone; }
    const std::string& Contact() const { return m_contact; }
    const std::string& ContactWorkPhone() const { return m_contactWorkPhone; }
    const std::string& ContactHomePhone() const { return m_contactHomePhone; }
    const std::string& Relationship() const { return m_relationship; }
    const std::string& Comments() const { return m_comments; }
    // Never stored with the employee: whether the department names this
    // employee as its manager. Save writes it through to the department.
    bool IsManager() const { return m_isManager; }

    // Each marks the record modified when the value changes; the first change
    // of an unmodified record takes the row lock with this copy's identity.
    void SetFirstName(const std::string& value);
    void SetLastName(const std::string& value);
    void SetEmpCode(const std::string& value);
    void SetStartDate(double value);
    void SetEndDate(double value);
    void SetActiveFlag(bool value);
    void SetDeptID(std::int32_t value);
    void SetEligibleFlag(bool value);
    void SetPosition(const std::string& value);
    void SetAddress1(const std::string& value);
    void SetAddress2(const std::string& value);
    void SetCity(const std::string& value);
    void SetState(const std::string& value);
    void SetPostalCode(const std::string& value);
    void SetHomePhone(const std::string& value);
    void SetContact(const std::string& value);
    void SetContactWorkPhone(const std::string& value);
    void SetContactHomePhone(const std::string& value);
    void SetRelationship(const std::string& value);
    void SetComments(const std::string& value);
    void SetIsManager(bool value);

    bool IsModified() const { return modified(); }
    // Setting it on an unmodified record first takes the row lock.
    void SetModified(bool value);

    // What a save changes in the record (a new row's key, the modified mark,
    // the lock holder), so that a caller whose transaction rolls back can
    // put the record back and a retry writes it again.
    struct Snapshot {
        std::int32_t empID = 0;
        bool modified = false;
        std::string lockHolder;
        bool lockRefused = false;
    };
    Snapshot snapshot() const { return {m_empID, modified(), lockHolder(), lockRefused()}; }
    void restore(const Snapshot& s)
    {
        m_empID = s.empID;
        setModified(s.modified);
        setLockHolder(s.lockHolder);
        if (!s.lockRefused)
            resetLockRefused();
    }

    // Base clear, then the defaults; EmpID is kept.
    void Clear() override;
    bool LoadByID();

    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

    // "Last, First"; the comma only when both parts are there.
    std::string FullName() const;
    // "<No Department>" when there is none or it cannot be read.
    std::string DepartmentName();
    // EmpID of the first row with this EmpCode (case-insensitive), or 0.
    std::int32_t FindIDByCode();
    // EmpID of the first row with this LastName and FirstName, or 0.
    std::int32_t FindIDByName();

    // The pick lists, in name order, each entry "Last, First" with its EmpID.
    // With asOfDate > 0: the employees employed on at least one day of the
    // seven days ending then (status ignored); else those of the status.
    // withNew puts "<New Employee>" (ID 0) first.
    void FillEmployeeList(PickList& list, EmployeeStatus status, bool withNew, bool activeOnly, double asOfDate = 0);
    // Employed at some time between periodStart and periodEnd; departmentID -1
    // for all departments.
    void FillEmployeesForPeriod(PickList& list, std::int32_t departmentID, double periodEnd, double periodStart);
    // Of the status and in the department (0: without a department).
    void FillEmployeesOfDepartment(PickList& list, EmployeeStatus status, std::int32_t departmentID);

private:
    bool findRow();
    // Marks the record modified when the value differs, then stores it.
    template <class T>
    void assign(T& member, const T& value);
    // Writes the record into the table's edit buffer.
    void writeColumns();
    // Keeps the department's ManagerID in step with IsManager.
    bool writeManagerThrough(const std::string& lockIdentity);
    // Walks tblEmps in name order and lists the rows the test accepts.
    template <class Accept>
    void fillList(PickList& list, Accept&& accept);

    std::int32_t m_empID = 0;
    std::string m_firstName;
    std::string m_lastName;
    std::string m_empCode;
    double m_startDate = 0;
    double m_endDate = 0;
    bool m_activeFlag = true;
    std::int32_t m_deptID = 0;
    bool m_eligibleFlag = true;
    std::string m_position;
    std::string m_address1;
    std::string m_address2;
    std::string m_city;
    std::string m_state;
    std::string m_postalCode;
    std::string m_homePhone;
    std::string m_contact;
    std::string m_contactWorkPhone;
    std::string m_contactHomePhone;
    std::string m_relationship;
    std::string m_comments;
    bool m_isManager = false;
};

} // namespace hv
