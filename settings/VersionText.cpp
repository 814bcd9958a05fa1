#include "settings/VersionText.h"

#include <charconv>
#include <vector>

namespace hv {
namespace {

std::vector<std::string> splitAtDots(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

bool aboveZero(const std::string& number)
{
    int value = 0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    return ec == std::errc() && ptr == number.data() + number.size() && value > 0;
}

} // namespace

std::string VersionText(const std::string& fileVersion, bool withBuild)
{
    const std::vector<std::string> parts = splitAtDots(fileVersion);
    std::string text = "Version " + parts[0] + "." + (parts.size() > 1 ? parts[1] : std::string("0"));
    if (parts.size() > 2 && aboveZero(parts[2]))
        text += "." + parts[2];
    if (withBuild)
        text += "   Build " + parts.back();
    return text;
}

} // namespace hv
