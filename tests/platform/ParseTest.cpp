#include <gtest/gtest.h>

#include <string>

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "tests/platform/RegionalFixture.h"

namespace hv {
namespace {

using test::at;

class TryStrToTimeTest : public test::RegionalTest {
protected:
    // The parsed time as whole seconds, or -1 when the text is refused.
    static int seconds(const std::string& text)
    {
        double t = -99;
        if (!TryStrToTime(text, t))
            return -1;
        EXPECT_GE(t, 0.0);
        EXPECT_LT(t, 1.0);
        return int(t * 86400.0 + 0.5);
    }
    static int hm(int h, int m, int s = 0) { return h * 3600 + m * 60 + s; }
};

TEST_F(TryStrToTimeTest, AcceptsTwentyFourHourTimes)
{
    EXPECT_EQ(seconds("08:30"), hm(8, 30));
    EXPECT_EQ(seconds("8:30"), hm(8, 30));
    EXPECT_EQ(seconds("00:00"), 0);
    EXPECT_EQ(seconds("0:00"), 0);
    EXPECT_EQ(seconds("12:00"), hm(12, 0));
    EXPECT_EQ(seconds("17:12"), hm(17, 12));
    EXPECT_EQ(seconds("23:59"), hm(23, 59));
    EXPECT_EQ(seconds("20:30:15"), hm(20, 30, 15));
    EXPECT_EQ(seconds("  08:30  "), hm(8, 30));
}

TEST_F(TryStrToTimeTest, AcceptsDesignatorsWithOrWithoutABlank)
{
    EXPECT_EQ(seconds("08:30 PM"), hm(20, 30));
    EXPECT_EQ(seconds("08:30PM"), hm(20, 30));
    EXPECT_EQ(seconds("08:30 pm"), hm(20, 30));
    EXPECT_EQ(seconds("08:30 Am"), hm(8, 30));
    EXPECT_EQ(seconds("8:30 AM"), hm(8, 30));
    EXPECT_EQ(seconds("05:12PM"), hm(17, 12));
    EXPECT_EQ(seconds("08:30:15 PM"), hm(20, 30, 15));
    EXPECT_EQ(seconds("08:30   PM "), hm(20, 30));
}

TEST_F(TryStrToTimeTest, NoonAndMidnightInTwelveHourForm)
{
    EXPECT_EQ(seconds("12:00 AM"), 0);
    EXPECT_EQ(seconds("12:30 AM"), hm(0, 30));
    EXPECT_EQ(seconds("12:00 PM"), hm(12, 0));
    EXPECT_EQ(seconds("12:59 PM"), hm(12, 59));
    EXPECT_EQ(seconds("11:59 PM"), hm(23, 59));
    EXPECT_EQ(seconds("00:30 AM"), hm(0, 30));
    EXPECT_EQ(seconds("01:00 AM"), hm(1, 0));
}

TEST_F(TryStrToTimeTest, RefusesOutOfRangeParts)
{
    EXPECT_EQ(seconds("24:00"), -1);
    EXPECT_EQ(seconds("25:00"), -1);
    EXPECT_EQ(seconds("99:99"), -1);
    EXPECT_EQ(seconds("12:60"), -1);
    EXPECT_EQ(seconds("12:30:60"), -1);
    EXPECT_EQ(seconds("13:00 PM"), -1);
    EXPECT_EQ(seconds("13:00 AM"), -1);
    EXPECT_EQ(seconds("20:30 PM"), -1);
}

TEST_F(TryStrToTimeTest, RefusesEmptyTextAndGarbage)
{
    EXPECT_EQ(seconds(""), -1);
    EXPECT_EQ(seconds("   "), -1);
    EXPECT_EQ(seconds("  :  "), -1);
    EXPECT_EQ(seconds("  :    "), -1);
    EXPECT_EQ(seconds("  :   M"), -1);
    EXPECT_EQ(seconds("08:30 P"), -1);  // the box's letter alone is not a designator
    EXPECT_EQ(seconds("08:30 XM"), -1);
    EXPECT_EQ(seconds("08:30 PM 1"), -1);
    EXPECT_EQ(seconds("8"), -1);
    EXPECT_EQ(seconds("8:"), -1);
    EXPECT_EQ(seconds(":30"), -1);
    EXPECT_EQ(seconds("123:00"), -1);
    EXPECT_EQ(seconds("08:300"), -1);
    EXPECT_EQ(seconds("08-30"), -1);
    EXPECT_EQ(seconds("-1:00"), -1);
    EXPECT_EQ(seconds("8:3O"), -1);
    EXPECT_EQ(seconds("abc"), -1);
    EXPECT_EQ(seconds("08:30:"), -1);
}

TEST_F(TryStrToTimeTest, LeavesTheResultAloneWhenRefusing)
{
    double t = 0.25;
    EXPECT_FALSE(TryStrToTime("25:00", t));
    EXPECT_EQ(t, 0.25);
}

TEST_F(TryStrToTimeTest, RegionalDesignatorsAndSeparator)
{
    changeRegional([](RegionalSettings& r) {
        r.amDesignator = "a.m.";
        r.pmDesignator = "p.m.";
        r.timeSeparator = ".";
    });
    EXPECT_EQ(seconds("8.30 p.m."), hm(20, 30));
    EXPECT_EQ(seconds("8.30 P.M."), hm(20, 30));
    EXPECT_EQ(seconds("8:30 a.m."), hm(8, 30));
    EXPECT_EQ(seconds("08:30 PM"), hm(20, 30)); // what a 12-hour box sends
    EXPECT_EQ(seconds("8.30"), hm(8, 30));
}

TEST_F(TryStrToTimeTest, ReadsBackWhatThePunchFormatsShow)
{
    for (int minute = 0; minute < 1440; minute += 7) {
        const double t = minute / 1440.0;
        // A 12-hour box shows "hh:nn A" or "hh:nn P" and appends "M" to parse it.
        ASSERT_EQ(seconds(FormatDateTime("hh:nn A/P", t) + "M"), minute * 60);
        ASSERT_EQ(seconds(FormatDateTime("hh:nn", t)), minute * 60);
        ASSERT_EQ(seconds(FormatDateTime("hh:nnAM/PM", t)), minute * 60);
    }
}

class TryStrToDateTest : public test::RegionalTest {
protected:
    void SetUp() override
    {
        RegionalTest::SetUp();
        m_clock.set(EncodeDate(2023, 6, 1) + at(10, 0));
        setClock(&m_clock);
    }
    void TearDown() override
    {
        setClock(nullptr);
        RegionalTest::TearDown();
    }
    // The parsed date, or -1 when the text is refused.
    static double date(const std::string& text)
    {
        double d = -1;
        return TryStrToDate(text, d) ? d : -1;
    }

    FixedClock m_clock;
};

TEST_F(TryStrToDateTest, UsShortDates)
{
    EXPECT_EQ(date("3/15/2023"), 45000);
    EXPECT_EQ(date("03/15/2023"), 45000);
    EXPECT_EQ(date(" 3/15/2023 "), 45000);
    EXPECT_EQ(date("2/29/2024"), EncodeDate(2024, 2, 29));
    EXPECT_EQ(date("12/30/1899"), 0);
    EXPECT_EQ(date("3/15"), 45000); // the current year
}

TEST_F(TryStrToDateTest, TwoDigitYearsFallWithinFiftyYearsOfToday)
{
    // Today is in 2023: two-digit years run from 1973 to 2072.
    EXPECT_EQ(date("3/15/23"), 45000);
    EXPECT_EQ(date("3/15/73"), EncodeDate(1973, 3, 15));
    EXPECT_EQ(date("3/15/72"), EncodeDate(2072, 3, 15));
    EXPECT_EQ(date("3/15/00"), EncodeDate(2000, 3, 15));
    EXPECT_EQ(date("3/15/99"), EncodeDate(1999, 3, 15));
}

TEST_F(TryStrToDateTest, RefusesWhatIsNoDate)
{
    EXPECT_EQ(date(""), -1);
    EXPECT_EQ(date("   "), -1);
    EXPECT_EQ(date("2/29/2023"), -1);
    EXPECT_EQ(date("13/1/2023"), -1);
    EXPECT_EQ(date("0/10/2023"), -1);
    EXPECT_EQ(date("4/31/2023"), -1);
    EXPECT_EQ(date("3-15-2023"), -1);
    EXPECT_EQ(date("3/15/2023 10:00"), -1);
    EXPECT_EQ(date("a/b/c"), -1);
    EXPECT_EQ(date("3//2023"), -1);
    EXPECT_EQ(date("3/15/2023/1"), -1);
    EXPECT_EQ(date("15"), -1);
    EXPECT_EQ(date("3/15/20233"), -1);
}

TEST_F(TryStrToDateTest, FollowsTheRegionalOrderAndSeparator)
{
    changeRegional([](RegionalSettings& r) {
        r.shortDateFormat = "dd/mm/yyyy";
        r.dateSeparator = ".";
    });
    EXPECT_EQ(date("15.03.2023"), 45000);
    EXPECT_EQ(date("15.3.2023"), 45000);
    EXPECT_EQ(date("15.03."), 45000);
    EXPECT_EQ(date("3.15.2023"), -1);
    EXPECT_EQ(date("15/03/2023"), -1);

    changeRegional([](RegionalSettings& r) {
        r.shortDateFormat = "yyyy/mm/dd";
        r.dateSeparator = "-";
    });
    EXPECT_EQ(date("2023-03-15"), 45000);
}

TEST_F(TryStrToDateTest, MonthNamesWhereTheFormatHasThem)
{
    changeRegional([](RegionalSettings& r) { r.shortDateFormat = "d mmm yyyy"; });
    EXPECT_EQ(date("15 Mar 2023"), 45000);
    EXPECT_EQ(date("15 mar 2023"), 45000);
    EXPECT_EQ(date("15 March 2023"), 45000);
    EXPECT_EQ(date("15 3 2023"), 45000);
    EXPECT_EQ(date("15 Mrz 2023"), -1);
    EXPECT_EQ(date("Mar 15 2023"), -1); // a name only where the month goes
    EXPECT_EQ(date("15 Mar"), 45000);

    changeRegional([](RegionalSettings& r) { r.shortDateFormat = "mmm d, yyyy"; });
    EXPECT_EQ(date("Mar 15, 2023"), 45000);
    EXPECT_EQ(date("Mar 15,, 2023"), -1);
}

TEST_F(TryStrToDateTest, LiteralTextBetweenTheFieldsSeparates)
{
    changeRegional([](RegionalSettings& r) { r.shortDateFormat = "yyyy年m月d日"; });
    EXPECT_EQ(date("2023年3月15日"), 45000);
    EXPECT_EQ(date("2023年3月"), -1); // two parts are month and day: 2023 is no month
}

TEST_F(TryStrToDateTest, IgnoresBidirectionalMarks)
{
    changeRegional([](RegionalSettings& r) { r.shortDateFormat = "d/m/yyyy"; });
    EXPECT_EQ(date("15\xE2\x80\x8F/3\xE2\x80\x8F/2023"), 45000);
}

TEST_F(TryStrToDateTest, ReadsBackTheDisplayDateFormat)
{
    for (double d = EncodeDate(2023, 1, 1); d <= EncodeDate(2024, 12, 31); d += 3)
        ASSERT_EQ(date(FormatDateTime(DateFormat(), d)), d);
}

TEST_F(TryStrToDateTest, ReadsBackTheSystemDisplayDateFormat)
{
    setRegional(RegionalSettings::fromSystemLocale());
    // Far from today as well: years must survive the round trip.
    for (double d : {EncodeDate(1960, 1, 1), EncodeDate(2023, 3, 15), EncodeDate(2099, 12, 31)})
        EXPECT_EQ(date(FormatDateTime(DateFormat(), d)), d) << FormatDateTime(DateFormat(), d);
}

using StrToFloatTest = test::RegionalTest;

TEST_F(StrToFloatTest, AcceptsDecimalNumbers)
{
    double v = 0;
    ASSERT_TRUE(TryStrToFloat("1.5", v));
    EXPECT_EQ(v, 1.5);
    ASSERT_TRUE(TryStrToFloat(" -2.25 ", v));
    EXPECT_EQ(v, -2.25);
    ASSERT_TRUE(TryStrToFloat("+3", v));
    EXPECT_EQ(v, 3);
    ASSERT_TRUE(TryStrToFloat("40", v));
    EXPECT_EQ(v, 40);
    ASSERT_TRUE(TryStrToFloat(".5", v));
    EXPECT_EQ(v, 0.5);
    ASSERT_TRUE(TryStrToFloat("5.", v));
    EXPECT_EQ(v, 5);
    ASSERT_TRUE(TryStrToFloat("1.5E3", v));
    EXPECT_EQ(v, 1500);
    ASSERT_TRUE(TryStrToFloat("0", v));
    EXPECT_EQ(v, 0);
}

TEST_F(StrToFloatTest, RefusesAnythingElse)
{
    double v = 7;
    for (const char* text : {"", " ", "abc", "1,5", "1.2.3", "1,000", "-", ".", "1e", "12abc",
                             "1 2", "--1", "$5", "nan", "inf"}) {
        EXPECT_FALSE(TryStrToFloat(text, v)) << text;
    }
    EXPECT_EQ(v, 7);
    EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
    EXPECT_EQ(StrToFloatDef("2.5", 7.5), 2.5);
}

TEST_F(StrToFloatTest, HonoursTheRegionalDecimalSeparator)
{
    changeRegional([](RegionalSettings& r) { r.decimalSeparator = ","; });
    double v = 0;
    ASSERT_TRUE(TryStrToFloat("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(TryStrToFloat("1.5", v));
    // What FormatFloat writes comes back.
    EXPECT_EQ(StrToFloatDef(FormatFloat("#0.00", 40.25), 0), 40.25);
}

TEST(StrToInt, WholeNumbers)
{
    int v = 0;
    ASSERT_TRUE(TryStrToInt("42", v));
    EXPECT_EQ(v, 42);
    ASSERT_TRUE(TryStrToInt(" -7 ", v));
    EXPECT_EQ(v, -7);
    ASSERT_TRUE(TryStrToInt("+3", v));
    EXPECT_EQ(v, 3);
    for (const char* text : {"", "4.2", "12a", "99999999999", "+-1", "-", "0x10"})
        EXPECT_FALSE(TryStrToInt(text, v)) << text;
    EXPECT_EQ(StrToIntDef("9", 4), 9);
    EXPECT_EQ(StrToIntDef("nine", 4), 4);
}

} // namespace
} // namespace hv
