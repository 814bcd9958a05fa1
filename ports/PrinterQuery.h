#pragma once
// The printers as the system has them. Asking needs print support, which
// needs widgets and which domain code never links: the program installs the
// query at start, and without one there is no printer, a normal state.
#include <functional>
#include <string>
#include <vector>

namespace hv {

// What the system says about its printers.
struct SystemPrinter {
    bool available = false;
    std::string name; // the current printer
    // Every installed printer by name, in the system's order.
    std::vector<std::string> installed;
};
// Without a query installed, or after an empty function, there is no printer.
using PrinterQuery = std::function<SystemPrinter()>;
void setPrinterQuery(PrinterQuery query);
SystemPrinter querySystemPrinter();
std::vector<std::string> installedPrinters();
// The printer chosen in Printer Setup becomes the current one while it is
// installed; the installed query reads it.
void setCurrentPrinter(const std::string& name);
const std::string& currentPrinter();

} // namespace hv
