#include "storage/CreateTables.h"

#include "engine/Table.h"

namespace hv {
namespace {

using engine::FieldType;
using FT = FieldType;

struct Col {
    const char* name;
    FieldType type;
    int size;
    bool required;
    const char* defaultValue = "";
};

engine::TableDef layout(const char* description, std::initializer_list<Col> cols,
                        std::initializer_list<engine::IndexDef> indexes)
{
    engine::TableDef def;
    def.description = description;
    int n = 0;
    for (const auto& c : cols)
        def.fields.push_back({c.name, c.type, ++n, c.required, c.size, c.defaultValue});
    def.indexes = indexes;
    return def;
}

constexpr unsigned P = engine::ixPrimary, U = engine::ixUnique, CI = engine::ixCaseInsensitive;
const Col kLockedBy{"LockedBy", FT::Text, 15, false};

std::vector<TableLayout> buildLayouts()
{
    std::vector<TableLayout> t;
    t.push_back({"accrual.dat", "tblAccruals", "accrual.DAT",
                 layout("Employee Benefit Accruals",
                        {{"EmpID", FT::Integer, 0, true},
                         {"ReasonID", FT::Integer, 0, true},
                         {"AccruedHours", FT::Float, 0, true},
                         {"AccrualDate", FT::Date, 0, true},
                         kLockedBy},
                        {{"", "EmpID;ReasonID", P}})});
    t.push_back({"dept.dat", "tblDepts", "dept.DAT",
                 layout("Department Information",
                        {{"DeptID", FT::AutoInc, 0, true},
                         {"DeptName", FT::Text, 50, false},
                         {"DeptCode", FT::Text, 10, false},
                         {"ActiveFlag", FT::Boolean, 0, false},
                         {"ManagerID", FT::Integer, 0, false},
                         kLockedBy},
                        {{"", "DeptID", P}, {"DeptName", "DeptName", U | CI}})});
    t.push_back({"empfield.dat", "tblEmpOther", "empfield.DAT",
                 layout("User Defined Employee Data",
                        {{"EmpID", FT::Integer, 0, true},
                         {"FieldID", FT::Integer, 0, true},
                         {"FieldValue", FT::Text, 30, false},
                         kLockedBy},
                        {{"", "EmpID;FieldID", P}})});
    t.push_back({"employee.dat", "tblEmps", "employee.DAT",
                 layout("Employee Information",
                        {{"EmpID", FT::AutoInc, 0, true},
                         {"LastName", FT::Text, 20, false},
                         {"FirstName", FT::Text, 15, false},
                         {"StartDate", FT::Date, 0, false},
                         {"EndDate", FT::Date, 0, false},
                         {"ActiveFlag", FT::Boolean, 0, false},
                         {"EmpCode", FT::Text, 15, false},
                         {"DeptID", FT::Integer, 0, false},
                         {"Position", FT::Text, 30, false},
                         {"EligibleFlag", FT::Boolean, 0, false},
                         {"Address1", FT::Text, 30, false},
                         {"Address2", FT::Text, 30, false},
                         {"City", FT::Text, 20, false},
                         {"State", FT::Text, 5, false},
                         {"PostalCode", FT::Text, 10, false},
                         {"HomePhone", FT::Text, 20, false},
                         {"Contact", FT::Text, 30, false},
                         {"ContactWorkPhone", FT::Text, 20, false},
                         {"ContactHomePhone", FT::Text, 20, false},
                         {"Relationship", FT::Text, 30, false},
                         {"Comments", FT::Memo, 0, false},
                         kLockedBy},
                        {{"", "EmpID", P}, {"EmpName", "LastName;FirstName", CI}, {"EmpCode", "EmpCode", CI}})});
    t.push_back({"field.dat", "tblFields", "field.DAT",
                 layout("User Defined Employee Fields",
                        {{"FieldID", FT::AutoInc, 0, true},
                         {"FieldDesc", FT::Text, 30, false},
                         {"ActiveFlag", FT::Boolean, 0, false},
                         kLockedBy},
                        {{"", "FieldID", P}, {"FieldName", "FieldDesc", U | CI}})});
    t.push_back({"policy.dat", "tblPolicy", "policy.DAT",
                 layout("Benefit Accrual Policy Rules",
                        {{"ReasonID", FT::Integer, 0, true},
                         {"EmpTypeID", FT::Integer, 0, true},
                         {"StartMonths", FT::SmallInt, 0, true},
                         {"DisplayStartPeriod", FT::Text, 1, false},
                         {"EndMonths", FT::SmallInt, 0, true},
                         {"DisplayEndPeriod", FT::Text, 1, false},
                         {"EarnedHours", FT::Float, 0, false},
                         {"DisplayEarnedHours", FT::Float, 0, false},
                         {"DisplayEarnedPeriod", FT::Text, 1, false},
                         {"CarryOverHours", FT::Float, 0, false},
                         kLockedBy},
                        {{"", "ReasonID;EmpTypeID;StartMonths", P}})});
    t.push_back({"prefer.dat", "tblPreferences", "prefer.DAT",
                 layout("User Preferences",
                        {{"PreferID", FT::Text, 20, true}, {"PreferValue", FT::Text, 50, true}, kLockedBy},
                        {{"", "PreferID", P | CI}})});
    t.push_back({"reason.dat", "tblReasons", "reason.DAT",
                 layout("Time Off Reasons",
                        {{"ReasonID", FT::AutoInc, 0, true},
                         {"Reason", FT::Text, 30, false},
                         {"ReasonCode", FT::Text, 1, false},
                         {"ActiveFlag", FT::Boolean, 0, false},
                         {"PaidFlag", FT::Boolean, 0, false},
                         {"OvertimeFlag", FT::Boolean, 0, false},
                         {"PolicyFlag", FT::Boolean, 0, false},
                         {"AccrualBasis", FT::Text, 1, false},
                         {"ValidateBasis", FT::Text, 1, false},
                         kLockedBy},
                        {{"", "ReasonID", P}, {"Reasons", "Reason", U | CI}, {"ReasonCode", "ReasonCode", U | CI}})});
    t.push_back({"timeoff.dat", "tblTimeOff", "timeoff.DAT",
                 layout("Employee Time Off Information",
                        {{"EmpID", FT::Integer, 0, true},
                         {"WeekDate", FT::Date, 0, true},
                         {"ReasonID", FT::Integer, 0, true},
                         {"Hours", FT::Float, 0, false},
                         {"ApprovedBy", FT::Text, 10, false},
                         {"ApprovedWhen", FT::DateTime, 0, false},
                         kLockedBy},
                        {{"", "EmpID;WeekDate;ReasonID", P}})});
    t.push_back({"wage.dat", "tblWages", "wage.DAT",
                 layout("Employee Wages",
                        {{"EmpID", FT::Integer, 0, true},
                         {"StartDate", FT::Date, 0, true},
                         {"EndDate", FT::Date, 0, false},
                         {"Wage", FT::Currency, 0, true},
                         {"PayTypeCode", FT::Text, 1, true},
                         {"OvertimeFlag", FT::Boolean, 0, false},
                         {"Shift2", FT::Currency, 0, false},
                         {"Shift3", FT::Currency, 0, false},
                         {"ShiftOvertimeFlag", FT::Boolean, 0, false},
                         kLockedBy},
                        {{"", "EmpID;StartDate", P}})});
    t.push_back({"empot.dat", "tblEmpOT", "EmpOT.DAT",
                 layout("Employee Overtime Policies",
                        {{"EmpID", FT::Integer, 0, true},
                         {"StartDate", FT::Date, 0, true},
                         {"EndDate", FT::Date, 0, false},
                         {"PolicyID", FT::Integer, 0, true},
                         kLockedBy},
                        {{"", "EmpID;StartDate", P}})});
    t.push_back({"otpolicy.dat", "tblOTPolicy", "OTPolicy.DAT",
                 layout("Overtime Policies",
                        {{"PolicyID", FT::AutoInc, 0, true},
                         {"Policy", FT::Text, 50, true},
                         {"WeeklyFlag", FT::Boolean, 0, false},
                         {"ActiveFlag", FT::Boolean, 0, false},
                         {"Hours1", FT::Float, 0, false},
                         {"Hours2", FT::Float, 0, false},
                         {"Rate1", FT::Float, 0, false},
                         {"Rate2", FT::Float, 0, false},
                         kLockedBy},
                        {{"", "PolicyID", P}, {"Policy", "Policy", U | CI}})});
    t.push_back({"workday.dat", "tblWorkDay", "workday.DAT",
                 layout("Employee Punch-in & Punch-out Times",
                        {{"EmpID", FT::Integer, 0, true},
                         {"WeekDate", FT::Date, 0, true},
                         {"SequenceNum", FT::Integer, 0, true, "0"},
                         {"TimeIn1", FT::Time, 0, false},
                         {"TimeOut1", FT::Time, 0, false},
                         {"TimeIn2", FT::Time, 0, false},
                         {"TimeOut2", FT::Time, 0, false},
                         {"Shift", FT::Integer, 0, false},
                         {"ApprovedBy", FT::Text, 10, false},
                         {"ApprovedWhen", FT::DateTime, 0, false},
                         kLockedBy},
                        {{"", "EmpID;WeekDate;SequenceNum", P}})});
    t.push_back({"hvuser.dat", "tblUsers", "hvuser.DAT",
                 layout("Hourvane User Information",
                        {{"UserID", FT::AutoInc, 0, true},
                         {"LoginID", FT::Text, 15, true},
                         {"UserName", FT::Text, 50, false},
                         {"EmpID", FT::Integer, 0, false},
                         {"AccessLevel", FT::Integer, 0, false},
                         {"Password", FT::Text, 15, false},
                         kLockedBy},
                        {{"", "UserID", P | CI}, {"Logins", "LoginID", U | CI}, {"Users", "UserName", CI}})});
    return t;
}

} // namespace

const std::vector<TableLayout>& tableLayouts()
{
    static const std::vector<TableLayout> layouts = buildLayouts();
    return layouts;
}

const TableLayout* findLayout(const std::string& componentName)
{
    for (const auto& l : tableLayouts())
        if (l.componentName == componentName)
            return &l;
    return nullptr;
}

void CreateTables(engine::Database& db, const std::function<void()>& afterEach)
{
    for (const auto& l : tableLayouts()) {
        engine::Table table(db);
        table.setTableName(l.fileName);
        if (!table.exists()) {
            table.definition() = l.def;
            table.createTable();
        }
        if (afterEach)
            afterEach();
    }
}

} // namespace hv
