// The table's cursor: the active index's order, the filter, walking and
// finding rows, and reading the fields of the current row.
#include "engine/Table.h"

#include "engine/EngineError.h"

#include <cmath>
#include <cstdio>

namespace hv::engine {

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

void Table::bindFilter(Statement& st, int firstPos) const
{
    for (std::size_t i = 0; i < m_filter.values.size(); ++i)
        st.bindValue(firstPos + int(i), m_filter.values[i]);
}

void Table::setIndexName(const std::string& name)
{
    if (active() && !m_def.findIndex(name))
        throw EngineTextError("Index '" + name + "' not found in table " + m_tableName);
    if (name == m_indexName)
        return;
    m_indexName = name;
    m_stFind.finalize();
    m_stList.finalize();
    m_listValid = false;
}

void Table::setFilter(const std::string& expression)
{
    m_filterText = expression;
    m_filterCompiled = false;
    m_stFind.finalize();
    m_stList.finalize();
    m_stCount.finalize();
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
    m_stFind.finalize();
    m_stList.finalize();
    m_stCount.finalize();
    m_listValid = false;
    if (active()) {
        compileFilterIfNeeded();
        m_pendingFirst = true;
    }
}

std::vector<Value> Table::rowFrom(const Statement& st, int firstCol) const
{
    std::vector<Value> row(m_def.fields.size());
    int col = firstCol;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].type != FieldType::Memo)
            row[i] = st.columnValue(col++);
    return row;
}

void Table::readRowFrom(const Statement& st, int firstCol)
{
    m_current = rowFrom(st, firstCol);
    m_memoLoaded = !m_def.hasMemo();
    m_hasRow = true;
}

bool Table::loadRow(std::int64_t rowid)
{
    Statement& st =
        prepare(m_stLoad, [&] { return "SELECT " + columnList() + " FROM " + qualified() + " WHERE rowid = ?1"; });
    st.bindInt(1, rowid);
    bool found = st.step();
    if (found) {
        readRowFrom(st, 0);
        m_rowid = rowid;
    }
    st.reset();
    return found;
}

namespace {
constexpr int kBlockRows = 64;
}

void Table::prefetchFrom(std::size_t pos)
{
    m_prefetched.clear();
    Statement& st = prepare(m_stBlock, [&] {
        std::string marks;
        for (int i = 1; i <= kBlockRows; ++i)
            marks += (i > 1 ? ", ?" : "?") + std::to_string(i);
        return "SELECT rowid, " + columnList() + " FROM " + qualified() + " WHERE rowid IN (" + marks + ")";
    });
    for (int i = 0; i < kBlockRows; ++i) {
        if (pos + std::size_t(i) < m_rows.size())
            st.bindInt(i + 1, m_rows[pos + std::size_t(i)]);
        else
            st.bindNull(i + 1);
    }
    m_hasRow = false;
    while (st.step())
        m_prefetched.emplace(st.columnInt(0), rowFrom(st, 1));
    st.reset();
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
    Statement& st = self->prepare(self->m_stMemoLoad,
                                  [&] { return "SELECT " + cols + " FROM " + qualifiedBlob() + " WHERE RowRef = ?1"; });
    st.bindInt(1, m_rowid);
    bool found = st.step();
    int col = 0;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].type == FieldType::Memo)
            self->m_current[i] = found ? st.columnValue(col++) : Value();
    st.reset();
    self->m_memoLoaded = true;
}

void Table::buildRowList()
{
    compileFilterIfNeeded();
    std::string where = m_filter.where.empty() ? "" : " WHERE " + m_filter.where;
    Statement& st = prepare(m_stList, [&] { return "SELECT rowid FROM " + qualified() + where + orderBy(); });
    bindFilter(st, 1);
    m_rows.clear();
    while (st.step())
        m_rows.push_back(st.columnInt(0));
    st.reset();
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
    if (m_stFind.prepared() && m_findKeyCount != keyValues.size())
        m_stFind.finalize();
    m_findKeyCount = keyValues.size();
    Statement& st = prepare(m_stFind, [&] {
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
        st.bindValue(int(i + 1), storageValue(m_keyFields[i], keyValues[i]));
    bindFilter(st, int(keyValues.size()) + 1);
    bool found = st.step();
    if (found) {
        m_rowid = st.columnInt(0);
        readRowFrom(st, 1);
        m_eof = false;
        m_listValid = false;
        m_pendingFirst = false;
    }
    st.reset();
    return found;
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
    Statement& st = prepare(m_stCount, [&] { return "SELECT count(*) FROM " + qualified() + where; });
    bindFilter(st, 1);
    std::int64_t n = st.step() ? st.columnInt(0) : 0;
    st.reset();
    return n;
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

} // namespace hv::engine
