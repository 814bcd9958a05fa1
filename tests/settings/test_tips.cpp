// The tip of the day reader and window: stepping with wrap-around, and the
// two settings that carry over to the next time the window opens.
#include "platform/SettingsFile.h"
#include "settings/TDayTips.h"
#include "settings/windows/DayTip.h"
#include "tests/support/TempDir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace hv::test {
namespace {

class TipsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);
        tipFile = program.folder() + kTipFileName;
    }
    void TearDown() override { unsetenv("HOURVANE_CONFIG_DIR"); }

    void writeTips(const std::string& content)
    {
        std::ofstream out(tipFile, std::ios::binary);
        out << content;
    }
    std::string ini(const std::string& key)
    {
        return SettingsFile("Hourvane3.ini").read("Initialization", key, "<missing>");
    }
    void setIni(const std::string& key, const std::string& value)
    {
        ASSERT_TRUE(SettingsFile("Hourvane3.ini").write("Initialization", key, value));
    }

    // The window as the Help menu opens it; shown, so that it loads.
    std::unique_ptr<TfrmTips> openWindow()
    {
        auto window = std::make_unique<TfrmTips>(tipFile, "Hourvane3.ini");
        window->show();
        return window;
    }
    static QString tip(TfrmTips& window) { return window.findChild<QLabel*>("lblTip")->text(); }
    static void click(TfrmTips& window, const char* name)
    {
        QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton);
    }

    TempDir program;
    TempDir config;
    std::string tipFile;
};

TEST_F(TipsTest, WindowShowsItsTextsAndHidesEditTips)
{
    writeTips("First\n");
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), "Tip of the Day");
    window->layout()->activate();
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "a small dialog offers no maximise button";
    EXPECT_EQ(window->findChild<QLabel*>("lblHeading")->text(), "Did you know...");
    EXPECT_EQ(window->findChild<QCheckBox*>("chkShowTips")->text(), "Show Tips at Startup");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdPrevious")->text(), "Previous Tip");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdNext")->text(), "Next Tip");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdClose")->text(), "Close");
    auto* edit = window->findChild<QPushButton*>("cmdEditTips");
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->isVisible());
    for (const char* icon : {"imgIcon1", "imgIcon2", "imgIcon3"}) {
        auto* image = window->findChild<QLabel*>(icon);
        ASSERT_NE(image, nullptr) << icon;
        EXPECT_FALSE(image->pixmap().isNull()) << icon;
    }
}

TEST_F(TipsTest, ClosedAtTheThirdOfThreeTipsStartsAtTheFirstNextTime)
{
    writeTips("First\nSecond\nThird\n");
    {
        auto window = openWindow();
        EXPECT_EQ(tip(*window), "First") << "absent NextTip starts at the first tip";
        EXPECT_TRUE(window->findChild<QCheckBox*>("chkShowTips")->isChecked());
        click(*window, "cmdNext");
        EXPECT_EQ(tip(*window), "Second");
        click(*window, "cmdNext");
        EXPECT_EQ(tip(*window), "Third");
        click(*window, "cmdClose");
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(ini("NextTip"), "0");
    EXPECT_EQ(ini("ShowTips"), "0");
    auto again = openWindow();
    EXPECT_EQ(tip(*again), "First");
}

TEST_F(TipsTest, NextTimeStartsAfterTheTipOnDisplay)
{
    writeTips("First\nSecond\nThird\n");
    {
        auto window = openWindow();
        click(*window, "cmdClose");
    }
    EXPECT_EQ(ini("NextTip"), "1");
    auto window = openWindow();
    EXPECT_EQ(tip(*window), "Second");
}

TEST_F(TipsTest, PreviousOnTheFirstTipShowsTheLastAndNextWrapsBack)
{
    writeTips("First\nSecond\nThird\n");
    auto window = openWindow();
    click(*window, "cmdPrevious");
    EXPECT_EQ(tip(*window), "Third");
    click(*window, "cmdNext");
    EXPECT_EQ(tip(*window), "First");
}

TEST_F(TipsTest, NextTipBeyondTheFileOrUnreadableStartsAtTheFirst)
{
    writeTips("First\nSecond\nThird\n");
    setIni("NextTip", "7");
    {
        TTipOfDayClass tips(tipFile, "Hourvane3.ini");
        ASSERT_TRUE(tips.Load());
        EXPECT_EQ(tips.CurrentTip(), "First");
        EXPECT_EQ(tips.lastIndex(), 2);
    }
    setIni("NextTip", "3");
    {
        TTipOfDayClass tips(tipFile, "Hourvane3.ini");
        ASSERT_TRUE(tips.Load());
        EXPECT_EQ(tips.CurrentTip(), "First") << "3 is one past the last index";
    }
    setIni("NextTip", "x");
    {
        TTipOfDayClass tips(tipFile, "Hourvane3.ini");
        ASSERT_TRUE(tips.Load());
        EXPECT_EQ(tips.CurrentTip(), "First");
    }
    setIni("NextTip", "2");
    auto window = openWindow();
    EXPECT_EQ(tip(*window), "Third");
}

TEST_F(TipsTest, MissingFileShowsTheFailureAndStillStoresTheCheckBox)
{
    auto window = openWindow();
    EXPECT_EQ(tip(*window), "Failed to load tip file");
    auto* check = window->findChild<QCheckBox*>("chkShowTips");
    EXPECT_TRUE(check->isChecked());
    click(*window, "cmdNext");
    EXPECT_EQ(tip(*window), "Failed to load tip file");
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_FALSE(check->isChecked());
    click(*window, "cmdClose");
    EXPECT_EQ(ini("ShowTips"), "1");
}

TEST_F(TipsTest, EmptyFileCountsAsNotLoaded)
{
    writeTips("");
    TTipOfDayClass tips(tipFile, "Hourvane3.ini");
    EXPECT_FALSE(tips.Load());
    TTipOfDayClass unnamed("", "Hourvane3.ini");
    EXPECT_FALSE(unnamed.Load());
    auto window = openWindow();
    EXPECT_EQ(tip(*window), "Failed to load tip file");
}

TEST_F(TipsTest, SwitchedOffTipsStayOffWhenTheFileIsMissing)
{
    // Opening the window from the Help menu must not switch the tips back on.
    setIni("ShowTips", "1");
    {
        auto window = openWindow();
        EXPECT_FALSE(window->findChild<QCheckBox*>("chkShowTips")->isChecked());
        click(*window, "cmdClose");
    }
    EXPECT_EQ(ini("ShowTips"), "1");
}

TEST_F(TipsTest, CheckBoxFollowsShowTipsAndIsStoredOnClose)
{
    writeTips("First\nSecond\n");
    setIni("ShowTips", "1");
    {
        auto window = openWindow();
        auto* check = window->findChild<QCheckBox*>("chkShowTips");
        EXPECT_FALSE(check->isChecked());
        QTest::mouseClick(check, Qt::LeftButton);
        window->close(); // the close box ends it like Close
    }
    EXPECT_EQ(ini("ShowTips"), "0");
    EXPECT_EQ(ini("NextTip"), "1");
}

TEST_F(TipsTest, LinesAreTakenAsTheyAreWithoutTheirLineEndings)
{
    writeTips("  Indented tip\r\nSecond, with a comma\r\n\r\nAfter an empty line");
    TTipOfDayClass tips(tipFile, "Hourvane3.ini");
    ASSERT_TRUE(tips.Load());
    EXPECT_EQ(tips.lastIndex(), 3);
    EXPECT_EQ(tips.CurrentTip(), "  Indented tip");
    EXPECT_EQ(tips.StepNext(), "Second, with a comma");
    EXPECT_EQ(tips.StepNext(), "");
    EXPECT_EQ(tips.StepNext(), "After an empty line");
    EXPECT_EQ(tips.StepNext(), "  Indented tip");
}

TEST_F(TipsTest, ShippedTipFileHoldsADozenTips)
{
    TTipOfDayClass tips(HV_TIP_SOURCE_FILE, "Hourvane3.ini");
    ASSERT_TRUE(tips.Load());
    EXPECT_GE(tips.lastIndex() + 1, 12);
    for (int i = 0; i <= tips.lastIndex(); ++i) {
        EXPECT_FALSE(tips.CurrentTip().empty()) << "tip " << i;
        EXPECT_LT(tips.CurrentTip().size(), 255u) << "tip " << i;
        tips.StepNext();
    }
}

} // namespace
} // namespace hv::test
