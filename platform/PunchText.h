#pragma once
// How a punch time is typed and shown as text, apart from its value: the two
// entry modes, the time box's mask and blank text, the messages for entries
// that do not fit, and the keys that type A or P. The time box and the punch
// records both use it, so it sits below both.
#include <string>

namespace hv {

// The modifier held with a shortcut key; at most one.
enum class KeyModifier { None, Shift, Alt, Ctrl };

enum class TimeType { te24Hour, te12Hour };

// Exactly "hh:nn" is 24-hour entry; any other format is 12-hour entry.
TimeType TimeTypeFor(const std::string& timeFormat);

// What an empty punch shows: "  :  " (24-hour) or "  :   " (12-hour).
std::string BlankPunchDisplay(TimeType type);
// The time box's mask, empty text and maximum length for a mode.
struct TimeBoxLayout {
    std::string editMask;
    std::string blankText;
    int maxLength;
};
TimeBoxLayout TimeBoxLayoutFor(TimeType type);

// "HH:MM A/P" or "HH:MM", as the messages name the expected entry.
std::string ExpectedTimeEntry(const std::string& timeFormat);
// Shown when a box is left with a required position missing.
std::string PunchMaskMessage(const std::string& boxText, const std::string& timeFormat);
// Shown when the parser refuses what was typed.
std::string PunchParseMessage(const std::string& text, const std::string& timeFormat);

// The time format in force and the keys that type the letter of a 12-hour box
// (virtual key codes; 0 none).
struct PunchKeys {
    std::string timeFormat = "hh:nn A/P";
    int amKey = 0;
    KeyModifier amModifier = KeyModifier::None;
    int pmKey = 0;
    KeyModifier pmModifier = KeyModifier::None;
};

// The A/P keys of a 12-hour box: while hour and minutes are typed and only the
// letter is missing, the configured AM (PM) key with exactly its modifier held
// makes the next typed character "A" ("P"). Only for the format "hh:nn A/P";
// a key code of 0 matches no key. Returns 'A', 'P' or 0.
char ApKeyLetter(const std::string& boxText, int maxLength, int keyCode, KeyModifier held, const PunchKeys& keys);

} // namespace hv
