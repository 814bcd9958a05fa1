#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "timekeeping/TimeValues.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

double T(int h, int m) { return EncodeTime(h, m); }
constexpr double E = kEmptyPunch;

float oneDay(double in1, double out1, int rounding, double in2 = E, double out2 = E)
{
    return DayHours({in1, in2, E, E}, {out1, out2, E, E}, rounding);
}

TEST(DayHours, RoundsTheDaysTotalOnce)
{
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 30), 4), 8.5f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 30), 0), 8.5f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 7), 4), 8.0f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 7), 2), 8.1f); // 7 / 6 rounds to 1
    EXPECT_FLOAT_EQ(oneDay(T(22, 0), T(6, 0), 4), 8.0f); // past midnight
    // 8 h 40 min in two pairs: 40 / 15 rounds to 3, 40 / 10 is 4.
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(12, 0), 4, T(12, 30), T(17, 10)), 8.75f);
    EXPECT_NEAR(oneDay(T(8, 0), T(12, 0), 3, T(12, 30), T(17, 10)), 8.6667f, 0.0001f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(8, 0), 4), 0.0f);
    EXPECT_FLOAT_EQ(oneDay(E, E, 4), 0.0f);
}

TEST(DayHours, RemainderRulesAtTheHalves)
{
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 53), 4), 9.0f); // R = 53 rounds to a whole hour
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 3), 2), 8.1f);  // R = 3: half of 6 rounds up
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 5), 3), 8.0f + 1.0f / 6.0f); // R = 5: ten minutes
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 15), 5), 8.5f); // R = 15: half an hour
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 14), 5), 8.0f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 2), 1), 8.0f);   // 2 / 5 rounds down
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 3), 1), 8.0f + 1.0f / 12.0f);
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 7), 9), 8.0f);   // unknown codes round to 30 minutes
    EXPECT_FLOAT_EQ(oneDay(T(8, 0), T(16, 20), 0), 8.0f + 20.0f / 60.0f);
    // All four pairs count.
    EXPECT_FLOAT_EQ(DayHours({T(6, 0), T(9, 0), T(12, 0), T(15, 0)}, {T(8, 0), T(11, 0), T(14, 0), T(17, 0)}, 4),
                    8.0f);
}

TEST(DayHours, WithoutRoundingIsExactToTheLastPlace)
{
    // 22:00 to 06:00 runs past midnight: 1440 - 1320 + 360 = 480 minutes, 8 h.
    EXPECT_EQ(oneDay(T(22, 0), T(6, 0), 0), 8.0f);
    // 143 minutes: 2 + 23/60 = 2.38333..., whose nearest single-precision
    // number is 2.3833334 (rounding 23/60 first gives 2.3833332).
    EXPECT_EQ(oneDay(T(11, 15), T(13, 38), 0), 2.3833334f);
}

class PunchText : public ::testing::Test {
protected:
    void SetUp() override { setRegional(RegionalSettings::usEnglish()); }
};

TEST_F(PunchText, ParsesBothModesAndTellsBlankFromMidnight)
{
    auto pm = ParsePunch("08:30 P", "hh:nn A/P");
    ASSERT_TRUE(pm);
    EXPECT_NEAR(*pm, T(20, 30), 1e-9);
    auto am = ParsePunch("12:15 A", "hh:nn A/P");
    ASSERT_TRUE(am);
    EXPECT_NEAR(*am, T(0, 15), 1e-9);
    auto h24 = ParsePunch("20:30", "hh:nn");
    ASSERT_TRUE(h24);
    EXPECT_NEAR(*h24, T(20, 30), 1e-9);
    EXPECT_FALSE(ParsePunch("25:00", "hh:nn"));
    EXPECT_FALSE(ParsePunch("13:00 P", "hh:nn A/P"));
    EXPECT_EQ(ParsePunch("  :  ", "hh:nn"), kEmptyPunch);
    EXPECT_EQ(ParsePunch("  :    ", "hh:nn A/P"), kEmptyPunch);
    auto midnight = ParsePunch("00:00", "hh:nn");
    ASSERT_TRUE(midnight);
    EXPECT_EQ(*midnight, 0.0);
}

TEST_F(PunchText, FormatsAndWordsTheMessages)
{
    EXPECT_EQ(FormatPunch(T(20, 30), "hh:nn"), "20:30");
    EXPECT_EQ(FormatPunch(T(20, 30), "hh:nn A/P"), "08:30 P");
    EXPECT_EQ(FormatPunch(T(0, 0), "hh:nn A/P"), "12:00 A");
    EXPECT_EQ(FormatPunch(E, "hh:nn"), "  :  ");
    EXPECT_EQ(FormatPunch(E, "hh:nn A/P"), "  :   ");
    EXPECT_EQ(TimeTypeFor("hh:nn"), TimeType::te24Hour);
    EXPECT_EQ(TimeTypeFor("hh:nn AM/PM"), TimeType::te12Hour);
    EXPECT_EQ(TimeBoxLayoutFor(TimeType::te12Hour).editMask, "!90:00> L;1;_");
    EXPECT_EQ(TimeBoxLayoutFor(TimeType::te12Hour).maxLength, 7);
    EXPECT_EQ(TimeBoxLayoutFor(TimeType::te24Hour).blankText, "  :  ");

    EXPECT_EQ(PunchParseMessage("25:00", "hh:nn"),
              "Your entry \"25:00\" was not in a valid time format.\r\rPlease try again using an HH:MM format.");
    EXPECT_EQ(PunchMaskMessage(" 8:3_ P ", "hh:nn A/P"),
              "Your entry \"8:3_ P\" was not in a valid time format.\r\rPlease try again using an HH:MM A/P "
              "format.");
}

TEST(ApKeys, CompleteOnlyAMissingLetterWithExactlyTheModifier)
{
    GlobalSettings g;
    g.timeFormat = "hh:nn A/P";
    g.amKey = 0x61; // keypad 1
    g.amModifier = KeyModifier::None;
    g.pmKey = 0x62;
    g.pmModifier = KeyModifier::Shift;
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0x61, KeyModifier::None, g), 'A');
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0x62, KeyModifier::Shift, g), 'P');
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0x62, KeyModifier::None, g), 0);  // modifier missing
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0x61, KeyModifier::Ctrl, g), 0);  // another modifier held
    EXPECT_EQ(ApKeyLetter("08:3   ", 7, 0x61, KeyModifier::None, g), 0);  // minutes not complete
    EXPECT_EQ(ApKeyLetter("08:30 P", 7, 0x61, KeyModifier::None, g), 0);  // letter already there
    g.amKey = 0;
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0, KeyModifier::None, g), 0);     // key 0 matches nothing
    g.timeFormat = "hh:nn AM/PM";
    EXPECT_EQ(ApKeyLetter("08:30  ", 7, 0x62, KeyModifier::Shift, g), 0); // only "hh:nn A/P"
}

} // namespace
} // namespace hv
