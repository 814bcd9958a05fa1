#pragma once
// The export's output files: fixed-length, comma- or tab-delimited text and
// dBase tables. Every writer builds its output under a temporary name and
// puts it in place of the destination only when the last record is written,
// so a run that fails leaves the destination as it was. Writers report
// through errorString() and never show a dialog.
#include <memory>
#include <string>
#include <vector>

namespace hv {

enum class ExportFormat { Fixed, Comma, Tab, XBase };
// "Fixed Length", "Comma Delimited", "Tab Delimited", "xBase (DBF) Format".
const char* ExportFormatName(ExportFormat format);

// One output column: the item's key, type letter (S I D T F M) and size.
struct ExportColumn {
    std::string key;
    char type = 'S';
    int size = 0;
};

// One value as the record producers give it: the text the text files show
// and, for numbers and dates, the value a dBase table stores.
struct ExportValue {
    enum class Kind { Text, Number, Date };
    Kind kind = Kind::Text;
    std::string text;
    double number = 0; // Number: the amount; Date: the day number, 0 for none

    static ExportValue textValue(std::string t) { return {Kind::Text, std::move(t), 0}; }
    static ExportValue numberValue(std::string t, double n) { return {Kind::Number, std::move(t), n}; }
    static ExportValue dateValue(std::string t, double d) { return {Kind::Date, std::move(t), d}; }
};

class ExportWriter {
public:
    virtual ~ExportWriter() = default;
    // Starts the output under a temporary name; false when it cannot be made.
    virtual bool open(const std::vector<ExportColumn>& columns) = 0;
    // One record, a value per column.
    virtual bool write(const std::vector<ExportValue>& values) = 0;
    // Puts the finished output in place of the destination.
    virtual bool commit() = 0;
    // Drops the temporary output; the destination stays as it was.
    virtual void cancel() = 0;

    const std::string& errorString() const { return m_error; }
    // Values in which a separator or a line break was written as a blank.
    int changedValues() const { return m_changed; }

protected:
    std::string m_error;
    int m_changed = 0;
};

struct ExportWriterOptions {
    ExportFormat format = ExportFormat::Comma;
    std::string fileName; // as chosen; a dBase table is named after it
    // The dBase header's last-modified date (a day number).
    double today = 0;
    // Decimals of hour amounts (the hour format's) in dBase columns.
    int hourDecimals = 2;
};

std::unique_ptr<ExportWriter> MakeExportWriter(const ExportWriterOptions& options);

// "<chosen name without extension>.dbf" in the chosen folder.
std::string DbfTableName(const std::string& chosen);
// Why the columns cannot make a dBase table (a key empty, longer than 10
// characters or used twice, in any case); empty when they can.
std::string DbfColumnProblem(const std::vector<ExportColumn>& columns);
// Digits after the decimal point of a number pattern ("#0.00" gives 2).
int PatternDecimals(const std::string& pattern);
// UTF-8 text in Windows-1252; a character the code page lacks becomes "?".
std::string Utf8ToWindows1252(const std::string& text);

} // namespace hv
