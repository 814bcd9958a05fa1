#pragma once
// What the Preferences window computes and checks: the day limit of each
// month and the text of the user-defined benefit year, the switch between
// overtime per week and per day, the names of captured shortcut keys, the
// earliest date a first week may start on, and which of the confirmed values
// changed when the main window takes them over.
#include "storage/HVGlobal.h"

#include <string>

namespace hv {

class THourvaneDataMod;

// The last start day a month offers: 28 for February, 30 for April, June,
// September and November, else 31.
int StartDayLimit(int month);

// The user-defined benefit year that starts on month/day: "February 28" and
// the day before it, "February 27" (long month names).
struct BenefitYearText {
    std::string from;
    std::string to;
};
BenefitYearText BenefitYear(int month, int day);

// Overtime hours when the basis changes: per week to per day divides by 5,
// per day to per week multiplies by 5.
float SwitchOvertimeBasis(float hours, bool toPerDay);
// Save refuses other numbers on the Overtime page.
bool OvertimeHoursAllowed(float hours);
inline constexpr const char* kOvertimeRangeMessage = "Please enter between 1 and 100 overtime hours.";

// A captured shortcut key as shown: "Shift+", "Alt+" or "Ctrl+" for its
// modifier, then the key's name ("Num 5", "PageUp") or its character.
std::string ShortcutKeyText(int virtualKey, KeyModifier modifier);
inline constexpr const char* kSameShortcutMessage = "Your AM Shortcut key must be different than your PM Shortcut key.";
// Both keys set and equal in key and modifier.
bool SameShortcut(int amKey, KeyModifier amModifier, int pmKey, KeyModifier pmModifier);

// Save refuses an empty start date.
inline constexpr const char* kNoStartDateMessage = "Please enter the date your first Hourvane week starts on.";

// The earliest day of any punch record or time off entry; startDate when
// there is none.
double EarliestRecordDate(THourvaneDataMod& dm, double startDate);
// The question when the first week would start after that day.
std::string LaterStartQuestion(double earliest, const std::string& displayDateFormat);

// Which confirmed values differ from the ones in force.
struct PreferenceChanges {
    bool hourFormat = false;
    bool minuteRound = false;
    bool firstDate = false;
    bool timeFormat = false;
    bool overtime = false;
};
// Takes the edited values over into globals (the first day name follows the
// first date; the printer stays) and says which changed.
PreferenceChanges TakeOverPreferences(GlobalSettings& globals, const GlobalSettings& edited);

} // namespace hv
