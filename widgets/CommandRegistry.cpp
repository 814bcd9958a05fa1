#include "widgets/CommandRegistry.h"

namespace hv {

void CommandRegistry::add(const std::vector<std::string>& names, const Command& command)
{
    for (const std::string& name : names)
        m_commands[name] = command;
}

const Command* CommandRegistry::find(const std::string& name) const
{
    auto it = m_commands.find(name);
    return it == m_commands.end() ? nullptr : &it->second;
}

std::vector<std::string> CommandRegistry::names() const
{
    std::vector<std::string> all;
    for (const auto& entry : m_commands)
        all.push_back(entry.first);
    return all;
}

} // namespace hv
