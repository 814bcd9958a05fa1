#pragma once
// The File menu's backup and restore commands.
namespace hv {

class CommandRegistry;

void RegisterBackupWindows(CommandRegistry& registry);

} // namespace hv
