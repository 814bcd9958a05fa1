// hourvane-cli: the time card database for scripts. One command a run, a
// clear exit code, messages on stderr in the program's own words.
#include "cli/CliCommands.h"
#include "platform/Shell.h"

#include <CLI/CLI.hpp>

#include <QGuiApplication>
#include <QtGlobal>

#include <cstdlib>
#include <iostream>

namespace {

// The command's own messages go straight to stderr; nothing of this program
// speaks through Qt's log, so what arrives here is Qt's own talk about its
// set-up ("XDG_RUNTIME_DIR not set", font and plugin notes), which a script
// must not have to filter. A critical or fatal message still shows: it
// explains a failure. Whoever sets QT_LOGGING_RULES asked for Qt's log, and
// gets all of it.
void qtOwnMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg)
        return;
    std::cerr << "hourvane-cli: Qt: " << message.toStdString() << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_LOGGING_RULES"))
        qInstallMessageHandler(qtOwnMessages);
    // The report fonts and the PDF writer need a GUI application; no
    // display is ever needed.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QGuiApplication::setApplicationName("Hourvane");

    using namespace hv::cli;
    GlobalOptions global;
    global.programFolder = hv::ProgramFilesFolder(QGuiApplication::applicationDirPath().toStdString());

    CLI::App cli{"Hourvane Standard for scripts: weeks, balances, reports, import, backup and restore of the "
                 "time card database.",
                 "hourvane-cli"};
    cli.require_subcommand(1);
    cli.add_option("--data", global.dataFolder, "Data folder to use instead of the one the program's settings name");

    auto* init = cli.add_subcommand("init", "Create the database in the data folder (if it is not there yet)");

    bool json = false;
    auto* info = cli.add_subcommand("info", "Data folder, tables with row counts and checks, copies present");
    info->add_flag("--json", json, "Print JSON");

    std::string employee, date, asOf;
    auto* week = cli.add_subcommand("week", "The computed week of an employee, as the main window shows it");
    week->add_option("EMPLOYEE", employee, "Number, code or \"Last, First\"")->required();
    week->add_option("WEEK-ENDING", date, "A date (YYYY-MM-DD) of the week")->required();
    week->add_flag("--json", json, "Print JSON");

    auto* balance = cli.add_subcommand("balance", "Earned, taken and remaining hours of every benefit");
    balance->add_option("EMPLOYEE", employee, "Number, code or \"Last, First\"")->required();
    balance->add_option("--as-of", asOf, "Date of the balance (YYYY-MM-DD); today if left out");
    balance->add_flag("--json", json, "Print JSON");

    ReportCommand report;
    bool detail = false;
    auto* rep = cli.add_subcommand("report", "A report laid out as the program prints it, as PDF or text");
    rep->add_option("NAME", report.name, "Report")->required()->check(CLI::IsMember(ReportNames()));
    rep->add_option("--from", report.from, "First day (YYYY-MM-DD)")->required();
    rep->add_option("--to", report.to, "Last day (YYYY-MM-DD)")->required();
    auto* emps = rep->add_option("--employees", report.employees, "Employees (numbers, codes or names)");
    rep->add_option("--departments", report.departments, "Departments (numbers or names; 0: none)")->excludes(emps);
    auto* det = rep->add_flag("--detail", detail, "Detail report (the default)");
    rep->add_flag("--summary", report.summary, "Summary report")->excludes(det);
    rep->add_flag("--wages", report.wages, "Gross wages (hours worked) or wage history (employees); needs "
                                           "HOURVANE_MANAGER_PASSWORD");
    rep->add_flag("--24-hour", report.hours24, "Punch times in 24-hour form (time cards)");
    bool text = false;
    auto* pdf = rep->add_option("--pdf", report.pdfFile, "Write the report to this PDF file");
    rep->add_flag("--text", text, "Print the report as text")->excludes(pdf);

    ImportCommand import;
    auto* imp = cli.add_subcommand("import", "Import a text or dBase file through the definition files");
    imp->add_option("KIND", import.kind, "What the file holds")
        ->required()
        ->check(CLI::IsMember({"time-cards", "time-off", "employees"}));
    imp->add_option("FILE", import.file, "The data file")->required();
    imp->add_option("--format", import.format, "comma, tab or dbase (default: from the extension)")
        ->check(CLI::IsMember({"comma", "tab", "dbase"}));
    imp->add_flag("--replace", import.replace, "Remove the current information of this kind first");
    imp->add_flag("--strict", import.strict,
                  "Any record that would be skipped is an error: nothing is imported and the exit code is 3");
    imp->add_option("--columns", import.columns, "Field key per column, - for a column to pass over")->delimiter(',');

    ExportCommand exportCommand;
    auto* exp = cli.add_subcommand("export", "Export a kind of data to a fixed-length, delimited or dBase file");
    exp->add_option("KIND", exportCommand.kind, "What to export")->required()->check(CLI::IsMember(ExportKindNames()));
    exp->add_option("--format", exportCommand.format, "fixed, comma, tab or dbase")
        ->required()
        ->check(CLI::IsMember({"fixed", "comma", "tab", "dbase"}));
    exp->add_option("--from", exportCommand.from, "First day (YYYY-MM-DD), for the kinds with a period");
    exp->add_option("--to", exportCommand.to, "Last day (YYYY-MM-DD), for the kinds with a period");
    exp->add_option("-o,--output", exportCommand.file, "The file to write")->required();
    exp->add_option("--items", exportCommand.items, "Item keys to write (default: every item offered)")->delimiter(',');

    std::string archive;
    auto* backup = cli.add_subcommand("backup", "Back the database up into a tested zip archive");
    backup->add_option("ARCHIVE", archive, "The archive to write")->required();
    auto* restore = cli.add_subcommand("restore", "Replace the database with a tested backup archive");
    restore->add_option("ARCHIVE", archive, "The archive to restore")->required();

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = cli.exit(e);
        return code == 0 ? kDone : kUsage;
    }
    if (rep->parsed() && report.pdfFile.empty() && !text) {
        std::cerr << "hourvane-cli: report needs --pdf FILE or --text" << std::endl;
        return kUsage;
    }

    try {
        if (init->parsed())
            return Init(global);
        if (info->parsed())
            return Info(global, json);
        if (week->parsed())
            return Week(global, employee, date, json);
        if (balance->parsed())
            return Balance(global, employee, asOf, json);
        if (rep->parsed())
            return Report(global, report);
        if (imp->parsed())
            return Import(global, import);
        if (exp->parsed())
            return Export(global, exportCommand);
        if (backup->parsed())
            return Backup(global, archive);
        if (restore->parsed())
            return Restore(global, archive);
    } catch (const Failure& f) {
        std::cerr << "hourvane-cli: " << ConsoleText(f.what()) << std::endl;
        return f.code;
    } catch (const std::exception& e) {
        std::cerr << "hourvane-cli: " << e.what() << std::endl;
        return kIOFailure;
    }
    return kUsage;
}
