#include "app/CommandLine.h"

#include "app/Globals.h"
#include "app/SingleInstance.h"

#include <cctype>

namespace hv {
namespace {

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    if (arguments.empty() || arguments.front().empty())
        return result;
    const std::string& first = arguments.front();
    if (equalsIgnoringCase(first, "CONVERTONLY"))
        result.migrationMode = true;
    else
        result.lockIdentity = CutToCharacters(first, kLockIdentityLength);
    return result;
}

void ApplyCommandLine(const CommandLine& commandLine, AppState& state)
{
    state.migrationMode = commandLine.migrationMode;
    state.lockIdentity = commandLine.lockIdentity;
}

StartMode BeginProcess(const std::vector<std::string>& arguments, SingleInstance& instance,
                       AppState& state)
{
    if (!instance.claim())
        return StartMode::WokeOtherCopy;
    ApplyCommandLine(ParseCommandLine(arguments), state);
    return state.migrationMode ? StartMode::Migration : StartMode::Normal;
}

} // namespace hv
