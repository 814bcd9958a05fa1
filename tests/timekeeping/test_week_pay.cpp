// The pay of a loaded week: its days' hours, the shift of the first punch
// row and the time off by weekday reach the pay calculation.
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/timekeeping/WeekDates.h"
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

} // namespace
} // namespace hv::test
