#include "storage/SQLRec.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"

namespace hv {
namespace {

const char* const kRecLockedBy = "LockedBy";
const std::string kNoDataSet = "Internal error.  The DataSet name for this record was not initialized.";

// Another copy may free and retake the row between our write and our re-read;
// a few rounds settle it, and the protocol never waits on another copy.
constexpr int kClaimAttempts = 5;

bool isRecordGone(const std::exception& e)
{
    auto* ee = dynamic_cast<const engine::EngineError*>(&e);
    return ee && ee->code() == engine::code::RecordDeleted;
}

// Cuts UTF-8 text to n characters, never inside a character.
std::string cutCharacters(const std::string& text, std::size_t n)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == n)
                return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

// Every column but the lock, in one text: equal texts, equal rows.
std::string rowImage(engine::Table& t)
{
    std::string image;
    for (int i = 0; i < t.fieldCount(); ++i) {
        engine::Field f = t.field(i);
        if (f.name() == kRecLockedBy)
            continue;
        image += f.isNull() ? std::string("\x01") : f.asString();
        image += '\x1f';
    }
    return image;
}

} // namespace

std::string saveFailureText(const std::exception& error)
{
    return std::string("The following error occurred saving the record: ") + error.what() + "\r\r" +
           "The record was NOT saved.";
}

std::string lockFailureText(const std::string& recordName, bool lock, const std::exception& error)
{
    return std::string("The following error occurred ") + (lock ? "locking" : "unlocking") + " the " + recordName +
           " record: " + TSQLRecClass::engineErrorText(error) + "\r\r" + "The record was NOT " +
           (lock ? "locked." : "unlocked.");
}

// --- TransactionGuard ---

TransactionGuard::TransactionGuard(engine::Database& db) : m_db(db)
{
    if (!m_db.inTransaction()) {
        m_db.startTransaction();
        m_owned = true;
        m_held.emplace();
    }
}

TransactionGuard::TransactionGuard(engine::Database& db, const std::vector<std::string>& tables) : m_db(db)
{
    if (m_db.inTransaction()) {
        m_db.lockForWriting(tables);
        return;
    }
    m_db.startTransaction(tables);
    m_owned = true;
    m_held.emplace();
}

TransactionGuard::~TransactionGuard()
{
    if (!m_owned || m_done)
        return;
    try {
        m_db.rollback();
    } catch (...) {
    }
}

void TransactionGuard::commit()
{
    if (!m_owned || m_done)
        return;
    m_db.commit();
    m_done = true;
    m_held.reset();
}

void TransactionGuard::rollback()
{
    if (!m_owned || m_done)
        return;
    m_done = true;
    m_db.rollback(); // does nothing when the engine already ended it
    m_held.reset();
}

// --- TSQLRecClass ---

TSQLRecClass::TSQLRecClass(THourvaneDataMod& dm) : m_dm(dm) {}

void TSQLRecClass::Clear()
{
    m_modified = false;
    m_lockHolder.clear();
    m_lockRefused = false;
    m_storedRow.reset();
}

void TSQLRecClass::noteStoredRow(engine::Table& t) { m_storedRow = rowImage(t); }

std::string TSQLRecClass::displayLockHolder(const std::string& holder)
{
    if (!holder.empty() && holder.front() == '*')
        return "another user";
    return holder;
}

std::string TSQLRecClass::storedIdentity(const std::string& lockIdentity)
{
    return cutCharacters(lockIdentity, kLockIdentityLength);
}

bool TSQLRecClass::isFreeHolder(const std::string& holder) { return holder.empty() || holder == "(null)"; }

engine::Table& TSQLRecClass::table() const { return m_dm.table(m_tableName); }

std::string TSQLRecClass::recreateQuestion() const
{
    return "The " + m_recordName + " record no longer exists in" + " the database.  Do you want to re-create the record?";
}

std::string TSQLRecClass::engineErrorText(const std::exception& error)
{
    if (auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return std::to_string(e->code()) + " - " + e->message();
    return error.what();
}

std::string TSQLRecClass::engineErrorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return engineErrorText(e);
    } catch (...) {
        return "Unknown error";
    }
}

bool TSQLRecClass::LockStoredRow(const std::string& lockIdentity, const std::function<bool()>& findRow)
{
    bool found = false;
    try {
        found = findRow();
    } catch (const std::exception& e) {
        tell(lockFailureText(m_recordName, true, e), MsgKind::Warning);
        return false;
    }
    if (found)
        return TSQLRecClass::Lock(lockIdentity);
    m_lockHolder = storedIdentity(lockIdentity);
    return true;
}

bool TSQLRecClass::UnlockStoredRow(const std::string& lockIdentity, const std::function<bool()>& findRow)
{
    bool found = false;
    try {
        found = findRow();
    } catch (const std::exception& e) {
        tell(lockFailureText(m_recordName, false, e), MsgKind::Warning);
        return false;
    }
    if (found)
        return TSQLRecClass::Unlock(lockIdentity);
    m_lockHolder.clear();
    return true;
}

bool TSQLRecClass::SaveKeyedRow(const std::string& lockIdentity, bool stored, const std::function<bool()>& findRow,
                                const std::string& recreateQuestion,
                                const std::function<void(engine::Table&, bool)>& writeColumns,
                                const std::string& uniqueIndex, const std::string& duplicateText)
{
    if (!modified())
        return true;
    engine::Table* t = nullptr;
    bool appended = false;
    try {
        t = &table();
        if (stored && findRow()) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t->edit();
        } else {
            appended = true;
            if (stored) {
                RestoreCursor();
                if (ShowMessageBox(recreateQuestion, MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
                    return false;
            }
            t->append();
        }
        writeColumns(*t, appended);
        t->fieldByName("LockedBy").setAsString("");
        t->post();
        noteStoredRow(*t);
    } catch (const std::exception& error) {
        if (t) {
            try {
                t->cancel();
            } catch (...) {
            }
        }
        auto* e = dynamic_cast<const engine::EngineError*>(&error);
        if (e && !uniqueIndex.empty() && e->indexName() == uniqueIndex)
            tell(duplicateText, MsgKind::Information);
        else
            tell(saveFailureText(error), MsgKind::Warning);
        return false;
    }
    setModified(false);
    return true;
}

bool TSQLRecClass::DeleteKeyedRow(const std::string& lockIdentity, const std::function<bool()>& findRow,
                                  const std::string& missingText, const std::function<void()>& cascade)
{
    try {
        if (!findRow()) {
            if (!missingText.empty())
                tell(missingText, MsgKind::Information);
            return false;
        }
        TransactionGuard tx(dataModule().HourvaneDB);
        if (!TSQLRecClass::Delete(lockIdentity)) {
            tx.rollback();
            return false;
        }
        cascade();
        tx.commit();
    } catch (const std::exception& e) {
        tell(deleteFailureText(e), MsgKind::Warning);
        return false;
    }
    return true;
}

std::string TSQLRecClass::deleteFailureText(const std::exception& error) const
{
    if (auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return "The following error occurred deleting the " + m_recordName + " record: " + "\r\r" +
               std::to_string(e->code()) + " - " + e->message() + ".";
    return "The following error occurred deleting the " + m_recordName + " record:" + "\r\r" + error.what() + ".";
}

void TSQLRecClass::showInternalError(const std::string& tail) { tell(kNoDataSet + tail, MsgKind::Error); }

std::string TSQLRecClass::currentHolder()
{
    engine::Table& t = table();
    // Reading from disk is the point; an unposted buffer would hide the row.
    if (t.state() == engine::TableState::Edit || t.state() == engine::TableState::Insert)
        t.cancel();
    if (!t.hasRow())
        throw engine::EngineTextError("Table " + t.tableName() + " has no current record");
    t.refresh();
    return t.fieldByName(kRecLockedBy).asString();
}

bool TSQLRecClass::claimRow(const std::string& identity)
{
    engine::Table& t = table();
    engine::Database& db = t.database();
    std::string schema = db.schemaOf(t.sqlName());
    std::string target = (schema.empty() ? std::string() : engine::quoteIdent(schema) + ".") +
                         engine::quoteIdent(t.sqlName());
    // Check and write in one statement: of two copies claiming a free row at
    // the same moment, the engine lets exactly one change it.
    engine::Query q(db);
    q.addSql("update " + target + " set LockedBy = :Id");
    q.addSql(" where rowid = :Row");
    q.addSql("   and (LockedBy is null or LockedBy = '' or LockedBy = '(null)' or LockedBy = :Id)");
    q.setParamText("Id", identity);
    q.setParamInteger("Row", t.rowId());
    q.execSql();
    return q.rowsAffected() > 0;
}

bool TSQLRecClass::Save(const std::string& lockIdentity)
{
    if (m_tableName.empty()) {
        showInternalError("");
        return false;
    }
    const std::string identity = storedIdentity(lockIdentity);
    std::string holder;
    try {
        holder = currentHolder();
    } catch (const std::exception& e) {
        // A row deleted meanwhile has lost its lock with it.
        if (!isRecordGone(e)) {
            tell("The following error occurred saving the " + m_recordName + " record: " + engineErrorText(e) +
                     "\r\r" + "The record was NOT saved.",
                 MsgKind::Warning);
            return false;
        }
    }
    if (isFreeHolder(holder)) {
        tell("An error occurred saving the " + m_recordName + " record." +
                 "  The record has been unlocked by another user." + "\r\r" +
                 "Please select the record again to enter your changes.",
             MsgKind::Information, kLockHelpContext);
        return false;
    }
    if (holder == identity)
        return true;
    tell("An error occurred saving the " + m_recordName + " record." + "  The record is locked by " +
             displayLockHolder(holder) + "." + "\r\r" + "Please try your changes again later.",
         MsgKind::Information, kLockHelpContext);
    return false;
}

bool TSQLRecClass::Delete(const std::string& lockIdentity)
{
    if (m_tableName.empty()) {
        showInternalError("");
        return false;
    }
    const std::string identity = storedIdentity(lockIdentity);
    try {
        std::string holder = currentHolder();
        if (isFreeHolder(holder)) {
            tell("An error occurred deleting the " + m_recordName + " record." +
                     " The record has been unlocked by another user." + "\r\r" +
                     "Please select the record again to enter your changes.",
                 MsgKind::Information, kLockHelpContext);
            return false;
        }
        if (holder != identity) {
            tell("The record is locked by " + displayLockHolder(holder) + "." + "\r\r" +
                     "Please try your delete again later.",
                 MsgKind::Information, kLockHelpContext);
            return false;
        }
        table().deleteRecord();
        return true;
    } catch (const std::exception& e) {
        tell("The following error occurred deleting the " + m_recordName + " record: " + engineErrorText(e) +
                 "\r\r" + "The record has NOT been deleted.",
             MsgKind::Warning);
        return false;
    }
}

bool TSQLRecClass::Undelete(const std::string& lockIdentity)
{
    if (m_tableName.empty())
        return false;
    try {
        engine::Table& t = table();
        if (t.findField("DeletedBy") < 0)
            return true; // nothing of the kind to clear
        currentHolder();
        if (t.fieldByName("DeletedBy").asString() != storedIdentity(lockIdentity))
            return true;
        t.edit();
        t.fieldByName("DeletedBy").clear();
        t.post();
        return true;
    } catch (const std::exception&) {
        try {
            table().cancel();
        } catch (...) {
        }
        return false;
    }
}

bool TSQLRecClass::Lock(const std::string& lockIdentity)
{
    if (m_tableName.empty()) {
        showInternalError(" The record has not been locked.");
        return false;
    }
    if (m_lockRefused)
        return false;
    const std::string identity = storedIdentity(lockIdentity);
    try {
        std::string holder = currentHolder();
        for (int attempt = 1;; ++attempt) {
            if (holder == identity) {
                // Already ours, also when an earlier run under this identity left it.
                m_lockHolder = identity;
                return true;
            }
            if (!isFreeHolder(holder) || attempt > kClaimAttempts) {
                tell("The " + m_recordName + " record is already locked by " +
                         (isFreeHolder(holder) ? std::string("another user") : displayLockHolder(holder)) +
                         ".  You may view the information but may " + "not save any changes." + "\r\r" +
                         "Please try your update " + "again later.",
                     MsgKind::Information, kLockHelpContext);
                m_lockRefused = true;
                return false;
            }
            if (claimRow(identity)) {
                table().refresh(); // the cursor shows the row as it now is
                m_lockHolder = identity;
                if (!m_storedRow || *m_storedRow == rowImage(table()))
                    return true;
                // Saved by another copy after this object read it: hand the
                // row back and keep the stored values.
                TSQLRecClass::Unlock(lockIdentity);
                tell("The " + m_recordName + " record has been changed by another user.  You may view the " +
                         "information but may not save any changes." + "\r\r" +
                         "Please select the record again to enter your changes.",
                     MsgKind::Information, kLockHelpContext);
                m_lockRefused = true;
                return false;
            }
            holder = currentHolder(); // someone was quicker: see who
        }
    } catch (const std::exception& e) {
        tell(lockFailureText(m_recordName, true, e), MsgKind::Warning);
        return false;
    }
}

bool TSQLRecClass::Unlock(const std::string& lockIdentity)
{
    if (m_tableName.empty()) {
        showInternalError(" The record has not been unlocked.");
        return false;
    }
    const std::string identity = storedIdentity(lockIdentity);
    try {
        std::string holder;
        try {
            holder = currentHolder();
        } catch (const std::exception& e) {
            if (!isRecordGone(e))
                throw;
            m_lockHolder.clear(); // the row went, and its lock with it
            return true;
        }
        if (isFreeHolder(holder) || holder != identity) {
            m_lockHolder.clear(); // nothing of this copy's to release
            return true;
        }
        engine::Table& t = table();
        t.edit();
        t.fieldByName(kRecLockedBy).setAsString("");
        t.post();
        m_lockHolder.clear();
        return true;
    } catch (const std::exception& e) {
        try {
            table().cancel();
        } catch (...) {
        }
        tell(lockFailureText(m_recordName, false, e), MsgKind::Warning);
        return false;
    }
}

} // namespace hv
