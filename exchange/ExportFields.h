#pragma once
// The items the export offers for each kind of data, read from the field
// definition files beside the program (".ted", the import's 48-byte records
// with the currency type "M" added). Items named with "Shift" are never
// offered and items named with "Wage" only with Manager Access; the employee
// list appends one item per active custom employee data item.
#include "exchange/FieldDefinitions.h"

#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

enum class ExportKind { HoursWorked, Detail, TimeOffSummary, TimeOffDetail, Benefit, Employee, Department };
inline constexpr int kExportKindCount = 7;

// "timecds.ted" .. "dept.ted".
const char* ExportDefinitionFileName(ExportKind kind);
// The list entry: "Hours Worked Data" .. "Department Data".
const char* ExportKindName(ExportKind kind);
// The kinds that ask for a period (the last three do not).
bool ExportKindHasPeriod(ExportKind kind);

// One offered item: the column it makes (key, type letter, size) and where
// its value comes from.
struct TDBFFieldType {
    std::string DisplayName;
    std::string Key;
    char DataType = 'S'; // S I D T F M
    int Size = 0;
    int Position = 0;     // the record's number in the definition file
    int CustomIndex = -1; // the active custom item's index, else -1
    bool Ticked = false;
};

// The offered items of a definition file's records; false (and none) when a
// record has a type other than S, I, D, T, F, M or a size outside 0-254.
bool ToExportFields(const std::vector<exchange::FieldDefinition>& definitions, bool managerAccess,
                    std::vector<TDBFFieldType>& fields);

// Reads the kind's file from the program folder; Employee Data gets its custom
// items appended. A missing or refused file shows "The field definition file
// <name> is missing or damaged." as an error box and leaves the list empty.
bool LoadExportFields(THourvaneDataMod& dm, ExportKind kind, const std::string& programFolder, bool managerAccess,
                      std::vector<TDBFFieldType>& fields);

} // namespace hv
