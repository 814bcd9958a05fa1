#pragma once
// A program folder with its own settings folder, a scripted message service and
// a recording progress window, for starting the data module the way the
// program does.
#include "engine/EngineError.h"
#include "storage/DataModule.h"
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
        dm = std::make_unique<THourvaneDataMod>(DataModuleOptions{programFolder, "Hourvane3.ini", &progress});
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

} // namespace hv::test
