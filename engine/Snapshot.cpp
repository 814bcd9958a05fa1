// Table snapshots through SQLite's backup API and the soundness check of a
// database file that is not open on any connection of the program.
#include "engine/Snapshot.h"

#include "engine/EngineError.h"
#include "engine/Table.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace hv::engine {
namespace {

struct SnapshotConn {
    sqlite3* db = nullptr;
    ~SnapshotConn() { sqlite3_close_v2(db); }
};

void backupSchema(Database& db, const std::string& schema, const std::string& dest)
{
    const std::string alias = db.schemaOf(schema);
    if (alias.empty())
        throw EngineError(code::TableNotFound, "The table file " + schema + " is not open");
    std::error_code ec;
    fs::remove(dest, ec);
    SnapshotConn out;
    const std::string name = fs::path(dest).filename().string();
    int rc = sqlite3_open_v2(fileUri(dest, "rwc").c_str(), &out.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        throw makeEngineError(out.db, rc, name);
    sqlite3_extended_result_codes(out.db, 1);
    // A staging copy: it is zipped, never opened as a table, so it needs no journal.
    sqlite3_exec(out.db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* b = sqlite3_backup_init(out.db, "main", db.handle(), alias.c_str());
    if (!b)
        throw makeEngineError(out.db, sqlite3_extended_errcode(out.db), name);
    db.retry([&] {
        rc = sqlite3_backup_step(b, -1);
        return (rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED;
    });
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw makeEngineError(nullptr, rc, name);
}

} // namespace

std::vector<std::string> snapshotTable(Table& table, const std::string& folder)
{
    if (!table.active())
        throw EngineError(code::TableNotFound, "Table '" + table.tableName() + "' is not open");
    Database& db = table.database();
    std::vector<std::string> written;
    auto target = [&folder](const std::string& source) {
        return (fs::path(folder) / fs::path(source).filename()).string();
    };
    const std::string data = db.resolveFile(table.tableName());
    backupSchema(db, table.sqlName(), target(data));
    written.push_back(fs::path(data).filename().string());
    if (table.definition().hasMemo()) {
        const std::string blob = db.resolveFile(table.sqlName() + ".blb");
        backupSchema(db, table.sqlName() + "_blb", target(blob));
        written.push_back(fs::path(blob).filename().string());
    }
    // The definition file is plain text the engine writes only by rename.
    const std::string def = db.resolveFile(table.sqlName() + ".idx");
    std::error_code ec;
    fs::copy_file(def, target(def), fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw EngineError(code::ReadError, fs::path(def).filename().string() + ": " + ec.message());
    written.push_back(fs::path(def).filename().string());
    return written;
}

std::string checkDatabaseFile(const std::string& path)
{
    {
        std::ifstream in(path, std::ios::binary);
        char header[16] = {};
        in.read(header, sizeof header);
        if (!in || std::memcmp(header, "SQLite format 3", 16) != 0)
            return "not a database file";
    }
    SnapshotConn c;
    int rc = sqlite3_open_v2(fileUri(path, "ro").c_str(), &c.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        return sqlite3_errstr(rc);
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(c.db, "PRAGMA integrity_check", -1, &st, nullptr);
    std::string answer;
    if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        answer = text ? reinterpret_cast<const char*>(text) : "";
    } else {
        answer = sqlite3_errmsg(c.db);
    }
    sqlite3_finalize(st);
    return answer == "ok" ? std::string() : answer;
}

namespace {

std::string checkSchema(Database& db, const std::string& schema)
{
    const std::string alias = db.schemaOf(schema);
    if (alias.empty())
        return "not open";
    sqlite3_stmt* st = nullptr;
    const std::string sql = "PRAGMA \"" + alias + "\".integrity_check(10)";
    int rc = sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr);
    std::string answer;
    if (rc != SQLITE_OK)
        return sqlite3_errmsg(db.handle());
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        answer += (answer.empty() ? "" : "; ") + std::string(text ? reinterpret_cast<const char*>(text) : "");
    }
    if (rc != SQLITE_DONE)
        answer = sqlite3_errmsg(db.handle());
    sqlite3_finalize(st);
    return answer;
}

} // namespace

std::string checkOpenTable(Table& table)
{
    if (!table.active())
        return "not open";
    Database& db = table.database();
    std::string answer = checkSchema(db, table.sqlName());
    if (answer == "ok" && table.definition().hasMemo())
        answer = checkSchema(db, table.sqlName() + "_blb");
    return answer;
}

} // namespace hv::engine
