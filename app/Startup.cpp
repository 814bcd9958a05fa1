#include "app/Startup.h"

#include "app/CommandLine.h"
#include "app/DeferredStartup.h"
#include "app/QtCursorService.h"
#include "app/QtFileDialogs.h"
#include "app/QtMessageService.h"
#include "app/QtPrinterQuery.h"
#include "app/SingleInstance.h"
#include "backup/windows/BackupCommands.h"
#include "backup/windows/Progress.h"
#include "exchange/migrate/windows/Convert.h"
#include "exchange/windows/ExchangeCommands.h"
#include "exchange/windows/ExportCommands.h"
#include "people/windows/PeopleCommands.h"
#include "platform/DateUtil.h"
#include "platform/Shell.h"
#include "platform/windows/HelpWindow.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "ports/PrinterQuery.h"
#include "reports/windows/ReportCommands.h"
#include "settings/windows/DayTip.h"
#include "settings/windows/PasswordWindowService.h"
#include "settings/windows/SettingsCommands.h"
#include "settings/windows/Splash.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "timekeeping/windows/Main.h"
#include "timeoff/windows/TimeOffCommands.h"
#include "widgets/CommandRegistry.h"
#include "widgets/WindowUtil.h"

#include <QApplication>
#include <QTimer>

#include <memory>
#include <vector>

namespace hv {

namespace {

// The migration-only start: the migration window over the data module, no
// splash, no main window and no presence slot; the run ends with the window.
int RunMigration(const RunOptions& options)
{
    ShowWaitCursor();
    std::unique_ptr<THourvaneDataMod> dm;
    TfrmProgress creating;
    try {
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{options.programFolder, options.settingsFileName, &creating, &appState()});
    } catch (const std::exception& e) {
        RestoreCursor();
        ShowMessageBox(e.what(), MsgKind::Error);
        return 1;
    }
    if (dm->terminateRequested()) {
        RestoreCursor();
        return 1;
    }
    TfrmConvert window(*dm, options.settingsFileName, options.programFolder);
    RestoreCursor();
    // The window is the main window of this run: the run ends with it.
    QObject::connect(&window, &QDialog::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    QApplication::exec();
    return 0;
}

// The program's own version information.
std::string ProgramVersion(const std::string& field) { return GetVersionString(ProgramFileName(), field); }

} // namespace

void RegisterProgramWindows(CommandRegistry& registry)
{
    RegisterTimeOffWindows(registry);
    RegisterSettingsWindows(registry);
    RegisterPeopleWindows(registry);
    RegisterReportWindows(registry);
    RegisterBackupWindows(registry);
    RegisterExchangeWindows(registry);
    RegisterExportWindows(registry);
}

int RunHourvane(int argc, char** argv, const RunOptions& options)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);

    AppState& state = appState();
    SingleInstance instance(InstanceServerName(options.userName.empty() ? LoginUserName() : options.userName));
    const StartMode mode = BeginProcess(arguments, instance, state);
    if (mode == StartMode::WokeOtherCopy)
        return 0;

    HelpWindow help(options.programFolder + "help/");
    setHelpService(&help);
    QtMessageService messages([&help](int context) { help.showTopic(context); });
    setMessageService(&messages);
    QtCursorService cursor;
    setCursorService(&cursor);
    PasswordWindowService passwords;
    setPasswordDialogs(&passwords);
    setPrinterQuery(&QtSystemPrinter);
    QtFileDialogs fileDialogs;
    state.programFolder = options.programFolder;
    struct Uninstall {
        ~Uninstall()
        {
            setPrinterQuery({});
            setPasswordDialogs(nullptr);
            setCursorService(nullptr);
            setMessageService(nullptr);
            setHelpService(nullptr);
        }
    } uninstall;

    if (mode == StartMode::Migration)
        return RunMigration(options);

    std::unique_ptr<THourvaneDataMod> dm;
    // Shown while a new database is created; no owner yet, so centred on the screen.
    TfrmProgress creating;
    try {
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{options.programFolder, options.settingsFileName, &creating, &state});
    } catch (const std::exception& e) {
        ShowMessageBox(e.what(), MsgKind::Error);
        return 1;
    }
    if (dm->terminateRequested())
        return 1;
    state.displayDateFormat = DateFormat();

    // Visible while the main window is built.
    auto splash = std::make_unique<TfrmSplash>(&ProgramVersion);
    splash->show();
    QApplication::processEvents();

    MainWindowHooks hooks;
    TfrmMain* mainWindow = nullptr;
    hooks.releasePresence = [&] { ReleasePresenceSlot(*dm, state); };
    hooks.deferredStartup = [&] {
        splash.reset();
        StartupCallbacks callbacks;
        callbacks.showTips = [&](const std::string& tipFile) {
            TfrmTips tips(tipFile, options.settingsFileName, mainWindow);
            tips.exec();
        };
        callbacks.closeMainWindow = [&] {
            // A refused start neither asks nor unlocks on the way out.
            mainWindow->setMayPrompt(false);
            QTimer::singleShot(0, mainWindow, &QWidget::close);
        };
        callbacks.waitCursor = [](bool on) { on ? ShowWaitCursor() : RestoreCursor(); };
        const std::string user = options.userName;
        DeferredStartup step(
            *dm, state, [user] { return user.empty() ? LoginUserName() : user; }, callbacks,
            options.settingsFileName);
        step.run();
        RestoreCursor();
    };

    CommandRegistry commands;
    RegisterProgramWindows(commands);
    TfrmMain window(*dm, state, commands, fileDialogs, hooks, options.settingsFileName);
    mainWindow = &window;
    window.setStartupDelay(options.startupDelayMs);
    instance.setWakeHandler([&window] { RestoreAndRaise(window); });
    window.show();
    const int code = QApplication::exec();
    instance.setWakeHandler({});
    return code;
}

} // namespace hv
