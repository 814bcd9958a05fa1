// The fourteen tables as a new database gets them, read back through the engine.
#include "tests/support/DataFolderFixture.h"
#include "storage/CreateTables.h"

namespace hv::test {
namespace {

using engine::FieldType;

// One line per column: name type size required [default].
struct Expected {
    const char* file;
    const char* description;
    std::vector<std::string> columns;
    std::vector<std::string> indexes; // name|fields|options (p primary, u unique, c case-insensitive)
};

const std::vector<Expected> kTables = {
    {"accrual.dat", "Employee Benefit Accruals",
     {"EmpID integer 0 1", "ReasonID integer 0 1", "AccruedHours float 0 1", "AccrualDate date 0 1",
      "LockedBy text 15 0"},
     {"|EmpID;ReasonID|p"}},
    {"dept.dat", "Department Information",
     {"DeptID autoinc 0 1", "DeptName text 50 0", "DeptCode text 10 0", "ActiveFlag boolean 0 0",
      "ManagerID integer 0 0", "LockedBy text 15 0"},
     {"|DeptID|p", "DeptName|DeptName|uc"}},
    {"empfield.dat", "User Defined Employee Data",
     {"EmpID integer 0 1", "FieldID integer 0 1", "FieldValue text 30 0", "LockedBy text 15 0"},
     {"|EmpID;FieldID|p"}},
    {"employee.dat", "Employee Information",
     {"EmpID autoinc 0 1", "LastName text 20 0", "FirstName text 15 0", "StartDate date 0 0",
      "EndDate date 0 0", "ActiveFlag boolean 0 0", "EmpCode text 15 0", "DeptID integer 0 0",
      "Position text 30 0", "EligibleFlag boolean 0 0", "Address1 text 30 0", "Address2 text 30 0",
      "City text 20 0", "State text 5 0", "PostalCode text 10 0", "HomePhone text 20 0",
      "Contact text 30 0", "ContactWorkPhone text 20 0", "ContactHomePhone text 20 0",
      "Relationship text 30 0", "Comments memo 0 0", "LockedBy text 15 0"},
     {"|EmpID|p", "EmpName|LastName;FirstName|c", "EmpCode|EmpCode|c"}},
    {"field.dat", "User Defined Employee Fields",
     {"FieldID autoinc 0 1", "FieldDesc text 30 0", "ActiveFlag boolean 0 0", "LockedBy text 15 0"},
     {"|FieldID|p", "FieldName|FieldDesc|uc"}},
    {"policy.dat", "Benefit Accrual Policy Rules",
     {"ReasonID integer 0 1", "EmpTypeID integer 0 1", "StartMonths smallint 0 1",
      "DisplayStartPeriod text 1 0", "EndMonths smallint 0 1", "DisplayEndPeriod text 1 0",
      "EarnedHours float 0 0", "DisplayEarnedHours float 0 0", "DisplayEarnedPeriod text 1 0",
      "CarryOverHours float 0 0", "LockedBy text 15 0"},
     {"|ReasonID;EmpTypeID;StartMonths|p"}},
    {"prefer.dat", "User Preferences",
     {"PreferID text 20 1", "PreferValue text 50 1", "LockedBy text 15 0"},
     {"|PreferID|pc"}},
    {"reason.dat", "Time Off Reasons",
     {"ReasonID autoinc 0 1", "Reason text 30 0", "ReasonCode text 1 0", "ActiveFlag boolean 0 0",
      "PaidFlag boolean 0 0", "OvertimeFlag boolean 0 0", "PolicyFlag boolean 0 0",
      "AccrualBasis text 1 0", "ValidateBasis text 1 0", "LockedBy text 15 0"},
     {"|ReasonID|p", "Reasons|Reason|uc", "ReasonCode|ReasonCode|uc"}},
    {"timeoff.dat", "Employee Time Off Information",
     {"EmpID integer 0 1", "WeekDate date 0 1", "ReasonID integer 0 1", "Hours float 0 0",
      "ApprovedBy text 10 0", "ApprovedWhen datetime 0 0", "LockedBy text 15 0"},
     {"|EmpID;WeekDate;ReasonID|p"}},
    {"wage.dat", "Employee Wages",
     {"EmpID integer 0 1", "StartDate date 0 1", "EndDate date 0 0", "Wage currency 0 1",
      "PayTypeCode text 1 1", "OvertimeFlag boolean 0 0", "Shift2 currency 0 0", "Shift3 currency 0 0",
      "ShiftOvertimeFlag boolean 0 0", "LockedBy text 15 0"},
     {"|EmpID;StartDate|p"}},
    {"empot.dat", "Employee Overtime Policies",
     {"EmpID integer 0 1", "StartDate date 0 1", "EndDate date 0 0", "PolicyID integer 0 1",
      "LockedBy text 15 0"},
     {"|EmpID;StartDate|p"}},
    {"otpolicy.dat", "Overtime Policies",
     {"PolicyID autoinc 0 1", "Policy text 50 1", "WeeklyFlag boolean 0 0", "ActiveFlag boolean 0 0",
      "Hours1 float 0 0", "Hours2 float 0 0", "Rate1 float 0 0", "Rate2 float 0 0", "LockedBy text 15 0"},
     {"|PolicyID|p", "Policy|Policy|uc"}},
    {"workday.dat", "Employee Punch-in & Punch-out Times",
     {"EmpID integer 0 1", "WeekDate date 0 1", "SequenceNum integer 0 1 0", "TimeIn1 time 0 0",
      "TimeOut1 time 0 0", "TimeIn2 time 0 0", "TimeOut2 time 0 0", "Shift integer 0 0",
      "ApprovedBy text 10 0", "ApprovedWhen datetime 0 0", "LockedBy text 15 0"},
     {"|EmpID;WeekDate;SequenceNum|p"}},
    {"hvuser.dat", "Hourvane User Information",
     {"UserID autoinc 0 1", "LoginID text 15 1", "UserName text 50 0", "EmpID integer 0 0",
      "AccessLevel integer 0 0", "Password text 15 0", "LockedBy text 15 0"},
     {"|UserID|pc", "Logins|LoginID|uc", "Users|UserName|c"}},
};

std::string describe(const engine::FieldDef& f)
{
    std::string s = f.name + " " + engine::fieldTypeName(f.type) + " " + std::to_string(f.size) + " " +
                    (f.required ? "1" : "0");
    if (!f.defaultValue.empty())
        s += " " + f.defaultValue;
    return s;
}

std::string describe(const engine::IndexDef& ix)
{
    std::string opts;
    if (ix.options & engine::ixPrimary)
        opts += "p";
    if (ix.options & engine::ixUnique)
        opts += "u";
    if (ix.options & engine::ixCaseInsensitive)
        opts += "c";
    return ix.name + "|" + ix.fields + "|" + opts;
}

} // namespace

TEST_F(StorageTest, EmptyFolderGetsTheFourteenTablesExactly)
{
    THourvaneDataMod& d = start();
    ASSERT_FALSE(d.terminateRequested());
    ASSERT_EQ(d.tables().size(), kTables.size());
    for (std::size_t i = 0; i < kTables.size(); ++i) {
        const Expected& e = kTables[i];
        engine::Table t(d.HourvaneDB);
        t.setTableName(e.file);
        ASSERT_TRUE(t.exists()) << e.file;
        engine::TableDef def = t.readDefinition();
        EXPECT_EQ(def.description, e.description) << e.file;
        std::vector<std::string> cols, idx;
        for (std::size_t c = 0; c < def.fields.size(); ++c) {
            cols.push_back(describe(def.fields[c]));
            EXPECT_EQ(def.fields[c].number, int(c + 1)) << e.file;
        }
        for (const auto& ix : def.indexes)
            idx.push_back(describe(ix));
        EXPECT_EQ(cols, e.columns) << e.file;
        EXPECT_EQ(idx, e.indexes) << e.file;
        // Files are named in lower case as listed, and all are open for shared use.
        EXPECT_TRUE(std::filesystem::exists(dataFolder + e.file)) << e.file;
        EXPECT_TRUE(d.tables()[i]->active()) << e.file;
    }
    EXPECT_TRUE(std::filesystem::exists(dataFolder + "employee.blb"));
    EXPECT_EQ(d.tblEmpOT.tableName(), "EmpOT.DAT");
    EXPECT_EQ(d.tblOTPolicy.tableName(), "OTPolicy.DAT");
    EXPECT_EQ(d.tblWorkDay.tableName(), "workday.DAT");
}

TEST_F(StorageTest, LayoutRulesAreEnforcedByTheEngine)
{
    THourvaneDataMod& d = start();
    engine::Table& w = d.tblWorkDay;
    w.append();
    w.fieldByName("EmpID").setAsInteger(1);
    w.fieldByName("WeekDate").setAsDateTime(44986);
    w.post();
    ASSERT_TRUE(w.findKey({engine::Value(std::int64_t(1)), engine::Value(44986.0), engine::Value(std::int64_t(0))}));
    EXPECT_EQ(w.fieldByName("SequenceNum").asInteger(), 0);

    engine::Table& dept = d.tblDepts;
    dept.append();
    dept.fieldByName("DeptName").setAsString("Sales");
    dept.post();
    dept.append();
    dept.fieldByName("DeptName").setAsString("sales");
    try {
        dept.post();
        FAIL() << "second department accepted";
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(e.code(), 9729);
        EXPECT_NE(e.message().find("index 'DeptName"), std::string::npos) << e.message();
    }
    dept.cancel();

    engine::Table& emp = d.tblEmps;
    for (int i = 0; i < 2; ++i) {
        emp.append();
        emp.fieldByName("LastName").setAsString("Smith");
        emp.fieldByName("FirstName").setAsString("Ann");
        emp.post();
    }
    EXPECT_EQ(emp.recordCount(), 2);

    engine::Table& pref = d.tblPreferences;
    pref.append();
    pref.fieldByName("PreferID").setAsString("Hours");
    try {
        pref.post();
        FAIL() << "preference without a value accepted";
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(e.message(), "A value must be provided for the field 'PreferValue' in table 'prefer.DAT'");
    }
    pref.cancel();
    EXPECT_EQ(pref.recordCount(), 0);
}

} // namespace hv::test
