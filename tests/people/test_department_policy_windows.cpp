// The Departments and Overtime Policies windows built for real: managers
// who left, deleting, the code length, the checks of a policy, its second
// line, view mode, and the row a failed save leaves behind.
#include "tests/people/PeopleWindowsFixture.h"

#include "people/TDept.h"
#include "people/TOTPolicy.h"

namespace hv::test {
namespace {

class DepartmentPolicyWindowTest : public PeopleWindowTest {
protected:
    std::int32_t addPolicy(const std::string& name, float hours1, float rate1, float hours2 = 0, float rate2 = 0)
    {
        TOTPolicyRecClass p(*dm);
        p.SetPolicy(name);
        p.SetHours1(hours1);
        p.SetRate1(rate1);
        p.SetHours2(hours2);
        p.SetRate2(rate2);
        EXPECT_TRUE(p.Save("ALICE")) << messages.last();
        p.Unlock("ALICE");
        return std::stoi(read("select PolicyID from OTPolicy where Policy = '" + name + "'"));
    }
    std::string policyRow(std::int32_t id)
    {
        return read("select Policy || '/' || Hours1 || '/' || Rate1 || '/' || Hours2 || '/' || Rate2 || '/' || "
                    "ifnull(LockedBy, '') from OTPolicy where PolicyID = " +
                    std::to_string(id));
    }
};

TEST_F(DepartmentPolicyWindowTest, ManagerWithATermDateShowsAsNoManager)
{
    const std::int32_t gone = addEmp("Gone", "Di", date(2020, 1, 1), date(2023, 1, 1));
    addEmp("Here", "Ed", date(2020, 1, 1));
    addDept("Sales", true, gone);
    openDepartments();
    EXPECT_EQ(combo("cboManagers")->indexOfText("Gone, Di"), -1);
    choose("cboDepts", "Sales");
    EXPECT_EQ(text("txtDeptName"), "Sales");
    EXPECT_EQ(combo("cboManagers")->currentIndex(), -1);
    EXPECT_TRUE(enabled("cmdDelete"));
    EXPECT_FALSE(enabled("cmdSave"));
}

TEST_F(DepartmentPolicyWindowTest, DeletingADepartmentLeavesItsEmployeesWithoutOne)
{
    const std::int32_t sales = addDept("Sales");
    const std::int32_t shop = addDept("Shop");
    addEmp("Adams", "Ann", date(2020, 1, 1), 0, sales);
    addEmp("Baker", "Bo", date(2020, 1, 1), 0, shop);
    openDepartments();
    choose("cboDepts", "Sales");
    click("cmdDelete"); // the scripted service answers Yes
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "Are you sure you want to delete this Department?");
    EXPECT_EQ(messages.shown()[0].helpContext, kDepartmentsHelpContext);
    EXPECT_EQ(read("select group_concat(LastName || '/' || DeptID) from Employee"),
              "Adams/0,Baker/" + std::to_string(shop));
    EXPECT_EQ(count("Dept"), 1);
    EXPECT_EQ(combo("cboDepts")->currentText(), "<New Department>");
    EXPECT_EQ(combo("cboDepts")->indexOfText("Sales"), -1);
}

TEST_F(DepartmentPolicyWindowTest, NewDepartmentTakesATenCharacterCode)
{
    addEmp("Adams", "Ann", date(2020, 1, 1));
    openDepartments();
    type("txtDeptName", "Sales");
    type("txtDeptCode", "ABCDEFGHIJKLMNO");
    EXPECT_EQ(text("txtDeptCode"), "ABCDEFGHIJ");
    choose("cboManagers", "Adams, Ann");
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select DeptName || '/' || DeptCode || '/' || ManagerID || '/' || ifnull(LockedBy, '') from Dept"),
              "Sales/ABCDEFGHIJ/1/");
    EXPECT_EQ(text("txtDeptName"), "");
}

TEST_F(DepartmentPolicyWindowTest, FailedSaveOfAStoredRowReleasesItForOtherCopies)
{
    addDept("Sales");
    const std::int32_t shop = addDept("Shop");
    openDepartments();
    choose("cboDepts", "Shop");
    type("txtDeptName", "SALES");
    click("cmdSave");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"This Department Name has already been used.  Please try "
                                                         "another one."});
    EXPECT_EQ(combo("cboDepts")->currentText(), "<New Department>");
    TDeptRecClass dept(second());
    dept.SetDeptID(shop);
    EXPECT_TRUE(dept.Lock("BOB")) << messages.last();

    addPolicy("Standard", 40, 1.5f);
    const std::int32_t daily = addPolicy("Daily", 8, 1.5f);
    messages.clear();
    openPolicies();
    choose("cboPolicies", "Daily");
    type("txtPolicy", "standard");
    click("cmdSave");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"This Policy Description has already been used.  Please try "
                                                         "another one."});
    TOTPolicyRecClass policy(second());
    policy.SetPolicyID(daily);
    EXPECT_TRUE(policy.Lock("BOB")) << messages.last();
}

TEST_F(DepartmentPolicyWindowTest, PolicyChecksRunInOrder)
{
    openPolicies();
    type("txtPolicy", "x");
    type("txtPolicy", "");
    click("cmdSave");
    type("txtPolicy", "Standard");
    click("cmdSave");
    type("txtHours1", "40");
    click("cmdSave");
    type("txtRate1", "1.5");
    click("chkOver2");
    click("cmdSave");
    type("txtHours2", "50");
    click("cmdSave");
    type("txtRate2", "2");
    click("cmdSave");
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{
                                    "Please enter a Description for this Policy.",
                                    "Please enter the Hours overtime begins for this Policy.",
                                    "Please enter an overtime Rate for this Policy.",
                                    "Please enter the Hours overtime begins for this portion of the Policy.",
                                    "Please enter an overtime Rate for this portion of the Policy.",
                                }));
    EXPECT_EQ(read("select Policy || '/' || WeeklyFlag || '/' || Hours1 || '/' || Rate1 || '/' || Hours2 || '/' || "
                   "Rate2 from OTPolicy"),
              "Standard/1/40.0/1.5/50.0/2.0");
}

TEST_F(DepartmentPolicyWindowTest, ClearingTheSecondLineOfAStoredPolicyStoresZeros)
{
    const std::int32_t id = addPolicy("Two tier", 40, 1.5f, 50, 2);
    openPolicies();
    choose("cboPolicies", "Two tier");
    EXPECT_TRUE(child<QCheckBox>("chkOver2")->isChecked());
    EXPECT_EQ(text("txtHours2"), "50.0");
    click("chkOver2");
    EXPECT_FALSE(enabled("txtHours2"));
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(policyRow(id), "Two tier/40.0/1.5/0.0/0.0/");
}

TEST_F(DepartmentPolicyWindowTest, ViewModeAllowsNoChange)
{
    const std::int32_t id = addPolicy("Standard", 40, 1.5f);
    openPolicies(id);
    EXPECT_EQ(combo("cboPolicies")->currentText(), "Standard");
    for (const char* name : {"cmdSave", "cmdDelete", "cboPolicies", "txtPolicy", "txtHours1", "chkOver2", "btnDaily"})
        EXPECT_FALSE(enabled(name)) << name;
    window->reject();
    EXPECT_EQ(policyRow(id), "Standard/40.0/1.5/0.0/0.0/");

    openPolicies(0);
    EXPECT_EQ(combo("cboPolicies")->currentText(), "<Default Policy>");
    EXPECT_EQ(text("txtHours1"), "40.0");
    EXPECT_EQ(text("txtRate1"), "1.50");
    EXPECT_FALSE(child<QCheckBox>("chkOver2")->isChecked());
}

} // namespace
} // namespace hv::test
