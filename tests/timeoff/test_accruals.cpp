// Opening balances: the accrual record, the employee's list of them and the
// accrual grid.
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "timeoff/TAccrual.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

constexpr const char* kMe = "CLERK1";

class AccrualTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        start();
        resetGlobalSettings();
        resetAppState();
        appState().displayDateFormat = "yyyy-mm-dd";
        vacation = addReason("Vacation", "V");
        sick = addReason("Sick", "S");
    }
    void TearDown() override
    {
        resetAppState();
        StorageTest::TearDown();
    }
    std::int32_t addReason(const std::string& name, const std::string& code)
    {
        return addReasonRow(*dm, {.name = name, .code = code, .policy = true});
    }
    void addRow(std::int32_t emp, std::int32_t reason, float hours, double date, const std::string& lockedBy = "")
    {
        engine::Table& t = dm->tblAccruals;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("AccruedHours").setAsFloat(hours);
        t.fieldByName("AccrualDate").setAsDateTime(date);
        t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
    }
    bool rowExists(std::int32_t emp, std::int32_t reason)
    {
        dm->tblAccruals.setIndexName("");
        return dm->tblAccruals.findKey({engine::Value(std::int64_t(emp)), engine::Value(std::int64_t(reason))});
    }
    void removeRow(std::int32_t emp, std::int32_t reason)
    {
        ASSERT_TRUE(rowExists(emp, reason));
        dm->tblAccruals.deleteRecord();
    }
    std::unique_ptr<TEmpAccrualRecClass> entry(std::int32_t reason, float hours, double date)
    {
        auto e = std::make_unique<TEmpAccrualRecClass>(*dm);
        e->SetReasonID(reason);
        e->SetAccruedHours(hours);
        e->SetAccrualDate(date);
        return e;
    }

    std::int32_t vacation = 0;
    std::int32_t sick = 0;
};

TEST_F(AccrualTest, NewRecordIsSavedAndLoadsBack)
{
    TEmpAccrualRecClass rec(*dm, 5);
    rec.SetReasonID(vacation);
    rec.SetAccruedHours(12.5f);
    rec.SetAccrualDate(EncodeDate(2001, 2, 3));
    EXPECT_TRUE(rec.modified());
    ASSERT_TRUE(rec.Save(kMe));
    EXPECT_FALSE(rec.modified());
    EXPECT_EQ(rec.StoredReasonID(), vacation);

    TEmpAccrualRecClass back(*dm, 5, vacation);
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.AccruedHours(), 12.5f);
    EXPECT_EQ(back.AccrualDate(), EncodeDate(2001, 2, 3));
    EXPECT_EQ(back.Description(), "Vacation");
    EXPECT_EQ(back.StoredReasonID(), vacation);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(AccrualTest, SettersMarkOnlyRealChanges)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    TEmpAccrualRecClass rec(*dm, 5, vacation);
    ASSERT_TRUE(rec.Load());
    rec.SetAccruedHours(8);
    rec.SetAccrualDate(EncodeDate(2001, 1, 1));
    rec.SetReasonID(vacation);
    rec.SetDeletePending(false);
    EXPECT_FALSE(rec.modified());
    rec.SetDeletePending(true);
    EXPECT_TRUE(rec.modified());
    // Marking does not lock: the row is still free.
    ASSERT_TRUE(rowExists(5, vacation));
    EXPECT_EQ(dm->tblAccruals.fieldByName("LockedBy").asString(), "");
}

TEST_F(AccrualTest, LoadOfMissingRowIsFalse)
{
    TEmpAccrualRecClass rec(*dm, 5, vacation);
    EXPECT_FALSE(rec.Load());
    EXPECT_EQ(rec.StoredReasonID(), 0);
    EXPECT_EQ(rec.Description(), "");
}

TEST_F(AccrualTest, SavingAMovedRowMovesItToTheNewReason)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    TEmpAccrualRecClass rec(*dm, 5, vacation);
    ASSERT_TRUE(rec.Load());
    ASSERT_TRUE(rec.Lock(kMe));
    rec.SetReasonID(sick);
    ASSERT_TRUE(rec.Save(kMe));
    EXPECT_FALSE(rowExists(5, vacation));
    ASSERT_TRUE(rowExists(5, sick));
    EXPECT_EQ(dm->tblAccruals.fieldByName("LockedBy").asString(), "");
}

TEST_F(AccrualTest, RowDeletedElsewhereAsksToRecreate)
{
    const std::string question = "The Benefit Accrual record no longer exists in the database.  "
                                 "Do you want to re-create the record?";
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    TEmpAccrualRecClass rec(*dm, 5, vacation);
    ASSERT_TRUE(rec.Load());
    removeRow(5, vacation);
    rec.SetAccruedHours(9);
    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec.Save(kMe));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, question);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(rowExists(5, vacation));

    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(rec.Save(kMe));
    ASSERT_TRUE(rowExists(5, vacation));
    EXPECT_EQ(float(dm->tblAccruals.fieldByName("AccruedHours").asFloat()), 9.0f);
}

TEST_F(AccrualTest, DuplicateRowReportsTheEngineError)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    auto rec = entry(vacation, 3, EncodeDate(2002, 1, 1));
    rec->SetEmpID(5);
    EXPECT_FALSE(rec->Save(kMe));
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string& text = messages.shown()[0].text;
    EXPECT_EQ(text.rfind("The following error occurred saving the record: ", 0), 0u) << text;
    EXPECT_NE(text.find("\r\rThe record was NOT saved."), std::string::npos) << text;
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);
    EXPECT_TRUE(rec->modified());
}

TEST_F(AccrualTest, DeleteRemovesTheRowAndRespectsOtherLocks)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    addRow(5, sick, 4, EncodeDate(2001, 1, 1), "OTHERPC");
    TEmpAccrualRecClass rec(*dm, 5, vacation);
    ASSERT_TRUE(rec.Load());
    ASSERT_TRUE(rec.Lock(kMe));
    ASSERT_TRUE(rec.Delete(kMe));
    EXPECT_FALSE(rowExists(5, vacation));
    EXPECT_EQ(rec.EmpID(), 0);

    TEmpAccrualRecClass held(*dm, 5, sick);
    ASSERT_TRUE(held.Load());
    EXPECT_FALSE(held.Delete(kMe));
    EXPECT_EQ(messages.last(), "The record is locked by OTHERPC.\r\rPlease try your delete again later.");
    EXPECT_TRUE(rowExists(5, sick));

    TEmpAccrualRecClass gone(*dm, 5, vacation);
    EXPECT_FALSE(gone.Delete(kMe));
}

TEST_F(AccrualTest, LockOfAnUnsavedEntryIsOnlyInMemory)
{
    auto rec = entry(vacation, 3, EncodeDate(2002, 1, 1));
    EXPECT_TRUE(rec->Lock(kMe));
    EXPECT_EQ(rec->lockHolder(), kMe);
    EXPECT_TRUE(rec->Unlock(kMe));
    EXPECT_EQ(rec->lockHolder(), "");
}

TEST_F(AccrualTest, ListLoadsTheEmployeesRowsOnly)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    addRow(5, sick, 4, EncodeDate(2001, 2, 1));
    addRow(6, sick, 2, EncodeDate(2001, 3, 1));
    TAccrualListClass list(*dm, 5);
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.AnyModified());
    list.SetAllModified(true);
    EXPECT_TRUE(list.AnyModified());
    // The filter is gone again: other employees' rows are reachable.
    EXPECT_TRUE(rowExists(6, sick));
}

TEST_F(AccrualTest, SaveAllSavesDeletesAndGivesEntriesTheEmployee)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    TAccrualListClass list(*dm, 5);
    list.Load();
    ASSERT_TRUE(list.LockAll(kMe));
    list.Items(0).SetDeletePending(true);
    list.Add(entry(sick, 6, EncodeDate(2001, 4, 1)));
    // An entry added and removed again before saving has nothing to delete.
    auto dropped = entry(vacation, 1, EncodeDate(2001, 5, 1));
    dropped->SetDeletePending(true);
    list.Add(std::move(dropped));
    EXPECT_EQ(list.SaveAll(kMe), -1);
    EXPECT_FALSE(rowExists(5, vacation));
    ASSERT_TRUE(rowExists(5, sick));
    EXPECT_EQ(float(dm->tblAccruals.fieldByName("AccruedHours").asFloat()), 6.0f);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
}

TEST_F(AccrualTest, SaveAllReturnsTheFailingPositionAndRollsBack)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    TAccrualListClass list(*dm, 5);
    list.Add(entry(sick, 6, EncodeDate(2001, 4, 1)));
    list.Add(entry(vacation, 2, EncodeDate(2001, 4, 1))); // the row exists already
    EXPECT_EQ(list.SaveAll(kMe), 1);
    EXPECT_FALSE(rowExists(5, sick));
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    // The first entry was rolled back with the rest and is still unsaved.
    EXPECT_TRUE(list.Items(0).modified());
    EXPECT_EQ(messages.texts().size(), 1u);
}

TEST_F(AccrualTest, ARolledBackSaveAllIsWrittenWholeByTheRetry)
{
    const std::int32_t jury = addReason("Jury", "J");
    addRow(5, sick, 4, EncodeDate(2001, 1, 1));
    addRow(5, jury, 2, EncodeDate(2001, 1, 1));
    TAccrualListClass list(*dm, 5);
    list.Add(entry(vacation, 8, EncodeDate(2001, 3, 1))); // new
    auto gone = std::make_unique<TEmpAccrualRecClass>(*dm, 5, sick);
    ASSERT_TRUE(gone->Load());
    gone->SetDeletePending(true);
    list.Add(std::move(gone));
    auto changed = std::make_unique<TEmpAccrualRecClass>(*dm, 5, jury);
    ASSERT_TRUE(changed->Load());
    changed->SetAccruedHours(6);
    list.Add(std::move(changed));
    ASSERT_TRUE(list.LockAll(kMe));
    // Another copy takes the third entry's row.
    execBlank(*dm, "update Accrual set LockedBy = 'OTHERPC' where ReasonID = " + std::to_string(jury));

    EXPECT_EQ(list.SaveAll(kMe), 2);
    EXPECT_FALSE(rowExists(5, vacation));
    EXPECT_TRUE(rowExists(5, sick));
    messages.clear();

    execBlank(*dm, "update Accrual set LockedBy = '" + std::string(kMe) + "' where ReasonID = " + std::to_string(jury));
    EXPECT_EQ(list.SaveAll(kMe), -1);
    // No re-create question for the new entry, no blank entry colliding with its own row.
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_TRUE(rowExists(5, vacation));
    EXPECT_FALSE(rowExists(5, sick));
    ASSERT_TRUE(rowExists(5, jury));
    EXPECT_EQ(float(dm->tblAccruals.fieldByName("AccruedHours").asFloat()), 6.0f);
}

TEST_F(AccrualTest, SaveAllInsideACallersTransactionLeavesItOpen)
{
    TAccrualListClass list(*dm, 5);
    list.Add(entry(sick, 6, EncodeDate(2001, 4, 1)));
    dm->HourvaneDB.startTransaction();
    EXPECT_EQ(list.SaveAll(kMe), -1);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_FALSE(rowExists(5, sick));
}

TEST_F(AccrualTest, LockAllRefusesARowHeldElsewhere)
{
    addRow(5, vacation, 8, EncodeDate(2001, 1, 1));
    addRow(5, sick, 4, EncodeDate(2001, 1, 1), "OTHERPC");
    TAccrualListClass list(*dm, 5);
    list.Load();
    EXPECT_FALSE(list.LockAll(kMe));
    EXPECT_EQ(messages.last(), "The Benefit Accrual record is already locked by OTHERPC.  You may view the "
                               "information but may not save any changes.\r\rPlease try your update again later.");
    // The lock taken on the first row went back with the transaction.
    ASSERT_TRUE(rowExists(5, vacation));
    EXPECT_EQ(dm->tblAccruals.fieldByName("LockedBy").asString(), "");
}

TEST_F(AccrualTest, FillAccrualGridSkipsDeletePendingEntries)
{
    addRow(5, sick, 4, EncodeDate(2001, 2, 1));
    addRow(5, vacation, 12.5f, EncodeDate(2001, 3, 4));
    TAccrualListClass list(*dm, 5);
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    const int sickAt = list.Items(0).ReasonID() == sick ? 0 : 1;
    list.Items(sickAt).SetDeletePending(true);
    MemoryGrid grid;
    grid.setRowCount(5);
    grid.setCell(4, 0, "stale");
    FillAccrualGrid(grid, list);
    ASSERT_EQ(grid.rowCount(), 1);
    EXPECT_GE(grid.columnCount(), 4);
    EXPECT_EQ(grid.cell(0, 0), "Vacation");
    EXPECT_EQ(grid.cell(0, 1), "12.50");
    EXPECT_EQ(grid.cell(0, 2), "2001-03-04");
    EXPECT_EQ(grid.cell(0, 3), std::to_string(1 - sickAt));
}

} // namespace
} // namespace hv::test
