#pragma once
// The commands of hourvane-cli. Each returns the process's exit code (see
// Exit in CliSupport.h) and throws Failure for the ones that end early.
#include "cli/CliSupport.h"

#include <string>
#include <vector>

namespace hv::cli {

int Init(const GlobalOptions& options);
int Info(const GlobalOptions& options, bool json);
int Week(const GlobalOptions& options, const std::string& employee, const std::string& weekDate, bool json);
int Balance(const GlobalOptions& options, const std::string& employee, const std::string& asOf, bool json);

struct ReportCommand {
    std::string name; // time-cards, hours-worked, time-off, balances, employees, departments, reasons
    std::string from, to;
    std::vector<std::string> employees;   // names, codes or numbers
    std::vector<std::string> departments; // names or numbers ("0": no department)
    bool summary = false;
    bool wages = false;   // gross wages / wage history; needs the manager password
    bool hours24 = false; // punch times of the time card list in 24-hour form
    std::string pdfFile; // empty: text on stdout
};
int Report(const GlobalOptions& options, const ReportCommand& command);
// The report names the command knows, in the order --help lists them.
std::vector<std::string> ReportNames();

struct ImportCommand {
    std::string kind;   // time-cards, time-off, employees
    std::string file;
    std::string format; // comma, tab, dbase; empty: from the file's extension
    bool replace = false;
    bool strict = false;              // any record that would be skipped fails the import, which then keeps nothing
    std::vector<std::string> columns; // field keys per column, "-" for none; empty: the definition's order
};
int Import(const GlobalOptions& options, const ImportCommand& command);

struct ExportCommand {
    std::string kind;   // hours-worked, time-cards, time-off-summary, time-off-detail, benefits, employees, departments
    std::string format; // fixed, comma, tab, dbase
    std::string from, to;
    std::string file;
    std::vector<std::string> items; // item keys to write; empty: every item offered
};
int Export(const GlobalOptions& options, const ExportCommand& command);
std::vector<std::string> ExportKindNames();

int Backup(const GlobalOptions& options, const std::string& archive);
int Restore(const GlobalOptions& options, const std::string& archive);

} // namespace hv::cli
