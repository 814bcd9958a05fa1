#include "EngineFixture.h"

#include <filesystem>
#include <fstream>

namespace hv::test {

namespace {
void overwrite(const std::filesystem::path& p, std::streamoff at, const std::string& bytes)
{
    std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}
} // namespace

TEST_F(EngineTest, DamagedHeaderIsReportedAndRepairKeepsTheRows)
{
    {
        auto w = open("workday.dat");
        for (int i = 0; i < 200; ++i)
            addDay(*w, i, kMarch1, 0);
        auto d = open("dept.dat");
        d->append();
        d->fieldByName("DeptName").setAsString("Sales");
        d->fieldByName("Notes").setAsString("kept");
        d->post();
    }
    db.disconnect();
    overwrite(dir / "workday.dat", 0, std::string(100, 'X'));
    db.connect();
    Table w(db, "w");
    w.setTableName("workday.dat");
    try {
        w.open();
        FAIL() << "a damaged file opened";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::HeaderCorrupt);
        EXPECT_TRUE(isDamageCode(e.code()));
    }
    w.repairTable();
    w.open();
    EXPECT_EQ(w.recordCount(), 200);
    EXPECT_TRUE(w.findKey({Value(std::int64_t(150)), Value(kMarch1), Value(std::int64_t(0))}));
    EXPECT_TRUE(std::filesystem::exists(dir / "workday.bad"));
    addDay(w, 1000, kMarch1, 0); // the rebuilt table takes new rows and keeps its key
    EXPECT_THROW(addDay(w, 1000, kMarch1, 0), EngineError);

    // A table with memo values is repaired with its blob file.
    auto d = open("dept.dat");
    d->close();
    d->repairTable();
    d->open();
    EXPECT_EQ(d->fieldByName("Notes").asString(), "kept");
    d->append();
    d->fieldByName("DeptName").setAsString("New");
    d->post();
    EXPECT_EQ(d->fieldByName("DeptID").asInteger(), 2);
}

TEST_F(EngineTest, TableWhoseFilesAreAllGarbageCannotBeRepaired)
{
    db.disconnect();
    std::ofstream(dir / "workday.dat", std::ios::binary | std::ios::trunc) << std::string(4096, 'Z');
    std::ofstream(dir / "workday.idx", std::ios::trunc) << "garbage";
    db.connect();
    Table w(db, "w");
    w.setTableName("workday.dat");
    EXPECT_THROW(w.open(), EngineError);
    EXPECT_THROW(w.repairTable(), EngineError);
}

TEST_F(EngineTest, LostDefinitionFileIsDamageAndRepairRestoresIt)
{
    {
        auto w = open("workday.dat");
        addDay(*w, 1, kMarch1, 0);
    }
    db.disconnect();
    std::filesystem::remove(dir / "workday.idx");
    db.connect();
    Table w(db, "w");
    w.setTableName("workday.dat");
    try {
        w.open();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_TRUE(isDamageCode(e.code()));
    }
    w.repairTable(); // the data file keeps a copy of its definition
    w.open();
    EXPECT_EQ(w.recordCount(), 1);
    EXPECT_EQ(w.readDefinition(), workDayDef());
}

} // namespace hv::test
