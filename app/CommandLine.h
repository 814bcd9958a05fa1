#pragma once
// The command line and the first moments of the process: only the first
// argument is looked at, and only after this copy knows it is the one running
// in the desktop session.
#include "storage/AppState.h"

#include <string>
#include <vector>

namespace hv {

class SingleInstance;

struct CommandLine {
    bool migrationMode = false; // first argument CONVERTONLY, in any letter case
    std::string lockIdentity;   // any other first argument, cut to 15 characters
};

// arguments: the program's arguments without the program name.
// An empty first argument counts as none: an empty identity would lock nothing.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
void ApplyCommandLine(const CommandLine& commandLine, AppState& state);

enum class StartMode { WokeOtherCopy, Normal, Migration };

// Claims the single instance; a second copy wakes the first and must end at
// once with exit code 0, before it creates anything. Otherwise the command
// line is applied to the state and decides the mode.
StartMode BeginProcess(const std::vector<std::string>& arguments, SingleInstance& instance,
                       AppState& state);

} // namespace hv
