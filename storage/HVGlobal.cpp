#include "storage/HVGlobal.h"

#include "platform/Clock.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "ports/PrinterQuery.h"
#include "storage/Prefer.h"

#include <charconv>
#include <cmath>

namespace hv {
namespace {

GlobalSettings g_settings;

// Reads a number written with this machine's decimal separator; one written
// on a machine with the other common separator is accepted too.
float readFloat(const std::string& text, float fallback)
{
    double v = 0;
    if (TryStrToFloat(text, v))
        return float(v);
    std::string swapped = text;
    for (char& c : swapped)
        c = c == '.' ? ',' : c == ',' ? '.' : c;
    if (TryStrToFloat(swapped, v))
        return float(v);
    return fallback;
}

// The shortest decimal text that reads back as the same single-precision value.
std::string floatText(float value)
{
    if (value == 0)
        return "0";
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string text = ec == std::errc() ? std::string(buf, end) : std::to_string(value);
    auto dot = text.find('.');
    if (dot != std::string::npos)
        text.replace(dot, 1, regional().decimalSeparator);
    return text;
}

const char* flag(bool on) { return on ? "1" : "0"; }

} // namespace

GlobalSettings& globalSettings() { return g_settings; }
void resetGlobalSettings() { g_settings = GlobalSettings(); }

KeyModifier keyModifierFromCode(const std::string& code)
{
    if (code == "1")
        return KeyModifier::Alt;
    if (code == "2")
        return KeyModifier::Ctrl;
    if (code == "3")
        return KeyModifier::Shift;
    return KeyModifier::None;
}

std::string keyModifierCode(KeyModifier modifier)
{
    switch (modifier) {
    case KeyModifier::Alt: return "1";
    case KeyModifier::Ctrl: return "2";
    case KeyModifier::Shift: return "3";
    case KeyModifier::None: break;
    }
    return "0";
}

int minuteRoundFromCode(const std::string& code)
{
    if (code.size() == 1 && code[0] >= '0' && code[0] <= '4')
        return code[0] - '0';
    return 5;
}

void LoadGlobalSettings(TPreferenceListClass& cache)
{
    cache.LoadAll();
    GlobalSettings& g = g_settings;
    auto value = [&](const char* key) { return cache.GetValue(key); };

    g.hourFormat = value("HourFormat");
    g.minuteRound = minuteRoundFromCode(value("MinuteRound"));
    double first = 0;
    if (TryStrToFloat(value("FirstDate"), first))
        g.firstDate = std::floor(first);
    else
        g.firstDate = defaultFirstDate(clock().today());
    g.firstDayName = FormatDateTime("dddd", g.firstDate);
    g.dailyOvertime = value("Overtime") != "0";
    g.overtimeHours = readFloat(value("Hours"), 40);
    g.shift2Premium = readFloat(value("Shift2"), 0);
    g.shift3Premium = readFloat(value("Shift3"), 0);
    g.shiftOvertime = value("ShiftOvertime") != "0";
    g.includeShiftOT = value("IncludeShiftOT") == "1";
    g.includeShiftMultiple = value("IncludeShiftMultiple") == "1";
    g.includeShiftOff = value("IncludeShiftOff") == "1";
    g.timeFormat = value("TimeFormat");
    g.amKey = StrToIntDef(value("AMKey"), 0);
    g.amModifier = keyModifierFromCode(value("AMShift"));
    g.pmKey = StrToIntDef(value("PMKey"), 0);
    g.pmModifier = keyModifierFromCode(value("PMShift"));
    g.userMonth = StrToIntDef(value("UserMonth"), 1);
    g.userDay = StrToIntDef(value("UserDay"), 1);

    g.orientation = value("Printer") != "0" ? PageOrientation::Landscape : PageOrientation::Portrait;
    SystemPrinter printer = querySystemPrinter();
    g.noPrinter = !printer.available;
    g.printerName = printer.available ? printer.name : std::string();
}

bool StoreGlobalSettings(TPreferenceListClass& cache, const std::string& lockIdentity)
{
    const GlobalSettings& g = g_settings;
    cache.SetValue("HourFormat", g.hourFormat);
    cache.SetValue("MinuteRound", std::to_string(g.minuteRound >= 0 && g.minuteRound <= 4 ? g.minuteRound : 5));
    cache.SetValue("FirstDate", std::to_string(static_cast<long long>(std::floor(g.firstDate))));
    cache.SetValue("Overtime", flag(g.dailyOvertime));
    cache.SetValue("Hours", floatText(g.overtimeHours));
    cache.SetValue("Shift2", floatText(g.shift2Premium));
    cache.SetValue("Shift3", floatText(g.shift3Premium));
    cache.SetValue("ShiftOvertime", flag(g.shiftOvertime));
    cache.SetValue("IncludeShiftOT", flag(g.includeShiftOT));
    cache.SetValue("IncludeShiftMultiple", flag(g.includeShiftMultiple));
    cache.SetValue("IncludeShiftOff", flag(g.includeShiftOff));
    cache.SetValue("TimeFormat", g.timeFormat);
    cache.SetValue("AMKey", std::to_string(g.amKey));
    cache.SetValue("AMShift", keyModifierCode(g.amModifier));
    cache.SetValue("PMKey", std::to_string(g.pmKey));
    cache.SetValue("PMShift", keyModifierCode(g.pmModifier));
    cache.SetValue("UserMonth", std::to_string(g.userMonth));
    cache.SetValue("UserDay", std::to_string(g.userDay));
    if (!g.noPrinter)
        cache.SetValue("Printer", flag(g.orientation == PageOrientation::Landscape));
    else if (TPreferenceRecClass* printer = cache.find("Printer"))
        printer->setModified(false); // not even the loaded default: there is no printer to describe
    return cache.SaveAll(lockIdentity);
}

} // namespace hv
