#pragma once
// The import fields of the three kinds of data, read from the field
// definition files beside the program ("hourvane.tid", "timeoff.tid",
// "employee.tid"). The import addresses them by position and, for punches and
// employee data, by key, so a file that lacks a position or key the import
// relies on is refused like a damaged one.
#include "exchange/FieldDefinitions.h"

#include <string>
#include <vector>

namespace hv {

enum class ImportType { TimeCard, TimeOff, Employee };
enum class ImportFormat { Comma, Tab, XBase };
enum class ImportDataType { Unset, String, Integer, Date, Time, Float };

struct TImportFieldType {
    std::string DisplayName;
    std::string Key;
    ImportDataType DataType = ImportDataType::Unset;
    int Size = 0;
    bool Mapped = false;
    int Position = 0;
};

// Positions the import relies on.
namespace importpos {
inline constexpr int LastName = 0;
inline constexpr int FirstName = 1;
inline constexpr int EmpCode = 2;
inline constexpr int Date = 3;   // the day, or the employee's start date
inline constexpr int Reason = 4; // time off
inline constexpr int Hours = 5;  // time off
} // namespace importpos

// "hourvane.tid", "timeoff.tid", "employee.tid".
const char* ImportDefinitionFileName(ImportType type);
// The list entry of the summary: "Hourvane Data", "Time Off Data", "Employee Data".
const char* ImportTypeName(ImportType type);

// The definitions as import fields (unmapped); false when a position or key
// the import relies on is missing.
bool ToImportFields(ImportType type, const std::vector<exchange::FieldDefinition>& definitions,
                    std::vector<TImportFieldType>& fields);

// Reads the type's file from the program folder. A file that is missing or
// refused shows "The field definition file <name> is missing or damaged." as
// an error box and leaves the type without fields.
bool LoadImportFields(ImportType type, const std::string& programFolder, std::vector<TImportFieldType>& fields);

// Punch pair 1..4 and whether it is the In of the pair, from a key
// "TimeIn<k>" / "TimeOut<k>"; false for any other key.
bool PunchKey(const std::string& key, int& pair, bool& in);

// The message for the required fields that are not mapped; empty when all are.
std::string RequiredFieldsMessage(ImportType type, const std::vector<TImportFieldType>& fields);

} // namespace hv
