#pragma once
// A table of the database folder and a cursor over it: the active index gives
// the order, a filter narrows the rows, First/Next walk them, Edit/Append fill a
// field buffer that Post writes with one prepared statement.
#include "engine/Database.h"
#include "engine/Filter.h"
#include "engine/LockFile.h"
#include "engine/Statement.h"
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hv::engine {

class Table;

// A column of the table's current row (or of the edit buffer while editing).
class Field {
public:
    Field(Table* table, int index) : m_table(table), m_index(index) {}
    const FieldDef& def() const;
    const std::string& name() const { return def().name; }

    bool isNull() const;
    std::string asString() const;
    std::int64_t asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    double asDateTime() const;         // days since 30 December 1899
    std::int64_t asCurrencyUnits() const; // ten-thousandths

    void setAsString(const std::string& v);
    void setAsInteger(std::int64_t v);
    void setAsFloat(double v);
    void setAsBoolean(bool v);
    void setAsDateTime(double v);
    void setAsCurrencyUnits(std::int64_t v);
    void clear();

private:
    const Value& value() const;
    void set(Value v);
    void setStored(Value v); // already in the column's stored form
    Table* m_table;
    int m_index;
};

enum class OpenMode { Shared, Exclusive };
enum class TableState { Inactive, Browse, Edit, Insert };

class Table : public StatementOwner {
public:
    explicit Table(Database& db, std::string componentName = {});
    ~Table() override;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& componentName() const { return m_component; }
    Database& database() const { return m_db; }
    void setTableName(const std::string& fileName); // "workday.DAT"
    const std::string& tableName() const { return m_tableName; }
    std::string sqlName() const;                    // "workday"

    // The layout used by createTable, and by repairTable when the table's own
    // definition files cannot be read. After open it is the table's stored one.
    TableDef& definition() { return m_def; }
    const TableDef& definition() const { return m_def; }
    // Reads the layout stored in the definition file; throws when unreadable.
    TableDef readDefinition() const;

    bool exists() const;
    void createTable();
    void repairTable();

    void open(OpenMode mode = OpenMode::Shared, bool readOnly = false);
    void close();
    bool active() const { return m_state != TableState::Inactive; }
    OpenMode mode() const { return m_mode; }
    bool readOnly() const { return m_readOnly; }
    // Changes only the open lock, keeping the connection and any transaction.
    void changeMode(OpenMode mode);
    TableState state() const { return m_state; }

    void setIndexName(const std::string& name); // "" = primary
    const std::string& indexName() const { return m_indexName; }
    bool findKey(const std::vector<Value>& keyValues);
    void refresh();
    void first();
    void next();
    bool eof() const
    {
        settle();
        return m_eof;
    }
    bool hasRow() const
    {
        settle();
        return m_hasRow;
    }
    std::int64_t rowId() const
    {
        settle();
        return m_rowid;
    }
    std::int64_t recordCount();

    void setFilter(const std::string& expression);
    const std::string& filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }

    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();

    int fieldCount() const { return int(m_def.fields.size()); }
    Field field(int index);
    Field fieldByName(const std::string& name);
    int findField(const std::string& name) const { return m_def.fieldIndex(name); }

    bool lockSemaphore(int number);
    void unlockSemaphore(int number);
    bool holdsSemaphore(int number) const { return m_lock.holdsSemaphore(number); }
    bool semaphoreHeldElsewhere(int number);
    int semaphoresHeldElsewhere(int first, int last);

    void finalizeStatements() override;
    void connectionClosed() override;

private:
    friend class Field;

    std::string path() const;
    std::string blobPath() const;
    std::string lockPath() const;
    std::string blobSchema() const { return sqlName() + "_blb"; }
    std::string qualified() const;
    std::string qualifiedBlob() const;
    std::string columnList() const;
    std::string orderBy() const;
    void requireActive() const;
    void requireEditing() const;
    // The SQL text is built only when the statement is not prepared yet.
    template <class MakeSql> Statement& prepare(Statement& s, MakeSql&& makeSql)
    {
        if (!s.prepared())
            return prepareText(s, makeSql());
        s.reset();
        s.clearBindings();
        return s;
    }
    // The same for a statement whose every parameter is bound on each use.
    template <class MakeSql>
    Statement& prepareAllBound(Statement& s, MakeSql&& makeSql)
    {
        if (!s.prepared())
            return prepareText(s, makeSql());
        s.reset();
        return s;
    }
    Statement& prepareText(Statement& s, const std::string& sql);
    // Statements whose text follows the filter and the index are kept by
    // their text: switching a filter back and forth prepares nothing again.
    Statement& cached(const std::string& sql);
    void forgetShapedStatements();
    void bindFilter(Statement& st, int firstPos) const;
    void compileFilterIfNeeded();
    bool loadRow(std::int64_t rowid);
    std::vector<Value> rowFrom(const Statement& st, int firstCol) const; // memo fields left null
    void readRowFrom(const Statement& st, int firstCol);
    void loadMemo() const;
    // Walking reads the rows in order a block at a time with one statement
    // that starts after the key of the last row handed out, so a walk holds
    // no read lock between calls and needs no list of row ids.
    // A walk reads a few rows first (a week's rows fit), then larger blocks.
    static constexpr std::size_t kFirstWalkRows = 32;
    void orderFieldsIfNeeded();
    enum class BlockStart { First, AfterRow, AfterGroup };
    bool fetchBlock(BlockStart start, const std::vector<Value>* afterRow, std::int64_t afterRowid);
    bool takeFromBlock();
    // The block after the current row; false when there is none.
    bool continueWalk();
    void endWalk();
    void verifyLayout();
    Value storageValue(int field, const Value& v) const;
    void writeMemo(std::int64_t rowid);
    void ensureLockPath();
    // A changed filter moves the cursor to the first row, but only when the
    // cursor is next used: switching a filter off must not walk the table.
    void settle() const
    {
        if (m_pendingFirst && m_state == TableState::Browse)
            const_cast<Table*>(this)->first();
    }
    bool m_pendingFirst = false;

    Database& m_db;
    std::string m_component;
    std::string m_tableName;
    TableDef m_def;
    LockFile m_lock;
    TableState m_state = TableState::Inactive;
    OpenMode m_mode = OpenMode::Shared;
    bool m_readOnly = false;
    std::string m_indexName;
    std::string m_filterText;
    bool m_filtered = false;
    CompiledFilter m_filter;
    bool m_filterCompiled = false;

    bool m_eof = true;
    bool m_hasRow = false;
    std::int64_t m_rowid = 0;
    std::vector<Value> m_current;
    mutable bool m_memoLoaded = true;
    std::vector<Value> m_buffer;
    std::vector<Value> m_defaults; // a fresh row's values
    std::uint64_t m_memoMask = 0;
    std::vector<int> m_columnFields; // the field of each stored column, in order
    int m_autoIncField = -1;
    std::uint64_t m_dirty = 0;

    Statement m_stLoad, m_stMemoLoad, m_stInsert, m_stMemoWrite, m_stDelete, m_stMemoDelete;
    std::map<std::uint64_t, Statement> m_stUpdate;
    std::unordered_map<std::string, Statement> m_cache;
    std::vector<Statement*> m_stFind; // of the cache, by the number of key values less one
    Statement* m_stWalkFirst = nullptr;
    Statement* m_stWalkAfter = nullptr;
    Statement* m_stWalkGroup = nullptr;
    std::unordered_set<const Statement*> m_sortingWalks; // of the cache: their rows are sorted

    // The walk: rows read ahead, in order, with their row ids.
    std::vector<std::vector<Value>> m_block;
    std::vector<std::int64_t> m_blockIds;
    std::size_t m_blockCount = 0;
    std::size_t m_blockNext = 0;
    bool m_blockLast = false;      // nothing follows the block
    bool m_blockEndsGroup = false; // it holds every row of its last first order value,
    Value m_groupValue;            // which is this
    bool m_walkValid = false;      // the block follows the current row
    std::size_t m_blockRows = 0;
    bool m_orderKnown = false;
    std::vector<int> m_orderFields; // of the active index, in order
    bool m_orderNoCase = false;
    bool m_orderUnique = false;
    std::uint64_t m_orderMask = 0;
    const IndexDef* m_keyIndex = nullptr;
    std::vector<int> m_keyFields;
};

// Turns a filter on for a scope: the filter belongs to the cursor every user of
// the table shares, so it must be off again whatever happens while it is on.
class FilterScope {
public:
    FilterScope(Table& table, const std::string& expression) : m_table(table)
    {
        m_table.setFilter(expression);
        m_table.setFiltered(true);
    }
    ~FilterScope()
    {
        try {
            m_table.setFiltered(false);
            m_table.setFilter("");
        } catch (...) {
        }
    }
    FilterScope(const FilterScope&) = delete;
    FilterScope& operator=(const FilterScope&) = delete;

private:
    Table& m_table;
};

// Creates a table file set (data file, definition file and blob file) in one go;
// files appear only when complete.
void createTableFiles(const TableDef& def, const std::string& sqlName, const std::string& dataPath,
                      const std::string& definitionPath, const std::string& blobPath);

} // namespace hv::engine
