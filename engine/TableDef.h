#pragma once
// The layout of one table: columns, indexes and description. It is written to the
// table's definition file (.idx) when the table is created, checked when it is
// opened and used to rebuild the table when it is repaired.
#include "engine/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace hv::engine {

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int number = 0;        // 1-based column position
    bool required = false;
    int size = 0;          // maximum characters of text columns
    std::string defaultValue; // empty: none
};

enum IndexOption : unsigned {
    ixPrimary = 1u << 0,
    ixUnique = 1u << 1,
    ixCaseInsensitive = 1u << 2,
};

struct IndexDef {
    std::string name;    // empty for the primary index
    std::string fields;  // "EmpID;WeekDate;SequenceNum"
    unsigned options = 0;

    std::vector<std::string> fieldList() const;
    bool primary() const { return options & ixPrimary; }
    bool unique() const { return options & (ixUnique | ixPrimary); }
    bool caseInsensitive() const { return options & ixCaseInsensitive; }
    // The name used in messages: the given name, "Primary" for the primary index.
    std::string displayName() const { return primary() ? std::string("Primary") : name; }
};

struct TableDef {
    std::string description;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    bool empty() const { return fields.empty(); }
    int fieldIndex(const std::string& name) const; // -1 when absent (case-insensitive)
    const IndexDef* primaryIndex() const;
    const IndexDef* findIndex(const std::string& name) const; // empty name: primary
    bool hasMemo() const;

    std::string serialize() const;
    static std::optional<TableDef> parse(const std::string& text);
    bool operator==(const TableDef&) const;
};

bool sameName(const std::string& a, const std::string& b);
const char* fieldTypeName(FieldType t);
std::optional<FieldType> fieldTypeFromName(const std::string& name);

} // namespace hv::engine
