#pragma once
// The export's command, registered for the main window.
namespace hv {

class CommandRegistry;

// "mnuFileExport": the Data Export Wizard. It only reads, so other copies
// may go on working.
void RegisterExportWindows(CommandRegistry& registry);

} // namespace hv
