#pragma once
// An SQL statement over the connection's tables: its text is set line by line,
// it is opened and read column by column, or executed; named parameters
// (":EmpID") keep their values across opens, and it may be kept prepared.
#include "engine/Database.h"
#include "engine/Statement.h"
#include "engine/Value.h"

#include <map>
#include <string>
#include <vector>

namespace hv::engine {

class Query;

class QueryField {
public:
    QueryField(const Query* q, int index) : m_query(q), m_index(index) {}
    bool isNull() const;
    std::string asString() const;
    std::int64_t asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    double asDateTime() const;

private:
    const Value& value() const;
    const Query* m_query;
    int m_index;
};

class Query : public StatementOwner {
public:
    explicit Query(Database& db, std::string componentName = {});
    ~Query() override;
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    const std::string& componentName() const { return m_component; }
    void clearSql();
    void addSql(const std::string& line);
    std::string sql() const;
    const std::vector<std::string>& lines() const { return m_lines; }

    void prepare();
    void unprepare();
    bool prepared() const { return m_prepared; }

    void setParam(const std::string& name, Value value);
    void setParamInteger(const std::string& name, std::int64_t v) { setParam(name, Value(v)); }
    void setParamFloat(const std::string& name, double v) { setParam(name, Value(v)); }
    void setParamText(const std::string& name, const std::string& v) { setParam(name, Value(v)); }
    void setParamDate(const std::string& name, double day); // bound as 'YYYY-MM-DD'

    void open();
    void close();
    bool active() const { return m_active; }
    bool eof() const { return m_eof; }
    void next();
    int fieldCount() const { return int(m_names.size()); }
    QueryField fieldByName(const std::string& name) const;
    QueryField field(int index) const { return QueryField(this, index); }

    void execSql();
    std::int64_t rowsAffected() const { return m_rowsAffected; }

    void finalizeStatements() override;
    void connectionClosed() override;

private:
    friend class QueryField;
    Statement& statement();
    void bindParams(Statement& st);
    void step();
    void endRun();

    Database& m_db;
    std::string m_component;
    std::vector<std::string> m_lines;
    std::map<std::string, Value> m_params; // keys without the leading ':'
    Statement m_st;
    bool m_prepared = false;
    bool m_active = false;
    bool m_eof = true;
    std::vector<std::string> m_names;
    std::vector<Value> m_row;
    std::vector<int> m_columns; // 0, 1, ... as many as the row has
    std::int64_t m_rowsAffected = 0;
};

} // namespace hv::engine
