// Benefit accrual policy rules: the band lookup, the re-created row, the list
// operations in one transaction and the lock between two copies.
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/MessageService.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "tests/support/DataFolderFixture.h"
#include "timeoff/TPolicy.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace hv::test {
namespace {

constexpr std::int32_t kVacation = 7;
constexpr std::int32_t kSick = 8;

class PolicyTest : public TwoCopyTest {
protected:
    std::int64_t count(const std::string& where = {}) { return TwoCopyTest::count("Policy", where); }

    void addRule(std::int32_t reason, int start, int end, int empType = 1, const std::string& lockedBy = {})
    {
        exec(*dm, "insert into Policy (ReasonID, EmpTypeID, StartMonths, DisplayStartPeriod, EndMonths, "
                  "DisplayEndPeriod, EarnedHours, DisplayEarnedHours, DisplayEarnedPeriod, CarryOverHours, LockedBy) "
                  "values (" + std::to_string(reason) + ", " + std::to_string(empType) + ", " +
                  std::to_string(start) + ", 'Y', " + std::to_string(end) + ", 'M', 20, 40, 'P', 5, '" + lockedBy +
                  "')");
    }

    std::unique_ptr<TPolicyListClass> loaded(std::int32_t reason)
    {
        auto list = std::make_unique<TPolicyListClass>(*dm);
        list->SetReasonID(reason);
        EXPECT_TRUE(list->Load());
        return list;
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

// --- loading and the band lookup ---

TEST_F(PolicyTest, LoadReadsTheReasonsRulesInStartOrder)
{
    addRule(kVacation, 12, 960);
    addRule(kVacation, 0, 12);
    addRule(kVacation, 0, 960, 2);
    addRule(kSick, 0, 960);
    auto list = loaded(kVacation);
    ASSERT_EQ(list->Count(), 2);
    const TPolicyRecClass& first = list->Items(0);
    EXPECT_EQ(first.StartMonths(), 0);
    EXPECT_EQ(first.EndMonths(), 12);
    EXPECT_EQ(first.StoredStartMonths(), 0);
    EXPECT_EQ(first.StoredEndMonths(), 12);
    EXPECT_FLOAT_EQ(first.EarnedHours(), 20);
    EXPECT_FLOAT_EQ(first.CarryOverHours(), 5);
    EXPECT_FLOAT_EQ(first.DisplayEarnedHours(), 40);
    EXPECT_EQ(first.DisplayStartPeriod() + first.DisplayEndPeriod() + first.DisplayEarnedPeriod(), "YMP");
    EXPECT_FALSE(first.IsModified());
    EXPECT_EQ(list->Items(1).StartMonths(), 12);
    EXPECT_EQ(dm->tblPolicy.filtered(), false);
}

TEST_F(PolicyTest, FindByMonthsOnTheDefaultChain)
{
    addRule(kVacation, 0, 960);
    auto list = loaded(kVacation);
    EXPECT_EQ(list->FindByMonths(0), &list->Items(0));
    EXPECT_EQ(list->FindByMonths(960), &list->Items(0));
    EXPECT_EQ(list->FindByMonths(961), nullptr);
}

TEST_F(PolicyTest, FindByMonthsKeepsABandsLastMonthInThatBand)
{
    addRule(kVacation, 0, 12);
    addRule(kVacation, 12, 960);
    auto list = loaded(kVacation);
    EXPECT_EQ(list->FindByMonths(12), &list->Items(0));
    EXPECT_EQ(list->FindByMonths(13), &list->Items(1));

    TPolicyListClass none(*dm);
    none.SetReasonID(kSick);
    ASSERT_TRUE(none.Load());
    EXPECT_EQ(none.FindByMonths(0), nullptr);
}

// --- saving one rule ---

TEST_F(PolicyTest, RuleDeletedByAnotherCopyIsReCreatedComplete)
{
    addRule(kVacation, 0, 960);
    auto list = loaded(kVacation);
    ASSERT_EQ(list->LockAll("ALICE"), -1);
    TPolicyRecClass& rule = list->Items(0);
    rule.SetEarnedHours(80);
    exec(second(), "delete from Policy");

    const std::string question =
        "The Policy record no longer exists in the database.  Do you want to re-create the record?";
    messages.answer(MsgResult::No);
    EXPECT_FALSE(rule.Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count(), 0);

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rule.Save("ALICE"));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{question});
    EXPECT_EQ(read("select ReasonID || ',' || EmpTypeID || ',' || StartMonths || ',' || EndMonths || ',' || "
                   "EarnedHours || ',' || CarryOverHours || ',' || DisplayStartPeriod || DisplayEndPeriod || "
                   "DisplayEarnedPeriod || ',' || DisplayEarnedHours || '[' || LockedBy || ']' from Policy"),
              "7,1,0,960,80.0,5.0,YMP,40.0[]");
}

TEST_F(PolicyTest, SavingAMovedStartMovesTheRow)
{
    addRule(kVacation, 0, 12, 1, "ALICE");
    addRule(kVacation, 12, 960, 1, "ALICE");
    auto list = loaded(kVacation);
    list->Items(0).SetEndMonths(24);
    list->Items(1).SetStartMonths(24);
    ASSERT_EQ(list->SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(read("select group_concat(StartMonths || '-' || EndMonths || ':' || DisplayEarnedHours, ' ') from "
                   "(select * from Policy order by StartMonths)"),
              "0-24:40.0 24-960:40.0");
    EXPECT_EQ(count("LockedBy = ''"), 2);
}

// --- the list in one transaction ---

TEST_F(PolicyTest, SaveAllFailingOnAnEntryWritesNoneOfTheBatch)
{
    TPolicyListClass list(*dm);
    list.SetReasonID(kVacation);
    list.AddRule(0, 12, 0, 0, 0, "M", "Y", "Y");
    list.AddRule(12, 960, 0, 40, 0, "M", "Y", "Y");
    list.AddRule(12, 960, 0, 40, 0, "M", "Y", "Y"); // the same key again
    EXPECT_EQ(list.SaveAll("ALICE"), 2);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());

    // The engine's own words for the key violation, met the same way.
    addRule(kVacation, 12, 960);
    std::string engineMessage;
    engine::Table& t = dm->tblPolicy;
    try {
        t.append();
        t.fieldByName("ReasonID").setAsInteger(kVacation);
        t.fieldByName("EmpTypeID").setAsInteger(1);
        t.fieldByName("StartMonths").setAsInteger(12);
        t.fieldByName("EndMonths").setAsInteger(960);
        t.post();
    } catch (const engine::EngineError& e) {
        engineMessage = e.message();
    }
    t.cancel();
    EXPECT_NE(engineMessage.find("index 'Primary'"), std::string::npos);
    exec(*dm, "delete from Policy");
    EXPECT_EQ(messages.shown()[0].text, "The following error occurred saving the record: " + engineMessage + "\r\r" +
                                            "The record was NOT saved.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);

    // The rolled-back rules are still to be written.
    EXPECT_TRUE(list.Items(0).IsModified());
    EXPECT_TRUE(list.Items(1).IsModified());
    list.Items(2).SetStartMonths(960);
    messages.clear();
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(count(), 3);
}

TEST_F(PolicyTest, SaveAllInsideACallersTransactionLeavesItToTheCaller)
{
    TPolicyListClass list(*dm);
    list.SetReasonID(kVacation);
    list.AddRule(0, 12, 0, 0, 0, "M", "Y", "Y");
    list.AddRule(0, 960, 0, 0, 0, "M", "Y", "Y");
    dm->HourvaneDB.startTransaction();
    EXPECT_EQ(list.SaveAll("ALICE"), 1);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count(), 0);

    TPolicyListClass empty(*dm);
    EXPECT_EQ(empty.SaveAll("ALICE"), -1);
}

TEST_F(PolicyTest, LockAllIsRefusedByASecondCopyAndTakesNothing)
{
    addRule(kVacation, 0, 12);
    addRule(kVacation, 12, 960, 1, "BOB");
    auto list = loaded(kVacation);
    EXPECT_EQ(list->LockAll("ALICE"), 1);
    expectOnlyMessage("The Policy record is already locked by BOB.  You may view the information but may not save "
                      "any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(count("LockedBy = 'ALICE'"), 0);
    EXPECT_EQ(list->Items(0).lockHolder(), "");
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());

    // Once the other copy lets go, the whole list is taken and given back.
    exec(second(), "update Policy set LockedBy = ''");
    TPolicyListClass fresh(*dm);
    fresh.SetReasonID(kVacation);
    ASSERT_TRUE(fresh.Load());
    EXPECT_EQ(fresh.LockAll("ALICE"), -1);
    EXPECT_EQ(count("LockedBy = 'ALICE'"), 2);
    EXPECT_EQ(fresh.UnlockAll("ALICE"), -1);
    EXPECT_EQ(count("LockedBy = ''"), 2);
}

TEST_F(PolicyTest, SaveOfARuleLockedByAnotherCopyIsRefused)
{
    addRule(kVacation, 0, 960);
    auto list = loaded(kVacation);
    ASSERT_EQ(list->LockAll("ALICE"), -1);
    exec(second(), "update Policy set LockedBy = 'BOB'");
    list->Items(0).SetCarryOverHours(16);
    EXPECT_EQ(list->SaveAll("ALICE"), 0);
    expectOnlyMessage("An error occurred saving the Policy record.  The record is locked by BOB.\r\rPlease try your "
                      "changes again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(read("select CarryOverHours from Policy"), "5");
}

// --- deleting ---

TEST_F(PolicyTest, DeleteRuleRemovesStoredAndUnsavedRules)
{
    addRule(kVacation, 0, 12);
    addRule(kVacation, 12, 960);
    auto list = loaded(kVacation);
    ASSERT_EQ(list->LockAll("ALICE"), -1);
    list->AddRule(960, 960, 0, 0, 0, "Y", "Y", "Y");

    // The rule added since loading has no row; it only leaves the list.
    EXPECT_TRUE(list->DeleteRule(2, "ALICE"));
    EXPECT_TRUE(list->DeleteRule(1, "ALICE"));
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Items(0).EndMonths(), 12);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(list->SaveAll("ALICE"), -1);
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(list->DeleteRule(5, "ALICE"));
}

TEST_F(PolicyTest, DeleteRuleLockedByAnotherCopyStays)
{
    addRule(kVacation, 0, 960, 1, "BOB");
    auto list = loaded(kVacation);
    EXPECT_FALSE(list->DeleteRule(0, "ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(count(), 1);
}

TEST_F(PolicyTest, DeleteAllRulesRemovesOnlyTheReasonsRules)
{
    addRule(kVacation, 0, 12);
    addRule(kVacation, 12, 960);
    addRule(kVacation, 0, 960, 2);
    addRule(kSick, 0, 960);
    TPolicyListClass list(*dm);
    list.SetReasonID(kVacation);
    EXPECT_TRUE(list.DeleteAllRules());
    EXPECT_EQ(count("ReasonID = 7"), 0);
    EXPECT_EQ(count("ReasonID = 8"), 1);
}

TEST_F(PolicyTest, DeleteAllRulesReportsTheEngineError)
{
    addRule(kVacation, 0, 960);
    exec(*dm, "create trigger " + dm->HourvaneDB.schemaOf("Policy") +
                  ".hv_break before delete on Policy begin select raise(abort, 'broken Policy'); end");
    std::string expected;
    try {
        exec(*dm, "delete from Policy where ReasonID = 7");
    } catch (const engine::EngineError& e) {
        expected = "The following error occurred deleting the Policy records:\r\r" + std::to_string(e.code()) +
                   " - " + e.message() + ".";
    }
    TPolicyListClass list(*dm);
    list.SetReasonID(kVacation);
    EXPECT_FALSE(list.DeleteAllRules());
    expectOnlyMessage(expected, MsgKind::Warning);
    EXPECT_EQ(count(), 1);
}

} // namespace
} // namespace hv::test
