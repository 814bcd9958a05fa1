// Time off entries: the save rules (balance warning, new-day and key clashes
// with another copy, vanished rows), the week list's weekday totals, the list
// operations inside one transaction, the range list and the oldest entry.
// Today is Tuesday 15 June 2010 throughout.
#include "engine/Table.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "tests/people/PeopleFixture.h"
#include "timeoff/TTimeOff.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

const std::string kDuplicateText = "Another user has already added Time Off entries for this Employee for this "
                                   "week.\r\rPlease select the employee again and make changes to the new entries.";

class TimeOffTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
        today.setToday(date(2010, 6, 15));
        setClock(&today);
        emp = std::int32_t(addEmp("Baker", "Ann", date(2005, 1, 1)));
        holiday = addReason("Holiday", "H", true, true);
        sick = addReason("Sick", "S", true, false);
        unpaidOT = addReason("Jury Duty", "J", false, true);
        unpaid = addReason("Unpaid Leave", "U", false, false);
    }
    void TearDown() override
    {
        setClock(nullptr);
        resetGlobalSettings();
        PeopleTest::TearDown();
    }

    std::int32_t addReason(const std::string& name, const std::string& code, bool paid, bool overtime,
                           bool policy = false)
    {
        return addReasonRow(*dm, {.name = name, .code = code, .paid = paid, .overtime = overtime, .policy = policy});
    }
    // A calendar-year vacation benefit validated to date, earning nothing per
    // month: what remains is the opening balance less this year's time off.
    std::int32_t vacation(float opening)
    {
        const std::int32_t id = addReason("Vacation", "V", true, false, true);
        engine::Table& rules = dm->tblPolicy;
        rules.append();
        rules.fieldByName("ReasonID").setAsInteger(id);
        rules.fieldByName("EmpTypeID").setAsInteger(1);
        rules.fieldByName("StartMonths").setAsInteger(0);
        rules.fieldByName("EndMonths").setAsInteger(960);
        rules.fieldByName("EarnedHours").setAsFloat(0);
        rules.fieldByName("CarryOverHours").setAsFloat(999);
        rules.post();
        engine::Table& acc = dm->tblAccruals;
        acc.append();
        acc.fieldByName("EmpID").setAsInteger(emp);
        acc.fieldByName("ReasonID").setAsInteger(id);
        acc.fieldByName("AccruedHours").setAsFloat(opening);
        acc.fieldByName("AccrualDate").setAsDateTime(date(2010, 1, 1));
        acc.post();
        return id;
    }
    void addTimeOff(std::int32_t reason, double day, float hours, std::int32_t empID = 0,
                    const std::string& lockedBy = {})
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(empID ? empID : emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        if (!lockedBy.empty())
            t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
    }
    // A new entry of the employee with its hours set (and so modified).
    std::unique_ptr<TTimeOffRecClass> newEntry(std::int32_t reason, double day, float hours)
    {
        auto e = std::make_unique<TTimeOffRecClass>(*dm, emp, day, reason);
        e->SetHours(hours);
        return e;
    }
    std::unique_ptr<TTimeOffRecClass> loaded(std::int32_t reason, double day)
    {
        auto e = std::make_unique<TTimeOffRecClass>(*dm, emp, day, reason);
        EXPECT_TRUE(e->Load());
        return e;
    }
    // The stored hours as the other copy reads them; -1 when there is no row.
    float hoursOf(std::int32_t reason, double day)
    {
        const std::string v = read("select Hours from TimeOff where EmpID = " + std::to_string(emp) + " and ReasonID = " +
                    std::to_string(reason) + " and WeekDate = '" + FormatDateTime("yyyy-mm-dd", day) + "'");
        return v == "<no row>" ? -1.0f : std::stof(v);
    }
    std::string question(const std::string& warning, const std::string& weekday)
    {
        return warning + "\r\rDo you want to save " + weekday + "s  record?";
    }

    FixedClock today;
    std::int32_t emp = 0;
    std::int32_t holiday = 0, sick = 0, unpaidOT = 0, unpaid = 0;
};

// ---- week list ---------------------------------------------------------------

TEST_F(TimeOffTest, WeekTotalsAreIndexedByWeekdayWhateverTheFirstDayOfTheWeek)
{
    addTimeOff(holiday, date(2010, 6, 12), 8); // Saturday
    addTimeOff(sick, date(2010, 6, 13), 4);    // Sunday
    addTimeOff(unpaid, date(2010, 6, 13), 2);
    addTimeOff(holiday, date(2010, 6, 19), 6); // Saturday of the following week
    addTimeOff(holiday, date(2010, 6, 8), 5);  // before the first week
    addTimeOff(holiday, date(2010, 6, 13), 3, emp + 1);

    // Weeks starting on Wednesday: 9 June to Tuesday 15 June.
    globalSettings().firstDate = date(2010, 6, 9);
    TTimeOffListClass week(*dm, emp, date(2010, 6, 15));
    ASSERT_TRUE(week.Load());
    ASSERT_EQ(week.Count(), 3);
    EXPECT_FLOAT_EQ(week.DayTotal(6), 8);
    EXPECT_FLOAT_EQ(week.DayTotal(0), 6);
    EXPECT_FLOAT_EQ(week.DayPaid(0), 4);
    EXPECT_FLOAT_EQ(week.DayUnpaid(0), 2);
    EXPECT_FLOAT_EQ(week.DayOvertime(6), 8);
    EXPECT_FLOAT_EQ(week.DayOvertime(0), 0);
    for (int d = 1; d <= 5; ++d)
        EXPECT_FLOAT_EQ(week.DayTotal(d), 0) << d;
    EXPECT_FLOAT_EQ(week.GrandTotal(), 14);

    // Weeks starting on Sunday: 13 to 19 June.
    globalSettings().firstDate = date(2010, 6, 13);
    week.SetWeekEnd(date(2010, 6, 19));
    ASSERT_TRUE(week.Load());
    ASSERT_EQ(week.Count(), 3);
    EXPECT_FLOAT_EQ(week.DayTotal(0), 6);
    EXPECT_FLOAT_EQ(week.DayTotal(6), 6);
    EXPECT_FLOAT_EQ(week.GrandTotal(), 12);
}

TEST_F(TimeOffTest, UnpaidOvertimeCountingReasonAddsToUnpaidAndOvertime)
{
    addTimeOff(unpaidOT, date(2010, 6, 16), 7.5f); // Wednesday
    TTimeOffListClass week(*dm, emp, date(2010, 6, 19));
    week.Load();
    EXPECT_FLOAT_EQ(week.DayUnpaid(3), 7.5f);
    EXPECT_FLOAT_EQ(week.DayOvertime(3), 7.5f);
    EXPECT_FLOAT_EQ(week.DayPaid(3), 0);
    EXPECT_FLOAT_EQ(week.DayTotal(3), 7.5f);
}

TEST_F(TimeOffTest, ClearAndComputeTotalsFollowTheEntriesHeld)
{
    addTimeOff(holiday, date(2010, 6, 14), 8);
    TTimeOffListClass week(*dm, emp, date(2010, 6, 19));
    week.Load();
    week.Add(newEntry(sick, date(2010, 6, 15), 3));
    week.Items(0).SetHours(4);
    week.ComputeTotals();
    EXPECT_FLOAT_EQ(week.DayTotal(1), 4);
    EXPECT_FLOAT_EQ(week.DayPaid(2), 3);
    EXPECT_FLOAT_EQ(week.GrandTotal(), 7);
    EXPECT_TRUE(week.AnyModified());
    week.SetAllModified(false);
    EXPECT_FALSE(week.AnyModified());
    week.Clear();
    EXPECT_EQ(week.Count(), 0);
    EXPECT_FLOAT_EQ(week.DayTotal(1), 0);
    EXPECT_FLOAT_EQ(week.GrandTotal(), 0);
}

// ---- entry load, save and delete ----------------------------------------------

TEST_F(TimeOffTest, NewEntryIsSavedLoadsBackAndMovesWithItsKey)
{
    auto e = newEntry(sick, date(2010, 6, 14), 4);
    EXPECT_TRUE(e->IsModified());
    ASSERT_TRUE(e->Save("ALICE"));
    EXPECT_FALSE(e->IsModified());
    EXPECT_FLOAT_EQ(hoursOf(sick, date(2010, 6, 14)), 4.0f);

    auto again = loaded(sick, date(2010, 6, 14));
    EXPECT_FLOAT_EQ(again->Hours(), 4);
    EXPECT_EQ(again->StoredReasonID(), sick);
    EXPECT_EQ(again->ReasonDescription(), "Sick");
    // An edit may move the row to another day and reason.
    again->SetWeekDate(date(2010, 6, 15));
    again->SetReasonID(holiday);
    ASSERT_TRUE(again->Save("ALICE"));
    EXPECT_EQ(count("TimeOff"), 1);
    EXPECT_FLOAT_EQ(hoursOf(holiday, date(2010, 6, 15)), 4.0f);
    EXPECT_EQ(read("select LockedBy from TimeOff"), "");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TimeOffTest, LoadOfMissingRowIsFalseAndUnknownReasonIsNamed)
{
    TTimeOffRecClass e(*dm, emp, date(2010, 6, 14), 999);
    EXPECT_FALSE(e.Load());
    EXPECT_EQ(e.StoredReasonID(), 0);
    EXPECT_EQ(e.ReasonDescription(), "Reason Not Found");
}

TEST_F(TimeOffTest, EditingLocksTheStoredRow)
{
    addTimeOff(sick, date(2010, 6, 14), 4);
    auto e = loaded(sick, date(2010, 6, 14));
    e->SetReasonID(holiday);
    // The lock went to the row as stored, before the reason changed.
    EXPECT_EQ(read("select LockedBy from TimeOff"), "ALICE");
    EXPECT_EQ(e->ReasonID(), holiday);
}

TEST_F(TimeOffTest, RowDeletedMeanwhileAsksToRecreate)
{
    addTimeOff(sick, date(2010, 6, 14), 4);
    auto e = loaded(sick, date(2010, 6, 14));
    e->SetHours(6);
    exec(second(), "delete from TimeOff");
    const std::string ask =
        "The Time Off record no longer exists in the database.  Do you want to re-create the record?";
    messages.answer(MsgResult::No);
    EXPECT_FALSE(e->Save("ALICE"));
    expectOnlyMessage(ask, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("TimeOff"), 0);
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(e->Save("ALICE"));
    EXPECT_FLOAT_EQ(hoursOf(sick, date(2010, 6, 14)), 6.0f);
}

TEST_F(TimeOffTest, DeleteRemovesTheRowAndReturnsTheEntryToNew)
{
    addTimeOff(sick, date(2010, 6, 14), 4);
    auto e = loaded(sick, date(2010, 6, 14));
    ASSERT_TRUE(e->Lock("ALICE"));
    ASSERT_TRUE(e->Delete("ALICE"));
    EXPECT_EQ(count("TimeOff"), 0);
    EXPECT_EQ(e->EmpID(), 0);
    EXPECT_EQ(e->ReasonID(), 0);
    EXPECT_EQ(e->StoredReasonID(), 0);
    // Gone already: false without a word.
    auto gone = std::make_unique<TTimeOffRecClass>(*dm, emp, date(2010, 6, 14), sick);
    EXPECT_FALSE(gone->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
}

// ---- remaining benefit hours ----------------------------------------------------

TEST_F(TimeOffTest, ShortBalanceWarnsAndNoWritesNothing)
{
    const auto v = vacation(8);
    auto e = newEntry(v, date(2010, 6, 16), 10);
    messages.answer(MsgResult::No);
    EXPECT_FALSE(e->Save("ALICE"));
    expectOnlyMessage(question("There are only 8.00 VACATION hours remaining.", "Wednesday"), MsgKind::Confirmation,
                      MsgButtons::YesNo);
    EXPECT_EQ(count("TimeOff"), 0);
    EXPECT_TRUE(e->IsModified());

    messages.clear();
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(e->Save("ALICE"));
    EXPECT_FLOAT_EQ(hoursOf(v, date(2010, 6, 16)), 10.0f);
}

TEST_F(TimeOffTest, EntryWithinTheBalanceSavesWithoutAsking)
{
    const auto v = vacation(8);
    EXPECT_TRUE(newEntry(v, date(2010, 6, 16), 8)->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TimeOffTest, IneligibleEmployeeIsWarnedWithTheReason)
{
    const auto v = addReason("Vacation", "V", true, false, true);
    exec(*dm, "update Employee set EligibleFlag = 0");
    messages.answer(MsgResult::No);
    EXPECT_FALSE(newEntry(v, date(2010, 6, 16), 1)->Save("ALICE"));
    expectOnlyMessage(question("This employee is not eligible to earn VACATION hours.", "Wednesday"),
                      MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("TimeOff"), 0);
}

TEST_F(TimeOffTest, EditedEntryIsNotMeasuredAgainstItsOwnStoredHours)
{
    const auto v = vacation(8);
    addTimeOff(v, date(2010, 3, 10), 8);
    // 8 earned, 8 taken by this very entry: moving it keeps it within the balance.
    auto e = loaded(v, date(2010, 3, 10));
    e->SetWeekDate(date(2010, 3, 11));
    EXPECT_TRUE(e->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    // Raising it beyond what it had is still short by the difference.
    e->SetHours(10);
    messages.answer(MsgResult::No);
    EXPECT_FALSE(e->Save("ALICE"));
    expectOnlyMessage(question("There are only 8.00 VACATION hours remaining.", "Thursday"), MsgKind::Confirmation,
                      MsgButtons::YesNo);
    EXPECT_FLOAT_EQ(hoursOf(v, date(2010, 3, 11)), 8.0f);
}

TEST_F(TimeOffTest, StoredHoursOutsideTheCountedYearOrOfAnotherReasonAreNotGivenBack)
{
    const auto v = vacation(8);
    addTimeOff(v, date(2009, 12, 31), 8); // before the benefit year: not in taken
    addTimeOff(sick, date(2010, 3, 10), 8);

    auto late = loaded(v, date(2009, 12, 31));
    late->SetWeekDate(date(2010, 1, 4)); // a Monday
    late->SetHours(10);
    messages.answer(MsgResult::No);
    EXPECT_FALSE(late->Save("ALICE"));
    EXPECT_EQ(messages.last(), question("There are only 8.00 VACATION hours remaining.", "Monday"));

    messages.clear();
    auto other = loaded(sick, date(2010, 3, 10));
    other->SetReasonID(v);
    other->SetHours(9);
    messages.answer(MsgResult::No);
    EXPECT_FALSE(other->Save("ALICE"));
    EXPECT_EQ(messages.last(), question("There are only 8.00 VACATION hours remaining.", "Wednesday"));
}

// ---- entries added by another copy ------------------------------------------------

TEST_F(TimeOffTest, NewDayEntryOnADayWithAnotherReasonRaisesTheDayError)
{
    addTimeOff(sick, date(2010, 6, 14), 4);
    auto e = newEntry(holiday, date(2010, 6, 14), 8);
    e->SetNewDay(true);
    try {
        e->Save("ALICE");
        FAIL() << "no error raised";
    } catch (const EDuplicateTODayError& err) {
        EXPECT_EQ(std::string(err.what()), kDuplicateText);
    }
    EXPECT_EQ(count("TimeOff"), 1);
    // Without the flag the second reason is an ordinary new entry.
    e->SetNewDay(false);
    EXPECT_TRUE(e->Save("ALICE"));
    EXPECT_EQ(count("TimeOff"), 2);
}

TEST_F(TimeOffTest, KeyAddedFirstByAnotherCopyRaisesTheKeyError)
{
    auto e = newEntry(sick, date(2010, 6, 14), 4);
    engine::Table& t = second().tblTimeOff;
    t.append();
    t.fieldByName("EmpID").setAsInteger(emp);
    t.fieldByName("WeekDate").setAsDateTime(date(2010, 6, 14));
    t.fieldByName("ReasonID").setAsInteger(sick);
    t.fieldByName("Hours").setAsFloat(2);
    t.post();

    try {
        e->Save("ALICE");
        FAIL() << "no error raised";
    } catch (const EDuplicateTOKeyError& err) {
        EXPECT_EQ(std::string(err.what()), kDuplicateText);
    }
    EXPECT_FLOAT_EQ(hoursOf(sick, date(2010, 6, 14)), 2.0f);
    // The failed append was cancelled: the table is usable again.
    EXPECT_TRUE(newEntry(holiday, date(2010, 6, 14), 1)->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
}

// ---- list operations -----------------------------------------------------------

TEST_F(TimeOffTest, SaveAllFailingRollsBackTheEntriesBefore)
{
    addTimeOff(sick, date(2010, 6, 14), 4);
    // The new holiday entry saves first; the second entry's row vanishes and
    // is not re-created.
    TTimeOffListClass list(*dm, emp, date(2010, 6, 19));
    list.Add(newEntry(holiday, date(2010, 6, 16), 8));
    auto vanished = loaded(sick, date(2010, 6, 14));
    vanished->SetHours(2);
    list.Add(std::move(vanished));
    exec(second(), "delete from TimeOff");
    messages.answer(MsgResult::No);
    EXPECT_EQ(list.SaveAll("ALICE"), 1);
    EXPECT_EQ(count("TimeOff"), 0);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    expectOnlyMessage("The Time Off record no longer exists in the database.  Do you want to re-create the record?",
                      MsgKind::Confirmation, MsgButtons::YesNo);
}

TEST_F(TimeOffTest, SaveAllCommitsEveryEntryAndLeavesACallersTransactionOpen)
{
    TTimeOffListClass list(*dm, emp, date(2010, 6, 19));
    list.Add(newEntry(holiday, date(2010, 6, 16), 8));
    list.Add(newEntry(sick, date(2010, 6, 17), 4));
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_EQ(count("TimeOff"), 2);
    EXPECT_FALSE(list.AnyModified());

    list.Add(newEntry(unpaid, date(2010, 6, 18), 2));
    dm->HourvaneDB.startTransaction();
    EXPECT_EQ(list.SaveAll("ALICE"), -1);
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("TimeOff"), 2);
}

TEST_F(TimeOffTest, DuplicateDuringSaveAllRollsBackAnOwnedTransaction)
{
    TTimeOffListClass list(*dm, emp, date(2010, 6, 19));
    list.Add(newEntry(holiday, date(2010, 6, 16), 8));
    list.Add(newEntry(sick, date(2010, 6, 17), 4));
    list.Items(1).SetNewDay(true);
    addTimeOff(unpaid, date(2010, 6, 17), 1);
    EXPECT_THROW(list.SaveAll("ALICE"), EDuplicateTODayError);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(count("TimeOff"), 1);
}

TEST_F(TimeOffTest, DeleteAllRemovesTheWeekOrNothing)
{
    addTimeOff(holiday, date(2010, 6, 14), 8);
    addTimeOff(sick, date(2010, 6, 15), 4);
    addTimeOff(sick, date(2010, 6, 16), 4, 0, "BOB");
    TTimeOffListClass week(*dm, emp, date(2010, 6, 19));
    week.Load();
    ASSERT_EQ(week.Count(), 3);
    EXPECT_FALSE(week.LockAll("ALICE"));
    EXPECT_TRUE(week.LockedBySomeoneElse());
    // The rows locked before the refusal went back with the transaction.
    EXPECT_EQ(count("TimeOff", "LockedBy = 'ALICE'"), 0);
    messages.clear();
    EXPECT_EQ(week.DeleteAll("ALICE"), 0);
    EXPECT_EQ(count("TimeOff"), 3);
    EXPECT_FALSE(messages.shown().empty());

    exec(*dm, "update TimeOff set LockedBy = ''");
    week.Load();
    EXPECT_FALSE(week.LockedBySomeoneElse());
    ASSERT_TRUE(week.LockAll("ALICE"));
    EXPECT_EQ(count("TimeOff", "LockedBy = 'ALICE'"), 3);
    EXPECT_EQ(week.DeleteAll("ALICE"), -1);
    EXPECT_EQ(count("TimeOff"), 0);
}

TEST_F(TimeOffTest, AFailedDeleteAllPutsTheDeletedEntriesBackSoTheyUnlockAndDeleteLater)
{
    addTimeOff(holiday, date(2010, 6, 14), 8);
    addTimeOff(sick, date(2010, 6, 15), 4);
    addTimeOff(unpaid, date(2010, 6, 16), 2);
    TTimeOffListClass week(*dm, emp, date(2010, 6, 19));
    week.Load();
    ASSERT_TRUE(week.LockAll("ALICE"));
    // Another copy takes the third entry's row while this copy holds the week.
    exec(second(), "update TimeOff set LockedBy = 'BOB' where ReasonID = " + std::to_string(unpaid));
    EXPECT_EQ(week.DeleteAll("ALICE"), 2);
    EXPECT_EQ(count("TimeOff"), 3);
    // The first two are whole again: their rows, still locked by ALICE, are found and released.
    EXPECT_EQ(week.Items(0).EmpID(), emp);
    EXPECT_EQ(week.Items(1).ReasonID(), sick);
    ASSERT_TRUE(week.UnlockAll("ALICE"));
    EXPECT_EQ(count("TimeOff", "LockedBy = 'ALICE'"), 0);

    exec(second(), "update TimeOff set LockedBy = ''");
    ASSERT_TRUE(week.LockAll("ALICE"));
    EXPECT_EQ(week.DeleteAll("ALICE"), -1);
    EXPECT_EQ(count("TimeOff"), 0);
}

TEST_F(TimeOffTest, LockAllAndUnlockAllHoldTheWholeWeek)
{
    addTimeOff(holiday, date(2010, 6, 14), 8);
    addTimeOff(sick, date(2010, 6, 15), 4);
    TTimeOffListClass week(*dm, emp, date(2010, 6, 19));
    week.Load();
    week.Add(newEntry(unpaid, date(2010, 6, 18), 2));
    ASSERT_TRUE(week.LockAll("ALICE"));
    EXPECT_EQ(count("TimeOff", "LockedBy = 'ALICE'"), 2);
    EXPECT_EQ(week.Items(2).lockHolder(), "ALICE");
    ASSERT_TRUE(week.UnlockAll("ALICE"));
    EXPECT_EQ(count("TimeOff", "LockedBy = 'ALICE'"), 0);
    EXPECT_EQ(week.Items(2).lockHolder(), "");
}

// ---- range list and oldest entry ----------------------------------------------------

TEST_F(TimeOffTest, ReportListTakesTheRangeInclusiveByDayThenReason)
{
    addTimeOff(sick, date(2010, 6, 20), 1);
    addTimeOff(holiday, date(2010, 6, 20), 2);
    addTimeOff(sick, date(2010, 6, 1), 3);
    addTimeOff(sick, date(2010, 5, 31), 4);
    addTimeOff(sick, date(2010, 6, 21), 5);
    addTimeOff(sick, date(2010, 6, 10), 6, emp + 1);
    TTimeOffReportListClass list(*dm, emp, date(2010, 6, 1), date(2010, 6, 20));
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_FLOAT_EQ(list.Items(0).Hours(), 3);
    EXPECT_EQ(list.Items(1).ReasonID(), holiday);
    EXPECT_EQ(list.Items(2).ReasonID(), sick);
    EXPECT_DOUBLE_EQ(list.Items(2).WeekDate(), date(2010, 6, 20));
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(TimeOffTest, OldestTimeOffDateIsTheEarliestDayOfAnyEntry)
{
    EXPECT_DOUBLE_EQ(OldestTimeOffDate(*dm), 0);
    addTimeOff(sick, date(2010, 6, 20), 1);
    addTimeOff(holiday, date(2008, 2, 29), 2, emp + 1);
    addTimeOff(sick, date(2009, 1, 1), 3);
    EXPECT_DOUBLE_EQ(OldestTimeOffDate(*dm), date(2008, 2, 29));
}

} // namespace
} // namespace hv::test
