#pragma once
// A department: one row of dept.dat (table component tblDepts), with its
// look-ups for the import, a delete that leaves its employees without a
// department, and the department pick lists.
#include "ports/PickList.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <string>

namespace hv {

class TDeptRecClass : public TSQLRecClass {
public:
    explicit TDeptRecClass(THourvaneDataMod& dm);

    // The key selects the row the record is about; setting it marks nothing.
    std::int32_t DeptID() const { return m_deptID; }
    void SetDeptID(std::int32_t id) { m_deptID = id; }

    const std::string& DeptName() const { return m_deptName; }
    const std::string& DeptCode() const { return m_deptCode; }
    bool ActiveFlag() const { return m_activeFlag; }
    std::int32_t ManagerID() const { return m_managerID; }

    // Each marks the record modified when the value changes; the first change
    // of an unmodified record takes the row lock with this copy's identity.
    void SetDeptName(const std::string& value);
    void SetDeptCode(const std::string& value);
    void SetActiveFlag(bool value);
    void SetManagerID(std::int32_t value);

    bool IsModified() const { return modified(); }
    // Setting it on an unmodified record first takes the row lock.
    void SetModified(bool value);

    // Base clear, then the defaults; DeptID is kept.
    void Clear() override;
    bool LoadByID();
    // Case-insensitive exact search on the name; DeptName keeps the searched text.
    bool LoadByName();
    // The first row whose code equals DeptCode.
    bool LoadByCode();

    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

    // "<No Manager>" when there is none or the employee cannot be read.
    std::string ManagerName();

    // Drop-down: "<New Department>" (ID 0) when withNew, then in name order the
    // active departments, the one with keptID, or all when activeOnly is off.
    void FillDepartmentList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID);
    // List box: "<No Department>" (ID 0) when withNone, then every department.
    void FillDepartmentListBox(PickList& list, bool withNone);

private:
    // Positions tblDepts on the row of DeptID; false when there is none.
    bool findRow();
    void readRow(bool withName);

    std::int32_t m_deptID = 0;
    std::string m_deptName;
    std::string m_deptCode;
    bool m_activeFlag = true;
    std::int32_t m_managerID = 0;
};

} // namespace hv
