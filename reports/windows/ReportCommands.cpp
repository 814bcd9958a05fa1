#include "reports/windows/ReportCommands.h"

#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "ports/PrinterQuery.h"
#include "reports/DeptList.h"
#include "reports/HVReport.h"
#include "reports/windows/QtReportWindows.h"
#include "reports/windows/Selection.h"
#include "storage/HVGlobal.h"
#include "widgets/CommandRegistry.h"
#include "widgets/PickDate.h"

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

    // The Report menu: the selection window, laid out for its report.
    const std::pair<const char*, const char*> reports[] = {
        {"mnuReportHoursWorked", "HoursWorked"},   {"mnuReportTimeOff", "TimeOff"}, {"mnuReportBalances", "Balances"},
        {"mnuReportHourvaneList", "HourvaneList"}, {"mnuReportEmpList", "EmpList"}, {"mnuReportDeptList", "DeptList"},
    };
    for (const auto& [item, reportName] : reports) {
        registry.add({item}, {[services, name = std::string(reportName)](CommandContext& c) {
                         std::unique_ptr<report::ReportPrinter> printer = services.makePrinter();
                         QtReportWindows windows(c.owner, c.fileDialogs, services.printerSetup);
                         DialogDatePicker picker;
                         ShowWaitCursor();
                         TfrmSelection window(c.dm, c.state, picker, windows, *printer, c.owner);
                         window.Configure(name);
                         RestoreCursor();
                         if (services.onSelection)
                             services.onSelection(window);
                         else
                             window.exec();
                     }});
    }
    registry.add({"mnuReportReasonList"}, {[services](CommandContext& c) {
                                               std::unique_ptr<report::ReportPrinter> printer = services.makePrinter();
                                               QtReportWindows windows(c.owner, c.fileDialogs, services.printerSetup);
                                               TrptReasonList list(c.dm, windows, *printer);
                                               list.Run();
                                           },
                                           refresh::None, true});
}

} // namespace hv
