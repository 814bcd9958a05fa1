#pragma once
// The commands of the main window's menus and buttons, keyed by the object
// name of the menu item or button ("cmdTimeOff", "mnuEditEmployees",
// "mnuFileBackup"). Each windows library offers a function that registers its
// windows here; the program fills one registry at start and hands it to the
// main window, which enables exactly the items that have a command. So the
// main window never includes or links the windows it opens.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace hv {

class THourvaneDataMod;
class FileDialogService;
struct AppState;

// What the main window refreshes after a command, beside the activation
// refresh that every dialog's closing brings. A command states its own in its
// registration and may add more while it runs.
namespace refresh {
inline constexpr unsigned None = 0;
// Reload the shown week's time off, lock its entries, compute, show time off and totals.
inline constexpr unsigned WeekTimeOff = 1u << 0;
// Rebuild the time off reason pop-up menu.
inline constexpr unsigned ReasonMenu = 1u << 1;
// Refill the employee list (and its arrows) as on drop-down.
inline constexpr unsigned EmployeeList = 1u << 2;
// Apply the hour format to the number boxes.
inline constexpr unsigned HourFormat = 1u << 3;
// Apply the time format to the time boxes.
inline constexpr unsigned TimeFormat = 1u << 4;
// Compute the week again and show its times, day hours and totals (rounding
// or time format changed).
inline constexpr unsigned Times = 1u << 5;
// Rebuild the week-ending list (first date changed).
inline constexpr unsigned WeekEndList = 1u << 6;
// Run the employee selection again when an employee is selected (which
// loads its week): after the employees, the overtime rule or the first date changed.
inline constexpr unsigned Reselect = 1u << 7;
// The manager access flag may have changed: the check mark follows it.
inline constexpr unsigned ManagerAccess = 1u << 8;
// The database cannot be used any more (a restore stopped half-way, which the
// next start finishes): the main window closes at once, asking nothing and
// touching no table; every other refresh is skipped.
inline constexpr unsigned EndProgram = 1u << 9;
} // namespace refresh

// The week the main window shows, for commands that print it or need the
// database to themselves.
class ShownWeek {
public:
    virtual ~ShownWeek() = default;
    // When the week has unsaved changes, asks question (confirmation,
    // Yes/No/Cancel; empty: the main window's own save question): Yes saves
    // the week, No drops nothing yet. False when the command must stop
    // (Cancel, or the save failed).
    virtual bool settleChanges(const std::string& question) = 0;
    // Lets go of this copy's locks on the week's rows.
    virtual void releaseLocks() = 0;
    // Reads the week again, takes its locks and shows it.
    virtual void reload() = 0;
    // Drops the week's changes and locks and shows an empty week.
    virtual void clear() = 0;
};

// Everything a command may use, handed over when it runs.
struct CommandContext {
    CommandContext(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs, std::string settingsFileName,
                   QWidget* owner)
        : dm(dm), state(state), fileDialogs(fileDialogs), settingsFileName(std::move(settingsFileName)), owner(owner)
    {
    }

    THourvaneDataMod& dm;
    AppState& state;
    FileDialogService& fileDialogs;
    std::string settingsFileName;
    // The window that owns the dialogs the command opens.
    QWidget* owner = nullptr;
    // The main window's selection when the command started: the employee
    // (0 and empty when none is selected) and the week.
    std::int32_t employeeID = 0;
    std::string employeeName;
    double weekEnd = 0;
    std::string weekEndText;
    // The shown week; null when a command runs without the main window.
    ShownWeek* week = nullptr;
    // What the main window refreshes afterwards; starts as the command's own.
    unsigned refresh = refresh::None;
    // The Preferences flow: whether the main window could lock the shared
    // settings (else they can only be viewed), and whether the command took
    // changed values over into the global settings, which the main window
    // then stores.
    bool settingsLocked = false;
    bool settingsConfirmed = false;
};

struct Command {
    std::function<void(CommandContext&)> run;
    unsigned refresh = refresh::None;
    // The activation refresh is suspended while the command runs (backup,
    // restore, printer setup, a direct printout).
    bool suspendsActivation = false;
};

class CommandRegistry {
public:
    // Registers a command under one or more object names (a menu item and
    // the button that does the same); a later registration replaces one.
    void add(const std::vector<std::string>& names, const Command& command);
    const Command* find(const std::string& name) const;
    bool contains(const std::string& name) const { return find(name) != nullptr; }
    std::vector<std::string> names() const;

private:
    std::map<std::string, Command> m_commands;
};

} // namespace hv
