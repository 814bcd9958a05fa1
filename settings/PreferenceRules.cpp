#include "settings/PreferenceRules.h"

#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "timekeeping/THourRec.h"
#include "timeoff/TTimeOff.h"

#include <cmath>

namespace hv {
namespace {

std::string monthName(int month) { return regional().longMonthNames.at(std::size_t((month + 11) % 12)); }

std::string keyName(int vk)
{
    if (vk >= 96 && vk <= 105)
        return "Num " + std::to_string(vk - 96);
    if (vk >= 112 && vk <= 135)
        return "F" + std::to_string(vk - 111);
    switch (vk) {
    case 12:
        return "Clear";
    case 13:
        return "Enter";
    case 19:
        return "Pause";
    case 27:
        return "Escape";
    case 32:
        return "Space";
    case 33:
        return "PageUp";
    case 34:
        return "PageDown";
    case 35:
        return "End";
    case 36:
        return "Home";
    case 37:
        return "Left Arrow";
    case 38:
        return "Up Arrow";
    case 39:
        return "Right Arrow";
    case 40:
        return "Down Arrow";
    case 41:
        return "Select";
    case 45:
        return "Insert";
    case 46:
        return "Delete";
    case 47:
        return "Help";
    case 106:
        return "Num *";
    case 107:
        return "Num +";
    case 108:
        return "/ (keypad)";
    case 109:
        return "Num -";
    case 110:
        return "Num .";
    case 111:
        return "Num /";
    case 144:
        return "Num Lock";
    case 145:
        return "Scroll Lock";
    default:
        break;
    }
    if (vk > 32 && vk < 127)
        return std::string(1, char(vk));
    return {};
}

} // namespace

int StartDayLimit(int month)
{
    switch (month) {
    case 2:
        return 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

BenefitYearText BenefitYear(int month, int day)
{
    BenefitYearText text;
    text.from = monthName(month) + " " + std::to_string(day);
    if (day > 1) {
        text.to = monthName(month) + " " + std::to_string(day - 1);
    } else {
        const int previous = month == 1 ? 12 : month - 1;
        text.to = monthName(previous) + " " + std::to_string(StartDayLimit(previous));
    }
    return text;
}

float SwitchOvertimeBasis(float hours, bool toPerDay) { return toPerDay ? hours / 5.0f : hours * 5.0f; }

bool OvertimeHoursAllowed(float hours) { return hours >= 1.0f && hours <= 100.0f; }

std::string ShortcutKeyText(int virtualKey, KeyModifier modifier)
{
    const char* prefix = modifier == KeyModifier::Shift  ? "Shift+"
                         : modifier == KeyModifier::Alt  ? "Alt+"
                         : modifier == KeyModifier::Ctrl ? "Ctrl+"
                                                         : "";
    return prefix + keyName(virtualKey);
}

bool SameShortcut(int amKey, KeyModifier amModifier, int pmKey, KeyModifier pmModifier)
{
    return amKey != 0 && pmKey != 0 && amKey == pmKey && amModifier == pmModifier;
}

double EarliestRecordDate(THourvaneDataMod& dm, double startDate)
{
    double earliest = THoursWorkedRecClass(dm).OldestWorkDate();
    if (earliest == 0)
        earliest = startDate;
    const double timeOff = OldestTimeOffDate(dm);
    if (timeOff != 0 && timeOff < earliest)
        earliest = timeOff;
    return earliest;
}

std::string LaterStartQuestion(double earliest, const std::string& displayDateFormat)
{
    return "Your first Hourvane week cannot start after the date of any Hourvane records already entered.  The "
           "earliest Hourvane record date is " +
           FormatDateTime(displayDateFormat, earliest) + "." + "\r\r" + "Would you like to use this date?  (Your work" +
           " week would begin on " + FormatDateTime("dddd", earliest) + ".)";
}

PreferenceChanges TakeOverPreferences(GlobalSettings& g, const GlobalSettings& e)
{
    PreferenceChanges changed;
    changed.hourFormat = g.hourFormat != e.hourFormat;
    g.hourFormat = e.hourFormat;
    g.amKey = e.amKey;
    g.amModifier = e.amModifier;
    g.pmKey = e.pmKey;
    g.pmModifier = e.pmModifier;
    changed.minuteRound = g.minuteRound != e.minuteRound;
    g.minuteRound = e.minuteRound;
    changed.firstDate = std::floor(g.firstDate) != std::floor(e.firstDate);
    g.firstDate = std::floor(e.firstDate);
    g.firstDayName = FormatDateTime("dddd", g.firstDate);
    changed.timeFormat = g.timeFormat != e.timeFormat;
    g.timeFormat = e.timeFormat;
    g.userMonth = e.userMonth;
    g.userDay = e.userDay;
    changed.overtime = g.dailyOvertime != e.dailyOvertime || g.overtimeHours != e.overtimeHours;
    g.dailyOvertime = e.dailyOvertime;
    g.overtimeHours = e.overtimeHours;
    g.shift2Premium = e.shift2Premium;
    g.shift3Premium = e.shift3Premium;
    g.shiftOvertime = e.shiftOvertime;
    g.includeShiftOT = e.includeShiftOT;
    g.includeShiftMultiple = e.includeShiftMultiple;
    g.includeShiftOff = e.includeShiftOff;
    return changed;
}

} // namespace hv
