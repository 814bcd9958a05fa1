#include "tests/support/Builders.h"

#include "engine/Query.h"
#include "engine/Table.h"

namespace hv::test {

std::int32_t addReasonRow(THourvaneDataMod& dm, const ReasonRow& row)
{
    engine::Table& t = dm.tblReasons;
    t.append();
    t.fieldByName("Reason").setAsString(row.name);
    t.fieldByName("ReasonCode").setAsString(row.code);
    t.fieldByName("ActiveFlag").setAsBoolean(row.active);
    t.fieldByName("PaidFlag").setAsBoolean(row.paid);
    t.fieldByName("OvertimeFlag").setAsBoolean(row.overtime);
    t.fieldByName("PolicyFlag").setAsBoolean(row.policy);
    t.fieldByName("AccrualBasis").setAsString(row.policy ? row.accrualBasis : std::string());
    t.fieldByName("ValidateBasis").setAsString(row.policy ? row.validateBasis : std::string());
    t.fieldByName("LockedBy").setAsString(row.lockedBy);
    t.post();
    return std::int32_t(t.fieldByName("ReasonID").asInteger());
}

std::int32_t addEmployeeRow(THourvaneDataMod& dm, const EmployeeRow& row)
{
    engine::Table& t = dm.tblEmps;
    t.append();
    t.fieldByName("LastName").setAsString(row.last);
    t.fieldByName("FirstName").setAsString(row.first);
    if (row.start > 0)
        t.fieldByName("StartDate").setAsDateTime(row.start);
    if (row.end > 0)
        t.fieldByName("EndDate").setAsDateTime(row.end);
    t.fieldByName("DeptID").setAsInteger(row.dept);
    t.fieldByName("ActiveFlag").setAsBoolean(row.active);
    t.fieldByName("EligibleFlag").setAsBoolean(true);
    t.fieldByName("EmpCode").setAsString(row.code);
    if (!row.lockedBy.empty())
        t.fieldByName("LockedBy").setAsString(row.lockedBy);
    t.post();
    return std::int32_t(t.fieldByName("EmpID").asInteger());
}

std::int32_t addDeptRow(THourvaneDataMod& dm, const std::string& name, bool active, std::int64_t manager,
                        const std::string& code, const std::string& lockedBy)
{
    engine::Table& t = dm.tblDepts;
    t.append();
    t.fieldByName("DeptName").setAsString(name);
    t.fieldByName("DeptCode").setAsString(code);
    t.fieldByName("ActiveFlag").setAsBoolean(active);
    t.fieldByName("ManagerID").setAsInteger(manager);
    if (!lockedBy.empty())
        t.fieldByName("LockedBy").setAsString(lockedBy);
    t.post();
    return std::int32_t(t.fieldByName("DeptID").asInteger());
}

void addRuleRow(THourvaneDataMod& dm, const RuleRow& row)
{
    engine::Table& t = dm.tblPolicy;
    t.append();
    t.fieldByName("ReasonID").setAsInteger(row.reason);
    t.fieldByName("EmpTypeID").setAsInteger(row.empType);
    t.fieldByName("StartMonths").setAsInteger(row.startMonths);
    t.fieldByName("EndMonths").setAsInteger(row.endMonths);
    t.fieldByName("EarnedHours").setAsFloat(row.earned);
    t.fieldByName("CarryOverHours").setAsFloat(row.carryOver);
    if (!row.lockedBy.empty())
        t.fieldByName("LockedBy").setAsString(row.lockedBy);
    t.post();
}

std::string readValue(THourvaneDataMod& dm, const std::string& sql)
{
    engine::Query& q = dm.qryBlank;
    q.clearSql();
    q.addSql(sql);
    q.open();
    std::string v = q.eof() ? "<no row>" : q.field(0).isNull() ? "<null>" : q.field(0).asString();
    q.close();
    return v;
}

std::int64_t countRows(THourvaneDataMod& dm, const std::string& table, const std::string& where)
{
    return std::stoll(readValue(dm, "select count(*) from " + table + (where.empty() ? "" : " where " + where)));
}

} // namespace hv::test
