// The department record: look-ups, the save with its duplicate-name refusal,
// the delete that leaves the employees without a department, the manager's
// name and the department pick lists.
#include "PeopleFixture.h"
#include "people/TDept.h"
#include "people/TEmp.h"
#include "ports/MessageService.h"
#include "ports/PickList.h"

namespace hv::test {

const std::string kDuplicateName = "This Department Name has already been used.  Please try another one.";

class DepartmentTest : public PeopleTest {
protected:
    std::unique_ptr<TDeptRecClass> loadLocked(std::int64_t id)
    {
        auto rec = std::make_unique<TDeptRecClass>(*dm);
        rec->SetDeptID(std::int32_t(id));
        EXPECT_TRUE(rec->LoadByID());
        EXPECT_TRUE(rec->Lock("ALICE"));
        return rec;
    }
    using Names = std::vector<std::string>;
};

// --- loading ---

TEST_F(DepartmentTest, LoadByIdReadsTheRow)
{
    std::int64_t id = addDept("Sales", false, 12, "S1", "BOB");
    TDeptRecClass rec(*dm);
    rec.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_EQ(rec.DeptName(), "Sales");
    EXPECT_EQ(rec.DeptCode(), "S1");
    EXPECT_FALSE(rec.ActiveFlag());
    EXPECT_EQ(rec.ManagerID(), 12);
    EXPECT_EQ(rec.lockHolder(), "BOB");

    rec.SetDeptID(std::int32_t(id + 1));
    EXPECT_FALSE(rec.LoadByID());
    EXPECT_EQ(rec.DeptName(), "");
    EXPECT_TRUE(rec.ActiveFlag());
}

TEST_F(DepartmentTest, LoadByNameIgnoresCaseAndKeepsTheSearchedText)
{
    std::int64_t id = addDept("Sales", true, 0, "S1");
    TDeptRecClass rec(*dm);
    rec.SetDeptName("SALES");
    ASSERT_TRUE(rec.LoadByName());
    EXPECT_EQ(rec.DeptID(), id);
    EXPECT_EQ(rec.DeptName(), "SALES");
    EXPECT_EQ(rec.DeptCode(), "S1");
    EXPECT_FALSE(rec.IsModified());

    rec.SetDeptName("Shipping");
    EXPECT_FALSE(rec.LoadByName());
}

TEST_F(DepartmentTest, LoadByCodeFindsACodeWithAQuoteAndSwitchesTheFilterOffAgain)
{
    addDept("Finance", true, 0, "F1");
    std::int64_t id = addDept("Irish Desk", true, 0, "O'B");
    TDeptRecClass rec(*dm);
    rec.SetDeptCode("O'B");
    ASSERT_TRUE(rec.LoadByCode());
    EXPECT_EQ(rec.DeptID(), id);
    EXPECT_EQ(rec.DeptName(), "Irish Desk");
    EXPECT_EQ(rec.DeptCode(), "O'B");
    EXPECT_FALSE(dm->tblDepts.filtered());

    rec.SetDeptCode("Z'");
    EXPECT_FALSE(rec.LoadByCode());
    EXPECT_FALSE(dm->tblDepts.filtered());
    EXPECT_EQ(dm->tblDepts.recordCount(), 2);
    EXPECT_TRUE(messages.shown().empty());
}

// --- locking ---

TEST_F(DepartmentTest, FirstChangeTakesTheLockAndAnotherCopyIsRefusedUntilTheSave)
{
    std::int64_t id = addDept("Sales");
    TDeptRecClass rec(*dm);
    rec.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    rec.SetActiveFlag(true); // unchanged: no lock
    EXPECT_EQ(read("select LockedBy from Dept"), "<null>");
    rec.SetDeptCode("S1");
    EXPECT_EQ(read("select LockedBy from Dept"), "ALICE");

    actAs("BOB");
    TDeptRecClass bob(second());
    bob.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    EXPECT_FALSE(bob.Lock("BOB"));
    expectOnlyMessage("The Department record is already locked by ALICE.  You may view the information but may "
                      "not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);

    actAs("ALICE");
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_EQ(read("select DeptCode from Dept"), "S1");
    EXPECT_EQ(read("select LockedBy from Dept"), "");
    TDeptRecClass later(second());
    later.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(later.LoadByID());
    EXPECT_TRUE(later.Lock("BOB"));
}

// Another copy saves between our read and our first change: our lock must not
// let a later save write the values shown over that save.
TEST_F(DepartmentTest, AChangeToARowAnotherCopySavedSinceItWasReadIsRefused)
{
    std::int64_t id = addDept("Sales");
    TDeptRecClass rec(*dm);
    rec.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());

    actAs("BOB");
    TDeptRecClass bob(second());
    bob.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    bob.SetDeptCode("B7");
    ASSERT_TRUE(bob.Save("BOB"));

    actAs("ALICE");
    rec.SetDeptName("Sales East");
    EXPECT_NE(rec.lockHolder(), "ALICE");
    EXPECT_FALSE(rec.Save("ALICE"));
    EXPECT_EQ(read("select DeptName || '/' || DeptCode || '/' || LockedBy from Dept"), "Sales/B7/");
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().front().text,
              "The Department record has been changed by another user.  You may view the information but may not "
              "save any changes.\r\rPlease select the record again to enter your changes.");

    // Read again, the record takes the lock and saves; its own save does not
    // count as another copy's change when it is edited once more.
    ASSERT_TRUE(rec.LoadByID());
    rec.SetDeptName("Sales East");
    ASSERT_TRUE(rec.Save("ALICE"));
    rec.SetDeptName("Sales West");
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_EQ(read("select DeptName || '/' || DeptCode from Dept"), "Sales West/B7");
}

// --- saving ---

TEST_F(DepartmentTest, SavingANewDepartmentAppendsItWithoutReadingItsKeyBack)
{
    TDeptRecClass rec(*dm);
    rec.SetDeptName("Shipping");
    rec.SetDeptCode("SH");
    rec.SetActiveFlag(false);
    rec.SetManagerID(5);
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_FALSE(rec.IsModified());
    EXPECT_EQ(rec.DeptID(), 0);
    EXPECT_EQ(read("select DeptName || '|' || DeptCode || '|' || ActiveFlag || '|' || ManagerID || '|' || "
                   "LockedBy from Dept"),
              "Shipping|SH|0|5|");
}

TEST_F(DepartmentTest, SavingAnUnmodifiedDepartmentWritesNothing)
{
    std::int64_t id = addDept("Sales");
    TDeptRecClass rec(*dm);
    rec.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    exec(second(), "delete from Dept");
    EXPECT_TRUE(rec.Save("ALICE"));
    EXPECT_EQ(count("Dept"), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(DepartmentTest, ANameDifferingOnlyInCaseIsRefusedAsADuplicate)
{
    addDept("Sales");
    TDeptRecClass rec(*dm);
    rec.SetDeptName("sales");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(kDuplicateName, MsgKind::Information);
    EXPECT_TRUE(rec.IsModified());
    EXPECT_EQ(dm->tblDepts.state(), engine::TableState::Browse);
    EXPECT_EQ(count("Dept"), 1);

    // Renaming an existing department likewise.
    std::int64_t id = addDept("Shipping");
    messages.clear();
    auto other = loadLocked(id);
    other->SetDeptName("SALES");
    EXPECT_FALSE(other->Save("ALICE"));
    expectOnlyMessage(kDuplicateName, MsgKind::Information);
    EXPECT_EQ(read("select DeptName from Dept where DeptID = " + std::to_string(id)), "Shipping");
}

TEST_F(DepartmentTest, ARowDeletedMeanwhileIsReCreatedOnYesAndNotOnNo)
{
    const std::string question =
        "This Department record no longer exists in the database.  Do you want to re-create the record?";
    std::int64_t id = addDept("Sales");
    auto rec = loadLocked(id);
    rec->SetDeptCode("S1");
    exec(second(), "delete from Dept");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("Dept"), 0);

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rec->Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(read("select DeptName || '|' || DeptCode from Dept"), "Sales|S1");
}

TEST_F(DepartmentTest, AnotherEngineErrorWhilePostingIsReported)
{
    blockWritesFromSecondCopy();
    std::string engineMessage;
    try {
        addDept("Probe");
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    dm->tblDepts.cancel();
    ASSERT_FALSE(engineMessage.empty());

    TDeptRecClass rec(*dm);
    rec.SetDeptName("Shipping");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred saving the record: " + engineMessage +
                                 "\r\rThe record was NOT saved."),
                      MsgKind::Warning);
    EXPECT_TRUE(rec.IsModified());
    releaseSecondCopy();
    EXPECT_EQ(count("Dept"), 0);
}

// --- deleting ---

TEST_F(DepartmentTest, DeletingLeavesItsEmployeesAndOnlyThemWithoutADepartment)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t shipping = addDept("Shipping");
    addEmp("Smith", "John", 0, 0, sales);
    addEmp("Baker", "Ann", 0, 0, sales);
    addEmp("Cole", "Ben", 0, 0, shipping);

    auto rec = loadLocked(sales);
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->DeptID(), 0);
    EXPECT_EQ(rec->DeptName(), "");
    EXPECT_EQ(count("Dept"), 1);
    EXPECT_EQ(count("Employee", "DeptID = 0"), 2);
    EXPECT_EQ(count("Employee", "DeptID = " + std::to_string(shipping)), 1);
}

TEST_F(DepartmentTest, AFailingEmployeeUpdateKeepsTheDepartmentAndItsEmployees)
{
    std::int64_t sales = addDept("Sales");
    addEmp("Smith", "John", 0, 0, sales);
    dm->HourvaneDB.exec("create temp trigger keep_departments before update of DeptID on Employee "
                        "begin select raise(abort, 'employees keep their department'); end");
    const std::string statement = "update Employee set DeptID = 0 where DeptID = " + std::to_string(sales);
    engine::EngineError failure = errorOf(statement);

    auto rec = loadLocked(sales);
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred deleting the Department record: \r\r" +
                                 std::to_string(failure.code()) + " - " + failure.message() + "."),
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Dept"), 1);
    EXPECT_EQ(count("Employee", "DeptID = " + std::to_string(sales)), 1);
}

TEST_F(DepartmentTest, DeletingADepartmentThatIsGoneSaysSo)
{
    std::int64_t id = addDept("Sales");
    auto rec = loadLocked(id);
    exec(second(), "delete from Dept");
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage("The Department record has been deleted by another user.", MsgKind::Information);
}

TEST_F(DepartmentTest, ADepartmentHeldByAnotherCopyIsNotDeleted)
{
    std::int64_t id = addDept("Sales", true, 0, {}, "BOB");
    TDeptRecClass rec(*dm);
    rec.SetDeptID(std::int32_t(id));
    ASSERT_TRUE(rec.LoadByID());
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Dept"), 1);
}

// --- the manager's name ---

TEST_F(DepartmentTest, ManagerNameIsTheEmployeesFullNameOrNoManager)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addEmp("Smith", "John", date(2020, 1, 6), 0, sales);
    TDeptRecClass dept(*dm);
    dept.SetDeptID(std::int32_t(sales));
    ASSERT_TRUE(dept.LoadByID());
    EXPECT_EQ(dept.ManagerName(), "<No Manager>");

    exec(*dm, "update Dept set ManagerID = " + std::to_string(id));
    ASSERT_TRUE(dept.LoadByID());
    EXPECT_EQ(dept.ManagerName(), "Smith, John");

    // A manager removed behind the department's back names nobody either.
    exec(*dm, "delete from Employee");
    EXPECT_EQ(dept.ManagerName(), "<No Manager>");
}

TEST_F(DepartmentTest, ManagerNameOfADeletedManagerIsNoManager)
{
    std::int64_t sales = addDept("Sales");
    std::int64_t id = addEmp("Smith", "John", date(2020, 1, 6), 0, sales);
    exec(*dm, "update Dept set ManagerID = " + std::to_string(id));

    TEmployeeRecClass emp(*dm);
    emp.SetEmpID(std::int32_t(id));
    ASSERT_TRUE(emp.LoadByID());
    ASSERT_TRUE(emp.Lock("ALICE"));
    ASSERT_TRUE(emp.Delete("ALICE"));

    TDeptRecClass dept(*dm);
    dept.SetDeptID(std::int32_t(sales));
    ASSERT_TRUE(dept.LoadByID());
    EXPECT_EQ(dept.ManagerID(), 0);
    EXPECT_EQ(dept.ManagerName(), "<No Manager>");
}

// --- pick lists ---

TEST_F(DepartmentTest, ActiveOnlyStillListsTheKeptInactiveDepartment)
{
    addDept("Sales");
    std::int64_t closed = addDept("Archive", false);
    addDept("payroll", false);

    MemoryPickList list(PickListKind::DropDown);
    TDeptRecClass rec(*dm);
    rec.FillDepartmentList(list, true, true, std::int32_t(closed));
    EXPECT_EQ(list.texts(), (Names{"<New Department>", "Archive", "Sales"}));
    EXPECT_EQ(list.id(0), 0);
    EXPECT_EQ(list.id(1), closed);
    EXPECT_EQ(list.object(1), nullptr);

    rec.FillDepartmentList(list, false, true, 0);
    EXPECT_EQ(list.texts(), (Names{"Sales"}));
    rec.FillDepartmentList(list, false, false, 0);
    EXPECT_EQ(list.texts(), (Names{"Archive", "payroll", "Sales"}));
}

TEST_F(DepartmentTest, TheListBoxCarriesEachDepartmentInAnObject)
{
    std::int64_t sales = addDept("Sales");
    addDept("Archive", false);

    MemoryPickList list(PickListKind::ListBox);
    TDeptRecClass rec(*dm);
    rec.FillDepartmentListBox(list, true);
    EXPECT_EQ(list.texts(), (Names{"<No Department>", "Archive", "Sales"}));
    ASSERT_NE(list.object(0), nullptr);
    EXPECT_EQ(list.object(0)->ID(), 0);
    ASSERT_NE(list.object(2), nullptr);
    EXPECT_EQ(list.object(2)->ID(), sales);

    rec.FillDepartmentListBox(list, false);
    EXPECT_EQ(list.texts(), (Names{"Archive", "Sales"}));
}

} // namespace hv::test
