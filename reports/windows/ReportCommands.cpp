#include "reports/windows/ReportCommands.h"

#include "reports/HVReport.h"
#include "reports/windows/QtReportWindows.h"
#include "storage/CursorService.h"
#include "storage/HVGlobal.h"
#include "storage/MessageService.h"
#include "widgets/CommandRegistry.h"

namespace hv {

void RegisterReportWindows(CommandRegistry& registry, ReportWindowServices services)
{
    const ReportWindowServices qt = QtReportWindowServices();
    if (!services.makePrinter)
        services.makePrinter = qt.makePrinter;
    if (!services.printerSetup)
        services.printerSetup = qt.printerSetup;

    // The time card on screen as the tables hold it: a modified week is
    // settled first (Cancel prints nothing, a failed save neither).
    registry.add({"cmdPrint"}, {[services](CommandContext& c) {
                     if (c.employeeID == 0)
                         return;
                     if (c.week && !c.week->settleChanges({}))
                         return;
                     WaitCursor wait;
                     std::unique_ptr<report::ReportPrinter> printer = services.makePrinter();
                     QtReportWindows windows(c.owner, c.fileDialogs, services.printerSetup);
                     TfrmHVReport host(c.dm, windows, *printer);
                     host.ReportName = "HourvaneList";
                     host.SetSelectionList({{c.employeeName, c.employeeID}});
                     host.Options.employeesMode = true;
                     host.Options.periodStart = c.weekEnd - 6;
                     host.Options.periodEnd = c.weekEnd;
                     host.RunDirect();
                 }});

    Command setup{[services](CommandContext& c) {
                      if (installedPrinters().empty()) {
                          tell("There is no printer installed on this computer.", MsgKind::Information);
                          return;
                      }
                      const std::string chosen = services.printerSetup(c.owner, globalSettings().printerName);
                      if (chosen.empty())
                          return;
                      setCurrentPrinter(chosen);
                      globalSettings().printerName = chosen;
                  },
                  refresh::None, true};
    registry.add({"mnuFilePrinterSetup"}, setup);
}

} // namespace hv
