#pragma once
// Rows put straight into the tables, the way tests set the scene: employees,
// departments, time off reasons and benefit rules with the columns a test
// names and plain defaults for the rest. Each returns the new row's key.
#include "storage/DataModule.h"

#include <cstdint>
#include <string>

namespace hv::test {

struct ReasonRow {
    std::string name;
    std::string code;
    bool active = true;
    bool paid = true;
    bool overtime = false;
    // A benefit: with its accrual basis ("C", "A", "U") and validate basis.
    bool policy = false;
    std::string accrualBasis = "C";
    std::string validateBasis = "E";
    std::string lockedBy;
};
std::int32_t addReasonRow(THourvaneDataMod& dm, const ReasonRow& row);

struct EmployeeRow {
    std::string last;
    std::string first;
    double start = 0; // dates of 0 stay null
    double end = 0;
    std::int64_t dept = 0;
    bool active = true;
    std::string code;
    std::string lockedBy;
};
std::int32_t addEmployeeRow(THourvaneDataMod& dm, const EmployeeRow& row);

std::int32_t addDeptRow(THourvaneDataMod& dm, const std::string& name, bool active = true, std::int64_t manager = 0,
                        const std::string& code = {}, const std::string& lockedBy = {});

// A benefit rule of employee type 1 (the one every rule has).
struct RuleRow {
    std::int32_t reason = 0;
    int startMonths = 0;
    int endMonths = 960;
    float earned = 0;
    float carryOver = 0;
    int empType = 1;
    std::string lockedBy;
};
void addRuleRow(THourvaneDataMod& dm, const RuleRow& row);

// The first column of the first row as this connection reads it: "<null>"
// for a null, "<no row>" when there is none.
std::string readValue(THourvaneDataMod& dm, const std::string& sql);
std::int64_t countRows(THourvaneDataMod& dm, const std::string& table, const std::string& where = {});

} // namespace hv::test
