#include "backup/BackupCommon.h"

#include "storage/Presence.h"

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace hv {

FileDialogRequest archiveRequest(const std::string& title, const std::string& proposed)
{
    return {title, "Hourvane Backup Files (*.zip)", "zip", proposed};
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

MarkerHold::~MarkerHold() { ReleaseMaintenanceMarker(m_dm); }

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
