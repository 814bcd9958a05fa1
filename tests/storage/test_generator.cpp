// The synthetic data generator gives the same folder for the same seed.
#include "engine/Database.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "tests/support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace hv::test {
namespace {

std::string generate(const TempDir& dir, const char* seed)
{
    QProcess p;
    p.start(QStringLiteral(HV_TOOLS_DIR "/hv_generate"),
            {QString::fromStdString(dir.path().string()), "--employees", "12", "--years", "1", "--seed", seed});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // A fingerprint of the rows: every table's row count and the punch and
    // time off rows themselves.
    engine::Database db;
    db.setDirectory(dir.folder());
    db.connect();
    std::string print;
    std::vector<std::unique_ptr<engine::Table>> tables;
    for (const char* name : {"employee.dat", "dept.dat", "reason.dat", "policy.dat", "otpolicy.dat", "wage.dat",
                             "empot.dat", "accrual.dat", "workday.dat", "timeoff.dat"}) {
        tables.push_back(std::make_unique<engine::Table>(db));
        tables.back()->setTableName(name);
        tables.back()->open();
        print += std::string(name) + "=" + std::to_string(tables.back()->recordCount()) + ";";
    }
    engine::Query q(db);
    q.addSql("select group_concat(EmpID || WeekDate || TimeIn1 || TimeOut2, ',') from WorkDay");
    q.open();
    print += q.field(0).asString();
    q.close();
    q.clearSql();
    q.addSql("select group_concat(EmpID || WeekDate || ReasonID, ',') from TimeOff");
    q.open();
    print += q.field(0).asString();
    return print;
}

TEST(Generator, SameSeedSameDataOtherSeedOtherData)
{
    TempDir a, b, c;
    std::string first = generate(a, "42");
    EXPECT_NE(first.find("employee.dat=12;"), std::string::npos) << first.substr(0, 200);
    EXPECT_NE(first.find("reason.dat=5;"), std::string::npos);
    EXPECT_EQ(generate(b, "42"), first);
    EXPECT_NE(generate(c, "43"), first);
}

} // namespace
} // namespace hv::test
