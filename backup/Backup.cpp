// The backup: snapshots of the table files in a staging folder inside the data
// folder, zipped into <name>.partial, tested against the snapshots, and only
// then renamed over the chosen name. An old archive of that name stays as it
// was until the new one is complete and tested.
#include "backup/BackupCommon.h"
#include "backup/BackupRestore.h"
#include "backup/ProgressFeed.h"
#include "engine/EngineError.h"
#include "engine/Snapshot.h"
#include "platform/ZipArchive.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/StagedRestore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv {
namespace {

const char* const kBackedUp =
    "The Backup archive has been tested and is OK.\r\rYour Hourvane database has been backed up successfully.";

Notice backupFailure(int code, const std::string& text)
{
    return {CutMessage("The following error occurred backing up your HourvaneDatabase: \r\r" + std::to_string(code) +
                       ": " + text + "\r\r" + "Please try again."),
            MsgKind::Warning};
}

// <name>.partial and the temporary files libzip writes beside it.
void removePartials(const std::string& archive)
{
    const fs::path target(archive);
    const std::string partial = target.filename().string() + ".partial";
    std::error_code ec;
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name == partial || name.rfind(partial + ".", 0) == 0) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
}

void syncFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw OperationFailure(errno, path + ": " + std::strerror(errno));
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!ok)
        throw OperationFailure(err, path + ": " + std::strerror(err));
}

std::uint64_t tableBytes(THourvaneDataMod& dm)
{
    std::uint64_t total = 0;
    std::error_code ec;
    for (auto* t : dm.tables())
        for (const std::string& name : {t->tableName(), t->sqlName() + ".blb", t->sqlName() + ".idx"}) {
            auto size = fs::file_size(dm.HourvaneDB.resolveFile(name), ec);
            if (!ec)
                total += size;
        }
    return total;
}

// Every table's files, as of one moment, into the staging folder.
std::vector<ZipEntryInfo> snapshot(THourvaneDataMod& dm, const std::string& staging)
{
    std::vector<std::string> names;
    {
        engine::ReadTransaction oneMoment(dm.HourvaneDB);
        for (auto* t : dm.tables())
            for (auto& name : engine::snapshotTable(*t, staging))
                names.push_back(std::move(name));
    }
    std::vector<ZipEntryInfo> snaps;
    for (const auto& name : names) {
        ZipEntryInfo info{name, 0, 0};
        if (!FileCrc32(staging + "/" + name, info.size, info.crc))
            throw OperationFailure(EIO, name + ": cannot be read");
        snaps.push_back(info);
    }
    return snaps;
}

// Entries that do not match a snapshot in name, size and CRC, or are missing.
int badEntries(const std::vector<ZipEntryInfo>& snaps, const ZipTestResult& tested)
{
    int good = 0;
    for (const auto& s : snaps)
        if (std::any_of(tested.good.begin(), tested.good.end(),
                        [&](const ZipEntryInfo& g) { return g.name == s.name && g.size == s.size && g.crc == s.crc; }))
            ++good;
    return std::max(int(snaps.size()), tested.entries) - good;
}

bool writeArchive(THourvaneDataMod& dm, const std::string& archive, OperationProgress* display,
                  std::vector<Notice>& notices)
{
    const std::string staging = dm.dataFolder() + kBackupStagingFolder;
    const std::string partial = archive + ".partial";
    struct Cleanup {
        std::string staging, archive;
        ~Cleanup()
        {
            std::error_code ec;
            fs::remove_all(staging, ec);
            removePartials(archive);
        }
    } cleanup{staging, archive};
    ProgressFeed feed(display);
    try {
        // What a killed backup left behind goes first.
        std::error_code ec;
        fs::remove_all(staging, ec);
        removePartials(archive);
        requireFreeSpace(dm.dataFolder(), tableBytes(dm));
        fs::create_directory(staging, ec);
        if (ec)
            throw OperationFailure(ec.value(), staging + ": " + ec.message());

        const std::vector<ZipEntryInfo> snaps = snapshot(dm, staging);
        std::vector<ZipSource> sources;
        for (const auto& s : snaps)
            sources.push_back({s.name, staging + "/" + s.name});
        ZipError zipError;
        if (!ZipArchive::create(partial, sources, kArchiveLevel, &feed, zipError))
            throw OperationFailure(zipError.code, zipError.text);

        if (display)
            display->secondPhase();
        ZipTestResult tested;
        if (!ZipArchive::test(partial, tested, &feed, zipError))
            throw OperationFailure(zipError.code, zipError.text);
        if (int bad = badEntries(snaps, tested); bad > 0) {
            notices.push_back({"ERROR: " + std::to_string(bad) + " files" +
                                   " in your backup file tested as bad, or were skipped!" + "\r\r" +
                                   "Please try your Hourvane Database backup again.",
                               MsgKind::Warning});
            return false;
        }
        syncFile(partial);
        fs::rename(partial, archive, ec);
        if (ec)
            throw OperationFailure(ec.value(), archive + ": " + ec.message());
        SyncFolder(fs::path(archive).parent_path().empty() ? "." : fs::path(archive).parent_path().string());
    } catch (const OperationFailure& f) {
        notices.push_back(backupFailure(f.code, f.what()));
        return false;
    } catch (const engine::EngineError& e) {
        notices.push_back(backupFailure(e.code(), e.message()));
        return false;
    } catch (const std::exception& e) {
        notices.push_back(backupFailure(0, e.what()));
        return false;
    }
    notices.push_back({kBackedUp, MsgKind::Information});
    return true;
}

} // namespace

BackupResult BackupDatabase(MaintenanceAccess& access, const std::string& archive, OperationProgress* progress)
{
    if (!access.granted())
        return access.refusal();
    BackupResult result;
    ProgressScope window(progress, ProgressMode::Backup);
    if (writeArchive(access.dm(), archive, progress, result.notices))
        result.outcome = BackupOutcome::Done;
    return result;
}

} // namespace hv
