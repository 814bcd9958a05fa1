#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/DateUtil.h"
#include "tests/platform/RegionalFixture.h"

namespace hv {
namespace {

// Day numbers used below, counted by hand from the origin:
// 1 Jan 2000 is 36526, 1 Jan 2023 is 44927, 15 Mar 2023 is 44927 + 31 + 28 + 14 = 45000.
constexpr double k15Mar2023 = 45000;

TEST(EncodeDate, OriginAndKnownDays)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2023, 1, 1), 44927.0);
    EXPECT_EQ(EncodeDate(2023, 3, 15), k15Mar2023);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(EncodeDate, RefusesPartsThatNameNoDate)
{
    double out = 123;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(2023, 4, 31, out));
    EXPECT_FALSE(TryEncodeDate(2023, 0, 1, out));
    EXPECT_FALSE(TryEncodeDate(2023, 13, 1, out));
    EXPECT_FALSE(TryEncodeDate(2023, 1, 0, out));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, out));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, out));
    EXPECT_EQ(out, 123); // untouched on failure
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, out));
    EXPECT_THROW(EncodeDate(2023, 2, 29), std::out_of_range);
}

TEST(DecodeDate, KnownDaysAndTheWholePartOnly)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(0, y, m, d);
    EXPECT_EQ(y, 1899); EXPECT_EQ(m, 12); EXPECT_EQ(d, 30);
    DecodeDate(k15Mar2023 + 0.99, y, m, d);
    EXPECT_EQ(y, 2023); EXPECT_EQ(m, 3); EXPECT_EQ(d, 15);
    DecodeDate(-1, y, m, d);
    EXPECT_EQ(y, 1899); EXPECT_EQ(m, 12); EXPECT_EQ(d, 29);
    DecodeDate(60, y, m, d); // 1900 is no leap year
    EXPECT_EQ(y, 1900); EXPECT_EQ(m, 2); EXPECT_EQ(d, 28);
    DecodeDate(61, y, m, d);
    EXPECT_EQ(y, 1900); EXPECT_EQ(m, 3); EXPECT_EQ(d, 1);
}

TEST(DecodeDate, RoundTripsEveryDayOfSeveralYears)
{
    for (int y : {1899, 1900, 1999, 2000, 2023, 2024, 2100}) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                int yy = 0, mm = 0, dd = 0;
                DecodeDate(EncodeDate(y, m, d), yy, mm, dd);
                ASSERT_EQ(yy, y);
                ASSERT_EQ(mm, m);
                ASSERT_EQ(dd, d);
            }
        }
    }
}

TEST(DateParts, YearMonthDay)
{
    EXPECT_EQ(Year(k15Mar2023), 2023);
    EXPECT_EQ(Month(k15Mar2023), 3);
    EXPECT_EQ(Day(k15Mar2023), 15);
    EXPECT_EQ(Year(0), 1899);
    EXPECT_EQ(Month(0), 12);
    EXPECT_EQ(Day(0.75), 30);
}

TEST(DayOfWeek, KnownDates)
{
    EXPECT_EQ(DayOfWeek(k15Mar2023), 3);                 // Wednesday
    EXPECT_EQ(DayOfWeek(0), 6);                          // 30 Dec 1899, Saturday
    EXPECT_EQ(DayOfWeek(1), 0);                          // 31 Dec 1899, Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 6);     // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2023, 3, 5)), 0);     // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2023, 3, 11)), 6);    // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1776, 7, 4)), 4);     // Thursday, before the origin
    EXPECT_EQ(DayOfWeek(k15Mar2023 + 0.9), 3);           // the time of day does not count
}

TEST(DaysInMonth, LengthsAndLeapYears)
{
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 1, 15)), 31);
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 2, 1)), 28);
    EXPECT_EQ(DaysInMonth(EncodeDate(2024, 2, 29)), 29);
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 4, 30)), 30);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
}

TEST(EncodeTime, FractionsOfTheDay)
{
    EXPECT_EQ(EncodeTime(0, 0), 0.0);
    EXPECT_EQ(EncodeTime(12, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0), 0.25);
    EXPECT_EQ(EncodeTime(18, 0), 0.75);
    EXPECT_DOUBLE_EQ(EncodeTime(17, 12), 1032.0 / 1440.0);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59), 86399.0 / 86400.0);
    double out = 0;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, out));
    EXPECT_FALSE(TryEncodeTime(12, 60, 0, 0, out));
    EXPECT_FALSE(TryEncodeTime(12, 0, 60, 0, out));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, out));
    EXPECT_THROW(EncodeTime(25, 0), std::out_of_range);
}

TEST(DecodeTime, RoundTripsEveryMinuteOfTheDay)
{
    for (int minute = 0; minute < 1440; ++minute) {
        int h = -1, n = -1, s = -1;
        DecodeTime(EncodeTime(minute / 60, minute % 60), h, n, s);
        ASSERT_EQ(h * 60 + n, minute);
        ASSERT_EQ(s, 0);
        // The same time computed the way the day arithmetic does it.
        DecodeTime(minute / 1440.0, h, n, s);
        ASSERT_EQ(h * 60 + n, minute);
        ASSERT_EQ(s, 0);
    }
}

TEST(DecodeTime, IgnoresTheDateAndReadsNegativeValuesBySize)
{
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(k15Mar2023 + 0.75, h, n, s);
    EXPECT_EQ(h, 18); EXPECT_EQ(n, 0); EXPECT_EQ(s, 0);
    DecodeTime(-1.25, h, n, s); // 29 Dec 1899 06:00
    EXPECT_EQ(h, 6); EXPECT_EQ(n, 0);
    DecodeTime(EncodeTime(8, 30, 15, 250), h, n, s, ms);
    EXPECT_EQ(h, 8); EXPECT_EQ(n, 30); EXPECT_EQ(s, 15); EXPECT_EQ(ms, 250);
}

TEST(AddMonths, SameDayOrTheLastDayOfAShorterMonth)
{
    EXPECT_EQ(AddMonths(EncodeDate(2023, 1, 31), 1), EncodeDate(2023, 2, 28));
    EXPECT_EQ(AddMonths(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 1, 31), 2), EncodeDate(2023, 3, 31));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 1, 31), 3), EncodeDate(2023, 4, 30));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 3, 15), 1), EncodeDate(2023, 4, 15));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 11, 15), 3), EncodeDate(2024, 2, 15));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 12, 31), 2), EncodeDate(2024, 2, 29));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 1, 31), 12), EncodeDate(2024, 1, 31));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 3, 15), 0), EncodeDate(2023, 3, 15));
}

TEST(AddMonths, BackwardsAndKeepingTheTimeOfDay)
{
    EXPECT_EQ(AddMonths(EncodeDate(2023, 3, 31), -1), EncodeDate(2023, 2, 28));
    EXPECT_EQ(AddMonths(EncodeDate(2024, 1, 15), -13), EncodeDate(2022, 12, 15));
    EXPECT_EQ(AddMonths(EncodeDate(2023, 1, 10), -1), EncodeDate(2022, 12, 10));
    EXPECT_DOUBLE_EQ(AddMonths(k15Mar2023 + 0.75, 1), EncodeDate(2023, 4, 15) + 0.75);
}

TEST(AddYears, LeapDayAndBack)
{
    const double leapDay = EncodeDate(2024, 2, 29);
    EXPECT_EQ(AddYears(leapDay, 1), EncodeDate(2025, 2, 28));
    EXPECT_EQ(AddYears(AddYears(leapDay, 1), -1), EncodeDate(2024, 2, 28));
    EXPECT_EQ(AddYears(leapDay, 4), EncodeDate(2028, 2, 29));
    EXPECT_EQ(AddYears(leapDay, -1), EncodeDate(2023, 2, 28));
    EXPECT_EQ(AddYears(leapDay, -4), EncodeDate(2020, 2, 29));
    EXPECT_EQ(AddYears(EncodeDate(2000, 2, 29), 100), EncodeDate(2100, 2, 28));
}

TEST(AddYears, OneForwardAndOneBackIsTheSameDay)
{
    for (double day = EncodeDate(2023, 1, 1); day <= EncodeDate(2023, 12, 31); ++day)
        ASSERT_EQ(AddYears(AddYears(day, 1), -1), day);
    EXPECT_DOUBLE_EQ(AddYears(k15Mar2023 + 0.5, 1), EncodeDate(2024, 3, 15) + 0.5);
}

TEST(MonthDiff, OnlyCompletedMonthsCount)
{
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 15), EncodeDate(2023, 1, 15)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 15), EncodeDate(2023, 2, 14)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 15), EncodeDate(2023, 2, 15)), 1);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 15), EncodeDate(2023, 3, 14)), 1);
    EXPECT_EQ(MonthDiff(EncodeDate(2000, 1, 1), EncodeDate(2000, 7, 1)), 6);
    EXPECT_EQ(MonthDiff(EncodeDate(2000, 1, 1), EncodeDate(2000, 6, 30)), 5);
    EXPECT_EQ(MonthDiff(EncodeDate(2000, 1, 1), EncodeDate(2080, 1, 1)), 960);
    EXPECT_EQ(MonthDiff(EncodeDate(2022, 12, 20), EncodeDate(2023, 1, 19)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2022, 12, 20), EncodeDate(2023, 1, 20)), 1);
}

TEST(MonthDiff, TheLastDayOfAShortMonthCompletesAMonthFromALaterDay)
{
    // AddMonths(31 Jan, 1) is 28 Feb, so that day completes the month.
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 31), EncodeDate(2023, 2, 27)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 31), EncodeDate(2023, 2, 28)), 1);
    EXPECT_EQ(MonthDiff(EncodeDate(2024, 1, 31), EncodeDate(2024, 2, 28)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2024, 1, 31), EncodeDate(2024, 2, 29)), 1);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 31), EncodeDate(2023, 3, 30)), 1);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 31), EncodeDate(2023, 3, 31)), 2);
}

TEST(MonthDiff, SecondBeforeFirstIsMinusTheOtherWay)
{
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 2, 15), EncodeDate(2023, 1, 15)), -1);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 2, 15), EncodeDate(2023, 1, 16)), 0);
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 7, 1), EncodeDate(2023, 1, 1)), -6);
}

TEST(MonthDiff, TimeOfDayDoesNotCount)
{
    EXPECT_EQ(MonthDiff(EncodeDate(2023, 1, 15) + 0.9, EncodeDate(2023, 2, 15) + 0.1), 1);
}

TEST(YearDiff, CompletedYearsOfService)
{
    const double start = EncodeDate(2000, 3, 15);
    EXPECT_EQ(YearDiff(start, start), 0);
    EXPECT_EQ(YearDiff(start, EncodeDate(2001, 3, 14)), 0);
    EXPECT_EQ(YearDiff(start, EncodeDate(2001, 3, 15)), 1);
    EXPECT_EQ(YearDiff(start, EncodeDate(2010, 3, 14)), 9);
    EXPECT_EQ(YearDiff(start, EncodeDate(2010, 3, 15)), 10);
    EXPECT_EQ(YearDiff(start, EncodeDate(2010, 12, 31)), 10);
    EXPECT_EQ(YearDiff(EncodeDate(2010, 3, 15), start), -10);
    EXPECT_EQ(YearDiff(EncodeDate(2010, 3, 14), start), -9);
}

TEST(YearDiff, StartOnALeapDay)
{
    const double start = EncodeDate(2000, 2, 29);
    EXPECT_EQ(YearDiff(start, EncodeDate(2001, 2, 27)), 0);
    EXPECT_EQ(YearDiff(start, EncodeDate(2001, 2, 28)), 1);
    EXPECT_EQ(YearDiff(start, EncodeDate(2004, 2, 28)), 3);
    EXPECT_EQ(YearDiff(start, EncodeDate(2004, 2, 29)), 4);
}

TEST(NearestValidDate, DaysBeyondTheMonthAndDayZero)
{
    EXPECT_EQ(NearestValidDate(2023, 3, 15), EncodeDate(2023, 3, 15));
    EXPECT_EQ(NearestValidDate(2023, 4, 31), EncodeDate(2023, 4, 30));
    EXPECT_EQ(NearestValidDate(2023, 2, 29), EncodeDate(2023, 2, 28));
    EXPECT_EQ(NearestValidDate(2023, 2, 31), EncodeDate(2023, 2, 28));
    EXPECT_EQ(NearestValidDate(2024, 2, 30), EncodeDate(2024, 2, 29));
    EXPECT_EQ(NearestValidDate(2023, 3, 0), EncodeDate(2023, 2, 28));
    EXPECT_EQ(NearestValidDate(2024, 3, 0), EncodeDate(2024, 2, 29));
    EXPECT_EQ(NearestValidDate(2023, 1, 0), EncodeDate(2022, 12, 31));
    EXPECT_EQ(NearestValidDate(2023, 2, -1), EncodeDate(2023, 1, 30));
}

TEST(NearestValidDate, MonthsOutsideTheYear)
{
    EXPECT_EQ(NearestValidDate(2023, 0, 15), EncodeDate(2022, 12, 15));
    EXPECT_EQ(NearestValidDate(2023, 0, 31), EncodeDate(2022, 12, 31));
    EXPECT_EQ(NearestValidDate(2023, 0, 0), EncodeDate(2022, 11, 30));
    EXPECT_EQ(NearestValidDate(2023, 13, 1), EncodeDate(2024, 1, 1));
    EXPECT_EQ(NearestValidDate(2023, -1, 10), EncodeDate(2022, 11, 10));
}

class DateFormatTest : public test::RegionalTest {};

TEST_F(DateFormatTest, IsTheRegionalShortDateFormat)
{
    EXPECT_EQ(DateFormat(), "m/d/yyyy");
    RegionalSettings r = RegionalSettings::usEnglish();
    r.shortDateFormat = "dd/mm/yyyy";
    EXPECT_EQ(DateFormat(r), "dd/mm/yyyy");
}

TEST_F(DateFormatTest, IsCutTo255Characters)
{
    RegionalSettings r = RegionalSettings::usEnglish();
    r.shortDateFormat = std::string(300, 'd');
    EXPECT_EQ(DateFormat(r).size(), 255u);
}

} // namespace
} // namespace hv
