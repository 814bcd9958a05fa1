#include "engine/Query.h"

#include "engine/EngineError.h"
#include "engine/TableDef.h"

#include <cctype>

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
    m_st.finalize();
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

Statement& Query::statement()
{
    if (m_st.prepared())
        return m_st;
    std::string text = sql();
    std::size_t end = m_st.prepare(m_db.handle(), text, {}, m_prepared);
    while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
    if (!m_st.prepared() || (end < text.size() && text[end] != ';')) {
        m_st.finalize();
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
    if (!m_active)
        m_st.finalize();
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

void Query::bindParams(Statement& st)
{
    st.reset();
    st.clearBindings();
    int n = st.parameterCount();
    for (int i = 1; i <= n; ++i) {
        const char* pname = st.parameterName(i);
        if (!pname)
            throw EngineError(code::SqlError, "Query parameters must be named");
        std::string key = pname + 1;
        auto it = m_params.end();
        for (auto p = m_params.begin(); p != m_params.end(); ++p)
            if (sameName(p->first, key))
                it = p;
        if (it == m_params.end())
            throw EngineError(code::SqlError, "No value for the parameter '" + key + "'");
        st.bindValue(i, it->second);
    }
}

void Query::step()
{
    bool row = false;
    try {
        row = m_st.step();
    } catch (...) {
        m_active = false;
        m_eof = true;
        m_row.assign(m_names.size(), Value());
        throw;
    }
    m_eof = !row;
    if (!row) {
        m_row.assign(m_names.size(), Value());
        return;
    }
    // The values of the row before are reused: a report reads many rows.
    m_row.resize(std::size_t(m_st.columnCount()));
    if (m_columns.size() != m_row.size()) {
        m_columns.resize(m_row.size());
        for (std::size_t c = 0; c < m_columns.size(); ++c)
            m_columns[c] = int(c);
    }
    m_st.rowInto(0, m_columns, m_row.data());
}

void Query::open()
{
    close();
    Statement& st = statement();
    if (st.columnCount() == 0)
        throw EngineError(code::SqlError, "The statement returns no rows; execute it instead");
    bindParams(st);
    m_names.clear();
    for (int c = 0; c < st.columnCount(); ++c)
        m_names.push_back(st.columnName(c));
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
    endRun();
}

void Query::endRun()
{
    if (m_prepared)
        m_st.reset(); // keep it prepared, but end its read
    else
        m_st.finalize();
}

void Query::execSql()
{
    close();
    Statement& st = statement();
    bindParams(st);
    try {
        while (st.step()) {
        }
    } catch (...) {
        endRun();
        throw;
    }
    m_rowsAffected = st.changes();
    endRun();
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
