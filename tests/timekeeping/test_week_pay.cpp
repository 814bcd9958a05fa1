// The pay of a loaded week: its days' hours, the shift of the first punch
// row and the time off by weekday reach the pay calculation.
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/timekeeping/WeekDates.h"
#include "timekeeping/PeriodLoader.h"
#include "timekeeping/WeekPay.h"
#include "timekeeping/WorkUtil.h"

namespace hv::test {
namespace {

class WeekPayTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        resetAppState();
        resetGlobalSettings();
        appState().lockIdentity = "ALICE";
        globalSettings().minuteRound = 0;
        globalSettings().overtimeHours = 40;
        start();
    }
    void TearDown() override
    {
        StorageTest::TearDown();
        resetGlobalSettings();
        resetAppState();
    }

    std::int32_t addReason(const std::string& name, bool paid, bool overtime)
    {
        return addReasonRow(*dm, {.name = name, .code = name.substr(0, 1), .paid = paid, .overtime = overtime});
    }
    void putWorked(int day, int hours, int shift)
    {
        engine::Table& t = dm->tblWorkDay;
        t.append();
        t.fieldByName("EmpID").setAsInteger(kEmp);
        t.fieldByName("WeekDate").setAsDateTime(dayOf(day));
        t.fieldByName("SequenceNum").setAsInteger(0);
        t.fieldByName("TimeIn1").setAsDateTime(EncodeTime(8, 0));
        t.fieldByName("TimeOut1").setAsDateTime(EncodeTime(8 + hours, 0));
        t.fieldByName("Shift").setAsInteger(shift);
        t.post();
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
};

TEST_F(WeekPayTest, TheLoadedWeekIsPaidFromItsHoursShiftsAndTimeOff)
{
    std::int32_t holiday = addReason("Holiday", true, true);
    std::int32_t vacation = addReason("Vacation", true, false);
    putWorked(1, 9, 2); // Monday on the 2nd shift
    for (int d = 2; d <= 5; ++d)
        putWorked(d, 9, 1);
    putTimeOff(0, holiday, 8);  // counts toward overtime
    putTimeOff(3, vacation, 4); // does not
    engine::Table& w = dm->tblWages;
    w.append();
    w.fieldByName("EmpID").setAsInteger(kEmp);
    w.fieldByName("StartDate").setAsDateTime(EncodeDate(2025, 1, 1));
    w.fieldByName("Wage").setAsFloat(10);
    w.fieldByName("PayTypeCode").setAsString("H");
    w.fieldByName("OvertimeFlag").setAsBoolean(false);
    w.post();

    TWorkWeekRecClass week(*dm);
    week.SetWeekEnd(kWeekEnd);
    week.SetEmployee(kEmp);
    ASSERT_TRUE(week.Load());

    PayWeek p = PayWeekOf(week);
    EXPECT_EQ(p.empID, kEmp);
    EXPECT_EQ(p.days[0].date, dayOf(0));
    EXPECT_EQ(p.days[6].date, kWeekEnd);
    EXPECT_EQ(p.days[1].shift, 2);
    EXPECT_EQ(p.days[2].shift, 1);
    // 8 counted on Sunday: Thursday crosses the 40 hours.
    EXPECT_FLOAT_EQ(p.days[0].regular, 8);
    EXPECT_FLOAT_EQ(p.days[4].regular, 5);
    EXPECT_FLOAT_EQ(p.days[4].overtime, 4);
    EXPECT_FLOAT_EQ(p.days[5].overtime, 9);
    EXPECT_FLOAT_EQ(p.paidTimeOff[0], 8);
    EXPECT_FLOAT_EQ(p.paidTimeOff[3], 4);
    EXPECT_FLOAT_EQ(p.overtimeTimeOff[0], 8);
    EXPECT_FLOAT_EQ(p.overtimeTimeOff[3], 0);

    globalSettings().shift2Premium = 1;
    WeekPayAmounts a = WeeklyPay(*dm, week, dayOf(0), kWeekEnd);
    // 32 worked regular hours, 13 overtime at 1.5, 12 paid time off, 9 hours on the 2nd shift.
    EXPECT_EQ(a.RegularPay.Units(), 3200000);
    EXPECT_EQ(a.OvertimePay.Units(), 1950000);
    EXPECT_EQ(a.TimeOffPay.Units(), 1200000);
    EXPECT_EQ(a.RegularDifferential.Units(), 90000);
    EXPECT_EQ(a.OvertimeDifferential.Units(), 0);
    EXPECT_EQ(a.TimeOffDifferential.Units(), 0);
}

// The reports, the export and the command line read a period through the
// loader: each of its weeks, cut to the period and paid, must be the week as
// its own Load gives it, across a change of wage, a daily overtime policy
// from mid-period, a second punch row, paid, unpaid and unknown time off.
TEST_F(WeekPayTest, ThePeriodLoaderGivesEachWeekAsItsOwnLoadDoes)
{
    globalSettings().firstDate = kWeekEnd + 1; // weeks end on Saturdays
    globalSettings().shift2Premium = 1;
    const std::int32_t holiday = addReason("Holiday", true, true);
    const std::int32_t leave = addReason("Leave", false, false);
    for (int d = -6; d <= 12; ++d)
        putWorked(d, 7 + (d + 6) % 4, (d + 6) % 5 == 1 ? 2 : 1);
    engine::Table& t = dm->tblWorkDay;
    t.append();
    t.fieldByName("EmpID").setAsInteger(kEmp);
    t.fieldByName("WeekDate").setAsDateTime(dayOf(3));
    t.fieldByName("SequenceNum").setAsInteger(1);
    t.fieldByName("TimeIn1").setAsDateTime(EncodeTime(18, 0));
    t.fieldByName("TimeOut1").setAsDateTime(EncodeTime(21, 0));
    t.post();
    putTimeOff(-5, holiday, 8);
    putTimeOff(4, leave, 4);
    putTimeOff(9, 999, 2); // its reason is gone
    for (const auto& [from, wage] : {std::pair{EncodeDate(2025, 1, 1), 10}, std::pair{dayOf(2), 12}}) {
        engine::Table& w = dm->tblWages;
        w.append();
        w.fieldByName("EmpID").setAsInteger(kEmp);
        w.fieldByName("StartDate").setAsDateTime(from);
        w.fieldByName("Wage").setAsFloat(wage);
        w.fieldByName("PayTypeCode").setAsString("H");
        w.fieldByName("OvertimeFlag").setAsBoolean(false);
        w.post();
    }
    engine::Table& policy = dm->tblOTPolicy;
    policy.append();
    policy.fieldByName("Policy").setAsString("Daily 8");
    policy.fieldByName("WeeklyFlag").setAsBoolean(false);
    policy.fieldByName("Hours1").setAsFloat(8);
    policy.fieldByName("Rate1").setAsFloat(2);
    policy.post();
    engine::Table& assignment = dm->tblEmpOT;
    assignment.append();
    assignment.fieldByName("EmpID").setAsInteger(kEmp);
    assignment.fieldByName("StartDate").setAsDateTime(dayOf(8));
    assignment.fieldByName("PolicyID").setAsInteger(policy.fieldByName("PolicyID").asInteger());
    assignment.post();

    // Thursday of the week before to Wednesday of the week after.
    const double start = dayOf(-3);
    const double end = dayOf(10);
    PeriodLoader period(*dm, start, end);
    period.Load(kEmp);
    std::vector<double> weekEnds;
    std::int64_t paid = 0;
    period.ForEachWeek([&](const TWorkWeekRecClass& week) {
        SCOPED_TRACE("week ending " + std::to_string(week.WeekEnd()));
        weekEnds.push_back(week.WeekEnd());
        TWorkWeekRecClass own(*dm);
        own.SetWeekEnd(week.WeekEnd());
        own.SetEmployee(kEmp);
        own.Load();
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(week.Day(i).ins(), own.Day(i).ins());
            EXPECT_EQ(week.Day(i).outs(), own.Day(i).outs());
            EXPECT_EQ(week.Day(i).shift(0), own.Day(i).shift(0));
            EXPECT_EQ(week.DayRegular(i), own.DayRegular(i));
            EXPECT_EQ(week.DayOvertime(i), own.DayOvertime(i));
            EXPECT_EQ(week.TimeOffOnWeekday(i), own.TimeOffOnWeekday(i));
        }
        EXPECT_EQ(week.TimeOffTotal(), own.TimeOffTotal());
        EXPECT_EQ(week.UnpaidTimeOff(), own.UnpaidTimeOff());
        const WeekClip clip = period.Clip(week);
        const WeekClip ownClip = ClipWeek(own, start, end);
        EXPECT_EQ(clip.regular, ownClip.regular);
        EXPECT_EQ(clip.overtime, ownClip.overtime);
        EXPECT_EQ(clip.paidTimeOff, ownClip.paidTimeOff);
        const WeekPayAmounts a = period.Pay(week);
        const WeekPayAmounts b = WeeklyPay(*dm, own, start, end);
        for (auto part : {&WeekPayAmounts::RegularPay, &WeekPayAmounts::OvertimePay, &WeekPayAmounts::TimeOffPay,
                          &WeekPayAmounts::RegularDifferential, &WeekPayAmounts::OvertimeDifferential,
                          &WeekPayAmounts::TimeOffDifferential})
            EXPECT_EQ((a.*part).Units(), (b.*part).Units());
        paid += (a.RegularPay + a.OvertimePay + a.TimeOffPay + a.RegularDifferential).Units();
    });
    EXPECT_EQ(weekEnds, (std::vector<double>{dayOf(-1), dayOf(6), dayOf(13)}));
    EXPECT_GT(paid, 0);
    std::vector<std::string> reasons;
    for (const PeriodTimeOff& e : period.TimeOff())
        reasons.push_back(period.ReasonDescription(e.reasonID));
    EXPECT_EQ(reasons, (std::vector<std::string>{"Holiday", "Leave", "Reason Not Found"}));
}

} // namespace
} // namespace hv::test
