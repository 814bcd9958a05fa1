#pragma once
// A program folder with its own settings folder, a scripted message service and
// a recording progress window, for starting the data module the way the
// program does; and two copies of the program on one data folder.
#include "engine/EngineError.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "tests/support/Builders.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace hv::test {

class RecordingProgress : public ProgressDisplay {
public:
    void setMaximum(int max) override { maximum = max; }
    void setPosition(int pos) override { position = pos; }
    void step() override { ++position, ++steps; }
    void setMainLabel(const std::string& text, bool b) override { label = text, bold = b; }
    void setArrowVisible(bool v) override { arrowVisible = v; }
    void setSecondLabelVisible(bool v) override { secondLabelVisible = v; }
    void showAndPaint() override { shown = true; }
    void release() override { released = true; }

    int maximum = 0, position = 0, steps = 0;
    std::string label;
    bool bold = false, arrowVisible = true, secondLabelVisible = true, shown = false, released = false;
};

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);
        programFolder = program.folder();
        dataFolder = programFolder + "Data/";
    }
    void TearDown() override
    {
        dm.reset();
        unsetenv("HOURVANE_CONFIG_DIR");
    }

    THourvaneDataMod& start()
    {
        dm.reset();
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{programFolder, "Hourvane3.ini", &progress, &appState()});
        return *dm;
    }

    TempDir program;
    TempDir config;
    std::string programFolder;
    std::string dataFolder;
    ScriptedMessageService messages;
    RecordingProgress progress;
    std::unique_ptr<THourvaneDataMod> dm;
};

// Two copies of the program on one data folder: this one (dm) acts as ALICE;
// second() is another copy with its own connection and every table open.
class TwoCopyTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        resetAppState();
        actAs("ALICE");
        start();
    }
    void TearDown() override
    {
        other.reset();
        StorageTest::TearDown();
        resetAppState();
    }

    // The process-wide identity that the setters lock with.
    // Both copies of a test share the process state: this says which one acts.
    static void actAs(const std::string& identity) { appState().lockIdentity = identity; }

    THourvaneDataMod& second()
    {
        if (!other)
            other = std::make_unique<THourvaneDataMod>(
                DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
        return *other;
    }

    // The first column of the first row as the other copy reads it from disk:
    // "<null>" for a null, "<no row>" when there is none.
    std::string read(const std::string& sql) { return readValue(second(), sql); }
    std::int64_t count(const std::string& table, const std::string& where = {})
    {
        return countRows(second(), table, where);
    }

    static std::int64_t exec(THourvaneDataMod& d, const std::string& sql)
    {
        d.qryBlank.clearSql();
        d.qryBlank.addSql(sql);
        d.qryBlank.execSql();
        return d.qryBlank.rowsAffected();
    }

    std::unique_ptr<THourvaneDataMod> other;
};

} // namespace hv::test
