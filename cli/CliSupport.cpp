#include "cli/CliSupport.h"

#include "people/PeopleUtil.h"
#include "platform/DateUtil.h"
#include "platform/SettingsFile.h"
#include "platform/Shell.h"
#include "storage/AppState.h"
#include "storage/CreateTables.h"
#include "storage/HVGlobal.h"
#include "storage/Presence.h"
#include "storage/Prefer.h"
#include "storage/StagedRestore.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include <unistd.h>

namespace hv::cli {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const char* answerName(MsgResult r)
{
    switch (r) {
    case MsgResult::Yes:
        return "Yes";
    case MsgResult::No:
        return "No";
    case MsgResult::Cancel:
        return "Cancel";
    case MsgResult::Abort:
        return "Abort";
    case MsgResult::Ok:
        break;
    }
    return "OK";
}

// The folder the data module will open, found as it finds it, but without
// writing the default into the settings file.
std::string cliDataFolder(const GlobalOptions& options)
{
    std::string folder = options.dataFolder;
    if (folder.empty())
        folder = SettingsFile(options.settingsFileName).read("Initialization", "HourvaneDataDir", "");
    if (folder.empty())
        folder = defaultDataFolder(options.programFolder);
    return folder;
}

// A table file of the database (in any letter case, as the engine finds
// them), or what a restore that stopped halfway left, which opening finishes.
bool holdsDatabase(const std::string& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return false;
    if (RestoreLeftovers(folder))
        return true;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = lower(entry.path().filename().string());
        for (const auto& layout : tableLayouts())
            if (name == lower(layout.fileName))
                return true;
    }
    return false;
}

} // namespace

std::string ConsoleText(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

MsgResult ConsoleMessages::show(const std::string& text, MsgKind kind, MsgButtons buttons, int)
{
    m_shown.push_back(text);
    MsgResult answer = MsgResult::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        break;
    case MsgButtons::YesNo:
        answer = MsgResult::No;
        break;
    case MsgButtons::YesNoCancel:
        answer = MsgResult::Cancel;
        break;
    case MsgButtons::Abort:
        answer = MsgResult::Abort;
        break;
    }
    std::cerr << "hourvane-cli: " << ConsoleText(text);
    if (buttons != MsgButtons::Ok)
        std::cerr << " [" << answerName(answer) << "]";
    std::cerr << std::endl;
    (void)kind;
    return answer;
}

ConsoleProgress::ConsoleProgress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

ConsoleProgress::~ConsoleProgress() { end(); }

void ConsoleProgress::setMaximum(int max) { m_max = max > 0 ? max : 1; }

void ConsoleProgress::setPosition(int pos)
{
    m_pos = pos;
    draw();
}

void ConsoleProgress::step()
{
    ++m_pos;
    draw();
}

void ConsoleProgress::setMainLabel(const std::string& text, bool)
{
    m_label = text;
    m_lastPercent = -1;
    draw();
}

void ConsoleProgress::start(ProgressMode mode)
{
    m_label = mode == ProgressMode::Backup ? "Backing up" : "Restoring";
    m_max = kProgressMaximum;
    m_pos = 0;
    m_lastPercent = -1;
    draw();
}

void ConsoleProgress::secondPhase()
{
    m_label += " (second step)";
    m_lastPercent = -1;
    draw();
}

void ConsoleProgress::setBarPosition(int position) { setPosition(position); }

void ConsoleProgress::draw()
{
    if (!m_terminal)
        return;
    int percent = int(100.0 * m_pos / m_max);
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%-32.32s [%s%s] %3d%%", m_label.c_str(), std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(kWidth - filled), ' ').c_str(), percent);
    std::fflush(stderr);
    m_drawn = true;
}

void ConsoleProgress::end()
{
    if (m_drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    m_drawn = false;
    m_lastPercent = -1;
}

Session::Session(const GlobalOptions& options, ProgressDisplay* progress, SessionMode mode) : m_options(options)
{
    // A mistyped folder must not turn into a new, empty database that every
    // later command reads as if it were the real one.
    if (mode != SessionMode::Create) {
        const std::string folder = cliDataFolder(options);
        if (!holdsDatabase(folder))
            throw Failure(kBadInput, "There is no Hourvane database in " + folder +
                                         ". Check the folder, or create a database there with init.");
    }
    AppState& state = appState();
    state.programFolder = options.programFolder;
    DataModuleOptions dmOptions{options.programFolder, options.settingsFileName, progress, &state};
    dmOptions.dataFolder = options.dataFolder;
    try {
        m_dm = std::make_unique<THourvaneDataMod>(dmOptions);
    } catch (const std::exception& e) {
        throw Failure(kIOFailure, e.what());
    }
    if (m_dm->terminateRequested())
        throw Failure(kIOFailure, "The database in " + m_dm->dataFolder() + " could not be opened.");
    state.displayDateFormat = DateFormat();
    if (mode != SessionMode::Look && MaintenanceInProgress(*m_dm))
        throw Failure(kRefused, kMaintenanceMessage);
    state.presenceSlot = TakePresenceSlot(*m_dm);
    if (state.presenceSlot == 0)
        throw Failure(kRefused, "Every copy slot of this database is in use; close Hourvane on another computer.");
    state.lockIdentity = "*cli" + std::to_string(state.presenceSlot);
    state.started = true;
    TPreferenceListClass preferences(*m_dm);
    LoadGlobalSettings(preferences);
}

Session::~Session()
{
    if (m_dm)
        ReleasePresenceSlot(*m_dm, appState());
    m_dm.reset();
    resetAppState();
}

double ParseIsoDate(const std::string& text, const std::string& what)
{
    int y = 0, m = 0, d = 0;
    char tail = 0;
    double date = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 ||
        text[4] != '-' || text[7] != '-' || !TryEncodeDate(y, m, d, date))
        throw Failure(kBadInput, what + ": '" + text + "' is not a date of the form YYYY-MM-DD.");
    return date;
}

std::string IsoDate(double date)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
    return buffer;
}

std::int32_t ResolveEmployee(THourvaneDataMod& dm, const std::string& name)
{
    engine::Table& t = dm.tblEmps;
    const std::string wanted = lower(name);
    bool number = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos && name.size() < 10;
    std::vector<std::int32_t> byCode, byName;
    t.setIndexName("EmpName");
    for (t.first(); !t.eof(); t.next()) {
        const auto id = std::int32_t(t.fieldByName("EmpID").asInteger());
        if (number && id == std::stoi(name))
            return id;
        if (lower(t.fieldByName("EmpCode").asString()) == wanted && !wanted.empty())
            byCode.push_back(id);
        if (lower(people::ListName(t.fieldByName("LastName").asString(), t.fieldByName("FirstName").asString())) ==
            wanted)
            byName.push_back(id);
    }
    const auto& found = !byCode.empty() ? byCode : byName;
    if (found.size() == 1)
        return found.front();
    if (found.empty())
        throw Failure(kBadInput, "No employee has the number, code or name '" + name + "'.");
    throw Failure(kBadInput, "More than one employee has the code or name '" + name + "'; name the employee by number.");
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

} // namespace hv::cli
