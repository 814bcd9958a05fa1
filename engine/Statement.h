#pragma once
// One prepared SQLite statement. Every failed prepare or step ends in one place
// that turns SQLite's result into the engine's error, so callers only bind,
// step and read; the statement is finalized when the object goes.
#include "engine/Value.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace hv::engine {

class Database;
struct TableDef;

class Statement {
public:
    Statement() = default; // prepared later: kept statements are prepared on first use
    Statement(const Database& db, const std::string& sql, std::string context = {});
    Statement(sqlite3* db, const std::string& sql, std::string context = {});
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // context starts the messages of its errors (a table's name). keep: the
    // statement is reused many times. Returns how much of sql was read; the
    // rest is the text after the first statement.
    std::size_t prepare(sqlite3* db, const std::string& sql, std::string context = {}, bool keep = false);
    bool prepared() const { return m_st != nullptr; }
    void finalize();
    // Ends the current run (and the read it holds); the bindings stay.
    void reset();
    void clearBindings();
    // Unique-key failures of this statement name the index of def that was broken.
    void nameKeyViolations(const TableDef* def) { m_keys = def; }

    int parameterCount() const;
    const char* parameterName(int pos) const; // with its ':'; null for "?N"
    void bindText(int pos, std::string_view text);
    void bindInt(int pos, std::int64_t value);
    void bindDouble(int pos, double value);
    void bindNull(int pos);
    void bindValue(int pos, const Value& value);
    // The same without a copy of a text: the value must stay as it is
    // until the statement has run (a post binds its buffer and runs at once).
    void bindValueInPlace(int pos, const Value& value);

    // True for a row, false when done; anything else throws EngineError after a reset.
    bool step();
    // Runs a statement that returns no rows to its end, then resets it.
    void execute();

    int columnCount() const;
    std::string columnName(int col) const;
    std::int64_t columnInt(int col) const;
    std::string columnText(int col) const; // empty for null
    Value columnValue(int col) const;
    // Columns firstCol, firstCol + 1, ... into row[fields[0]], row[fields[1]],
    // ...: the values are reused (a text keeps its buffer).
    void rowInto(int firstCol, const std::vector<int>& fields, Value* row) const;
    // Whether the statement sorted rows since it was last asked.
    bool sortedSinceAsked();

    // Of the connection: rows changed by the last write, rowid of the last insert.
    std::int64_t changes() const;
    std::int64_t lastInsertRowid() const;

private:
    [[noreturn]] void raise(int rc) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_st = nullptr;
    std::string m_context;
    const TableDef* m_keys = nullptr;
};

// An SQLite value into a value that may be reused (a text keeps its buffer).
void valueInto(sqlite3_value* v, Value& out);

} // namespace hv::engine
