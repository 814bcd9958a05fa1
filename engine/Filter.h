#pragma once
// Table filters. Only the expression forms the program uses are accepted:
//   Column = <number> | Column = '<text>' | Column between '<text>' and '<text>'
// joined with "and" (parentheses allowed). A filter becomes a WHERE clause with
// bound values, so typed text never reaches SQL as SQL.
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <string>
#include <vector>

namespace hv::engine {

struct CompiledFilter {
    std::string where;          // "" when the filter is empty
    std::vector<Value> values;  // bound in order
};

// Throws EngineError(code::FilterError) on anything else.
CompiledFilter compileFilter(const std::string& expression, const TableDef& def);

} // namespace hv::engine
