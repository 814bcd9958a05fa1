#include "platform/PunchText.h"

namespace hv {

TimeType TimeTypeFor(const std::string& timeFormat)
{
    return timeFormat == "hh:nn" ? TimeType::te24Hour : TimeType::te12Hour;
}

std::string BlankPunchDisplay(TimeType type) { return type == TimeType::te24Hour ? "  :  " : "  :   "; }

TimeBoxLayout TimeBoxLayoutFor(TimeType type)
{
    if (type == TimeType::te24Hour)
        return {"!90:00;1;_", "  :  ", 5};
    return {"!90:00> L;1;_", "  :    ", 7};
}

std::string ExpectedTimeEntry(const std::string& timeFormat)
{
    return TimeTypeFor(timeFormat) == TimeType::te24Hour ? "HH:MM" : "HH:MM A/P";
}

std::string PunchMaskMessage(const std::string& boxText, const std::string& timeFormat)
{
    auto first = boxText.find_first_not_of(' ');
    auto last = boxText.find_last_not_of(' ');
    std::string trimmed = first == std::string::npos ? std::string() : boxText.substr(first, last - first + 1);
    return "Your entry \"" + trimmed + "\" was not in a valid time format.\r\rPlease try again using an " +
           ExpectedTimeEntry(timeFormat) + " format.";
}

std::string PunchParseMessage(const std::string& text, const std::string& timeFormat)
{
    return "Your entry \"" + text + "\" was not in a valid time" + " format." + "\r\r" +
           "Please try again using an " + ExpectedTimeEntry(timeFormat) + " format.";
}

char ApKeyLetter(const std::string& boxText, int maxLength, int keyCode, KeyModifier held, const PunchKeys& keys)
{
    if (keys.timeFormat != "hh:nn A/P" || keyCode == 0)
        return 0;
    std::size_t typed = 0;
    for (char c : boxText)
        if (c != ' ')
            ++typed;
    if (int(typed) != maxLength - 2)
        return 0;
    if (keyCode == keys.amKey && held == keys.amModifier)
        return 'A';
    if (keyCode == keys.pmKey && held == keys.pmModifier)
        return 'P';
    return 0;
}

} // namespace hv
