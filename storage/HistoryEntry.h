#pragma once
// History entries: the rows of an employee's history lists (wages, overtime
// assignments, opening benefit balances). An entry keeps the key its row was
// last read or written with beside its values, so that a save can move the row
// to a new key; its setters only mark it modified; a list marks entries delete
// pending instead of removing them, and locks and saves all of them in one
// transaction. When that transaction was the list's own and is rolled back,
// every entry is put back exactly as it was (values, stored key, lock holder,
// modified flag), so that a retry writes everything again.
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

// Values holds at least `std::int32_t empID` and `bool deletePending`; the
// derived class says whether the entry has a stored row and finds it.
template <class Values>
class THistoryRecClass : public TSQLRecClass {
public:
    using TSQLRecClass::TSQLRecClass;

    // The owner. Setting it marks nothing.
    std::int32_t EmpID() const { return m_values.empID; }
    void SetEmpID(std::int32_t id) { m_values.empID = id; }
    // To be deleted by the list's next SaveAll; hidden from the grids.
    bool DeletePending() const { return m_values.deletePending; }
    void SetDeletePending(bool value) { assign(m_values.deletePending, value); }
    bool IsModified() const { return modified(); }

    // Whether the entry's row was ever read or written (its stored key is set).
    virtual bool IsStored() const = 0;

    // A stored row takes the lock in the table; a row not stored yet is locked
    // in memory only.
    bool Lock(const std::string& lockIdentity) override
    {
        return LockStoredRow(lockIdentity, [this] { return IsStored() && findStoredRow(); });
    }
    bool Unlock(const std::string& lockIdentity) override
    {
        return UnlockStoredRow(lockIdentity, [this] { return IsStored() && findStoredRow(); });
    }

    // Everything a rolled-back batch must put back. A lock refused during the
    // batch is forgotten too, so that a retry asks the row again.
    struct Snapshot {
        Values values;
        bool modified = false;
        std::string lockHolder;
        bool lockRefused = false;
    };
    Snapshot snapshot() const { return {m_values, modified(), lockHolder(), lockRefused()}; }
    void restore(const Snapshot& s)
    {
        m_values = s.values;
        setModified(s.modified);
        setLockHolder(s.lockHolder);
        if (!s.lockRefused)
            resetLockRefused();
    }

protected:
    template <class T>
    void assign(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        setModified(true);
    }

    // Positions the table on the row of the stored key.
    virtual bool findStoredRow() = 0;

    // The base delete of the stored row; a failure shows its warning. When
    // missingIsDeleted, a row another copy already removed counts as deleted
    // (failing there would leave the history impossible to save, without a
    // message); else a missing row gives false.
    bool deleteStoredRow(const std::string& lockIdentity, bool missingIsDeleted)
    {
        try {
            if (!findStoredRow())
                return missingIsDeleted;
            return TSQLRecClass::Delete(lockIdentity);
        } catch (const std::exception& e) {
            tell(deleteFailureText(e), MsgKind::Warning);
            return false;
        }
    }

    Values m_values;
};

// An entry of a history dated by its start, as wages and overtime
// assignments are: the row of (EmpID, StartDate) with an EndDate that is
// shown but never consulted. Values holds, besides what THistoryRecClass
// needs, `double storedStartDate`, `startDate` and `endDate`; the derived
// class clears, reads and writes its own columns.
template <class Values>
class TDatedHistoryRecClass : public THistoryRecClass<Values> {
    using Base = THistoryRecClass<Values>;

public:
    using Base::Base;

    // The StartDate the row was last read or written with; 0 = never stored.
    double StoredStartDate() const { return this->m_values.storedStartDate; }
    bool IsStored() const override { return this->m_values.storedStartDate != 0; }

    double StartDate() const { return this->m_values.startDate; }
    double EndDate() const { return this->m_values.endDate; } // 0 = none
    // Each marks the record modified when the value changes; none takes a
    // lock (the list locks all its entries at once).
    void SetStartDate(double value) { this->assign(this->m_values.startDate, value); }
    void SetEndDate(double value) { this->assign(this->m_values.endDate, value); }

    // Base clear, then the defaults; EmpID and StartDate are kept.
    void Clear() override
    {
        TSQLRecClass::Clear();
        this->m_values.storedStartDate = 0;
        this->m_values.endDate = 0;
        this->m_values.deletePending = false;
        clearColumns();
    }
    // The row of (EmpID, StartDate); false when there is none.
    bool Load()
    {
        Clear();
        if (!findKey(this->m_values.startDate))
            return false;
        readRow();
        return true;
    }
    // The same from the row the table is on, for a list walking the rows.
    void LoadCurrentRow()
    {
        Clear();
        engine::Table& t = this->table();
        this->m_values.empID = std::int32_t(t.fieldByName("EmpID").asInteger());
        this->m_values.startDate = t.fieldByName("StartDate").asDateTime();
        readRow();
    }
    bool Save(const std::string& lockIdentity) override
    {
        if (!this->modified())
            return true;
        const bool saved = this->SaveKeyedRow(
            lockIdentity, IsStored(), [this] { return findStoredRow(); }, this->recreateQuestion(),
            [this](engine::Table& t, bool appended) {
                if (appended)
                    t.fieldByName("EmpID").setAsInteger(this->m_values.empID);
                t.fieldByName("StartDate").setAsDateTime(this->m_values.startDate);
                if (this->m_values.endDate > 0)
                    t.fieldByName("EndDate").setAsDateTime(this->m_values.endDate);
                else
                    t.fieldByName("EndDate").clear();
                writeColumns(t);
            },
            {}, {});
        // The row now lives under the new start date: a later save must find
        // it there instead of appending it a second time.
        if (saved)
            this->m_values.storedStartDate = this->m_values.startDate;
        return saved;
    }
    bool Delete(const std::string& lockIdentity) override
    {
        if (!this->deleteStoredRow(lockIdentity, true))
            return false;
        Clear();
        this->m_values.empID = 0;
        this->m_values.startDate = 0;
        return true;
    }

protected:
    // The entry's own columns: their defaults, and from and to the row.
    virtual void clearColumns() = 0;
    virtual void readColumns(engine::Table& t) = 0;
    virtual void writeColumns(engine::Table& t) = 0;

    // Positions the table on the row of (EmpID, StoredStartDate).
    bool findStoredRow() override { return findKey(this->m_values.storedStartDate); }

private:
    bool findKey(double startDate)
    {
        engine::Table& t = this->table();
        t.setIndexName("");
        return t.findKey({engine::Value(std::int64_t(this->m_values.empID)), engine::Value(startDate)});
    }
    void readRow()
    {
        engine::Table& t = this->table();
        this->m_values.storedStartDate = this->m_values.startDate;
        engine::Field end = t.fieldByName("EndDate");
        this->m_values.endDate = end.isNull() ? 0 : end.asDateTime();
        readColumns(t);
        this->setLockHolder(t.fieldByName("LockedBy").asString());
        this->noteStoredRow(t);
    }
};

namespace history {

// The batch operations over a list's entries, in one transaction.
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
                    return !e.IsStored() || e.Delete(lockIdentity); // never written: nothing to delete
                return e.Save(lockIdentity);
            },
            [](const std::exception& error) { return saveFailureText(error); });
    }

    bool LockEach(const std::string& recordName, const std::string& lockIdentity, bool lock)
    {
        return run([&](Entry& e) { return lock ? e.Lock(lockIdentity) : e.Unlock(lockIdentity); },
                   [&](const std::exception& error) { return lockFailureText(recordName, lock, error); }) < 0;
    }

private:
    template <class Step, class Text>
    int run(Step&& step, Text&& failureText)
    {
        std::unique_ptr<TransactionGuard> tx;
        try {
            tx = std::make_unique<TransactionGuard>(m_db);
        } catch (const std::exception& e) {
            tell(failureText(e), MsgKind::Warning);
            return 0;
        }
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (!step(*m_items[i]))
                return undo(*tx, int(i));
        try {
            tx->commit();
        } catch (const std::exception& e) {
            tell(failureText(e), MsgKind::Warning);
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

} // namespace history

// An employee's list of one kind of history entry, owned by the list.
template <class Entry>
class THistoryListClass {
public:
    THistoryListClass(THourvaneDataMod& dm, std::int32_t empID, std::string recordName) :
        m_dm(dm), m_empID(empID), m_recordName(std::move(recordName))
    {
    }
    THistoryListClass(const THistoryListClass&) = delete;
    THistoryListClass& operator=(const THistoryListClass&) = delete;

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    THourvaneDataMod& dataModule() const { return m_dm; }

    // Appends an entry; the list owns it.
    void Add(std::unique_ptr<Entry> entry)
    {
        if (entry)
            m_items.push_back(std::move(entry));
    }
    int Count() const { return int(m_items.size()); }
    Entry& Item(int index) const { return *m_items.at(std::size_t(index)); }
    bool AnyModified() const
    {
        return std::any_of(m_items.begin(), m_items.end(), [](const auto& e) { return e->IsModified(); });
    }
    void Clear() { m_items.clear(); }

    // Saves (or deletes, for DeletePending) every entry in one transaction,
    // started here only when none is active. Returns the index of the first
    // failing entry, or -1 when all succeeded; a transaction started here is
    // then rolled back and the entries are as they were before the call.
    int SaveAll(const std::string& lockIdentity)
    {
        return history::Batch<Entry>(m_dm.HourvaneDB, m_items).SaveAll(m_empID, lockIdentity);
    }
    // Lock (or unlock) every entry in one transaction likewise; at the first
    // failure an owned transaction is rolled back and false returned.
    bool LockAll(const std::string& lockIdentity) { return lockEach(lockIdentity, true); }
    bool UnlockAll(const std::string& lockIdentity) { return lockEach(lockIdentity, false); }

    // The list's save state (its owner and every entry's), for a caller whose
    // own transaction rolls back after SaveAll wrote some entries: restore
    // puts back the entries held at the snapshot, by position.
    struct Snapshot {
        std::int32_t empID = 0;
        std::vector<typename Entry::Snapshot> entries;
    };
    Snapshot snapshot() const
    {
        Snapshot s{m_empID, {}};
        for (const auto& e : m_items)
            s.entries.push_back(e->snapshot());
        return s;
    }
    void restore(const Snapshot& s)
    {
        m_empID = s.empID;
        for (std::size_t i = 0; i < m_items.size() && i < s.entries.size(); ++i)
            m_items[i]->restore(s.entries[i]);
    }

protected:
    bool lockEach(const std::string& lockIdentity, bool lock)
    {
        return history::Batch<Entry>(m_dm.HourvaneDB, m_items).LockEach(m_recordName, lockIdentity, lock);
    }
    // For dated entries: the owner's rows of the table in one walk, in start
    // date order (the table's key).
    void loadDatedRows(engine::Table& t)
    {
        m_items.clear();
        t.setIndexName("");
        engine::FilterScope filter(t, "EmpID = " + std::to_string(m_empID));
        for (t.first(); !t.eof(); t.next()) {
            auto entry = std::make_unique<Entry>(m_dm);
            entry->LoadCurrentRow();
            m_items.push_back(std::move(entry));
        }
    }

    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    std::string m_recordName;
    std::vector<std::unique_ptr<Entry>> m_items;
};

} // namespace hv
