#pragma once
// The data module: the one holder of the connection, the fourteen table
// components and the two queries. It finds the data folder, creates the
// database when it is new, opens every table for shared use and repairs a
// damaged one.
#include "engine/Database.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/ProgressDisplay.h"
#include "storage/AppState.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hv {

struct DataModuleOptions {
    DataModuleOptions() = default;
    DataModuleOptions(std::string programFolder, std::string settingsFileName = "Hourvane3.ini",
                      ProgressDisplay* progress = nullptr, AppState* state = nullptr) :
        programFolder(std::move(programFolder)),
        settingsFileName(std::move(settingsFileName)),
        progress(progress),
        state(state)
    {
    }

    std::string programFolder;                    // with a trailing separator
    std::string settingsFileName = "Hourvane3.ini";
    ProgressDisplay* progress = nullptr;          // may be null
    // Used instead of the settings file's folder when set (the command-line
    // program's --data); the settings file is then left as it is.
    std::string dataFolder;
    // The running copy's state (its lock identity, the date format shown),
    // which the records of this module use. Null: the module keeps a state
    // of its own, as a second copy inside a test does.
    AppState* state = nullptr;
};

enum class TableMode { Shared, Exclusive, Closed };

class THourvaneDataMod {
public:
    // Runs the start sequence (DataModuleCreate).
    explicit THourvaneDataMod(DataModuleOptions options);
    ~THourvaneDataMod(); // DataModuleDestroy
    THourvaneDataMod(const THourvaneDataMod&) = delete;
    THourvaneDataMod& operator=(const THourvaneDataMod&) = delete;

    // Data folder from the settings file, or the program folder + "Data"
    // (written back at once); always with a trailing separator.
    std::string GetDataFolder() const;
    const std::string& dataFolder() const { return m_folder; }

    void ReopenTables(TableMode mode);

    // The "Please wait..." display the module was started with; may be null.
    ProgressDisplay* progress() const { return m_options.progress; }
    // The copy's state the module was started with.
    AppState& state() const { return *m_state; }

    // Set when a damaged table could not be repaired: the program must end.
    bool terminateRequested() const { return m_terminate; }

    engine::Table& table(const std::string& componentName);
    const std::vector<engine::Table*>& tables() const { return m_tables; }

    engine::Database HourvaneDB;
    engine::Table tblAccruals, tblDepts, tblEmpOther, tblEmps, tblFields, tblPolicy, tblPreferences,
        tblReasons, tblTimeOff, tblWages, tblEmpOT, tblOTPolicy, tblWorkDay, tblUsers;
    engine::Query qryBlank;
    engine::Query qryTOTotalHours;

private:
    void start();
    void openTable(engine::Table& t);
    // Finishes or discards what a restore that stopped halfway left behind;
    // false when the program must end (the restore is still running elsewhere,
    // or its files cannot be put in place).
    bool settleInterruptedRestore();
    void destroy();

    DataModuleOptions m_options;
    std::unique_ptr<AppState> m_ownState;
    AppState* m_state;
    std::string m_folder;
    std::vector<engine::Table*> m_tables;
    bool m_terminate = false;
};

// The folder used when no data folder is set: the program folder + "Data",
// or, when the program folder is not writable, the user's data location + "Data".
std::string defaultDataFolder(const std::string& programFolder);

// One statement through the data module's qryBlank: prepared, executed and
// released again, so nothing of it stays open on the connection.
void execBlank(THourvaneDataMod& dm, const std::string& sql);

} // namespace hv
