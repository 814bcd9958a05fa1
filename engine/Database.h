#pragma once
// The connection to a database folder. One SQLite connection holds every table
// file of the folder (the first opened one as main, the others attached under
// their table names), so one transaction covers the writes of all tables and a
// commit that touches several files is atomic.
#include "engine/LockFile.h"
#include "engine/Value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace hv::engine {

class EngineError;
class Statement;

// Tables and queries keep prepared statements; they drop them whenever the
// connection's handle is closed or rebuilt.
class StatementOwner {
public:
    virtual ~StatementOwner() = default;
    virtual void finalizeStatements() = 0;
    virtual void connectionClosed() {}
};

class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void setDatabaseName(const std::string& name) { m_name = name; }
    const std::string& databaseName() const { return m_name; }
    // The folder; a trailing separator is appended when missing.
    void setDirectory(const std::string& folder);
    const std::string& directory() const { return m_directory; }

    void connect();
    void disconnect();
    bool connected() const { return m_connected; }

    // A write transaction. A copy first takes the folder's writer lock, so
    // that the write transactions of all copies run one after another as
    // they did when each locked every file: a transaction may then read any
    // file as it goes without two writers ever waiting for each other. Then
    // the files: without tables every attached file is locked for writing;
    // with tables ("workday", "timeoff", a table's memo file going with it)
    // only theirs, in attach order. Every file locked for writing takes part
    // in the commit, changed or not, and a commit over more than one file
    // needs SQLite's super-journal (a file created, flushed and deleted, and
    // the folder flushed twice): a transaction that locks only the one file
    // it changes commits without it.
    void startTransaction();
    void startTransaction(const std::vector<std::string>& tables);
    // Inside a write transaction: write locks on these tables' files as
    // well, where not held yet (a step that writes more than its caller
    // declared).
    void lockForWriting(const std::vector<std::string>& tables);
    void commit();
    void rollback();
    bool inTransaction() const;

    // A write outside any transaction (SQLite's own one-statement
    // transaction) holds the folder's writer lock for its time too: with
    // every writer of every copy holding it, a transaction that reads a
    // file and then writes it never meets another writer of that file.
    class WriteTurn {
    public:
        explicit WriteTurn(Database& db);
        ~WriteTurn();
        WriteTurn(const WriteTurn&) = delete;
        WriteTurn& operator=(const WriteTurn&) = delete;

    private:
        Database* m_db = nullptr;
    };

    // The busy handler makes this many further attempts, waiting this many
    // milliseconds before each; semaphores and exclusive opens use them too.
    int lockRetryCount() const { return m_retryCount; }
    void setLockRetryCount(int count) { m_retryCount = count < 0 ? 0 : count; }
    int lockWaitTime() const { return m_waitTime; }
    void setLockWaitTime(int ms) { m_waitTime = ms < 0 ? 0 : ms; }
    // Runs attempt once and then up to lockRetryCount more times.
    bool retry(const std::function<bool()>& attempt) const;

    int language() const { return m_language; }
    void setLanguage(int language) { m_language = language; }
    // On: every write is on disk when it returns (synchronous=FULL).
    bool forceBufferFlush() const { return m_forceFlush; }
    void setForceBufferFlush(bool on);
    // The most each file keeps of its pages in memory, in kibibytes; 0 is
    // SQLite's own default.
    int pageCacheSize() const { return m_cacheKib; }
    void setPageCacheSize(int kibibytes);

    // Full path of a file of the folder, matched without regard to case.
    std::string resolveFile(const std::string& fileName) const;

    // --- for the engine's tables and queries ---
    sqlite3* handle() const; // throws when no table file is open yet
    bool hasHandle() const { return m_db != nullptr; }
    // Attaches the file under the schema name (no-op when attached) and returns
    // the schema to qualify names with ("main" for the first file).
    std::string attach(const std::string& schema, const std::string& path);
    std::string schemaOf(const std::string& schema) const; // empty when not attached
    // Lets go of a file so that it can be replaced (repair, restore).
    void release(const std::string& schema);
    void addOwner(StatementOwner* owner);
    void removeOwner(StatementOwner* owner);
    [[noreturn]] void raise(int rc, const std::string& context = {}) const;
    void exec(const std::string& sql) const;
    // The same for a statement run again and again (BEGIN, COMMIT): it is
    // kept prepared instead of parsed each time.
    void run(const std::string& sql);

    // Where the SQL function hv_row(rowid, column, ...) puts the row SQLite is
    // stepping to, while a table's walk reads it: one call hands over every
    // column, where reading them one by one costs a call each. Only for
    // statements whose rows come out in the order SQLite computes them (no
    // sort), and only while the walk steps; hv_row fails otherwise.
    struct RowSink {
        Value* row = nullptr;        // the row's values by field
        const int* fields = nullptr; // the field of each column after the row id
        int count = 0;
        std::int64_t rowid = 0;
    };
    RowSink& rowSink() { return m_rowSink; }

private:
    struct Attached {
        std::string schema; // as the program names it
        std::string path;
        std::string alias;     // "main" or the schema
        std::string writeLock; // a statement that locks the file for writing and changes nothing
    };
    void beginWrite(const std::vector<std::string>* tables);
    void takeWriterLock();
    void releaseWriterLock() noexcept;
    const std::string& writeLockSql(Attached& file);
    // Microseconds to wait before try count + 1, or -1 when the wait is over.
    long long retryDelayUs(int count) const;
    static void rolledBack(void* self);
    void requireConnected() const;
    void openHandle(const std::string& path);
    void closeHandle();
    void applyPragmas(const std::string& alias) const;
    void applyCacheSize(const std::string& alias) const;
    friend class ReadTransaction;
    static int busyHandler(void* self, int count);
    static void rowFunction(sqlite3_context* context, int argc, sqlite3_value** argv);
    RowSink m_rowSink;
    std::map<std::string, std::unique_ptr<Statement>> m_kept; // by run()

    std::string m_name;
    std::string m_directory;
    bool m_connected = false;
    sqlite3* m_db = nullptr;
    std::vector<Attached> m_attached;
    std::vector<StatementOwner*> m_owners;
    int m_retryCount = 50;
    int m_waitTime = 100;
    int m_language = 0;
    bool m_forceFlush = true;
    int m_cacheKib = 0;
    LockFile m_writers; // the folder's writer lock, see startTransaction
};

// A larger page cache for a scope: a transaction that changes more pages than
// the usual cache holds (an import) would otherwise write some of them to the
// files before its commit, syncing the journal each time. The size before is
// back when the scope ends. Never throws from its destructor.
class PageCacheScope {
public:
    PageCacheScope(Database& db, int kibibytes);
    ~PageCacheScope();
    PageCacheScope(const PageCacheScope&) = delete;
    PageCacheScope& operator=(const PageCacheScope&) = delete;

private:
    Database& m_db;
    int m_before;
};

// Holds one read transaction over a group of reads that belong together (a
// week's rows, an employee's period), so they see one state of the files and
// pay for taking the shared locks once instead of once per statement. Only
// for reads; nothing happens when a transaction is already active. Never
// throws from its destructor.
class ReadTransaction {
public:
    // Shared locks on every attached file.
    explicit ReadTransaction(Database& db);
    // Shared locks on the files of these tables only ("workday", "timeoff"),
    // memo files included, for a reader that reads no other table inside
    // it: a file read later would take its lock out of order (see the
    // constructor).
    ReadTransaction(Database& db, const std::vector<std::string>& tables);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    Database& m_db;
    bool m_owned = false;
};

// A savepoint for a write that takes several statements: the constructor
// starts it, release() keeps the work, and a savepoint still open when the
// object goes is rolled back to and released, so none of the work stays.
// Never throws from its destructor.
class Savepoint {
public:
    Savepoint(Database& db, std::string name);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

private:
    Database& m_db;
    std::string m_name;
    bool m_released = false;
};

// Builds the engine error for an SQLite result code (shared by tables and queries).
EngineError makeEngineError(sqlite3* db, int rc, const std::string& context);
std::string quoteIdent(const std::string& name);
std::string fileUri(const std::string& path, const char* mode);

} // namespace hv::engine
