#include "engine/Query.h"

#include "engine/EngineError.h"
#include "engine/TableDef.h"

#include <sqlite3.h>

namespace hv::engine {

Query::Query(Database& db, std::string componentName) : m_db(db), m_component(std::move(componentName))
{
    m_db.addOwner(this);
}

Query::~Query()
{
    finalizeStatements();
    m_db.removeOwner(this);
}

void Query::finalizeStatements()
{
    sqlite3_finalize(m_st);
    m_st = nullptr;
    m_active = false;
    m_eof = true;
}

void Query::connectionClosed()
{
    finalizeStatements();
    m_prepared = false;
}

void Query::clearSql()
{
    close();
    unprepare();
    m_lines.clear();
}

void Query::addSql(const std::string& line)
{
    close();
    unprepare();
    m_lines.push_back(line);
}

std::string Query::sql() const
{
    std::string out;
    for (const auto& l : m_lines) {
        if (!out.empty())
            out += '\n';
        out += l;
    }
    return out;
}

sqlite3_stmt* Query::statement()
{
    if (m_st)
        return m_st;
    std::string text = sql();
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(m_db.handle(), text.c_str(), -1, m_prepared ? SQLITE_PREPARE_PERSISTENT : 0,
                                &m_st, &tail);
    if (rc != SQLITE_OK) {
        int err = sqlite3_extended_errcode(m_db.handle());
        sqlite3_finalize(m_st);
        m_st = nullptr;
        m_db.raise(err);
    }
    while (tail && *tail && std::isspace(static_cast<unsigned char>(*tail)))
        ++tail;
    if (!m_st || (tail && *tail && *tail != ';')) {
        sqlite3_finalize(m_st);
        m_st = nullptr;
        throw EngineError(code::SqlError, "A query holds exactly one statement");
    }
    return m_st;
}

void Query::prepare()
{
    m_prepared = true;
    statement();
}

void Query::unprepare()
{
    m_prepared = false;
    if (!m_active) {
        sqlite3_finalize(m_st);
        m_st = nullptr;
    }
}

void Query::setParam(const std::string& name, Value value)
{
    std::string key = !name.empty() && name[0] == ':' ? name.substr(1) : name;
    m_params[key] = std::move(value);
}

void Query::setParamDate(const std::string& name, double day)
{
    setParam(name, Value(dateTimeToText(day, FieldType::Date)));
}

void Query::bindParams(sqlite3_stmt* st)
{
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    int n = sqlite3_bind_parameter_count(st);
    for (int i = 1; i <= n; ++i) {
        const char* pname = sqlite3_bind_parameter_name(st, i);
        if (!pname)
            throw EngineError(code::SqlError, "Query parameters must be named");
        std::string key = pname + 1;
        auto it = m_params.end();
        for (auto p = m_params.begin(); p != m_params.end(); ++p)
            if (sameName(p->first, key))
                it = p;
        if (it == m_params.end())
            throw EngineError(code::SqlError, "No value for the parameter '" + key + "'");
        const Value& v = it->second;
        if (auto* x = std::get_if<std::int64_t>(&v))
            sqlite3_bind_int64(st, i, *x);
        else if (auto* d = std::get_if<double>(&v))
            sqlite3_bind_double(st, i, *d);
        else if (auto* s = std::get_if<std::string>(&v))
            sqlite3_bind_text(st, i, s->data(), int(s->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, i);
    }
}

void Query::step()
{
    int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) {
        int n = sqlite3_column_count(m_st);
        m_row.assign(std::size_t(n), Value());
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(m_st, c)) {
            case SQLITE_INTEGER: m_row[c] = Value(std::int64_t(sqlite3_column_int64(m_st, c))); break;
            case SQLITE_FLOAT: m_row[c] = Value(sqlite3_column_double(m_st, c)); break;
            case SQLITE_NULL: break;
            default: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
                m_row[c] = Value(std::string(t ? t : "", std::size_t(sqlite3_column_bytes(m_st, c))));
            }
            }
        }
        m_eof = false;
        return;
    }
    m_eof = true;
    m_row.assign(m_names.size(), Value());
    if (rc != SQLITE_DONE) {
        int err = sqlite3_extended_errcode(m_db.handle());
        sqlite3_reset(m_st);
        m_active = false;
        m_db.raise(err);
    }
}

void Query::open()
{
    close();
    sqlite3_stmt* st = statement();
    if (sqlite3_column_count(st) == 0)
        throw EngineError(code::SqlError, "The statement returns no rows; execute it instead");
    bindParams(st);
    m_names.clear();
    for (int c = 0; c < sqlite3_column_count(st); ++c)
        m_names.emplace_back(sqlite3_column_name(st, c));
    m_active = true;
    step();
}

void Query::next()
{
    if (!m_active)
        throw EngineTextError("The query is not open");
    if (!m_eof)
        step();
}

void Query::close()
{
    if (!m_active)
        return;
    m_active = false;
    m_eof = true;
    if (m_prepared) {
        sqlite3_reset(m_st); // keep it prepared, but end its read
    } else {
        sqlite3_finalize(m_st);
        m_st = nullptr;
    }
}

void Query::execSql()
{
    close();
    sqlite3_stmt* st = statement();
    bindParams(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    int err = sqlite3_extended_errcode(m_db.handle());
    sqlite3_reset(st);
    if (!m_prepared) {
        sqlite3_finalize(m_st);
        m_st = nullptr;
    }
    if (rc != SQLITE_DONE)
        m_db.raise(err);
    m_rowsAffected = sqlite3_changes64(m_db.handle());
}

QueryField Query::fieldByName(const std::string& name) const
{
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (sameName(m_names[i], name))
            return QueryField(this, int(i));
    throw EngineTextError("Field '" + name + "' not found in the query result");
}

const Value& QueryField::value() const
{
    static const Value null;
    if (m_query->m_eof || m_index >= int(m_query->m_row.size()))
        return null;
    return m_query->m_row[m_index];
}

bool QueryField::isNull() const { return engine::isNull(value()); }
std::string QueryField::asString() const { return valueAsString(value()); }
std::int64_t QueryField::asInteger() const { return valueAsInteger(value()); }
double QueryField::asFloat() const { return valueAsFloat(value()); }
bool QueryField::asBoolean() const { return valueAsBoolean(value()); }
double QueryField::asDateTime() const { return valueAsDateTime(value()); }

} // namespace hv::engine
