// The pay calculation: money rounding, the hourly rate and weekly salary of
// each pay type, reading displayed amounts back, and the week's six pay
// amounts with overtime tiers, shift differentials and the exempt cap.
#include "PayFixture.h"
#include "people/Money.h"
#include "people/WageCalc.h"
#include "platform/Format.h"
#include "storage/HVGlobal.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace hv::test {

class WageCalcTest : public PayTest {
protected:
    static constexpr std::int64_t kEmp = 7;

    // The week ending Saturday 16 March 2024: day 0 is Sunday 10 March.
    static double day(int i) { return EncodeDate(2024, 3, 10) + i; }
    static PayWeek week()
    {
        PayWeek w;
        w.empID = std::int32_t(kEmp);
        for (int i = 0; i < 7; ++i)
            w.days[std::size_t(i)].date = day(i);
        return w;
    }
    // Monday to Friday with the same hours.
    static PayWeek workWeek(float regular, float overtimeOnFriday = 0, int shift = 1)
    {
        PayWeek w = week();
        for (int i = 1; i <= 5; ++i) {
            w.days[std::size_t(i)].regular = regular;
            w.days[std::size_t(i)].shift = shift;
        }
        w.days[5].overtime = overtimeOnFriday;
        return w;
    }
    WeekPayAmounts pay(const PayWeek& w, const ShiftPay& shifts = {})
    {
        return WeeklyPay(*dm, w, day(0), day(6), shifts);
    }
    // Amounts as "regular|overtime|time off|regular diff|overtime diff|time off diff" in currency units.
    static std::string units(const WeekPayAmounts& a)
    {
        return std::to_string(a.RegularPay.Units()) + "|" + std::to_string(a.OvertimePay.Units()) + "|" +
               std::to_string(a.TimeOffPay.Units()) + "|" + std::to_string(a.RegularDifferential.Units()) + "|" +
               std::to_string(a.OvertimeDifferential.Units()) + "|" + std::to_string(a.TimeOffDifferential.Units());
    }
    std::unique_ptr<TEmpWageRecClass> wage(float amount, const std::string& code)
    {
        return wageEntry(*dm, date(2024, 1, 1), amount, code);
    }
};

// --- money ---

TEST_F(WageCalcTest, MoneyRoundsHalvesToTheEvenNeighbourWhateverTheRoundingMode)
{
    EXPECT_EQ(RoundUnits(2.5), 2);
    EXPECT_EQ(RoundUnits(3.5), 4);
    EXPECT_EQ(RoundUnits(-2.5), -2);
    EXPECT_EQ(RoundUnits(-3.5), -4);
    EXPECT_EQ(RoundUnits(2.4999), 2);
    EXPECT_EQ(RoundUnits(2.5001), 3);
    EXPECT_EQ(RoundUnits(-0.4), 0);
    const int mode = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(RoundUnits(2.5), 2);
    EXPECT_EQ(RoundUnits(2.2), 2);
    std::fesetround(mode);
    // An undefined amount does not turn into a huge one.
    EXPECT_EQ(RoundUnits(std::numeric_limits<double>::quiet_NaN()), 0);

    EXPECT_EQ(Money::FromAmount(1234.5).Units(), 12345000);
    EXPECT_DOUBLE_EQ(Money::FromUnits(12345000).Amount(), 1234.5);
    EXPECT_EQ((Money::FromUnits(5) + Money::FromUnits(7)).Units(), 12);
}

TEST_F(WageCalcTest, MoneyClampsOnlyBeyondTheRange)
{
    // 9.2e18 = 8,984,375,000,000,000 x 1024 is a double and lies inside the
    // 64-bit range (which ends at 2^63 - 1 = 9,223,372,036,854,775,807).
    EXPECT_EQ(RoundUnits(9.2e18), 9200000000000000000LL);
    EXPECT_EQ(RoundUnits(-9.2e18), -9200000000000000000LL);
    // The largest double below 2^63 is 2^63 - 1024; 2^63 itself is beyond.
    EXPECT_EQ(RoundUnits(9223372036854774784.0), 9223372036854774784LL);
    EXPECT_EQ(RoundUnits(9223372036854775808.0), std::numeric_limits<std::int64_t>::max());
    // -2^63 is the range's lowest value itself; the next double below is beyond.
    EXPECT_EQ(RoundUnits(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(RoundUnits(-1e19), std::numeric_limits<std::int64_t>::min());
}

TEST_F(WageCalcTest, PayIsRoundedToTheUnitWithHalvesToEven)
{
    // 0.0001 an hour is one unit: 2.5 hours are 2 units, 3.5 hours 4.
    addWage(kEmp, date(2024, 1, 1), 0.0001, "H");
    PayWeek w = week();
    w.days[1].regular = 2.5f;
    EXPECT_EQ(pay(w).RegularPay.Units(), 2);
    w.days[1].regular = 3.5f;
    EXPECT_EQ(pay(w).RegularPay.Units(), 4);
}

// --- rates, salaries and amounts ---

TEST_F(WageCalcTest, HourlyRateOfEachPayType)
{
    auto weekly = policyOf(40, true);
    auto daily = policyOf(8, false);
    EXPECT_FLOAT_EQ(HourlyRate(wage(400, "W").get(), *weekly), 10);
    EXPECT_FLOAT_EQ(HourlyRate(wage(400, "W").get(), *daily), 10);
    EXPECT_FLOAT_EQ(HourlyRate(wage(12.5f, "H").get(), *daily), 12.5f);
    EXPECT_FLOAT_EQ(HourlyRate(wage(4000, "M").get(), *weekly), 4000.0f * 12 / (40 * 52));
    EXPECT_FLOAT_EQ(HourlyRate(wage(4000, "M").get(), *daily), 4000.0f * 12 / (40 * 52));
    EXPECT_FLOAT_EQ(HourlyRate(wage(52000, "Y").get(), *weekly), 25);
    EXPECT_FLOAT_EQ(HourlyRate(wage(52000, "Q").get(), *weekly), 25); // any other code is a year
    EXPECT_FLOAT_EQ(HourlyRate(nullptr, *weekly), 0);
    // A policy without hours gives no rate rather than an infinite one.
    auto none = policyOf(0, true);
    EXPECT_FLOAT_EQ(HourlyRate(wage(400, "W").get(), *none), 0);
    EXPECT_FLOAT_EQ(HourlyRate(wage(52000, "Y").get(), *none), 0);
}

TEST_F(WageCalcTest, WeeklySalaryOfEachPayType)
{
    auto weekly = policyOf(40, true);
    auto daily = policyOf(8, false);
    EXPECT_FLOAT_EQ(WeeklySalary(wage(500, "W").get(), *weekly), 500);
    EXPECT_FLOAT_EQ(WeeklySalary(wage(10, "H").get(), *weekly), 400);
    // A daily policy's week is five of its days, as in the hourly rate.
    EXPECT_FLOAT_EQ(WeeklySalary(wage(10, "H").get(), *daily), 400);
    EXPECT_FLOAT_EQ(WeeklySalary(wage(5200, "M").get(), *weekly), 1200);
    EXPECT_FLOAT_EQ(WeeklySalary(wage(52000, "Y").get(), *weekly), 1000);
    EXPECT_FLOAT_EQ(WeeklySalary(wage(52000, "Q").get(), *weekly), 1000);
    EXPECT_FLOAT_EQ(WeeklySalary(nullptr, *weekly), 0);
}

TEST_F(WageCalcTest, ParseAmountReadsDisplayedCurrencyBack)
{
    EXPECT_FLOAT_EQ(ParseAmount("($1,234.50)"), -1234.5f);
    EXPECT_FLOAT_EQ(ParseAmount("$1,234.50"), 1234.5f);
    EXPECT_FLOAT_EQ(ParseAmount("-$3.25"), -3.25f);
    EXPECT_FLOAT_EQ(ParseAmount("$0.00"), 0);
    EXPECT_FLOAT_EQ(ParseAmount(""), 0);
    EXPECT_FLOAT_EQ(ParseAmount(FormatCurrency(-98765.43, 2)), -98765.43f);
}

// --- the week's pay ---

TEST_F(WageCalcTest, EachDayIsPaidWithTheWageAndPolicyInForceOnIt)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    addWage(kEmp, date(2024, 3, 14), 12, "H"); // from Thursday
    std::int64_t doubleTime = addPolicy("Double", 40, true, 2.0f);
    assign(kEmp, date(2024, 3, 15), doubleTime); // from Friday
    PayWeek w = workWeek(8, 2);
    // Mon-Wed 3 x 8 x 10, Thu-Fri 2 x 8 x 12; Friday's 2 overtime hours at 2 x 12.
    EXPECT_EQ(units(pay(w)), "4320000|480000|0|0|0|0");
}

TEST_F(WageCalcTest, DaysOutsideThePeriodContributeNothing)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    PayWeek w = workWeek(8, 2, 2);
    w.paidTimeOff[1] = 4;
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.includeOvertime = true;
    shifts.includeTimeOff = true;
    // Only Tuesday to Thursday.
    EXPECT_EQ(units(WeeklyPay(*dm, w, day(2), day(4), shifts)), "2400000|0|0|240000|0|0");
    // A period that misses the week: all zeros.
    EXPECT_EQ(units(WeeklyPay(*dm, w, day(7), day(13), shifts)), "0|0|0|0|0|0");
}

TEST_F(WageCalcTest, WithoutAWageNothingIsPaid)
{
    addWage(kEmp, date(2024, 6, 1), 10, "H"); // starts after the week
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.perShift = true;
    EXPECT_EQ(units(pay(workWeek(8, 2, 2), shifts)), "0|0|0|0|0|0");
}

TEST_F(WageCalcTest, TimeOffCountingTowardOvertimeIsPaidAsTimeOffNotAsRegularHours)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    PayWeek w = week();
    w.days[2].regular = 8; // 6 worked and 2 of counting time off on Tuesday
    const int tuesday = DayOfWeek(day(2));
    w.overtimeTimeOff[std::size_t(tuesday)] = 2;
    w.paidTimeOff[std::size_t(tuesday)] = 2;
    EXPECT_EQ(units(pay(w)), "600000|0|200000|0|0|0");
}

TEST_F(WageCalcTest, OvertimeBeyondTheSecondTierIsPaidAtTheSecondRate)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    std::int64_t tiers = addPolicy("Tiers", 40, true, 1.5f, 50, 2.0f);
    assign(kEmp, date(2024, 1, 1), tiers);
    PayWeek w = week();
    w.days[5].regular = 8;
    w.days[5].overtime = 12;
    // 10 hours at 15.00 and 2 at 20.00.
    EXPECT_EQ(units(pay(w)), "800000|1900000|0|0|0|0");

    // Within the first tier: all at 1.5.
    w.days[5].overtime = 10;
    EXPECT_EQ(pay(w).OvertimePay.Units(), 1500000);
}

TEST_F(WageCalcTest, OneTierWhenThereIsNoSecondRateOrNoSecondThreshold)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    std::int64_t noRate2 = addPolicy("No rate 2", 40, true, 1.5f, 50, 0);
    assign(kEmp, date(2024, 1, 1), noRate2);
    PayWeek w = week();
    w.days[5].overtime = 12;
    EXPECT_EQ(pay(w).OvertimePay.Units(), 1800000);

    // A second rate without a second threshold (Hours2 0) is no second tier.
    std::int64_t noHours2 = addPolicy("No hours 2", 40, true, 1.5f, 0, 2.0f);
    assign(kEmp, date(2024, 3, 1), noHours2);
    EXPECT_EQ(pay(w).OvertimePay.Units(), 1800000);
}

TEST_F(WageCalcTest, APolicyWithoutHoursPaysNothingForASalary)
{
    addWage(kEmp, date(2024, 1, 1), 400, "W");
    std::int64_t empty = addPolicy("Empty", 0, true);
    assign(kEmp, date(2024, 1, 1), empty);
    EXPECT_EQ(units(pay(workWeek(8))), "0|0|0|0|0|0");
}

// --- shift differentials ---

TEST_F(WageCalcTest, PerHourDifferentialsOnRegularOvertimeAndTimeOff)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    PayWeek w = week();
    w.days[1] = {day(1), 8, 2, 2}; // Monday on the 2nd shift
    w.days[2] = {day(2), 8, 0, 3}; // Tuesday on the 3rd
    w.days[3] = {day(3), 8, 0, 1}; // Wednesday on the 1st: nothing
    w.paidTimeOff[std::size_t(DayOfWeek(day(1)))] = 4;
    w.paidTimeOff[std::size_t(DayOfWeek(day(3)))] = 4;
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.shift3 = 2;

    // Regular hours only: 8 x 1 + 8 x 2.
    EXPECT_EQ(units(pay(w, shifts)), "2400000|300000|800000|240000|0|0");

    shifts.includeOvertime = true; // 2 x 1
    EXPECT_EQ(units(pay(w, shifts)), "2400000|300000|800000|240000|20000|0");

    shifts.includeMultiple = true; // 2 x 1 x 1.5
    EXPECT_EQ(units(pay(w, shifts)), "2400000|300000|800000|240000|30000|0");

    shifts.includeTimeOff = true; // Monday's 4 hours x 1
    EXPECT_EQ(units(pay(w, shifts)), "2400000|300000|800000|240000|30000|40000");
}

TEST_F(WageCalcTest, OvertimeDifferentialWithTheRateMultipleFollowsTheTiers)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    std::int64_t tiers = addPolicy("Tiers", 40, true, 1.5f, 50, 2.0f);
    assign(kEmp, date(2024, 1, 1), tiers);
    PayWeek w = week();
    w.days[5] = {day(5), 0, 12, 2};
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.includeOvertime = true;
    EXPECT_EQ(pay(w, shifts).OvertimeDifferential.Units(), 120000);
    shifts.includeMultiple = true; // 10 x 1.5 + 2 x 2.0
    EXPECT_EQ(pay(w, shifts).OvertimeDifferential.Units(), 190000);
}

TEST_F(WageCalcTest, PerShiftDifferentialIsPaidOncePerDayOnThatShift)
{
    addWage(kEmp, date(2024, 1, 1), 10, "H");
    PayWeek w = week();
    w.days[1] = {day(1), 8, 2, 2};
    w.days[2] = {day(2), 8, 0, 2};
    w.days[3] = {day(3), 8, 0, 3};
    w.days[4] = {day(4), 8, 0, 1};
    w.paidTimeOff[std::size_t(DayOfWeek(day(2)))] = 4;
    ShiftPay shifts;
    shifts.shift2 = 5;
    shifts.shift3 = 7;
    shifts.perShift = true;
    shifts.includeOvertime = true;
    shifts.includeMultiple = true;
    // 5 + 5 + 7, and no hourly amounts.
    EXPECT_EQ(units(pay(w, shifts)), "3200000|300000|400000|170000|0|0");

    // Once more for time off, only on the day that has some (Tuesday).
    shifts.includeTimeOff = true;
    EXPECT_EQ(units(pay(w, shifts)), "3200000|300000|400000|170000|0|50000");
}

TEST_F(WageCalcTest, AnExemptWageGetsNoPerShiftDifferential)
{
    addWage(kEmp, date(2024, 1, 1), 1000, "W", true);
    ShiftPay shifts;
    shifts.shift2 = 5;
    shifts.perShift = true;
    EXPECT_EQ(pay(workWeek(8, 0, 2), shifts).RegularDifferential.Units(), 0);
}

TEST_F(WageCalcTest, ShiftSettingsComeFromTheGlobalSettings)
{
    GlobalSettings& g = globalSettings();
    g.shift2Premium = 1.25f;
    g.shift3Premium = 2.5f;
    g.shiftOvertime = true;
    g.includeShiftOT = true;
    g.includeShiftMultiple = false;
    g.includeShiftOff = true;
    ShiftPay s = ShiftPayFromSettings();
    EXPECT_FLOAT_EQ(s.shift2, 1.25f);
    EXPECT_FLOAT_EQ(s.shift3, 2.5f);
    EXPECT_TRUE(s.perShift);
    EXPECT_TRUE(s.includeOvertime);
    EXPECT_FALSE(s.includeMultiple);
    EXPECT_TRUE(s.includeTimeOff);

    addWage(kEmp, date(2024, 1, 1), 10, "H");
    EXPECT_EQ(WeeklyPay(*dm, workWeek(8, 0, 3), day(0), day(6)).RegularDifferential.Units(), 5 * 25000);
}

// --- the exempt cap ---

TEST_F(WageCalcTest, AnExemptWagesOvertimeIsCutToTheSalaryLeftAfterRegularAndTimeOff)
{
    // 500 a week over 40 hours is 12.50 an hour.
    addWage(kEmp, date(2024, 1, 1), 500, "W", true);
    PayWeek w = workWeek(8, 5);
    w.days[5].regular = 4; // 36 regular hours (450.00), 5 overtime (93.75)
    w.paidTimeOff[std::size_t(DayOfWeek(day(6)))] = 2;   // 25.00 on Saturday
    w.days[6].shift = 2;
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.includeTimeOff = true;
    // Overtime 500 - 450 - 25; the differential on the time off is not capped.
    EXPECT_EQ(units(pay(w, shifts)), "4500000|250000|250000|0|0|20000");
}

TEST_F(WageCalcTest, AnExemptWagesRegularPayIsCutOnlyOnceOvertimePayIsGone)
{
    addWage(kEmp, date(2024, 1, 1), 500, "W", true);
    PayWeek w = workWeek(8, 5, 2); // 40 regular (500.00) and 5 overtime, on the 2nd shift
    w.paidTimeOff[std::size_t(DayOfWeek(day(3)))] = 4; // 50.00
    ShiftPay shifts;
    shifts.shift2 = 1;
    shifts.includeOvertime = true;
    // Overtime to 0, then regular to 500 - 50; differentials stay whole.
    EXPECT_EQ(units(pay(w, shifts)), "4500000|0|500000|400000|50000|0");
}

TEST_F(WageCalcTest, AnExemptWageOnlyOverItsSalaryInTimeOffKeepsTheSalary)
{
    addWage(kEmp, date(2024, 1, 1), 100, "W", true);
    PayWeek w = week();
    for (int i = 1; i <= 5; ++i)
        w.paidTimeOff[std::size_t(DayOfWeek(day(i)))] = 8; // 40 hours at 2.50 is exactly 100
    EXPECT_EQ(units(pay(w)), "0|0|1000000|0|0|0");
    w.paidTimeOff[std::size_t(DayOfWeek(day(6)))] = 8; // 48 hours: cut to the salary
    EXPECT_EQ(units(pay(w)), "0|0|1000000|0|0|0");
}

TEST_F(WageCalcTest, AWageThatIsNotExemptIsNotCapped)
{
    addWage(kEmp, date(2024, 1, 1), 500, "W", false);
    EXPECT_EQ(units(pay(workWeek(8, 5))), "5000000|937500|0|0|0|0");
}

TEST_F(WageCalcTest, NoDayInsideThePeriodGivesZerosAndNoCap)
{
    addWage(kEmp, date(2024, 1, 1), 500, "W", true);
    EXPECT_EQ(units(WeeklyPay(*dm, workWeek(9, 5), day(-7), day(-1), ShiftPay{})), "0|0|0|0|0|0");
}

} // namespace hv::test
