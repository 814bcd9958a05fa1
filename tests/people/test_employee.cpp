// The employee record: loading and saving with the row-lock protocol, the
// department manager kept in step, the delete with everything that belongs to
// the employee, the look-ups and the employee pick lists.
#include "PeopleFixture.h"
#include "people/TDept.h"
#include "people/TEmp.h"
#include "ports/MessageService.h"
#include "ports/PickList.h"

namespace hv::test {

const std::string kRecreate =
    "The Employee record no longer exists in the database.  Do you want to re-create the record?";
const std::string kLockedByAlice = "The Employee record is already locked by ALICE.  You may view the information "
                                   "but may not save any changes.\r\rPlease try your update again later.";

class EmployeeTest : public PeopleTest {
protected:
    std::int64_t addSmith(std::int64_t dept = 0)
    {
        return addEmp("Smith", "John", date(2020, 1, 6), 0, dept, true, "E1");
    }
    // One row in each of the seven tables that hold an employee's data.
    void addBelongings(std::int64_t empId)
    {
        const std::string id = std::to_string(empId);
        exec(*dm, "insert into Accrual (EmpID, ReasonID, AccruedHours, AccrualDate) values (" + id +
                      ", 1, 8, '2024-01-01')");
        exec(*dm, "insert into EmpField (EmpID, FieldID, FieldValue) values (" + id + ", 1, 'x')");
        exec(*dm, "insert into TimeOff (EmpID, WeekDate, ReasonID, Hours) values (" + id + ", '2024-03-12', 1, 8)");
        exec(*dm, "insert into Wage (EmpID, StartDate, Wage, PayTypeCode) values (" + id + ", '2024-01-01', 150000, 'H')");
        exec(*dm, "insert into EmpOT (EmpID, StartDate, PolicyID) values (" + id + ", '2024-01-01', 1)");
        exec(*dm, "insert into WorkDay (EmpID, WeekDate, SequenceNum) values (" + id + ", '2024-03-11', 0)");
        exec(*dm, "insert into HVUser (LoginID, EmpID) values ('user" + id + "', " + id + ")");
    }
    std::int64_t belongings(std::int64_t empId)
    {
        const std::string where = "EmpID = " + std::to_string(empId);
        std::int64_t n = 0;
        for (const char* t : {"Accrual", "EmpField", "TimeOff", "Wage", "EmpOT", "WorkDay", "HVUser"})
            n += count(t, where);
        return n;
    }
    // A loaded record of this copy, holding its row lock.
    std::unique_ptr<TEmployeeRecClass> loadLocked(std::int64_t id)
    {
        auto rec = std::make_unique<TEmployeeRecClass>(*dm);
        rec->SetEmpID(std::int32_t(id));
        EXPECT_TRUE(rec->LoadByID());
        EXPECT_TRUE(rec->Lock("ALICE"));
        return rec;
    }
};

// --- loading ---

TEST_F(EmployeeTest, LoadReadsTheRowAndClearRestoresTheDefaultsButKeepsTheKey)
{
    std::int64_t dept = addDept("Sales");
    std::int64_t id = addEmp("Smith", "John", date(2020, 1, 6), date(2024, 2, 29), dept, false, "E1", "BOB");
    engine::Table& t = dm->tblEmps;
    ASSERT_TRUE(t.findKey({engine::Value(id)}));
    t.edit();
    t.fieldByName("City").setAsString("Dayton");
    t.fieldByName("Comments").setAsString("Night shift"); // a memo, kept in the blob file
    t.fieldByName("EligibleFlag").setAsBoolean(false);
    t.post();

    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_EQ(rec.LastName(), "Smith");
    EXPECT_EQ(rec.FirstName(), "John");
    EXPECT_EQ(rec.EmpCode(), "E1");
    EXPECT_EQ(rec.StartDate(), date(2020, 1, 6));
    EXPECT_EQ(rec.EndDate(), date(2024, 2, 29));
    EXPECT_FALSE(rec.ActiveFlag());
    EXPECT_FALSE(rec.EligibleFlag());
    EXPECT_EQ(rec.DeptID(), dept);
    EXPECT_EQ(rec.City(), "Dayton");
    EXPECT_EQ(rec.Comments(), "Night shift");
    EXPECT_FALSE(rec.IsManager());
    EXPECT_EQ(rec.lockHolder(), "BOB");
    EXPECT_FALSE(rec.IsModified());

    rec.Clear();
    EXPECT_EQ(rec.EmpID(), id);
    EXPECT_EQ(rec.LastName(), "");
    EXPECT_EQ(rec.StartDate(), 0);
    EXPECT_TRUE(rec.ActiveFlag());
    EXPECT_TRUE(rec.EligibleFlag());
    EXPECT_EQ(rec.DeptID(), 0);
    EXPECT_EQ(rec.Comments(), "");
    EXPECT_EQ(rec.lockHolder(), "");
}

TEST_F(EmployeeTest, LoadLeavesNullDatesAtZeroAndFailsForAMissingRow)
{
    std::int64_t id = addEmp("Smith", "John");
    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_EQ(rec.StartDate(), 0);
    EXPECT_EQ(rec.EndDate(), 0);

    rec.SetEmpID(std::int32_t(id + 100));
    EXPECT_FALSE(rec.LoadByID());
}

TEST_F(EmployeeTest, LoadSetsIsManagerFromTheDepartment)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addSmith(sales);
    std::int64_t other = addSmith(sales);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(id));

    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_TRUE(rec.IsManager());
    rec.SetEmpID(std::int32_t(other));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_FALSE(rec.IsManager());

    // A department that is gone names nobody.
    exec(*dm, "delete from Dept");
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_FALSE(rec.IsManager());
}

// --- setters and locking ---

TEST_F(EmployeeTest, FirstChangeTakesTheRowLockAndAnotherCopyIsRefused)
{
    std::int64_t id = addSmith();
    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());

    rec.SetFirstName("John"); // the same value changes nothing
    EXPECT_FALSE(rec.IsModified());
    EXPECT_EQ(read("select LockedBy from Employee"), "<null>");

    rec.SetFirstName("Jack");
    EXPECT_TRUE(rec.IsModified());
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    EXPECT_EQ(read("select LockedBy from Employee"), "ALICE");

    actAs("BOB");
    TEmployeeRecClass bob(second());
    bob.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    EXPECT_FALSE(bob.Lock("BOB"));
    expectOnlyMessage(kLockedByAlice, MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_TRUE(bob.lockRefused());
}

TEST_F(EmployeeTest, ChangesOfACopyThatWasRefusedTheLockAreNotSaved)
{
    std::int64_t id = addSmith();
    auto alice = loadLocked(id);

    actAs("BOB");
    TEmployeeRecClass bob(second());
    bob.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    bob.SetLastName("Jones"); // the setter's lock attempt is refused
    EXPECT_TRUE(bob.IsModified());
    EXPECT_FALSE(bob.Save("BOB"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, kLockedByAlice);
    EXPECT_EQ(messages.shown()[1].text, "An error occurred saving the Employee record.  The record is locked by "
                                        "ALICE.\r\rPlease try your changes again later.");
    EXPECT_EQ(read("select LastName from Employee"), "Smith");
    EXPECT_EQ(read("select LockedBy from Employee"), "ALICE");
}

TEST_F(EmployeeTest, ANewEmployeeIsLockedInMemoryOnly)
{
    addSmith();
    TEmployeeRecClass rec(*dm);
    EXPECT_TRUE(rec.Lock("ALICE"));
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    EXPECT_EQ(read("select LockedBy from Employee"), "<null>");
    EXPECT_TRUE(rec.Unlock("ALICE"));
    EXPECT_EQ(rec.lockHolder(), "");
    EXPECT_TRUE(messages.shown().empty());
}

// --- saving ---

TEST_F(EmployeeTest, SavingANewEmployeeAppendsTheRowAndReadsItsKeyBack)
{
    TEmployeeRecClass rec(*dm);
    rec.SetLastName("Baker");
    rec.SetFirstName("Ann");
    rec.SetStartDate(date(2024, 3, 4));
    rec.SetComments("Part time");
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_FALSE(rec.IsModified());
    ASSERT_GT(rec.EmpID(), 0);
    const std::string where = " from Employee where EmpID = " + std::to_string(rec.EmpID());
    EXPECT_EQ(read("select LastName" + where), "Baker");
    EXPECT_EQ(read("select StartDate" + where), "2024-03-04");
    EXPECT_EQ(read("select EndDate" + where), "<null>");
    EXPECT_EQ(read("select LockedBy" + where), "");
    EXPECT_EQ(read("select ActiveFlag" + where), "1");

    TEmployeeRecClass again(second());
    again.SetEmpID(rec.EmpID());
    ASSERT_TRUE(again.LoadByID());
    EXPECT_EQ(again.Comments(), "Part time");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(EmployeeTest, SavingReleasesTheRowAndClearsADateSetToZero)
{
    std::int64_t id = addEmp("Smith", "John", date(2020, 1, 6), date(2024, 2, 29));
    auto rec = loadLocked(id);
    rec->SetEndDate(0);
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(read("select EndDate from Employee"), "<null>");
    EXPECT_EQ(read("select LockedBy from Employee"), "");
    EXPECT_EQ(count("Employee"), 1);
}

TEST_F(EmployeeTest, SavingAnUnmodifiedRecordWritesNothingEvenWhenItsRowIsGone)
{
    std::int64_t id = addSmith();
    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    exec(second(), "delete from Employee");
    EXPECT_TRUE(rec.Save("ALICE"));
    EXPECT_EQ(count("Employee"), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(EmployeeTest, ARowDeletedMeanwhileIsReCreatedOnYesWithItsNewKey)
{
    std::int64_t id = addSmith();
    auto rec = loadLocked(id);
    rec->SetPosition("Clerk");
    exec(second(), "delete from Employee");

    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rec->Save("ALICE"));
    expectOnlyMessage(kRecreate, MsgKind::Confirmation, MsgButtons::YesNo);
    ASSERT_EQ(count("Employee"), 1);
    EXPECT_EQ(read("select Position from Employee"), "Clerk");
    // The record follows its new row, so the next save updates it.
    EXPECT_EQ(std::to_string(rec->EmpID()), read("select EmpID from Employee"));
    EXPECT_NE(rec->EmpID(), id);
    rec->SetPosition("Lead");
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(read("select Position from Employee"), "Lead");
}

TEST_F(EmployeeTest, ARowDeletedMeanwhileStaysDeletedOnNo)
{
    std::int64_t id = addSmith();
    auto rec = loadLocked(id);
    rec->SetPosition("Clerk");
    exec(second(), "delete from Employee");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(kRecreate, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("Employee"), 0);
    EXPECT_TRUE(rec->IsModified());
}

TEST_F(EmployeeTest, AnEngineErrorWhilePostingIsReportedAndTheRecordStaysModified)
{
    blockWritesFromSecondCopy();
    std::string engineMessage;
    try {
        dm->tblEmps.append();
        dm->tblEmps.post();
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    dm->tblEmps.cancel();
    ASSERT_FALSE(engineMessage.empty());

    TEmployeeRecClass rec(*dm);
    rec.SetLastName("Baker");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred saving the record: " + engineMessage +
                                 "\r\rThe record was NOT saved."),
                      MsgKind::Warning);
    EXPECT_TRUE(rec.IsModified());
    EXPECT_EQ(rec.EmpID(), 0);
    EXPECT_EQ(dm->tblEmps.state(), engine::TableState::Browse);
    releaseSecondCopy();
    EXPECT_EQ(count("Employee"), 0);
}

// --- the department's manager ---

TEST_F(EmployeeTest, TickingAndClearingManagerSetsAndClearsTheDepartmentsManager)
{
    addDept("Other");
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addSmith(sales);
    const std::string manager = "select ManagerID from Dept where DeptID = " + std::to_string(sales);

    auto rec = loadLocked(id);
    rec->SetIsManager(true);
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(read(manager), std::to_string(id));
    EXPECT_EQ(read("select LockedBy from Dept where DeptID = " + std::to_string(sales)), "");
    EXPECT_EQ(read("select ManagerID from Dept where DeptName = 'Other'"), "0");

    rec = loadLocked(id);
    EXPECT_TRUE(rec->IsManager());
    rec->SetIsManager(false);
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(read(manager), "0");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(EmployeeTest, ADepartmentNamingAnotherManagerIsLeftAlone)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t boss = addEmp("Boss", "Big", date(2019, 1, 1), 0, sales);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(boss) + ", LockedBy = 'BOB'");
    std::int64_t id = addSmith(sales);

    auto rec = loadLocked(id);
    rec->SetPosition("Clerk"); // Manager stays clear
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(read("select ManagerID from Dept"), std::to_string(boss));
    EXPECT_EQ(read("select LockedBy from Dept"), "BOB");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(EmployeeTest, ADepartmentHeldByAnotherCopyFailsTheSaveWithTheLockMessage)
{
    std::int64_t sales = addDept("Sales", true, 0, {}, "BOB");
    std::int64_t id = addSmith(sales);
    auto rec = loadLocked(id);
    rec->SetIsManager(true);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage("The Department record is already locked by BOB.  You may view the information but may not "
                      "save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(read("select ManagerID from Dept"), "0");
    EXPECT_TRUE(rec->IsModified());
}

TEST_F(EmployeeTest, AnUnreadableDepartmentFailsTheSaveAfterTheEmployeeRowIsWritten)
{
    std::int64_t id = addSmith(42); // no such department
    auto rec = loadLocked(id);
    rec->SetPosition("Clerk");
    EXPECT_FALSE(rec->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(read("select Position from Employee"), "Clerk");
    EXPECT_TRUE(rec->IsModified());
}

// --- deleting ---

TEST_F(EmployeeTest, DeletingAManagerClearsTheDepartmentAndRemovesAllTheEmployeesRows)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addSmith(sales);
    std::int64_t keep = addEmp("Jones", "Kim", date(2021, 5, 3), 0, sales);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(id));
    addBelongings(id);
    addBelongings(keep);
    ASSERT_EQ(belongings(id), 7);

    auto rec = loadLocked(id);
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->EmpID(), 0);
    EXPECT_EQ(rec->LastName(), "");
    EXPECT_EQ(count("Employee", "EmpID = " + std::to_string(id)), 0);
    EXPECT_EQ(belongings(id), 0);
    EXPECT_EQ(read("select ManagerID from Dept"), "0");
    EXPECT_EQ(belongings(keep), 7);
    EXPECT_EQ(count("Employee"), 1);
}

TEST_F(EmployeeTest, AStatementFailingInTheMiddleOfTheDeleteLeavesEverythingInPlace)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addSmith(sales);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(id));
    addBelongings(id);
    // Wage rows refuse to go: the fifth statement fails after four have run.
    dm->HourvaneDB.exec("create temp trigger keep_wages before delete on Wage "
                        "begin select raise(abort, 'wage rows are kept'); end");
    engine::EngineError failure = errorOf("delete from Wage  where EmpID = " + std::to_string(id));

    auto rec = loadLocked(id);
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred deleting the Employee record: \r\r" +
                                 std::to_string(failure.code()) + " - " + failure.message() + "."),
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->EmpID(), id);
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(read("select LockedBy from Employee"), "ALICE");
    EXPECT_EQ(read("select ManagerID from Dept"), std::to_string(id));
    EXPECT_EQ(belongings(id), 7);
}

TEST_F(EmployeeTest, ADeleteThatCannotStartItsTransactionChangesNothing)
{
    std::int64_t id = addSmith();
    addBelongings(id);
    auto rec = loadLocked(id);
    blockWritesFromSecondCopy();
    engine::EngineError failure(0, "");
    try {
        dm->HourvaneDB.startTransaction();
        dm->HourvaneDB.rollback();
        ADD_FAILURE() << "the transaction was not blocked";
    } catch (const engine::EngineError& e) {
        failure = e;
    }

    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred deleting the Employee record: \r\r" +
                                 std::to_string(failure.code()) + " - " + failure.message() + "."),
                      MsgKind::Warning);
    releaseSecondCopy();
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(belongings(id), 7);
}

TEST_F(EmployeeTest, ARowHeldByAnotherCopyIsNotDeleted)
{
    std::int64_t id = addEmp("Smith", "John", date(2020, 1, 6), 0, 0, true, "", "BOB");
    addBelongings(id);
    TEmployeeRecClass rec(*dm);
    rec.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(belongings(id), 7);
}

TEST_F(EmployeeTest, DeletingARowThatIsGoneFailsWithoutAMessage)
{
    std::int64_t id = addSmith();
    auto rec = loadLocked(id);
    exec(second(), "delete from Employee");
    EXPECT_FALSE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(EmployeeTest, ADeleteInsideACallersTransactionLeavesTheCommitToTheCaller)
{
    std::int64_t id = addSmith();
    addBelongings(id);
    auto rec = loadLocked(id);
    dm->HourvaneDB.startTransaction();
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("Employee"), 1);
    EXPECT_EQ(belongings(id), 7);
}

// --- names and look-ups ---

TEST_F(EmployeeTest, FullNameHasTheCommaOnlyWhenBothPartsAreThere)
{
    TEmployeeRecClass rec(*dm);
    rec.SetFirstName("John");
    EXPECT_EQ(rec.FullName(), "John");
    rec.SetLastName("Smith");
    EXPECT_EQ(rec.FullName(), "Smith, John");
    rec.SetFirstName("");
    EXPECT_EQ(rec.FullName(), "Smith");
}

TEST_F(EmployeeTest, DepartmentNameIsNoDepartmentWithoutOneOrWhenItIsGone)
{
    std::int64_t sales = addDept("Sales");
    TEmployeeRecClass rec(*dm);
    EXPECT_EQ(rec.DepartmentName(), "<No Department>");
    rec.SetDeptID(std::int32_t(sales));
    EXPECT_EQ(rec.DepartmentName(), "Sales");
    exec(*dm, "delete from Dept");
    EXPECT_EQ(rec.DepartmentName(), "<No Department>");
}

TEST_F(EmployeeTest, EmployeesAreFoundByCodeAndByName)
{
    addEmp("Smith", "John", 0, 0, 0, true, "E1");
    std::int64_t ann = addEmp("Baker", "Ann", 0, 0, 0, true, "AB7");
    TEmployeeRecClass rec(*dm);
    rec.SetEmpCode("ab7");
    EXPECT_EQ(rec.FindIDByCode(), ann);
    rec.SetEmpCode("X9");
    EXPECT_EQ(rec.FindIDByCode(), 0);

    rec.SetLastName("baker");
    rec.SetFirstName("ann");
    EXPECT_EQ(rec.FindIDByName(), ann);
    rec.SetFirstName("Anne");
    EXPECT_EQ(rec.FindIDByName(), 0);
}

// --- pick lists ---

class EmployeeListTest : public EmployeeTest {
protected:
    std::vector<std::string> fill(EmployeeStatus status, bool withNew, bool activeOnly, double asOf = 0)
    {
        MemoryPickList list(PickListKind::DropDown);
        TEmployeeRecClass(*dm).FillEmployeeList(list, status, withNew, activeOnly, asOf);
        return list.texts();
    }
    using Names = std::vector<std::string>;
};

TEST_F(EmployeeListTest, EntriesAreLastCommaFirstInNameOrderWithTheirIds)
{
    std::int64_t smith = addEmp("smith", "Zed");
    addEmp("Baker", "");
    addEmp("", "Cher");
    addEmp("Smith", "Adam");

    MemoryPickList list(PickListKind::DropDown);
    TEmployeeRecClass(*dm).FillEmployeeList(list, EmployeeStatus::All, true, false);
    EXPECT_EQ(list.texts(), (Names{"<New Employee>", ", Cher", "Baker, ", "Smith, Adam", "smith, Zed"}));
    EXPECT_EQ(list.id(0), 0);
    EXPECT_EQ(list.id(4), smith);
}

TEST_F(EmployeeListTest, StatusAndActiveOnlyChooseTheEmployees)
{
    addEmp("Current", "A", date(2020, 1, 1));
    addEmp("Former", "B", date(2020, 1, 1), date(2023, 6, 30));
    addEmp("Resting", "C", date(2020, 1, 1), 0, 0, false);

    EXPECT_EQ(fill(EmployeeStatus::Current, false, false), (Names{"Current, A", "Resting, C"}));
    EXPECT_EQ(fill(EmployeeStatus::Former, false, false), (Names{"Former, B"}));
    EXPECT_EQ(fill(EmployeeStatus::All, false, false), (Names{"Current, A", "Former, B", "Resting, C"}));
    EXPECT_EQ(fill(EmployeeStatus::Current, false, true), (Names{"Current, A"}));
}

TEST_F(EmployeeListTest, AnAsOfDateListsTheEmployeesOfItsSevenDayWeek)
{
    const double d = date(2024, 3, 16);
    addEmp("EndedSixDaysBefore", "", date(2020, 1, 1), d - 6);
    addEmp("EndedSevenDaysBefore", "", date(2020, 1, 1), d - 7);
    addEmp("StartsAfter", "", d + 1);
    addEmp("StartsThatDay", "", d);
    addEmp("Resting", "", date(2020, 1, 1), 0, 0, false);

    // The status plays no part with an as-of date.
    EXPECT_EQ(fill(EmployeeStatus::Current, false, false, d),
              (Names{"EndedSixDaysBefore, ", "Resting, ", "StartsThatDay, "}));
    EXPECT_EQ(fill(EmployeeStatus::Former, true, true, d),
              (Names{"<New Employee>", "EndedSixDaysBefore, ", "StartsThatDay, "}));
}

TEST_F(EmployeeListTest, RefillingReplacesTheOldEntries)
{
    addEmp("Smith", "John");
    MemoryPickList list(PickListKind::DropDown);
    TEmployeeRecClass rec(*dm);
    rec.FillEmployeeList(list, EmployeeStatus::All, true, false);
    rec.FillEmployeeList(list, EmployeeStatus::All, false, false);
    EXPECT_EQ(list.texts(), (Names{"Smith, John"}));
}

TEST_F(EmployeeListTest, EmployeesForAPeriodAreThoseEmployedInItByDepartment)
{
    std::int64_t sales = addDept("Sales");
    const double s = date(2024, 3, 1), e = date(2024, 3, 31);
    std::int64_t endsOnStart = addEmp("EndsOnStart", "", date(2020, 1, 1), s, sales);
    addEmp("EndedBefore", "", date(2020, 1, 1), s - 1, sales);
    addEmp("StartsOnEnd", "", e, 0, sales);
    addEmp("StartsAfter", "", e + 1, 0, sales);
    addEmp("Elsewhere", "", date(2020, 1, 1), 0, 0);

    MemoryPickList list(PickListKind::StringList);
    TEmployeeRecClass rec(*dm);
    rec.FillEmployeesForPeriod(list, std::int32_t(sales), e, s);
    EXPECT_EQ(list.texts(), (Names{"EndsOnStart, ", "StartsOnEnd, "}));
    ASSERT_NE(list.object(0), nullptr);
    EXPECT_EQ(list.object(0)->ID(), endsOnStart);

    rec.FillEmployeesForPeriod(list, -1, e, s);
    EXPECT_EQ(list.texts(), (Names{"Elsewhere, ", "EndsOnStart, ", "StartsOnEnd, "}));
}

TEST_F(EmployeeListTest, EmployeesOfADepartmentByStatusRegardlessOfActive)
{
    std::int64_t sales = addDept("Sales");
    addEmp("Current", "", date(2020, 1, 1), 0, sales, false);
    addEmp("Former", "", date(2020, 1, 1), date(2023, 1, 1), sales);
    addEmp("Nowhere", "", date(2020, 1, 1), 0, 0);

    MemoryPickList list(PickListKind::ListBox);
    TEmployeeRecClass rec(*dm);
    rec.FillEmployeesOfDepartment(list, EmployeeStatus::Current, std::int32_t(sales));
    EXPECT_EQ(list.texts(), (Names{"Current, "}));
    rec.FillEmployeesOfDepartment(list, EmployeeStatus::All, std::int32_t(sales));
    EXPECT_EQ(list.texts(), (Names{"Current, ", "Former, "}));
    rec.FillEmployeesOfDepartment(list, EmployeeStatus::All, 0);
    EXPECT_EQ(list.texts(), (Names{"Nowhere, "}));
}

} // namespace hv::test
