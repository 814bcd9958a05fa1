#include "engine/Statement.h"

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/TableDef.h"

#include <sqlite3.h>

#include <cstring>

namespace hv::engine {

namespace {

// "UNIQUE constraint failed: T.a, T.b" names the columns of the broken index.
EngineError keyViolation(const TableDef& def, const std::string& tableName, const std::string& sqliteMessage)
{
    std::vector<std::string> cols;
    auto colon = sqliteMessage.find(": ");
    if (colon != std::string::npos) {
        std::string rest = sqliteMessage.substr(colon + 2);
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
    for (const auto& ix : def.indexes) {
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
    return EngineError(code::KeyViolation,
                       "Key violation: a record with the same key already exists in index '" + indexName +
                           "' of table '" + tableName + "'",
                       indexName);
}

} // namespace

Statement::Statement(const Database& db, const std::string& sql, std::string context)
{
    prepare(db.handle(), sql, std::move(context));
}

Statement::Statement(sqlite3* db, const std::string& sql, std::string context)
{
    prepare(db, sql, std::move(context));
}

Statement::~Statement() { sqlite3_finalize(m_st); }

std::size_t Statement::prepare(sqlite3* db, const std::string& sql, std::string context, bool keep)
{
    finalize();
    m_db = db;
    m_context = std::move(context);
    const char* tail = nullptr;
    // The length counts the terminating zero, which spares SQLite a copy of the text.
    if (sqlite3_prepare_v3(db, sql.c_str(), int(sql.size()) + 1, keep ? SQLITE_PREPARE_PERSISTENT : 0, &m_st,
                           &tail) != SQLITE_OK) {
        int err = sqlite3_extended_errcode(db);
        finalize();
        raise(err);
    }
    return tail ? std::size_t(tail - sql.c_str()) : sql.size();
}

void Statement::finalize()
{
    sqlite3_finalize(m_st);
    m_st = nullptr;
}

void Statement::reset() { sqlite3_reset(m_st); }
void Statement::clearBindings() { sqlite3_clear_bindings(m_st); }

void Statement::raise(int rc) const
{
    if (m_keys && (rc & 0xff) == SQLITE_CONSTRAINT && rc != SQLITE_CONSTRAINT_NOTNULL)
        throw keyViolation(*m_keys, m_context, sqlite3_errmsg(m_db));
    throw makeEngineError(m_db, rc, m_context);
}

bool Statement::step()
{
    int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    int err = sqlite3_extended_errcode(m_db);
    sqlite3_reset(m_st);
    raise(err);
}

void Statement::execute()
{
    while (step()) {
    }
    reset();
}

int Statement::parameterCount() const { return sqlite3_bind_parameter_count(m_st); }
const char* Statement::parameterName(int pos) const { return sqlite3_bind_parameter_name(m_st, pos); }

void Statement::bindText(int pos, std::string_view text)
{
    sqlite3_bind_text(m_st, pos, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void Statement::bindInt(int pos, std::int64_t value) { sqlite3_bind_int64(m_st, pos, value); }
void Statement::bindDouble(int pos, double value) { sqlite3_bind_double(m_st, pos, value); }
void Statement::bindNull(int pos) { sqlite3_bind_null(m_st, pos); }

void Statement::bindValue(int pos, const Value& value)
{
    if (auto* i = std::get_if<std::int64_t>(&value))
        bindInt(pos, *i);
    else if (auto* d = std::get_if<double>(&value))
        bindDouble(pos, *d);
    else if (auto* s = std::get_if<std::string>(&value))
        bindText(pos, *s);
    else
        bindNull(pos);
}

void Statement::bindValueInPlace(int pos, const Value& value)
{
    if (auto* s = std::get_if<std::string>(&value))
        sqlite3_bind_text(m_st, pos, s->data(), int(s->size()), SQLITE_STATIC);
    else
        bindValue(pos, value);
}

int Statement::columnCount() const { return sqlite3_column_count(m_st); }
std::string Statement::columnName(int col) const { return sqlite3_column_name(m_st, col); }
std::int64_t Statement::columnInt(int col) const { return sqlite3_column_int64(m_st, col); }

std::string Statement::columnText(int col) const
{
    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(m_st, col));
    return std::string(t ? t : "", std::size_t(sqlite3_column_bytes(m_st, col)));
}

Value Statement::columnValue(int col) const
{
    switch (sqlite3_column_type(m_st, col)) {
    case SQLITE_INTEGER: return Value(std::int64_t(sqlite3_column_int64(m_st, col)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(m_st, col));
    case SQLITE_NULL: return Value();
    default: return Value(columnText(col));
    }
}

void valueInto(sqlite3_value* v, Value& out)
{
    // No change of a value's kind when it keeps it: a walk reads every
    // column of every row into the values of the rows it read before.
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        if (auto* i = std::get_if<std::int64_t>(&out))
            *i = sqlite3_value_int64(v);
        else
            out.emplace<std::int64_t>(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        if (auto* d = std::get_if<double>(&out))
            *d = sqlite3_value_double(v);
        else
            out.emplace<double>(sqlite3_value_double(v));
        break;
    case SQLITE_NULL:
        if (out.index() != 0)
            out.emplace<std::monostate>();
        break;
    default: {
        const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const std::size_t n = std::size_t(sqlite3_value_bytes(v));
        if (auto* s = std::get_if<std::string>(&out)) {
            // A text of the same length (dates, times) takes no more than a copy.
            s->resize(n);
            if (n)
                std::memcpy(s->data(), t, n);
        } else {
            out.emplace<std::string>(t ? t : "", n);
        }
        break;
    }
    }
}

void Statement::rowInto(int firstCol, const std::vector<int>& fields, Value* row) const
{
    int col = firstCol;
    for (int f : fields)
        valueInto(sqlite3_column_value(m_st, col++), row[f]);
}

bool Statement::sortedSinceAsked() { return sqlite3_stmt_status(m_st, SQLITE_STMTSTATUS_SORT, 1) > 0; }

std::int64_t Statement::changes() const { return sqlite3_changes64(m_db); }
std::int64_t Statement::lastInsertRowid() const { return sqlite3_last_insert_rowid(m_db); }

} // namespace hv::engine
