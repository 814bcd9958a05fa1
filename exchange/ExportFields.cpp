#include "exchange/ExportFields.h"

#include "people/TFields.h"
#include "ports/MessageService.h"

namespace hv {
namespace {

// The size of empfield.dat's FieldValue column: the widest custom value.
constexpr int kCustomValueSize = 30;

bool knownType(char code)
{
    return code == 'S' || code == 'I' || code == 'D' || code == 'T' || code == 'F' || code == 'M';
}

} // namespace

const char* ExportDefinitionFileName(ExportKind kind)
{
    switch (kind) {
    case ExportKind::HoursWorked:
        return "timecds.ted";
    case ExportKind::Detail:
        return "timecdd.ted";
    case ExportKind::TimeOffSummary:
        return "timeoffs.ted";
    case ExportKind::TimeOffDetail:
        return "timeoffd.ted";
    case ExportKind::Benefit:
        return "benefit.ted";
    case ExportKind::Employee:
        return "employee.ted";
    case ExportKind::Department:
        return "dept.ted";
    }
    return "";
}

const char* ExportKindName(ExportKind kind)
{
    switch (kind) {
    case ExportKind::HoursWorked:
        return "Hours Worked Data";
    case ExportKind::Detail:
        return "Hourvane Detail Data";
    case ExportKind::TimeOffSummary:
        return "Time Off Summary Data";
    case ExportKind::TimeOffDetail:
        return "Time Off Detail Data";
    case ExportKind::Benefit:
        return "Employee Benefit Data";
    case ExportKind::Employee:
        return "Employee Data";
    case ExportKind::Department:
        return "Department Data";
    }
    return "";
}

bool ExportKindHasPeriod(ExportKind kind)
{
    return kind != ExportKind::Benefit && kind != ExportKind::Employee && kind != ExportKind::Department;
}

bool ToExportFields(const std::vector<exchange::FieldDefinition>& definitions, bool managerAccess,
                    std::vector<TDBFFieldType>& fields)
{
    fields.clear();
    for (const auto& d : definitions) {
        // 254 is the widest character column a dBase table holds.
        if (!knownType(d.typeCode) || d.size < 0 || d.size > 254) {
            fields.clear();
            return false;
        }
        if (d.displayName.find("Shift") != std::string::npos)
            continue;
        if (d.displayName.find("Wage") != std::string::npos && !managerAccess)
            continue;
        fields.push_back({d.displayName, d.key, d.typeCode, d.size, d.position, -1, false});
    }
    return true;
}

bool LoadExportFields(THourvaneDataMod& dm, ExportKind kind, const std::string& programFolder, bool managerAccess,
                      std::vector<TDBFFieldType>& fields)
{
    fields.clear();
    const std::string name = ExportDefinitionFileName(kind);
    std::vector<exchange::FieldDefinition> definitions;
    std::string error;
    if (!exchange::readFieldDefinitionFile(programFolder + name, definitions, error) ||
        !ToExportFields(definitions, managerAccess, fields)) {
        fields.clear();
        tell("The field definition file " + name + " is missing or damaged.", MsgKind::Error);
        return false;
    }
    if (kind == ExportKind::Employee) {
        const TEmpFieldListClass custom(dm, nullptr);
        for (int i = 0; i < custom.Count(); ++i)
            fields.push_back(
                {custom.Item(i).FieldDesc(), "Custom" + std::to_string(i + 1), 'S', kCustomValueSize, -1, i, false});
    }
    return true;
}

} // namespace hv
