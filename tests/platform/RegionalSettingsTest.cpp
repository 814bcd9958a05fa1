#include <gtest/gtest.h>

#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "tests/platform/RegionalFixture.h"

namespace hv {
namespace {

TEST(RegionalSettings, UsEnglish)
{
    const RegionalSettings r = RegionalSettings::usEnglish();
    EXPECT_EQ(r.shortDateFormat, "m/d/yyyy");
    EXPECT_EQ(r.dateSeparator, "/");
    EXPECT_EQ(r.timeSeparator, ":");
    EXPECT_EQ(r.decimalSeparator, ".");
    EXPECT_EQ(r.thousandSeparator, ",");
    EXPECT_EQ(r.amDesignator, "AM");
    EXPECT_EQ(r.pmDesignator, "PM");
    EXPECT_EQ(r.currencyString, "$");
    EXPECT_EQ(r.currencyDecimals, 2);
    EXPECT_EQ(r.longDayNames[0], "Sunday");
    EXPECT_EQ(r.longDayNames[6], "Saturday");
    EXPECT_EQ(r.shortDayNames[3], "Wed");
    EXPECT_EQ(r.longMonthNames[0], "January");
    EXPECT_EQ(r.shortMonthNames[11], "Dec");
}

using ProcessRegional = test::RegionalTest;

TEST_F(ProcessRegional, SetRegionalChangesWhatFormattingReads)
{
    EXPECT_EQ(regional().shortDateFormat, "m/d/yyyy");
    RegionalSettings r = RegionalSettings::usEnglish();
    r.shortDateFormat = "dd.mm.yyyy";
    r.dateSeparator = ".";
    r.longDayNames[3] = "Mittwoch";
    setRegional(r);
    EXPECT_EQ(regional().shortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(DateFormat(), "dd.mm.yyyy");
    EXPECT_EQ(FormatDateTime("dddd ddddd", 45000), "Mittwoch 15.03.2023");
}

TEST_F(ProcessRegional, SystemLocaleGivesAUsableSet)
{
    const RegionalSettings r = RegionalSettings::fromSystemLocale();
    EXPECT_FALSE(r.shortDateFormat.empty());
    EXPECT_FALSE(r.dateSeparator.empty());
    EXPECT_FALSE(r.timeSeparator.empty());
    EXPECT_FALSE(r.decimalSeparator.empty());
    EXPECT_FALSE(r.amDesignator.empty());
    EXPECT_FALSE(r.pmDesignator.empty());
    for (const std::string& name : r.longDayNames)
        EXPECT_FALSE(name.empty());
    for (const std::string& name : r.longMonthNames)
        EXPECT_FALSE(name.empty());
    EXPECT_GE(r.currencyFormat, 0);
    EXPECT_LE(r.currencyFormat, 3);
    EXPECT_GE(r.negativeCurrencyFormat, 0);
    EXPECT_LE(r.negativeCurrencyFormat, 15);
    EXPECT_GE(r.currencyDecimals, 0);
    setRegional(r);
    // Whatever the machine's conventions, a date shows and the year is in it.
    const std::string shown = FormatDateTime(DateFormat(), 45000);
    EXPECT_NE(shown.find("23"), std::string::npos) << shown;
    EXPECT_FALSE(FormatCurrency(-1234.5).empty());
}

} // namespace
} // namespace hv
