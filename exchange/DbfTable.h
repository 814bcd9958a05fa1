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
