#include "engine/Table.h"

#include "engine/EngineError.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv::engine {

// ---------------------------------------------------------------- helpers

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

std::string utf8Cut(const std::string& s, int maxChars)
{
    if (maxChars <= 0)
        return s;
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == maxChars)
                return s.substr(0, i);
            ++count;
        }
    }
    return s;
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
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(p.db, "INSERT INTO hv_definition VALUES (?1)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, defText.c_str(), -1, SQLITE_TRANSIENT);
    int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        throw makeEngineError(p.db, rc, path);
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

// ---------------------------------------------------------------- Field

const FieldDef& Field::def() const { return m_table->m_def.fields.at(m_index); }

const Value& Field::value() const
{
    const Table& t = *m_table;
    t.settle();
    if (t.m_state == TableState::Edit || t.m_state == TableState::Insert)
        return t.m_buffer.at(m_index);
    if (def().type == FieldType::Memo)
        t.loadMemo();
    static const Value null;
    if (!t.m_hasRow || m_index >= int(t.m_current.size()))
        return null;
    return t.m_current[m_index];
}

bool Field::isNull() const { return engine::isNull(value()); }

std::string Field::asString() const
{
    const Value& v = value();
    const FieldDef& f = def();
    if (auto* s = std::get_if<std::string>(&v))
        return *s;
    if (auto* i = std::get_if<std::int64_t>(&v)) {
        if (f.type == FieldType::Boolean)
            return *i ? "True" : "False";
        if (f.type == FieldType::Currency) {
            char buf[48];
            std::snprintf(buf, sizeof buf, "%.4f", double(*i) / 10000.0);
            return buf;
        }
    }
    return valueAsString(v);
}

std::int64_t Field::asInteger() const
{
    const Value& v = value();
    if (def().type == FieldType::Currency && std::holds_alternative<std::int64_t>(v))
        return std::get<std::int64_t>(v) / 10000;
    return valueAsInteger(v);
}

double Field::asFloat() const
{
    const Value& v = value();
    if (def().type == FieldType::Currency && std::holds_alternative<std::int64_t>(v))
        return double(std::get<std::int64_t>(v)) / 10000.0;
    return valueAsFloat(v);
}

bool Field::asBoolean() const { return valueAsBoolean(value()); }

double Field::asDateTime() const { return valueAsDateTime(value()); }

std::int64_t Field::asCurrencyUnits() const
{
    const Value& v = value();
    if (auto* i = std::get_if<std::int64_t>(&v))
        return def().type == FieldType::Currency ? *i : *i * 10000;
    return std::int64_t(std::nearbyint(asFloat() * 10000.0));
}

void Field::set(Value v)
{
    m_table->requireEditing();
    m_table->m_buffer.at(m_index) = m_table->storageValue(m_index, v);
    m_table->m_dirty |= (std::uint64_t(1) << m_index);
}

void Field::setStored(Value v)
{
    m_table->requireEditing();
    m_table->m_buffer.at(m_index) = std::move(v);
    m_table->m_dirty |= (std::uint64_t(1) << m_index);
}

void Field::setAsString(const std::string& v) { set(Value(v)); }
void Field::setAsInteger(std::int64_t v) { set(Value(v)); }
void Field::setAsFloat(double v) { set(Value(v)); }
void Field::setAsBoolean(bool v) { set(Value(std::int64_t(v ? 1 : 0))); }

void Field::setAsDateTime(double v)
{
    FieldType t = def().type;
    if (t == FieldType::Date || t == FieldType::Time || t == FieldType::DateTime)
        setStored(Value(dateTimeToText(v, t)));
    else
        set(Value(v));
}

void Field::setAsCurrencyUnits(std::int64_t v)
{
    if (def().type == FieldType::Currency)
        set(Value(v));
    else
        set(Value(double(v) / 10000.0));
}

void Field::clear() { set(Value()); }

// Converts an assigned value to what the column stores.
Value Table::storageValue(int index, const Value& v) const
{
    const FieldDef& f = m_def.fields.at(index);
    if (engine::isNull(v))
        return v;
    auto toInt = [&](const Value& x) -> std::int64_t {
        if (auto* i = std::get_if<std::int64_t>(&x))
            return *i;
        if (auto* d = std::get_if<double>(&x))
            return std::int64_t(std::llround(*d));
        const std::string& s = std::get<std::string>(x);
        char* end = nullptr;
        long long r = std::strtoll(s.c_str(), &end, 10);
        if (s.empty() || *end)
            throw EngineTextError("'" + s + "' is not a valid integer value for field '" + f.name + "'");
        return r;
    };
    auto toDouble = [&](const Value& x) -> double {
        if (auto* i = std::get_if<std::int64_t>(&x))
            return double(*i);
        if (auto* d = std::get_if<double>(&x))
            return *d;
        const std::string& s = std::get<std::string>(x);
        char* end = nullptr;
        double r = std::strtod(s.c_str(), &end);
        if (s.empty() || *end)
            throw EngineTextError("'" + s + "' is not a valid floating point value for field '" +
                                  f.name + "'");
        return r;
    };
    switch (f.type) {
    case FieldType::Text:
        if (auto* s = std::get_if<std::string>(&v))
            return Value(utf8Cut(*s, f.size));
        return Value(utf8Cut(std::holds_alternative<double>(v) ? std::to_string(std::get<double>(v))
                                                               : std::to_string(std::get<std::int64_t>(v)),
                             f.size));
    case FieldType::Memo:
        if (std::holds_alternative<std::string>(v))
            return v;
        return Value(std::holds_alternative<double>(v) ? std::to_string(std::get<double>(v))
                                                       : std::to_string(std::get<std::int64_t>(v)));
    case FieldType::SmallInt: {
        std::int64_t i = toInt(v);
        if (i < -32768 || i > 32767)
            throw EngineTextError(std::to_string(i) + " is not a valid value for field '" + f.name +
                                  "'. The allowed range is -32768 to 32767");
        return Value(i);
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        std::int64_t i = toInt(v);
        if (i < INT32_MIN || i > INT32_MAX)
            throw EngineTextError(std::to_string(i) + " is not a valid value for field '" + f.name + "'");
        return Value(i);
    }
    case FieldType::Boolean:
        if (auto* s = std::get_if<std::string>(&v))
            return Value(std::int64_t(sameName(*s, "true") || *s == "1"));
        return Value(std::int64_t(toDouble(v) != 0));
    case FieldType::Float: return Value(toDouble(v));
    case FieldType::Currency:
        if (auto* i = std::get_if<std::int64_t>(&v))
            return Value(*i);
        return Value(std::int64_t(std::nearbyint(toDouble(v) * 10000.0)));
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        if (auto* s = std::get_if<std::string>(&v)) {
            double dt;
            if (!textToDateTime(*s, dt))
                throw EngineTextError("'" + *s + "' is not a valid date and time for field '" + f.name + "'");
            return Value(dateTimeToText(dt, f.type));
        }
        return Value(dateTimeToText(toDouble(v), f.type));
    }
    }
    return v;
}

// ---------------------------------------------------------------- Table

Table::Stmt::~Stmt() { sqlite3_finalize(st); }
void Table::Stmt::reset()
{
    sqlite3_finalize(st);
    st = nullptr;
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
    for (Stmt* s : {&m_stLoad, &m_stMemoLoad, &m_stInsert, &m_stMemoWrite, &m_stDelete, &m_stMemoDelete,
                    &m_stFind, &m_stList, &m_stCount, &m_stBlock})
        s->reset();
    m_prefetched.clear();
    m_stUpdate.clear();
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

void Table::requireEditing() const
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        throw EngineTextError("Table " + m_tableName + " is not in edit or insert mode");
}

sqlite3_stmt* Table::reuse(Stmt& s)
{
    sqlite3_reset(s.st);
    sqlite3_clear_bindings(s.st);
    return s.st;
}

sqlite3_stmt* Table::prepareText(Stmt& s, const std::string& sql)
{
    int rc = sqlite3_prepare_v3(m_db.handle(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s.st, nullptr);
    if (rc != SQLITE_OK)
        m_db.raise(sqlite3_extended_errcode(m_db.handle()), m_tableName);
    return s.st;
}

void Table::bindValue(sqlite3_stmt* st, int pos, const Value& v) const
{
    if (auto* i = std::get_if<std::int64_t>(&v))
        sqlite3_bind_int64(st, pos, *i);
    else if (auto* d = std::get_if<double>(&v))
        sqlite3_bind_double(st, pos, *d);
    else if (auto* s = std::get_if<std::string>(&v))
        sqlite3_bind_text(st, pos, s->data(), int(s->size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(st, pos);
}

Value Table::columnValue(sqlite3_stmt* st, int col) const
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return Value(std::int64_t(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(st, col));
    case SQLITE_NULL: return Value();
    default: {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return Value(std::string(t ? t : "", std::size_t(sqlite3_column_bytes(st, col))));
    }
    }
}

std::string Table::columnList() const
{
    std::string out;
    for (const auto& f : m_def.fields) {
        if (f.type == FieldType::Memo)
            continue;
        if (!out.empty())
            out += ", ";
        out += quoteIdent(f.name);
    }
    return out;
}

std::string Table::orderBy() const
{
    const IndexDef* ix = m_def.findIndex(m_indexName);
    std::string out = " ORDER BY ";
    if (ix) {
        for (const auto& name : ix->fieldList()) {
            out += quoteIdent(name);
            if (ix->caseInsensitive())
                out += " COLLATE NOCASE";
            out += ", ";
        }
    }
    return out + "rowid";
}

void Table::compileFilterIfNeeded()
{
    if (m_filterCompiled)
        return;
    m_filter = (m_filtered && !m_filterText.empty()) ? compileFilter(m_filterText, m_def) : CompiledFilter{};
    m_filterCompiled = true;
}

void Table::bindFilter(sqlite3_stmt* st, int firstPos) const
{
    for (std::size_t i = 0; i < m_filter.values.size(); ++i)
        bindValue(st, firstPos + int(i), m_filter.values[i]);
}

void Table::verifyLayout()
{
    sqlite3_stmt* st = nullptr;
    std::string alias = m_db.schemaOf(sqlName());
    std::string sql = "PRAGMA " + quoteIdent(alias) + ".table_info(" + quoteIdent(sqlName()) + ")";
    int rc = sqlite3_prepare_v2(m_db.handle(), sql.c_str(), -1, &st, nullptr);
    std::vector<std::string> columns;
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        m_db.raise(err, m_tableName);
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
    m_defaults.assign(m_def.fields.size(), Value());
    m_memoMask = 0;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
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
    m_rows.clear();
    m_listValid = false;
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

void Table::setIndexName(const std::string& name)
{
    if (active() && !m_def.findIndex(name))
        throw EngineTextError("Index '" + name + "' not found in table " + m_tableName);
    if (name == m_indexName)
        return;
    m_indexName = name;
    m_stFind.reset();
    m_stList.reset();
    m_listValid = false;
}

void Table::setFilter(const std::string& expression)
{
    m_filterText = expression;
    m_filterCompiled = false;
    m_stFind.reset();
    m_stList.reset();
    m_stCount.reset();
    m_listValid = false;
    if (active() && m_filtered) {
        compileFilterIfNeeded();
        m_pendingFirst = true;
    }
}

void Table::settle() const
{
    if (m_pendingFirst && m_state == TableState::Browse)
        const_cast<Table*>(this)->first();
}

void Table::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    m_filterCompiled = false;
    m_stFind.reset();
    m_stList.reset();
    m_stCount.reset();
    m_listValid = false;
    if (active()) {
        compileFilterIfNeeded();
        m_pendingFirst = true;
    }
}

void Table::readRowFrom(sqlite3_stmt* st, int firstCol)
{
    m_current.assign(m_def.fields.size(), Value());
    int col = firstCol;
    bool memo = false;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (m_def.fields[i].type == FieldType::Memo) {
            memo = true;
            continue;
        }
        m_current[i] = columnValue(st, col++);
    }
    m_memoLoaded = !memo;
    m_hasRow = true;
}

bool Table::loadRow(std::int64_t rowid)
{
    sqlite3_stmt* st = prepare(m_stLoad, [&] { return "SELECT " + columnList() + " FROM " + qualified() + " WHERE rowid = ?1"; });
    sqlite3_bind_int64(st, 1, rowid);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        readRowFrom(st, 0);
        m_rowid = rowid;
        sqlite3_reset(st);
        return true;
    }
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        m_db.raise(err, m_tableName);
    return false;
}

namespace {
constexpr int kBlockRows = 64;
}

void Table::prefetchFrom(std::size_t pos)
{
    m_prefetched.clear();
    sqlite3_stmt* st = prepare(m_stBlock, [&] {
        std::string marks;
        for (int i = 1; i <= kBlockRows; ++i)
            marks += (i > 1 ? ", ?" : "?") + std::to_string(i);
        return "SELECT rowid, " + columnList() + " FROM " + qualified() + " WHERE rowid IN (" + marks + ")";
    });
    for (int i = 0; i < kBlockRows; ++i) {
        if (pos + std::size_t(i) < m_rows.size())
            sqlite3_bind_int64(st, i + 1, m_rows[pos + std::size_t(i)]);
        else
            sqlite3_bind_null(st, i + 1);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        readRowFrom(st, 1);
        m_prefetched.emplace(sqlite3_column_int64(st, 0), std::move(m_current));
    }
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    m_hasRow = false;
    if (rc != SQLITE_DONE)
        m_db.raise(err, m_tableName);
}

bool Table::loadListRow(std::size_t pos)
{
    std::int64_t rowid = m_rows[pos];
    auto it = m_prefetched.find(rowid);
    if (it == m_prefetched.end()) {
        prefetchFrom(pos);
        it = m_prefetched.find(rowid);
        if (it == m_prefetched.end())
            return false; // deleted since the list was read
    }
    m_current = std::move(it->second);
    m_prefetched.erase(it);
    m_rowid = rowid;
    m_hasRow = true;
    m_memoLoaded = !m_def.hasMemo();
    return true;
}

void Table::loadMemo() const
{
    if (m_memoLoaded || !m_hasRow)
        return;
    auto* self = const_cast<Table*>(this);
    std::string cols;
    for (const auto& f : m_def.fields)
        if (f.type == FieldType::Memo)
            cols += (cols.empty() ? "" : ", ") + quoteIdent(f.name);
    sqlite3_stmt* st =
        self->prepare(self->m_stMemoLoad, [&] { return "SELECT " + cols + " FROM " + qualifiedBlob() + " WHERE RowRef = ?1"; });
    sqlite3_bind_int64(st, 1, m_rowid);
    int rc = sqlite3_step(st);
    int col = 0;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].type == FieldType::Memo)
            self->m_current[i] = rc == SQLITE_ROW ? columnValue(st, col++) : Value();
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw makeEngineError(m_db.handle(), err, m_tableName);
    self->m_memoLoaded = true;
}

void Table::buildRowList()
{
    compileFilterIfNeeded();
    std::string where = m_filter.where.empty() ? "" : " WHERE " + m_filter.where;
    sqlite3_stmt* st = prepare(m_stList, [&] { return "SELECT rowid FROM " + qualified() + where + orderBy(); });
    bindFilter(st, 1);
    m_rows.clear();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        m_rows.push_back(sqlite3_column_int64(st, 0));
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        m_db.raise(err, m_tableName);
    m_listValid = true;
}

void Table::first()
{
    requireActive();
    if (m_state != TableState::Browse)
        cancel();
    m_pendingFirst = false;
    buildRowList();
    m_prefetched.clear();
    m_pos = 0;
    m_hasRow = false;
    m_rowid = 0;
    // Rows deleted since the list was read are skipped.
    while (m_pos < m_rows.size() && !loadListRow(m_pos))
        ++m_pos;
    m_eof = m_pos >= m_rows.size();
    if (m_eof) {
        m_hasRow = false;
        m_rowid = 0;
        m_current.assign(m_def.fields.size(), Value());
    }
}

void Table::positionInList()
{
    buildRowList();
    m_prefetched.clear();
    m_pos = 0;
    while (m_pos < m_rows.size() && m_rows[m_pos] != m_rowid)
        ++m_pos;
}

void Table::next()
{
    requireActive();
    settle();
    if (m_state != TableState::Browse)
        cancel();
    if (m_eof)
        return;
    if (!m_listValid)
        positionInList();
    std::size_t pos = m_pos + 1;
    while (pos < m_rows.size() && !loadListRow(pos))
        ++pos;
    if (pos >= m_rows.size()) {
        m_eof = true; // the last row stays current
        return;
    }
    m_pos = pos;
}

bool Table::findKey(const std::vector<Value>& keyValues)
{
    requireActive();
    if (m_state != TableState::Browse)
        cancel();
    const IndexDef* ix = m_def.findIndex(m_indexName);
    if (!ix)
        throw EngineTextError("Table " + m_tableName + " has no index '" + m_indexName + "'");
    if (m_keyFields.empty() || m_keyIndex != ix) {
        m_keyIndex = ix;
        m_keyFields.clear();
        for (const auto& name : ix->fieldList())
            m_keyFields.push_back(m_def.fieldIndex(name));
    }
    if (keyValues.empty() || keyValues.size() > m_keyFields.size())
        throw EngineTextError("Wrong number of key values for table " + m_tableName);
    compileFilterIfNeeded();
    // One statement per number of key values; the common case is the full key.
    if (m_stFind.st && m_findKeyCount != keyValues.size())
        m_stFind.reset();
    m_findKeyCount = keyValues.size();
    sqlite3_stmt* st = prepare(m_stFind, [&] {
        std::string where;
        for (std::size_t i = 0; i < keyValues.size(); ++i) {
            if (i)
                where += " AND ";
            where += quoteIdent(m_def.fields[m_keyFields[i]].name) + " = ?" + std::to_string(i + 1);
            if (ix->caseInsensitive())
                where += " COLLATE NOCASE";
        }
        if (!m_filter.where.empty())
            where += " AND (" + m_filter.where + ")";
        return "SELECT rowid, " + columnList() + " FROM " + qualified() + " WHERE " + where + orderBy() +
               " LIMIT 1";
    });
    for (std::size_t i = 0; i < keyValues.size(); ++i)
        bindValue(st, int(i + 1), storageValue(m_keyFields[i], keyValues[i]));
    bindFilter(st, int(keyValues.size()) + 1);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        m_rowid = sqlite3_column_int64(st, 0);
        readRowFrom(st, 1);
        sqlite3_reset(st);
        m_eof = false;
        m_listValid = false;
        m_pendingFirst = false;
        return true;
    }
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        m_db.raise(err, m_tableName);
    return false;
}

void Table::refresh()
{
    requireActive();
    settle();
    if (!m_hasRow)
        return;
    if (!loadRow(m_rowid)) {
        m_hasRow = false;
        throw EngineError(code::RecordDeleted,
                          "The record has been deleted by another user (table '" + m_tableName + "')");
    }
}

std::int64_t Table::recordCount()
{
    requireActive();
    compileFilterIfNeeded();
    std::string where = m_filter.where.empty() ? "" : " WHERE " + m_filter.where;
    sqlite3_stmt* st = prepare(m_stCount, [&] { return "SELECT count(*) FROM " + qualified() + where; });
    bindFilter(st, 1);
    int rc = sqlite3_step(st);
    std::int64_t n = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_ROW)
        m_db.raise(err, m_tableName);
    return n;
}

void Table::append()
{
    requireActive();
    if (m_readOnly)
        throw EngineTextError("Table " + m_tableName + " is open read-only");
    if (m_state != TableState::Browse)
        cancel();
    m_buffer = m_defaults;
    m_dirty = 0;
    m_state = TableState::Insert;
}

void Table::edit()
{
    requireActive();
    if (m_readOnly)
        throw EngineTextError("Table " + m_tableName + " is open read-only");
    if (m_state == TableState::Edit)
        return;
    settle();
    if (!m_hasRow)
        throw EngineTextError("Table " + m_tableName + " has no current record to edit");
    loadMemo();
    m_buffer = m_current;
    m_dirty = 0;
    m_state = TableState::Edit;
}

void Table::cancel()
{
    if (m_state == TableState::Edit || m_state == TableState::Insert)
        m_state = TableState::Browse;
    m_buffer.clear();
    m_dirty = 0;
}

void Table::raisePost(int rc)
{
    std::string msg = sqlite3_errmsg(m_db.handle());
    if ((rc & 0xff) == SQLITE_CONSTRAINT && rc != SQLITE_CONSTRAINT_NOTNULL) {
        // "UNIQUE constraint failed: T.a, T.b" names the columns of the index.
        std::vector<std::string> cols;
        auto colon = msg.find(": ");
        if (colon != std::string::npos) {
            std::string rest = msg.substr(colon + 2);
            std::size_t start = 0;
            while (start <= rest.size()) {
                auto comma = rest.find(", ", start);
                std::string part = rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                auto dot = part.rfind('.');
                cols.push_back(dot == std::string::npos ? part : part.substr(dot + 1));
                if (comma == std::string::npos)
                    break;
                start = comma + 2;
            }
        }
        std::string indexName = "Primary";
        for (const auto& ix : m_def.indexes) {
            auto f = ix.fieldList();
            if (!ix.unique() || f.size() != cols.size())
                continue;
            bool same = true;
            for (std::size_t i = 0; same && i < f.size(); ++i)
                same = sameName(f[i], cols[i]);
            if (same) {
                indexName = ix.displayName();
                break;
            }
        }
        throw EngineError(code::KeyViolation, "Key violation: a record with the same key already exists in index '" +
                                                  indexName + "' of table '" + m_tableName + "'");
    }
    throw makeEngineError(m_db.handle(), rc, m_tableName);
}

void Table::writeMemo(std::int64_t rowid)
{
    sqlite3_stmt* st = prepare(m_stMemoWrite, [&] {
        std::string cols = "RowRef", marks = "?1";
        int n = 1;
        for (const auto& f : m_def.fields)
            if (f.type == FieldType::Memo) {
                cols += ", " + quoteIdent(f.name);
                marks += ", ?" + std::to_string(++n);
            }
        return "INSERT OR REPLACE INTO " + qualifiedBlob() + " (" + cols + ") VALUES (" + marks + ")";
    });
    sqlite3_bind_int64(st, 1, rowid);
    int pos = 2;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].type == FieldType::Memo)
            bindValue(st, pos++, m_buffer[i]);
    int rc = sqlite3_step(st);
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        throw makeEngineError(m_db.handle(), err, m_tableName);
}

void Table::post()
{
    requireEditing();
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        const FieldDef& f = m_def.fields[i];
        if (f.required && f.type != FieldType::AutoInc && engine::isNull(m_buffer[i]))
            throw EngineError(code::RequiredField, "A value must be provided for the field '" + f.name +
                                                       "' in table '" + m_tableName + "'");
    }
    const std::uint64_t memoMask = m_memoMask;
    bool memo = memoMask != 0;
    bool writeMemoToo = memo && (m_state == TableState::Insert || (m_dirty & memoMask));
    if (writeMemoToo)
        m_db.exec("SAVEPOINT hv_post");
    try {
        std::int64_t rowid = m_rowid;
        if (m_state == TableState::Insert) {
            sqlite3_stmt* st = prepare(m_stInsert, [&] {
                std::string cols, marks;
                int n = 0;
                for (const auto& f : m_def.fields) {
                    if (f.type == FieldType::Memo || f.type == FieldType::AutoInc)
                        continue;
                    cols += (n ? ", " : "") + quoteIdent(f.name);
                    marks += (n ? ", ?" : "?") + std::to_string(n + 1);
                    ++n;
                }
                return "INSERT INTO " + qualified() + " (" + cols + ") VALUES (" + marks + ")";
            });
            int pos = 1;
            for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
                FieldType t = m_def.fields[i].type;
                if (t != FieldType::Memo && t != FieldType::AutoInc)
                    bindValue(st, pos++, m_buffer[i]);
            }
            int rc = sqlite3_step(st);
            int err = sqlite3_extended_errcode(m_db.handle());
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                raisePost(err);
            rowid = sqlite3_last_insert_rowid(m_db.handle());
            for (std::size_t i = 0; i < m_def.fields.size(); ++i)
                if (m_def.fields[i].type == FieldType::AutoInc)
                    m_buffer[i] = Value(rowid);
        } else {
            std::uint64_t mask = m_dirty & ~memoMask;
            if (mask) {
                Stmt& s = m_stUpdate[mask];
                sqlite3_stmt* st = prepare(s, [&] {
                    std::string sets;
                    int n = 0;
                    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
                        if (mask & (std::uint64_t(1) << i)) {
                            sets += (n ? ", " : "") + quoteIdent(m_def.fields[i].name) + " = ?" +
                                    std::to_string(n + 1);
                            ++n;
                        }
                    return "UPDATE " + qualified() + " SET " + sets + " WHERE rowid = ?" + std::to_string(n + 1);
                });
                int pos = 1;
                for (std::size_t i = 0; i < m_def.fields.size(); ++i)
                    if (mask & (std::uint64_t(1) << i))
                        bindValue(st, pos++, m_buffer[i]);
                sqlite3_bind_int64(st, pos, m_rowid);
                int rc = sqlite3_step(st);
                int err = sqlite3_extended_errcode(m_db.handle());
                sqlite3_reset(st);
                if (rc != SQLITE_DONE)
                    raisePost(err);
                if (sqlite3_changes(m_db.handle()) == 0)
                    throw EngineError(code::RecordDeleted, "The record has been deleted by another user (table '" +
                                                               m_tableName + "')");
            }
        }
        if (writeMemoToo)
            writeMemo(rowid);
        if (writeMemoToo)
            m_db.exec("RELEASE hv_post");
        m_rowid = rowid;
    } catch (...) {
        if (writeMemoToo) {
            try {
                m_db.exec("ROLLBACK TO hv_post");
                m_db.exec("RELEASE hv_post");
            } catch (...) {
            }
        }
        throw;
    }
    bool inserted = m_state == TableState::Insert;
    m_prefetched.clear();
    m_pendingFirst = false;
    m_current.swap(m_buffer);
    m_memoLoaded = true;
    m_hasRow = true;
    m_eof = false;
    m_buffer.clear();
    m_dirty = 0;
    m_state = TableState::Browse;
    if (inserted)
        m_listValid = false;
    else if (m_listValid)
        m_listValid = false; // a changed key may move the row
}

void Table::deleteRecord()
{
    requireActive();
    if (m_readOnly)
        throw EngineTextError("Table " + m_tableName + " is open read-only");
    if (m_state != TableState::Browse)
        cancel();
    settle();
    if (!m_hasRow)
        throw EngineTextError("Table " + m_tableName + " has no current record to delete");
    bool memo = m_def.hasMemo();
    if (memo)
        m_db.exec("SAVEPOINT hv_delete");
    try {
        sqlite3_stmt* st = prepare(m_stDelete, [&] { return "DELETE FROM " + qualified() + " WHERE rowid = ?1"; });
        sqlite3_bind_int64(st, 1, m_rowid);
        int rc = sqlite3_step(st);
        int err = sqlite3_extended_errcode(m_db.handle());
        sqlite3_reset(st);
        if (rc != SQLITE_DONE)
            throw makeEngineError(m_db.handle(), err, m_tableName);
        if (sqlite3_changes(m_db.handle()) == 0)
            throw EngineError(code::RecordDeleted,
                              "The record has been deleted by another user (table '" + m_tableName + "')");
        if (memo) {
            sqlite3_stmt* ms = prepare(m_stMemoDelete, [&] { return "DELETE FROM " + qualifiedBlob() + " WHERE RowRef = ?1"; });
            sqlite3_bind_int64(ms, 1, m_rowid);
            rc = sqlite3_step(ms);
            err = sqlite3_extended_errcode(m_db.handle());
            sqlite3_reset(ms);
            if (rc != SQLITE_DONE)
                throw makeEngineError(m_db.handle(), err, m_tableName);
            m_db.exec("RELEASE hv_delete");
        }
    } catch (...) {
        if (memo) {
            try {
                m_db.exec("ROLLBACK TO hv_delete");
                m_db.exec("RELEASE hv_delete");
            } catch (...) {
            }
        }
        throw;
    }
    m_prefetched.clear();
    // Move to the row that followed the deleted one.
    if (!m_listValid)
        positionInList();
    std::size_t pos = m_pos;
    if (pos < m_rows.size() && m_rows[pos] == m_rowid)
        m_rows.erase(m_rows.begin() + long(pos));
    m_hasRow = false;
    m_rowid = 0;
    while (pos < m_rows.size() && !loadListRow(pos))
        ++pos;
    m_pos = pos;
    m_eof = pos >= m_rows.size();
    if (m_eof)
        m_current.assign(m_def.fields.size(), Value());
}

Field Table::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw EngineTextError("Field index out of range in table " + m_tableName);
    return Field(this, index);
}

Field Table::fieldByName(const std::string& name)
{
    int i = m_def.fieldIndex(name);
    if (i < 0)
        throw EngineTextError("Field '" + name + "' not found in table " + m_tableName);
    return Field(this, i);
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

void Table::unlockSemaphore(int number) { m_lock.unlockSemaphore(number); }

} // namespace hv::engine
