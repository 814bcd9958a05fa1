#pragma once
// Backing the database up into one zip archive and restoring it from one,
// under exclusive use of the database. No widgets: the file dialog, the
// progress window and the messages are reached through services.
#include <functional>
#include <string>

namespace hv {

class THourvaneDataMod;
class FileDialogService;

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

struct BackupServices {
    FileDialogService& fileDialogs;
    std::string settingsFileName;
    OperationProgress* progress = nullptr; // may be null
    // Restore only: runs once a file is chosen, before anything is read.
    std::function<void()> fileChosen;
    // Restore only, may be null: set true when the archive itself was refused
    // (not a backup of ours, an entry that tests bad, files missing), so that
    // a script can tell a bad archive from a failing disk.
    bool* archiveRejected = nullptr;
};

enum class BackupOutcome {
    Refused,   // another copy is using the database; nothing asked
    Cancelled, // no file was chosen
    Failed,    // a file was chosen; the database (and an old archive) are as they were
    Done,
};

// Takes the maintenance marker, checks that no other copy is present, asks
// for the archive's name and writes the tested archive; the marker is free
// again when it returns. The caller settles and unlocks the shown week first.
BackupOutcome BackupDatabase(THourvaneDataMod& dm, const BackupServices& services);

// Takes the marker, checks for other copies, asks for the archive, checks and
// tests it, and replaces the database's files only when every check passed.
// The tables are open again for shared use when it returns.
BackupOutcome RestoreDatabase(THourvaneDataMod& dm, const BackupServices& services);

} // namespace hv
