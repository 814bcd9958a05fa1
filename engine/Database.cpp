#include "engine/Database.h"

#include "engine/EngineError.h"
#include "engine/Statement.h"
#include "engine/TableDef.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace hv::engine {

std::string quoteIdent(const std::string& name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string fileUri(const std::string& path, const char* mode)
{
    std::string out = "file:";
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out + "?mode=" + mode;
}

EngineError makeEngineError(sqlite3* db, int rc, const std::string& context)
{
    std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (!context.empty())
        msg = context + ": " + msg;
    int code = code::General;
    switch (rc & 0xff) {
    case SQLITE_CONSTRAINT:
        code = rc == SQLITE_CONSTRAINT_NOTNULL ? code::RequiredField : code::KeyViolation;
        break;
    case SQLITE_NOTADB:
        code = code::HeaderCorrupt;
        break;
    case SQLITE_CORRUPT:
        code = rc == SQLITE_CORRUPT_INDEX ? code::IndexCorrupt : code::DataCorrupt;
        break;
    case SQLITE_IOERR:
        code = (rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ) ? code::ReadError : code::WriteError;
        break;
    case SQLITE_FULL:
        code = code::WriteError;
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        code = code::TableBusy;
        msg = "The table is in use by another user (" + msg + ")";
        break;
    case SQLITE_CANTOPEN:
        code = code::TableNotFound;
        break;
    case SQLITE_ERROR:
        code = code::SqlError;
        break;
    default:
        break;
    }
    return EngineError(code, msg);
}

Database::Database() = default;

Database::~Database()
{
    try {
        disconnect();
    } catch (...) {
    }
}

void Database::setDirectory(const std::string& folder)
{
    if (m_connected)
        throw EngineTextError("Cannot change the folder of a connected database");
    m_directory = folder;
    if (!m_directory.empty() && m_directory.back() != '/')
        m_directory += '/';
}

void Database::connect()
{
    if (m_connected)
        return;
    if (m_directory.empty() || !fs::is_directory(m_directory))
        throw EngineError(code::TableNotFound, "The database folder " + m_directory + " does not exist");
    m_connected = true;
}

void Database::disconnect()
{
    if (!m_connected)
        return;
    for (auto* o : std::vector<StatementOwner*>(m_owners))
        o->connectionClosed();
    closeHandle();
    m_connected = false;
}

void Database::requireConnected() const
{
    if (!m_connected)
        throw EngineTextError("The database " + m_name + " is not connected");
}

sqlite3* Database::handle() const
{
    requireConnected();
    if (!m_db)
        throw EngineTextError("No table of the database " + m_name + " is open");
    return m_db;
}

void Database::raise(int rc, const std::string& context) const { throw makeEngineError(m_db, rc, context); }

void Database::run(const std::string& sql)
{
    auto& kept = m_kept[sql];
    if (!kept) {
        auto st = std::make_unique<Statement>();
        st->prepare(handle(), sql, {}, true);
        kept = std::move(st);
    }
    kept->execute();
}

void Database::exec(const std::string& sql) const
{
    char* err = nullptr;
    int rc = sqlite3_exec(handle(), sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        raise(sqlite3_extended_errcode(m_db));
}

long long Database::retryDelayUs(int count) const
{
    if (m_waitTime == 0)
        return count >= m_retryCount ? -1 : 0;
    // The same longest wait as retry count times wait time, but tried again
    // within a fraction of a millisecond first and every millisecond after:
    // a commit waiting for the readers of its files, or a copy waiting for
    // another's commit, waits for work that takes a millisecond or two, and
    // files freed while every waiter sleeps stay idle. A copy that sleeps
    // longer than the others between tries loses the freed files to them,
    // again and again, until its wait runs out while the others keep working.
    static constexpr int kDelaysUs[] = {100, 200, 400, 700};
    static constexpr int kSteps = int(sizeof kDelaysUs / sizeof kDelaysUs[0]);
    static constexpr int kLastUs = 1000;
    const long long waitUs = static_cast<long long>(m_waitTime) * 1000;
    const long long budget = static_cast<long long>(m_retryCount) * waitUs;
    long long waited = 0;
    for (int i = 0; i < count && i < kSteps; ++i)
        waited += std::min<long long>(kDelaysUs[i], waitUs);
    if (count > kSteps)
        waited += static_cast<long long>(count - kSteps) * std::min<long long>(kLastUs, waitUs);
    if (waited >= budget)
        return -1;
    return std::min<long long>({count < kSteps ? kDelaysUs[count] : kLastUs, waitUs, budget - waited});
}

int Database::busyHandler(void* self, int count)
{
    const long long delay = static_cast<Database*>(self)->retryDelayUs(count);
    if (delay < 0)
        return 0;
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
    return 1;
}

bool Database::retry(const std::function<bool()>& attempt) const
{
    if (attempt())
        return true;
    for (int i = 0; i < m_retryCount; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_waitTime));
        if (attempt())
            return true;
    }
    return false;
}

void Database::setForceBufferFlush(bool on)
{
    m_forceFlush = on;
    if (m_db)
        for (const auto& a : m_attached)
            applyPragmas(a.alias);
}

void Database::setPageCacheSize(int kibibytes)
{
    m_cacheKib = kibibytes < 0 ? 0 : kibibytes;
    if (m_db)
        for (const auto& a : m_attached)
            applyCacheSize(a.alias);
}

void Database::applyCacheSize(const std::string& alias) const
{
    // -2000 is SQLite's own default: about two megabytes.
    exec("PRAGMA " + quoteIdent(alias) + ".cache_size=-" + std::to_string(m_cacheKib ? m_cacheKib : 2000));
}

void Database::applyPragmas(const std::string& alias) const
{
    // Never WAL: it does not make multi-file commits atomic and needs shared memory.
    exec("PRAGMA " + quoteIdent(alias) + ".journal_mode=DELETE");
    exec("PRAGMA " + quoteIdent(alias) + ".synchronous=" + (m_forceFlush ? "FULL" : "NORMAL"));
    if (m_cacheKib)
        applyCacheSize(alias);
}

PageCacheScope::PageCacheScope(Database& db, int kibibytes) : m_db(db), m_before(db.pageCacheSize())
{
    m_db.setPageCacheSize(kibibytes);
}

PageCacheScope::~PageCacheScope()
{
    try {
        m_db.setPageCacheSize(m_before);
    } catch (...) {
    }
}

void Database::openHandle(const std::string& path)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fileUri(path, "rw").c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        EngineError e = makeEngineError(db, rc, fs::path(path).filename().string());
        sqlite3_close_v2(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, &Database::busyHandler, this);
    // Also when SQLite ends a transaction itself (a full disk, an I/O error).
    sqlite3_rollback_hook(db, &Database::rolledBack, this);
    // Never from the schema (a view or trigger of a file): only the engine's own statements.
    rc = sqlite3_create_function_v2(db, "hv_row", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this, &rowFunction, nullptr,
                                    nullptr, nullptr);
    if (rc != SQLITE_OK) {
        EngineError e = makeEngineError(db, rc, fs::path(path).filename().string());
        sqlite3_close_v2(db);
        throw e;
    }
    m_db = db;
}

void Database::rowFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    RowSink& sink = static_cast<Database*>(sqlite3_user_data(context))->m_rowSink;
    if (!sink.row || argc != sink.count + 1) {
        sqlite3_result_error(context, "hv_row() reads rows for the table engine only", -1);
        return;
    }
    try {
        sink.rowid = sqlite3_value_int64(argv[0]);
        for (int i = 0; i < sink.count; ++i)
            valueInto(argv[i + 1], sink.row[sink.fields[i]]);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_null(context);
}

void Database::closeHandle()
{
    releaseWriterLock(); // closing ends any transaction
    m_kept.clear();
    for (auto* o : m_owners)
        o->finalizeStatements();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_attached.clear();
}

std::string Database::schemaOf(const std::string& schema) const
{
    for (const auto& a : m_attached)
        if (sameName(a.schema, schema))
            return a.alias;
    return {};
}

std::string Database::attach(const std::string& schema, const std::string& path)
{
    requireConnected();
    if (auto alias = schemaOf(schema); !alias.empty())
        return alias;
    if (!m_db) {
        openHandle(path);
        m_attached.push_back({schema, path, "main", {}});
        try {
            // Reading the schema here finds a file that is no database at all.
            exec("SELECT count(*) FROM main.sqlite_schema");
            applyPragmas("main");
        } catch (...) {
            closeHandle();
            throw;
        }
        return "main";
    }
    {
        Statement st(m_db, "ATTACH DATABASE ?1 AS " + quoteIdent(schema), fs::path(path).filename().string());
        st.bindText(1, fileUri(path, "rw"));
        st.execute();
    }
    m_attached.push_back({schema, path, schema, {}});
    try {
        exec("SELECT count(*) FROM " + quoteIdent(schema) + ".sqlite_schema");
        applyPragmas(schema);
    } catch (...) {
        release(schema);
        throw;
    }
    return schema;
}

void Database::release(const std::string& schema)
{
    auto it = std::find_if(m_attached.begin(), m_attached.end(),
                           [&](const Attached& a) { return sameName(a.schema, schema); });
    if (it == m_attached.end())
        return;
    if (inTransaction())
        throw EngineTextError("Cannot let go of a table file inside a transaction");
    if (it->alias != "main") {
        m_kept.clear();
        for (auto* o : m_owners)
            o->finalizeStatements();
        exec("DETACH DATABASE " + quoteIdent(it->alias));
        m_attached.erase(it);
        return;
    }
    // The main file cannot be detached: rebuild the connection without it.
    std::vector<Attached> rest;
    for (const auto& a : m_attached)
        if (!sameName(a.schema, schema))
            rest.push_back(a);
    closeHandle();
    for (const auto& a : rest) {
        if (!m_db) {
            openHandle(a.path);
            m_attached.push_back({a.schema, a.path, "main", {}});
            applyPragmas("main");
        } else {
            attach(a.schema, a.path);
        }
    }
}

void Database::addOwner(StatementOwner* owner) { m_owners.push_back(owner); }

void Database::removeOwner(StatementOwner* owner)
{
    m_owners.erase(std::remove(m_owners.begin(), m_owners.end(), owner), m_owners.end());
}

std::string Database::resolveFile(const std::string& fileName) const
{
    fs::path exact = fs::path(m_directory) / fileName;
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact.string();
    for (const auto& entry : fs::directory_iterator(m_directory, ec)) {
        std::string name = entry.path().filename().string();
        if (sameName(name, fileName))
            return entry.path().string();
    }
    return exact.string();
}

namespace {
// Beside the table files; like their lock files, never backed up.
const char* const kWritersFile = "writers.lck";
constexpr int kWriterSemaphore = 1;
} // namespace

void Database::takeWriterLock()
{
    m_writers.setPath(m_directory + kWritersFile);
    for (int count = 0;; ++count) {
        if (m_writers.lockSemaphore(kWriterSemaphore))
            return;
        const long long delay = retryDelayUs(count);
        if (delay < 0)
            throw makeEngineError(nullptr, SQLITE_BUSY, "");
        if (delay > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
    }
}

void Database::releaseWriterLock() noexcept
{
    try {
        m_writers.unlockSemaphore(kWriterSemaphore);
    } catch (...) {
        // The lock goes with the file description at the latest.
        m_writers.close();
    }
}

void Database::rolledBack(void* self) { static_cast<Database*>(self)->releaseWriterLock(); }

const std::string& Database::writeLockSql(Attached& file)
{
    if (file.writeLock.empty()) {
        // Any table of the file will do: a delete that matches no row takes
        // SQLite's write lock on that file alone and changes nothing.
        Statement st(handle(), "SELECT name FROM " + quoteIdent(file.alias) +
                                   ".sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' LIMIT 1");
        if (st.step())
            file.writeLock = "DELETE FROM " + quoteIdent(file.alias) + "." + quoteIdent(st.columnText(0)) + " WHERE 0";
    }
    return file.writeLock;
}

void Database::lockForWriting(const std::vector<std::string>& tables)
{
    if (!inTransaction())
        throw EngineTextError("No transaction is active");
    // In attach order, as every other copy takes them.
    for (auto& a : m_attached) {
        bool wanted = false;
        for (const auto& t : tables) // a table's memo file goes with it
            wanted = wanted || sameName(t, a.schema) || sameName(t + "_blb", a.schema);
        if (!wanted || sqlite3_txn_state(m_db, a.alias.c_str()) == SQLITE_TXN_WRITE)
            continue;
        // A file without a table yet has nothing to change but its schema,
        // which locks it when it comes.
        if (const std::string& sql = writeLockSql(a); !sql.empty())
            run(sql);
    }
}

void Database::beginWrite(const std::vector<std::string>* tables)
{
    if (inTransaction())
        throw EngineTextError("A transaction is already active");
    handle();
    takeWriterLock();
    try {
        if (!tables) {
            run("BEGIN IMMEDIATE");
            return;
        }
        run("BEGIN DEFERRED");
        lockForWriting(*tables);
    } catch (...) {
        try {
            if (m_db && !sqlite3_get_autocommit(m_db))
                run("ROLLBACK");
        } catch (...) {
        }
        releaseWriterLock();
        throw;
    }
}

void Database::startTransaction() { beginWrite(nullptr); }

void Database::startTransaction(const std::vector<std::string>& tables) { beginWrite(&tables); }

Database::WriteTurn::WriteTurn(Database& db)
{
    if (db.inTransaction())
        return;
    db.handle();
    db.takeWriterLock();
    m_db = &db;
}

Database::WriteTurn::~WriteTurn()
{
    if (m_db)
        m_db->releaseWriterLock();
}

void Database::commit()
{
    if (!inTransaction())
        throw EngineTextError("No transaction is active");
    try {
        run("COMMIT");
    } catch (...) {
        // A commit that could not take its locks is still open for the
        // caller's rollback; one that SQLite ended is over.
        if (!inTransaction())
            releaseWriterLock();
        throw;
    }
    releaseWriterLock();
}

void Database::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        run("ROLLBACK");
    releaseWriterLock();
}

ReadTransaction::ReadTransaction(Database& db) : ReadTransaction(db, std::vector<std::string>{}) {}

ReadTransaction::ReadTransaction(Database& db, const std::vector<std::string>& tables) : m_db(db)
{
    if (!m_db.connected() || !m_db.hasHandle() || m_db.inTransaction())
        return;
    // Shared locks on the files now, in the order a commit takes its
    // exclusive ones. Taken as the reads come (days, then time off), a
    // reader could hold one file while waiting for another that a
    // committing copy holds while it waits for the first: both wait until
    // one gives up with "database is locked". One statement that reads each
    // file takes them all, in the order the files were attached, whatever
    // the order of its text.
    std::string reads;
    for (const auto& a : m_db.m_attached) {
        bool wanted = tables.empty();
        for (const auto& t : tables) // a table's memo file goes with it
            wanted = wanted || sameName(t, a.schema) || sameName(t + "_blb", a.schema);
        if (wanted)
            reads += (reads.empty() ? "SELECT " : ", ") + std::string("(SELECT 1 FROM ") + quoteIdent(a.alias) +
                     ".sqlite_master LIMIT 1)";
    }
    m_db.run("BEGIN DEFERRED");
    m_owned = true;
    try {
        if (!reads.empty())
            m_db.run(reads);
    } catch (...) {
        m_db.rollback();
        m_owned = false;
        throw;
    }
}

ReadTransaction::~ReadTransaction()
{
    if (!m_owned || !m_db.inTransaction())
        return;
    try {
        m_db.run("COMMIT");
    } catch (...) {
        try {
            m_db.rollback();
        } catch (...) {
        }
    }
}

Savepoint::Savepoint(Database& db, std::string name) : m_db(db), m_name(std::move(name))
{
    m_db.exec("SAVEPOINT " + m_name);
}

Savepoint::~Savepoint()
{
    if (m_released)
        return;
    try {
        m_db.exec("ROLLBACK TO " + m_name);
        m_db.exec("RELEASE " + m_name);
    } catch (...) {
    }
}

void Savepoint::release()
{
    m_db.exec("RELEASE " + m_name);
    m_released = true;
}

bool Database::inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

} // namespace hv::engine
