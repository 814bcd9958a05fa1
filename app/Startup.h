#pragma once
// The running program: the normal start (data module, splash, main window,
// message loop, the deferred step after the first activation) and the orderly
// end. main() only hands over its arguments.
#include <string>

namespace hv {

struct RunOptions {
    // Where the settings file lives is decided by the settings module; the
    // program folder holds the tip file, the help pages and, by default, Data.
    std::string programFolder;
    std::string settingsFileName = "Hourvane3.ini";
    // The session's login name; empty means the system's.
    std::string userName;
    // The deferred step's delay after the first activation.
    int startupDelayMs = 3000;
};

class CommandRegistry;

// Registers every window the main window's menus and buttons open.
void RegisterProgramWindows(CommandRegistry& registry);

// Runs the program on an existing QApplication; returns the exit code.
int RunHourvane(int argc, char** argv, const RunOptions& options);

} // namespace hv
