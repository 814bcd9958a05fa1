// Wage records and the wage history: the wage in force on a date, the
// record's save, re-create and delete with their messages, the list's batch
// save and locks across two copies, and the wage grid.
#include "PayFixture.h"
#include "people/TEmpWage.h"
#include "ports/GridView.h"
#include "ports/MessageService.h"

namespace hv::test {

const std::string kRecreateWage =
    "The Employee Wage record no longer exists in the database.  Do you want to re-create the record?";

class WageTest : public PayTest {
protected:
    std::string rows()
    {
        return read("select group_concat(EmpID || '/' || StartDate || '/' || ifnull(EndDate, '-') || '/' || Wage || "
                    "'/' || PayTypeCode || '/' || OvertimeFlag || '/' || ifnull(LockedBy, ''), ' ') from "
                    "(select * from Wage order by EmpID, StartDate)");
    }
};

// --- the wage in force ---

TEST_F(WageTest, TheWageInForceIsTheLatestThatStartedOnOrBeforeTheDate)
{
    addWage(7, date(2024, 6, 1), 12.00, "H", false, date(2024, 5, 1)); // an end date before its start plays no part
    addWage(7, date(2024, 3, 1), 10.00);
    addWage(8, date(2024, 1, 1), 99.00);
    TWageListClass list(*dm, 7);
    list.Load();
    ASSERT_EQ(list.Count(), 2);

    EXPECT_EQ(list.WageInEffect(date(2024, 2, 28)), nullptr);
    ASSERT_NE(list.WageInEffect(date(2024, 3, 1)), nullptr);
    EXPECT_FLOAT_EQ(list.WageInEffect(date(2024, 5, 31))->Wage(), 10.00f);
    EXPECT_FLOAT_EQ(list.WageInEffect(date(2024, 6, 1))->Wage(), 12.00f);
    EXPECT_FLOAT_EQ(list.WageInEffect(date(2025, 1, 15))->Wage(), 12.00f);

    // An entry marked for deletion still counts until the history is saved.
    list.Item(1).SetDeletePending(true);
    EXPECT_FLOAT_EQ(list.WageInEffect(date(2024, 7, 1))->Wage(), 12.00f);
}

TEST_F(WageTest, LoadReadsTheOwnersRowsInStartOrderWithTheirValues)
{
    addWage(7, date(2024, 6, 1), 520.5, "W", true, date(2024, 12, 31), "BOB");
    addWage(7, date(2024, 1, 1), 15.25);
    TWageListClass list(*dm, 7);
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    const TEmpWageRecClass& first = list.Item(0);
    EXPECT_EQ(first.StartDate(), date(2024, 1, 1));
    EXPECT_EQ(first.StoredStartDate(), date(2024, 1, 1));
    EXPECT_EQ(first.EndDate(), 0);
    EXPECT_FLOAT_EQ(first.Wage(), 15.25f);
    EXPECT_EQ(first.PayTypeCode(), "H");
    EXPECT_FALSE(first.OvertimeFlag());
    const TEmpWageRecClass& second = list.Item(1);
    EXPECT_EQ(second.EndDate(), date(2024, 12, 31));
    EXPECT_EQ(second.PayTypeCode(), "W");
    EXPECT_TRUE(second.OvertimeFlag());
    EXPECT_EQ(second.lockHolder(), "BOB");
    EXPECT_FALSE(list.AnyModified());
    EXPECT_FALSE(dm->tblWages.filtered());
}

TEST_F(WageTest, ANewEntryHasTheDefaultsAndClearKeepsTheKey)
{
    TEmpWageRecClass e(*dm);
    EXPECT_EQ(e.PayTypeCode(), "H");
    EXPECT_TRUE(e.OvertimeFlag());
    EXPECT_FALSE(e.IsModified());
    e.SetEmpID(7);
    e.SetStartDate(date(2024, 1, 1));
    e.SetWage(12);
    e.SetPayTypeCode("Y");
    e.SetOvertimeFlag(false);
    EXPECT_TRUE(e.IsModified());
    e.Clear();
    EXPECT_EQ(e.EmpID(), 7);
    EXPECT_EQ(e.StartDate(), date(2024, 1, 1));
    EXPECT_EQ(e.Wage(), 0);
    EXPECT_EQ(e.PayTypeCode(), "H");
    EXPECT_TRUE(e.OvertimeFlag());
    EXPECT_FALSE(e.IsModified());
    // Setting a value it already has marks nothing.
    e.SetPayTypeCode("H");
    EXPECT_FALSE(e.IsModified());
}

// --- saving ---

TEST_F(WageTest, SavingWritesEveryColumnAndAnEditedStartDateMovesTheRow)
{
    TWageListClass list(*dm, 7);
    list.Add(wageEntry(*dm, date(2024, 1, 1), 10.10f));
    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(rows(), "7/2024-01-01/-/101000/H/0/");
    EXPECT_FALSE(list.AnyModified());

    list.Item(0).SetStartDate(date(2024, 2, 1));
    list.Item(0).SetEndDate(date(2024, 12, 31));
    list.Item(0).SetOvertimeFlag(true);
    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(read("select LockedBy from Wage"), "ALICE");
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(rows(), "7/2024-02-01/2024-12-31/101000/H/1/");
    EXPECT_EQ(list.Item(0).StoredStartDate(), date(2024, 2, 1));

    // A second round finds the row where the first put it.
    list.Item(0).SetWage(11);
    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    ASSERT_TRUE(list.UnlockAll("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(rows(), "7/2024-02-01/2024-12-31/110000/H/1/");
}

TEST_F(WageTest, SaveAllDeletesStoredEntriesAndSkipsOnesNeverStored)
{
    addWage(7, date(2024, 1, 1), 10);
    addWage(7, date(2024, 6, 1), 12);
    TWageListClass list(*dm, 7);
    list.Load();
    list.Item(0).SetDeletePending(true);
    auto never = wageEntry(*dm, date(2024, 9, 1), 14);
    never->SetDeletePending(true);
    list.Add(std::move(never));
    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(rows(), "7/2024-06-01/-/120000/H/0/ALICE");
}

TEST_F(WageTest, SaveAllFailingOnItsThirdEntryWritesNoneOfTheBatch)
{
    addWage(7, date(2024, 5, 1), 9); // on disk, not in the list
    std::string engineMessage;
    try {
        addWage(7, date(2024, 5, 1), 9);
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    dm->tblWages.cancel();
    ASSERT_NE(engineMessage.find("index 'Primary'"), std::string::npos);

    TWageListClass list(*dm, 7);
    list.Add(wageEntry(*dm, date(2024, 1, 1), 10));
    list.Add(wageEntry(*dm, date(2024, 3, 1), 11));
    list.Add(wageEntry(*dm, date(2024, 5, 1), 12)); // the key is taken
    EXPECT_EQ(list.SaveAll("ALICE"), 2);
    expectOnlyMessage(CutMessage("The following error occurred saving the record: " + engineMessage + kNotSaved),
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Wage"), 1);
    // Nothing was written, so every entry still waits to be saved.
    EXPECT_TRUE(list.Item(0).IsModified());
    EXPECT_EQ(list.Item(0).StoredStartDate(), 0);

    messages.clear();
    list.Item(2).SetStartDate(date(2024, 6, 1));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(count("Wage"), 4);
}

TEST_F(WageTest, SaveAllInsideACallersTransactionLeavesTheRollbackToTheCaller)
{
    addWage(7, date(2024, 5, 1), 9);
    TWageListClass list(*dm, 7);
    list.Add(wageEntry(*dm, date(2024, 1, 1), 10));
    list.Add(wageEntry(*dm, date(2024, 5, 1), 11));
    dm->HourvaneDB.startTransaction();
    EXPECT_EQ(list.SaveAll("ALICE"), 1);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Wage", "StartDate = '2024-01-01'"), 0); // the other copy does not see it yet
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("Wage"), 1);
    ASSERT_EQ(messages.shown().size(), 1u);
}

TEST_F(WageTest, AWageDeletedMeanwhileIsReCreatedOnYesAndNotOnNo)
{
    addWage(7, date(2024, 1, 1), 10);
    TWageListClass list(*dm, 7);
    list.Load();
    list.Item(0).SetWage(13);
    exec(second(), "delete from Wage");

    messages.answer(MsgResult::No);
    EXPECT_EQ(list.SaveAll("ALICE"), 0);
    expectOnlyMessage(kRecreateWage, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("Wage"), 0);

    messages.clear();
    messages.answer(MsgResult::Yes);
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    expectOnlyMessage(kRecreateWage, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(rows(), "7/2024-01-01/-/130000/H/0/");
}

TEST_F(WageTest, ARowLockedByAnotherCopyIsNotOverwrittenOrDeleted)
{
    addWage(7, date(2024, 1, 1), 10, "H", false, 0, "BOB");
    TEmpWageRecClass e(*dm);
    e.SetEmpID(7);
    e.SetStartDate(date(2024, 1, 1));
    ASSERT_TRUE(e.Load());
    e.SetWage(20);
    EXPECT_FALSE(e.Save("ALICE"));
    expectOnlyMessage("An error occurred saving the Employee Wage record.  The record is locked by BOB.\r\r"
                      "Please try your changes again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);

    messages.clear();
    EXPECT_FALSE(e.Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(rows(), "7/2024-01-01/-/100000/H/0/BOB");
}

TEST_F(WageTest, ADeleteThatCannotReachTheTableIsReported)
{
    addWage(7, date(2024, 1, 1), 10);
    TEmpWageRecClass e(*dm);
    e.SetEmpID(7);
    e.SetStartDate(date(2024, 1, 1));
    ASSERT_TRUE(e.Load());
    dm->tblWages.close();
    EXPECT_FALSE(e.Delete("ALICE"));
    expectOnlyMessage(
        "The following error occurred deleting the Employee Wage record:\r\r"
        "Cannot perform this operation on a closed table (wage.DAT).",
        MsgKind::Warning);
    EXPECT_EQ(e.EmpID(), 7);
    EXPECT_EQ(count("Wage"), 1);
}

TEST_F(WageTest, ADeletedEntryIsClearedAndAnotherCopysEarlierDeleteIsNoFailure)
{
    addWage(7, date(2024, 1, 1), 10);
    addWage(7, date(2024, 6, 1), 12);
    TWageListClass list(*dm, 7);
    list.Load();
    ASSERT_TRUE(list.LockAll("ALICE"));
    ASSERT_TRUE(list.Item(0).Delete("ALICE"));
    EXPECT_EQ(list.Item(0).EmpID(), 0);
    EXPECT_EQ(list.Item(0).StartDate(), 0);
    EXPECT_EQ(list.Item(0).StoredStartDate(), 0);

    exec(second(), "delete from Wage");
    list.Item(1).SetDeletePending(true);
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
}

// --- two copies ---

TEST_F(WageTest, AWageListLockedByOneCopyRefusesTheOther)
{
    addWage(7, date(2024, 1, 1), 10);
    addWage(7, date(2024, 7, 1), 12);
    TWageListClass alice(*dm, 7);
    alice.Load();
    ASSERT_TRUE(alice.LockAll("ALICE"));
    EXPECT_EQ(count("Wage", "LockedBy = 'ALICE'"), 2);

    actAs("BOB");
    TWageListClass bob(second(), 7);
    bob.Load();
    EXPECT_FALSE(bob.LockAll("BOB"));
    expectOnlyMessage("The Employee Wage record is already locked by ALICE.  You may view the information but may "
                      "not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_FALSE(second().HourvaneDB.inTransaction());
    bob.Item(1).SetWage(99);
    messages.clear();
    EXPECT_EQ(bob.SaveAll("BOB"), 1);
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(read("select Wage from Wage where StartDate = '2024-07-01'"), "120000");

    // Once the first copy lets go, the second gets the whole history.
    actAs("ALICE");
    ASSERT_TRUE(alice.UnlockAll("ALICE"));
    EXPECT_EQ(count("Wage", "LockedBy = 'ALICE'"), 0);
    actAs("BOB");
    TWageListClass bobAgain(second(), 7);
    bobAgain.Load();
    EXPECT_TRUE(bobAgain.LockAll("BOB"));
    EXPECT_EQ(count("Wage", "LockedBy = 'BOB'"), 2);
}

// The history is locked only when the employee is saved: a wage another copy
// saved since this copy read the list is not written over.
TEST_F(WageTest, LockAllRefusesAWageAnotherCopySavedSinceTheListWasRead)
{
    addWage(7, date(2024, 1, 1), 10);
    TWageListClass alice(*dm, 7);
    alice.Load();

    actAs("BOB");
    TWageListClass bob(second(), 7);
    bob.Load();
    bob.Item(0).SetWage(11);
    ASSERT_TRUE(bob.LockAll("BOB"));
    ASSERT_EQ(bob.SaveAll("BOB"), -1);
    ASSERT_TRUE(bob.UnlockAll("BOB"));

    actAs("ALICE");
    alice.Item(0).SetPayTypeCode("S");
    messages.clear();
    EXPECT_FALSE(alice.LockAll("ALICE"));
    expectOnlyMessage("The Employee Wage record has been changed by another user.  You may view the information but "
                      "may not save any changes.\r\rPlease select the record again to enter your changes.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(read("select Wage || '/' || PayTypeCode || '/' || ifnull(LockedBy, '') from Wage"), "110000/H/");
}

TEST_F(WageTest, LockAllTakesNothingWhenOneEntryIsRefused)
{
    addWage(7, date(2024, 1, 1), 10);
    addWage(7, date(2024, 7, 1), 12, "H", false, 0, "ALICE");

    actAs("BOB");
    TWageListClass bob(second(), 7);
    bob.Load();
    bob.Add(wageEntry(second(), date(2024, 9, 1), 13));
    EXPECT_FALSE(bob.LockAll("BOB"));
    EXPECT_EQ(read("select ifnull(LockedBy, '') from Wage where StartDate = '2024-01-01'"), "");
    EXPECT_EQ(bob.Item(0).lockHolder(), "");
}

// --- the grid ---

TEST_F(WageTest, WageGridShowsVisibleEntriesWithTheirListIndex)
{
    appState().displayDateFormat = "mm/dd/yyyy";
    TWageListClass list(*dm, 7);
    MemoryGrid grid;
    list.FillWageGrid(grid);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_GE(grid.columnCount(), 7);
    EXPECT_EQ(grid.cell(0, 0), "");

    auto weekly = wageEntry(*dm, date(2024, 1, 1), 1234.5f, "W", true);
    weekly->SetEndDate(date(2024, 6, 30));
    list.Add(std::move(weekly));
    auto removed = wageEntry(*dm, date(2024, 3, 1), 1);
    removed->SetDeletePending(true);
    list.Add(std::move(removed));
    list.Add(wageEntry(*dm, date(2024, 7, 1), 15.5f, "H"));
    list.Add(wageEntry(*dm, date(2024, 8, 1), 4000, "M"));
    list.Add(wageEntry(*dm, date(2024, 9, 1), 52000, "Q")); // an unknown code reads as a year
    list.FillWageGrid(grid);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.cell(0, 0), "$1,234.50");
    EXPECT_EQ(grid.cell(0, 1), "Week");
    EXPECT_EQ(grid.cell(0, 2), "01/01/2024");
    EXPECT_EQ(grid.cell(0, 3), "06/30/2024");
    EXPECT_EQ(grid.cell(0, 4), "X");
    EXPECT_EQ(grid.cell(0, 5), "1234.50");
    EXPECT_EQ(grid.cell(0, 6), "0");
    EXPECT_EQ(grid.cell(1, 0), "$15.50");
    EXPECT_EQ(grid.cell(1, 1), "Hour");
    EXPECT_EQ(grid.cell(1, 3), "");
    EXPECT_EQ(grid.cell(1, 4), "");
    EXPECT_EQ(grid.cell(1, 6), "2");
    EXPECT_EQ(grid.cell(2, 1), "Month");
    EXPECT_EQ(grid.cell(3, 1), "Year");
    EXPECT_EQ(grid.cell(3, 6), "4");
}

} // namespace hv::test
