#pragma once
// Consistent copies of table files for the backup, and the check a restored
// file must pass before it may replace a table. A table file is read only
// through the connection that has it open: a second descriptor of it, once
// closed, would drop SQLite's locks for the whole process.
#include <string>
#include <vector>

namespace hv::engine {

class Table;

// Copies the open table's files into folder under their own names: the data
// file and the blob file through SQLite's backup API on the table's
// connection (so a hot journal or a writer in progress never shows), the
// definition file as it is. Returns the names written. Throws EngineError.
std::vector<std::string> snapshotTable(Table& table, const std::string& folder);

// Empty when the file is a sound SQLite database (its header, and
// integrity_check answering "ok"); else what is wrong with it.
std::string checkDatabaseFile(const std::string& path);

// "ok" when integrity_check of the open table's data file (and blob file)
// answers so through the table's own connection; else the first problems.
std::string checkOpenTable(Table& table);

} // namespace hv::engine
