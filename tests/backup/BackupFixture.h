#pragma once
// A started data module on a copy of one generated database, a scripted file
// dialog, a recording progress window and a folder for archives; helpers that
// run the backup and restore as the program does and look at the folder.
#include "backup/BackupRestore.h"
#include "engine/Snapshot.h"
#include "engine/Table.h"
#include "platform/SettingsFile.h"
#include "platform/ZipArchive.h"
#include "storage/CreateTables.h"
#include "storage/Presence.h"
#include "storage/StagedRestore.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace hv::test {

class RecordingOperation : public OperationProgress {
public:
    void start(ProgressMode m) override { mode = m, started = true, phase = 1; }
    void secondPhase() override { phase = 2; }
    void setBarPosition(int position) override { positions.push_back(position); }
    void finish() override { finished = true; }

    ProgressMode mode = ProgressMode::Backup;
    bool started = false, finished = false;
    int phase = 0;
    std::vector<int> positions;
};

inline const char* const kBackedUp =
    "The Backup archive has been tested and is OK.\r\rYour Hourvane database has been backed up successfully.";
inline const char* const kRestored = "Your Hourvane Database Restore was successful.";
inline const char* const kNotOurs = "The backup file you selected does not appear to be a Hourvane Database Backup "
                                    "file.  Please select another backup file and try again.";
inline const char* const kBackupNotExclusive = "Other users are currently accessing Hourvane and you must have "
                                               "exclusive access to backup the database. Please try again later.";
inline const char* const kRestoreNotExclusive = "Other users are currently accessing Hourvane and you must have "
                                                "exclusive access to restore the database. Please try again later.";

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every file under the folder (relative name -> bytes).
inline std::map<std::string, std::string> folderFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        files[std::filesystem::relative(e.path(), folder).string()] = e.is_regular_file() ? fileBytes(e.path()) : "/";
    return files;
}

// Whether another copy could take the maintenance marker now.
inline bool markerFree(const std::string& folder)
{
    engine::Database probe;
    probe.setDirectory(folder);
    probe.setLockRetryCount(0);
    engine::Table reasons(probe, "probe");
    reasons.setTableName("reason.DAT");
    const bool taken = reasons.lockSemaphore(kMaintenanceSemaphore);
    if (taken)
        reasons.unlockSemaphore(kMaintenanceSemaphore);
    return taken;
}

class BackupTest : public StorageTest {
protected:
    static void SetUpTestSuite()
    {
        s_template = new TempDir;
        std::string error;
        if (!GenerateData(s_template->folder(), 12, 1, "42", &error))
            FAIL() << error;
    }
    static void TearDownTestSuite()
    {
        delete s_template;
        s_template = nullptr;
    }

    void SetUp() override
    {
        StorageTest::SetUp();
        std::filesystem::copy(s_template->path(), dataFolder, std::filesystem::copy_options::recursive);
        start();
        ASSERT_FALSE(dm->terminateRequested()) << messages.last();
    }

    // Runs the operation as the File menu does, the file dialog answering
    // path (empty: cancelled), and shows its notices.
    BackupOutcome run(ProgressMode mode, const std::string& path)
    {
        if (!path.empty())
            dialogs.answer(path);
        BackupResult result;
        {
            MaintenanceAccess access(*dm, mode);
            if (!access.granted()) {
                tellAll(access.refusal().notices);
                return BackupOutcome::Refused;
            }
            const std::string archive = ChooseArchive(dialogs, "Hourvane3.ini", mode);
            if (archive.empty())
                return BackupOutcome::Cancelled;
            result = mode == ProgressMode::Backup ? BackupDatabase(access, archive, &operation)
                                                  : RestoreDatabase(access, archive, &operation);
        }
        tellAll(result.notices);
        return result.outcome;
    }
    BackupOutcome backup(const std::string& path) { return run(ProgressMode::Backup, path); }
    BackupOutcome restore(const std::string& path) { return run(ProgressMode::Restore, path); }

    std::string fingerprint() { return DatabaseFingerprint(dm->HourvaneDB); }
    static std::string setting(const std::string& key)
    {
        return SettingsFile("Hourvane3.ini").read("Initialization", key, "");
    }
    std::string archive(const std::string& name) const { return archives.folder() + name; }

    // Every table file of the data folder by its own name, as a backup holds them.
    std::vector<std::string> tableFileNames() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dataFolder)) {
            std::string ext = e.path().extension().string();
            for (char& c : ext)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (ext == ".dat" || ext == ".idx" || ext == ".blb")
                names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Every table and blob file passes SQLite's integrity check; call with no
    // connection of this process open on the folder.
    void expectSoundFiles()
    {
        for (const auto& name : tableFileNames()) {
            if (!name.ends_with(".idx")) {
                EXPECT_EQ(engine::checkDatabaseFile(dataFolder + name), "") << name;
            }
        }
    }

    static inline TempDir* s_template = nullptr;
    TempDir archives;
    ScriptedFileDialogs dialogs;
    RecordingOperation operation;
};

} // namespace hv::test
