#pragma once
// The base of every table record class: the object's modified flag and lock
// holder, the table component its rows live in, and the row-lock protocol
// through the LockedBy column that lets several copies share one database.
// Derived classes position their table on the record's row (by primary key)
// and then call the base operations, which work on the table's current row.
#include "ports/MessageService.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hv {

namespace engine {
class Database;
class Table;
} // namespace engine

class THourvaneDataMod;

// A transaction for an operation that changes several rows: it starts one
// only when none is active and then commits or rolls back only its own, so
// an operation called inside a caller's transaction leaves both to the caller.
class TransactionGuard {
public:
    // Throws the engine's error when the transaction cannot be started.
    // Locks every table file for writing.
    explicit TransactionGuard(engine::Database& db);
    // Locks only the files of these tables ("workday", "timeoff") for
    // writing: a commit that changes one file then needs no super-journal.
    // Inside a caller's transaction, the tables' files are added to those
    // it has locked.
    TransactionGuard(engine::Database& db, const std::vector<std::string>& tables);
    // Rolls back an owned transaction that was neither committed nor rolled
    // back; never throws.
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    bool owned() const { return m_owned; }
    // Both do nothing for a transaction that belongs to a caller.
    void commit();
    void rollback();

private:
    // Declared first, so it ends last: messages wait for the transaction's end.
    std::optional<HeldMessages> m_held;
    engine::Database& m_db;
    bool m_owned = false;
    bool m_done = false;
};

// "The following error occurred saving the record: " + the error's text +
// "\r\r" + "The record was NOT saved.", the warning every record save shows.
std::string saveFailureText(const std::exception& error);
// "The following error occurred locking (unlocking) the <name> record: " +
// the engine error text + "\r\r" + "The record was NOT locked." ("unlocked.").
std::string lockFailureText(const std::string& recordName, bool lock, const std::exception& error);

class TSQLRecClass {
public:
    explicit TSQLRecClass(THourvaneDataMod& dm);
    virtual ~TSQLRecClass() = default;
    TSQLRecClass(const TSQLRecClass&) = delete;
    TSQLRecClass& operator=(const TSQLRecClass&) = delete;

    // Modified false, lock holder empty, lock refused false.
    virtual void Clear();
    // The save check: true only while the row is held by this identity.
    virtual bool Save(const std::string& lockIdentity);
    // Lock check, then deletes the table's current row.
    virtual bool Delete(const std::string& lockIdentity);
    // Clears a DeletedBy column that holds the identity.
    virtual bool Undelete(const std::string& lockIdentity);
    // Takes the row lock; refuses while another copy holds it.
    virtual bool Lock(const std::string& lockIdentity);
    // Releases the row lock when it is this identity's.
    virtual bool Unlock(const std::string& lockIdentity);

    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    const std::string& lockHolder() const { return m_lockHolder; }
    const std::string& recordName() const { return m_recordName; }
    const std::string& tableName() const { return m_tableName; }
    bool lockRefused() const { return m_lockRefused; }
    // True while this object holds its row under the identity.
    bool heldBy(const std::string& lockIdentity) const
    {
        return !m_lockHolder.empty() && m_lockHolder == storedIdentity(lockIdentity);
    }
    // Lets the row go when this object holds it; does nothing otherwise.
    void releaseIfHeld(const std::string& lockIdentity)
    {
        if (heldBy(lockIdentity))
            Unlock(lockIdentity);
    }
    void resetLockRefused() { m_lockRefused = false; }

    // A LockedBy value as messages show it: a fallback identity ("*...")
    // reads "another user".
    static std::string displayLockHolder(const std::string& holder);
    // The identity as LockedBy keeps it (the column holds 15 characters).
    static std::string storedIdentity(const std::string& lockIdentity);
    // Free: LockedBy empty or the text "(null)".
    static bool isFreeHolder(const std::string& holder);

    // An engine error as the failure messages insert it: "<code> - <message>"
    // for the coded kind, the text itself for every other error.
    static std::string engineErrorText(const std::exception& error);
    static std::string engineErrorText(const std::exception_ptr& error);

protected:
    void setRecordName(std::string name) { m_recordName = std::move(name); }
    void setTableName(std::string name) { m_tableName = std::move(name); }
    void setLockHolder(std::string holder) { m_lockHolder = std::move(holder); }
    // Remembers the table's current row as this object last read or wrote
    // it. The lock taken later on a free row refuses, and lets the row go,
    // when another copy has saved a change to it since: a save from this
    // object would write the older values over that change. Records that
    // never note a row (the week's days) are not checked.
    void noteStoredRow(engine::Table& t);

    THourvaneDataMod& dataModule() const { return m_dm; }
    // The table component named by the table name; throws for an unknown name.
    engine::Table& table() const;

    // "The <name> record no longer exists in the database.  Do you want to
    // re-create the record?"
    std::string recreateQuestion() const;

    // The save of a record kept under an auto-increment key. A stored record
    // whose row is found passes the base save check and is edited; one whose
    // row another copy deleted is appended again when the user answers Yes to
    // recreateQuestion; a new record is appended. writeColumns fills the row
    // (told whether it was appended, so that a key part can be set then);
    // LockedBy is emptied (a save releases the row) and the row posted. A
    // key violation of the index uniqueIndex shows duplicateText, any other
    // error the save warning; the row change is cancelled either way.
    bool SaveKeyedRow(const std::string& lockIdentity, bool stored, const std::function<bool()>& findRow,
                      const std::string& recreateQuestion,
                      const std::function<void(engine::Table&, bool appended)>& writeColumns,
                      const std::string& uniqueIndex, const std::string& duplicateText);
    // Deletes the found row, then runs the cascade, in one transaction (the
    // caller's when one is open). A missing row shows missingText (nothing
    // when it is empty) and gives false.
    bool DeleteKeyedRow(const std::string& lockIdentity, const std::function<bool()>& findRow,
                        const std::string& missingText, const std::function<void()>& cascade);

    // Lock and Unlock of a record whose row may not be stored yet: findRow
    // positions the table on the row; a row not stored is locked in memory only.
    bool LockStoredRow(const std::string& lockIdentity, const std::function<bool()>& findRow);
    bool UnlockStoredRow(const std::string& lockIdentity, const std::function<bool()>& findRow);
    // "The following error occurred deleting the <name> record: " + "\r\r" +
    // code + " - " + message + "." (the text-only kind: " record:", its text).
    std::string deleteFailureText(const std::exception& error) const;

private:
    // Re-reads the current row and returns its LockedBy.
    std::string currentHolder();
    // One conditional write that takes the row only while it is free or ours.
    bool claimRow(const std::string& identity);
    void showInternalError(const std::string& tail);

    THourvaneDataMod& m_dm;
    bool m_modified = false;
    std::string m_lockHolder;
    std::string m_recordName;
    std::string m_tableName;
    bool m_lockRefused = false;
    std::optional<std::string> m_storedRow; // see noteStoredRow
};

} // namespace hv
