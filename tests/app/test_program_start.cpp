// The program itself, started as a process on the offscreen platform: one
// copy per session, and the presence slot its deferred start-up step takes.
#include "app/Startup.h"
#include "platform/SettingsFile.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <memory>

namespace hv::test {
namespace {

class ProgramStart : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SettingsFile settings("Hourvane3.ini");
        ASSERT_TRUE(settings.write("Initialization", "HourvaneDataDir", dataFolder));
        ASSERT_TRUE(settings.write("Initialization", "ShowTips", "1")); // no tip window in the way
    }
    void TearDown() override
    {
        for (auto& p : m_started)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        m_started.clear();
        AppTest::TearDown();
    }

    // A copy of the program in this test's session: its own settings folder
    // and its own folder for the single-instance server.
    QProcess& startCopy(const QStringList& arguments = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOURVANE_CONFIG_DIR", QString::fromStdString(config.path()));
        env.insert("TMPDIR", QString::fromStdString(session.path()));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(HV_PROGRAM, arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        m_started.push_back(std::move(process));
        return *m_started.back();
    }

    // The lock file appears when the copy opens its tables.
    bool slotHeld(int slot)
    {
        if (!QFileInfo::exists(QString::fromStdString(dataFolder + "hvuser.lck")))
            return false;
        return !otherCopyCanLock("hvuser.DAT", slot);
    }
    bool waitForSlot(int slot)
    {
        QDeadlineTimer deadline(20000);
        while (!slotHeld(slot)) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(100);
        }
        return true;
    }

    TempDir session;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

TEST_F(ProgramStart, DeferredStepTakesTheLowestFreeSlot)
{
    // Slot 1 is held by a copy on another machine.
    engine::Database other;
    other.setDirectory(dataFolder);
    QProcess& first = startCopy();
    ASSERT_TRUE(processEventsUntil([&] { return QFileInfo::exists(QString::fromStdString(dataFolder + "hvuser.lck")); }));
    engine::Table users(other, "tblUsers");
    users.setTableName("hvuser.DAT");
    ASSERT_TRUE(users.lockSemaphore(1));

    ASSERT_TRUE(waitForSlot(2)) << "the deferred step runs about 3 seconds after the window shows";
    EXPECT_FALSE(slotHeld(3));
    EXPECT_EQ(first.state(), QProcess::Running);
    users.unlockSemaphore(1);
}

TEST_F(ProgramStart, SecondCopyWakesTheFirstAndEndsWithoutATrace)
{
    QProcess& first = startCopy();
    ASSERT_TRUE(waitForSlot(1));

    QProcess& second = startCopy();
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(slotHeld(2)) << "the second copy took no slot";
    EXPECT_EQ(first.state(), QProcess::Running) << "the first copy goes on";
    EXPECT_TRUE(slotHeld(1));
}


TEST_F(ProgramStart, ConvertOnlyShowsOnlyTheMigrationWindowAndTakesNoSlot)
{
    // As a process: the tables are opened, and long after a normal copy's
    // deferred step would have run no presence slot is held.
    QProcess& copy = startCopy({"convertonly"});
    QDeadlineTimer opened(20000);
    while (!QFileInfo::exists(QString::fromStdString(dataFolder + "hvuser.lck")) && !opened.hasExpired())
        QThread::msleep(100);
    QThread::msleep(4000);
    EXPECT_EQ(copy.state(), QProcess::Running);
    EXPECT_FALSE(slotHeld(1));
    copy.kill();
    copy.waitForFinished(5000);

    // In this process, to see its windows and close it as the user does.
    std::vector<std::string> shown;
    QTimer poll;
    QDeadlineTimer deadline(20000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* migration = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == "frmConvert")
                migration = w;
        if (!migration && !deadline.hasExpired())
            return;
        poll.stop();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                shown.push_back(w->objectName().toStdString() + " " + w->windowTitle().toStdString());
        if (migration)
            migration->findChild<QPushButton*>("cmdClose")->click();
        else
            QApplication::quit();
    });
    poll.start(50);
    RunOptions options;
    options.programFolder = programFolder;
    options.userName = "convert-test";
    char program[] = "hourvane";
    char word[] = "ConvertOnly";
    char* argv[] = {program, word, nullptr};
    EXPECT_EQ(RunHourvane(2, argv, options), 0);
    EXPECT_EQ(shown, std::vector<std::string>{"frmConvert Hourvane Data Migration"});
}

} // namespace
} // namespace hv::test
