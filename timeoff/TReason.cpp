#include "timeoff/TReason.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "timeoff/TPolicy.h"

#include <optional>

namespace hv {
namespace {

const char* const kReasonRecord = "Reason";

void rollbackQuietly(std::optional<TransactionGuard>& tx)
{
    if (!tx)
        return;
    try {
        tx->rollback();
    } catch (...) {
    }
}

} // namespace

// --- TReasonRecClass ---

TReasonRecClass::TReasonRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kReasonRecord);
    setTableName("tblReasons");
    Clear();
}

void TReasonRecClass::markChanged()
{
    if (!modified())
        Lock(dataModule().state().lockIdentity);
    setModified(true);
}

void TReasonRecClass::SetReason(const std::string& value)
{
    if (value != m_reason)
        markChanged();
    m_reason = value;
}

void TReasonRecClass::SetReasonCode(const std::string& value)
{
    if (value != m_reasonCode)
        markChanged();
    m_reasonCode = value;
}

void TReasonRecClass::SetActiveFlag(bool value)
{
    if (value != m_activeFlag)
        markChanged();
    m_activeFlag = value;
}

void TReasonRecClass::SetPaidFlag(bool value)
{
    if (value != m_paidFlag)
        markChanged();
    m_paidFlag = value;
}

void TReasonRecClass::SetOvertimeFlag(bool value)
{
    if (value != m_overtimeFlag)
        markChanged();
    m_overtimeFlag = value;
}

void TReasonRecClass::SetPolicyFlag(bool value)
{
    if (value != m_policyFlag)
        markChanged();
    m_policyFlag = value;
}

void TReasonRecClass::SetAccrualBasis(const std::string& value)
{
    if (value != m_accrualBasis)
        markChanged();
    m_accrualBasis = value;
}

void TReasonRecClass::SetValidateBasis(const std::string& value)
{
    if (value != m_validateBasis)
        markChanged();
    m_validateBasis = value;
}

void TReasonRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_reason.clear();
    m_reasonCode.clear();
    m_activeFlag = true;
    m_paidFlag = false;
    m_overtimeFlag = false;
    m_policyFlag = false;
    m_accrualBasis.clear();
    m_validateBasis.clear();
}

bool TReasonRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_reasonID))});
}

void TReasonRecClass::readRow()
{
    engine::Table& t = table();
    m_reasonID = std::int32_t(t.fieldByName("ReasonID").asInteger());
    m_reason = t.fieldByName("Reason").asString();
    m_reasonCode = t.fieldByName("ReasonCode").asString();
    m_activeFlag = t.fieldByName("ActiveFlag").asBoolean();
    m_paidFlag = t.fieldByName("PaidFlag").asBoolean();
    m_overtimeFlag = t.fieldByName("OvertimeFlag").asBoolean();
    m_policyFlag = t.fieldByName("PolicyFlag").asBoolean();
    if (m_policyFlag) {
        m_accrualBasis = t.fieldByName("AccrualBasis").asString();
        m_validateBasis = t.fieldByName("ValidateBasis").asString();
    }
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
}

bool TReasonRecClass::LoadByID()
{
    Clear();
    if (!findRow())
        return false;
    readRow();
    return true;
}

bool TReasonRecClass::LoadByDescription()
{
    const std::string description = m_reason;
    Clear();
    m_reason = description;
    engine::Table& t = table();
    t.setIndexName("Reasons");
    if (!t.findKey({engine::Value(description)}))
        return false;
    readRow();
    return true;
}

bool TReasonRecClass::syncBenefitData(const std::string& lockIdentity)
{
    TPolicyListClass rules(dataModule());
    rules.SetReasonID(m_reasonID);
    rules.SetEmpTypeID(kDefaultEmpTypeID);
    if (m_policyFlag) {
        // A benefit needs at least one rule for its balances; failing to make
        // it leaves the reason saved, and the next save tries again.
        if (!rules.Load()) {
            tell("Failed to generate policy list", MsgKind::Information);
        } else if (rules.Count() == 0) {
            TPolicyRecClass& first = rules.AddRule(0, kLastPolicyMonth, 0, 0, 0, "M", "Y", "Y");
            if (!first.Save(lockIdentity))
                tell("Failed to add the first policy record", MsgKind::Information);
        }
        return true;
    }
    if (!rules.DeleteAllRules()) {
        tell("Failed to delete the Reason policy", MsgKind::Information);
        return false;
    }
    execBlank(dataModule(), "delete from Accrual where ReasonID = " + std::to_string(m_reasonID));
    return true;
}

bool TReasonRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    // A rolled-back insert takes its new number with it.
    const std::int32_t originalID = m_reasonID;
    std::optional<TransactionGuard> tx;
    engine::Table* t = nullptr;
    auto giveUp = [&] {
        rollbackQuietly(tx);
        m_reasonID = originalID;
        return false;
    };
    auto failed = [&](const std::exception& error) {
        if (t)
            t->cancel();
        giveUp();
        const auto* coded = dynamic_cast<const engine::EngineError*>(&error);
        const std::string index = coded ? coded->indexName() : std::string();
        if (index == "Reasons")
            throw EDupReasonDescError();
        if (index == "ReasonCode")
            throw EDupReasonCodeError();
        tell(saveFailureText(error), MsgKind::Warning);
        return false;
    };
    try {
        tx.emplace(dataModule().HourvaneDB);
        t = &table();
        bool append = m_reasonID == 0;
        if (!append) {
            if (findRow()) {
                if (!TSQLRecClass::Save(lockIdentity))
                    return giveUp();
                t->edit();
            } else {
                RestoreCursor();
                if (ShowMessageBox("The Time Off Reason record no longer exists in the database.  Do you want to "
                                   "re-add the Reason?",
                                   MsgKind::Confirmation, MsgButtons::YesNo, 0) != MsgResult::Yes)
                    return giveUp();
                append = true;
            }
        }
        if (append)
            t->append();
        t->fieldByName("ReasonCode").setAsString(m_reasonCode);
        t->fieldByName("Reason").setAsString(m_reason);
        t->fieldByName("ActiveFlag").setAsBoolean(m_activeFlag);
        t->fieldByName("PaidFlag").setAsBoolean(m_paidFlag);
        t->fieldByName("OvertimeFlag").setAsBoolean(m_overtimeFlag);
        t->fieldByName("PolicyFlag").setAsBoolean(m_policyFlag);
        t->fieldByName("AccrualBasis").setAsString(m_policyFlag ? m_accrualBasis : std::string());
        t->fieldByName("ValidateBasis").setAsString(m_policyFlag ? m_validateBasis : std::string());
        t->fieldByName("LockedBy").setAsString(""); // saving releases the lock
        t->post();
        noteStoredRow(*t);
        m_reasonID = std::int32_t(t->fieldByName("ReasonID").asInteger());
        if (!syncBenefitData(lockIdentity))
            return giveUp();
        tx->commit();
    } catch (const engine::EngineError& e) {
        return failed(e);
    } catch (const engine::EngineTextError& e) {
        return failed(e);
    }
    if (!m_policyFlag) {
        m_accrualBasis.clear();
        m_validateBasis.clear();
    }
    setModified(false);
    setLockHolder("");
    return true;
}

bool TReasonRecClass::Delete(const std::string& lockIdentity)
{
    std::optional<TransactionGuard> tx;
    const std::string heading = std::string("The following error occurred deleting the ") + kReasonRecord + " record: ";
    try {
        if (!findRow())
            return false;
        tx.emplace(dataModule().HourvaneDB);
        if (!TSQLRecClass::Delete(lockIdentity)) {
            rollbackQuietly(tx);
            return false;
        }
        // Separate statements, one transaction: another copy sees the reason
        // either with all its dependants or with none.
        const std::string id = std::to_string(m_reasonID);
        execBlank(dataModule(), "delete from Policy where ReasonID = " + id);
        execBlank(dataModule(), "delete from Accrual where ReasonID = " + id);
        execBlank(dataModule(), "delete from TimeOff where ReasonID = " + id);
        tx->commit();
    } catch (const engine::EngineError& e) {
        rollbackQuietly(tx);
        tell(heading + "\r\r" + std::to_string(e.code()) + " - " + e.message() + ".", MsgKind::Warning);
        return false;
    } catch (const engine::EngineTextError& e) {
        rollbackQuietly(tx);
        tell(heading + "\r\r" + e.what() + ".", MsgKind::Warning);
        return false;
    }
    Clear();
    m_reasonID = 0;
    return true;
}

bool TReasonRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return m_reasonID != 0 && findRow(); });
}

bool TReasonRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return m_reasonID != 0 && findRow(); });
}

void TReasonRecClass::FillReasonList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID)
{
    list.clear();
    if (withNew)
        list.add("<New Time Off Reason>", 0);
    engine::Table& t = table();
    t.setIndexName("Reasons");
    for (t.first(); !t.eof(); t.next()) {
        auto id = std::int32_t(t.fieldByName("ReasonID").asInteger());
        // An inactive reason still shows for the entry that already uses it.
        if (!activeOnly || t.fieldByName("ActiveFlag").asBoolean() || id == keptID)
            list.add(t.fieldByName("Reason").asString(), id);
    }
}

void TReasonRecClass::FillPolicyReasonList(PickList& list)
{
    list.clear();
    engine::Table& t = table();
    t.setIndexName("Reasons");
    for (t.first(); !t.eof(); t.next())
        if (t.fieldByName("PolicyFlag").asBoolean())
            list.add(t.fieldByName("Reason").asString(), std::int32_t(t.fieldByName("ReasonID").asInteger()));
}

// --- TReasonListClass ---

TReasonListClass::TReasonListClass(THourvaneDataMod& dm) : m_dm(dm) {}

void TReasonListClass::Load()
{
    m_items.clear();
    engine::Table& t = m_dm.tblReasons;
    t.setIndexName("Reasons");
    // Numbers first: loading a record moves the shared cursor.
    std::vector<std::int32_t> ids;
    for (t.first(); !t.eof(); t.next())
        ids.push_back(std::int32_t(t.fieldByName("ReasonID").asInteger()));
    for (std::int32_t id : ids) {
        auto item = std::make_unique<TReasonRecClass>(m_dm);
        item->SetReasonID(id);
        if (item->LoadByID()) // one removed by another copy meanwhile is left out
            m_items.push_back(std::move(item));
    }
}

} // namespace hv
