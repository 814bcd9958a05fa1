// The "Please wait..." window and the backup and restore commands, run from
// the real main window on the offscreen platform.
#include "backup/windows/BackupCommands.h"
#include "backup/windows/Progress.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PeerProcess.h"
#include "tests/timekeeping/MainWindowFixture.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace hv::test {
namespace {

const char* const kBackupQuestion =
    "The current Hourvane record has been changed.  Do you want to save your changes before making the backup?";

// Watches every "Please wait..." window that shows, and what it shows at each
// move of its bar.
class ProgressWatch : public QObject {
public:
    struct Moment {
        int value;
        std::string first, second;
        bool secondShown;
        int arrowRow;
    };

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<TfrmProgress*>(watched);
        if (window && event->type() == QEvent::Show) {
            ++shows;
            if (!window->property("watched").toBool()) {
                window->setProperty("watched", true);
                connect(window->pbProgress, &QProgressBar::valueChanged, this,
                        [this, window](int value) { record(*window, value); });
            }
            topMost = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            title = window->windowTitle().toStdString();
            maximum = window->pbProgress->maximum();
        }
        return false;
    }

    // The moments of one mode's run, split at the second line's showing.
    void expectRun(const std::string& first, const std::string& second) const
    {
        std::vector<Moment> one, two;
        for (const auto& m : moments) {
            EXPECT_EQ(m.first, first);
            EXPECT_EQ(m.second, second);
            EXPECT_LE(m.value, kProgressMaximum);
            EXPECT_EQ(m.arrowRow, m.secondShown ? 1 : 0);
            (m.secondShown ? two : one).push_back(m);
        }
        auto top = [](const std::vector<Moment>& ms) {
            int best = -1;
            for (const auto& m : ms)
                best = std::max(best, m.value);
            return best;
        };
        EXPECT_EQ(top(one), kProgressMaximum) << first;
        EXPECT_EQ(top(two), kProgressMaximum) << second;
        EXPECT_EQ(maximum, kProgressMaximum);
        EXPECT_EQ(title, "Please wait...");
        EXPECT_TRUE(topMost);
    }

    std::vector<Moment> moments;
    int shows = 0;
    bool topMost = false;
    std::string title;
    int maximum = 0;

private:
    void record(TfrmProgress& w, int value)
    {
        auto* grid = qobject_cast<QGridLayout*>(w.layout());
        int row = -1, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(w.imgArrow), &row, &column, &rows, &columns);
        moments.push_back({value, w.lblLocked->text().toStdString(), w.lblDeleted->text().toStdString(),
                           !w.lblDeleted->isHidden(), row});
    }
};

class BackupWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        RegisterBackupWindows(commands);
        qApp->installEventFilter(&watch);
        addEmp("Baker", "Ann", date(2020, 1, 1));
        open();
    }
    void TearDown() override
    {
        qApp->removeEventFilter(&watch);
        MainWindowTest::TearDown();
    }

    void typeAWeek()
    {
        chooseEmployee("Baker, Ann");
        typeInto(box("msk1In0"), "0800");
        typeInto(box("msk1Out0"), "1600");
        box("msk2In0")->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(window->week().IsModified());
    }
    void typeAndSaveAWeek()
    {
        typeAWeek();
        QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
        ASSERT_FALSE(window->week().IsModified()) << messages.last();
    }
    // Read through this copy's connection: a second one would stand in the restore's way.
    std::string lockedBy() { return readValue(*dm, "select LockedBy from WorkDay"); }
    void run(const char* command, const std::string& file = {})
    {
        if (!file.empty())
            fileDialogs.answer(file);
        messages.clear();
        watch.moments.clear();
        ASSERT_TRUE(window->runCommand(command));
        // The progress window took the activation; the platform does not hand it back.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    ProgressWatch watch;
    TempDir archives;
};

TEST_F(BackupWindowTest, BothModesShowTheirLinesAndFillTheBarAndARestoreShowsAnEmptyWeek)
{
    typeAndSaveAWeek();
    ASSERT_EQ(lockedBy(), "ALICE");
    const std::string zip = archives.folder() + "week.zip";
    run("mnuFileBackup", zip);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kBackedUp});
    watch.expectRun("Backing Up Database Files...", "Testing Backup File for errors...");
    EXPECT_EQ(lockedBy(), "ALICE") << "the week takes its locks again";

    // Unsaved changes of the shown week are dropped without a question.
    typeInto(box("msk2In0"), "1700");
    run("mnuFileRestore", zip);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kRestored});
    watch.expectRun("Testing Backup File for errors...", "Restoring Database Files...");
    EXPECT_EQ(box("msk1In0")->Text(), "  :  ");
    EXPECT_EQ(box("msk2In0")->Text(), "  :  ");
    EXPECT_FLOAT_EQ(float(number("txtTotalHours")->value()), 0.0f);
    EXPECT_FALSE(window->week().IsModified());
    EXPECT_FALSE(button("cmdSave")->isEnabled());
    EXPECT_EQ(lockedBy(), "") << "the backup holds no locks of this copy";
    EXPECT_EQ(cboEmployee()->findText("Baker, Ann"), 0);
}

TEST_F(BackupWindowTest, UnsavedChangesAskFirstAndCancelAndACancelledDialogDoNothing)
{
    typeAWeek();
    messages.clear();
    messages.answer(MsgResult::Cancel);
    ASSERT_TRUE(window->runCommand("mnuFileBackup"));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kBackupQuestion});
    EXPECT_EQ(messages.shown().front().buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(fileDialogs.asked().empty());
    EXPECT_EQ(watch.shows, 0);
    EXPECT_TRUE(window->week().IsModified());
    EXPECT_EQ(box("msk1In0")->Text(), "08:00");

    // No file chosen: the week, its changes and its locks stay.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    typeInto(box("msk2In0"), "1700");
    run("mnuFileRestore");
    EXPECT_EQ(fileDialogs.asked().size(), 1u);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_TRUE(window->week().IsModified());
    EXPECT_EQ(box("msk2In0")->Text(), "17:00");
    EXPECT_EQ(lockedBy(), "ALICE");
    EXPECT_TRUE(markerFree(dataFolder));
}

TEST_F(BackupWindowTest, ABackupRefusedForAnotherCopyKeepsTheWeekLocked)
{
    typeAndSaveAWeek();
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("sem-lock hvuser.DAT 9"), "ok 1");
    run("mnuFileBackup", archives.folder() + "refused.zip");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kBackupNotExclusive});
    EXPECT_EQ(lockedBy(), "ALICE");
    EXPECT_EQ(box("msk1In0")->Text(), "08:00");
}

TEST_F(BackupWindowTest, ARestoreFailingWhileExtractingShowsItsMessageAndTheWeekAndTheDatabaseSavesAWeek)
{
    const std::string zip = archives.folder() + "empty.zip";
    run("mnuFileBackup", zip);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{kBackedUp});
    typeAndSaveAWeek();
    ASSERT_EQ(lockedBy(), "ALICE");
    bool progressShownWithAMessage = false;
    messages.whenShown = [&](const ShownMessage&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            progressShownWithAMessage |= qobject_cast<TfrmProgress*>(w) && w->isVisible();
    };
    {
        // The first table file to extract is larger than this; the journal of
        // the week's unlocking and the definition files are not.
        FileSizeLimit full(12288);
        run("mnuFileRestore", zip);
    }
    messages.whenShown = nullptr;
    EXPECT_FALSE(progressShownWithAMessage) << "the window on top would cover the message";
    ASSERT_EQ(messages.shown().size(), 1u) << messages.shown()[0].text;
    EXPECT_EQ(messages.last().rfind("The following error occurred restoring your HourvaneDatabase: \r\r6: ", 0), 0u)
        << messages.last();
    EXPECT_NE(messages.last().find("File too large"), std::string::npos) << messages.last();
    EXPECT_FALSE(std::filesystem::exists(dataFolder + kRestoreStagingFolder));
    // The tables are as they were: the week shows again and holds its locks.
    EXPECT_EQ(box("msk1In0")->Text(), "08:00") << "the week saved before is still there";
    EXPECT_EQ(lockedBy(), "ALICE");

    typeInto(box("msk1In1"), "0900");
    typeInto(box("msk1Out1"), "1700");
    box("msk2In1")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(window->week().IsModified()) << messages.last();
    EXPECT_EQ(readValue(*dm, "select count(*) from WorkDay"), "2");
}

class ProgressWindowTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        qApp->installEventFilter(&watch);
    }
    void TearDown() override
    {
        qApp->removeEventFilter(&watch);
        StorageTest::TearDown();
    }
    ProgressWatch watch;
};

TEST_F(ProgressWindowTest, AFirstStartShowsCreatingTheDatabaseInTheRealWindow)
{
    TfrmProgress creating;
    dm = std::make_unique<THourvaneDataMod>(DataModuleOptions{programFolder, "Hourvane3.ini", &creating, &appState()});
    EXPECT_EQ(watch.shows, 1);
    EXPECT_EQ(creating.lblLocked->text(), "Creating Hourvane Database...");
    EXPECT_TRUE(creating.lblLocked->font().bold());
    EXPECT_EQ(creating.pbProgress->maximum(), 15);
    EXPECT_EQ(creating.pbProgress->value(), 14);
    EXPECT_TRUE(creating.imgArrow->isHidden());
    EXPECT_TRUE(creating.lblDeleted->isHidden());
    EXPECT_FALSE(creating.isVisible()) << "released at the end of the start";

    // A database that exists opens without the window.
    dm.reset();
    TfrmProgress again;
    dm = std::make_unique<THourvaneDataMod>(DataModuleOptions{programFolder, "Hourvane3.ini", &again, &appState()});
    EXPECT_EQ(watch.shows, 1);
}

} // namespace
} // namespace hv::test
