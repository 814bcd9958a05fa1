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
//   quit
#include "backup/BackupRestore.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "exchange/ExportRun.h"
#include "platform/SettingsFile.h"
#include "storage/DataModule.h"
#include "storage/FileDialogService.h"
#include "storage/MessageService.h"
#include "storage/Presence.h"

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

class AnswerWith : public hv::FileDialogService {
public:
    explicit AnswerWith(std::string path) : m_path(std::move(path)) {}
    std::string chooseSaveFile(const hv::FileDialogRequest&) override { return m_path; }
    std::string chooseOpenFile(const hv::FileDialogRequest&) override { return m_path; }

private:
    std::string m_path;
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
        g_dm = std::make_unique<hv::THourvaneDataMod>(hv::DataModuleOptions{folder, g_settings, nullptr});
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
        AnswerWith dialogs(restOf(in));
        RecordedMessages messages;
        hv::setMessageService(&messages);
        hv::BackupServices services{dialogs, g_settings, nullptr, {}, nullptr};
        hv::BackupOutcome outcome =
            cmd == "backup" ? hv::BackupDatabase(dataModule(), services) : hv::RestoreDatabase(dataModule(), services);
        hv::setMessageService(nullptr);
        return std::string("ok ") + outcomeName(outcome) + " " + messages.shown;
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
    if (cmd == "quit")
        return "bye";
    return "err 0 unknown command " + cmd;
}

} // namespace

int main()
{
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
