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
//   quit
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"

#include <chrono>
#include <iostream>
#include <thread>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace hv::engine;

namespace {

Database g_db;
std::map<std::string, std::unique_ptr<Table>> g_tables;

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
    return 0;
}
