#include "storage/DataModule.h"

#include "engine/EngineError.h"
#include "platform/SettingsFile.h"
#include "ports/MessageService.h"
#include "storage/CreateTables.h"
#include "storage/Presence.h"
#include "storage/StagedRestore.h"

#include <QStandardPaths>
#include <QString>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv {
namespace {

std::string withSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string defaultDataFolder(const std::string& programFolder)
{
    std::string folder = withSeparator(programFolder);
    if (!folder.empty() && ::access(folder.c_str(), W_OK) == 0)
        return folder + "Data";
    std::string user =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    return withSeparator(user) + "Data";
}

THourvaneDataMod::THourvaneDataMod(DataModuleOptions options) :
    tblAccruals(HourvaneDB, "tblAccruals"),
    tblDepts(HourvaneDB, "tblDepts"),
    tblEmpOther(HourvaneDB, "tblEmpOther"),
    tblEmps(HourvaneDB, "tblEmps"),
    tblFields(HourvaneDB, "tblFields"),
    tblPolicy(HourvaneDB, "tblPolicy"),
    tblPreferences(HourvaneDB, "tblPreferences"),
    tblReasons(HourvaneDB, "tblReasons"),
    tblTimeOff(HourvaneDB, "tblTimeOff"),
    tblWages(HourvaneDB, "tblWages"),
    tblEmpOT(HourvaneDB, "tblEmpOT"),
    tblOTPolicy(HourvaneDB, "tblOTPolicy"),
    tblWorkDay(HourvaneDB, "tblWorkDay"),
    tblUsers(HourvaneDB, "tblUsers"),
    qryBlank(HourvaneDB, "qryBlank"),
    qryTOTotalHours(HourvaneDB, "qryTOTotalHours"),
    m_options(std::move(options)),
    m_ownState(m_options.state ? nullptr : std::make_unique<AppState>()),
    m_state(m_options.state ? m_options.state : m_ownState.get())
{
    m_tables = {&tblAccruals, &tblDepts,   &tblEmpOther, &tblEmps,     &tblFields,
                &tblPolicy,   &tblPreferences, &tblReasons, &tblTimeOff, &tblWages,
                &tblEmpOT,    &tblOTPolicy, &tblWorkDay, &tblUsers};
    HourvaneDB.setDatabaseName("Hourvane");
    for (auto* t : m_tables)
        t->setTableName(findLayout(t->componentName())->componentFile);
    for (const char* line : {"select sum(Hours) as TotalHours", "from TimeOff", "where EmpID = :EmpID",
                             "   and ReasonID = :ReasonID", "   and WeekDate >= :StartDate",
                             "   and WeekDate <= :EndDate"})
        qryTOTotalHours.addSql(line);
    start();
}

THourvaneDataMod::~THourvaneDataMod()
{
    try {
        destroy();
    } catch (...) {
    }
}

std::string THourvaneDataMod::GetDataFolder() const
{
    if (!m_options.dataFolder.empty())
        return withSeparator(m_options.dataFolder);
    SettingsFile settings(m_options.settingsFileName);
    std::string folder = settings.read("Initialization", "HourvaneDataDir", "");
    if (folder.empty()) {
        folder = defaultDataFolder(m_options.programFolder);
        settings.write("Initialization", "HourvaneDataDir", folder);
    }
    return withSeparator(folder);
}

engine::Table& THourvaneDataMod::table(const std::string& componentName)
{
    for (auto* t : m_tables)
        if (t->componentName() == componentName)
            return *t;
    throw engine::EngineTextError("The data module has no table component " + componentName);
}

void THourvaneDataMod::start()
{
    m_folder = GetDataFolder();
    ProgressDisplay* progress = m_options.progress;
    std::error_code ec;
    if (!fs::is_directory(m_folder, ec))
        fs::create_directory(m_folder, ec); // one level only; a failure shows when creating tables

    HourvaneDB.disconnect();
    HourvaneDB.setDirectory(m_folder);
    if (RestoreLeftovers(m_folder) && !settleInterruptedRestore()) {
        m_terminate = true;
        return;
    }
    bool exists = fs::exists(HourvaneDB.resolveFile("Reason.dat"), ec);
    if (exists || !progress) {
        CreateTables(HourvaneDB);
    } else {
        progress->setMaximum(15);
        progress->setPosition(0);
        progress->setMainLabel("Creating Hourvane Database...", true);
        progress->setArrowVisible(false);
        progress->setSecondLabelVisible(false);
        progress->showAndPaint();
        CreateTables(HourvaneDB, [progress] { progress->step(); });
    }

    HourvaneDB.connect();
    HourvaneDB.setLanguage(0);
    HourvaneDB.setForceBufferFlush(true);

    for (auto* t : m_tables) {
        openTable(*t);
        if (m_terminate)
            break;
    }
    if (!m_terminate && tblTimeOff.active())
        qryTOTotalHours.prepare();
    if (progress)
        progress->release();
}

bool THourvaneDataMod::settleInterruptedRestore()
{
    // A restore in progress holds the maintenance marker; taking it here also
    // keeps two starting copies from finishing the same restore at once.
    if (!TakeMaintenanceMarker(*this)) {
        ShowMessageBox(kMaintenanceMessage, MsgKind::Information, MsgButtons::Ok, 0);
        return false;
    }
    std::string error;
    const bool done = FinishStagedRestore(m_folder, error);
    ReleaseMaintenanceMarker(*this);
    if (!done)
        // Opening a database of two halves would be worse than not starting.
        ShowMessageBox("The interrupted restore of the Hourvane database could not be finished.\r\r" + error,
                       MsgKind::Error, MsgButtons::Ok, 0);
    return done;
}

void THourvaneDataMod::openTable(engine::Table& t)
{
    try {
        t.open(engine::OpenMode::Shared, false);
        return;
    } catch (const engine::EngineError& e) {
        if (!engine::isDamageCode(e.code())) {
            // Left closed, every later use would fail without a word: say why now.
            ShowMessageBox("The " + t.tableName() + " table could not be opened.\r\r" + e.message(),
                           MsgKind::Warning, MsgButtons::Ok, 0);
            return;
        }
    }
    ShowMessageBox("The " + t.tableName() + " table was corrupted. " + " Attempting to repair the table.",
                   MsgKind::Warning, MsgButtons::Ok, 0);
    try {
        t.repairTable();
        t.open(engine::OpenMode::Shared, false);
        ShowMessageBox("The table was successfully repaired but some data may have been lost.  "
                       "Please verify that all of your information is still present.",
                       MsgKind::Information, MsgButtons::Ok, 0);
    } catch (const engine::EngineError&) {
        ShowMessageBox("The repair failed to fix the table.  Please restore the table from your backup "
                       "copy and start Hourvane again.",
                       MsgKind::Error, MsgButtons::Ok, 0);
        m_terminate = true;
    }
}

void THourvaneDataMod::ReopenTables(TableMode mode)
{
    switch (mode) {
    case TableMode::Shared:
    {
        if (!HourvaneDB.connected())
            HourvaneDB.connect();
        // Every table gets its chance; the first failure is reported afterwards.
        std::exception_ptr failure;
        for (auto* t : m_tables) {
            try {
                if (t->active())
                    t->changeMode(engine::OpenMode::Shared);
                else
                    t->open(engine::OpenMode::Shared, false);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
        if (tblTimeOff.active())
            qryTOTotalHours.prepare();
        if (failure)
            std::rethrow_exception(failure);
        break;
    }
    case TableMode::Exclusive: {
        qryTOTotalHours.unprepare();
        qryTOTotalHours.close();
        qryBlank.close();
        if (!HourvaneDB.connected())
            HourvaneDB.connect();
        std::vector<engine::Table*> done;
        try {
            for (auto* t : m_tables) {
                if (t->active())
                    t->changeMode(engine::OpenMode::Exclusive);
                else
                    t->open(engine::OpenMode::Exclusive, false);
                done.push_back(t);
            }
        } catch (...) {
            // Half-exclusive would lock other copies out for nothing: step back.
            for (auto* t : done)
                try {
                    t->changeMode(engine::OpenMode::Shared);
                } catch (...) {
                }
            throw;
        }
        break;
    }
    case TableMode::Closed:
        for (auto* t : m_tables)
            t->close();
        HourvaneDB.disconnect();
        break;
    }
}

void THourvaneDataMod::destroy()
{
    for (auto* t : m_tables)
        t->close();
    qryBlank.close();
    qryTOTotalHours.close();
    qryTOTotalHours.unprepare();
    HourvaneDB.disconnect();
}

void execBlank(THourvaneDataMod& dm, const std::string& sql)
{
    engine::Query& q = dm.qryBlank;
    q.clearSql();
    q.addSql(sql);
    try {
        q.prepare();
        q.execSql();
    } catch (...) {
        q.unprepare();
        throw;
    }
    q.unprepare();
}

} // namespace hv
