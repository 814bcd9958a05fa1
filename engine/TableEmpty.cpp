#include "engine/TableEmpty.h"

#include "engine/EngineError.h"
#include "engine/Table.h"

namespace hv::engine {
namespace {

std::string textLiteral(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

} // namespace

void EmptyAndRestartNumbering(Table& table)
{
    if (!table.active())
        throw EngineTextError("Table " + table.tableName() + " is not open");
    if (table.readOnly())
        throw EngineTextError("Table " + table.tableName() + " is open read-only");
    table.cancel();
    Database& db = table.database();
    const std::string name = table.sqlName();
    const Database::WriteTurn turn(db);
    Savepoint savepoint(db, "hv_empty");
    db.exec("DELETE FROM " + quoteIdent(db.schemaOf(name)) + "." + quoteIdent(name));
    if (table.definition().hasMemo())
        db.exec("DELETE FROM " + quoteIdent(db.schemaOf(name + "_blb")) + ".\"Memo\"");
    bool numbered = false;
    for (const auto& f : table.definition().fields)
        numbered = numbered || f.type == FieldType::AutoInc;
    // SQLite keeps the highest number it gave in sqlite_sequence; without the
    // table's row there the next insert gets 1.
    if (numbered)
        db.exec("DELETE FROM " + quoteIdent(db.schemaOf(name)) + ".sqlite_sequence WHERE name = " + textLiteral(name) +
                " COLLATE NOCASE");
    savepoint.release();
    table.first();
}

} // namespace hv::engine
