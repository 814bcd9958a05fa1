#pragma once
// Backing the database up into one zip archive and restoring it from one,
// under exclusive use of the database. No widgets: the caller chooses the
// archive, shows the progress through OperationProgress and shows or prints
// the notices of the result.
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"

#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

enum class ProgressMode { Backup, Restore };

// The "Please wait..." window as backup and restore drive it.
class OperationProgress {
public:
    virtual ~OperationProgress() = default;
    // Shows the window in the mode: the first line with the arrow at it, the
    // second line hidden, the bar at 0 of kProgressMaximum.
    virtual void start(ProgressMode mode) = 0;
    // Shows the second line and moves the arrow to it.
    virtual void secondPhase() = 0;
    virtual void setBarPosition(int position) = 0;
    virtual void finish() = 0;
};

inline constexpr int kProgressMaximum = 10001;

enum class BackupOutcome {
    Refused,   // another copy is using the database; nothing was touched
    Cancelled, // the caller's dialog chose no archive
    Failed,    // the database (and an old archive of the name) are as they were
    Done,
};

struct BackupResult {
    BackupOutcome outcome = BackupOutcome::Failed;
    // Restore: the archive itself was refused (not a backup of ours, an entry
    // that tests bad, files missing), not a failing disk.
    bool archiveRejected = false;
    // Restore: stopped between the renames. The tables stay closed; the next
    // start finishes the restore from its marker.
    bool restartNeeded = false;
    std::vector<Notice> notices; // in the order they arose; the caller shows them
    bool done() const { return outcome == BackupOutcome::Done; }
};

// The database to this copy alone for a backup or a restore: the maintenance
// marker taken and no other copy present, or the refusal and its notice.
// The marker is free again when the access ends.
class MaintenanceAccess {
public:
    MaintenanceAccess(THourvaneDataMod& dm, ProgressMode mode);
    ~MaintenanceAccess();
    MaintenanceAccess(const MaintenanceAccess&) = delete;
    MaintenanceAccess& operator=(const MaintenanceAccess&) = delete;

    bool granted() const { return m_granted; }
    THourvaneDataMod& dm() const { return m_dm; }
    // Outcome Refused with its notice when not granted.
    const BackupResult& refusal() const { return m_refusal; }

private:
    THourvaneDataMod& m_dm;
    bool m_granted = false;
    BackupResult m_refusal;
};

// The archive for a backup or restore chosen in the dialog, which proposes the
// one chosen last; a chosen name is remembered in the settings file for next
// time. Empty when the dialog was cancelled.
std::string ChooseArchive(FileDialogService& dialogs, const std::string& settingsFileName, ProgressMode mode);

// Writes the tested archive under the name; an old archive of that name stays
// as it was until the new one is complete. The caller settles and unlocks
// the shown week first.
BackupResult BackupDatabase(MaintenanceAccess& access, const std::string& archive, OperationProgress* progress);

// Checks and tests the archive and replaces the database's files only when
// every check passed. The caller lets go of its row locks first. The tables
// are open again for shared use when it returns, unless restartNeeded.
BackupResult RestoreDatabase(MaintenanceAccess& access, const std::string& archive, OperationProgress* progress);

} // namespace hv
