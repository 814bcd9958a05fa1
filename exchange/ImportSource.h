#pragma once
// The records of an import data file, whatever its format: a delimited text
// file gives one record per line with its fields as text, a dBase table one
// per row that is not deleted, its date fields as dates shown in the display
// date format and its numbers as dBase writes them. The wizard's field map
// and the import read the same records.
#include "exchange/ImportFields.h"

#include <memory>
#include <string>
#include <vector>

namespace hv {

struct ImportValue {
    std::string text;     // as the field map shows it
    bool number = false;  // from a dBase number field: "." is the decimal point
    bool hasDate = false; // from a dBase date field that holds a date
    double date = 0;
};

struct ImportRecord {
    int number = 0; // the line (text) or record (dBase) number, from 1
    bool valid = true;
    std::vector<ImportValue> values;
};

class ImportSource {
public:
    virtual ~ImportSource() = default;
    // Null with an error text when the file cannot be opened (or a table's
    // header does not hold together). A table's dates read as text in
    // dateFormat, the format the copy shows dates in.
    static std::unique_ptr<ImportSource> Open(ImportFormat format, const std::string& path,
                                              const std::string& dateFormat, std::string& error);

    // The next record; false at the end of the file.
    virtual bool next(ImportRecord& record) = 0;
    // Lines of a text file, rows of a table: the progress bar's length.
    virtual long total() = 0;
    // "Field <n>" (from 1) for text files, the table's field names.
    virtual std::string columnName(int column) const = 0;
    virtual bool isTable() const = 0;
};

// A value counts as empty when it holds nothing but blanks.
bool IsEmptyValue(const std::string& text);
// Dates as YYYY-MM-DD or by the regional short date format; a dBase date as it is.
bool ImportDate(const ImportValue& value, double& date);
// Times by the regional time format and designators; "8:30 A" and "4:45 P"
// (the program's own 12-hour form) are read as AM and PM.
bool ImportTime(const std::string& text, double& time);
// Hours with the regional decimal separator; dBase numbers with ".".
bool ImportHours(const ImportValue& value, double& hours);
// "Y" or "T" true, empty true, any other text false (case matters).
bool EligibleValue(const std::string& text);

// The field map's sample checks: is the sample, when not empty, a valid date
// (as ImportDate reads it) or time? The messages name the field.
bool SampleIsDate(const std::string& sample);
bool SampleIsTime(const std::string& sample);
std::string SampleDateMessage(const std::string& displayName);
std::string SampleTimeMessage(const std::string& displayName);

} // namespace hv
