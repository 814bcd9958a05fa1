// Starting the data module: finding the folder, creating, reopening and
// repairing the database.
#include "tests/support/DataFolderFixture.h"
#include "platform/SettingsFile.h"
#include "tests/support/PeerProcess.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace hv::test {

TEST_F(StorageTest, FirstStartCreatesTheDatabaseBehindTheProgressWindow)
{
    THourvaneDataMod& d = start();
    EXPECT_TRUE(progress.shown);
    EXPECT_EQ(progress.label, "Creating Hourvane Database...");
    EXPECT_TRUE(progress.bold);
    EXPECT_FALSE(progress.arrowVisible);
    EXPECT_FALSE(progress.secondLabelVisible);
    EXPECT_EQ(progress.maximum, 15);
    EXPECT_EQ(progress.steps, 14);
    EXPECT_TRUE(progress.released);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(d.dataFolder(), dataFolder);
    EXPECT_TRUE(d.qryTOTotalHours.prepared());
    EXPECT_EQ(d.qryTOTotalHours.lines().size(), 6u);
    EXPECT_EQ(d.qryTOTotalHours.lines()[3], "   and ReasonID = :ReasonID");
}

TEST_F(StorageTest, MissingDataFolderSettingUsesProgramFolderAndWritesItBack)
{
    SettingsFile ini("Hourvane3.ini");
    EXPECT_EQ(ini.read("Initialization", "HourvaneDataDir", "none"), "none");
    start();
    EXPECT_EQ(ini.read("Initialization", "HourvaneDataDir", "none"), programFolder + "Data");

    // A set folder is used as it is, with the separator appended.
    TempDir other;
    ini.write("Initialization", "HourvaneDataDir", other.path().string());
    THourvaneDataMod& d = start();
    EXPECT_EQ(d.dataFolder(), other.folder());
    EXPECT_TRUE(fs::exists(other / "reason.dat"));
}

TEST_F(StorageTest, MissingTableIsRecreatedEmptyWithoutProgressWindow)
{
    start().tblWages.append();
    dm->tblWages.fieldByName("EmpID").setAsInteger(1);
    dm->tblWages.fieldByName("StartDate").setAsDateTime(44986);
    dm->tblWages.fieldByName("Wage").setAsFloat(10);
    dm->tblWages.fieldByName("PayTypeCode").setAsString("H");
    dm->tblWages.post();
    dm.reset();
    fs::remove(dataFolder + "wage.dat");
    fs::remove(dataFolder + "wage.idx");
    progress = RecordingProgress();
    THourvaneDataMod& d = start();
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(progress.steps, 0);
    EXPECT_TRUE(d.tblWages.active());
    EXPECT_EQ(d.tblWages.recordCount(), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(StorageTest, DamagedHeaderIsRepairedWithItsMessagesAndRowsSurvive)
{
    {
        THourvaneDataMod& d = start();
        for (int i = 1; i <= 50; ++i) {
            d.tblWorkDay.append();
            d.tblWorkDay.fieldByName("EmpID").setAsInteger(i);
            d.tblWorkDay.fieldByName("WeekDate").setAsDateTime(44986);
            d.tblWorkDay.post();
        }
    }
    dm.reset();
    {
        std::fstream f(dataFolder + "workday.dat", std::ios::in | std::ios::out | std::ios::binary);
        f.write(std::string(100, '\xff').data(), 100);
    }
    THourvaneDataMod& d = start();
    ASSERT_EQ(messages.texts(),
              (std::vector<std::string>{
                  "The workday.DAT table was corrupted.  Attempting to repair the table.",
                  "The table was successfully repaired but some data may have been lost.  Please verify that "
                  "all of your information is still present."}));
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);
    EXPECT_EQ(messages.shown()[1].kind, MsgKind::Information);
    EXPECT_FALSE(d.terminateRequested());
    EXPECT_TRUE(d.tblWorkDay.active());
    EXPECT_EQ(d.tblWorkDay.recordCount(), 50);
    EXPECT_TRUE(d.tblUsers.active()); // the tables after it open as usual
}

TEST_F(StorageTest, TableThatCannotBeRepairedAsksTheProgramToEnd)
{
    start();
    dm.reset();
    std::ofstream(dataFolder + "workday.dat", std::ios::trunc | std::ios::binary) << std::string(3000, 'Q');
    std::ofstream(dataFolder + "workday.idx", std::ios::trunc) << "not a definition";
    THourvaneDataMod& d = start();
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(messages.texts()[1], "The repair failed to fix the table.  Please restore the table from your "
                                   "backup copy and start Hourvane again.");
    EXPECT_EQ(messages.shown()[1].kind, MsgKind::Error);
    EXPECT_TRUE(d.terminateRequested());
}

TEST_F(StorageTest, TableThatCannotBeOpenedForAnotherReasonIsNamedInAWarning)
{
    start();
    dm.reset();
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("open wage.dat exclusive"), "ok");
    THourvaneDataMod& d = start();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);
    EXPECT_EQ(messages.texts()[0].rfind("The wage.DAT table could not be opened.\r\r", 0), 0u)
        << messages.texts()[0];
    EXPECT_FALSE(d.terminateRequested());
    EXPECT_FALSE(d.tblWages.active());
    EXPECT_TRUE(d.tblEmpOT.active());
}

TEST_F(StorageTest, ReopenTablesSwitchesModesKeepingTheTransaction)
{
    THourvaneDataMod& d = start();
    d.HourvaneDB.setLockRetryCount(0);
    d.HourvaneDB.startTransaction();
    d.ReopenTables(TableMode::Exclusive);
    EXPECT_FALSE(d.qryTOTotalHours.prepared());
    EXPECT_TRUE(d.HourvaneDB.inTransaction());
    d.tblDepts.append();
    d.tblDepts.fieldByName("DeptName").setAsString("Sales");
    d.tblDepts.post();
    d.ReopenTables(TableMode::Shared);
    EXPECT_TRUE(d.HourvaneDB.inTransaction());
    EXPECT_TRUE(d.qryTOTotalHours.prepared());
    d.HourvaneDB.commit();
    EXPECT_EQ(d.tblDepts.recordCount(), 1);

    {
        PeerProcess peer;
        ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
        ASSERT_EQ(peer.send("open timeoff.dat"), "ok");
        EXPECT_THROW(d.ReopenTables(TableMode::Exclusive), engine::EngineError);
        // Nothing stays exclusive after the refusal.
        EXPECT_EQ(peer.send("open dept.dat"), "ok");
    }

    d.ReopenTables(TableMode::Closed);
    EXPECT_FALSE(d.HourvaneDB.connected());
    EXPECT_FALSE(d.tblDepts.active());
    d.ReopenTables(TableMode::Shared);
    EXPECT_TRUE(d.tblDepts.active());
    EXPECT_EQ(d.tblDepts.recordCount(), 1);
}

} // namespace hv::test
