#pragma once
// Two copies of the program on one data folder (two data modules, each with
// its own connection and every table opened shared), acting under the lock
// identities ALICE and BOB, and helpers that put rows in place and read them
// back from disk the way another copy sees them.
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "tests/support/DataFolderFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace hv::test {

inline const std::string kNotSaved = "\r\rThe record was NOT saved.";

class PeopleTest : public TwoCopyTest {
protected:
    static double date(int y, int m, int d) { return EncodeDate(y, m, d); }

    std::int64_t addDept(const std::string& name, bool active = true, std::int64_t manager = 0,
                         const std::string& code = {}, const std::string& lockedBy = {})
    {
        return addDeptRow(*dm, name, active, manager, code, lockedBy);
    }

    // Dates of 0 stay null.
    std::int64_t addEmp(const std::string& last, const std::string& first, double start = 0, double end = 0,
                        std::int64_t dept = 0, bool active = true, const std::string& code = {},
                        const std::string& lockedBy = {})
    {
        return addEmployeeRow(*dm, {last, first, start, end, dept, active, code, lockedBy});
    }

    // The error that the statement meets on this copy's connection just now.
    engine::EngineError errorOf(const std::string& sql)
    {
        try {
            exec(*dm, sql);
        } catch (const engine::EngineError& e) {
            return e;
        }
        ADD_FAILURE() << "the statement did not fail: " << sql;
        return engine::EngineError(0, "");
    }

    void expectOnlyMessage(const std::string& text, MsgKind kind, MsgButtons buttons = MsgButtons::Ok,
                           int helpContext = 0)
    {
        ASSERT_EQ(messages.shown().size(), 1u) << (messages.shown().empty() ? "" : messages.last());
        const ShownMessage& m = messages.shown().front();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.kind, kind);
        EXPECT_EQ(m.buttons, buttons);
        EXPECT_EQ(m.helpContext, helpContext);
    }

    // The other copy holds a write transaction and this copy does not wait:
    // any write of this copy fails at once.
    void blockWritesFromSecondCopy()
    {
        second().HourvaneDB.startTransaction();
        dm->HourvaneDB.setLockRetryCount(0);
        dm->HourvaneDB.setLockWaitTime(0);
    }
    void releaseSecondCopy()
    {
        second().HourvaneDB.rollback();
        dm->HourvaneDB.setLockRetryCount(50);
        dm->HourvaneDB.setLockWaitTime(100);
    }
};

} // namespace hv::test
