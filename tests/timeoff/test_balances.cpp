// Benefit balances: hours taken, balance dates, earned hours by basis and
// service band, and the balance grid. Every expected value is worked out by
// hand in the comment beside it; one month of a 120-hour rule is 10 hours.
#include "engine/Table.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "timeoff/Balances.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace hv::test {
namespace {

double D(int y, int m, int d) { return EncodeDate(y, m, d); }

class BalanceTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        start();
        resetGlobalSettings();
        today.setToday(D(2010, 6, 15));
        setClock(&today);
        employee = std::make_unique<TEmployeeRecClass>(*dm);
    }
    void TearDown() override
    {
        employee.reset();
        setClock(nullptr);
        resetGlobalSettings();
        StorageTest::TearDown();
    }

    std::int32_t addReason(const std::string& name, const std::string& code, bool policy,
                           const std::string& basis = "C", const std::string& validate = "E")
    {
        engine::Table& t = dm->tblReasons;
        t.append();
        t.fieldByName("Reason").setAsString(name);
        t.fieldByName("ReasonCode").setAsString(code);
        t.fieldByName("ActiveFlag").setAsBoolean(true);
        t.fieldByName("PolicyFlag").setAsBoolean(policy);
        t.fieldByName("AccrualBasis").setAsString(policy ? basis : "");
        t.fieldByName("ValidateBasis").setAsString(policy ? validate : "");
        t.post();
        return std::int32_t(t.fieldByName("ReasonID").asInteger());
    }
    void addRule(std::int32_t reason, int startMonths, int endMonths, float earned, float carry)
    {
        engine::Table& t = dm->tblPolicy;
        t.append();
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("EmpTypeID").setAsInteger(1);
        t.fieldByName("StartMonths").setAsInteger(startMonths);
        t.fieldByName("EndMonths").setAsInteger(endMonths);
        t.fieldByName("EarnedHours").setAsFloat(earned);
        t.fieldByName("CarryOverHours").setAsFloat(carry);
        t.post();
    }
    void addOpening(std::int32_t reason, double date, float hours)
    {
        engine::Table& t = dm->tblAccruals;
        t.append();
        t.fieldByName("EmpID").setAsInteger(kEmp);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("AccruedHours").setAsFloat(hours);
        t.fieldByName("AccrualDate").setAsDateTime(date);
        t.post();
    }
    void addTimeOff(std::int32_t reason, double day, float hours)
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(kEmp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        t.post();
    }
    // A vacation benefit with one rule 0-960 months, 120 hours a year.
    std::int32_t vacation(const std::string& basis, float carry = 40, const std::string& validate = "E")
    {
        const std::int32_t id = addReason("Vacation", "V", true, basis, validate);
        addRule(id, 0, 960, 120, carry);
        return id;
    }
    void employ(double startDate, double endDate = 0, bool eligible = true)
    {
        employee->SetEmpID(kEmp);
        employee->SetStartDate(startDate);
        employee->SetEndDate(endDate);
        employee->SetEligibleFlag(eligible);
    }
    float earned(std::int32_t reason, double asOf) { return EarnedHours(*dm, *employee, reason, asOf); }

    static constexpr std::int32_t kEmp = 7;
    FixedClock today;
    std::unique_ptr<TEmployeeRecClass> employee;
};

// ---- calendar year ---------------------------------------------------------

TEST_F(BalanceTest, CalendarYearOneRule)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1));
    // Jan..Jun: six whole months of 10.
    EXPECT_NEAR(earned(v, D(2000, 7, 1)), 60.0f, 1e-4);
    // Twelve months; the year end is the as-of date, nothing subtracted or capped.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 120.0f, 1e-4);
    // 2000: 120 capped to 40, then 2001: 40 + 120.
    EXPECT_NEAR(earned(v, D(2002, 1, 1)), 160.0f, 1e-4);
    addTimeOff(v, D(2000, 5, 2), 60);
    addTimeOff(v, D(2000, 9, 5), 40);
    // 2000: 120 - 100 = 20 (below the cap), then 20 + 120.
    EXPECT_NEAR(earned(v, D(2002, 1, 1)), 140.0f, 1e-4);
}

TEST_F(BalanceTest, CalendarYearEndDateStopsAccrual)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1), D(2000, 6, 15));
    // Jan..May: 50, then June 1..15 counted in: 15/30 x 10 = 5.
    EXPECT_NEAR(earned(v, D(2000, 7, 1)), 55.0f, 1e-4);
    EXPECT_NEAR(earned(v, D(2005, 3, 9)), 55.0f, 1e-4);
}

TEST_F(BalanceTest, CalendarYearStartInMidMonthBeginsNextMonth)
{
    const auto v = vacation("C");
    employ(D(2000, 3, 15));
    // Accrual starts 1 April: April..December, 9 months.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 90.0f, 1e-4);
}

TEST_F(BalanceTest, OnOrBeforeStartDateNothingIsEarned)
{
    const auto v = vacation("C");
    employ(D(2000, 3, 15));
    EXPECT_EQ(earned(v, D(2000, 3, 15)), 0.0f);
    EXPECT_EQ(earned(v, D(1999, 12, 1)), 0.0f);
}

TEST_F(BalanceTest, ZeroCarryOverResetsEveryYearEndEvenANegativeBalance)
{
    const auto v = vacation("C", 0);
    employ(D(2000, 1, 1));
    addTimeOff(v, D(2000, 8, 1), 150);
    addTimeOff(v, D(2001, 8, 1), 20);
    // 2000: 120 - 150 = -30, reset to 0; 2001: 0 + 120.
    EXPECT_NEAR(earned(v, D(2002, 1, 1)), 120.0f, 1e-4);
    // 2001 end: 120 - 20 = 100, reset to 0; 2002: 0 + 120.
    EXPECT_NEAR(earned(v, D(2003, 1, 1)), 120.0f, 1e-4);
}

TEST_F(BalanceTest, NegativeBalanceIsCarriedWhenTheCapIsNotZero)
{
    const auto v = vacation("C", 40);
    employ(D(2000, 1, 1));
    addTimeOff(v, D(2000, 8, 1), 150);
    // 2000: 120 - 150 = -30 (no lower limit), then -30 + 120.
    EXPECT_NEAR(earned(v, D(2002, 1, 1)), 90.0f, 1e-4);
}

TEST_F(BalanceTest, OpeningBalanceInMarchCreditsEachDayOnce)
{
    const auto v = vacation("C");
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 3, 15), 0);
    // March 15..31 is 17 of 31 days, then April..December 9 months:
    // 17/31 x 10 + 90 = 95.48 (not 105.48, which counts the 15th on twice).
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 90.0f + 170.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, OpeningBalanceInDecember)
{
    const auto v = vacation("C");
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 12, 10), 20);
    // 20 held on 10 December, then December 10..31 = 22/31 x 10 = 7.097: 27.097.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 20.0f + 220.0f / 31.0f, 1e-3);
    addTimeOff(v, D(2000, 12, 20), 5);
    // Year end 2000: 27.097 - 5 = 22.097 (below 40), then January: + 10 = 32.097.
    EXPECT_NEAR(earned(v, D(2001, 2, 1)), 25.0f + 220.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, OpeningBalanceInTheHireMonthCreditsItsDaysOnce)
{
    const auto v = vacation("C");
    employ(D(2000, 3, 15));
    addOpening(v, D(2000, 3, 15), 0);
    // March 15..31 is 17 of 31 days, then April..December 9 months:
    // 17/31 x 10 + 90 = 95.48, more than the 90 without the row.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 90.0f + 170.0f / 31.0f, 1e-3);
    const auto w = addReason("Personal", "P", true, "C");
    addRule(w, 0, 960, 120, 40);
    employ(D(2000, 3, 5));
    addOpening(w, D(2000, 3, 10), 0);
    // March 10..31 is 22 of 31 days: 22/31 x 10 + 90 = 97.10.
    EXPECT_NEAR(earned(w, D(2001, 1, 1)), 90.0f + 220.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, AnniversaryOpeningBalanceCreditsEachDayOnce)
{
    const auto v = vacation("A");
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 3, 15), 0);
    // Anniversaries on the 1st: as for "C", 17/31 x 10 for March 15..31 and
    // April..December 9 x 10 up to the anniversary 1 Jan 2001: 95.48.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 90.0f + 170.0f / 31.0f, 1e-3);
    const auto w = addReason("Sick", "S", true, "A");
    addRule(w, 0, 960, 120, 40);
    employ(D(1995, 1, 20));
    addOpening(w, D(2000, 3, 1), 0);
    // The anniversary month 20 Feb - 19 Mar 2000 has 29 days; 1..19 March are
    // 19 of them: 19/29 x 10, then 20 Mar 2000 - 20 Jan 2001 10 x 10: 106.55.
    EXPECT_NEAR(earned(w, D(2001, 1, 20)), 100.0f + 190.0f / 29.0f, 1e-3);
}

TEST_F(BalanceTest, EmployeeWhoLeftInTheFirstMonth)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1), D(2000, 1, 20));
    // No whole month; January 1..20 counted in: 20/31 x 10 = 6.452.
    EXPECT_NEAR(earned(v, D(2000, 3, 1)), 200.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, EmployeeWhoLeftKeepsTheDaysOfTheLastMonthInEveryBasis)
{
    // User year from 1 January: Jan..May 50, then June 1..15 counted in:
    // 15/30 x 10 = 5, so 55 as for "C".
    const auto u = vacation("U");
    employ(D(2000, 1, 1), D(2000, 6, 15));
    EXPECT_NEAR(earned(u, D(2000, 9, 1)), 55.0f, 1e-4);
    // Anniversaries on the 10th: 10 Jan..10 Jun 50, then 10..25 June counted
    // in, 16 of the 30 days to 10 July: 50 + 16/30 x 10 = 55.33.
    const auto a = addReason("Sick", "S", true, "A");
    addRule(a, 0, 960, 120, 40);
    employ(D(2000, 1, 10), D(2000, 6, 25));
    EXPECT_NEAR(earned(a, D(2000, 9, 1)), 50.0f + 160.0f / 30.0f, 1e-3);
}

TEST_F(BalanceTest, AnEndDateCreditsOnlyDaysWorkedUpToTheAsOfDate)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1), D(2001, 6, 15));
    // Still employed on 1 July 2000: Jan..Jun 60, as for a current employee;
    // the days to the later end date are not a part month.
    EXPECT_NEAR(earned(v, D(2000, 7, 1)), 60.0f, 1e-4);
    // Left on 25 March, ten days after an opening balance of 0 dated 15
    // March: March 15..25 only, 11/31 x 10 = 3.55.
    const auto w = addReason("Personal", "P", true, "C");
    addRule(w, 0, 960, 120, 40);
    employ(D(1995, 1, 1), D(2000, 3, 25));
    addOpening(w, D(2000, 3, 15), 0);
    EXPECT_NEAR(earned(w, D(2001, 1, 1)), 110.0f / 31.0f, 1e-3);
}

// ---- service bands ---------------------------------------------------------

TEST_F(BalanceTest, BandChangeOnTheFirstOfAMonthAddsNoDayFractions)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 6, 120, 40);
    addRule(v, 6, 960, 240, 300);
    employ(D(2000, 1, 1));
    // Band end 1 July: 6 x 10 = 60, then 6 x 20 = 120: 180.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 180.0f, 1e-4);
}

TEST_F(BalanceTest, BandChangeInMidMonthSplitsTheMonth)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 6, 120, 40);
    addRule(v, 6, 960, 240, 300);
    employ(D(2000, 1, 15));
    // From 1 Feb to the band end 15 July: Feb..Jun 5 x 10 = 50; July 1..14 at
    // the old rate 14/31 x 10; July 15..31 at the new rate 17/31 x 20;
    // Aug..Dec 5 x 20 = 100. Total 150 + 140/31 + 340/31 = 165.484.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 150.0f + 480.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, BandChangeAtYearEndCapsWithTheOldBand)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 12, 120, 10);
    addRule(v, 12, 960, 240, 100);
    employ(D(2000, 1, 1));
    // 2000: 120, capped by the old band to 10; 2001: 10 + 12 x 20 = 250.
    EXPECT_NEAR(earned(v, D(2002, 1, 1)), 250.0f, 1e-4);
}

TEST_F(BalanceTest, BandChangeInTheOpeningBalancesMonthUsesTheMonthsRate)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 12, 120, 40);
    addRule(v, 12, 960, 240, 300);
    employ(D(2000, 1, 1));
    addOpening(v, D(2001, 1, 15), 0);
    // Month 12 still belongs to the first band, which ends on 1 Jan 2001, so
    // January is credited at the new 20 a month: 17/31 x 20 for January
    // 15..31, then February..June 5 x 20: 110.97.
    EXPECT_NEAR(earned(v, D(2001, 7, 1)), 100.0f + 340.0f / 31.0f, 1e-3);
    const auto w = addReason("Personal", "P", true, "C");
    addRule(w, 0, 12, 120, 40);
    addRule(w, 12, 960, 240, 300);
    employ(D(2000, 3, 10));
    addOpening(w, D(2001, 3, 20), 0);
    // The band ends on 10 March, before the opening balance: March 20..31 at
    // the new rate, 12/31 x 20, then April..June 3 x 20: 67.74.
    EXPECT_NEAR(earned(w, D(2001, 7, 1)), 60.0f + 240.0f / 31.0f, 1e-3);
}

TEST_F(BalanceTest, TheLastMonthOfABandStillBelongsToIt)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 12, 120, 40);
    employ(D(2000, 1, 1));
    addOpening(v, D(2001, 1, 1), 25);
    // 1 Jan 2001 is 12 months of service, inside the 0-12 band: the opening
    // balance of 25, not "no policy record".
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 25.0f, 1e-4);
}

TEST_F(BalanceTest, NoRuleForTheMonthsOfServiceRaisesNoPolicy)
{
    const auto v = addReason("Vacation", "V", true, "C");
    addRule(v, 0, 12, 120, 40);
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 1, 1), 0);
    // 1 Jan 1995 to 1 Jan 2000 is 60 months, beyond the only band.
    try {
        earned(v, D(2000, 6, 1));
        FAIL() << "no error raised";
    } catch (const ENoPolicyRecError& e) {
        EXPECT_STREQ(e.what(), "No policy record found for VACATION for and employee who has worked for 60 months.");
    }
}

// ---- anniversary year ------------------------------------------------------

TEST_F(BalanceTest, AnniversaryYear)
{
    const auto v = vacation("A");
    employ(D(2000, 3, 15));
    // As of 20 Sep 2000 counts to the monthly anniversary 15 Sep: 6 months.
    EXPECT_NEAR(earned(v, D(2000, 9, 20)), 60.0f, 1e-4);
    // First anniversary is the as-of date: 12 months, nothing subtracted.
    EXPECT_NEAR(earned(v, D(2001, 3, 15)), 120.0f, 1e-4);
    addTimeOff(v, D(2000, 6, 1), 100);
    // Year to 15 Mar 2001: 120 - 100 = 20; then 12 months more: 140.
    EXPECT_NEAR(earned(v, D(2002, 3, 15)), 140.0f, 1e-4);
}

TEST_F(BalanceTest, AnniversaryYearSubtractsTheYearThatEnds)
{
    const auto v = addReason("Vacation", "V", true, "A");
    addRule(v, 0, 10, 120, 200);
    addRule(v, 10, 960, 240, 200);
    employ(D(2000, 3, 15));
    addTimeOff(v, D(2000, 6, 1), 100); // benefit year 15 Mar 2000 - 14 Mar 2001
    addTimeOff(v, D(2001, 6, 1), 30);  // benefit year 15 Mar 2001 - 14 Mar 2002
    today.setToday(D(2002, 3, 20));
    // 15 Mar 2000 - 15 Jan 2001 (band end): 10 x 10 = 100; to 15 Mar 2001:
    // 2 x 20 = 40, 140 - 100 taken that year = 40; then 12 x 20: 280.
    // (The year that starts 15 Mar 2001 holds the 30 and is not over yet.)
    EXPECT_NEAR(earned(v, D(2002, 3, 15)), 280.0f, 1e-4);
}

TEST_F(BalanceTest, AnniversaryOpeningBalanceIsNotCappedAgain)
{
    const auto v = vacation("A"); // carry-over 40
    employ(D(2000, 3, 15));
    addOpening(v, D(2002, 3, 15), 100);
    // Dated on the anniversary, the balance stands for the year it opens:
    // 100 + 15 Mar..15 Sep 6 x 10 = 160, not capped to 40 first.
    EXPECT_NEAR(earned(v, D(2002, 9, 15)), 160.0f, 1e-4);
}

// ---- user-defined year -----------------------------------------------------

class UserYearTest : public BalanceTest {
protected:
    void SetUp() override
    {
        BalanceTest::SetUp();
        globalSettings().userMonth = 7;
        globalSettings().userDay = 1;
    }
};

TEST_F(UserYearTest, JanuaryStartAccruesFromTheFirstUserDayAfterHire)
{
    const auto v = vacation("U");
    employ(D(2000, 1, 10));
    // Accrual begins 1 Feb 2000, not 1 Jan: Feb..Jun, 5 months.
    EXPECT_NEAR(earned(v, D(2000, 7, 1)), 50.0f, 1e-4);
    // Year end 1 Jul 2000: 50 (cap 40) -> 40; Jul, Aug: + 20.
    EXPECT_NEAR(earned(v, D(2000, 9, 15)), 60.0f, 1e-4);
    addTimeOff(v, D(2000, 3, 15), 20);
    // Year end 1 Jul 2000: 50 - 20 = 30; then 12 months: 150.
    EXPECT_NEAR(earned(v, D(2001, 7, 1)), 150.0f, 1e-4);
}

TEST_F(UserYearTest, OpeningBalanceOnTheFirstDayOfTheYear)
{
    const auto v = vacation("U");
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 7, 1), 50);
    addTimeOff(v, D(2000, 3, 1), 10); // the year before the opening balance
    // The balance already stands for the year from 1 Jul 2000: 50 + Jul..Sep 30.
    EXPECT_NEAR(earned(v, D(2000, 10, 1)), 80.0f, 1e-4);
}

TEST_F(UserYearTest, OpeningBalanceInMidPeriodCreditsEachDayOnce)
{
    const auto v = vacation("U");
    employ(D(1995, 1, 1));
    addOpening(v, D(2000, 3, 20), 10);
    // 10 held on 20 March; March 20..31 is 12 of 31 days; Apr..Jun 30:
    // 10 + 120/31 + 30 = 43.871.
    EXPECT_NEAR(earned(v, D(2000, 7, 1)), 40.0f + 120.0f / 31.0f, 1e-3);
}

// ---- not eligible, no policy -----------------------------------------------

TEST_F(BalanceTest, IneligibleWithoutOpeningBalanceRaises)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1), 0, false);
    try {
        earned(v, D(2000, 7, 1));
        FAIL() << "no error raised";
    } catch (const ENotEligibleError& e) {
        EXPECT_STREQ(e.what(), "This employee is not eligible to earn VACATION hours.");
    }
}

TEST_F(BalanceTest, IneligibleKeepsOnlyTheOpeningBalanceOfItsYear)
{
    const auto v = vacation("C");
    employ(D(2000, 1, 1), 0, false);
    addOpening(v, D(2000, 3, 1), 50);
    EXPECT_NEAR(earned(v, D(2000, 12, 1)), 50.0f, 1e-4);
    // The day before 1 Jan 2001 is still in 2000.
    EXPECT_NEAR(earned(v, D(2001, 1, 1)), 50.0f, 1e-4);
    EXPECT_EQ(earned(v, D(2001, 2, 1)), 0.0f);
}

TEST_F(BalanceTest, MissingReasonRaises)
{
    employ(D(2000, 1, 1));
    try {
        earned(99, D(2000, 7, 1));
        FAIL() << "no error raised";
    } catch (const ENoReasonRecError& e) {
        EXPECT_STREQ(e.what(), "No record found for , ReasonID: 99");
    }
    EXPECT_THROW(TakenHours(*dm, *employee, 99, 2000), ENoReasonRecError);
}

TEST_F(BalanceTest, AnyOtherBasisLetterIsTheCalendarYearEverywhere)
{
    globalSettings().userMonth = 7; // so that a user year would differ
    const auto x = vacation("X", 40, "Y");
    employ(D(2000, 1, 1));
    addTimeOff(x, D(2000, 3, 1), 8);
    addTimeOff(x, D(2000, 8, 1), 4);
    today.setToday(D(2000, 9, 1));
    // Balance date 1 Jan 2001, and the hours of calendar 2000 (8 + 4), not of
    // the user year from 1 July 2000 (4).
    EXPECT_EQ(BalanceDate(*dm, *employee, x), D(2001, 1, 1));
    EXPECT_NEAR(TakenHours(*dm, *employee, x, 2000), 12.0f, 1e-4);
    // 2000: 120 - 12 capped to 40; 2001: + 120 = 160 (the user year would give 100).
    EXPECT_NEAR(earned(x, D(2002, 1, 1)), 160.0f, 1e-4);
}

// ---- taken hours and balance date ------------------------------------------

TEST_F(BalanceTest, TakenHoursByYearWindow)
{
    const auto c = vacation("C");
    const auto a = addReason("Sick", "S", true, "A");
    employ(D(2000, 3, 15));
    addTimeOff(c, D(2000, 1, 1), 8);
    addTimeOff(c, D(2000, 12, 31), 4);
    addTimeOff(c, D(2001, 1, 1), 2);
    EXPECT_NEAR(TakenHours(*dm, *employee, c, 2000), 12.0f, 1e-4);
    addTimeOff(a, D(2000, 3, 14), 1);
    addTimeOff(a, D(2000, 3, 15), 2);
    addTimeOff(a, D(2001, 3, 14), 3);
    addTimeOff(a, D(2001, 3, 15), 5);
    // Today 10 Mar 2001 is before 14 Mar 2001: the year 15 Mar 2000 - 14 Mar 2001.
    today.setToday(D(2001, 3, 10));
    EXPECT_NEAR(TakenHours(*dm, *employee, a, 2001), 5.0f, 1e-4);
    // Once that day has passed, the following year: 15 Mar 2001 onwards.
    today.setToday(D(2001, 3, 20));
    EXPECT_NEAR(TakenHours(*dm, *employee, a, 2001), 5.0f, 1e-4);
    EXPECT_NEAR(TakenHours(*dm, *employee, a, 2000), 5.0f, 1e-4);
    EXPECT_EQ(TakenHours(*dm, *employee, a, 1990), 0.0f);
}

TEST_F(BalanceTest, BalanceDateByBasis)
{
    employ(D(2000, 3, 15));
    today.setToday(D(2003, 6, 10));
    EXPECT_EQ(BalanceDate(*dm, *employee, vacation("C", 40, "E")), D(2003, 6, 10));
    EXPECT_EQ(BalanceDate(*dm, *employee, addReason("C year", "1", true, "C", "Y")), D(2004, 1, 1));
    const auto a = addReason("A year", "2", true, "A", "Y");
    EXPECT_EQ(BalanceDate(*dm, *employee, a), D(2004, 3, 15));
    today.setToday(D(2003, 3, 15));
    EXPECT_EQ(BalanceDate(*dm, *employee, a), D(2004, 3, 15));
    today.setToday(D(2003, 3, 14));
    EXPECT_EQ(BalanceDate(*dm, *employee, a), D(2003, 3, 15));
    globalSettings().userMonth = 7;
    const auto u = addReason("U year", "3", true, "U", "Y");
    today.setToday(D(2003, 6, 10));
    EXPECT_EQ(BalanceDate(*dm, *employee, u), D(2003, 7, 1));
    today.setToday(D(2003, 7, 1));
    EXPECT_EQ(BalanceDate(*dm, *employee, u), D(2004, 7, 1));
    // A letter only migrated data could hold counts as the calendar year.
    const auto x = addReason("X year", "4", true, "X", "Y");
    EXPECT_EQ(BalanceDate(*dm, *employee, x), D(2004, 1, 1));
}

// ---- the balance grid ------------------------------------------------------

TEST_F(BalanceTest, BalanceGridRows)
{
    today.setToday(D(2001, 3, 1));
    const auto v = vacation("C"); // earned to date
    const auto s = addReason("Sick", "S", true, "C", "E"); // without rules
    addReason("Jury duty", "J", false);
    employ(D(1995, 1, 1));
    addOpening(v, D(2001, 1, 1), 8);
    addTimeOff(v, D(2001, 2, 5), 30);
    addTimeOff(s, D(2001, 2, 6), 4);
    MemoryGrid grid(400);
    FillBalanceGrid(*dm, grid, *employee, 17);
    ASSERT_EQ(grid.rowCount(), 2); // benefits only, by description
    EXPECT_EQ(grid.cell(0, 0), "Sick");
    EXPECT_EQ(grid.cell(0, 1), "***");
    EXPECT_EQ(grid.cell(0, 2), "4.00");
    EXPECT_EQ(grid.cell(0, 3), "***");
    EXPECT_FALSE(grid.cellAlert(0, 3));
    // 8 + Jan, Feb = 28 earned, 30 taken in 2001: -2, drawn as an alert.
    EXPECT_EQ(grid.cell(1, 0), "Vacation");
    EXPECT_EQ(grid.cell(1, 1), "28.00");
    EXPECT_EQ(grid.cell(1, 2), "30.00");
    EXPECT_EQ(grid.cell(1, 3), "-2.00");
    EXPECT_TRUE(grid.cellAlert(1, 3));
    // Fewer than four rows: no scroll bar taken off.
    EXPECT_EQ(grid.columnWidth(3), 400 - 3 * 64 - 7);
    EXPECT_EQ(grid.selectedRow(), 0);
}

TEST_F(BalanceTest, BalanceGridIneligibleShowsTakenHours)
{
    today.setToday(D(2001, 3, 1));
    const auto v = vacation("C");
    employ(D(2000, 1, 1), 0, false);
    addTimeOff(v, D(2001, 2, 5), 6.5f);
    MemoryGrid grid;
    FillBalanceGrid(*dm, grid, *employee, 17);
    EXPECT_EQ(grid.cell(0, 1), "***");
    EXPECT_EQ(grid.cell(0, 2), "6.50");
    EXPECT_EQ(grid.cell(0, 3), "***");
    EXPECT_FALSE(grid.cellAlert(0, 3));
}

TEST_F(BalanceTest, InputsReadOnceForEveryEmployeeGiveTheSameGrid)
{
    today.setToday(D(2001, 3, 1));
    const auto v = vacation("C");
    addReason("Sick", "S", true, "C", "E"); // without rules
    employ(D(1995, 1, 1));
    addOpening(v, D(2001, 1, 1), 8);
    addTimeOff(v, D(2001, 2, 5), 30);
    engine::Table& t = dm->tblTimeOff; // another employee's time off must not count
    t.append();
    t.fieldByName("EmpID").setAsInteger(kEmp + 1);
    t.fieldByName("WeekDate").setAsDateTime(D(2001, 2, 6));
    t.fieldByName("ReasonID").setAsInteger(v);
    t.fieldByName("Hours").setAsFloat(5);
    t.post();
    MemoryGrid direct, preloaded;
    FillBalanceGrid(*dm, direct, *employee, 17);
    const auto all = loadAllBenefitRecords(*dm);
    FillBalanceGrid(preloaded,
                    benefitBalances(loadBenefits(*dm), employmentTermsOf(*employee), all.at(kEmp), userYearStart(),
                                    today.today()),
                    "#0.00", 17);
    ASSERT_EQ(preloaded.rowCount(), 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(preloaded.cell(row, column), direct.cell(row, column)) << row << "," << column;
    EXPECT_EQ(preloaded.cell(1, 3), "-2.00"); // 8 + 20 earned, 30 taken
}

TEST_F(BalanceTest, GeneratedFolderHasRulesTheBalancesFind)
{
    employee.reset();
    dm.reset();
    std::filesystem::remove_all(dataFolder);
    const std::string generate =
        std::string("'") + HV_TOOLS_DIR + "/hv_generate' '" + dataFolder + "' --employees 3 > /dev/null";
    ASSERT_EQ(std::system(generate.c_str()), 0);
    start();
    today.setToday(D(2025, 12, 27)); // the generator's last day
    TEmployeeRecClass first(*dm);
    first.SetEmpID(1);
    ASSERT_TRUE(first.LoadByID());
    MemoryGrid grid;
    FillBalanceGrid(*dm, grid, first, 17);
    // Personal, Sick and Vacation, each with rules for employee type 1.
    ASSERT_EQ(grid.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_NE(grid.cell(row, 1), "***") << grid.cell(row, 0);
        EXPECT_NE(grid.cell(row, 3), "***") << grid.cell(row, 0);
    }
}

} // namespace
} // namespace hv::test
