#pragma once
// The batch operations of an employee's history lists (wages, overtime
// assignments): every entry saved, deleted, locked or unlocked inside one
// transaction. When that transaction was the batch's own and is rolled back,
// every entry is put back as it was, so that a retry writes everything again.
#include "people/PeopleUtil.h"
#include "storage/MessageService.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv::history {

inline std::string SaveFailureText(const std::exception& error)
{
    return "The following error occurred saving the record: " + people::EngineMessage(error) + "\r\r" +
           "The record was NOT saved.";
}

inline std::string LockFailureText(const std::string& recordName, bool lock, const std::exception& error)
{
    return std::string("The following error occurred ") + (lock ? "locking" : "unlocking") + " the " + recordName +
           " record: " + TSQLRecClass::engineErrorText(error) + "\r\r" + "The record was NOT " +
           (lock ? "locked." : "unlocked.");
}

// Entry needs snapshot()/restore(), EmpID()/SetEmpID(), DeletePending(),
// StoredStartDate(), Save(), Delete(), Lock() and Unlock().
template <class Entry>
class Batch {
public:
    using Items = std::vector<std::unique_ptr<Entry>>;

    Batch(engine::Database& db, Items& items) : m_db(db), m_items(items)
    {
        m_before.reserve(m_items.size());
        for (const auto& e : m_items)
            m_before.push_back(e->snapshot());
    }

    // -1 when every entry was written, else the index of the first that failed
    // (its own message shown); 0 when the transaction could not be had.
    int SaveAll(std::int32_t ownerID, const std::string& lockIdentity)
    {
        return run(
            [&](Entry& e) {
                if (e.EmpID() == 0)
                    e.SetEmpID(ownerID);
                if (e.DeletePending())
                    return e.StoredStartDate() <= 0 || e.Delete(lockIdentity);
                return e.Save(lockIdentity);
            },
            [](const std::exception& error) { return SaveFailureText(error); });
    }

    bool LockEach(const std::string& recordName, const std::string& lockIdentity, bool lock)
    {
        return run([&](Entry& e) { return lock ? e.Lock(lockIdentity) : e.Unlock(lockIdentity); },
                   [&](const std::exception& error) { return LockFailureText(recordName, lock, error); }) < 0;
    }

private:
    template <class Step, class Text> int run(Step&& step, Text&& failureText)
    {
        std::unique_ptr<TransactionGuard> tx;
        try {
            tx = std::make_unique<TransactionGuard>(m_db);
        } catch (const std::exception& e) {
            people::Tell(failureText(e), MsgKind::Warning);
            return 0;
        }
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (!step(*m_items[i]))
                return undo(*tx, int(i));
        try {
            tx->commit();
        } catch (const std::exception& e) {
            people::Tell(failureText(e), MsgKind::Warning);
            return undo(*tx, 0);
        }
        return -1;
    }

    int undo(TransactionGuard& tx, int failed)
    {
        if (tx.owned()) {
            tx.rollback();
            for (std::size_t i = 0; i < m_items.size(); ++i)
                m_items[i]->restore(m_before[i]);
        }
        return failed;
    }

    engine::Database& m_db;
    Items& m_items;
    std::vector<typename Entry::Snapshot> m_before;
};

} // namespace hv::history
