// The main window's life: creation, the activation refresh, the start-up
// timer, manager access and the closing flow.
#include "timekeeping/windows/Main.h"

#include "people/TEmp.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "timekeeping/WeekEditor.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TReason.h"
#include "widgets/CommandRegistry.h"
#include "widgets/PasswordDialogs.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace hv {

namespace {
const char* const kSaveQuestion =
    "The current Hourvane record has been changed.  Do you want to save your changes?";
}

// The shown week as commands see it.
class TfrmMain::Shown : public ShownWeek {
public:
    explicit Shown(TfrmMain& window) : m_window(window) {}
    bool settleChanges(const std::string& question) override
    {
        if (!m_window.takeTypedEntry())
            return false;
        if (!m_window.hasUnsavedChanges())
            return true;
        return settleUnsavedChanges(question.empty() ? kSaveQuestion : question,
                                    [this] { return m_window.SaveWeek(); });
    }
    void releaseLocks() override
    {
        if (m_window.m_week->Loaded())
            m_window.m_week->Unlock(m_window.m_state.lockIdentity);
    }
    void reload() override
    {
        if (!m_window.m_week->Loaded())
            return;
        WaitCursor wait;
        m_window.m_week->LoadLocked(m_window.m_state.lockIdentity);
        m_window.showWeek();
        m_window.cmdSave->setEnabled(m_window.m_week->IsModified());
    }
    void clear() override
    {
        releaseLocks();
        m_window.m_week->Clear();
        m_window.ClearEntry();
        m_window.ShowDayHours();
        m_window.ShowTimeOff();
        m_window.ShowTotals();
        m_window.cmdSave->setEnabled(false);
    }

private:
    TfrmMain& m_window;
};

TfrmMain::TfrmMain(THourvaneDataMod& dm, AppState& state, const CommandRegistry& commands,
                   FileDialogService& fileDialogs, MainWindowHooks hooks, std::string settingsFileName, QWidget* parent)
    : QMainWindow(parent),
      m_dm(dm),
      m_state(state),
      m_commands(commands),
      m_fileDialogs(fileDialogs),
      m_hooks(std::move(hooks)),
      m_settingsFileName(std::move(settingsFileName)),
      m_week(std::make_unique<TWorkWeekRecClass>(dm)),
      m_employee(std::make_unique<TEmployeeRecClass>(dm)),
      m_cache(std::make_unique<TPreferenceListClass>(dm)),
      m_reasons(std::make_unique<TReasonListClass>(dm)),
      m_shownWeek(std::make_unique<Shown>(*this))
{
    setObjectName("frmMain");
    buildControls();
    buildMenus();
    hideAbsentFeatures();
    m_state.managerAccess = false;
    setWindowTitle(QString::fromStdString(m_state.applicationTitle));
}

TfrmMain::~TfrmMain() = default;

bool TfrmMain::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && !m_refreshSuspended)
        FormActivate();
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        helpService().showTopic(kMainHelpContext);
        return true;
    }
    return QMainWindow::event(e);
}

void TfrmMain::FormActivate()
{
    if (m_activating)
        return; // a message shown by the refresh itself re-activates the window
    m_activating = true;
    m_cache = std::make_unique<TPreferenceListClass>(m_dm);
    LoadGlobalSettings(*m_cache);
    BuildWeekEndList();
    ApplyHourFormat();
    ApplyTimeFormat();
    startStartupTimer();
    refillEmployees();
    BuildReasonMenu();
    m_activating = false;
}

void TfrmMain::setStartupDelay(int milliseconds) { Timer1->setInterval(milliseconds); }

void TfrmMain::startStartupTimer()
{
    if (!m_timerPending)
        return;
    m_timerPending = false;
    Timer1->start();
}

void TfrmMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // A window that is never activated (no window manager, or focus-stealing
    // prevention) must still register this copy and let go of the splash.
    QTimer::singleShot(Timer1->interval(), this, &TfrmMain::startStartupTimer);
}

void TfrmMain::Timer1Timer()
{
    Timer1->stop();
    if (m_hooks.deferredStartup)
        m_hooks.deferredStartup();
}

void TfrmMain::refillEmployees()
{
    const std::int32_t kept = cboEmployee->SelectedID();
    cboEmployee->clear();
    m_employee->FillEmployeeList(*cboEmployee, EmployeeStatus::All, false, true, m_currentWeekEnd);
    if (kept != 0)
        cboEmployee->SelectID(kept);
    else
        cboEmployee->setCurrentIndex(-1);
    syncArrows();
}

void TfrmMain::syncArrows()
{
    const QSignalBlocker quiet(spnEmps);
    spnEmps->setMaximum(cboEmployee->count());
    spnEmps->setValue(cboEmployee->count() - std::max(cboEmployee->currentIndex(), 0));
}

void TfrmMain::cboEmployeeDropDown()
{
    WaitCursor wait;
    const std::string shown = cboEmployee->currentText().toStdString();
    cboEmployee->clear();
    m_employee->FillEmployeeList(*cboEmployee, EmployeeStatus::All, false, true, m_currentWeekEnd);
    if (cboEmployee->SelectText(shown) < 0)
        cboEmployee->setCurrentIndex(-1);
    syncArrows();
}

void TfrmMain::spnEmpsClick()
{
    if (cboEmployee->count() == 0)
        return;
    const int index = std::clamp(spnEmps->maximum() - spnEmps->value(), 0, cboEmployee->count() - 1);
    const QSignalBlocker quiet(cboEmployee);
    cboEmployee->setCurrentIndex(index);
    syncArrows();
}

void TfrmMain::spnEmpsMouseUp() { cboEmployeeClick(); }

bool TfrmMain::eventFilter(QObject* watched, QEvent* e)
{
    // Releasing the arrows (mouse or key) selects the employee they moved to.
    if (watched == spnEmps &&
        (e->type() == QEvent::MouseButtonRelease ||
         (e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat())))
        QTimer::singleShot(0, this, &TfrmMain::spnEmpsMouseUp);
    return QMainWindow::eventFilter(watched, e);
}

bool TfrmMain::hasUnsavedChanges() const
{
    // Time off typed into a day row is saved with the week, so it is a change
    // of the week too.
    if (m_week->IsModified())
        return true;
    for (const TQVNumberEdit* box : txtNonWork)
        if (box->isEnabled() && box->value() != 0)
            return true;
    return false;
}

bool TfrmMain::askToSaveChanges()
{
    return m_shownWeek->settleChanges({});
}

void TfrmMain::mnuFileManagerAccessClick()
{
    // The check mark follows the flag, not the click that toggled it.
    if (m_state.managerAccess)
        m_state.managerAccess = false;
    else
        RequestManagerAccess(m_state, m_dm, this);
    mnuFileManagerAccess->setChecked(m_state.managerAccess);
}

void TfrmMain::mnuFileChangePasswordClick()
{
    passwordDialogs().run(PasswordMode::Change, m_dm, this);
    mnuFileManagerAccess->setChecked(m_state.managerAccess);
}

bool TfrmMain::runCommand(const std::string& name)
{
    const Command* command = m_commands.find(name);
    if (!command)
        return false;
    CommandContext context = commandContext(*command);
    const bool wasSuspended = m_refreshSuspended;
    if (command->suspendsActivation)
        m_refreshSuspended = true;
    command->run(context);
    m_refreshSuspended = wasSuspended;
    afterCommand(context);
    RestoreCursor();
    return true;
}

CommandContext TfrmMain::commandContext(const Command& command)
{
    const bool selected = cboEmployee->currentIndex() >= 0;
    CommandContext context(m_dm, m_state, m_fileDialogs, m_settingsFileName, this);
    context.employeeID = selected ? cboEmployee->SelectedID() : 0;
    context.employeeName = selected ? cboEmployee->currentText().toStdString() : std::string();
    context.weekEnd = m_currentWeekEnd;
    context.weekEndText = cboWeekEnd->currentText().toStdString();
    context.week = m_shownWeek.get();
    context.refresh = command.refresh;
    return context;
}

void TfrmMain::mnuEditPreferencesClick()
{
    const Command* command = m_commands.find("mnuEditPreferences");
    if (!command)
        return;
    // Every message box re-activates this window, and the activation refresh
    // reloads the globals from the store: until the new values are stored, it
    // would bring the old ones back (the save question of the employee
    // selection that the refresh runs is such a box).
    const bool wasSuspended = m_refreshSuspended;
    m_refreshSuspended = true;
    ShowWaitCursor();
    const std::string& me = m_state.lockIdentity;
    CommandContext context = commandContext(*command);
    context.settingsLocked = m_cache->LockAll(me);
    command->run(context);
    if (context.settingsConfirmed) {
        afterCommand(context);
        StoreGlobalSettings(*m_cache, me);
    }
    m_refreshSuspended = wasSuspended;
    m_cache->UnlockAll(me);
    m_cache->ResetLockRefused();
    RestoreCursor();
}

void TfrmMain::afterCommand(const CommandContext& context)
{
    const unsigned what = context.refresh;
    if (what & refresh::EndProgram) {
        m_mayPrompt = false;
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    mnuFileManagerAccess->setChecked(m_state.managerAccess);
    if (what & refresh::HourFormat)
        ApplyHourFormat();
    if (what & refresh::TimeFormat)
        ApplyTimeFormat();
    if (what & refresh::ReasonMenu)
        BuildReasonMenu();
    const bool shown = context.employeeID != 0 && m_week->Loaded();
    if (what & refresh::WeekEndList) {
        BuildWeekEndList();
        if (cboEmployee->currentIndex() >= 0)
            cboEmployeeClick();
    }
    if (what & refresh::EmployeeList)
        cboEmployeeDropDown();
    if ((what & refresh::Reselect) && cboEmployee->currentIndex() >= 0)
        cboEmployeeClick();
    if ((what & refresh::Times) && m_week->Loaded()) {
        m_week->Compute(); // the split follows the rounding in force
        ShowTimes();
        ShowDayHours();
        ShowTotals();
    }
    if ((what & refresh::WeekTimeOff) && shown) {
        WaitCursor wait;
        // The dialog let go of the entries it locked; the shown week takes them again.
        TTimeOffListClass& list = m_week->TimeOffList();
        list.Load();
        list.LockAll(m_state.lockIdentity);
        m_week->Compute();
        // Time off typed into a day row is not stored yet: it stays where the
        // day still takes new time off, with its reason while that still exists.
        std::array<std::pair<double, int>, 7> typed{};
        for (std::size_t n = 0; n < 7; ++n)
            if (txtNonWork[n]->isEnabled())
                typed[n] = {txtNonWork[n]->value(), txtNonWork[n]->tag()};
        ShowTimeOff();
        for (std::size_t n = 0; n < 7; ++n)
            if (typed[n].first != 0 && txtNonWork[n]->isEnabled()) {
                txtNonWork[n]->setValue(typed[n].first);
                txtNonWork[n]->setTag(reasonListed(typed[n].second) ? typed[n].second : 0);
            }
        ShowTotals();
    }
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    if (m_mayPrompt && m_state.started) {
        if (!askToSaveChanges()) {
            e->ignore();
            return;
        }
        if (m_week->Loaded())
            m_week->Unlock(m_state.lockIdentity);
    }
    if (m_hooks.releasePresence)
        m_hooks.releasePresence();
    e->accept();
}

} // namespace hv
