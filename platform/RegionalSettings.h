#pragma once
// The regional conventions every formatter and parser reads: date and time
// formats, separators, designators, day and month names and the currency
// layout. The program takes them from the system locale at start; tests fix
// them to US English so that expected texts do not depend on the machine.
#include <array>
#include <string>

namespace hv {

struct RegionalSettings {
    // Formats in the date formatter's notation ("m/d/yyyy", "h:nn AMPM").
    std::string shortDateFormat;
    std::string longDateFormat;
    std::string shortTimeFormat;
    std::string longTimeFormat;

    // Separators; "/" and ":" in a date pattern stand for the first two.
    std::string dateSeparator;
    std::string timeSeparator;
    std::string decimalSeparator;
    std::string thousandSeparator;

    std::string amDesignator;
    std::string pmDesignator;

    // Index 0 is Sunday.
    std::array<std::string, 7> longDayNames;
    std::array<std::string, 7> shortDayNames;
    // Index 0 is January.
    std::array<std::string, 12> longMonthNames;
    std::array<std::string, 12> shortMonthNames;

    std::string currencyString;
    // Where the currency string sits on a positive amount ("$" for the string,
    // "1" for the amount): 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    int currencyFormat = 0;
    // Layout of a negative amount:
    //  0 ($1)   1 -$1    2 $-1    3 $1-    4 (1$)   5 -1$    6 1-$    7 1$-
    //  8 -1 $   9 -$ 1  10 1 $-  11 $ 1-  12 $ -1  13 1- $  14 ($ 1) 15 (1 $)
    int negativeCurrencyFormat = 0;
    int currencyDecimals = 2;

    // Fixed US English: "m/d/yyyy", "/", ":", ".", ",", "AM"/"PM", "$",
    // negative amounts as "($1,234.50)", 2 decimals.
    static RegionalSettings usEnglish();
    // The conventions of QLocale::system(), translated into this notation.
    static RegionalSettings fromSystemLocale();
};

// The process-wide settings in force; US English until the program sets them.
const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);

} // namespace hv
