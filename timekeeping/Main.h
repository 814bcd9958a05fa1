#pragma once
// The main time card window: one employee's week as seven day rows of punch
// boxes, time off and totals, the selection of employee and week, the save,
// delete and copy flows, and the menus that lead to every other window.
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

// What the process supplies to the window: the steps of the start and the
// end that belong to the application, and the windows of other folders.
struct MainWindowHooks {
    // The deferred start-up step, run once by Timer1.
    std::function<void()> deferredStartup;
    // Lets go of this copy's presence slot when the window closes.
    std::function<void()> releasePresence;
    // The about window, modal; it reads the program file's version.
    std::function<void()> showAbout;
};

inline constexpr int kMainHelpContext = 1110;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain(THourvaneDataMod& dm, AppState& state, MainWindowHooks hooks,
             std::string settingsFileName = "Hourvane3.ini", QWidget* parent = nullptr);
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
    void mnuHelpTipsClick();

    // The displayed week and the settings cache, for the process and tests.
    TWorkWeekRecClass& week() const { return *m_week; }
    double currentWeekEnd() const { return m_currentWeekEnd; }
    bool refreshSuspended() const { return m_refreshSuspended; }
    void setRefreshSuspended(bool suspended) { m_refreshSuspended = suspended; }

    // The week's save as every flow runs it; false when it failed.
    bool SaveWeek();
    // Closes without asking when false (a refused start-up).
    void setMayPrompt(bool mayPrompt) { m_mayPrompt = mayPrompt; }
    // The deferred start-up step's delay after the first activation.
    void setStartupDelay(int milliseconds);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (MainLayout.cpp).
    void buildControls();
    void buildMenus();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (TfrmMain::*handler)() = nullptr);
    void hideAbsentFeatures();

    // The week on screen (MainWeek.cpp).
    void BuildWeekEndList();
    void ShowDayCaptions();
    void ApplyHourFormat();
    void ApplyTimeFormat();
    void BuildReasonMenu();
    void ClearEntry();
    void DisableOutsideEmployment();
    void ShowTimes();
    void ShowDayHours();
    void ShowTimeOff();
    void ShowTotals();
    void FocusFirstEntry();
    void refillEmployees();
    void syncArrows();
    bool oldWeekAllowed(const std::string& refusal);
    bool askToSaveChanges(bool& proceed);
    double dayDate(int day) const { return m_currentWeekEnd - 6 + day; }

    // The boxes of a week (MainEntry.cpp).
    void connectBoxes();
    void mskInOutEnter(TQVTimeEdit* box);
    void mskKeyUp(TQVTimeEdit* box, int virtualKey);
    void mskInOutChange(TQVTimeEdit* box);
    void mskInOutClick(TQVTimeEdit* box);
    void mskInOutExit(TQVTimeEdit* box, bool valid);
    void txtNonWorkExit(int day);
    void popUpReasons(int day);
    void reasonChosen(std::int32_t reasonID);
    TQVTimeEdit* timeBox(int day, int column) const;

    THourvaneDataMod& m_dm;
    AppState& m_state;
    MainWindowHooks m_hooks;
    std::string m_settingsFileName;

    std::unique_ptr<TWorkWeekRecClass> m_week;
    std::unique_ptr<TEmployeeRecClass> m_employee;
    std::unique_ptr<TPreferenceListClass> m_cache;
    std::unique_ptr<TReasonListClass> m_reasons;

    double m_currentWeekEnd = 0;
    double m_savedFirstDate = -1;
    std::vector<double> m_weekEnds;
    int m_weekEndIndex = -1;
    bool m_refreshSuspended = false;
    bool m_timerPending = true;
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
