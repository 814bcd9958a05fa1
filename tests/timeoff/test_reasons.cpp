// Time off reasons: the save with its benefit cascade and duplicate errors,
// the delete with its dependants, the row lock between two copies and the
// reason pick lists.
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/MessageService.h"
#include "ports/PickList.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "tests/support/DataFolderFixture.h"
#include "timeoff/TPolicy.h"
#include "timeoff/TReason.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace hv::test {
namespace {

const std::string kDupDescription = "This Reason Description has already been used.  Please try another one.";
const std::string kDupCode = "This Reason Code has already been used.  Please try another one.";
const std::string kReAdd =
    "The Time Off Reason record no longer exists in the database.  Do you want to re-add the Reason?";

class ReasonTest : public TwoCopyTest {
protected:
    std::int32_t addReason(const std::string& name, const std::string& code, bool active = true, bool policy = false,
                           const std::string& lockedBy = {})
    {
        return addReasonRow(*dm, {.name = name, .code = code, .active = active, .paid = false, .policy = policy,
                                  .accrualBasis = "A", .lockedBy = lockedBy});
    }
    void addRule(std::int32_t reason, int start, int end)
    {
        addRuleRow(*dm, {.reason = reason, .startMonths = start, .endMonths = end, .earned = 40});
    }
    void addAccrual(int emp, std::int32_t reason)
    {
        exec(*dm, "insert into Accrual (EmpID, ReasonID, AccruedHours, AccrualDate) values (" + std::to_string(emp) +
                  ", " + std::to_string(reason) + ", 8, '2024-01-01')");
    }
    void addTimeOff(int emp, std::int32_t reason)
    {
        exec(*dm, "insert into TimeOff (EmpID, WeekDate, ReasonID, Hours) values (" + std::to_string(emp) +
                  ", '2024-03-08', " + std::to_string(reason) + ", 8)");
    }
    // Makes every statement that deletes from (or inserts into) the table fail.
    void breakTable(const std::string& table, const std::string& event)
    {
        const std::string schema = dm->HourvaneDB.schemaOf(table);
        exec(*dm, "create trigger " + schema + ".hv_break_" + event + " before " + event + " on " + table +
                  " begin select raise(abort, 'broken " + table + "'); end");
    }
    // The engine error the statement meets on this copy's connection.
    engine::EngineError errorOf(const std::string& sql)
    {
        try {
            exec(*dm, sql);
        } catch (const engine::EngineError& e) {
            return e;
        }
        ADD_FAILURE() << "the statement did not fail: " << sql;
        return engine::EngineError(0, "");
    }

    std::unique_ptr<TReasonRecClass> load(std::int32_t id)
    {
        auto rec = std::make_unique<TReasonRecClass>(*dm);
        rec->SetReasonID(id);
        EXPECT_TRUE(rec->LoadByID());
        return rec;
    }

    void expectOnlyMessage(const std::string& text, MsgKind kind, MsgButtons buttons = MsgButtons::Ok,
                           int helpContext = 0)
    {
        ASSERT_EQ(messages.shown().size(), 1u) << (messages.shown().empty() ? "" : messages.last());
        const ShownMessage& m = messages.shown().front();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.kind, kind);
        EXPECT_EQ(m.buttons, buttons);
        EXPECT_EQ(m.helpContext, helpContext);
    }

};

// --- loading ---

TEST_F(ReasonTest, LoadReadsTheBasisLettersOnlyForABenefit)
{
    std::int32_t vacation = addReason("Vacation", "V", true, true, "BOB");
    auto rec = load(vacation);
    EXPECT_EQ(rec->Reason(), "Vacation");
    EXPECT_EQ(rec->ReasonCode(), "V");
    EXPECT_TRUE(rec->PolicyFlag());
    EXPECT_EQ(rec->AccrualBasis(), "A");
    EXPECT_EQ(rec->ValidateBasis(), "E");
    EXPECT_EQ(rec->lockHolder(), "BOB");
    EXPECT_FALSE(rec->IsModified());

    std::int32_t jury = addReason("Jury Duty", "J");
    exec(*dm, "update Reason set AccrualBasis = 'C', ValidateBasis = 'Y' where ReasonID = " + std::to_string(jury));
    rec = load(jury);
    EXPECT_EQ(rec->AccrualBasis(), "");
    EXPECT_EQ(rec->ValidateBasis(), "");

    TReasonRecClass byName(*dm);
    byName.SetReason("VACATION");
    ASSERT_TRUE(byName.LoadByDescription());
    EXPECT_EQ(byName.ReasonID(), vacation);
    EXPECT_EQ(byName.Reason(), "Vacation");
}

TEST_F(ReasonTest, LoadOfADeletedReasonFailsAndLeavesTheClearedValues)
{
    std::int32_t id = addReason("Sick", "S", false, true);
    exec(*dm, "delete from Reason where ReasonID = " + std::to_string(id));
    TReasonRecClass rec(*dm);
    rec.SetReasonID(id);
    EXPECT_FALSE(rec.LoadByID());
    EXPECT_EQ(rec.Reason(), "");
    EXPECT_TRUE(rec.ActiveFlag());
    EXPECT_FALSE(rec.PolicyFlag());
}

TEST_F(ReasonTest, ListHoldsEveryReasonInDescriptionOrder)
{
    addReason("Vacation", "V");
    addReason("jury duty", "J", false);
    addReason("Sick", "S", true, true);
    TReasonListClass list(*dm);
    list.Load();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Reason(), "jury duty");
    EXPECT_EQ(list.Items(1).Reason(), "Sick");
    EXPECT_EQ(list.Items(1).AccrualBasis(), "A");
    EXPECT_EQ(list.Items(2).Reason(), "Vacation");
}

// --- saving ---

TEST_F(ReasonTest, UnmodifiedSaveWritesNothing)
{
    // A benefit without rules and a lock of another copy: any write would show.
    std::int32_t id = addReason("Vacation", "V", true, true, "BOB");
    auto rec = load(id);
    EXPECT_TRUE(rec->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(read("select LockedBy from Reason"), "BOB");
    EXPECT_EQ(count("Policy"), 0);
}

TEST_F(ReasonTest, NewBenefitGetsExactlyOneDefaultRule)
{
    TReasonRecClass rec(*dm);
    rec.SetReason("Vacation");
    rec.SetReasonCode("V");
    rec.SetPolicyFlag(true);
    rec.SetAccrualBasis("C");
    rec.SetValidateBasis("Y");
    EXPECT_EQ(rec.lockHolder(), "ALICE"); // a new reason is locked in memory
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(rec.IsModified());
    ASSERT_GT(rec.ReasonID(), 0);
    const std::string id = std::to_string(rec.ReasonID());

    EXPECT_EQ(read("select AccrualBasis || ValidateBasis || '[' || LockedBy || ']' from Reason"), "CY[]");
    ASSERT_EQ(count("Policy"), 1);
    EXPECT_EQ(read("select ReasonID || ',' || EmpTypeID || ',' || StartMonths || ',' || EndMonths || ',' || "
                   "EarnedHours || ',' || CarryOverHours || ',' || DisplayStartPeriod || DisplayEndPeriod || "
                   "DisplayEarnedPeriod || ',' || DisplayEarnedHours || '[' || LockedBy || ']' from Policy"),
              id + ",1,0,960,0.0,0.0,MYY,0.0[]");

    rec.SetPaidFlag(true);
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_EQ(count("Policy"), 1);
    EXPECT_EQ(read("select PaidFlag from Reason"), "1");
}

TEST_F(ReasonTest, SwitchingTheBenefitOffRemovesRulesAndAccrualsButKeepsTimeOff)
{
    std::int32_t vacation = addReason("Vacation", "V", true, true);
    std::int32_t sick = addReason("Sick", "S", true, true);
    addRule(vacation, 0, 12);
    addRule(vacation, 12, 960);
    addRule(sick, 0, 960);
    addAccrual(1, vacation);
    addAccrual(2, vacation);
    addAccrual(1, sick);
    addTimeOff(1, vacation);

    auto rec = load(vacation);
    rec->SetPolicyFlag(false);
    EXPECT_EQ(read("select LockedBy from Reason where ReasonID = " + std::to_string(vacation)), "ALICE");
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());

    EXPECT_EQ(count("Policy", "ReasonID = " + std::to_string(vacation)), 0);
    EXPECT_EQ(count("Accrual", "ReasonID = " + std::to_string(vacation)), 0);
    EXPECT_EQ(count("TimeOff", "ReasonID = " + std::to_string(vacation)), 1);
    EXPECT_EQ(count("Policy", "ReasonID = " + std::to_string(sick)), 1);
    EXPECT_EQ(count("Accrual", "ReasonID = " + std::to_string(sick)), 1);
    EXPECT_EQ(read("select PolicyFlag || '[' || AccrualBasis || ValidateBasis || LockedBy || ']' from Reason "
                   "where ReasonID = " + std::to_string(vacation)),
              "0[]");
    EXPECT_EQ(rec->AccrualBasis(), "");
}

TEST_F(ReasonTest, DuplicateDescriptionRaisesAndLeavesNothingBehind)
{
    addReason("Vacation", "V");
    TReasonRecClass rec(*dm);
    rec.SetReason("VACATION");
    rec.SetReasonCode("X");
    rec.SetPolicyFlag(true);
    try {
        rec.Save("ALICE");
        FAIL() << "no error raised";
    } catch (const EDupReasonDescError& e) {
        EXPECT_EQ(std::string(e.what()), kDupDescription);
    }
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Reason"), 1);
    EXPECT_EQ(count("Policy"), 0);
    EXPECT_EQ(rec.ReasonID(), 0);
    EXPECT_TRUE(rec.IsModified());
}

TEST_F(ReasonTest, DuplicateCodeRaisesAndLeavesNothingBehind)
{
    addReason("Vacation", "V");
    std::int32_t sick = addReason("Sick", "S");
    auto rec = load(sick);
    rec->SetReasonCode("v");
    try {
        rec->Save("ALICE");
        FAIL() << "no error raised";
    } catch (const EDupReasonCodeError& e) {
        EXPECT_EQ(std::string(e.what()), kDupCode);
    }
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(read("select ReasonCode || LockedBy from Reason where ReasonID = " + std::to_string(sick)), "SALICE");
    EXPECT_EQ(rec->ReasonID(), sick);
}

TEST_F(ReasonTest, DuplicateInsideACallersTransactionLeavesItToTheCaller)
{
    addReason("Vacation", "V");
    dm->HourvaneDB.startTransaction();
    TReasonRecClass rec(*dm);
    rec.SetReason("vacation");
    rec.SetReasonCode("X");
    EXPECT_THROW(rec.Save("ALICE"), EDupReasonDescError);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
}

TEST_F(ReasonTest, SavingARowThatAnotherCopyDeletedAsksToReAddIt)
{
    std::int32_t id = addReason("Vacation", "V");
    auto rec = load(id);
    rec->SetPaidFlag(true);
    exec(second(), "delete from Reason");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(kReAdd, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("Reason"), 0);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->ReasonID(), id);

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kReAdd});
    EXPECT_EQ(read("select Reason || PaidFlag from Reason"), "Vacation1");
    EXPECT_EQ(read("select ReasonID from Reason"), std::to_string(rec->ReasonID()));
}

TEST_F(ReasonTest, EngineFailureShowsTheSaveErrorAndForgetsTheNewNumber)
{
    breakTable("Accrual", "delete");
    addAccrual(1, 1); // the cascade of reason 1 meets the broken table
    const engine::EngineError e = errorOf("delete from Accrual where ReasonID = 1");
    TReasonRecClass rec(*dm);
    rec.SetReason("Jury Duty");
    rec.SetReasonCode("J");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage("The following error occurred saving the record: " + e.message() + "\r\r" +
                          "The record was NOT saved.",
                      MsgKind::Warning);
    EXPECT_EQ(rec.ReasonID(), 0);
    EXPECT_EQ(count("Reason"), 0);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
}

TEST_F(ReasonTest, FailingToDeleteTheRulesRollsTheSaveBack)
{
    std::int32_t id = addReason("Vacation", "V", true, true);
    addRule(id, 0, 960);
    breakTable("Policy", "delete");
    const engine::EngineError e = errorOf("delete from Policy where ReasonID = " + std::to_string(id));
    auto rec = load(id);
    rec->SetPolicyFlag(false);
    EXPECT_FALSE(rec->Save("ALICE"));
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"The following error occurred deleting the Policy records:\r\r" +
                                            std::to_string(e.code()) + " - " + e.message() + ".",
                                        "Failed to delete the Reason policy"}));
    EXPECT_EQ(read("select PolicyFlag || LockedBy from Reason"), "1ALICE");
    EXPECT_EQ(count("Policy"), 1);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_TRUE(rec->IsModified());
}

TEST_F(ReasonTest, FailingToAddTheFirstRuleStillSavesTheReason)
{
    breakTable("Policy", "insert");
    TReasonRecClass rec(*dm);
    rec.SetReason("Vacation");
    rec.SetReasonCode("V");
    rec.SetPolicyFlag(true);
    EXPECT_TRUE(rec.Save("ALICE"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text.rfind("The following error occurred saving the record: ", 0), 0u);
    EXPECT_EQ(messages.shown()[1].text, "Failed to add the first policy record");
    EXPECT_EQ(count("Reason"), 1);
    EXPECT_EQ(count("Policy"), 0);
}

TEST_F(ReasonTest, SecondCopyIsRefusedTheLockAndTheSave)
{
    std::int32_t id = addReason("Vacation", "V");
    auto mine = load(id);

    actAs("BOB");
    TReasonRecClass theirs(second());
    theirs.SetReasonID(id);
    ASSERT_TRUE(theirs.LoadByID());
    theirs.SetPaidFlag(true);
    EXPECT_EQ(theirs.lockHolder(), "BOB");

    actAs("ALICE");
    mine->SetReason("Holiday");
    expectOnlyMessage("The Reason record is already locked by BOB.  You may view the information but may not save "
                      "any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_TRUE(mine->lockRefused());
    EXPECT_TRUE(mine->IsModified());

    messages.clear();
    EXPECT_FALSE(mine->Save("ALICE"));
    expectOnlyMessage("An error occurred saving the Reason record.  The record is locked by BOB.\r\rPlease try your "
                      "changes again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());

    actAs("BOB");
    messages.clear();
    ASSERT_TRUE(theirs.Save("BOB"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(read("select Reason || PaidFlag || '[' || LockedBy || ']' from Reason"), "Vacation1[]");
}

// --- deleting ---

TEST_F(ReasonTest, DeleteRemovesTheReasonWithItsRulesAccrualsAndTimeOff)
{
    std::int32_t vacation = addReason("Vacation", "V", true, true);
    std::int32_t sick = addReason("Sick", "S", true, true);
    for (std::int32_t r : {vacation, sick}) {
        addRule(r, 0, 960);
        addAccrual(1, r);
        addTimeOff(1, r);
    }
    auto rec = load(vacation);
    ASSERT_TRUE(rec->Lock("ALICE"));
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(rec->ReasonID(), 0);
    EXPECT_EQ(rec->Reason(), "");
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    const std::string where = "ReasonID = " + std::to_string(vacation);
    EXPECT_EQ(count("Reason", where), 0);
    EXPECT_EQ(count("Policy", where), 0);
    EXPECT_EQ(count("Accrual", where), 0);
    EXPECT_EQ(count("TimeOff", where), 0);
    const std::string others = "ReasonID = " + std::to_string(sick);
    EXPECT_EQ(count("Policy", others) + count("Accrual", others) + count("TimeOff", others), 3);
}

TEST_F(ReasonTest, DeleteThatFailsPartWayLeavesEverything)
{
    std::int32_t id = addReason("Vacation", "V", true, true);
    addRule(id, 0, 960);
    addAccrual(1, id);
    addTimeOff(1, id);
    breakTable("TimeOff", "delete");
    const engine::EngineError e = errorOf("delete from TimeOff where ReasonID = " + std::to_string(id));
    auto rec = load(id);
    ASSERT_TRUE(rec->Lock("ALICE"));
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage("The following error occurred deleting the Reason record: \r\r" + std::to_string(e.code()) +
                          " - " + e.message() + ".",
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("Reason") + count("Policy") + count("Accrual") + count("TimeOff"), 4);
    EXPECT_EQ(rec->ReasonID(), id);
}

TEST_F(ReasonTest, DeleteOfAMissingOrForeignLockedReasonFails)
{
    TReasonRecClass gone(*dm);
    gone.SetReasonID(42);
    EXPECT_FALSE(gone.Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());

    std::int32_t id = addReason("Vacation", "V", true, false, "BOB");
    addTimeOff(1, id);
    auto rec = load(id);
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(count("Reason") + count("TimeOff"), 2);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
}

// --- pick lists ---

TEST_F(ReasonTest, FillReasonListOffersTheNewEntryAndKeepsTheUsedInactiveReason)
{
    std::int32_t vacation = addReason("Vacation", "V");
    std::int32_t jury = addReason("Jury Duty", "J", false);
    addReason("Bereavement", "B", false);
    std::int32_t sick = addReason("Sick", "S");
    TReasonRecClass rec(*dm);

    MemoryPickList all(PickListKind::DropDown);
    rec.FillReasonList(all, true, false, -1);
    EXPECT_EQ(all.texts(),
              (std::vector<std::string>{"<New Time Off Reason>", "Bereavement", "Jury Duty", "Sick", "Vacation"}));
    EXPECT_EQ(all.id(0), 0);
    EXPECT_EQ(all.id(2), jury);

    MemoryPickList active(PickListKind::DropDown);
    rec.FillReasonList(active, false, true, jury);
    EXPECT_EQ(active.texts(), (std::vector<std::string>{"Jury Duty", "Sick", "Vacation"}));
    EXPECT_EQ(active.id(1), sick);

    rec.FillReasonList(active, false, true, vacation);
    EXPECT_EQ(active.texts(), (std::vector<std::string>{"Sick", "Vacation"}));
}

TEST_F(ReasonTest, FillPolicyReasonListOffersOnlyBenefits)
{
    addReason("Vacation", "V", true, true);
    addReason("Jury Duty", "J");
    std::int32_t sick = addReason("Sick", "S", false, true);
    TReasonRecClass rec(*dm);
    MemoryPickList list(PickListKind::DropDown);
    list.add("stale", 9);
    rec.FillPolicyReasonList(list);
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"Sick", "Vacation"}));
    EXPECT_EQ(list.id(0), sick);
}

} // namespace
} // namespace hv::test
