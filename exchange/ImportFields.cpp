#include "exchange/ImportFields.h"

#include "ports/MessageService.h"

#include <array>

namespace hv {
namespace {

// The keys each kind requires at its positions; empty: any key.
const std::vector<std::string>& requiredKeys(ImportType type)
{
    static const std::vector<std::string> timeCard = {"", "", "", "", "TimeIn1", "TimeOut1", "TimeIn2", "TimeOut2"};
    static const std::vector<std::string> timeOff = {"", "", "", "", "", ""};
    static const std::vector<std::string> employee = {"LastName", "FirstName", "EmpID",      "",         "TermDate",
                                                      "Eligible", "DeptName",  "DeptID",     "Position", "HomePhone",
                                                      "Address1", "Address2",  "City",       "State",    "PostCode",
                                                      "Contact",  "CDayPhone", "CNitePhone", "Relation"};
    switch (type) {
    case ImportType::TimeCard:
        return timeCard;
    case ImportType::TimeOff:
        return timeOff;
    case ImportType::Employee:
        return employee;
    }
    return timeOff;
}

ImportDataType dataTypeOf(char code)
{
    switch (code) {
    case 'S':
        return ImportDataType::String;
    case 'I':
        return ImportDataType::Integer;
    case 'D':
        return ImportDataType::Date;
    case 'T':
        return ImportDataType::Time;
    case 'F':
        return ImportDataType::Float;
    default:
        return ImportDataType::Unset;
    }
}

bool mapped(const std::vector<TImportFieldType>& fields, int position)
{
    return position < int(fields.size()) && fields[std::size_t(position)].Mapped;
}

} // namespace

const char* ImportDefinitionFileName(ImportType type)
{
    switch (type) {
    case ImportType::TimeCard:
        return "hourvane.tid";
    case ImportType::TimeOff:
        return "timeoff.tid";
    case ImportType::Employee:
        return "employee.tid";
    }
    return "";
}

const char* ImportTypeName(ImportType type)
{
    switch (type) {
    case ImportType::TimeCard:
        return "Hourvane Data";
    case ImportType::TimeOff:
        return "Time Off Data";
    case ImportType::Employee:
        return "Employee Data";
    }
    return "";
}

bool ToImportFields(ImportType type, const std::vector<exchange::FieldDefinition>& definitions,
                    std::vector<TImportFieldType>& fields)
{
    fields.clear();
    const auto& keys = requiredKeys(type);
    if (definitions.size() < keys.size())
        return false;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!keys[i].empty() && definitions[i].key != keys[i])
            return false;
    for (const auto& d : definitions)
        fields.push_back({d.displayName, d.key, dataTypeOf(d.typeCode), d.size, false, d.position});
    return true;
}

bool LoadImportFields(ImportType type, const std::string& programFolder, std::vector<TImportFieldType>& fields)
{
    fields.clear();
    const std::string name = ImportDefinitionFileName(type);
    std::vector<exchange::FieldDefinition> definitions;
    std::string error;
    if (exchange::readFieldDefinitionFile(programFolder + name, definitions, error) &&
        ToImportFields(type, definitions, fields))
        return true;
    fields.clear();
    tell("The field definition file " + name + " is missing or damaged.", MsgKind::Error);
    return false;
}

bool PunchKey(const std::string& key, int& pair, bool& in)
{
    std::string rest;
    if (key.rfind("TimeIn", 0) == 0) {
        in = true;
        rest = key.substr(6);
    } else if (key.rfind("TimeOut", 0) == 0) {
        in = false;
        rest = key.substr(7);
    } else {
        return false;
    }
    if (rest.size() != 1 || rest[0] < '1' || rest[0] > '4')
        return false;
    pair = rest[0] - '0';
    return true;
}

std::string RequiredFieldsMessage(ImportType type, const std::vector<TImportFieldType>& fields)
{
    std::vector<std::string> lines;
    if (!((mapped(fields, importpos::LastName) && mapped(fields, importpos::FirstName)) ||
          mapped(fields, importpos::EmpCode)))
        lines.push_back("  -  Employee First and Last Name or Employee ID");
    if (!mapped(fields, importpos::Date))
        lines.push_back(type == ImportType::Employee ? "  -  Start Date" : "  -  Week Date");
    if (type == ImportType::TimeCard &&
        !((mapped(fields, 4) || mapped(fields, 6)) && (mapped(fields, 5) || mapped(fields, 7))))
        lines.push_back("  -  Punch In and Punch Out Time");
    if (type == ImportType::TimeOff) {
        if (!mapped(fields, importpos::Reason))
            lines.push_back("  -  Reason");
        if (!mapped(fields, importpos::Hours))
            lines.push_back("  -  Hours");
    }
    if (lines.empty())
        return {};
    std::string text = "Please select the following fields:\r\r";
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r" : "") + lines[i];
    return text + "\r\rfor the data you are importing.";
}

} // namespace hv
