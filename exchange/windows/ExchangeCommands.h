#pragma once
// The commands of the data exchange windows, registered for the main window.
namespace hv {

class CommandRegistry;

// "mnuFileImport": the Data Import Wizard, when this copy can have the
// database to itself.
void RegisterExchangeWindows(CommandRegistry& registry);

} // namespace hv
