#pragma once
// The fourteen tables of the database: file names, descriptions, columns and
// indexes, in the order in which a new database is created.
#include "engine/Database.h"
#include "engine/TableDef.h"

#include <functional>
#include <string>
#include <vector>

namespace hv {

struct TableLayout {
    std::string fileName;      // "workday.dat"
    std::string componentName; // "tblWorkDay"
    std::string componentFile; // the component's own spelling, "workday.DAT"
    engine::TableDef def;
};

// All fourteen layouts in creation order.
const std::vector<TableLayout>& tableLayouts();
const TableLayout* findLayout(const std::string& componentName);

// Creates every table that does not exist yet in the database's folder and
// calls afterEach once per table of the list (created or not).
void CreateTables(engine::Database& db, const std::function<void()>& afterEach = {});

} // namespace hv
