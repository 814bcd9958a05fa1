#pragma once
// The main window's printing commands: "&Print" (the shown week's time card
// straight to the printer) and "Printer &Setup...".
#include "reports/windows/ReportWindowServices.h"

namespace hv {

class CommandRegistry;

// Without services, Qt's printer and printer dialog.
void RegisterReportWindows(CommandRegistry& registry, ReportWindowServices services = {});

} // namespace hv
