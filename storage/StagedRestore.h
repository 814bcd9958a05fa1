#pragma once
// The last step of a restore, made safe against a copy that dies halfway: the
// checked files wait in a staging folder inside the data folder; a marker file
// listing them is written (atomically, synced) before the first of them is
// renamed over its table file. Whoever finds the marker later finishes the
// renames; a staging folder without a marker is an unfinished restore that
// never touched the tables, and is thrown away. Either way the database is
// all old or all new, never a mix.
#include <string>
#include <vector>

namespace hv {

// Inside the data folder.
inline constexpr const char* kRestoreStagingFolder = "restore.stage";
inline constexpr const char* kRestoreMarkerFile = "restore.marker";
inline constexpr const char* kBackupStagingFolder = "backup.stage";

struct StagedFile {
    std::string staged; // name inside the staging folder
    std::string target; // name of the table file it replaces, inside the data folder
};

// True when a restore left its staging folder or its marker file behind.
bool RestoreLeftovers(const std::string& dataFolder);

// Writes the marker for these files, then moves them into place and removes
// marker and staging folder. False with the reason when a step failed; once
// the marker is written, finishing is left to FinishStagedRestore.
bool CommitStagedRestore(const std::string& dataFolder, const std::vector<StagedFile>& files, std::string& error);

// Finishes the renames a marker lists (deleting each target's leftover
// journal first, which would otherwise be rolled back into the new file),
// then removes marker and staging; without a marker, only removes the
// staging folder. Nothing may have the tables open meanwhile.
bool FinishStagedRestore(const std::string& dataFolder, std::string& error);

// Flushes a folder's entries (new names, renames) to disk.
bool SyncFolder(const std::string& folder);

} // namespace hv
