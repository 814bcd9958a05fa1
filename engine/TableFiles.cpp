// The table's files: creating a table file set, opening and closing a table
// (definition check, lock file, attaching to the connection) and its semaphores.
#include "engine/Table.h"

#include "engine/EngineError.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv::engine {

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string baseName(const std::string& fileName)
{
    std::string stem = fs::path(fileName).stem().string();
    return stem;
}

std::string replaceExtension(const std::string& path, const std::string& ext)
{
    return (fs::path(path).parent_path() / (fs::path(path).stem().string() + ext)).string();
}

std::string readFile(const std::string& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFileDurably(const std::string& path, const std::string& data)
{
    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        throw EngineError(code::WriteError, "Cannot write " + path);
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        throw EngineError(code::WriteError, "Cannot write " + path);
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec)
        throw EngineError(code::WriteError, "Cannot write " + path + ": " + ec.message());
}

const char* sqlType(FieldType t)
{
    switch (t) {
    case FieldType::Float: return "REAL";
    case FieldType::Text:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
    case FieldType::Memo: return "TEXT";
    default: return "INTEGER";
    }
}

std::string sqlLiteral(const FieldDef& f)
{
    if (f.type == FieldType::Text || f.type == FieldType::Date || f.type == FieldType::Time ||
        f.type == FieldType::DateTime) {
        std::string out = "'";
        for (char c : f.defaultValue) {
            if (c == '\'')
                out += '\'';
            out += c;
        }
        return out + "'";
    }
    // Numbers only; anything else would be SQL.
    char* end = nullptr;
    double v = std::strtod(f.defaultValue.c_str(), &end);
    if (*end)
        throw EngineTextError("Bad default value for field " + f.name);
    std::ostringstream ss;
    ss.precision(17);
    ss << v;
    return ss.str();
}

std::string createSql(const TableDef& def, const std::string& sqlName)
{
    std::string sql = "CREATE TABLE " + quoteIdent(sqlName) + " (";
    bool firstCol = true;
    for (const auto& f : def.fields) {
        if (f.type == FieldType::Memo)
            continue;
        if (!firstCol)
            sql += ", ";
        firstCol = false;
        sql += quoteIdent(f.name) + " ";
        if (f.type == FieldType::AutoInc) {
            sql += "INTEGER PRIMARY KEY AUTOINCREMENT";
            continue;
        }
        sql += sqlType(f.type);
        if (f.required)
            sql += " NOT NULL";
        if (!f.defaultValue.empty())
            sql += " DEFAULT " + sqlLiteral(f);
    }
    sql += ");\n";
    int n = 0;
    for (const auto& ix : def.indexes) {
        auto fields = ix.fieldList();
        if (ix.primary() && fields.size() == 1) {
            int fi = def.fieldIndex(fields[0]);
            if (fi >= 0 && def.fields[fi].type == FieldType::AutoInc)
                continue; // the rowid itself
        }
        std::string name = ix.primary() ? "pk" : "ix" + std::to_string(++n) + "_" + ix.name;
        sql += std::string("CREATE ") + (ix.unique() ? "UNIQUE " : "") + "INDEX " + quoteIdent(name) +
               " ON " + quoteIdent(sqlName) + " (";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i)
                sql += ", ";
            sql += quoteIdent(fields[i]);
            if (ix.caseInsensitive())
                sql += " COLLATE NOCASE";
        }
        sql += ");\n";
    }
    return sql;
}

std::string blobCreateSql(const TableDef& def)
{
    std::string sql = "CREATE TABLE \"Memo\" (\"RowRef\" INTEGER PRIMARY KEY";
    for (const auto& f : def.fields)
        if (f.type == FieldType::Memo)
            sql += ", " + quoteIdent(f.name) + " TEXT";
    return sql + ");\n";
}

// Runs SQL on a private connection to a file that is not part of a Database.
void execOn(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        throw makeEngineError(db, sqlite3_extended_errcode(db), "");
}

sqlite3* openPrivate(const std::string& path, const char* mode)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fileUri(path, mode).c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        EngineError e = makeEngineError(db, rc, fs::path(path).filename().string());
        sqlite3_close_v2(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 1);
    return db;
}

struct PrivateDb {
    sqlite3* db;
    explicit PrivateDb(sqlite3* d) : db(d) {}
    ~PrivateDb() { sqlite3_close_v2(db); }
};

void createDataFile(const std::string& path, const std::string& body, const std::string& defText)
{
    std::error_code ec;
    fs::remove(path, ec);
    PrivateDb p(openPrivate(path, "rwc"));
    execOn(p.db, "PRAGMA journal_mode=DELETE");
    execOn(p.db, "BEGIN");
    execOn(p.db, "CREATE TABLE hv_definition (\"Text\" TEXT NOT NULL)");
    {
        Statement st(p.db, "INSERT INTO hv_definition VALUES (?1)", path);
        st.bindText(1, defText);
        st.execute();
    }
    execOn(p.db, body);
    execOn(p.db, "COMMIT");
}

} // namespace

void createTableFiles(const TableDef& def, const std::string& sqlName, const std::string& dataPath,
                      const std::string& definitionPath, const std::string& blobPath)
{
    std::string defText = def.serialize();
    std::string tmpData = dataPath + ".new";
    createDataFile(tmpData, createSql(def, sqlName), defText);
    if (def.hasMemo()) {
        std::string tmpBlob = blobPath + ".new";
        createDataFile(tmpBlob, blobCreateSql(def), defText);
        fs::rename(tmpBlob, blobPath);
    }
    writeFileDurably(definitionPath, defText);
    // The data file comes last: its presence is what makes the table exist.
    fs::rename(tmpData, dataPath);
}

Table::Table(Database& db, std::string componentName) : m_db(db), m_component(std::move(componentName))
{
    m_db.addOwner(this);
}

Table::~Table()
{
    try {
        close();
    } catch (...) {
    }
    finalizeStatements();
    m_db.removeOwner(this);
}

void Table::setTableName(const std::string& fileName)
{
    if (active())
        throw EngineTextError("Cannot rename the open table " + m_tableName);
    m_tableName = fileName;
    m_lock.setPath({});
}

std::string Table::sqlName() const { return baseName(m_tableName); }
std::string Table::path() const { return m_db.resolveFile(m_tableName); }
std::string Table::blobPath() const { return m_db.resolveFile(sqlName() + ".blb"); }
std::string Table::lockPath() const { return m_db.directory() + lower(sqlName()) + ".lck"; }

std::string Table::qualified() const
{
    std::string alias = m_db.schemaOf(sqlName());
    return quoteIdent(alias) + "." + quoteIdent(sqlName());
}

std::string Table::qualifiedBlob() const
{
    return quoteIdent(m_db.schemaOf(blobSchema())) + ".\"Memo\"";
}

void Table::finalizeStatements()
{
    for (Statement* s : {&m_stLoad, &m_stMemoLoad, &m_stInsert, &m_stMemoWrite, &m_stDelete, &m_stMemoDelete})
        s->finalize();
    forgetShapedStatements();
    m_cache.clear();
    m_sortingWalks.clear();
    m_stUpdate.clear();
    m_walkValid = false;
}

void Table::connectionClosed()
{
    // The connection is going away: the table closes with it, keeping its semaphores.
    m_state = TableState::Inactive;
    m_lock.setMode(LockFile::Mode::None);
    m_hasRow = false;
    m_rowid = 0;
    m_eof = true;
}

TableDef Table::readDefinition() const
{
    bool ok = false;
    std::string text = readFile(replaceExtension(path(), ".idx"), ok);
    if (!ok) {
        // The definition file may be named in another case.
        text = readFile(m_db.resolveFile(sqlName() + ".idx"), ok);
    }
    auto def = ok ? TableDef::parse(text) : std::nullopt;
    if (!def)
        throw EngineError(code::InvalidIndexField,
                          "The definition file of table '" + m_tableName + "' is missing or damaged");
    return *def;
}

bool Table::exists() const
{
    std::error_code ec;
    return !m_tableName.empty() && fs::is_regular_file(path(), ec);
}

void Table::createTable()
{
    if (m_def.empty())
        throw EngineTextError("No columns are defined for table " + m_tableName);
    if (exists())
        throw EngineError(code::General, "Table '" + m_tableName + "' already exists");
    std::string data = m_db.directory() + m_tableName;
    createTableFiles(m_def, sqlName(), data, replaceExtension(data, ".idx"),
                     replaceExtension(data, ".blb"));
}

void Table::requireActive() const
{
    if (!active())
        throw EngineTextError("Cannot perform this operation on a closed table (" + m_tableName + ")");
}

Statement& Table::prepareText(Statement& s, const std::string& sql)
{
    s.prepare(m_db.handle(), sql, m_tableName, true);
    return s;
}

void Table::verifyLayout()
{
    std::string alias = m_db.schemaOf(sqlName());
    std::vector<std::string> columns;
    {
        Statement st(m_db, "PRAGMA " + quoteIdent(alias) + ".table_info(" + quoteIdent(sqlName()) + ")", m_tableName);
        while (st.step())
            columns.push_back(st.columnText(1));
    }
    std::vector<std::string> expected;
    for (const auto& f : m_def.fields)
        if (f.type != FieldType::Memo)
            expected.push_back(f.name);
    bool same = columns.size() == expected.size();
    for (std::size_t i = 0; same && i < columns.size(); ++i)
        same = sameName(columns[i], expected[i]);
    if (!same)
        throw EngineError(code::HeaderCorrupt,
                          "The data file of table '" + m_tableName + "' does not match its definition");
}

void Table::open(OpenMode mode, bool readOnly)
{
    if (active())
        return;
    if (!m_db.connected())
        throw EngineTextError("The database is not connected");
    if (!exists())
        throw EngineError(code::TableNotFound, "Table '" + m_tableName + "' does not exist");
    m_def = readDefinition();
    m_keyIndex = nullptr;
    m_keyFields.clear();
    m_orderKnown = false;
    m_defaults.assign(m_def.fields.size(), Value());
    m_memoMask = 0;
    m_autoIncField = -1;
    m_columnFields.clear();
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (m_def.fields[i].type != FieldType::Memo)
            m_columnFields.push_back(int(i));
        if (m_def.fields[i].type == FieldType::AutoInc && m_autoIncField < 0)
            m_autoIncField = int(i);
        if (!m_def.fields[i].defaultValue.empty())
            m_defaults[i] = storageValue(int(i), Value(m_def.fields[i].defaultValue));
        if (m_def.fields[i].type == FieldType::Memo)
            m_memoMask |= std::uint64_t(1) << i;
    }
    ensureLockPath();
    auto want = mode == OpenMode::Exclusive ? LockFile::Mode::Exclusive : LockFile::Mode::Shared;
    if (!m_db.retry([&] { return m_lock.setMode(want); }))
        throw EngineError(code::TableInUse, "Table '" + m_tableName + "' is in use by another user");
    try {
        m_db.attach(sqlName(), path());
        if (m_def.hasMemo()) {
            std::error_code ec;
            if (!fs::is_regular_file(blobPath(), ec))
                throw EngineError(code::BlobCorrupt, "The blob file of table '" + m_tableName + "' is missing");
            try {
                m_db.attach(blobSchema(), blobPath());
            } catch (const EngineError& e) {
                throw EngineError(code::BlobCorrupt, e.message());
            }
        }
        verifyLayout();
    } catch (...) {
        m_lock.setMode(LockFile::Mode::None);
        try {
            m_db.release(blobSchema());
            m_db.release(sqlName());
        } catch (...) {
        }
        throw;
    }
    m_mode = mode;
    m_readOnly = readOnly;
    m_state = TableState::Browse;
    m_filterCompiled = false;
    finalizeStatements();
    first();
}

void Table::close()
{
    if (m_state == TableState::Inactive)
        return;
    m_state = TableState::Inactive;
    m_pendingFirst = false;
    m_lock.setMode(LockFile::Mode::None);
    m_walkValid = false;
    m_blockCount = 0;
    m_hasRow = false;
    m_rowid = 0;
    m_eof = true;
    m_current.clear();
    m_buffer.clear();
    finalizeStatements();
}

void Table::changeMode(OpenMode mode)
{
    requireActive();
    if (mode == m_mode)
        return;
    auto want = mode == OpenMode::Exclusive ? LockFile::Mode::Exclusive : LockFile::Mode::Shared;
    if (!m_db.retry([&] { return m_lock.setMode(want); }))
        throw EngineError(code::TableInUse, "Table '" + m_tableName + "' is in use by another user");
    m_mode = mode;
}

void Table::ensureLockPath()
{
    if (m_lock.path().empty())
        m_lock.setPath(lockPath());
}

bool Table::semaphoreHeldElsewhere(int number)
{
    ensureLockPath();
    return m_lock.semaphoreHeldElsewhere(number);
}

bool Table::lockSemaphore(int number)
{
    ensureLockPath();
    return m_db.retry([&] { return m_lock.lockSemaphore(number); });
}

int Table::semaphoresHeldElsewhere(int first, int last)
{
    ensureLockPath();
    return m_lock.semaphoresHeldElsewhere(first, last);
}

void Table::unlockSemaphore(int number) { m_lock.unlockSemaphore(number); }

} // namespace hv::engine
