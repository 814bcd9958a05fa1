#include "tests/support/DatabaseFingerprint.h"

#include "engine/Database.h"
#include "engine/Statement.h"
#include "engine/Table.h"
#include "storage/CreateTables.h"

#include <QProcess>

#include <cstdio>
#include <memory>
#include <vector>

namespace hv::test {
namespace {

// FNV-1a: stable across runs and machines, unlike std::hash.
struct Hash {
    std::uint64_t value = 1469598103934665603ull;
    void add(const std::string& s)
    {
        for (unsigned char c : s)
            value = (value ^ c) * 1099511628211ull;
        value = (value ^ 0xff) * 1099511628211ull; // a separator no text holds
    }
};

std::string rowsOf(engine::Database& db, const std::string& label, const std::string& schema, const std::string& table)
{
    const std::string alias = db.schemaOf(schema);
    if (alias.empty())
        return label + "=<not open>;";
    engine::Statement st(db, "SELECT * FROM " + engine::quoteIdent(alias) + "." + engine::quoteIdent(table) +
                                 " ORDER BY rowid");
    Hash h;
    int rows = 0;
    while (st.step()) {
        ++rows;
        for (int c = 0; c < st.columnCount(); ++c)
            h.add(engine::isNull(st.columnValue(c)) ? std::string("\x01null") : st.columnText(c));
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h.value));
    return label + "=" + std::to_string(rows) + ":" + hex + ";";
}

} // namespace

bool GenerateData(const std::string& folder, int employees, int years, const std::string& seed, std::string* errorText)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(HV_TOOLS_DIR "/hv_generate"),
            {QString::fromStdString(folder), "--employees", QString::number(employees), "--years",
             QString::number(years), "--seed", QString::fromStdString(seed)});
    const bool ok = p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok && errorText)
        *errorText = p.readAll().toStdString();
    return ok;
}

std::string DatabaseFingerprint(engine::Database& db)
{
    std::string print;
    for (const auto& layout : tableLayouts()) {
        const std::string sql = layout.fileName.substr(0, layout.fileName.find('.'));
        print += rowsOf(db, layout.fileName, sql, sql);
        if (layout.def.hasMemo())
            print += rowsOf(db, sql + ".blb", sql + "_blb", "Memo");
    }
    return print;
}

std::string FolderFingerprint(const std::string& folder)
{
    engine::Database db;
    db.setDirectory(folder);
    db.connect();
    std::vector<std::unique_ptr<engine::Table>> tables;
    for (const auto& layout : tableLayouts()) {
        tables.push_back(std::make_unique<engine::Table>(db, layout.componentName));
        tables.back()->setTableName(layout.componentFile);
        tables.back()->open();
    }
    return DatabaseFingerprint(db);
}

} // namespace hv::test
