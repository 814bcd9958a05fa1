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
    TfrmProgress progress(c.owner);
    BackupDatabase(c.dm, {c.fileDialogs, c.settingsFileName, &progress, {}, nullptr});
    if (c.week)
        c.week->reload();
}

const char* const kRestartToFinish =
    "Hourvane must close now.  Start it again to finish restoring your Hourvane database.";

void restore(CommandContext& c)
{
    TfrmProgress progress(c.owner);
    // Once a file is chosen the shown week lets go of its locks, so that a
    // failed restore leaves none on rows no window shows.
    auto chosen = [&c] {
        if (c.week)
            c.week->releaseLocks();
    };
    const BackupOutcome outcome = RestoreDatabase(c.dm, {c.fileDialogs, c.settingsFileName, &progress, chosen, nullptr});
    if (outcome != BackupOutcome::Failed && outcome != BackupOutcome::Done)
        return; // refused or cancelled: the week, its changes and its locks stay
    if (!c.dm.HourvaneDB.connected()) {
        // Stopped between the renames: the tables stay closed, and the next
        // start finishes the restore from its marker.
        tell(kRestartToFinish, MsgKind::Information);
        c.refresh |= refresh::EndProgram;
        return;
    }
    if (c.week) {
        // A failed restore left the tables as they were: the week comes back
        // with its locks. A finished one replaced them.
        if (outcome == BackupOutcome::Failed)
            c.week->reload();
        else
            c.week->clear();
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
