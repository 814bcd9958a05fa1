#pragma once
// Reads a dBase (.dbf) table through shapelib's DBF functions: field names in
// table order, the record count, each value as text without padding and
// dates as dates. The table comes from elsewhere, so its header is checked to
// hold together before any record is read. The only file that includes
// shapelib's header.
#include "exchange/TextDecoding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hv::exchange {

enum class DbfFieldKind { Text, Number, Date, Logical, Other };

struct DbfField {
    std::string name; // decoded by the table's code page
    DbfFieldKind kind = DbfFieldKind::Text;
    char nativeType = 'C';
    int width = 0;
    int decimals = 0;
};

struct DbfValue {
    std::string text; // without padding; numbers with "." as dBase writes them
    DbfFieldKind kind = DbfFieldKind::Text;
    // A date field's calendar date; all 0 when it is empty or not a date.
    int year = 0, month = 0, day = 0;
    bool isDate() const { return year != 0; }
};

class DbfTable {
public:
    DbfTable() = default;
    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // False with an error text when the file cannot be opened or its header
    // does not hold together (header and record length against the fields,
    // record count against the file size).
    bool open(const std::string& path, std::string& error);
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    const std::vector<DbfField>& fields() const { return m_fields; }
    // Rows in the table, deleted ones included.
    int recordCount() const { return m_records; }
    CodePage codePage() const { return m_codePage; }
    // The code page a table names: its language driver byte or its .cpg file.
    static CodePage codePageFor(const char* dbfCodePage);

    // Records are numbered from 0. Marked deleted: such a row is no record.
    bool isDeleted(int record) const;
    // False when the record cannot be read.
    bool readRecord(int record, std::vector<DbfValue>& values) const;

private:
    void* m_handle = nullptr; // DBFHandle
    std::vector<DbfField> m_fields;
    int m_records = 0;
    CodePage m_codePage = CodePage::Auto;
};

} // namespace hv::exchange

namespace hv::exchange {

// Writes a new dBase table through the same library: character, numeric and
// date columns, rows appended one by one. Text arrives in the table's code
// page already (Windows-1252, language driver 87); numbers are written with
// "." whatever the process's numeric locale. The caller builds the table
// under a temporary name and renames it into place.
enum class DbfColumnType { Character, Number, Date };

struct DbfColumn {
    std::string name; // at most 10 characters
    DbfColumnType type = DbfColumnType::Character;
    int width = 0;
    int decimals = 0;
};

struct DbfCell {
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    std::string text; // Text: in the table's code page
    double number = 0;
    int year = 0, month = 0, day = 0;
};

class DbfTableWriter {
public:
    DbfTableWriter() = default;
    ~DbfTableWriter();
    DbfTableWriter(const DbfTableWriter&) = delete;
    DbfTableWriter& operator=(const DbfTableWriter&) = delete;

    // The path must end in ".dbf" (the library replaces any other extension).
    // False when a column name is empty, longer than 10 characters or used
    // twice, or when the file cannot be made.
    bool create(const std::string& path, const std::vector<DbfColumn>& columns, int year, int month, int day,
                std::string& error);
    // Empty cells are left blank. False when a value does not fit its column.
    bool append(const std::vector<DbfCell>& cells, std::string& error);
    // Closes the table and checks that every row reached the file.
    bool close(std::string& error);
    // Closes without checking (after a failure).
    void discard();

private:
    void* m_handle = nullptr; // DBFHandle
    std::string m_path;
    std::vector<DbfColumn> m_columns;
    int m_rows = 0;
};

} // namespace hv::exchange
