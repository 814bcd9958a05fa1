#include "settings/TDayTips.h"

#include "platform/SettingsFile.h"
#include "storage/Prefer.h"

#include <charconv>
#include <fstream>

namespace hv {
namespace {

const std::string kNoTip;

int parseIndex(const std::string& text)
{
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < 0)
        return 0;
    return value;
}

} // namespace

TTipOfDayClass::TTipOfDayClass(std::string tipFile, std::string settingsFileName)
    : m_tipFile(std::move(tipFile)), m_settingsFileName(std::move(settingsFileName))
{
}

TTipOfDayClass::~TTipOfDayClass()
{
    StepNext();
    SettingsFile settings(m_settingsFileName);
    settings.write(kPreferSection, "NextTip", std::to_string(m_current));
    settings.write(kPreferSection, "ShowTips", m_showTips ? "0" : "1");
}

bool TTipOfDayClass::Load()
{
    SettingsFile settings(m_settingsFileName);
    // Read even when the file fails: closing the window stores the flag, and
    // it must not switch the tips back on behind the user's back.
    const std::string show = settings.read(kPreferSection, "ShowTips", "");
    m_showTips = show.empty() || show == "0";

    if (m_tipFile.empty())
        return false;
    std::ifstream in(m_tipFile, std::ios::binary);
    if (!in)
        return false;
    std::vector<std::string> tips;
    for (std::string line; std::getline(in, line);) {
        // The file is written on any system; a CR of a CR-LF ending is no part of the tip.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        tips.push_back(std::move(line));
    }
    if (in.bad() || tips.empty())
        return false;
    m_tips = std::move(tips);
    m_last = static_cast<int>(m_tips.size()) - 1;

    m_current = parseIndex(settings.read(kPreferSection, "NextTip", "0"));
    if (m_current > m_last)
        m_current = 0;
    return true;
}

const std::string& TTipOfDayClass::CurrentTip() const
{
    if (m_current < 0 || m_current > m_last)
        return kNoTip;
    return m_tips[static_cast<std::size_t>(m_current)];
}

const std::string& TTipOfDayClass::StepNext()
{
    m_current = m_current >= m_last ? 0 : m_current + 1;
    return CurrentTip();
}

const std::string& TTipOfDayClass::StepPrevious()
{
    m_current = m_current <= 0 ? (m_last < 0 ? 0 : m_last) : m_current - 1;
    return CurrentTip();
}

} // namespace hv
