#include "cli/CliCommands.h"

#include "backup/BackupRestore.h"
#include "cli/PageText.h"
#include "engine/Snapshot.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportAccess.h"
#include "exchange/ImportRun.h"
#include "exchange/ImportSource.h"
#include "people/PeopleUtil.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/MessageService.h"
#include "reportengine/PageRenderer.h"
#include "reports/HVReport.h"
#include "settings/PassUtil.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "storage/Presence.h"
#include "storage/SQLRec.h"
#include "timekeeping/THourRec.h"
#include "timekeeping/WeekClip.h"
#include "timekeeping/WeekPay.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/Balances.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace hv::cli {

namespace {

std::string hours(double value) { return FormatFloat("0.00", value); }

std::string money(const Money& value) { return FormatFloat("0.00", value.Amount()); }

// Installed for the length of a command; the process's own goes back after.
class MessagesInstalled {
public:
    MessagesInstalled() : m_previous(messageService()) { setMessageService(&m_console); }
    ~MessagesInstalled() { setMessageService(m_previous); }
    const ConsoleMessages& console() const { return m_console; }

private:
    MessageService* m_previous;
    ConsoleMessages m_console;
};

// The report host without windows: no printer, no preview window; the run
// keeps its pages for the caller.
class NoReportWindows : public ReportWindowService {
    // "Generating page N" on a terminal's stderr, for long reports.
    class Status : public ReportStatus {
    public:
        void setText(const std::string& text) override
        {
            if (::isatty(STDERR_FILENO) == 1)
                std::fprintf(stderr, "\r%s\033[K", text.c_str());
        }
        ~Status() override
        {
            if (::isatty(STDERR_FILENO) == 1)
                std::fputs("\r\033[K", stderr);
        }
    };

public:
    bool printRangeSetup(report::ReportSettings&, int, report::ReportPrinter*) override { return false; }
    bool destinationSetup(report::ReportSettings&, report::ReportPrinter*) override { return false; }
    void preview(const std::string&, report::ReportPrinter*, report::ReportSettings&, const PreviewOptions&) override
    {
        previewed = true;
    }
    std::unique_ptr<ReportStatus> status(const std::string&) override { return std::make_unique<Status>(); }
    bool previewed = false;
};

class NoPrinter : public report::ReportPrinter {
public:
    bool select(const std::string&) override { return false; }
    std::string name() const override { return {}; }
    std::string port() const override { return {}; }
    int maxCopies() const override { return 1; }
    bool canCollate() const override { return false; }
    bool canDuplex() const override { return false; }
    report::PaperSize paper() const override { return {}; }
    bool printPass(const std::vector<const report::Page*>&, const report::PrintJob&, int, int,
                   const std::function<void(int)>&, std::string& error) override
    {
        error = "no printer";
        return false;
    }
};

std::int32_t resolveDepartment(THourvaneDataMod& dm, const std::string& name)
{
    if (name == "0")
        return 0;
    engine::Table& t = dm.tblDepts;
    t.setIndexName("");
    std::vector<std::int32_t> found;
    const bool number = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos && name.size() < 10;
    for (t.first(); !t.eof(); t.next()) {
        const auto id = std::int32_t(t.fieldByName("DeptID").asInteger());
        if (number && id == std::stoi(name))
            return id;
        std::string a = t.fieldByName("DeptName").asString(), b = name;
        for (char& c : a)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : b)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (a == b)
            found.push_back(id);
    }
    if (found.size() == 1)
        return found.front();
    throw Failure(kBadInput, "No single department has the number or name '" + name + "'.");
}

// Manager access for a script: the password in HOURVANE_MANAGER_PASSWORD.
// False when it is not set; a wrong one is bad input (3), not a refusal (2)
// that a script would try again with the same wrong password.
bool managerAccess(THourvaneDataMod& dm)
{
    const char* typed = std::getenv("HOURVANE_MANAGER_PASSWORD");
    if (!typed || !*typed)
        return false;
    if (!TManagerPasswordClass(dm).Matches(typed))
        throw Failure(kBadInput, "The manager access password in HOURVANE_MANAGER_PASSWORD is not correct.");
    return true;
}

// The week of the date: the program week that holds it.
double weekEndOf(double date) { return FirstWeekEnd(date); }

} // namespace

int Init(const GlobalOptions& options)
{
    MessagesInstalled messages;
    ConsoleProgress progress;
    Session session(options, &progress, SessionMode::Create);
    progress.release();
    std::cout << "The database in " << session.dm().dataFolder() << " is ready." << std::endl;
    return kDone;
}

int Info(const GlobalOptions& options, bool json)
{
    MessagesInstalled messages;
    Session session(options, nullptr, SessionMode::Look);
    THourvaneDataMod& dm = session.dm();
    const int others = OtherCopiesPresent(dm);
    const bool marker = MaintenanceInProgress(dm);
    struct Row {
        std::string file;
        std::int64_t rows;
        std::string check;
    };
    std::vector<Row> rows;
    bool allOk = true;
    for (engine::Table* t : dm.tables()) {
        Row r{t->tableName(), t->recordCount(), engine::checkOpenTable(*t)};
        allOk = allOk && r.check == "ok";
        rows.push_back(r);
    }
    if (json) {
        std::cout << "{\"data_folder\": " << JsonString(dm.dataFolder()) << ", \"other_copies\": " << others
                  << ", \"maintenance\": " << (marker ? "true" : "false") << ", \"tables\": [";
        for (std::size_t i = 0; i < rows.size(); ++i)
            std::cout << (i ? ", " : "") << "{\"file\": " << JsonString(rows[i].file) << ", \"rows\": " << rows[i].rows
                      << ", \"integrity\": " << JsonString(rows[i].check) << "}";
        std::cout << "]}" << std::endl;
    } else {
        std::cout << "Data folder: " << dm.dataFolder() << "\n"
                  << "Other copies present: " << others << "\n"
                  << "Backup, restore or import in progress: " << (marker ? "yes" : "no") << "\n";
        for (const auto& r : rows) {
            char line[160];
            std::snprintf(line, sizeof line, "  %-14s %10lld  %s\n", r.file.c_str(), static_cast<long long>(r.rows),
                          r.check.c_str());
            std::cout << line;
        }
        std::cout.flush();
    }
    return allOk ? kDone : kIOFailure;
}

int Week(const GlobalOptions& options, const std::string& employee, const std::string& weekDate, bool json)
{
    MessagesInstalled messages;
    const double date = ParseIsoDate(weekDate, "WEEK-ENDING");
    Session session(options);
    THourvaneDataMod& dm = session.dm();
    engine::ReadTransaction read(dm.HourvaneDB);
    const std::int32_t empID = ResolveEmployee(dm, employee);
    TEmployeeRecClass emp(dm);
    emp.SetEmpID(empID);
    emp.LoadByID();
    TWorkWeekRecClass week(dm);
    week.SetEmployee(empID);
    week.SetWeekEnd(weekEndOf(date));
    week.Load();
    const WeekPayAmounts pay = WeeklyPay(dm, week, week.WeekEnd() - 6, week.WeekEnd());
    const Money gross = pay.RegularPay + pay.OvertimePay + pay.TimeOffPay + pay.RegularDifferential +
                        pay.OvertimeDifferential + pay.TimeOffDifferential;

    auto punches = [&](int i) {
        std::vector<std::string> out;
        const THoursWorkedRecClass& day = week.Day(i);
        for (int k = 1; k <= 4; ++k) {
            if (day.In(k) < 0 && day.Out(k) < 0)
                continue;
            out.push_back(day.FormatIn(k) + "-" + day.FormatOut(k));
        }
        return out;
    };
    if (json) {
        std::ostringstream o;
        o << "{\"employee\": {\"id\": " << empID << ", \"name\": " << JsonString(emp.FullName())
          << ", \"code\": " << JsonString(emp.EmpCode()) << "}, \"week_ending\": " << JsonString(IsoDate(week.WeekEnd()))
          << ", \"days\": [";
        for (int i = 0; i < 7; ++i) {
            const double d = week.Day(i).dayDate();
            o << (i ? ", " : "") << "{\"date\": " << JsonString(IsoDate(d)) << ", \"punches\": [";
            const auto p = punches(i);
            for (std::size_t k = 0; k < p.size(); ++k)
                o << (k ? ", " : "") << JsonString(p[k]);
            o << "], \"hours\": " << hours(week.Day(i).DayHours()) << ", \"regular\": " << hours(week.DayRegular(i))
              << ", \"overtime\": " << hours(week.DayOvertime(i))
              << ", \"time_off\": " << hours(week.TimeOffOnWeekday(DayOfWeek(d))) << "}";
        }
        o << "], \"regular\": " << hours(week.RegularTotal()) << ", \"overtime\": " << hours(week.OvertimeTotal())
          << ", \"time_off\": " << hours(week.TimeOffTotal()) << ", \"unpaid_time_off\": " << hours(week.UnpaidTimeOff())
          << ", \"pay\": {\"regular\": " << money(pay.RegularPay) << ", \"overtime\": " << money(pay.OvertimePay)
          << ", \"time_off\": " << money(pay.TimeOffPay) << ", \"differentials\": "
          << money(pay.RegularDifferential + pay.OvertimeDifferential + pay.TimeOffDifferential)
          << ", \"gross\": " << money(gross) << "}}";
        std::cout << o.str() << std::endl;
        return kDone;
    }
    // Every figure under a heading or after its name, so that the text reads
    // on its own; --json is the form for programs.
    std::cout << emp.FullName() << " (" << empID << "), week ending " << IsoDate(week.WeekEnd()) << "\n";
    auto row = [](const std::string& date, const std::string& day, const std::string& worked,
                  const std::string& regular, const std::string& overtime, const std::string& off,
                  const std::string& punchList) {
        char line[320];
        std::snprintf(line, sizeof line, "  %-10s  %-10s %6s %8s %9s %9s  %s", date.c_str(), day.c_str(),
                      worked.c_str(), regular.c_str(), overtime.c_str(), off.c_str(), punchList.c_str());
        std::string text = line;
        text.erase(text.find_last_not_of(' ') + 1);
        return text + "\n";
    };
    std::cout << row("Date", "Day", "Hours", "Regular", "Overtime", "Time off", "Punches");
    for (int i = 0; i < 7; ++i) {
        const double d = week.Day(i).dayDate();
        std::string list;
        for (const auto& p : punches(i))
            list += (list.empty() ? "" : ", ") + p;
        std::cout << row(IsoDate(d), FormatDateTime("dddd", d), hours(week.Day(i).DayHours()),
                         hours(week.DayRegular(i)), hours(week.DayOvertime(i)),
                         hours(week.TimeOffOnWeekday(DayOfWeek(d))), list);
    }
    std::cout << "  Week: regular " << hours(week.RegularTotal()) << ", overtime " << hours(week.OvertimeTotal())
              << ", time off " << hours(week.TimeOffTotal()) << " (unpaid " << hours(week.UnpaidTimeOff()) << ")\n"
              << "  Pay: regular " << money(pay.RegularPay) << ", overtime " << money(pay.OvertimePay) << ", time off "
              << money(pay.TimeOffPay) << ", differentials "
              << money(pay.RegularDifferential + pay.OvertimeDifferential + pay.TimeOffDifferential) << ", gross "
              << money(gross) << std::endl;
    return kDone;
}

int Balance(const GlobalOptions& options, const std::string& employee, const std::string& asOf, bool json)
{
    MessagesInstalled messages;
    const double date = asOf.empty() ? clock().today() : ParseIsoDate(asOf, "--as-of");
    Session session(options);
    THourvaneDataMod& dm = session.dm();
    engine::ReadTransaction read(dm.HourvaneDB);
    const std::int32_t empID = ResolveEmployee(dm, employee);
    TEmployeeRecClass emp(dm);
    emp.SetEmpID(empID);
    emp.LoadByID();
    const auto balances = benefitBalances(loadBenefits(dm), employmentTermsOf(emp), loadBenefitRecords(dm, empID),
                                          userYearStart(), date);
    if (json) {
        std::cout << "{\"employee\": {\"id\": " << empID << ", \"name\": " << JsonString(emp.FullName())
                  << "}, \"as_of\": " << JsonString(IsoDate(date)) << ", \"benefits\": [";
        for (std::size_t i = 0; i < balances.size(); ++i) {
            const auto& b = balances[i];
            std::cout << (i ? ", " : "") << "{\"benefit\": " << JsonString(b.description);
            if (b.outcome == BalanceOutcome::Computed)
                std::cout << ", \"earned\": " << hours(b.earned) << ", \"taken\": " << hours(b.taken)
                          << ", \"remaining\": " << hours(b.remaining);
            else
                std::cout << ", \"earned\": null, \"taken\": " << hours(b.taken) << ", \"remaining\": null";
            std::cout << "}";
        }
        std::cout << "]}" << std::endl;
        return kDone;
    }
    std::cout << emp.FullName() << " (" << empID << "), as of " << IsoDate(date) << "\n";
    for (const auto& b : balances) {
        const bool computed = b.outcome == BalanceOutcome::Computed;
        char line[200];
        std::snprintf(line, sizeof line, "  %-30s earned %8s  taken %8s  remaining %8s\n", b.description.c_str(),
                      computed ? hours(b.earned).c_str() : "***", hours(b.taken).c_str(),
                      computed ? hours(b.remaining).c_str() : "***");
        std::cout << line;
    }
    std::cout.flush();
    return kDone;
}

std::vector<std::string> ReportNames()
{
    return {"time-cards", "hours-worked", "time-off", "balances", "employees", "departments", "reasons"};
}

int Report(const GlobalOptions& options, const ReportCommand& command)
{
    static const std::map<std::string, std::string> kNames = {
        {"time-cards", "HourvaneList"}, {"hours-worked", "HoursWorked"}, {"time-off", "TimeOff"},
        {"balances", "Balances"},       {"employees", "EmpList"},        {"departments", "DeptList"},
        {"reasons", "ReasonList"}};
    const auto named = kNames.find(command.name);
    if (named == kNames.end())
        throw Failure(kUsage, "There is no report called '" + command.name + "'.");
    MessagesInstalled messages;
    const double from = ParseIsoDate(command.from, "--from");
    const double to = ParseIsoDate(command.to, "--to");
    if (to < from)
        throw Failure(kBadInput, "The --to date comes before the --from date.");
    Session session(options);
    THourvaneDataMod& dm = session.dm();

    NoReportWindows windows;
    NoPrinter printer;
    TfrmHVReport report(dm, windows, printer);
    report.ReportName = named->second;
    report.Options.periodStart = from;
    report.Options.periodEnd = to;
    report.Options.detail = !command.summary;
    report.Options.punchFormat = command.hours24 ? "hh:nn" : "hh:nn AM/PM";
    // The employee list prints every section, the department list its employees.
    report.Options.printBasic = report.Options.printComments = report.Options.printBalances = true;
    report.Options.includeDeptEmployees = true;
    if (command.wages) {
        // Gross wages and the wage history need manager access, as the selection window asks.
        if (!managerAccess(dm))
            throw Failure(kBadInput, "--wages needs the manager access password in HOURVANE_MANAGER_PASSWORD.");
        report.Options.printWages = true;
    }
    std::vector<SelectionEntry> entries;
    if (!command.departments.empty()) {
        report.Options.employeesMode = false;
        for (const auto& d : command.departments) {
            const std::int32_t id = resolveDepartment(dm, d);
            entries.push_back({d, id});
        }
    } else if (!command.employees.empty()) {
        for (const auto& e : command.employees) {
            const std::int32_t id = ResolveEmployee(dm, e);
            TEmployeeRecClass emp(dm);
            emp.SetEmpID(id);
            emp.LoadByID();
            entries.push_back({emp.FullName(), id});
        }
    } else {
        // Everybody employed in the period, as "Active" selects them in the window.
        TEmployeeRecClass emp(dm);
        MemoryPickList list;
        emp.FillEmployeesForPeriod(list, -1, to, from);
        for (int i = 0; i < list.count(); ++i)
            entries.push_back({list.text(i), list.id(i)});
    }
    report.SetSelectionList(entries);
    // The PDF is drawn on a second core while the pages are laid out.
    std::optional<report::PdfPageStream> pdf;
    if (!command.pdfFile.empty()) {
        pdf.emplace(command.pdfFile);
        report.PdfAlongside = &*pdf;
    }
    if (!report.RunPreview() || !windows.previewed)
        throw Failure(kIOFailure, "The report could not be produced.");
    if (!pdf) {
        std::cout << PagesAsText(report.Pages());
        std::cout.flush();
        return kDone;
    }
    std::string error;
    if (!pdf->finish(error))
        throw Failure(kIOFailure, "The PDF file " + command.pdfFile + " could not be written: " + error);
    return kDone;
}

int Import(const GlobalOptions& options, const ImportCommand& command)
{
    ImportRequest request;
    if (command.kind == "time-cards")
        request.type = ImportType::TimeCard;
    else if (command.kind == "time-off")
        request.type = ImportType::TimeOff;
    else if (command.kind == "employees")
        request.type = ImportType::Employee;
    else
        throw Failure(kUsage, "The import kind must be time-cards, time-off or employees.");
    std::string format = command.format;
    if (format.empty()) {
        std::string ext = fs::path(command.file).extension().string();
        for (char& c : ext)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        format = ext == ".dbf" ? "dbase" : ext == ".tab" || ext == ".tsv" ? "tab" : "comma";
    }
    if (format == "comma")
        request.format = ImportFormat::Comma;
    else if (format == "tab")
        request.format = ImportFormat::Tab;
    else if (format == "dbase")
        request.format = ImportFormat::XBase;
    else
        throw Failure(kUsage, "The import format must be comma, tab or dbase.");
    std::error_code ec;
    if (!fs::is_regular_file(command.file, ec))
        throw Failure(kBadInput, "The file " + command.file + " does not exist.");
    request.fileName = command.file;
    request.replace = command.replace;

    MessagesInstalled messages;
    ConsoleProgress progress;
    Session session(options);
    THourvaneDataMod& dm = session.dm();
    if (!LoadImportFields(request.type, options.programFolder, request.fields))
        throw Failure(kIOFailure, "The field definition file " + std::string(ImportDefinitionFileName(request.type)) +
                                      " is missing or damaged.");
    // Columns map to the definition's fields in order unless named.
    const std::size_t columns = command.columns.empty() ? request.fields.size() : command.columns.size();
    for (std::size_t c = 0; c < columns; ++c) {
        int field = -1;
        if (command.columns.empty()) {
            field = int(c);
        } else if (command.columns[c] != "-") {
            for (std::size_t f = 0; f < request.fields.size(); ++f)
                if (request.fields[f].Key == command.columns[c])
                    field = int(f);
            if (field < 0)
                throw Failure(kUsage, "The definition file has no field with the key '" + command.columns[c] + "'.");
        }
        if (field >= 0)
            request.fields[std::size_t(field)].Mapped = true;
        request.columnField.push_back(field);
    }
    if (const std::string missing = RequiredFieldsMessage(request.type, request.fields); !missing.empty())
        throw Failure(kUsage, ConsoleText(missing));

    ImportAccess access(dm);
    if (!access.granted())
        return kRefused; // the access check has said why
    request.progress = progress.active() ? &progress : nullptr;
    // The run joins this transaction, so that what it did is kept only when
    // the command succeeds: a file of which no record could be used is most
    // likely the wrong file, and must not leave the tables --replace emptied.
    TransactionGuard transaction(dm.HourvaneDB);
    const ImportResult result = RunImport(dm, request);
    progress.release();
    tellAll(result.notices);
    switch (result.outcome) {
    case ImportResult::Outcome::Completed: {
        const char* unit = result.fromTable ? "Record " : "Line ";
        const bool allSkipped = result.imported == 0 && !result.skipped.empty();
        if (allSkipped || (command.strict && !result.skipped.empty())) {
            transaction.rollback();
            for (const auto& s : result.skipped)
                std::cerr << "hourvane-cli: " << unit << s.number << ": " << s.reason << "\n";
            std::cerr << "hourvane-cli: Nothing was imported from " << command.file << ": "
                      << (allSkipped ? "every record was skipped."
                                     : std::to_string(result.skipped.size()) + " of " +
                                           std::to_string(result.imported + int(result.skipped.size())) +
                                           " records would be skipped, and --strict allows none.")
                      << std::endl;
            return kBadInput;
        }
        transaction.commit();
        std::cout << result.imported << " records were imported and " << result.skipped.size() << " were skipped.\n";
        for (const auto& s : result.skipped)
            std::cout << unit << s.number << ": " << s.reason << "\n";
        std::cout.flush();
        return kDone;
    }
    case ImportResult::Outcome::NotOpened:
        return kBadInput;
    case ImportResult::Outcome::Stopped:
        return kBadInput;
    case ImportResult::Outcome::ClearFailed:
        break;
    }
    return kIOFailure;
}

std::vector<std::string> ExportKindNames()
{
    return {"hours-worked", "time-cards", "time-off-summary", "time-off-detail", "benefits", "employees",
            "departments"};
}

int Export(const GlobalOptions& options, const ExportCommand& command)
{
    const std::vector<std::string> kinds = ExportKindNames();
    const auto found = std::find(kinds.begin(), kinds.end(), command.kind);
    if (found == kinds.end())
        throw Failure(kUsage, "There is no export kind called '" + command.kind + "'.");
    ExportRequest request;
    request.kind = ExportKind(found - kinds.begin());
    static const std::map<std::string, ExportFormat> kFormats = {
        {"fixed", ExportFormat::Fixed}, {"comma", ExportFormat::Comma}, {"tab", ExportFormat::Tab},
        {"dbase", ExportFormat::XBase}};
    const auto format = kFormats.find(command.format);
    if (format == kFormats.end())
        throw Failure(kUsage, "The export format must be fixed, comma, tab or dbase.");
    request.format = format->second;
    if (ExportKindHasPeriod(request.kind)) {
        if (command.from.empty() || command.to.empty())
            throw Failure(kUsage, "This export needs --from and --to.");
        request.periodStart = ParseIsoDate(command.from, "--from");
        request.periodEnd = ParseIsoDate(command.to, "--to");
        if (request.periodEnd < request.periodStart)
            throw Failure(kBadInput, "The --to date comes before the --from date.");
    }
    request.fileName = fs::absolute(command.file).string();

    MessagesInstalled messages;
    ConsoleProgress progress;
    Session session(options);
    THourvaneDataMod& dm = session.dm();
    // Wage items are offered with manager access only, as in the window.
    request.managerAccess = managerAccess(dm);
    if (!LoadExportFields(dm, request.kind, options.programFolder, request.managerAccess, request.fields))
        return kIOFailure; // the message named the file
    for (auto& f : request.fields)
        f.Ticked = command.items.empty();
    for (const auto& key : command.items) {
        auto item = std::find_if(request.fields.begin(), request.fields.end(),
                                 [&key](const TDBFFieldType& f) { return f.Key == key; });
        if (item == request.fields.end())
            throw Failure(kUsage, "The export offers no item with the key '" + key + "'" +
                                      (request.managerAccess ? "." : " (wage items need manager access)."));
        item->Ticked = true;
    }
    request.progress = progress.active() ? &progress : nullptr;
    const ExportResult result = RunExport(dm, request);
    progress.release();
    tellAll(result.notices);
    switch (result.outcome) {
    case ExportResult::Outcome::Completed:
        if (result.changedValues > 0)
            std::cerr << "hourvane-cli: " << ChangedValuesMessage(result.changedValues) << std::endl;
        std::cout << result.records << " records were written to " << command.file << "." << std::endl;
        return kDone;
    case ExportResult::Outcome::NotOpened:
    case ExportResult::Outcome::Failed:
        break;
    }
    return kIOFailure;
}

namespace {

// Backup and restore on the archive named on the command line; their
// notices go to the console as the windows show them.
int archiveOperation(const GlobalOptions& options, const std::string& archive, bool restore)
{
    MessagesInstalled messages;
    ConsoleProgress progress;
    Session session(options);
    BackupResult result;
    {
        MaintenanceAccess access(session.dm(), restore ? ProgressMode::Restore : ProgressMode::Backup);
        const std::string path = fs::absolute(archive).string();
        OperationProgress* shown = progress.active() ? &progress : nullptr;
        result = restore ? RestoreDatabase(access, path, shown) : BackupDatabase(access, path, shown);
    }
    progress.finish();
    tellAll(result.notices);
    switch (result.outcome) {
    case BackupOutcome::Done:
        return kDone;
    case BackupOutcome::Refused:
        return kRefused;
    case BackupOutcome::Cancelled:
    case BackupOutcome::Failed:
        break;
    }
    return result.archiveRejected ? kBadInput : kIOFailure;
}

} // namespace

int Backup(const GlobalOptions& options, const std::string& archive)
{
    return archiveOperation(options, archive, false);
}

int Restore(const GlobalOptions& options, const std::string& archive)
{
    std::error_code ec;
    if (!fs::is_regular_file(archive, ec))
        throw Failure(kBadInput, "The backup file " + archive + " does not exist.");
    return archiveOperation(options, archive, true);
}

} // namespace hv::cli
