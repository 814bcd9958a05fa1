#pragma once
// The main time card window: one employee's week as seven day rows of punch
// boxes, time off and totals, the selection of employee and week, the save,
// delete and copy flows, and the menus. Other windows are reached through the
// command registry the program hands over; this window includes none of them.
#include "storage/AppState.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class QComboBox;

namespace hv {

class THourvaneDataMod;
class TWorkWeekRecClass;
class TEmployeeRecClass;
class TPreferenceListClass;
class TReasonListClass;
class TQVComboBox;
class TQVNumberEdit;
class TQVTimeEdit;
class CommandRegistry;
class FileDialogService;
struct Command;
struct CommandContext;

// What the process supplies to the window: the steps of the start and the
// end that belong to the application.
struct MainWindowHooks {
    // The deferred start-up step, run once by Timer1.
    std::function<void()> deferredStartup;
    // Lets go of this copy's presence slot when the window closes.
    std::function<void()> releasePresence;
};

inline constexpr int kMainHelpContext = 1110;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The items and buttons that have a command in the registry are enabled
    // and run it; the registry and the services outlive the window.
    TfrmMain(THourvaneDataMod& dm, AppState& state, const CommandRegistry& commands, FileDialogService& fileDialogs,
             MainWindowHooks hooks = {}, std::string settingsFileName = "Hourvane3.ini", QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The event handlers under their names; tests and the process call some
    // of them directly.
    void FormActivate();
    void Timer1Timer();
    void cboEmployeeClick();
    void cboEmployeeDropDown();
    void spnEmpsClick();
    void spnEmpsMouseUp();
    void cboWeekEndClick();
    void cmdSaveClick();
    void cmdDeleteClick();
    void cmdCopyClick();
    void cmdTimeOffClick();
    void mnuFileManagerAccessClick();
    void mnuFileChangePasswordClick();
    // The preferences flow: the shared settings locked, the registered
    // Preferences window, the confirmed values refreshed and stored, the
    // settings unlocked in every case.
    void mnuEditPreferencesClick();
    // Runs the registered command of a menu item or button, then the refresh
    // it asks for; false when no command is registered under the name.
    bool runCommand(const std::string& name);

    // The displayed week and the settings cache, for the process and tests.
    TWorkWeekRecClass& week() const { return *m_week; }
    double currentWeekEnd() const { return m_currentWeekEnd; }
    bool refreshSuspended() const { return m_refreshSuspended; }
    void setRefreshSuspended(bool suspended) { m_refreshSuspended = suspended; }

    // The week's save as every flow runs it; false when it failed.
    bool SaveWeek();
    // Closes without asking when false (a refused start-up).
    void setMayPrompt(bool mayPrompt) { m_mayPrompt = mayPrompt; }
    // The deferred start-up step's delay after the first activation; a window
    // that is shown but never activated starts it that long after it is first shown.
    void setStartupDelay(int milliseconds);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (MainLayout.cpp).
    void buildControls();
    void buildMenus();
    // An item with a handler runs it; one without runs its registered
    // command and stays disabled when there is none.
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (TfrmMain::*handler)() = nullptr);
    // The context a command runs with: the selection and the shown week.
    CommandContext commandContext(const Command& command);
    // What a command does to the shown week afterwards.
    void afterCommand(const CommandContext& context);
    void hideAbsentFeatures();
    void startStartupTimer();

    // The week on screen (MainWeek.cpp).
    void BuildWeekEndList();
    void ShowDayCaptions();
    void ApplyHourFormat();
    void ApplyTimeFormat();
    void BuildReasonMenu();
    bool reasonListed(std::int32_t reasonID) const;
    void ClearEntry();
    void DisableOutsideEmployment();
    void ShowTimes();
    void ShowDayHours();
    void ShowTimeOff();
    void ShowTotals();
    void FocusFirstEntry();
    // The week from scratch: entry cleared, days outside employment disabled,
    // times, day hours, time off and totals shown.
    void showWeek();
    void refillEmployees();
    void syncArrows();
    bool oldWeekAllowed(const std::string& refusal);
    // The week is modified or a day row holds new time off.
    bool hasUnsavedChanges() const;
    // The save question when the week is modified; true when the caller may go on.
    bool askToSaveChanges();
    double dayDate(int day) const { return m_currentWeekEnd - 6 + day; }

    // The boxes of a week (MainEntry.cpp).
    void connectBoxes();
    void mskInOutEnter(TQVTimeEdit* box);
    void mskKeyUp(TQVTimeEdit* box, int virtualKey);
    void mskInOutChange(TQVTimeEdit* box);
    void mskInOutClick(TQVTimeEdit* box);
    void mskInOutExit(TQVTimeEdit* box, bool valid);
    // Hands the box's text to its day; false (message shown, focus back in
    // the box) when it is not a time.
    bool storePunch(TQVTimeEdit* box);
    // Takes the text of the box the caret is in as leaving it would; false
    // when it was refused (its message has been shown).
    bool takeTypedEntry();
    void txtNonWorkExit(int day);
    void popUpReasons(int day);
    void reasonChosen(std::int32_t reasonID);
    TQVTimeEdit* timeBox(int day, int column) const;

    THourvaneDataMod& m_dm;
    AppState& m_state;
    const CommandRegistry& m_commands;
    FileDialogService& m_fileDialogs;
    MainWindowHooks m_hooks;
    std::string m_settingsFileName;

    std::unique_ptr<TWorkWeekRecClass> m_week;
    std::unique_ptr<TEmployeeRecClass> m_employee;
    std::unique_ptr<TPreferenceListClass> m_cache;
    std::unique_ptr<TReasonListClass> m_reasons;
    class Shown;
    std::unique_ptr<Shown> m_shownWeek;

    double m_currentWeekEnd = 0;
    double m_savedFirstDate = -1;
    std::vector<double> m_weekEnds;
    int m_weekEndIndex = -1;
    bool m_refreshSuspended = false;
    bool m_timerPending = true;
    bool m_shownOnce = false;
    bool m_mayPrompt = true;
    bool m_activating = false;
    int m_menuDay = -1;
    std::array<int, 7> m_dayWeekday{};

    // Controls, under their component names.
    TQVComboBox* cboEmployee = nullptr;
    QSpinBox* spnEmps = nullptr;
    TQVComboBox* cboWeekEnd = nullptr;
    QLabel* lblShift = nullptr;
    std::array<QLabel*, 7> lblDOW{};
    std::array<TQVTimeEdit*, 7> msk1In{};
    std::array<TQVTimeEdit*, 7> msk1Out{};
    std::array<TQVTimeEdit*, 7> msk2In{};
    std::array<TQVTimeEdit*, 7> msk2Out{};
    std::array<QComboBox*, 7> cboShift{};
    std::array<QToolButton*, 7> spdMore{};
    std::array<TQVNumberEdit*, 7> txtRegular{};
    std::array<TQVNumberEdit*, 7> txtNonWork{};
    std::array<TQVNumberEdit*, 7> txtHours{};
    TQVNumberEdit* txtRegHours = nullptr;
    TQVNumberEdit* txtOverHours = nullptr;
    TQVNumberEdit* txtOtherHours = nullptr;
    TQVNumberEdit* txtTotalHours = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdTimeOff = nullptr;
    QMenu* PopupMenu = nullptr;
    QTimer* Timer1 = nullptr;
    QAction* mnuFileManagerAccess = nullptr;
};

} // namespace hv
