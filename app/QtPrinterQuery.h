#pragma once
// The system's printers as Qt's print support sees them, installed as the
// printer query at start.
#include "ports/PrinterQuery.h"
#include "storage/HVGlobal.h"

namespace hv {

// The current printer (the one chosen in Printer Setup while it is installed,
// else the system's default, else the first); none without a GUI application
// or without printers; with the names of all installed printers.
SystemPrinter QtSystemPrinter();

} // namespace hv
