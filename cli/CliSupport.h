#pragma once
// What every command of hourvane-cli shares: exit codes, the failure that
// carries one, the console's message and progress services, the data folder
// opened as one more running copy, and the command line's names and dates.
#include "backup/BackupRestore.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hv::cli {

enum Exit : int {
    kDone = 0,
    kUsage = 1,
    kRefused = 2,  // another copy, a lock, the maintenance marker: worth trying again later
    kBadInput = 3, // a file, value, folder or password that cannot be used; the message names it
    kIOFailure = 4,
};

// Ends a command with its exit code; the message goes to stderr.
struct Failure : std::runtime_error {
    Failure(int code, const std::string& message) : std::runtime_error(message), code(code) {}
    int code;
};

// The program's messages on stderr, with the message boxes' "\r" line breaks
// as new lines. A question is never answered by a person here: it gets the
// answer that changes nothing (No, Cancel), and is printed with that answer.
class ConsoleMessages : public MessageService {
public:
    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons, int helpContext) override;
    // Every text shown, in order (the commands read the last one for their exit code).
    const std::vector<std::string>& shown() const { return m_shown; }

private:
    std::vector<std::string> m_shown;
};

// Message box text as console lines.
std::string ConsoleText(const std::string& text);

// A bar on stderr while stderr is a terminal; silent otherwise. It serves the
// data module, backup and restore, and the import.
class ConsoleProgress : public ProgressDisplay, public OperationProgress {
public:
    ConsoleProgress();
    ~ConsoleProgress() override;
    // ProgressDisplay
    void setMaximum(int max) override;
    void setPosition(int pos) override;
    void step() override;
    void setMainLabel(const std::string& text, bool bold) override;
    void setArrowVisible(bool) override {}
    void setSecondLabelVisible(bool) override {}
    void showAndPaint() override { draw(); }
    void release() override { end(); }
    // OperationProgress
    void start(ProgressMode mode) override;
    void secondPhase() override;
    void setBarPosition(int position) override;
    void finish() override { end(); }

    bool active() const { return m_terminal; }

private:
    void draw();
    void end();
    bool m_terminal = false;
    bool m_drawn = false;
    int m_max = 100;
    int m_pos = 0;
    int m_lastPercent = -1;
    std::string m_label;
};

struct GlobalOptions {
    std::string dataFolder;   // --data; empty: from the settings file
    std::string programFolder; // with a trailing separator
    std::string settingsFileName = "Hourvane3.ini";
};

enum class SessionMode {
    Work,   // the database must be there; refused while the marker is held
    Look,   // as Work, but runs while the marker is held, and shows it (info)
    Create, // creates the database when the folder has none (init)
};

// The data folder opened as a running copy: the maintenance marker checked,
// a presence slot taken and the lock identity "*cli<slot>" set; all of it
// let go when the session ends. Throws Failure (3) naming the folder when it
// holds no database (but for Create), Failure (2) when a backup, restore or
// import is running, or every slot is held.
class Session {
public:
    explicit Session(const GlobalOptions& options, ProgressDisplay* progress = nullptr,
                     SessionMode mode = SessionMode::Work);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    THourvaneDataMod& dm() { return *m_dm; }
    const GlobalOptions& options() const { return m_options; }

private:
    GlobalOptions m_options;
    std::unique_ptr<THourvaneDataMod> m_dm;
};

// "YYYY-MM-DD" whatever the regional settings; throws Failure (3) naming
// the option otherwise.
double ParseIsoDate(const std::string& text, const std::string& what);
std::string IsoDate(double date);

// An employee by number, by code or by "Last, First" (letter case ignored);
// throws Failure (3) when nobody or more than one employee matches.
std::int32_t ResolveEmployee(THourvaneDataMod& dm, const std::string& name);

// A JSON string literal.
std::string JsonString(const std::string& text);

} // namespace hv::cli
