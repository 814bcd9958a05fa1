// A second copy of the program for tests: it opens a data folder with the table
// engine and runs commands read line by line from standard input, answering
// each with one line "ok [result]" or "err <code> <message>".
//
//   connect <folder>              open <table> [shared|exclusive]   close <table>
//   sem-lock <table> <n>          sem-unlock <table> <n>
//   begin | commit | rollback     count <table>
//   append <table> <Field>=<text> ...      exec <sql>     scalar <sql>
//   atomic-loop <tableA> <tableB> <first>  (writes one row into each per transaction, forever;
//                                  answers after the first commit)
//   row-lock <table> <identity> <at-us> <key> ...
//       at <at-ms> (milliseconds since the epoch, 0 = at once) takes the row
//       lock of the row with that primary key the way the program does, by one
//       conditional write of LockedBy: "ok 1" taken, "ok 0 <holder>" refused
//   start <data folder>          a data module on the folder, as the program starts it
//   stop                          ends the data module
//   slot                          takes a presence slot through the data module: "ok <n>"
//   backup <zip> | restore <zip>  the program's backup or restore, the file dialog
//                                 answering <zip>: "ok <outcome> <message> | <message> ..."
//   fsize-limit <bytes>           no file may grow past this (a full disk); SIGXFSZ ignored
//   digest <folder>               a hash of every file's name and bytes under the folder
//   export <kind> <format> <program folder> <file>
//                                 the export of every item (kind and format by number):
//                                 "ok <outcome number> <message> | <message> ..."
//   as <identity>                 the lock identity the record classes use
//   week-save <emp> <week end yyyy-mm-dd> <reason> <marker>
//       one week save as the time card does it: every day's first pair ends
//       marker % 600 + 1 minutes after 6:00, and the week's two time off
//       entries (second and fifth day) of the reason hold that many hundredths of
//       an hour: "ok <result code> <messages>"
//   week-loop <emp> <week end> <reason> <marker> [pause ms]   week saves with
//       markers marker, marker + 1, ... until a save fails; with a pause, the
//       week is unlocked after each save for that long; answers after the
//       first commit
//   reason-delete <id>            the reason with its rules, accruals and time off
//   import <program folder> <file> <fields>  a time card import (comma file,
//       replacing the current days); fields: the import field of each column,
//       comma-separated: "ok <outcome> <imported> <skipped>"
//   soak <seconds> <seed> <reason> <week ends> <employees>   (lists comma-separated)
//       loads, locks, edits and saves random weeks until the time is up; each
//       save adds 1 to the hours of the reason's entry on the week's first day
//       and now and then adds an hour of time off on another day:
//       "ok <saves> <refusals> <added> <errors> <emp>/<week end>=<saves> ... | <first error>"
//   quit
#include "backup/BackupRestore.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportRun.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "platform/SettingsFile.h"
#include "ports/FileDialogService.h"
#include "ports/MessageService.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/Presence.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace hv::engine;

namespace {

Database g_db;
std::map<std::string, std::unique_ptr<Table>> g_tables;
std::unique_ptr<hv::THourvaneDataMod> g_dm;
std::string g_settings; // the data module's own settings file

// Every message of a command, answered as the user's first choice would be.
class RecordedMessages : public hv::MessageService {
public:
    hv::MsgResult show(const std::string& text, hv::MsgKind, hv::MsgButtons buttons, int) override
    {
        shown += (shown.empty() ? "" : " | ") + text;
        return buttons == hv::MsgButtons::Ok ? hv::MsgResult::Ok : hv::MsgResult::Yes;
    }
    std::string shown;
};

const char* outcomeName(hv::BackupOutcome outcome)
{
    switch (outcome) {
    case hv::BackupOutcome::Refused:
        return "refused";
    case hv::BackupOutcome::Cancelled:
        return "cancelled";
    case hv::BackupOutcome::Failed:
        return "failed";
    case hv::BackupOutcome::Done:
        return "done";
    }
    return "?";
}

hv::THourvaneDataMod& dataModule()
{
    if (!g_dm)
        throw std::runtime_error("no data module: start one first");
    return *g_dm;
}

Table& table(const std::string& name)
{
    auto& t = g_tables[name];
    if (!t) {
        t = std::make_unique<Table>(g_db, name);
        t->setTableName(name);
    }
    return *t;
}

std::string restOf(std::istringstream& in)
{
    std::string rest;
    std::getline(in, rest);
    auto start = rest.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : rest.substr(start);
}

double parseDate(const std::string& text)
{
    int y = 0, m = 0, d = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) != 3)
        throw std::runtime_error("not a date: " + text);
    return hv::EncodeDate(y, m, d);
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    return parts;
}

// The week's entry of the reason on the day; null when there is none.
hv::TTimeOffRecClass* entryOn(hv::TTimeOffListClass& list, double day, std::int32_t reason)
{
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i).WeekDate() == day && (reason == 0 || list.Items(i).ReasonID() == reason))
            return &list.Items(i);
    return nullptr;
}

// The week as the time card edits it, every value following the marker.
hv::WeekSaveResult saveMarkedWeek(hv::TWorkWeekRecClass& week, std::int32_t emp, double weekEnd, std::int32_t reason,
                                  long marker)
{
    const std::string& identity = hv::appState().lockIdentity;
    week.SetWeekEnd(weekEnd);
    week.SetEmployee(emp);
    if (!week.LoadLocked(identity))
        return hv::WeekSaveResult::dayFailed(0);
    const int value = int(marker % 600) + 1;
    for (int i = 0; i < 7; ++i) {
        week.Day(i).setIn(1, hv::EncodeTime(6, 0));
        week.Day(i).setOut(1, hv::EncodeTime(6, 0) + value / 1440.0);
    }
    for (int i : {1, 4}) {
        const double day = weekEnd - 6 + i;
        hv::TTimeOffRecClass* entry = entryOn(week.TimeOffList(), day, reason);
        if (!entry)
            entry = &week.TimeOffList().Add(std::make_unique<hv::TTimeOffRecClass>(dataModule(), emp, day, reason));
        entry->SetHours(float(value) / 100.0f);
    }
    return week.Save(identity);
}

// Eight of these work on one folder at once: every save that reports success
// adds one to its week's counter, so a lost update shows as a counter short
// of the saves reported.
std::string soak(std::istringstream& in)
{
    double seconds = 0;
    unsigned seed = 0;
    std::int32_t reason = 0;
    std::string weekList, empList;
    in >> seconds >> seed >> reason >> weekList >> empList;
    std::vector<double> weekEnds;
    for (const auto& w : splitList(weekList))
        weekEnds.push_back(parseDate(w));
    std::vector<std::int32_t> emps;
    for (const auto& e : splitList(empList))
        emps.push_back(std::stoi(e));
    if (weekEnds.empty() || emps.empty())
        return "err 0 no weeks or no employees";

    const std::string& identity = hv::appState().lockIdentity;
    RecordedMessages messages;
    hv::setMessageService(&messages);
    std::mt19937 random(seed);
    hv::TWorkWeekRecClass week(dataModule());
    std::map<std::pair<std::int32_t, std::size_t>, long> tally;
    long saves = 0, refusals = 0, added = 0, errors = 0;
    std::string firstError;
    auto fail = [&](const std::string& what) {
        if (errors++ == 0)
            firstError = what + ": " + messages.shown;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string stage;
    // One round; an engine error thrown by any step ends the round as an error.
    auto round = [&] {
        const std::int32_t emp = emps[random() % emps.size()];
        const std::size_t w = random() % weekEnds.size();
        const double weekEnd = weekEnds[w];
        messages.shown.clear();
        week.SetWeekEnd(weekEnd);
        week.SetEmployee(emp);
        stage = "load and lock";
        if (!week.LoadLocked(identity)) {
            if (messages.shown.find(" record is already locked by ") != std::string::npos &&
                messages.shown.find(" | ") == std::string::npos)
                ++refusals;
            else
                fail("lock");
            return;
        }
        hv::TTimeOffRecClass* counter = entryOn(week.TimeOffList(), weekEnd - 6, reason);
        if (!counter) {
            fail("no counter entry for " + std::to_string(emp));
            week.Unlock(identity);
            return;
        }
        stage = "edit";
        const long count = std::lround(counter->Hours()) + 1;
        counter->SetHours(float(count));
        const int value = int(count % 600) + 1;
        for (int i = 0; i < 7; ++i)
            week.Day(i).setOut(1, hv::EncodeTime(6, 0) + value / 1440.0);
        int adding = 0;
        if (random() % 8 == 0) {
            const double day = weekEnd - 6 + 1 + double(random() % 6);
            if (!entryOn(week.TimeOffList(), day, 0)) {
                auto& entry =
                    week.TimeOffList().Add(std::make_unique<hv::TTimeOffRecClass>(dataModule(), emp, day, reason));
                entry.SetHours(1);
                entry.SetNewDay(true);
                adding = 1;
            }
        }
        // The save and the release commit together, as one copy leaving a
        // week it has just saved would: one commit of the table files fewer,
        // on the two files the week's rows live in.
        stage = "save";
        std::optional<hv::TransactionGuard> tx(std::in_place, dataModule().HourvaneDB,
                                               std::vector<std::string>{"workday", "timeoff"});
        const hv::WeekSaveResult result = week.Save(identity);
        if (!result.saved()) {
            tx.reset(); // rolled back: the week is as stored, and still ours
            fail("save " + std::to_string(result.code()));
            week.Unlock(identity);
            return;
        }
        stage = "unlock";
        if (!week.Unlock(identity)) {
            tx.reset();
            fail("unlock");
            week.Unlock(identity);
            return;
        }
        stage = "commit";
        try {
            tx->commit();
        } catch (const std::exception& e) {
            tx.reset();
            fail(std::string("commit ") + e.what());
            week.Unlock(identity);
            return;
        }
        ++saves;
        added += adding;
        ++tally[{emp, w}];
    };
    while (std::chrono::steady_clock::now() < end) {
        try {
            round();
        } catch (const std::exception& e) {
            fail(stage + " threw " + e.what());
        }
    }
    hv::setMessageService(nullptr);
    std::string reply = "ok " + std::to_string(saves) + " " + std::to_string(refusals) + " " + std::to_string(added) +
                        " " + std::to_string(errors);
    for (const auto& [key, n] : tally)
        reply += " " + std::to_string(key.first) + "/" + splitList(weekList)[key.second] + "=" + std::to_string(n);
    for (char& c : firstError)
        if (c == '\r' || c == '\n')
            c = ' ';
    return reply + " | " + firstError;
}

std::string run(const std::string& line)
{
    std::istringstream in(line);
    std::string cmd;
    in >> cmd;
    if (cmd == "connect") {
        std::string folder = restOf(in);
        g_db.setDirectory(folder);
        g_db.connect();
        return "ok";
    }
    if (cmd == "open") {
        std::string name, mode;
        in >> name >> mode;
        table(name).open(mode == "exclusive" ? OpenMode::Exclusive : OpenMode::Shared);
        return "ok";
    }
    if (cmd == "close") {
        std::string name;
        in >> name;
        table(name).close();
        return "ok";
    }
    if (cmd == "sem-lock" || cmd == "sem-unlock") {
        std::string name;
        int n = 0;
        in >> name >> n;
        if (cmd == "sem-unlock") {
            table(name).unlockSemaphore(n);
            return "ok";
        }
        return table(name).lockSemaphore(n) ? "ok 1" : "ok 0";
    }
    if (cmd == "begin") {
        g_db.startTransaction();
        return "ok";
    }
    if (cmd == "commit") {
        g_db.commit();
        return "ok";
    }
    if (cmd == "rollback") {
        g_db.rollback();
        return "ok";
    }
    if (cmd == "count") {
        std::string name;
        in >> name;
        return "ok " + std::to_string(table(name).recordCount());
    }
    if (cmd == "append") {
        std::string name, pair;
        in >> name;
        Table& t = table(name);
        t.append();
        while (in >> pair) {
            auto eq = pair.find('=');
            t.fieldByName(pair.substr(0, eq)).setAsString(pair.substr(eq + 1));
        }
        t.post();
        return "ok";
    }
    if (cmd == "exec" || cmd == "scalar") {
        Query q(g_db);
        q.addSql(restOf(in));
        if (cmd == "exec") {
            q.execSql();
            return "ok " + std::to_string(q.rowsAffected());
        }
        q.open();
        return "ok " + q.field(0).asString();
    }
    if (cmd == "atomic-loop") {
        std::string a, b;
        long start = 1;
        in >> a >> b >> start;
        Table& ta = table(a);
        Table& tb = table(b);
        for (long i = start;; ++i) {
            g_db.startTransaction();
            for (Table* t : {&ta, &tb}) {
                t->append();
                t->fieldByName("EmpID").setAsInteger(i);
                t->fieldByName("WeekDate").setAsDateTime(40000 + double(i % 1000));
                t->fieldByName(t == &ta ? "SequenceNum" : "ReasonID").setAsInteger(i);
                t->post();
            }
            g_db.commit();
            // Answered after the first commit, so every kill finds work done.
            if (i == start)
                std::cout << "ok looping" << std::endl;
        }
    }
    if (cmd == "row-lock") {
        std::string name, identity, part;
        long long at = 0;
        in >> name >> identity >> at;
        std::vector<Value> key;
        while (in >> part)
            key.emplace_back(part);
        Table& t = table(name);
        t.setIndexName("");
        if (!t.findKey(key))
            return "err 0 no row";
        if (at > 0) // microseconds since the epoch
            std::this_thread::sleep_until(std::chrono::system_clock::time_point(std::chrono::microseconds(at)));
        std::string schema = g_db.schemaOf(t.sqlName());
        Query q(g_db);
        q.addSql("update " + quoteIdent(schema) + "." + quoteIdent(t.sqlName()) + " set LockedBy = :Id");
        q.addSql(" where rowid = :Row");
        q.addSql("   and (LockedBy is null or LockedBy = '' or LockedBy = '(null)' or LockedBy = :Id)");
        q.setParamText("Id", identity);
        q.setParamInteger("Row", t.rowId());
        q.execSql();
        if (q.rowsAffected() > 0)
            return "ok 1";
        t.refresh();
        return "ok 0 " + t.fieldByName("LockedBy").asString();
    }
    if (cmd == "start") {
        std::string folder = restOf(in);
        // The settings folder the test gave (HOURVANE_CONFIG_DIR), a file of this process's own.
        g_settings = "hv_peer-" + std::to_string(::getpid()) + ".ini";
        if (!hv::SettingsFile(g_settings).write("Initialization", "HourvaneDataDir", folder))
            return "err 0 cannot write the settings file";
        RecordedMessages messages;
        hv::setMessageService(&messages);
        g_dm.reset();
        g_dm =
            std::make_unique<hv::THourvaneDataMod>(hv::DataModuleOptions{folder, g_settings, nullptr, &hv::appState()});
        hv::setMessageService(nullptr);
        if (g_dm->terminateRequested()) {
            g_dm.reset();
            return "err 0 " + messages.shown;
        }
        return "ok";
    }
    if (cmd == "stop") {
        g_dm.reset();
        return "ok";
    }
    if (cmd == "slot")
        return "ok " + std::to_string(hv::TakePresenceSlot(dataModule()));
    if (cmd == "backup" || cmd == "restore") {
        const std::string archive = restOf(in);
        RecordedMessages messages;
        hv::setMessageService(&messages);
        hv::BackupResult result;
        {
            hv::MaintenanceAccess access(dataModule(),
                                         cmd == "backup" ? hv::ProgressMode::Backup : hv::ProgressMode::Restore);
            result = cmd == "backup" ? hv::BackupDatabase(access, archive, nullptr)
                                     : hv::RestoreDatabase(access, archive, nullptr);
        }
        hv::tellAll(result.notices);
        hv::setMessageService(nullptr);
        return std::string("ok ") + outcomeName(result.outcome) + " " + messages.shown;
    }
    if (cmd == "export") {
        int kind = 0, format = 0;
        std::string programFolder;
        in >> kind >> format >> programFolder;
        hv::ExportRequest request;
        request.kind = hv::ExportKind(kind);
        request.format = hv::ExportFormat(format);
        request.fileName = restOf(in);
        request.managerAccess = true;
        RecordedMessages messages;
        hv::setMessageService(&messages);
        hv::LoadExportFields(dataModule(), request.kind, programFolder, true, request.fields);
        for (auto& f : request.fields)
            f.Ticked = true;
        const hv::ExportResult result = hv::RunExport(dataModule(), request);
        hv::tellAll(result.notices);
        hv::setMessageService(nullptr);
        return "ok " + std::to_string(int(result.outcome)) + " " + messages.shown;
    }
    if (cmd == "fsize-limit") {
        long long bytes = 0;
        in >> bytes;
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(bytes);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return "err 0 setrlimit failed";
        return "ok";
    }
    if (cmd == "digest") {
        namespace fs = std::filesystem;
        const fs::path folder(restOf(in));
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            files.push_back(e.path());
        std::sort(files.begin(), files.end());
        std::uint64_t h = 1469598103934665603ull;
        auto add = [&h](const std::string& s) {
            for (unsigned char c : s)
                h = (h ^ c) * 1099511628211ull;
        };
        for (const auto& f : files) {
            add(fs::relative(f, folder).string() + '\0');
            std::ifstream file(f, std::ios::binary);
            std::ostringstream bytes;
            bytes << file.rdbuf();
            add(bytes.str());
        }
        return "ok " + std::to_string(h);
    }
    if (cmd == "as") {
        in >> hv::appState().lockIdentity;
        return "ok";
    }
    if (cmd == "week-save" || cmd == "week-loop") {
        std::int32_t emp = 0, reason = 0;
        std::string weekEnd;
        long marker = 0, pauseMs = 0;
        in >> emp >> weekEnd >> reason >> marker >> pauseMs;
        RecordedMessages messages;
        hv::setMessageService(&messages);
        hv::TWorkWeekRecClass week(dataModule());
        if (cmd == "week-save") {
            const hv::WeekSaveResult result = saveMarkedWeek(week, emp, parseDate(weekEnd), reason, marker);
            hv::setMessageService(nullptr);
            return "ok " + std::to_string(result.code()) + " " + messages.shown;
        }
        for (long m = marker;; ++m) {
            const hv::WeekSaveResult result = saveMarkedWeek(week, emp, parseDate(weekEnd), reason, m);
            if (!result.saved())
                return "err " + std::to_string(result.code()) + " " + messages.shown;
            // Answered after the first commit, so every kill finds a marked week.
            if (m == marker)
                std::cout << "ok looping" << std::endl;
            if (pauseMs > 0) {
                week.Unlock(hv::appState().lockIdentity);
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            }
        }
    }
    if (cmd == "reason-delete") {
        hv::TReasonRecClass reason(dataModule());
        std::int32_t id = 0;
        in >> id;
        reason.SetReasonID(id);
        RecordedMessages messages;
        hv::setMessageService(&messages);
        const bool deleted =
            reason.LoadByID() && reason.Lock(hv::appState().lockIdentity) && reason.Delete(hv::appState().lockIdentity);
        hv::setMessageService(nullptr);
        return std::string("ok ") + (deleted ? "1 " : "0 ") + messages.shown;
    }
    if (cmd == "import") {
        std::string program, fields;
        hv::ImportRequest request;
        in >> program >> request.fileName >> fields;
        hv::setRegional(hv::RegionalSettings::usEnglish());
        request.replace = true;
        if (!hv::LoadImportFields(request.type, program, request.fields))
            return "err 0 no field definition files in " + program;
        for (const auto& f : splitList(fields)) {
            request.columnField.push_back(std::stoi(f));
            if (request.columnField.back() >= 0)
                request.fields.at(std::size_t(request.columnField.back())).Mapped = true;
        }
        RecordedMessages messages;
        hv::setMessageService(&messages);
        const hv::ImportResult result = hv::RunImport(dataModule(), request);
        hv::tellAll(result.notices);
        hv::setMessageService(nullptr);
        return "ok " + std::to_string(int(result.outcome)) + " " + std::to_string(result.imported) + " " +
               std::to_string(result.skipped.size()) + " " + messages.shown;
    }
    if (cmd == "soak")
        return soak(in);
    if (cmd == "quit")
        return "bye";
    return "err 0 unknown command " + cmd;
}

} // namespace

const char kPeerUsage[] =
    "usage: hv_peer\n"
    "A second copy of Hourvane for tests: reads one command a line from standard input and\n"
    "answers each with one line, \"ok [result]\" or \"err <code> <message>\". Commands:\n"
    "  connect <folder> | open <table> [shared|exclusive] | close <table> | count <table>\n"
    "  sem-lock <table> <n> | sem-unlock <table> <n> | begin | commit | rollback\n"
    "  append <table> <Field>=<text> ... | exec <sql> | scalar <sql> | atomic-loop <tableA> <tableB> <first>\n"
    "  row-lock <table> <identity> <at-ms> <key> ...\n"
    "  start <data folder> | stop | slot | backup <zip> | restore <zip> | fsize-limit <bytes>\n"
    "  digest <folder> | export <kind> <format> <program folder> <file> | as <identity>\n"
    "  week-save <emp> <week end> <reason> <marker> | week-loop <emp> <week end> <reason> <marker> [pause ms]\n"
    "  reason-delete <id> | import <program folder> <file> <fields>\n"
    "  soak <seconds> <seed> <reason> <week ends> <employees> | quit\n"
    "The comment at the top of tools/hv_peer.cpp says what each command does.\n";

int main(int argc, char** argv)
{
    // Commands come only from standard input; an argument is a mistake, but --help.
    if (argc > 1) {
        const std::string arg = argv[1];
        const bool help = argc == 2 && (arg == "--help" || arg == "-h");
        if (!help)
            std::cerr << "hv_peer: takes no arguments; the commands come on standard input\n";
        (help ? std::cout : std::cerr) << kPeerUsage;
        return help ? 0 : 2;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty())
            continue;
        std::string reply;
        try {
            reply = run(line);
        } catch (const EngineError& e) {
            reply = "err " + std::to_string(e.code()) + " " + e.message();
        } catch (const std::exception& e) {
            reply = "err 0 " + std::string(e.what());
        }
        std::cout << reply << std::endl;
        if (reply == "bye")
            break;
    }
    g_dm.reset();
    return 0;
}
