// Overtime policies and employee assignments: the policy in force on a date
// with its fallback to the default policy, the policy record's save, delete
// and locks, the assignment list's batch save and locks, and the fillers.
#include "PeopleFixture.h"
#include "people/TEmpOTPolicy.h"
#include "people/TOTPolicy.h"
#include "ports/GridView.h"
#include "ports/MessageService.h"
#include "ports/PickList.h"
#include "ports/PrinterQuery.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"

namespace hv::test {

const std::string kDuplicateDescription = "This Policy Description has already been used.  Please try another one.";

class OTPolicyTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        resetGlobalSettings();
        setPrinterQuery([] { return SystemPrinter{}; });
    }
    void TearDown() override
    {
        setPrinterQuery({});
        resetGlobalSettings();
        appState().displayDateFormat.clear();
        PeopleTest::TearDown();
    }

    std::int64_t addPolicy(const std::string& name, float hours1 = 40, bool weekly = true, bool active = true,
                           const std::string& lockedBy = {})
    {
        engine::Table& t = dm->tblOTPolicy;
        t.append();
        t.fieldByName("Policy").setAsString(name);
        t.fieldByName("WeeklyFlag").setAsBoolean(weekly);
        t.fieldByName("ActiveFlag").setAsBoolean(active);
        t.fieldByName("Hours1").setAsFloat(hours1);
        t.fieldByName("Hours2").setAsFloat(0);
        t.fieldByName("Rate1").setAsFloat(1.5);
        t.fieldByName("Rate2").setAsFloat(0);
        if (!lockedBy.empty())
            t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
        return t.fieldByName("PolicyID").asInteger();
    }
    void assign(std::int64_t emp, double start, std::int64_t policy, double end = 0)
    {
        engine::Table& t = dm->tblEmpOT;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("StartDate").setAsDateTime(start);
        if (end > 0)
            t.fieldByName("EndDate").setAsDateTime(end);
        t.fieldByName("PolicyID").setAsInteger(policy);
        t.post();
    }
    static std::unique_ptr<TEmpOTPolicyRecClass> entry(THourvaneDataMod& d, double start, std::int64_t policy)
    {
        auto e = std::make_unique<TEmpOTPolicyRecClass>(d);
        e->SetStartDate(start);
        e->SetPolicyID(std::int32_t(policy));
        return e;
    }
    // The policy in force for the employee on the date, as "<description>|<weekly>|<hours1>".
    std::string inForce(std::int64_t emp, double day)
    {
        TEmpOTPolicyListClass list(*dm, std::int32_t(emp));
        list.Load();
        TOTPolicyRecClass p(*dm);
        list.PolicyInForce(p, day);
        return p.Policy() + "|" + (p.WeeklyFlag() ? "weekly" : "daily") + "|" + std::to_string(int(p.Hours1()));
    }
    void storePreference(const std::string& key, const std::string& value)
    {
        TPreferenceRecClass pref(*dm, key, PreferStorage::SharedTable);
        pref.SetValue(value);
        ASSERT_TRUE(pref.Save("ALICE"));
    }
};

// --- the policy in force ---

TEST_F(OTPolicyTest, TheLatestStartOnOrBeforeTheDateWinsAndEarlierDatesGetTheDefault)
{
    std::int64_t a = addPolicy("A", 40);
    std::int64_t b = addPolicy("B", 35);
    assign(7, date(2024, 1, 1), a);
    assign(7, date(2024, 7, 1), b);
    assign(8, date(2023, 1, 1), b); // someone else's history plays no part

    EXPECT_EQ(inForce(7, date(2024, 6, 30)), "A|weekly|40");
    EXPECT_EQ(inForce(7, date(2024, 7, 1)), "B|weekly|35");
    EXPECT_EQ(inForce(7, date(2025, 3, 1)), "B|weekly|35");
    EXPECT_EQ(inForce(7, date(2023, 12, 31)), "|weekly|40");
}

TEST_F(OTPolicyTest, AnEndDateInThePastDoesNotEndTheAssignment)
{
    std::int64_t a = addPolicy("A", 38);
    assign(7, date(2024, 1, 1), a, date(2024, 3, 31));
    EXPECT_EQ(inForce(7, date(2024, 9, 15)), "A|weekly|38");
}

TEST_F(OTPolicyTest, AnAssignmentWhosePolicyIsGoneIsPassedOverForAnEarlierOne)
{
    std::int64_t a = addPolicy("A", 40);
    std::int64_t b = addPolicy("B", 8, false);
    assign(7, date(2024, 1, 1), a);
    assign(7, date(2024, 7, 1), b);
    exec(*dm, "delete from OTPolicy where PolicyID = " + std::to_string(b));
    EXPECT_EQ(inForce(7, date(2024, 8, 1)), "A|weekly|40");

    exec(*dm, "delete from OTPolicy");
    EXPECT_EQ(inForce(7, date(2024, 8, 1)), "|weekly|40");
}

TEST_F(OTPolicyTest, EntriesAddedOutOfOrderStillGiveTheLatestStart)
{
    std::int64_t a = addPolicy("A", 40);
    std::int64_t b = addPolicy("B", 35);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Add(entry(*dm, date(2024, 7, 1), b));
    list.Add(entry(*dm, date(2024, 1, 1), a));
    TOTPolicyRecClass p(*dm);
    list.PolicyInForce(p, date(2024, 8, 1));
    EXPECT_EQ(p.Policy(), "B");
    list.PolicyInForce(p, date(2024, 2, 1));
    EXPECT_EQ(p.Policy(), "A");
}

TEST_F(OTPolicyTest, TheDefaultPolicyFollowsTheOvertimePreferences)
{
    TOTPolicyRecClass p(*dm);
    TEmpOTPolicyListClass none(*dm, 7);
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    none.PolicyInForce(p, date(2024, 5, 1));
    EXPECT_TRUE(p.IsDefault());
    EXPECT_TRUE(p.WeeklyFlag());
    EXPECT_FLOAT_EQ(p.Hours1(), 40);

    storePreference("Overtime", "1");
    storePreference("Hours", "8");
    LoadGlobalSettings(cache);
    none.PolicyInForce(p, date(2024, 5, 1));
    EXPECT_EQ(p.PolicyID(), 0);
    EXPECT_FALSE(p.WeeklyFlag());
    EXPECT_FLOAT_EQ(p.Hours1(), 8);
    EXPECT_FLOAT_EQ(p.Rate1(), 1.5f);
    EXPECT_FLOAT_EQ(p.Hours2(), 0);
    EXPECT_FLOAT_EQ(p.Rate2(), 0);
    EXPECT_FALSE(p.IsModified());
}

// --- the policy record ---

TEST_F(OTPolicyTest, SavingANewPolicyWritesEveryColumnAndReleasesTheRow)
{
    TOTPolicyRecClass p(*dm);
    p.SetPolicy("Two tier");
    p.SetWeeklyFlag(false);
    p.SetActiveFlag(false);
    p.SetHours1(8);
    p.SetHours2(12);
    p.SetRate1(1.5f);
    p.SetRate2(2);
    ASSERT_TRUE(p.Save("ALICE"));
    EXPECT_FALSE(p.IsModified());
    EXPECT_EQ(read("select Policy || '|' || WeeklyFlag || '|' || ActiveFlag || '|' || Hours1 || '|' || Hours2 || "
                   "'|' || Rate1 || '|' || Rate2 || '|' || LockedBy from OTPolicy"),
              "Two tier|0|0|8.0|12.0|1.5|2.0|");

    TOTPolicyRecClass back(*dm);
    back.SetPolicyID(std::int32_t(std::stoll(read("select PolicyID from OTPolicy"))));
    ASSERT_TRUE(back.LoadByID());
    EXPECT_EQ(back.Policy(), "Two tier");
    EXPECT_FALSE(back.WeeklyFlag());
    EXPECT_FLOAT_EQ(back.Hours2(), 12);
    EXPECT_FLOAT_EQ(back.Rate2(), 2);
}

TEST_F(OTPolicyTest, ADescriptionDifferingOnlyInCaseIsRefusedAsADuplicate)
{
    addPolicy("Standard");
    TOTPolicyRecClass p(*dm);
    p.SetPolicy("STANDARD");
    p.SetHours1(40);
    EXPECT_FALSE(p.Save("ALICE"));
    expectOnlyMessage(kDuplicateDescription, MsgKind::Information);
    EXPECT_TRUE(p.IsModified());
    EXPECT_EQ(dm->tblOTPolicy.state(), engine::TableState::Browse);
    EXPECT_EQ(count("OTPolicy"), 1);
}

TEST_F(OTPolicyTest, AnotherEngineErrorWhilePostingIsReported)
{
    blockWritesFromSecondCopy();
    std::string engineMessage;
    try {
        addPolicy("Probe");
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    dm->tblOTPolicy.cancel();
    ASSERT_FALSE(engineMessage.empty());

    TOTPolicyRecClass p(*dm);
    p.SetPolicy("Standard");
    EXPECT_FALSE(p.Save("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred saving the record: " + engineMessage + kNotSaved),
                      MsgKind::Warning);
    releaseSecondCopy();
    EXPECT_EQ(count("OTPolicy"), 0);
}

TEST_F(OTPolicyTest, APolicyDeletedMeanwhileIsReCreatedOnYesAndNotOnNo)
{
    const std::string question =
        "The Overtime Policy record no longer exists in the database.  Do you want to re-create the record?";
    TOTPolicyRecClass p(*dm);
    p.SetPolicyID(std::int32_t(addPolicy("Standard", 40)));
    ASSERT_TRUE(p.LoadByID());
    p.SetHours1(42);
    exec(second(), "delete from OTPolicy");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(p.Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("OTPolicy"), 0);

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(p.Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(read("select Policy || '|' || Hours1 from OTPolicy"), "Standard|42.0");
}

TEST_F(OTPolicyTest, ASecondCopyIsRefusedThePolicyWhileTheFirstEditsIt)
{
    std::int64_t id = addPolicy("Standard");
    TOTPolicyRecClass p(*dm);
    p.SetPolicyID(std::int32_t(id));
    ASSERT_TRUE(p.LoadByID());
    p.SetRate1(2); // the first change takes the lock
    EXPECT_EQ(read("select LockedBy from OTPolicy"), "ALICE");

    actAs("BOB");
    TOTPolicyRecClass bob(second());
    bob.SetPolicyID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    EXPECT_FALSE(bob.Lock("BOB"));
    expectOnlyMessage("The Overtime Policy record is already locked by ALICE.  You may view the information but may "
                      "not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    messages.clear();
    EXPECT_FALSE(bob.Delete("BOB"));
    expectOnlyMessage("The record is locked by ALICE.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(count("OTPolicy"), 1);

    actAs("ALICE");
    ASSERT_TRUE(p.Save("ALICE"));
    EXPECT_EQ(read("select LockedBy || '|' || Rate1 from OTPolicy"), "|2.0");
}

TEST_F(OTPolicyTest, DeletingAPolicyRemovesEveryAssignmentToItAndNoOther)
{
    std::int64_t a = addPolicy("A");
    std::int64_t b = addPolicy("B");
    assign(7, date(2024, 1, 1), a);
    assign(7, date(2024, 7, 1), b);
    assign(8, date(2024, 3, 1), b);
    assign(9, date(2024, 2, 1), a);

    TOTPolicyRecClass p(*dm);
    p.SetPolicyID(std::int32_t(b));
    ASSERT_TRUE(p.LoadByID());
    ASSERT_TRUE(p.Lock("ALICE"));
    ASSERT_TRUE(p.Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(p.PolicyID(), 0);
    EXPECT_EQ(count("OTPolicy"), 1);
    EXPECT_EQ(count("EmpOT", "PolicyID = " + std::to_string(b)), 0);
    EXPECT_EQ(count("EmpOT", "PolicyID = " + std::to_string(a)), 2);
    // Employee 7 falls back to the earlier assignment.
    EXPECT_EQ(inForce(7, date(2024, 8, 1)), "A|weekly|40");
}

TEST_F(OTPolicyTest, ThePolicyAndItsAssignmentsGoInOneTransaction)
{
    std::int64_t a = addPolicy("A");
    assign(7, date(2024, 1, 1), a);
    TOTPolicyRecClass p(*dm);
    p.SetPolicyID(std::int32_t(a));
    ASSERT_TRUE(p.LoadByID());
    ASSERT_TRUE(p.Lock("ALICE"));

    // Inside a caller's transaction both deletes wait for the caller, and its
    // rollback brings both back.
    dm->HourvaneDB.startTransaction();
    ASSERT_TRUE(p.Delete("ALICE"));
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("OTPolicy"), 1);
    EXPECT_EQ(count("EmpOT"), 1);

    // A refused delete leaves the assignments alone.
    exec(*dm, "update OTPolicy set LockedBy = 'BOB'");
    p.SetPolicyID(std::int32_t(a));
    EXPECT_FALSE(p.Delete("ALICE"));
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("EmpOT"), 1);
}

TEST_F(OTPolicyTest, DeletingAPolicyAnotherCopyRemovedIsReported)
{
    TOTPolicyRecClass p(*dm);
    p.SetPolicyID(std::int32_t(addPolicy("A")));
    exec(second(), "delete from OTPolicy");
    EXPECT_FALSE(p.Delete("ALICE"));
    expectOnlyMessage("The Overtime Policy record has been deleted by another user.", MsgKind::Information);
}

TEST_F(OTPolicyTest, PolicyListOffersActivePoliciesAndTheKeptOne)
{
    std::int64_t old = addPolicy("Old", 40, true, false);
    addPolicy("Standard");
    addPolicy("Daily", 8, false);
    TOTPolicyRecClass p(*dm);
    MemoryPickList list(PickListKind::DropDown);

    p.FillPolicyList(list, true, false, 0);
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"<New Policy>", "Daily", "Old", "Standard"}));
    EXPECT_EQ(list.id(0), 0);
    EXPECT_EQ(list.id(2), old);

    p.FillPolicyList(list, false, true, 0);
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"Daily", "Standard"}));
    p.FillPolicyList(list, false, true, std::int32_t(old));
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"Daily", "Old", "Standard"}));
}

// --- the assignment list ---

TEST_F(OTPolicyTest, LoadReadsTheOwnersAssignmentsInStartOrder)
{
    assign(7, date(2024, 7, 1), 2, date(2024, 12, 31));
    assign(7, date(2024, 1, 1), 1);
    assign(8, date(2024, 3, 1), 3);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).StartDate(), date(2024, 1, 1));
    EXPECT_EQ(list.Item(0).StoredStartDate(), date(2024, 1, 1));
    EXPECT_EQ(list.Item(0).EndDate(), 0);
    EXPECT_EQ(list.Item(1).PolicyID(), 2);
    EXPECT_EQ(list.Item(1).EndDate(), date(2024, 12, 31));
    EXPECT_FALSE(list.AnyModified());
    EXPECT_FALSE(dm->tblEmpOT.filtered());
}

TEST_F(OTPolicyTest, SaveAllWritesMovesAndDeletesEntries)
{
    assign(7, date(2024, 1, 1), 1);
    assign(7, date(2024, 4, 1), 2);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Load();
    ASSERT_EQ(list.Count(), 2);
    list.Item(0).SetStartDate(date(2024, 2, 1)); // moves the row to a new key
    list.Item(0).SetEndDate(date(2024, 3, 31));
    list.Item(1).SetDeletePending(true);
    list.Add(entry(*dm, date(2024, 9, 1), 3));
    auto never = entry(*dm, date(2024, 10, 1), 3);
    never->SetDeletePending(true); // never stored: nothing to delete
    list.Add(std::move(never));
    EXPECT_TRUE(list.AnyModified());

    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    ASSERT_TRUE(list.UnlockAll("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(read("select group_concat(StartDate || '/' || ifnull(EndDate, '-') || '/' || PolicyID || '/' || "
                   "ifnull(LockedBy, ''), ' ') from (select * from EmpOT order by StartDate)"),
              "2024-02-01/2024-03-31/1/ 2024-09-01/-/3/");

    // A second round after further changes finds the rows where the first put them.
    list.Item(2).SetPolicyID(4);
    ASSERT_TRUE(list.LockAll("ALICE"));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(count("EmpOT"), 2);
    EXPECT_EQ(read("select PolicyID from EmpOT where StartDate = '2024-09-01'"), "4");
}

TEST_F(OTPolicyTest, SaveAllFailingOnItsThirdEntryWritesNoneOfTheBatch)
{
    assign(7, date(2024, 5, 1), 1); // on disk, not in the list
    std::string engineMessage;
    try {
        assign(7, date(2024, 5, 1), 9);
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    dm->tblEmpOT.cancel();
    ASSERT_NE(engineMessage.find("index 'Primary'"), std::string::npos);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Add(entry(*dm, date(2024, 1, 1), 2));
    list.Add(entry(*dm, date(2024, 3, 1), 2));
    list.Add(entry(*dm, date(2024, 5, 1), 3)); // the key is taken
    EXPECT_EQ(list.SaveAll("ALICE"), 2);
    expectOnlyMessage(CutMessage("The following error occurred saving the record: " + engineMessage + kNotSaved),
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("EmpOT"), 1);
    // Nothing was written, so every entry still waits to be saved.
    EXPECT_TRUE(list.Item(0).IsModified());
    EXPECT_EQ(list.Item(0).StoredStartDate(), 0);

    messages.clear();
    list.Item(2).SetStartDate(date(2024, 6, 1));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(count("EmpOT"), 4);
}

TEST_F(OTPolicyTest, SaveAllInsideACallersTransactionLeavesTheRollbackToTheCaller)
{
    assign(7, date(2024, 5, 1), 1);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Add(entry(*dm, date(2024, 1, 1), 2));
    list.Add(entry(*dm, date(2024, 5, 1), 3));
    dm->HourvaneDB.startTransaction();
    EXPECT_EQ(list.SaveAll("ALICE"), 1);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("EmpOT"), 1);
    ASSERT_EQ(messages.shown().size(), 1u);
}

TEST_F(OTPolicyTest, AnAssignmentDeletedMeanwhileIsReCreatedOnYes)
{
    assign(7, date(2024, 1, 1), 1);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Load();
    list.Item(0).SetPolicyID(5);
    exec(second(), "delete from EmpOT");
    messages.answer(MsgResult::Yes);
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    expectOnlyMessage("The Employee Overtime Policy record no longer exists in the database.  Do you want to "
                      "re-create the record?",
                      MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(read("select EmpID || '|' || StartDate || '|' || PolicyID from EmpOT"), "7|2024-01-01|5");
}

TEST_F(OTPolicyTest, RemovingAnAssignmentAnotherCopyAlreadyRemovedSucceeds)
{
    assign(7, date(2024, 1, 1), 1);
    TEmpOTPolicyListClass list(*dm, 7);
    list.Load();
    list.Item(0).SetDeletePending(true);
    exec(second(), "delete from EmpOT");
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(OTPolicyTest, LockAllIsRefusedByASecondCopyAndTakesNothing)
{
    assign(7, date(2024, 1, 1), 1);
    assign(7, date(2024, 7, 1), 2);
    exec(*dm, "update EmpOT set LockedBy = 'ALICE' where StartDate = '2024-07-01'");

    actAs("BOB");
    TEmpOTPolicyListClass bob(second(), 7);
    bob.Load();
    EXPECT_FALSE(bob.LockAll("BOB"));
    expectOnlyMessage("The Employee Overtime Policy record is already locked by ALICE.  You may view the "
                      "information but may not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_FALSE(second().HourvaneDB.inTransaction());
    EXPECT_EQ(read("select ifnull(LockedBy, '') from EmpOT where StartDate = '2024-01-01'"), "");
    EXPECT_EQ(bob.Item(0).lockHolder(), "");
}

TEST_F(OTPolicyTest, AssignmentGridShowsVisibleEntriesWithTheirListIndex)
{
    appState().displayDateFormat = "mm/dd/yyyy";
    std::int64_t a = addPolicy("Standard");
    TEmpOTPolicyListClass list(*dm, 7);
    MemoryGrid grid;

    list.FillAssignmentGrid(grid);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_GE(grid.columnCount(), 4);
    EXPECT_EQ(grid.cell(0, 0), "");

    auto first = entry(*dm, date(2024, 1, 1), a);
    first->SetEndDate(date(2024, 6, 30));
    list.Add(std::move(first));
    auto removed = entry(*dm, date(2024, 3, 1), a);
    removed->SetDeletePending(true);
    list.Add(std::move(removed));
    list.Add(entry(*dm, date(2024, 7, 1), a + 100)); // its policy is gone
    list.FillAssignmentGrid(grid);
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(0, 0), "Standard");
    EXPECT_EQ(grid.cell(0, 1), "01/01/2024");
    EXPECT_EQ(grid.cell(0, 2), "06/30/2024");
    EXPECT_EQ(grid.cell(0, 3), "0");
    EXPECT_EQ(grid.cell(1, 0), "");
    EXPECT_EQ(grid.cell(1, 1), "07/01/2024");
    EXPECT_EQ(grid.cell(1, 2), "");
    EXPECT_EQ(grid.cell(1, 3), "2");
}

} // namespace hv::test
