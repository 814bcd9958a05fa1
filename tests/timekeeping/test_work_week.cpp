// The week: the regular/overtime split under weekly and daily policies with
// time off that does or does not count toward overtime, the week save with
// its result codes, and locking between two copies on one data folder.
#include "engine/Query.h"
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/timekeeping/WeekDates.h"
#include "timekeeping/WorkUtil.h"

#include <optional>

namespace hv::test {
namespace {

const std::string kAlice = "ALICE";

const std::string kDuplicateHours = "Another user has already added Hourvane entries for this Employee for this week."
                                    "\r\rPlease select the employee again and make changes to the new entries.";
const std::string kMissingTuesday =
    "One of the In/Out entries for Tuesday is invalid or missing.  Please check your times and try again.";
const std::string kLockedByBob = "The Hours Worked record is already locked by BOB.  You may view the information "
                                 "but may not save any changes.\r\rPlease try your update again later.";

class WorkWeekTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        resetAppState();
        resetGlobalSettings();
        appState().lockIdentity = kAlice;
        globalSettings().minuteRound = 0;
        globalSettings().dailyOvertime = false;
        globalSettings().overtimeHours = 40;
        start();
        m_holiday = addReason("Holiday", "H", true, true);
        m_vacation = addReason("Vacation", "V", true, false);
        m_unpaid = addReason("Unpaid", "U", false, false);
    }
    void TearDown() override
    {
        other.reset();
        StorageTest::TearDown();
        resetGlobalSettings();
        resetAppState();
    }

    THourvaneDataMod& second()
    {
        if (!other)
            other = std::make_unique<THourvaneDataMod>(
                DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
        return *other;
    }

    std::int32_t addReason(const std::string& name, const std::string& code, bool paid, bool overtime)
    {
        return addReasonRow(*dm, {.name = name, .code = code, .paid = paid, .overtime = overtime});
    }

    // An assignment of a new policy to kEmp from the start date on.
    void assignPolicy(bool weekly, float hours, double startDate)
    {
        engine::Table& p = dm->tblOTPolicy;
        p.append();
        p.fieldByName("Policy").setAsString(std::string(weekly ? "Weekly " : "Daily ") + std::to_string(startDate));
        p.fieldByName("WeeklyFlag").setAsBoolean(weekly);
        p.fieldByName("ActiveFlag").setAsBoolean(true);
        p.fieldByName("Hours1").setAsFloat(hours);
        p.fieldByName("Hours2").setAsFloat(0);
        p.fieldByName("Rate1").setAsFloat(1.5);
        p.fieldByName("Rate2").setAsFloat(0);
        p.post();
        std::int64_t id = p.fieldByName("PolicyID").asInteger();
        engine::Table& a = dm->tblEmpOT;
        a.append();
        a.fieldByName("EmpID").setAsInteger(kEmp);
        a.fieldByName("StartDate").setAsDateTime(startDate);
        a.fieldByName("PolicyID").setAsInteger(id);
        a.post();
    }

    // A worked day from 8:00 for the given hours, written as another copy would.
    void putWorked(THourvaneDataMod& d, int day, int hours, std::optional<std::string> lockedBy = std::nullopt)
    {
        engine::Table& t = d.tblWorkDay;
        t.append();
        t.fieldByName("EmpID").setAsInteger(kEmp);
        t.fieldByName("WeekDate").setAsDateTime(dayOf(day));
        t.fieldByName("SequenceNum").setAsInteger(0);
        t.fieldByName("TimeIn1").setAsDateTime(T(8));
        t.fieldByName("TimeOut1").setAsDateTime(T(8 + hours));
        t.fieldByName("Shift").setAsInteger(1);
        if (lockedBy)
            t.fieldByName("LockedBy").setAsString(*lockedBy);
        t.post();
    }
    void putWorkedDays(std::initializer_list<int> hours)
    {
        int day = 0;
        for (int h : hours) {
            if (h > 0)
                putWorked(*dm, day, h);
            ++day;
        }
    }
    void putTimeOff(int day, std::int32_t reason, float hours)
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(kEmp);
        t.fieldByName("WeekDate").setAsDateTime(dayOf(day));
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        t.post();
    }

    std::unique_ptr<TWorkWeekRecClass> loadedWeek(THourvaneDataMod& d)
    {
        auto week = std::make_unique<TWorkWeekRecClass>(d);
        week->SetWeekEnd(kWeekEnd);
        week->SetEmployee(kEmp);
        EXPECT_TRUE(week->Load());
        return week;
    }
    std::unique_ptr<TWorkWeekRecClass> loadedWeek() { return loadedWeek(*dm); }

    // Read from disk through the other copy's connection.
    std::string read(const std::string& sql) { return readValue(second(), sql); }
    int workRows(const std::string& where = {})
    {
        return std::stoi(read("select count(*) from WorkDay where EmpID = " + std::to_string(kEmp) +
                              (where.empty() ? "" : " and " + where)));
    }
    int rowsOnDay(int day)
    {
        return workRows("WeekDate = '" + FormatDateTime("yyyy-mm-dd", dayOf(day)) + "'");
    }

    std::int32_t m_holiday = 0, m_vacation = 0, m_unpaid = 0;
    std::unique_ptr<THourvaneDataMod> other;
};

// --- the split ---

TEST_F(WorkWeekTest, WeeklyPolicyPutsTheHoursPastTheThresholdOnTheDayThatCrossesIt)
{
    putWorkedDays({9, 9, 9, 9, 9});
    auto week = loadedWeek();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(week->DayOvertime(i), 0) << i;
        EXPECT_FLOAT_EQ(week->DayRegular(i), 9) << i;
    }
    EXPECT_FLOAT_EQ(week->DayOvertime(4), 5);
    EXPECT_FLOAT_EQ(week->DayRegular(4), 4);
    EXPECT_FLOAT_EQ(week->DayOvertime(5), 0);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 40);
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 5);
    EXPECT_TRUE(week->Loaded());
    EXPECT_FALSE(week->IsModified());
}

TEST_F(WorkWeekTest, DailyPolicyCountsEachDayOnItsOwn)
{
    assignPolicy(false, 8, EncodeDate(2025, 1, 1));
    putWorkedDays({9, 7, 10});
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->DayOvertime(0), 1);
    EXPECT_FLOAT_EQ(week->DayOvertime(1), 0);
    EXPECT_FLOAT_EQ(week->DayOvertime(2), 2);
    EXPECT_FLOAT_EQ(week->DayRegular(0), 8);
    EXPECT_FLOAT_EQ(week->DayRegular(1), 7);
    EXPECT_FLOAT_EQ(week->DayRegular(2), 8);
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 3);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 23);
}

TEST_F(WorkWeekTest, ExactlyTheThresholdIsNoOvertime)
{
    putWorkedDays({8, 8, 8, 8, 8});
    auto weekly = loadedWeek();
    EXPECT_FLOAT_EQ(weekly->OvertimeTotal(), 0);
    EXPECT_FLOAT_EQ(weekly->RegularTotal(), 40);

    assignPolicy(false, 8, EncodeDate(2025, 1, 1));
    auto daily = loadedWeek();
    EXPECT_FLOAT_EQ(daily->OvertimeTotal(), 0);
    EXPECT_FLOAT_EQ(daily->RegularTotal(), 40);
}

TEST_F(WorkWeekTest, ThePolicyIsTheOneInForceOnTheWeekEnd)
{
    putWorkedDays({0, 10, 10});
    // Starting the day after the week end: not yet in force, so the default (weekly 40).
    assignPolicy(false, 8, kWeekEnd + 1);
    EXPECT_FLOAT_EQ(loadedWeek()->OvertimeTotal(), 0);
    // Starting on the week end: in force for the whole week.
    assignPolicy(false, 8, kWeekEnd);
    EXPECT_FLOAT_EQ(loadedWeek()->OvertimeTotal(), 4);
}

TEST_F(WorkWeekTest, TheDefaultPolicyFollowsTheSettings)
{
    globalSettings().dailyOvertime = true;
    globalSettings().overtimeHours = 8;
    putWorkedDays({0, 10});
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->DayOvertime(1), 2);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 8);
}

// --- time off ---

TEST_F(WorkWeekTest, OvertimeCountingTimeOffAloneIsNeitherRegularNorOvertime)
{
    putTimeOff(1, m_holiday, 8);
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->RegularTotal(), 0);
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 0);
    EXPECT_FLOAT_EQ(week->TimeOffTotal(), 8);
    EXPECT_FLOAT_EQ(week->TimeOffOnWeekday(1), 8);
    EXPECT_FLOAT_EQ(week->UnpaidTimeOff(), 0);
}

TEST_F(WorkWeekTest, OvertimeCountingTimeOffPushesWorkedHoursIntoOvertime)
{
    putWorkedDays({0, 8, 8, 8, 8});
    putTimeOff(5, m_holiday, 8);
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 0);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 32);

    putWorked(*dm, 6, 8); // 40 worked plus the holiday
    week = loadedWeek();
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 8);
    EXPECT_FLOAT_EQ(week->DayOvertime(6), 8);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 32);
}

TEST_F(WorkWeekTest, TimeOffWithoutTheOvertimeFlagNeverChangesTheSplit)
{
    assignPolicy(false, 8, EncodeDate(2025, 1, 1));
    putWorkedDays({0, 8, 7});
    putTimeOff(1, m_vacation, 4);
    putTimeOff(2, m_unpaid, 3);
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->DayOvertime(1), 0);
    EXPECT_FLOAT_EQ(week->DayRegular(1), 8);
    EXPECT_FLOAT_EQ(week->DayOvertime(2), 0);
    EXPECT_FLOAT_EQ(week->DayRegular(2), 7);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 15);
    EXPECT_FLOAT_EQ(week->TimeOffTotal(), 7);
    EXPECT_FLOAT_EQ(week->UnpaidTimeOff(), 3);
}

TEST_F(WorkWeekTest, RemovingTimeOffTakesTheDayBackBelowTheThreshold)
{
    assignPolicy(false, 8, EncodeDate(2025, 1, 1));
    putWorkedDays({0, 6});
    putTimeOff(1, m_holiday, 4);
    auto week = loadedWeek();
    EXPECT_FLOAT_EQ(week->DayOvertime(1), 2);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 4);

    week->TimeOffList().Remove(0);
    week->TimeOffList().ComputeTotals();
    week->Compute();
    EXPECT_FLOAT_EQ(week->DayOvertime(1), 0);
    EXPECT_FLOAT_EQ(week->DayRegular(1), 6);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 6);
    EXPECT_FLOAT_EQ(week->TimeOffTotal(), 0);
}

TEST_F(WorkWeekTest, OvertimeCountingTimeOffNeverMakesTheRegularTotalNegative)
{
    assignPolicy(false, 8, EncodeDate(2025, 1, 1));
    putWorkedDays({0, 2});
    putTimeOff(1, m_holiday, 10);
    auto week = loadedWeek();
    // 2 worked + 10 counted = 12 against 8: 4 overtime; 2 worked - 4 would be -2.
    EXPECT_FLOAT_EQ(week->OvertimeTotal(), 4);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 0);
}

TEST_F(WorkWeekTest, UnpaidTimeOffOnSaturdayCounts)
{
    putTimeOff(6, m_unpaid, 5); // day 6 is Saturday, weekday 6
    EXPECT_FLOAT_EQ(loadedWeek()->UnpaidTimeOff(), 5);
}

// --- saving, deleting, copying ---

TEST_F(WorkWeekTest, AFailingDayStoresNothingAndTheCorrectedWeekStoresEveryDay)
{
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    for (int i = 0; i < 3; ++i) {
        week->Day(i).setIn(1, T(8));
        week->Day(i).setOut(1, T(16));
    }
    week->Day(2).setOut(1, kEmptyPunch);

    EXPECT_EQ(week->Save(kAlice), 2);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), kMissingTuesday);
    EXPECT_EQ(workRows(), 0);
    EXPECT_TRUE(week->IsModified());

    messages.clear();
    week->Day(2).setOut(1, T(16));
    EXPECT_EQ(week->Save(kAlice), kWeekSaved);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(rowsOnDay(0), 1);
    EXPECT_EQ(rowsOnDay(1), 1);
    EXPECT_EQ(rowsOnDay(2), 1);
    EXPECT_EQ(workRows(), 3);
    EXPECT_FALSE(week->IsModified());

    EXPECT_FLOAT_EQ(loadedWeek()->RegularTotal(), 24);
}

TEST_F(WorkWeekTest, AFailingTimeOffEntryUndoesTheEntriesBeforeItAndTheRetryWritesThemAll)
{
    putTimeOff(3, m_vacation, 8);
    putTimeOff(4, m_vacation, 8);
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    ASSERT_EQ(week->TimeOffList().Count(), 2);
    week->TimeOffList().Items(0).SetHours(4);
    week->TimeOffList().Items(1).SetHours(6);
    // Another copy takes the second entry's row meanwhile.
    auto onOtherCopy = [this](const std::string& sql) {
        engine::Query& q = second().qryBlank;
        q.clearSql();
        q.addSql(sql);
        q.execSql();
    };
    onOtherCopy("update TimeOff set LockedBy = 'BOB' where WeekDate = '" + FormatDateTime("yyyy-mm-dd", dayOf(4)) +
                "'");

    EXPECT_EQ(week->Save(kAlice), kWeekTimeOffFailed);
    EXPECT_EQ(read("select sum(Hours) from TimeOff"), "16") << "nothing of the batch stays written";
    EXPECT_TRUE(week->TimeOffList().Items(0).IsModified()) << "the undone entry is still to be saved";

    onOtherCopy("update TimeOff set LockedBy = 'ALICE'");
    messages.clear();
    EXPECT_EQ(week->Save(kAlice), kWeekSaved);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select Hours from TimeOff where WeekDate = '" + FormatDateTime("yyyy-mm-dd", dayOf(3)) + "'"),
              "4");
    EXPECT_EQ(read("select Hours from TimeOff where WeekDate = '" + FormatDateTime("yyyy-mm-dd", dayOf(4)) + "'"),
              "6");
}

TEST_F(WorkWeekTest, AnotherCopyAddingTheWeekFirstGivesTheDuplicateResult)
{
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    week->Day(0).setIn(1, T(8));
    week->Day(0).setOut(1, T(12));
    week->Day(1).setIn(1, T(9));
    week->Day(1).setOut(1, T(17));

    // The other copy stores day 1 after this copy loaded the week.
    putWorked(second(), 1, 6);

    EXPECT_EQ(week->Save(kAlice), kWeekDuplicate);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kDuplicateHours);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(week->IsModified());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    // Day 0 was written before the conflict and stays; day 1 is the other copy's.
    EXPECT_EQ(rowsOnDay(0), 1);
    EXPECT_EQ(read("select TimeOut1 from WorkDay where EmpID = 12 and WeekDate = '" +
                   FormatDateTime("yyyy-mm-dd", dayOf(1)) + "'"),
              "14:00:00");
}

TEST_F(WorkWeekTest, DeleteRemovesThePunchesAndTheTimeOff)
{
    putWorkedDays({8, 8});
    putTimeOff(3, m_vacation, 8);
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    EXPECT_TRUE(week->Delete(kAlice));
    EXPECT_EQ(workRows(), 0);
    EXPECT_EQ(read("select count(*) from TimeOff where EmpID = 12"), "0");
}

// Another copy reading the week keeps the commit from getting its write lock
// within the engine's wait: the delete says so, nothing is deleted, and the
// week is held as stored, so a retry deletes it whole.
TEST_F(WorkWeekTest, ADeleteThatCannotCommitSaysSoAndARetryDeletesTheWholeWeek)
{
    putWorkedDays({8, 8});
    putTimeOff(3, m_vacation, 8);
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    dm->HourvaneDB.setLockRetryCount(0);
    dm->HourvaneDB.setLockWaitTime(0);
    {
        engine::ReadTransaction reading(second().HourvaneDB);
        EXPECT_FALSE(week->Delete(kAlice));
    }
    ASSERT_EQ(messages.shown().size(), 1u) << messages.last();
    const std::string& text = messages.shown()[0].text;
    EXPECT_EQ(text.rfind("The following error occurred deleting the Hours Worked record: ", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("\r\rThe record was NOT deleted.")) << text;
    EXPECT_EQ(workRows(), 2);
    EXPECT_EQ(read("select count(*) from TimeOff where EmpID = 12"), "1");
    EXPECT_FLOAT_EQ(week->RegularTotal(), 16);

    EXPECT_TRUE(week->Delete(kAlice));
    EXPECT_EQ(workRows(), 0);
    EXPECT_EQ(read("select count(*) from TimeOff where EmpID = 12"), "0");
}

TEST_F(WorkWeekTest, CopyPreviousWeekBringsThePunchesButNotTheTimeOff)
{
    engine::Table& t = dm->tblWorkDay;
    t.append();
    t.fieldByName("EmpID").setAsInteger(kEmp);
    t.fieldByName("WeekDate").setAsDateTime(dayOf(1) - 7);
    t.fieldByName("SequenceNum").setAsInteger(0);
    t.fieldByName("TimeIn1").setAsDateTime(T(7));
    t.fieldByName("TimeOut1").setAsDateTime(T(17));
    t.post();
    putTimeOff(2, m_holiday, 8);

    auto week = loadedWeek();
    EXPECT_TRUE(week->CopyPreviousWeek());
    EXPECT_TRUE(week->IsModified());
    EXPECT_EQ(week->TimeOffList().Count(), 0);
    EXPECT_FLOAT_EQ(week->TimeOffTotal(), 0);
    EXPECT_FLOAT_EQ(week->RegularTotal(), 10);
    EXPECT_EQ(workRows("WeekDate >= '2025-03-02'"), 0); // nothing written yet

    EXPECT_EQ(week->Save(kAlice), kWeekSaved);
    EXPECT_EQ(rowsOnDay(1), 1);
}

// --- locking ---

TEST_F(WorkWeekTest, LockAndUnlockTakeAndReleaseEveryRowOfTheWeek)
{
    putWorkedDays({8, 0, 8});
    putTimeOff(4, m_vacation, 8);
    auto week = loadedWeek();
    ASSERT_TRUE(week->Lock(kAlice));
    EXPECT_EQ(workRows("LockedBy = 'ALICE'"), 2);
    EXPECT_EQ(read("select LockedBy from TimeOff where EmpID = 12"), kAlice);

    ASSERT_TRUE(week->Unlock(kAlice));
    EXPECT_EQ(workRows("LockedBy = 'ALICE'"), 0);
    EXPECT_NE(read("select LockedBy from TimeOff where EmpID = 12"), kAlice);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(WorkWeekTest, ALockRefusedByAnotherCopyLocksNothingAndKeepsTheWeekLoaded)
{
    putWorked(*dm, 1, 8);
    putWorked(*dm, 3, 9, "BOB");
    auto week = loadedWeek();
    // The message waits for the transaction's end: while it is up, the other
    // copies must be able to save.
    messages.whenShown = [&](const ShownMessage&) { EXPECT_FALSE(dm->HourvaneDB.inTransaction()); };
    EXPECT_FALSE(week->Lock(kAlice));

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kLockedByBob);
    EXPECT_EQ(messages.shown()[0].helpContext, kLockHelpContext);
    // Day 1 was locked before day 3 refused; that lock was rolled back.
    EXPECT_EQ(workRows("LockedBy = 'ALICE'"), 0);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());

    EXPECT_TRUE(week->Loaded());
    EXPECT_DOUBLE_EQ(week->Day(3).Out(1), T(17));
    EXPECT_FLOAT_EQ(week->RegularTotal(), 17);
}

// A copy that saves one week and opens the next in one transaction: a
// refusal of the next week takes back that week's locks only, and the rest
// of the transaction commits.
TEST_F(WorkWeekTest, ARefusalInsideACallersTransactionTakesBackOnlyTheWeeksLocks)
{
    putWorked(*dm, 1, 8);
    putWorked(*dm, 3, 9, "BOB");
    TransactionGuard tx(dm->HourvaneDB, {"workday"});
    putWorked(*dm, -7, 6); // the caller's own work: a day of the week before
    TWorkWeekRecClass week(*dm);
    week.SetWeekEnd(kWeekEnd);
    week.SetEmployee(kEmp);
    EXPECT_FALSE(week.LoadLocked(kAlice));
    ASSERT_TRUE(dm->HourvaneDB.inTransaction());
    EXPECT_TRUE(messages.shown().empty()) << "shown while the caller's transaction is open: " << messages.last();
    tx.commit();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kLockedByBob);
    // Day 1 was locked before day 3 refused; only that lock went.
    EXPECT_EQ(workRows("LockedBy = 'ALICE'"), 0);
    EXPECT_EQ(rowsOnDay(-7), 1);
    EXPECT_DOUBLE_EQ(week.Day(3).Out(1), T(17));
}

} // namespace
} // namespace hv::test
