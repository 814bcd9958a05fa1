// The table's writes: the edit buffer and its conversions, Post with its key
// violations, and Delete; a savepoint keeps a row and its memo values together.
#include "engine/Table.h"

#include "engine/EngineError.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace hv::engine {

namespace {

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

// The texts a post binds in place belong to its buffer: the statement lets
// go of them once it has run.
struct Unbind {
    Statement& st;
    ~Unbind() { st.clearBindings(); }
};

} // namespace

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

void Table::requireEditing() const
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        throw EngineTextError("Table " + m_tableName + " is not in edit or insert mode");
}

void Table::append()
{
    requireActive();
    if (m_readOnly)
        throw EngineTextError("Table " + m_tableName + " is open read-only");
    if (m_state != TableState::Browse)
        cancel();
    // Value by value: most defaults are nulls over nulls, which cost nothing.
    m_buffer.resize(m_defaults.size());
    for (std::size_t i = 0; i < m_defaults.size(); ++i) {
        if (m_defaults[i].index() != 0)
            m_buffer[i] = m_defaults[i];
        else if (m_buffer[i].index() != 0)
            m_buffer[i].emplace<std::monostate>();
    }
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

void Table::writeMemo(std::int64_t rowid)
{
    Statement& st = prepare(m_stMemoWrite, [&] {
        std::string cols = "RowRef", marks = "?1";
        int n = 1;
        for (const auto& f : m_def.fields)
            if (f.type == FieldType::Memo) {
                cols += ", " + quoteIdent(f.name);
                marks += ", ?" + std::to_string(++n);
            }
        return "INSERT OR REPLACE INTO " + qualifiedBlob() + " (" + cols + ") VALUES (" + marks + ")";
    });
    st.bindInt(1, rowid);
    int pos = 2;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        if (m_def.fields[i].type == FieldType::Memo)
            st.bindValue(pos++, m_buffer[i]);
    st.execute();
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
    const Database::WriteTurn turn(m_db);
    const std::uint64_t memoMask = m_memoMask;
    // The row and its memo values are written together or not at all.
    std::optional<Savepoint> savepoint;
    if (memoMask && (m_state == TableState::Insert || (m_dirty & memoMask)))
        savepoint.emplace(m_db, "hv_post");
    std::int64_t rowid = m_rowid;
    if (m_state == TableState::Insert) {
        Statement& st = prepareAllBound(m_stInsert, [&] {
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
        st.nameKeyViolations(&m_def);
        int pos = 1;
        for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
            FieldType t = m_def.fields[i].type;
            if (t != FieldType::Memo && t != FieldType::AutoInc)
                st.bindValueInPlace(pos++, m_buffer[i]);
        }
        const Unbind unbind{st};
        st.execute();
        rowid = st.lastInsertRowid();
        if (m_autoIncField >= 0)
            m_buffer[std::size_t(m_autoIncField)] = Value(rowid);
    } else if (std::uint64_t mask = m_dirty & ~memoMask) {
        Statement& st = prepareAllBound(m_stUpdate[mask], [&] {
            std::string sets;
            int n = 0;
            for (std::size_t i = 0; i < m_def.fields.size(); ++i)
                if (mask & (std::uint64_t(1) << i)) {
                    sets += (n ? ", " : "") + quoteIdent(m_def.fields[i].name) + " = ?" + std::to_string(n + 1);
                    ++n;
                }
            return "UPDATE " + qualified() + " SET " + sets + " WHERE rowid = ?" + std::to_string(n + 1);
        });
        st.nameKeyViolations(&m_def);
        int pos = 1;
        for (std::size_t i = 0; i < m_def.fields.size(); ++i)
            if (mask & (std::uint64_t(1) << i))
                st.bindValueInPlace(pos++, m_buffer[i]);
        st.bindInt(pos, m_rowid);
        const Unbind unbind{st};
        st.execute();
        if (st.changes() == 0)
            throw EngineError(code::RecordDeleted,
                              "The record has been deleted by another user (table '" + m_tableName + "')");
    }
    if (savepoint) {
        writeMemo(rowid);
        savepoint->release();
    }
    m_rowid = rowid;
    // The block read ahead still follows the row unless the row is new or
    // its place in the order changed.
    orderFieldsIfNeeded();
    if (m_state == TableState::Insert || (m_dirty & m_orderMask))
        m_walkValid = false;
    m_pendingFirst = false;
    m_current.swap(m_buffer);
    m_memoLoaded = true;
    m_hasRow = true;
    m_eof = false;
    m_dirty = 0;
    m_state = TableState::Browse;
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
    const Database::WriteTurn turn(m_db);
    bool memo = m_def.hasMemo();
    std::optional<Savepoint> savepoint;
    if (memo)
        savepoint.emplace(m_db, "hv_delete");
    Statement& st = prepare(m_stDelete, [&] { return "DELETE FROM " + qualified() + " WHERE rowid = ?1"; });
    st.bindInt(1, m_rowid);
    st.execute();
    if (st.changes() == 0)
        throw EngineError(code::RecordDeleted,
                          "The record has been deleted by another user (table '" + m_tableName + "')");
    if (memo) {
        Statement& ms =
            prepare(m_stMemoDelete, [&] { return "DELETE FROM " + qualifiedBlob() + " WHERE RowRef = ?1"; });
        ms.bindInt(1, m_rowid);
        ms.execute();
        savepoint->release();
    }
    // Move to the row that followed the deleted one.
    m_hasRow = false;
    if (m_walkValid && takeFromBlock()) {
        m_eof = false;
        return;
    }
    if (!(m_walkValid && m_blockLast) && continueWalk()) {
        m_eof = false;
        return;
    }
    endWalk();
}

} // namespace hv::engine
