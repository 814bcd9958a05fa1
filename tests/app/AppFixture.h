#pragma once
// A started data module on a temporary program folder (see StorageFixture), a
// fresh process state for the copy under test, and a way to let queued events
// (wake requests) arrive.
#include "engine/Database.h"
#include "engine/Table.h"
#include "storage/AppState.h"
#include "tests/support/DataFolderFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>
#include <string>

namespace hv::test {

// Processes events until the condition holds or 10 seconds have passed.
inline bool processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

class AppTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        state.programFolder = programFolder;
    }

    // Whether another copy could take the semaphore now: one attempt from a
    // lock description of its own, which conflicts with this copy's as a second
    // process's would (a peer's failing attempt would wait out its retries).
    bool otherCopyCanLock(const std::string& tableFile, int number)
    {
        engine::Database probe;
        probe.setDirectory(dataFolder);
        probe.setLockRetryCount(0);
        engine::Table table(probe, "probe");
        table.setTableName(tableFile);
        const bool taken = table.lockSemaphore(number);
        if (taken)
            table.unlockSemaphore(number);
        return taken;
    }

    AppState state;
};

} // namespace hv::test
