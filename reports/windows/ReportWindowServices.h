#pragma once
// What the report windows take from the program: the printer that prints
// and the system's printer setup dialog. The program uses Qt's print
// support; tests put a recording printer and a scripted dialog in.
#include "reportengine/ReportPrinter.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace hv {

// Shows the system's printer setup on the current printer; the name of the
// printer chosen, or empty when cancelled.
using PrinterSetupDialog = std::function<std::string(QWidget* owner, const std::string& current)>;

class TfrmSelection;

struct ReportWindowServices {
    std::function<std::unique_ptr<report::ReportPrinter>()> makePrinter;
    PrinterSetupDialog printerSetup;
    // Shows the configured selection window; empty: modally (tests look at it
    // instead).
    std::function<void(TfrmSelection&)> onSelection;
};

// Qt's printer and QPrintDialog.
ReportWindowServices QtReportWindowServices();

} // namespace hv
