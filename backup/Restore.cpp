// The restore: the archive's names and sizes are bounded and checked, every
// entry is tested, the tables' entries are extracted into a staging folder
// inside the data folder and checked as databases of this program; only then,
// with the connection closed, are they renamed over the table files, behind a
// marker file that lets the next start finish the renames if this copy dies.
#include "backup/ArchiveEntries.h"
#include "backup/BackupCommon.h"
#include "backup/BackupRestore.h"
#include "backup/ProgressFeed.h"
#include "engine/EngineError.h"
#include "engine/Snapshot.h"
#include "engine/Table.h"
#include "platform/Format.h"
#include "platform/ZipArchive.h"
#include "ports/MessageService.h"
#include "storage/CreateTables.h"
#include "storage/DataModule.h"
#include "storage/Presence.h"
#include "storage/StagedRestore.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace hv {
namespace {

const char* const kNotOurs = "The backup file you selected does not appear to be a Hourvane Database Backup file.  "
                             "Please select another backup file and try again.";
const char* const kRestored = "Your Hourvane Database Restore was successful.";

Notice restoreFailure(int code, const std::string& text)
{
    return {CutMessage("The following error occurred restoring your HourvaneDatabase: \r\r" + std::to_string(code) +
                       ": " + text + "\r\r" + "Please try again."),
            MsgKind::Warning};
}

// One file the archive must hold: its name in the archive (upper case), the
// staged name, and the table file it replaces.
struct Expected {
    std::string entryName;
    std::string stagedName;
    std::string target;
    const TableLayout* layout;
    enum Kind { Data, Definition, Blob } kind;
    int index = -1; // of the entry, once found
};

std::vector<Expected> expectedFiles(const engine::Database& db)
{
    std::vector<Expected> out;
    auto file = [&db](const std::string& name) { return fs::path(db.resolveFile(name)).filename().string(); };
    for (const auto& layout : tableLayouts()) {
        const std::string base = fs::path(layout.fileName).stem().string();
        out.push_back({UpperCase(layout.fileName), base + ".dat", file(layout.componentFile), &layout, Expected::Data});
        out.push_back({UpperCase(base + ".idx"), base + ".idx", file(base + ".idx"), &layout, Expected::Definition});
    }
    // Memo values live in a blob file beside the table.
    for (const auto& layout : tableLayouts())
        if (layout.def.hasMemo()) {
            const std::string base = fs::path(layout.fileName).stem().string();
            out.push_back({UpperCase(base + ".blb"), base + ".blb", file(base + ".blb"), &layout, Expected::Blob});
        }
    return out;
}

bool sameLayout(const engine::TableDef& a, const engine::TableDef& b)
{
    if (a.fields.size() != b.fields.size())
        return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (!engine::sameName(a.fields[i].name, b.fields[i].name) || a.fields[i].type != b.fields[i].type)
            return false;
    return true;
}

// The staged files are this program's tables: sound SQLite files whose layout
// is ours, as the engine sees them when it opens them over the staging folder.
bool stagedFilesAreOurs(const std::string& staging, const std::vector<Expected>& files)
{
    for (const auto& f : files)
        if (f.kind != Expected::Definition && !engine::checkDatabaseFile(staging + "/" + f.stagedName).empty())
            return false;
    engine::Database check;
    check.setDirectory(staging);
    check.setLockRetryCount(0);
    check.connect();
    std::vector<std::unique_ptr<engine::Table>> tables;
    try {
        for (const auto& layout : tableLayouts()) {
            tables.push_back(std::make_unique<engine::Table>(check, layout.componentName));
            engine::Table& t = *tables.back();
            t.setTableName(layout.componentFile);
            t.open(engine::OpenMode::Shared, true);
            if (!sameLayout(t.definition(), layout.def))
                return false;
        }
    } catch (const engine::EngineError&) {
        return false;
    }
    return true;
}

// Lists and bounds the archive; the missing names, or nullopt when the archive
// is plainly not one of ours.
std::optional<std::vector<std::string>> checkEntries(const std::vector<ZipEntryInfo>& entries,
                                                     std::vector<Expected>& files)
{
    if (!ArchiveEntriesAcceptable(entries))
        return std::nullopt;
    std::vector<std::string> missing;
    for (auto& f : files) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (UpperCase(entries[i].name) == f.entryName)
                f.index = int(i);
        if (f.index < 0)
            missing.push_back(f.entryName);
    }
    return missing;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

enum class Result { Done, Failed, Rejected, FilesMissing, Mixed };

// Everything between closing and reopening the tables. Messages of failures
// are shown here; the ones that follow the reopening are the caller's.
Result restoreFrom(THourvaneDataMod& dm, const std::string& archive, OperationProgress* display,
                   std::string& missingList, std::vector<Notice>& notices)
{
    const std::string folder = dm.dataFolder();
    const std::string staging = folder + kRestoreStagingFolder;
    ProgressFeed feed(display);
    bool committing = false;
    bool archiveFault = false; // the archive cannot be read through: refused, not an I/O failure here
    try {
        std::vector<ZipEntryInfo> entries;
        ZipError zipError;
        if (!ZipArchive::list(archive, entries, zipError)) {
            archiveFault = true;
            throw OperationFailure(zipError.code, zipError.text);
        }
        std::vector<Expected> files = expectedFiles(dm.HourvaneDB);
        auto missing = checkEntries(entries, files);
        if (!missing) {
            notices.push_back({kNotOurs, MsgKind::Information});
            return Result::Rejected;
        }
        if (!missing->empty()) {
            missingList = joined(*missing);
            return Result::FilesMissing;
        }

        // Before reading anything through: the staged files must fit beside the tables.
        std::uint64_t needed = 0;
        std::vector<ZipExtractItem> items;
        for (const auto& f : files) {
            needed += entries[std::size_t(f.index)].size;
            items.push_back({f.index, staging + "/" + f.stagedName});
        }
        requireFreeSpace(folder, needed);

        ZipTestResult tested;
        if (!ZipArchive::test(archive, tested, &feed, zipError)) {
            archiveFault = true;
            throw OperationFailure(zipError.code, zipError.text);
        }
        if (int bad = tested.entries - int(tested.good.size()); bad > 0) {
            notices.push_back({"ERROR: " + std::to_string(bad) + " files" +
                                   " in your Database Backup file tested as bad!" + "\r\r" +
                                   "Please select another Database backup file and " + " try again.",
                               MsgKind::Warning});
            return Result::Rejected;
        }

        if (display)
            display->secondPhase();
        if (!ZipArchive::extract(archive, items, &feed, zipError))
            throw OperationFailure(zipError.code, zipError.text);
        if (!stagedFilesAreOurs(staging, files)) {
            notices.push_back({kNotOurs, MsgKind::Information});
            return Result::Rejected;
        }

        std::vector<StagedFile> moves;
        for (const auto& f : files)
            moves.push_back({f.stagedName, f.target});
        committing = true;
        std::string error;
        if (!CommitStagedRestore(folder, moves, error))
            throw OperationFailure(EIO, error);
        return Result::Done;
    } catch (const OperationFailure& f) {
        notices.push_back(restoreFailure(f.code, f.what()));
    } catch (const engine::EngineError& e) {
        notices.push_back(restoreFailure(e.code(), e.message()));
    } catch (const std::exception& e) {
        notices.push_back(restoreFailure(0, e.what()));
    }
    std::error_code ec;
    // Once the marker is written the files are half moved: only finishing
    // the renames (now or at the next start) gives a whole database.
    if (committing && fs::exists(folder + kRestoreMarkerFile, ec))
        return Result::Mixed;
    return archiveFault ? Result::Rejected : Result::Failed;
}

} // namespace

BackupResult RestoreDatabase(MaintenanceAccess& access, const std::string& archive, OperationProgress* progress)
{
    if (!access.granted())
        return access.refusal();
    THourvaneDataMod& dm = access.dm();
    BackupResult out;
    auto& notices = out.notices;
    Result result = Result::Failed;
    std::string missingList;
    ProgressScope window(progress, ProgressMode::Restore);
    const std::string staging = dm.dataFolder() + kRestoreStagingFolder;
    std::error_code ec;
    // The staging folder is there before the exclusive check: a copy that
    // starts from now on finds it beside the held marker and stops.
    fs::remove_all(staging, ec);
    fs::create_directory(staging, ec);
    bool alone = !ec;
    if (alone) {
        // A copy that has opened the tables but not yet taken its slot
        // shows only in the tables' open locks.
        SingleAttempt once(dm.HourvaneDB);
        try {
            dm.ReopenTables(TableMode::Exclusive);
        } catch (const engine::EngineError&) {
            alone = false;
        }
    }
    if (!alone) {
        fs::remove_all(staging, ec);
        dm.ReopenTables(TableMode::Shared);
        notices.push_back({kRestoreNotExclusive, MsgKind::Information});
        return out;
    }
    dm.ReopenTables(TableMode::Closed);
    result = restoreFrom(dm, archive, progress, missingList, notices);
    if (result != Result::Mixed) {
        fs::remove_all(staging, ec);
        try {
            dm.ReopenTables(TableMode::Shared);
        } catch (const engine::EngineError& e) {
            notices.push_back(restoreFailure(e.code(), e.message()));
            result = Result::Failed;
        }
    }
    if (result == Result::FilesMissing) {
        if (missingList.size() <= 60)
            notices.push_back({"The following database files are missing from your database backup file:\r\r" +
                                   missingList + "\r\r" + "Please select another backup file and try again.",
                               MsgKind::Information});
        else
            notices.push_back({kNotOurs, MsgKind::Information});
    } else if (result == Result::Done) {
        notices.push_back({kRestored, MsgKind::Information});
    }
    out.outcome = result == Result::Done ? BackupOutcome::Done : BackupOutcome::Failed;
    out.archiveRejected = result == Result::Rejected || result == Result::FilesMissing;
    out.restartNeeded = !dm.HourvaneDB.connected();
    return out;
}

} // namespace hv
