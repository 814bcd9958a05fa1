#include <gtest/gtest.h>

#include <cstdio>

#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "tests/platform/RegionalFixture.h"

namespace hv {
namespace {

using test::at;
// Wednesday 15 March 2023 (day 45000).
constexpr double kWed15Mar2023 = 45000;

using FormatDateTimeTest = test::RegionalTest;

// The main window's day captions.
TEST_F(FormatDateTimeTest, DayCaption)
{
    EXPECT_EQ(FormatDateTime("dddd - mm/dd", kWed15Mar2023), "Wednesday - 03/15");
    EXPECT_EQ(FormatDateTime("dddd - mm/dd", EncodeDate(2023, 1, 1)), "Sunday - 01/01");
    EXPECT_EQ(FormatDateTime("dddd - mm/dd", EncodeDate(2022, 12, 31)), "Saturday - 12/31");
}

// The weekday names of day records, time off and the first week.
TEST_F(FormatDateTimeTest, LongDayName)
{
    EXPECT_EQ(FormatDateTime("dddd", kWed15Mar2023), "Wednesday");
    EXPECT_EQ(FormatDateTime("dddd", EncodeDate(2023, 3, 5)), "Sunday");
    EXPECT_EQ(FormatDateTime("dddd", 0), "Saturday");
    EXPECT_EQ(FormatDateTime("dddd", kWed15Mar2023 + 0.99), "Wednesday");
    EXPECT_EQ(FormatDateTime("ddd", kWed15Mar2023), "Wed");
}

// The dates of table filters.
TEST_F(FormatDateTimeTest, IsoDate)
{
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", kWed15Mar2023), "2023-03-15");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(2001, 3, 4)), "2001-03-04");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", 0), "1899-12-30");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(9999, 12, 31)), "9999-12-31");
}

// The default punch time format: 12-hour with one letter.
TEST_F(FormatDateTimeTest, TwelveHourWithLetter)
{
    EXPECT_EQ(FormatDateTime("hh:nn A/P", 0), "12:00 A");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(0, 5)), "12:05 A");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(8, 30)), "08:30 A");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(11, 59)), "11:59 A");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", 0.5), "12:00 P");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(12, 30)), "12:30 P");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(17, 12)), "05:12 P");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(20, 30)), "08:30 P");
    EXPECT_EQ(FormatDateTime("hh:nn A/P", at(23, 59)), "11:59 P");
    EXPECT_EQ(FormatDateTime("h:nn a/p", at(17, 12)), "5:12 p");
    EXPECT_EQ(FormatDateTime("h:nn a/p", at(9, 0)), "9:00 a");
}

// The time card list's and the export's 12-hour formats.
TEST_F(FormatDateTimeTest, TwelveHourWithDesignator)
{
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", 0), "12:00 AM");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", 0.5), "12:00 PM");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", at(17, 12)), "05:12 PM");
    EXPECT_EQ(FormatDateTime("hh:nnAM/PM", at(17, 12)), "05:12PM");
    EXPECT_EQ(FormatDateTime("hh:nnAM/PM", at(6, 7)), "06:07AM");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", at(17, 12)), "5:12 pm");
    EXPECT_EQ(FormatDateTime("h:nn ampm", at(17, 12)), "5:12 PM");
    changeRegional([](RegionalSettings& r) {
        r.amDesignator = "a.m.";
        r.pmDesignator = "p.m.";
    });
    EXPECT_EQ(FormatDateTime("h:nn ampm", at(17, 12)), "5:12 p.m.");
    EXPECT_EQ(FormatDateTime("h:nn ampm", 0), "12:00 a.m.");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", at(17, 12)), "05:12 PM"); // the pattern's own letters
    // Some regions put the designator first; the hour is 12-hour all the same.
    EXPECT_EQ(FormatDateTime("ampm h:nn", at(17, 12)), "p.m. 5:12");
}

// The 24-hour punch format.
TEST_F(FormatDateTimeTest, TwentyFourHour)
{
    EXPECT_EQ(FormatDateTime("hh:nn", 0), "00:00");
    EXPECT_EQ(FormatDateTime("hh:nn", at(8, 5)), "08:05");
    EXPECT_EQ(FormatDateTime("hh:nn", 0.5), "12:00");
    EXPECT_EQ(FormatDateTime("hh:nn", at(17, 12)), "17:12");
    EXPECT_EQ(FormatDateTime("hh:nn", at(23, 59)), "23:59");
    EXPECT_EQ(FormatDateTime("hh:nn", kWed15Mar2023 + at(17, 12)), "17:12");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", at(15, 30, 45)), "15:30:45");
    EXPECT_EQ(FormatDateTime("h:n:s", at(8, 5, 3)), "8:5:3");
}

TEST_F(FormatDateTimeTest, EveryMinuteShowsItself)
{
    for (int minute = 0; minute < 1440; ++minute) {
        char expected[16]; // room for any int, as the compiler cannot see the range
        std::snprintf(expected, sizeof expected, "%02d:%02d", minute / 60, minute % 60);
        ASSERT_EQ(FormatDateTime("hh:nn", minute / 1440.0), expected);
    }
}

TEST_F(FormatDateTimeTest, MonthOrMinutesAfterAnHour)
{
    EXPECT_EQ(FormatDateTime("h:mm", at(17, 12)), "17:12");
    EXPECT_EQ(FormatDateTime("hh:mm A/P", at(17, 12)), "05:12 P");
    EXPECT_EQ(FormatDateTime("mm/dd hh:mm", kWed15Mar2023 + at(8, 7)), "03/15 08:07");
}

TEST_F(FormatDateTimeTest, DatePartsAndNames)
{
    EXPECT_EQ(FormatDateTime("m/d/yyyy", kWed15Mar2023), "3/15/2023");
    EXPECT_EQ(FormatDateTime("m/d/yyyy", EncodeDate(2023, 11, 5)), "11/5/2023");
    EXPECT_EQ(FormatDateTime("d/m/yy", kWed15Mar2023), "15/3/23");
    EXPECT_EQ(FormatDateTime("d mmm yy", EncodeDate(2005, 3, 15)), "15 Mar 05");
    EXPECT_EQ(FormatDateTime("mmmm", kWed15Mar2023), "March");
    EXPECT_EQ(FormatDateTime("mmmm d, yyyy", EncodeDate(2023, 12, 25)), "December 25, 2023");
}

TEST_F(FormatDateTimeTest, RegionalFormats)
{
    const double evening = kWed15Mar2023 + 0.75;
    EXPECT_EQ(FormatDateTime("ddddd", evening), "3/15/2023");
    EXPECT_EQ(FormatDateTime("dddddd", evening), "Wednesday, March 15, 2023");
    EXPECT_EQ(FormatDateTime("t", evening), "6:00 PM");
    EXPECT_EQ(FormatDateTime("tt", evening), "6:00:00 PM");
    EXPECT_EQ(FormatDateTime("c", evening), "3/15/2023 6:00:00 PM");
    EXPECT_EQ(FormatDateTime("c", kWed15Mar2023), "3/15/2023"); // midnight shows no time
    EXPECT_EQ(FormatDateTime("", evening), "3/15/2023 6:00:00 PM");
}

TEST_F(FormatDateTimeTest, QuotedLiterals)
{
    EXPECT_EQ(FormatDateTime("'Week of' mmmm d", kWed15Mar2023), "Week of March 15");
    EXPECT_EQ(FormatDateTime("\"at\" hh:nn", 0.75), "at 18:00");
    EXPECT_EQ(FormatDateTime("'d/m' d", kWed15Mar2023), "d/m 15");
    EXPECT_EQ(FormatDateTime("yyyy'-'mm", kWed15Mar2023), "2023-03");
}

TEST_F(FormatDateTimeTest, SeparatorsAreRegional)
{
    changeRegional([](RegionalSettings& r) {
        r.dateSeparator = ".";
        r.timeSeparator = ".";
    });
    EXPECT_EQ(FormatDateTime("mm/dd", kWed15Mar2023), "03.15");
    EXPECT_EQ(FormatDateTime("hh:nn", 0.75), "18.00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", kWed15Mar2023), "2023-03-15"); // "-" is literal
}

TEST_F(FormatDateTimeTest, TimeRoundsToTheMillisecond)
{
    // A hair before midnight shows as the next day's midnight, never as 24:00.
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", kWed15Mar2023 + 0.999999999999),
              "2023-03-16 00:00:00");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", 1.0 - 1.0 / 86400.0), "23:59:59");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", at(8, 0) + 0.25 / 86400.0), "08:00:00.250");
}

} // namespace
} // namespace hv
