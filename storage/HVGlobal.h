#pragma once
// The global settings: process-wide values derived from the settings cache.
// The main window loads them on every activation; everyone else reads them.
#include "platform/PunchText.h"

#include <functional>
#include <string>
#include <vector>

namespace hv {

class TPreferenceListClass;

enum class PageOrientation { Portrait, Landscape };

// The punch keys (time format, A/P keys) are the base part.
struct GlobalSettings : PunchKeys {
    std::string hourFormat = "#0.00";
    int minuteRound = 4;           // 0 none .. 4 nearest 15, 5 nearest 30 minutes
    double firstDate = 0;          // day number of the first day of the first week
    std::string firstDayName;      // its full weekday name
    bool dailyOvertime = false;
    float overtimeHours = 40;
    float shift2Premium = 0;
    float shift3Premium = 0;
    bool shiftOvertime = false;
    bool includeShiftOT = false;
    bool includeShiftMultiple = false;
    bool includeShiftOff = false;
    int userMonth = 1;             // start of the user-defined benefit year
    int userDay = 1;
    std::string printerName;       // reports pick the installed printer whose name contains it
    bool noPrinter = false;
    PageOrientation orientation = PageOrientation::Portrait;
};

GlobalSettings& globalSettings();
void resetGlobalSettings();

// Stored codes of the modifiers: "0" none, "1" Alt, "2" Ctrl, "3" Shift.
KeyModifier keyModifierFromCode(const std::string& code);
std::string keyModifierCode(KeyModifier modifier);
// "0".."4" give 0..4, anything else 5.
int minuteRoundFromCode(const std::string& code);

// LoadAll on the cache, then every global from it and from the system printer.
void LoadGlobalSettings(TPreferenceListClass& cache);
// Every global back into the cache as text, then SaveAll with the identity.
bool StoreGlobalSettings(TPreferenceListClass& cache, const std::string& lockIdentity);

} // namespace hv
