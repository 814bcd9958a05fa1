#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/Format.h"
#include "tests/platform/RegionalFixture.h"

namespace hv {
namespace {

using FormatFloatTest = test::RegionalTest;

// The hour format "#0.00" (the default), "#0.0" and "#0" of the preferences.
TEST_F(FormatFloatTest, HourFormatHundredths)
{
    EXPECT_EQ(FormatFloat("#0.00", 0), "0.00");
    EXPECT_EQ(FormatFloat("#0.00", 8.5), "8.50");
    EXPECT_EQ(FormatFloat("#0.00", 8.69), "8.69");
    EXPECT_EQ(FormatFloat("#0.00", 40), "40.00");
    EXPECT_EQ(FormatFloat("#0.00", 1234.5), "1234.50");
    EXPECT_EQ(FormatFloat("#0.00", -1.5), "-1.50");
    EXPECT_EQ(FormatFloat("#0.00", 0.125), "0.13"); // half away from zero
    EXPECT_EQ(FormatFloat("#0.00", -0.125), "-0.13");
    EXPECT_EQ(FormatFloat("#0.00", 2.675), "2.68"); // the decimal value, not its binary neighbour
    EXPECT_EQ(FormatFloat("#0.00", 9.995), "10.00");
    EXPECT_EQ(FormatFloat("#0.00", 0.004), "0.00");
    EXPECT_EQ(FormatFloat("#0.00", -0.004), "0.00"); // no minus sign on a zero
    EXPECT_EQ(FormatFloat("#0.00", 8.125f), "8.13"); // single-precision hours
    EXPECT_EQ(FormatFloat("#0.00", 8.6666667f), "8.67");
}

TEST_F(FormatFloatTest, HourFormatTenthsAndWhole)
{
    EXPECT_EQ(FormatFloat("#0.0", 8.69), "8.7");
    EXPECT_EQ(FormatFloat("#0.0", 8.25), "8.3");
    EXPECT_EQ(FormatFloat("#0.0", 8.24), "8.2");
    EXPECT_EQ(FormatFloat("#0.0", 0), "0.0");
    EXPECT_EQ(FormatFloat("#0.0", 40), "40.0");
    EXPECT_EQ(FormatFloat("#0.0", -0.05), "-0.1");
    EXPECT_EQ(FormatFloat("#0.0", 0.04), "0.0");

    EXPECT_EQ(FormatFloat("#0", 8.69), "9");
    EXPECT_EQ(FormatFloat("#0", 8.5), "9");
    EXPECT_EQ(FormatFloat("#0", 2.5), "3"); // not to the even neighbour
    EXPECT_EQ(FormatFloat("#0", 0.5), "1");
    EXPECT_EQ(FormatFloat("#0", 0.4), "0");
    EXPECT_EQ(FormatFloat("#0", 7.49), "7");
    EXPECT_EQ(FormatFloat("#0", 0), "0");
    EXPECT_EQ(FormatFloat("#0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("#0", -0.4), "0");
    EXPECT_EQ(FormatFloat("#0", 12345), "12345");
}

// The overtime policy window's "#,##0.0" (hours) and "#,##0.00" (rates).
TEST_F(FormatFloatTest, ThousandSeparators)
{
    EXPECT_EQ(FormatFloat("#,##0.0", 0), "0.0");
    EXPECT_EQ(FormatFloat("#,##0.0", 12), "12.0");
    EXPECT_EQ(FormatFloat("#,##0.0", 40.25), "40.3");
    EXPECT_EQ(FormatFloat("#,##0.0", 999.94), "999.9");
    EXPECT_EQ(FormatFloat("#,##0.0", 999.96), "1,000.0");
    EXPECT_EQ(FormatFloat("#,##0.0", 1234.56), "1,234.6");
    EXPECT_EQ(FormatFloat("#,##0.0", -1234567.25), "-1,234,567.3");

    EXPECT_EQ(FormatFloat("#,##0.00", 0), "0.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 1.5), "1.50");
    EXPECT_EQ(FormatFloat("#,##0.00", 0.005), "0.01");
    EXPECT_EQ(FormatFloat("#,##0.00", 100), "100.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 1000), "1,000.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatFloat("#,##0.00", -999.999), "-1,000.00");
}

TEST_F(FormatFloatTest, PlaceholdersAndLiterals)
{
    EXPECT_EQ(FormatFloat("0", 12345), "12345");
    EXPECT_EQ(FormatFloat("00", 5), "05");
    EXPECT_EQ(FormatFloat("0.00", 0.5), "0.50");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(FormatFloat("#.##", 5), "5");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("0.0#", 1.5), "1.5");
    EXPECT_EQ(FormatFloat("0.0#", 1.25), "1.25");
    EXPECT_EQ(FormatFloat("#0.00 'hours'", 8), "8.00 hours");
    EXPECT_EQ(FormatFloat("\"$\"#,##0", 1234), "$1,234");
    EXPECT_EQ(FormatFloat("'#'0", 7), "#7");
    EXPECT_EQ(FormatFloat("0 %", 15), "15 %");
}

TEST_F(FormatFloatTest, Sections)
{
    const std::string pattern = "#0.00;(#0.00);zero";
    EXPECT_EQ(FormatFloat(pattern, 5), "5.00");
    EXPECT_EQ(FormatFloat(pattern, -5), "(5.00)");
    EXPECT_EQ(FormatFloat(pattern, 0), "zero");
    EXPECT_EQ(FormatFloat(pattern, 0.001), "zero"); // rounds to zero
    EXPECT_EQ(FormatFloat(pattern, -0.001), "zero");
    EXPECT_EQ(FormatFloat("#0.00;;", -5), "-5.00"); // empty sections use the first
    EXPECT_EQ(FormatFloat("#0.00;;", 0), "0.00");
    EXPECT_EQ(FormatFloat("#0;-#0 'owed'", -3), "-3 owed");
    EXPECT_EQ(FormatFloat("'a;b' 0", 1), "a;b 1"); // a quoted ";" splits nothing
}

TEST_F(FormatFloatTest, RegionalSeparators)
{
    changeRegional([](RegionalSettings& r) {
        r.decimalSeparator = ",";
        r.thousandSeparator = ".";
    });
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatFloat("#0.00", 8.5), "8,50");
    EXPECT_EQ(FormatFloat("#0", 8.5), "9");
}

TEST_F(FormatFloatTest, EmptyPatternAndNonFiniteValues)
{
    EXPECT_EQ(FormatFloat("", 8.5), "8.5");
    EXPECT_EQ(FormatFloat("#0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("#0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("#0.00", -std::numeric_limits<double>::infinity()), "-INF");
}

using FloatToStrTest = test::RegionalTest;

TEST_F(FloatToStrTest, ShortestGeneralForm)
{
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(8.5), "8.5");
    EXPECT_EQ(FloatToStr(40), "40");
    EXPECT_EQ(FloatToStr(1200), "1200");
    EXPECT_EQ(FloatToStr(-0.25), "-0.25");
    EXPECT_EQ(FloatToStr(0.001), "0.001");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
    // Exact halves past the 15th digit go to the even neighbour.
    EXPECT_EQ(FloatToStr(100000000000000.5), "100000000000000");
    EXPECT_EQ(FloatToStr(100000000000001.5), "100000000000002");
    changeRegional([](RegionalSettings& r) { r.decimalSeparator = ","; });
    EXPECT_EQ(FloatToStr(1.5), "1,5");
}

using FormatTextTest = test::RegionalTest;

// The policy wizard's month and year columns.
TEST_F(FormatTextTest, RightAlignedIntegers)
{
    EXPECT_EQ(FormatText("%3d months", 0), "  0 months");
    EXPECT_EQ(FormatText("%3d months", 6), "  6 months");
    EXPECT_EQ(FormatText("%3d months", 120), "120 months");
    EXPECT_EQ(FormatText("%3d months", 1200), "1200 months"); // a width is a minimum
    EXPECT_EQ(FormatText("%3d months", -5), " -5 months");
    EXPECT_EQ(FormatText("%3d years", 2), "  2 years");
    EXPECT_EQ(FormatText("%3d years", 80), " 80 years");
}

// The wizard's hour columns and the policy list's hours.
TEST_F(FormatTextTest, FixedDecimals)
{
    EXPECT_EQ(FormatText("%6.2f hours per year", 120.0), "120.00 hours per year");
    EXPECT_EQ(FormatText("%6.2f hours per year", 8.5), "  8.50 hours per year");
    EXPECT_EQ(FormatText("%6.2f hours for the period", 0.0), "  0.00 hours for the period");
    EXPECT_EQ(FormatText("%6.2f hours", 1234.5), "1234.50 hours");
    EXPECT_EQ(FormatText("%6.2f hours", 2.675), "  2.68 hours");
    EXPECT_EQ(FormatText("%6.2f hours", -1.5), " -1.50 hours");
    EXPECT_EQ(FormatText("%6.2f hours", -0.001), "  0.00 hours");
    EXPECT_EQ(FormatText("%6.2f", 40.0f), " 40.00");

    EXPECT_EQ(FormatText("%4.0f", 2.5), "   3");
    EXPECT_EQ(FormatText("%4.0f", 0.4), "   0");
    EXPECT_EQ(FormatText("%4.0f", 0.0), "   0");
    EXPECT_EQ(FormatText("%4.0f", 40.0), "  40");
    EXPECT_EQ(FormatText("%4.0f", 12345.0), "12345");

    EXPECT_EQ(FormatText("%4.2f", 40.0), "40.00");
    EXPECT_EQ(FormatText("%4.2f", 7.5), "7.50");
    EXPECT_EQ(FormatText("%4.2f", 0.125), "0.13");
    EXPECT_EQ(FormatText("%f", 1.0), "1.00");    // two decimals unless told
    EXPECT_EQ(FormatText("%6.2f", 3), "  3.00"); // an integer argument is fine
}

TEST_F(FormatTextTest, TextsIntegersAndOtherTypes)
{
    EXPECT_EQ(FormatText("%d", 12), "12");
    EXPECT_EQ(FormatText("%d", 0), "0");
    EXPECT_EQ(FormatText("%d", -7), "-7");
    EXPECT_EQ(FormatText("%s on %s", "HP LaserJet", std::string("LPT1:")), "HP LaserJet on LPT1:");
    EXPECT_EQ(FormatText("%-5s|", "ab"), "ab   |");
    EXPECT_EQ(FormatText("%5s|", "ab"), "   ab|");
    EXPECT_EQ(FormatText("%.2s", "abc"), "ab");
    EXPECT_EQ(FormatText("%.3d", 7), "007");
    EXPECT_EQ(FormatText("%x", 255), "FF");
    EXPECT_EQ(FormatText("%u", 42u), "42");
    EXPECT_EQ(FormatText("%n", 1234.5), "1,234.50");
    EXPECT_EQ(FormatText("100%%"), "100%");
    EXPECT_EQ(FormatText("no arguments"), "no arguments");
}

TEST_F(FormatTextTest, RegionalDecimalSeparator)
{
    changeRegional([](RegionalSettings& r) { r.decimalSeparator = ","; });
    EXPECT_EQ(FormatText("%6.2f", 8.5), "  8,50");
}

TEST_F(FormatTextTest, ArgumentsThatDoNotFitThrow)
{
    EXPECT_THROW(FormatText("%d", 1.5), std::invalid_argument);
    EXPECT_THROW(FormatText("%s", 3), std::invalid_argument);
    EXPECT_THROW(FormatText("%f", "text"), std::invalid_argument);
    EXPECT_THROW(FormatText("%d months"), std::invalid_argument);
    EXPECT_THROW(FormatText("%q", 1), std::invalid_argument);
    EXPECT_THROW(FormatText("50%", 1), std::invalid_argument);
}

using FormatCurrencyTest = test::RegionalTest;

TEST_F(FormatCurrencyTest, UsEnglish)
{
    EXPECT_EQ(FormatCurrency(1234.5), "$1,234.50");
    EXPECT_EQ(FormatCurrency(-1234.5), "($1,234.50)");
    EXPECT_EQ(FormatCurrency(0), "$0.00");
    EXPECT_EQ(FormatCurrency(0.005), "$0.01");
    EXPECT_EQ(FormatCurrency(-0.004), "$0.00");
    EXPECT_EQ(FormatCurrency(7.5), "$7.50");
    EXPECT_EQ(FormatCurrency(1234567.125), "$1,234,567.13");
    EXPECT_EQ(FormatCurrency(1234.5, 0), "$1,235");
    EXPECT_EQ(FormatCurrency(-12.345, 2), "($12.35)");
}

TEST_F(FormatCurrencyTest, OtherLayouts)
{
    changeRegional([](RegionalSettings& r) {
        r.currencyString = "€";
        r.currencyFormat = 3;         // "1 $"
        r.negativeCurrencyFormat = 8; // "-1 $"
        r.decimalSeparator = ",";
        r.thousandSeparator = ".";
    });
    EXPECT_EQ(FormatCurrency(1234.5), "1.234,50 €");
    EXPECT_EQ(FormatCurrency(-1234.5), "-1.234,50 €");

    changeRegional([](RegionalSettings& r) {
        r.currencyString = "kr";
        r.currencyFormat = 1;         // "1$"
        r.negativeCurrencyFormat = 5; // "-1$"
        r.currencyDecimals = 0;
    });
    EXPECT_EQ(FormatCurrency(99.5), "100kr");
    EXPECT_EQ(FormatCurrency(-2), "-2kr");
}

} // namespace
} // namespace hv
