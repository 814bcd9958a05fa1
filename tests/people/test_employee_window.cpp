// The Employees window built for real: a new employee, switching with
// unsaved changes, departments, manager access for wages, the stored filter,
// date typing, the all-or-nothing save and the history sections.
#include "tests/people/PeopleWindowsFixture.h"

#include "platform/SettingsFile.h"
#include "widgets/WindowUtil.h"

#include <QHeaderView>
#include <QStackedWidget>

namespace hv::test {
namespace {

const char* const kModified = "This employee record has been modified.  Do you want to save your changes?";

class EmployeeWindowTest : public PeopleWindowTest {
protected:
    std::string shown(double day) { return FormatDateTime("m/d/yyyy", day); }
    std::string empWhere(std::int32_t emp) { return " from Employee where EmpID = " + std::to_string(emp); }
};

TEST_F(EmployeeWindowTest, NewEmployeeWithOnlyALastNameAndThePrefilledStartDateSaves)
{
    openEmployees();
    EXPECT_EQ(combo("cboEmps")->currentText(), "<New Employee>");
    EXPECT_EQ(text("txtStartDate"), "5/20/2024");
    EXPECT_FALSE(enabled("cmdSave"));
    type("txtLastName", "Baker");
    ASSERT_TRUE(enabled("cmdSave"));
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select LastName || '/' || FirstName || '/' || StartDate || '/' || ifnull(LockedBy, '') from "
                   "Employee"),
              "Baker//2024-05-20/");
    EXPECT_EQ(combo("cboEmps")->currentText(), "<New Employee>");
    EXPECT_EQ(combo("cboEmps")->indexOfText("Baker, "), 1);
    EXPECT_EQ(text("txtLastName"), "");
}

TEST_F(EmployeeWindowTest, ANewEmployeeSavedOnTheQuestionKeepsThePrefilledStartDate)
{
    addEmp("Adams", "Ann", date(2020, 1, 1));
    openEmployees();
    type("txtLastName", "Baker");
    messages.answer(MsgResult::Yes);
    choose("cboEmps", "Adams, Ann");
    EXPECT_EQ(messages.last(), kModified);
    EXPECT_EQ(read("select ifnull(StartDate, '<none>') from Employee where LastName = 'Baker'"), "2024-05-20");
}

TEST_F(EmployeeWindowTest, SwitchingWithChangesAndCancelOrAFailedSaveKeepsTheShownEmployeeSelected)
{
    addEmp("Adams", "Ann", date(2020, 1, 1));
    const std::int32_t cher = addEmp("", "Cher", date(2020, 1, 1)); // no last name: FullName has no comma
    openEmployees();
    choose("cboEmps", ", Cher");
    type("txtPosition", "Singer");

    messages.answer(MsgResult::Cancel);
    choose("cboEmps", "Adams, Ann");
    EXPECT_EQ(messages.last(), kModified);
    EXPECT_EQ(combo("cboEmps")->SelectedID(), cher);
    EXPECT_EQ(text("txtFirstName"), "Cher");
    EXPECT_EQ(text("txtPosition"), "Singer");

    // Yes with a save that fails (no name left) keeps it as well.
    type("txtFirstName", "");
    messages.clear();
    messages.answer(MsgResult::Yes);
    choose("cboEmps", "Adams, Ann");
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{kModified, "Please enter a name for this employee."}));
    EXPECT_EQ(combo("cboEmps")->SelectedID(), cher);
    EXPECT_EQ(read("select ifnull(Position, '')" + empWhere(cher)), "");
}

TEST_F(EmployeeWindowTest, InactiveDepartmentStillShowsAndManagerFollowsTheDepartment)
{
    const std::int32_t old = addDept("Old", false);
    addDept("Sales");
    const std::int32_t emp = addEmp("Adams", "Ann", date(2020, 1, 1), 0, old);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(emp) + " where DeptID = " + std::to_string(old));
    openEmployees();
    EXPECT_EQ(combo("cboDepts")->indexOfText("Old"), -1); // only active departments are offered
    choose("cboEmps", "Adams, Ann");
    EXPECT_EQ(combo("cboDepts")->currentText(), "Old");
    EXPECT_TRUE(child<QCheckBox>("chkManager")->isChecked());
    choose("cboDepts", "<No Department>");
    EXPECT_FALSE(child<QCheckBox>("chkManager")->isChecked());
    EXPECT_FALSE(enabled("chkManager"));
}

TEST_F(EmployeeWindowTest, WagesWithoutManagerAccessAskThenStayOnTheSection)
{
    TfrmEmp& w = openEmployees();
    passwords.answer(false);
    click("navWages");
    EXPECT_EQ(passwords.accessRuns, 1);
    EXPECT_EQ(messages.last(), "You must enable Manager Access to view and edit Employee Wage records.");
    EXPECT_EQ(w.shownSection(), TfrmEmp::BasicData);
    EXPECT_EQ(w.helpContext(), kBasicDataHelpContext);
    EXPECT_EQ(child<QStackedWidget>("pnlSections")->currentWidget()->objectName(), "pnlBasicData");

    passwords.answer(true);
    click("navWages");
    EXPECT_EQ(w.shownSection(), TfrmEmp::Wages);
    EXPECT_EQ(w.helpContext(), kWagesHelpContext);
    EXPECT_TRUE(enabled("pnlWages"));
    EXPECT_FALSE(enabled("pnlBasicData"));
}

TEST_F(EmployeeWindowTest, ClosingStoresTheFilterForTheNextOpening)
{
    addEmp("Gone", "Di", date(2020, 1, 1), date(2023, 1, 1));
    addEmp("Here", "Ed", date(2020, 1, 1));
    openEmployees();
    EXPECT_EQ(combo("cboEmpType")->currentText(), "All"); // nothing stored yet
    choose("cboEmpType", "Former");
    EXPECT_EQ(combo("cboEmps")->count(), 2); // "<New Employee>" and Gone
    window->reject();
    EXPECT_EQ(SettingsFile("Hourvane3.ini").read("Initialization", "EmployeeInclude", ""), "2");
    openEmployees();
    EXPECT_EQ(combo("cboEmpType")->currentText(), "Former");
    EXPECT_EQ(combo("cboEmps")->text(1), "Gone, Di");
}

// Every column of the history grids shows, on the first opening (sections laid
// out while hidden) and after a width of 0 was stored, and the header spans the grid.
TEST_F(EmployeeWindowTest, HistoryGridsShowEveryColumnWhateverWidthsWereStored)
{
    appState().managerAccess = true;
    ASSERT_TRUE(SettingsFile("Hourvane3.ini").write("Hourvane 3", "WagesSettings", "83,51,81,81,0"));
    for (int opening = 0; opening < 2; ++opening) {
        TfrmEmp& w = openEmployees();
        for (auto [section, name] : {std::pair{TfrmEmp::Wages, "grdWages"}, {TfrmEmp::Accruals, "grdAccruals"}}) {
            ASSERT_TRUE(w.ShowSection(section));
            QApplication::processEvents(); // the section is laid out
            auto* grid = child<TQVGrid>(name);
            QHeaderView* header = grid->header();
            int total = 0;
            for (int i = 0; i < header->count(); ++i) {
                EXPECT_GE(header->sectionSize(i), MinColumnWidth()) << name << " section " << i;
                EXPECT_FALSE(grid->isColumnHidden(i));
                EXPECT_GT(grid->columnWidth(i), 0) << name << " column " << i;
                total += header->sectionSize(i);
            }
            EXPECT_EQ(total, header->width()) << name;
            EXPECT_EQ(header->width(), grid->QWidget::width()) << name;
        }
        window->reject(); // stores the widths the next opening reads
    }
}

TEST_F(EmployeeWindowTest, TypedTextThatIsNoDateGetsTheDateMessageAndStoresNothing)
{
    addEmp("Adams", "Ann", date(2020, 1, 1));
    TfrmEmp& w = openEmployees();
    choose("cboEmps", "Adams, Ann");
    type("txtStartDate", "13/45/2024");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Please enter a valid date, for example 5/20/2024."});
    EXPECT_EQ(w.employee().StartDate(), date(2020, 1, 1));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "txtStartDate");
}

TEST_F(EmployeeWindowTest, LeavingByTheFilterAsksReleasesTheLockAndResets)
{
    const std::int32_t emp = addEmp("Adams", "Ann", date(2020, 1, 1));
    openEmployees();
    choose("cboEmpType", "Current");
    choose("cboEmps", "Adams, Ann");
    type("txtPosition", "Clerk");
    EXPECT_EQ(read("select LockedBy" + empWhere(emp)), "ALICE");

    messages.answer(MsgResult::Cancel);
    choose("cboEmpType", "Former"); // Adams drops out of the list
    EXPECT_EQ(messages.last(), kModified);
    EXPECT_EQ(combo("cboEmpType")->currentText(), "Current");
    EXPECT_EQ(combo("cboEmps")->currentText(), "Adams, Ann");

    messages.answer(MsgResult::No);
    choose("cboEmpType", "Former");
    EXPECT_EQ(combo("cboEmps")->currentText(), "<New Employee>");
    EXPECT_EQ(text("txtPosition"), "");
    TEmployeeRecClass other(second());
    other.SetEmpID(emp);
    EXPECT_TRUE(other.Lock("BOB")) << messages.last();
    EXPECT_EQ(read("select ifnull(Position, '')" + empWhere(emp)), "");
}

// --- one transaction for the employee and its histories ---

TEST_F(EmployeeWindowTest, NewManagerOfADepartmentAnotherCopyHoldsFailsWholeAndSavesOnceWhenFree)
{
    const std::int32_t sales = addDept("Sales", true, 0, {}, "BOB");
    addReasonRow(*dm, {.name = "Vacation", .code = "V", .policy = true});
    exec(*dm, "insert into Field (FieldDesc, ActiveFlag) values ('Badge', 1)");
    appState().managerAccess = true;
    TfrmEmp& w = openEmployees();
    type("txtLastName", "Baker");
    w.ShowSection(TfrmEmp::CustomData); // no button leads there in this edition
    type("txtOther0", "B7");
    click("navBasicData");
    choose("cboDepts", "Sales");
    click("chkManager");
    click("navWages");
    type("txtWage", "12.50");
    type("txtWageStartDate", "5/20/2024");
    click("cmdAddWage");
    click("navBenefitAccruals");
    choose("cboBenefits", "Vacation");
    type("txtAccruedHours", "8");
    type("txtAsOfDate", "5/20/2024");
    click("cmdAccrualAdd");
    ASSERT_TRUE(messages.shown().empty()) << messages.last();

    click("cmdSave");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{lockMessage("Department", "BOB")});
    EXPECT_EQ(count("Employee"), 0);
    EXPECT_EQ(count("Wage"), 0);
    EXPECT_EQ(count("EmpField"), 0);
    EXPECT_EQ(w.employee().EmpID(), 0);
    EXPECT_TRUE(enabled("cmdSave"));

    exec(second(), "update Dept set LockedBy = '' where DeptID = " + std::to_string(sales));
    messages.clear();
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    const std::string emp = read("select EmpID from Employee where LastName = 'Baker'");
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(read("select count(*) || '/' || min(StartDate) || '/' || min(Wage) from Wage where EmpID = " + emp),
              "1/2024-05-20/125000");
    EXPECT_EQ(read("select count(*) || '/' || min(AccruedHours) from Accrual where EmpID = " + emp), "1/8.0");
    EXPECT_EQ(read("select count(*) || '/' || min(FieldValue) from EmpField where EmpID = " + emp), "1/B7");
    EXPECT_EQ(read("select ManagerID || '/' || ifnull(LockedBy, '') from Dept"), emp + "/");
}

TEST_F(EmployeeWindowTest, ExistingEmployeeWhoseWageAnotherCopyHoldsKeepsItsOldNameUntilTheRetry)
{
    const std::int32_t emp = addEmp("Adams", "Ann", date(2020, 1, 1));
    addWage(emp, date(2021, 1, 1), 0, 10);
    exec(*dm, "update Wage set LockedBy = 'BOB'");
    openEmployees();
    choose("cboEmps", "Adams, Ann");
    type("txtFirstName", "Anne");
    click("cmdSave");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{lockMessage("Employee Wage", "BOB")});
    EXPECT_EQ(read("select FirstName || '/' || LockedBy" + empWhere(emp)), "Ann/ALICE");
    EXPECT_TRUE(static_cast<TfrmEmp&>(*window).employee().IsModified());

    exec(second(), "update Wage set LockedBy = ''");
    messages.clear();
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select FirstName || '/' || ifnull(LockedBy, '')" + empWhere(emp)), "Anne/");
    EXPECT_EQ(read("select count(*) || '/' || ifnull(max(LockedBy), '') from Wage"), "1/");
}

// --- the history sections ---

TEST_F(EmployeeWindowTest, WagesChainTheirEndDatesByDate)
{
    addEmp("Adams", "Ann", date(2020, 1, 1));
    appState().managerAccess = true;
    openEmployees();
    choose("cboEmps", "Adams, Ann");
    click("navWages");
    const auto addWageAt = [&](const char* day) {
        type("txtWage", "10");
        picker.answer(std::string(day));
        click("spdWageStartDate");
        click("cmdAddWage");
    };
    addWageAt("3/1/2023");
    addWageAt("6/1/2023");
    EXPECT_EQ(rows("grdWages", 4),
              (std::vector<std::string>{"$10.00|Hour|6/1/2023|", "$10.00|Hour|3/1/2023|5/31/2023"}));

    addWageAt("4/1/2023");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"The Wage Start Date must occur after the current wage Start "
                                                         "Date."});
    EXPECT_EQ(child<QPushButton>("cmdAddWage")->text(), "&Add");

    // Deleting the current wage hands its (empty) end date to the previous one.
    doubleClickRow("grdWages", 0);
    EXPECT_EQ(child<QPushButton>("cmdAddWage")->text(), "&Update");
    click("cmdDeleteWage");
    EXPECT_EQ(rows("grdWages", 4), std::vector<std::string>{"$10.00|Hour|3/1/2023|"});

    // With a single wage an earlier one is taken, ending the day before it.
    messages.clear();
    addWageAt("1/1/2023");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(rows("grdWages", 4),
              (std::vector<std::string>{"$10.00|Hour|3/1/2023|", "$10.00|Hour|1/1/2023|2/28/2023"}));
    // Moving a wage onto another's day would give two rows one key.
    doubleClickRow("grdWages", 1);
    picker.answer(std::string("3/1/2023"));
    click("spdWageStartDate");
    click("cmdAddWage");
    EXPECT_EQ(messages.last(), "The Wage Start Date must occur after the current wage Start Date.");
}

TEST_F(EmployeeWindowTest, DeletingTheCurrentStoredWageGivesThePreviousItsEndDate)
{
    const std::int32_t emp = addEmp("Adams", "Ann", date(2020, 1, 1));
    addWage(emp, date(2023, 1, 1), date(2023, 5, 31), 10);
    addWage(emp, date(2023, 6, 1), date(2023, 12, 31), 12);
    appState().managerAccess = true;
    openEmployees();
    choose("cboEmps", "Adams, Ann");
    click("navWages");
    doubleClickRow("grdWages", 1);
    EXPECT_FALSE(enabled("cmdDeleteWage")); // only the current wage
    doubleClickRow("grdWages", 0);
    click("cmdDeleteWage");
    click("cmdSave");
    EXPECT_EQ(read("select group_concat(StartDate || '/' || ifnull(EndDate, '-')) from Wage"), "2023-01-01/2023-12-31");
}

TEST_F(EmployeeWindowTest, ChoosingABenefitInTheGridUpdatesItAndClosingWithNoStoresNothing)
{
    const std::int32_t vacation = addReasonRow(*dm, {.name = "Vacation", .code = "V", .policy = true});
    const std::int32_t emp = addEmp("Adams", "Ann", date(2020, 1, 1));
    exec(*dm, "insert into Accrual (EmpID, ReasonID, AccrualDate, AccruedHours) values (" + std::to_string(emp) + ", " +
                  std::to_string(vacation) + ", '2024-01-01', 16.0)");
    appState().managerAccess = true;
    openEmployees();
    choose("cboEmps", "Adams, Ann");
    click("navBenefitAccruals");
    choose("cboBenefits", "Vacation");
    EXPECT_EQ(child<QPushButton>("cmdAccrualAdd")->text(), "&Update");
    EXPECT_TRUE(enabled("cmdAccrualDelete"));
    EXPECT_EQ(text("txtAccruedHours"), "16.00");
    EXPECT_EQ(text("txtAsOfDate"), "1/1/2024");
    type("txtAccruedHours", "24");
    click("cmdAccrualAdd");
    EXPECT_EQ(rows("grdAccruals", 3), std::vector<std::string>{"Vacation|24.00|1/1/2024"});

    messages.answer(MsgResult::No);
    window->reject();
    EXPECT_EQ(messages.last(), kModified);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(read("select AccruedHours || '/' || ifnull(LockedBy, '') from Accrual"), "16.0/");
    EXPECT_EQ(read("select ifnull(LockedBy, '')" + empWhere(emp)), "");
}

} // namespace
} // namespace hv::test
