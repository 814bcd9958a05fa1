#include "ports/PrinterQuery.h"

namespace hv {
namespace {

PrinterQuery g_printerQuery;
std::string g_currentPrinter;

} // namespace

void setPrinterQuery(PrinterQuery query) { g_printerQuery = std::move(query); }
// Without a query installed there is no printer: a normal state.
SystemPrinter querySystemPrinter() { return g_printerQuery ? g_printerQuery() : SystemPrinter{}; }
std::vector<std::string> installedPrinters() { return querySystemPrinter().installed; }
void setCurrentPrinter(const std::string& name) { g_currentPrinter = name; }
const std::string& currentPrinter() { return g_currentPrinter; }

} // namespace hv
