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
    // Every value read comes here: the memo test is a bit of the mask.
    if (t.m_memoMask & (std::uint64_t(1) << m_index))
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

namespace {
// Enough shapes for every filter a table meets in one session; past it the
// cache starts again rather than growing without end.
constexpr std::size_t kCachedStatements = 48;
// Past the first block (Table::kFirstWalkRows), blocks grow to this.
constexpr std::size_t kMaxBlockRows = 1024;
} // namespace

Statement& Table::cached(const std::string& sql)
{
    auto found = m_cache.find(sql);
    if (found != m_cache.end()) {
        found->second.reset();
        return found->second;
    }
    if (m_cache.size() >= kCachedStatements) {
        forgetShapedStatements();
        m_cache.clear();
        m_sortingWalks.clear();
    }
    Statement& st = m_cache.try_emplace(sql).first->second;
    try {
        prepareText(st, sql);
    } catch (...) {
        m_cache.erase(sql);
        throw;
    }
    return st;
}

void Table::forgetShapedStatements()
{
    m_stFind.clear();
    m_stWalkFirst = nullptr;
    m_stWalkAfter = nullptr;
    m_stWalkGroup = nullptr;
}

void Table::setIndexName(const std::string& name)
{
    if (active() && !m_def.findIndex(name))
        throw EngineTextError("Index '" + name + "' not found in table " + m_tableName);
    if (name == m_indexName)
        return;
    m_indexName = name;
    forgetShapedStatements();
    m_orderKnown = false;
    m_walkValid = false;
}

void Table::setFilter(const std::string& expression)
{
    m_filterText = expression;
    m_filterCompiled = false;
    forgetShapedStatements();
    m_walkValid = false;
    if (active() && m_filtered) {
        compileFilterIfNeeded();
        m_pendingFirst = true;
    }
}

void Table::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    m_filterCompiled = false;
    forgetShapedStatements();
    m_walkValid = false;
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
    m_memoLoaded = m_memoMask == 0;
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

void Table::orderFieldsIfNeeded()
{
    if (m_orderKnown)
        return;
    m_orderFields.clear();
    m_orderMask = 0;
    const IndexDef* ix = m_def.findIndex(m_indexName);
    m_orderNoCase = ix && ix->caseInsensitive();
    m_orderUnique = ix && ix->unique();
    if (ix) {
        for (const auto& name : ix->fieldList()) {
            const int i = m_def.fieldIndex(name);
            if (i < 0)
                throw EngineTextError("Index '" + ix->displayName() + "' of table " + m_tableName +
                                      " names an unknown field '" + name + "'");
            m_orderFields.push_back(i);
            m_orderMask |= std::uint64_t(1) << i;
        }
    }
    m_orderKnown = true;
}

namespace {

// False only when SQLite orders the two values of one order column apart:
// a block may end only between rows that differ in their first order value.
bool maySortEqual(const Value& a, const Value& b, bool noCase)
{
    if (a.index() == b.index()) {
        if (auto* s = std::get_if<std::string>(&a)) {
            const std::string& t = std::get<std::string>(b);
            if (!noCase)
                return *s == t;
            // NOCASE folds ASCII letters only.
            auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; };
            return s->size() == t.size() &&
                   std::equal(s->begin(), s->end(), t.begin(), [&](char x, char y) { return fold(x) == fold(y); });
        }
        return a == b;
    }
    if (auto* i = std::get_if<std::int64_t>(&a))
        if (auto* d = std::get_if<double>(&b))
            return double(*i) == *d;
    if (auto* d = std::get_if<double>(&a))
        if (auto* i = std::get_if<std::int64_t>(&b))
            return double(*i) == *d;
    return false; // null, number and text never sort equal
}

} // namespace

// Reads the next block of rows in the active order: from the first row, after
// a row (its order values and row id), or after the group of rows whose first
// order value is m_groupValue, all of which the last block held. A block that
// reaches its size goes on to the end of its group, so that the next one can
// start with a plain comparison of one column, which SQLite seeks to and does
// not test again on every row.
bool Table::fetchBlock(BlockStart start, const std::vector<Value>* afterRow, std::int64_t afterRowid)
{
    compileFilterIfNeeded();
    orderFieldsIfNeeded();
    const int filterCount = int(m_filter.values.size());
    const bool grouped = !m_orderFields.empty();
    // A null in the last row's key cannot be compared as a row value; that
    // rare case spells the comparison out, null first as SQLite orders.
    bool nullKey = false;
    if (start == BlockStart::AfterRow)
        for (int f : m_orderFields)
            nullKey = nullKey || engine::isNull((*afterRow)[std::size_t(f)]);
    const bool nullGroup = start == BlockStart::AfterGroup && engine::isNull(m_groupValue);

    // Where the block starts, as SQL after the filter; built only for a
    // statement not prepared yet.
    auto after = [&]() -> std::string {
        const std::string collate = m_orderNoCase ? " COLLATE NOCASE" : "";
        auto column = [&](int f) { return quoteIdent(m_def.fields[std::size_t(f)].name); };
        int pos = filterCount + 1;
        switch (start) {
        case BlockStart::First:
            return {};
        case BlockStart::AfterGroup:
            if (nullGroup)
                return column(m_orderFields[0]) + " IS NOT NULL";
            return column(m_orderFields[0]) + " > ?" + std::to_string(pos) + collate;
        case BlockStart::AfterRow:
            break;
        }
        if (!nullKey) {
            // The collation goes with the values: on the columns it would
            // keep SQLite from seeking in the index. In a unique index no
            // other row has the key, so the row id need not take part.
            std::string left, right;
            for (int f : m_orderFields) {
                left += (left.empty() ? "" : ", ") + column(f);
                right += (right.empty() ? "?" : ", ?") + std::to_string(pos++) + collate;
            }
            if (!m_orderUnique || m_orderFields.empty()) {
                left += (left.empty() ? "" : ", ") + std::string("rowid");
                right += (right.empty() ? "?" : ", ?") + std::to_string(pos++);
            }
            return "(" + left + ") > (" + right + ")";
        }
        std::string any;
        std::string equal;
        for (int f : m_orderFields) {
            const bool null = engine::isNull((*afterRow)[std::size_t(f)]);
            const std::string c = column(f) + collate;
            const std::string greater = null ? c + " IS NOT NULL" : c + " > ?" + std::to_string(pos);
            any += (any.empty() ? "" : " OR ") + std::string("(") + equal + greater + ")";
            equal += null ? c + " IS NULL AND " : c + " = ?" + std::to_string(pos) + " AND ";
            if (!null)
                ++pos;
        }
        any += (any.empty() ? "" : " OR ") + std::string("(") + equal + "rowid > ?" + std::to_string(pos++) + ")";
        return "(" + any + ")";
    };
    // The rows come through hv_row() (see Database::RowSink), or column by
    // column from a statement that sorts them, where hv_row would see them
    // before the sort.
    auto sql = [&](bool sink) {
        std::string where = m_filter.where;
        const std::string from = after();
        if (!from.empty())
            where = where.empty() ? from : "(" + where + ") AND " + from;
        return "SELECT " + (sink ? "hv_row(rowid, " + columnList() + ")" : "rowid, " + columnList()) + " FROM " +
               qualified() + (where.empty() ? "" : " WHERE " + where) + orderBy() + " LIMIT ?";
    };
    Statement** slot = start == BlockStart::First                      ? &m_stWalkFirst
                       : start == BlockStart::AfterGroup && !nullGroup ? &m_stWalkGroup
                       : start == BlockStart::AfterRow && !nullKey     ? &m_stWalkAfter
                                                                       : nullptr;
    Statement* st = slot ? *slot : nullptr;
    if (!st) {
        st = &cached(sql(true));
        if (slot)
            *slot = st;
    }
    bool sink = m_sortingWalks.count(st) == 0;
    if (!sink)
        st = &cached(sql(false));

    const std::size_t limit = m_blockRows;
    const std::size_t most = grouped ? limit + kMaxBlockRows : limit;
    const std::size_t columns = m_def.fields.size();
    const std::size_t first = grouped ? std::size_t(m_orderFields[0]) : 0;
    Database::RowSink& rows = m_db.rowSink();
    struct SinkOff {
        Database::RowSink& sink;
        ~SinkOff() { sink.row = nullptr; }
    } sinkOff{rows};
    for (;;) {
        st->reset();
        bindFilter(*st, 1);
        int p = filterCount + 1;
        if (start == BlockStart::AfterGroup) {
            if (!nullGroup)
                st->bindValue(p++, m_groupValue);
        } else if (start == BlockStart::AfterRow) {
            for (int f : m_orderFields) {
                const Value& v = (*afterRow)[std::size_t(f)];
                if (!nullKey || !engine::isNull(v))
                    st->bindValue(p++, v);
            }
            if (nullKey || !m_orderUnique || m_orderFields.empty())
                st->bindInt(p++, afterRowid);
        }
        // One row more than the block holds tells whether any follow.
        st->bindInt(p, std::int64_t(most + 1));
        if (sink)
            st->sortedSinceAsked(); // counts from here

        m_blockCount = 0;
        m_blockNext = 0;
        m_blockLast = false;
        m_blockEndsGroup = false;
        bool sorted = false;
        try {
            for (;;) {
                if (m_block.size() <= m_blockCount) {
                    m_block.emplace_back(columns);
                    m_blockIds.push_back(0);
                }
                std::vector<Value>& row = m_block[m_blockCount];
                if (row.size() != columns)
                    row.resize(columns);
                if (sink) {
                    rows.row = row.data();
                    rows.fields = m_columnFields.data();
                    rows.count = int(m_columnFields.size());
                }
                if (m_blockCount > most || !st->step()) {
                    m_blockLast = m_blockCount <= most;
                    break;
                }
                if (sink && m_blockCount == 0 && st->sortedSinceAsked()) {
                    sorted = true; // hv_row saw the rows before the sort
                    break;
                }
                if (sink) {
                    m_blockIds[m_blockCount] = rows.rowid;
                } else {
                    m_blockIds[m_blockCount] = st->columnInt(0);
                    st->rowInto(1, m_columnFields, row.data());
                }
                if (m_blockCount >= limit && grouped &&
                    !maySortEqual(m_block[m_blockCount - 1][first], row[first], m_orderNoCase)) {
                    // This row starts the next group: the block ends before it.
                    m_blockEndsGroup = true;
                    m_groupValue = m_block[m_blockCount - 1][first];
                    break;
                }
                ++m_blockCount;
            }
        } catch (...) {
            st->reset();
            m_blockCount = 0;
            m_walkValid = false;
            throw;
        }
        st->reset();
        if (!sorted)
            break;
        m_sortingWalks.insert(st);
        st = &cached(sql(false));
        sink = false;
    }
    if (m_blockCount > most)
        m_blockCount = most; // a group too long for one block: the next starts after its last row
    m_walkValid = true;
    m_blockRows = std::min(kMaxBlockRows, m_blockRows * 4);
    return m_blockCount > 0;
}

bool Table::takeFromBlock()
{
    if (m_blockNext >= m_blockCount)
        return false;
    m_current.swap(m_block[m_blockNext]);
    m_rowid = m_blockIds[m_blockNext];
    ++m_blockNext;
    m_hasRow = true;
    m_memoLoaded = m_memoMask == 0;
    if (!m_memoLoaded) // read when first asked for, never the values of an earlier row
        for (std::size_t i = 0; i < m_current.size(); ++i)
            if (m_memoMask & (std::uint64_t(1) << i))
                m_current[i] = Value();
    return true;
}

void Table::endWalk()
{
    m_eof = true;
    m_hasRow = false;
    m_rowid = 0;
    m_current.assign(m_def.fields.size(), Value());
}

void Table::first()
{
    requireActive();
    if (m_state != TableState::Browse)
        cancel();
    m_pendingFirst = false;
    m_hasRow = false;
    m_rowid = 0;
    m_blockRows = kFirstWalkRows;
    if (fetchBlock(BlockStart::First, nullptr, 0) && takeFromBlock())
        m_eof = false;
    else
        endWalk();
}

void Table::next()
{
    requireActive();
    settle();
    if (m_state != TableState::Browse)
        cancel();
    if (m_eof)
        return;
    if (m_walkValid && takeFromBlock())
        return;
    if (m_walkValid && m_blockLast) {
        m_eof = true; // the last row stays current
        return;
    }
    if (!m_hasRow) {
        m_eof = true;
        return;
    }
    if (!continueWalk())
        m_eof = true; // the last row stays current
}

bool Table::continueWalk()
{
    if (m_walkValid && m_blockEndsGroup)
        return fetchBlock(BlockStart::AfterGroup, nullptr, 0) && takeFromBlock();
    if (!m_walkValid)
        m_blockRows = kFirstWalkRows;
    // After the current row as it is now (a post may have moved it);
    // fetchBlock writes only into the block, never into m_current.
    return fetchBlock(BlockStart::AfterRow, &m_current, m_rowid) && takeFromBlock();
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
    // One statement per number of key values: a day's rows are looked for by
    // the whole key and by its first two fields.
    const std::size_t slot = keyValues.size() - 1;
    Statement* find = slot < m_stFind.size() ? m_stFind[slot] : nullptr;
    if (!find) {
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
        find = &cached("SELECT rowid, " + columnList() + " FROM " + qualified() + " WHERE " + where + orderBy() +
                       " LIMIT 1");
        if (m_stFind.size() <= slot) // after cached(), which may have started the cache again
            m_stFind.resize(slot + 1, nullptr);
        m_stFind[slot] = find;
    } else {
        find->reset();
    }
    Statement& st = *find;
    for (std::size_t i = 0; i < keyValues.size(); ++i)
        st.bindValue(int(i + 1), storageValue(m_keyFields[i], keyValues[i]));
    bindFilter(st, int(keyValues.size()) + 1);
    bool found = st.step();
    if (found) {
        m_rowid = st.columnInt(0);
        if (m_current.size() != m_def.fields.size())
            m_current.resize(m_def.fields.size());
        for (std::size_t i = 0; i < m_current.size(); ++i)
            if (m_memoMask & (std::uint64_t(1) << i))
                m_current[i] = Value();
        st.rowInto(1, m_columnFields, m_current.data());
        m_memoLoaded = m_memoMask == 0;
        m_hasRow = true;
        m_eof = false;
        m_walkValid = false;
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
    Statement& st = cached("SELECT count(*) FROM " + qualified() + where);
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
