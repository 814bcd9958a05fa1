#include "backup/BackupCommon.h"

#include "platform/SettingsFile.h"
#include "storage/DataModule.h"
#include "storage/Prefer.h"
#include "storage/Presence.h"

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace hv {

namespace {

const char* const kLocked = "Unable to lock database for Backup. Please try again later.";
const char* const kBackupNotExclusive = "Other users are currently accessing Hourvane and you must have exclusive "
                                        "access to backup the database. Please try again later.";

} // namespace

std::string ChooseArchive(FileDialogService& dialogs, const std::string& settingsFileName, ProgressMode mode)
{
    const bool backup = mode == ProgressMode::Backup;
    SettingsFile settings(settingsFileName);
    const char* key = backup ? "LastBackup" : "LastRestore";
    const FileDialogRequest request{backup ? "Backup Hourvane Database" : "Restore Hourvane Database",
                                    "Hourvane Backup Files (*.zip)", "zip", settings.read(kPreferSection, key, "")};
    const std::string archive = backup ? dialogs.chooseSaveFile(request) : dialogs.chooseOpenFile(request);
    if (!archive.empty())
        settings.write(kPreferSection, key, archive);
    return archive;
}

MaintenanceAccess::MaintenanceAccess(THourvaneDataMod& dm, ProgressMode mode) : m_dm(dm)
{
    m_refusal.outcome = BackupOutcome::Refused;
    SingleAttempt once(dm.HourvaneDB);
    const bool taken = TakeMaintenanceMarker(dm);
    if (taken && OtherCopiesPresent(dm) == 0) {
        m_granted = true;
        return;
    }
    if (taken)
        ReleaseMaintenanceMarker(dm);
    // A restore says the same whoever holds the database; a backup tells a
    // running backup or restore from copies that are merely open.
    const char* text = mode == ProgressMode::Restore ? kRestoreNotExclusive : taken ? kBackupNotExclusive : kLocked;
    m_refusal.notices.push_back({text, MsgKind::Information});
}

MaintenanceAccess::~MaintenanceAccess()
{
    if (m_granted)
        ReleaseMaintenanceMarker(m_dm);
}

void requireFreeSpace(const std::string& folder, std::uint64_t bytes)
{
    std::error_code ec;
    const fs::space_info space = fs::space(folder, ec);
    if (ec)
        throw OperationFailure(ec.value(), folder + ": " + ec.message());
    if (space.available < bytes + kSpareBytes)
        throw OperationFailure(ENOSPC, "Not enough free disk space: " + std::to_string((bytes + kSpareBytes) >> 20) +
                                           " MB needed, " + std::to_string(space.available >> 20) + " MB free");
}

ProgressScope::ProgressScope(OperationProgress* display, ProgressMode mode) : m_display(display)
{
    if (m_display)
        m_display->start(mode);
}

ProgressScope::~ProgressScope() { close(); }

void ProgressScope::close()
{
    if (m_display)
        m_display->finish();
    m_display = nullptr;
}

} // namespace hv
