// Repair of a damaged table: salvage the rows with SQLite's recover extension,
// re-create the table from its definition, copy the rows back, and put the new
// file in place of the damaged one, which is kept as <name>.bad.
#include "engine/EngineError.h"
#include "engine/Statement.h"
#include "engine/Table.h"

#include <sqlite3.h>
#include <sqlite3recover.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace hv::engine {
namespace {

struct Conn {
    sqlite3* db = nullptr;
    ~Conn() { sqlite3_close_v2(db); }
};

bool openConn(Conn& c, const std::string& path, const char* mode)
{
    int rc = sqlite3_open_v2(fileUri(path, mode).c_str(), &c.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    return rc == SQLITE_OK;
}

bool run(sqlite3* db, const std::string& sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Salvages what can be read of a file into a fresh database; false when
// nothing at all could be read (the result then holds no tables).
// The recover extension rebuilds a damaged header except the magic text and
// the file format bytes, which must be sane for SQLite to read the file at
// all; a working copy gets those before recovery.
bool prepareCopy(const std::string& damaged, const std::string& copy)
{
    std::error_code ec;
    fs::remove(copy, ec);
    fs::copy_file(damaged, copy, ec);
    if (ec)
        return false;
    std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
    char hdr[20] = {};
    f.read(hdr, sizeof hdr);
    if (f.gcount() < std::streamsize(sizeof hdr))
        return true; // too short to hold anything
    static const char magic[16] = "SQLite format 3";
    f.clear();
    f.seekp(0);
    f.write(magic, 16);
    char versions[2] = {hdr[18] == 2 ? char(2) : char(1), hdr[19] == 2 ? char(2) : char(1)};
    f.seekp(18);
    f.write(versions, 2);
    return bool(f);
}

bool salvage(const std::string& damaged, const std::string& out)
{
    std::error_code ec;
    fs::remove(out, ec);
    if (!fs::is_regular_file(damaged, ec))
        return false;
    std::string copy = out + ".src";
    struct Cleanup {
        std::string path;
        ~Cleanup()
        {
            std::error_code e;
            fs::remove(path, e);
        }
    } cleanup{copy};
    if (!prepareCopy(damaged, copy))
        return false;
    Conn src;
    if (!openConn(src, copy, "ro"))
        return false;
    sqlite3_recover* r = sqlite3_recover_init(src.db, "main", out.c_str());
    if (!r)
        return false;
    int freelist = 0;
    sqlite3_recover_config(r, SQLITE_RECOVER_FREELIST_CORRUPT, &freelist);
    sqlite3_recover_run(r);
    int rc = sqlite3_recover_finish(r);
    return rc == SQLITE_OK && fs::is_regular_file(out, ec);
}

// The definition stored inside a (salvaged) data file.
std::optional<TableDef> embeddedDefinition(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    Conn c;
    if (!openConn(c, path, "ro"))
        return std::nullopt;
    std::optional<TableDef> def;
    try {
        Statement st(c.db, "SELECT \"Text\" FROM hv_definition");
        while (!def && st.step())
            def = TableDef::parse(st.columnText(0));
    } catch (const EngineError&) {
        // the file holds no readable definition
    }
    return def;
}

std::vector<std::string> columnsOf(sqlite3* db, const std::string& schema, const std::string& table)
{
    std::vector<std::string> cols;
    try {
        Statement st(db, "PRAGMA " + quoteIdent(schema) + ".table_info(" + quoteIdent(table) + ")");
        while (st.step())
            cols.push_back(st.columnText(1));
    } catch (const EngineError&) {
        // whatever could be read
    }
    return cols;
}

// Copies the salvaged rows of one table into the rebuilt file, rowids kept so
// that memo values stay with their rows; rows the layout refuses are dropped.
void copyRows(const std::string& rebuilt, const std::string& salvaged, const std::string& table,
              const std::vector<std::string>& wanted)
{
    std::error_code ec;
    if (!fs::is_regular_file(salvaged, ec))
        return;
    Conn c;
    if (!openConn(c, rebuilt, "rw"))
        throw EngineError(code::WriteError, "Cannot open the rebuilt table " + rebuilt);
    try {
        Statement st(c.db, "ATTACH DATABASE ?1 AS salvaged");
        st.bindText(1, fileUri(salvaged, "ro"));
        st.execute();
    } catch (const EngineError&) {
        return;
    }
    auto have = columnsOf(c.db, "salvaged", table);
    std::string cols;
    for (const auto& w : wanted)
        for (const auto& h : have)
            if (sameName(w, h)) {
                cols += (cols.empty() ? "" : ", ") + quoteIdent(w);
                break;
            }
    if (cols.empty())
        return;
    run(c.db, "BEGIN");
    run(c.db, "INSERT OR IGNORE INTO main." + quoteIdent(table) + " (rowid, " + cols + ") SELECT rowid, " + cols +
                  " FROM salvaged." + quoteIdent(table));
    // Keep auto-increment numbers from being handed out a second time.
    run(c.db, "UPDATE main.sqlite_sequence SET seq = max(seq, coalesce((SELECT max(seq) FROM "
              "salvaged.sqlite_sequence WHERE name = " + quoteIdent(table) + " COLLATE NOCASE), 0))");
    if (!run(c.db, "COMMIT")) {
        run(c.db, "ROLLBACK");
        throw EngineError(code::WriteError, "Cannot write the rebuilt table " + rebuilt);
    }
}

void replaceFile(const std::string& rebuilt, const std::string& target, const std::string& bad)
{
    std::error_code ec;
    if (fs::exists(target, ec)) {
        fs::remove(bad, ec);
        fs::rename(target, bad, ec);
        if (ec)
            throw EngineError(code::WriteError, "Cannot set the damaged file aside: " + ec.message());
    }
    fs::rename(rebuilt, target, ec);
    if (ec)
        throw EngineError(code::WriteError, "Cannot put the repaired file in place: " + ec.message());
}

} // namespace

void Table::repairTable()
{
    if (active())
        throw EngineTextError("Close table " + m_tableName + " before repairing it");
    m_db.release(blobSchema());
    m_db.release(sqlName());
    finalizeStatements();

    std::string data = path();
    std::string defFile = m_db.resolveFile(sqlName() + ".idx");
    std::string blob = blobPath();
    std::string work = data + ".salvage";
    std::string workBlob = blob + ".salvage";
    std::error_code ec;

    salvage(data, work);
    std::optional<TableDef> def;
    try {
        def = readDefinition();
    } catch (const EngineError&) {
        def = embeddedDefinition(work);
        if (!def)
            def = embeddedDefinition(workBlob);
        if (!def && !m_def.empty())
            def = m_def;
    }
    if (!def) {
        fs::remove(work, ec);
        throw EngineError(code::HeaderCorrupt, "Table '" + m_tableName +
                                                   "' cannot be repaired: its definition cannot be read");
    }
    if (def->hasMemo())
        salvage(blob, workBlob);

    std::string rebuilt = data + ".rebuild";
    std::string rebuiltBlob = blob + ".rebuild";
    fs::remove(rebuilt, ec);
    fs::remove(rebuiltBlob, ec);
    try {
        createTableFiles(*def, sqlName(), rebuilt, defFile, rebuiltBlob);
        std::vector<std::string> cols, memoCols;
        for (const auto& f : def->fields)
            (f.type == FieldType::Memo ? memoCols : cols).push_back(f.name);
        copyRows(rebuilt, work, sqlName(), cols);
        if (def->hasMemo()) {
            memoCols.insert(memoCols.begin(), "RowRef");
            copyRows(rebuiltBlob, workBlob, "Memo", memoCols);
            replaceFile(rebuiltBlob, blob, blob + ".bad");
        }
        replaceFile(rebuilt, data, (fs::path(data).parent_path() / (sqlName() + ".bad")).string());
    } catch (...) {
        fs::remove(rebuilt, ec);
        fs::remove(rebuiltBlob, ec);
        fs::remove(work, ec);
        fs::remove(workBlob, ec);
        throw;
    }
    fs::remove(work, ec);
    fs::remove(workBlob, ec);
    m_def = *def;
}

} // namespace hv::engine
