#include "app/CommandLine.h"

#include "app/SingleInstance.h"
#include "engine/TableDef.h"
#include "platform/Shell.h"

#include <cctype>

namespace hv {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    if (arguments.empty() || arguments.front().empty())
        return result;
    const std::string& first = arguments.front();
    if (engine::sameName(first, "CONVERTONLY"))
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
