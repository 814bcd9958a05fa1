#include "backup/windows/BackupCommands.h"

#include "backup/BackupRestore.h"
#include "backup/windows/Progress.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "widgets/CommandRegistry.h"

namespace hv {
namespace {

const char* const kSaveBeforeBackup =
    "The current Hourvane record has been changed.  Do you want to save your changes before making the backup?";

void backup(CommandContext& c)
{
    if (c.week) {
        if (!c.week->settleChanges(kSaveBeforeBackup))
            return;
        // A backup must not carry this copy's row locks into the archive.
        c.week->releaseLocks();
    }
    BackupResult result;
    {
        MaintenanceAccess access(c.dm, ProgressMode::Backup);
        if (!access.granted()) {
            tellAll(access.refusal().notices);
        } else if (const std::string archive = ChooseArchive(c.fileDialogs, c.settingsFileName, ProgressMode::Backup);
                   !archive.empty()) {
            TfrmProgress progress(c.owner);
            result = BackupDatabase(access, archive, &progress);
        }
    }
    // The other copies may start again before the user reads the message.
    tellAll(result.notices);
    if (c.week)
        c.week->reload();
}

const char* const kRestartToFinish =
    "Hourvane must close now.  Start it again to finish restoring your Hourvane database.";

void restore(CommandContext& c)
{
    BackupResult result;
    {
        MaintenanceAccess access(c.dm, ProgressMode::Restore);
        if (!access.granted()) {
            tellAll(access.refusal().notices);
            return;
        }
        const std::string archive = ChooseArchive(c.fileDialogs, c.settingsFileName, ProgressMode::Restore);
        if (archive.empty())
            return; // cancelled: the week, its changes and its locks stay
        // The shown week lets go of its locks, so that a failed restore
        // leaves none on rows no window shows.
        if (c.week)
            c.week->releaseLocks();
        TfrmProgress progress(c.owner);
        result = RestoreDatabase(access, archive, &progress);
    }
    tellAll(result.notices);
    if (result.restartNeeded) {
        // Stopped between the renames: the tables stay closed, and the next
        // start finishes the restore from its marker.
        tell(kRestartToFinish, MsgKind::Information);
        c.refresh |= refresh::EndProgram;
        return;
    }
    if (c.week) {
        // A failed restore left the tables as they were: the week comes back
        // with its locks. A finished one replaced them.
        if (result.done())
            c.week->clear();
        else
            c.week->reload();
    }
    c.refresh |= refresh::EmployeeList;
}

} // namespace

void RegisterBackupWindows(CommandRegistry& registry)
{
    registry.add({"mnuFileBackup"}, {backup, refresh::None, true});
    registry.add({"mnuFileRestore"}, {restore, refresh::None, true});
}

} // namespace hv
