#include "timeoff/TPolicy.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"

#include <optional>

namespace hv {
namespace {

const char* const kPolicyRecord = "Policy";

} // namespace

// --- TPolicyRecClass ---

TPolicyRecClass::TPolicyRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kPolicyRecord);
    setTableName("tblPolicy");
    Clear();
}

void TPolicyRecClass::SetStartMonths(std::int16_t value)
{
    if (value != m_startMonths)
        setModified(true);
    m_startMonths = value;
}

void TPolicyRecClass::SetEndMonths(std::int16_t value)
{
    if (value != m_endMonths)
        setModified(true);
    m_endMonths = value;
}

void TPolicyRecClass::SetEarnedHours(float value)
{
    if (value != m_earnedHours)
        setModified(true);
    m_earnedHours = value;
}

void TPolicyRecClass::SetCarryOverHours(float value)
{
    if (value != m_carryOverHours)
        setModified(true);
    m_carryOverHours = value;
}

void TPolicyRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_storedStart = -1;
    m_endMonths = 0;
    m_storedEnd = 0;
    m_earnedHours = 0;
    m_carryOverHours = 0;
    m_displayStartPeriod = "M";
    m_displayEndPeriod = "Y";
    m_displayEarnedPeriod = "Y";
}

bool TPolicyRecClass::findStoredRow()
{
    if (m_storedStart < 0)
        return false;
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_reasonID)), engine::Value(std::int64_t(m_empTypeID)),
                      engine::Value(std::int64_t(m_storedStart))});
}

bool TPolicyRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_reasonID)), engine::Value(std::int64_t(m_empTypeID)),
                    engine::Value(std::int64_t(m_startMonths))}))
        return false;
    m_endMonths = std::int16_t(t.fieldByName("EndMonths").asInteger());
    m_storedEnd = m_endMonths;
    m_earnedHours = float(t.fieldByName("EarnedHours").asFloat());
    m_carryOverHours = float(t.fieldByName("CarryOverHours").asFloat());
    m_displayStartPeriod = t.fieldByName("DisplayStartPeriod").asString();
    m_displayEndPeriod = t.fieldByName("DisplayEndPeriod").asString();
    m_displayEarnedPeriod = t.fieldByName("DisplayEarnedPeriod").asString();
    m_displayEarnedHours = float(t.fieldByName("DisplayEarnedHours").asFloat());
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
    m_storedStart = m_startMonths;
    return true;
}

bool TPolicyRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    engine::Table* t = nullptr;
    try {
        t = &table();
        bool append = true;
        if (m_storedStart >= 0) {
            if (findStoredRow()) {
                if (!TSQLRecClass::Save(lockIdentity))
                    return false;
                t->edit();
                append = false;
            } else if (ask(recreateQuestion()) != MsgResult::Yes) {
                return false;
            }
        }
        if (append) {
            // A re-created row needs its whole key, not only the band.
            t->append();
            t->fieldByName("ReasonID").setAsInteger(m_reasonID);
            t->fieldByName("EmpTypeID").setAsInteger(m_empTypeID);
        }
        t->fieldByName("StartMonths").setAsInteger(m_startMonths);
        t->fieldByName("EndMonths").setAsInteger(m_endMonths);
        t->fieldByName("EarnedHours").setAsFloat(m_earnedHours);
        t->fieldByName("CarryOverHours").setAsFloat(m_carryOverHours);
        t->fieldByName("DisplayStartPeriod").setAsString(m_displayStartPeriod);
        t->fieldByName("DisplayEndPeriod").setAsString(m_displayEndPeriod);
        t->fieldByName("DisplayEarnedPeriod").setAsString(m_displayEarnedPeriod);
        t->fieldByName("DisplayEarnedHours").setAsFloat(m_displayEarnedHours);
        t->fieldByName("LockedBy").setAsString(""); // a save releases the row
        t->post();
        noteStoredRow(*t);
    } catch (const engine::EngineError& e) {
        if (t)
            t->cancel();
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    } catch (const engine::EngineTextError& e) {
        if (t)
            t->cancel();
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    }
    setModified(false);
    return true;
}

bool TPolicyRecClass::Delete(const std::string& lockIdentity)
{
    try {
        if (!findStoredRow())
            return false;
        if (!TSQLRecClass::Delete(lockIdentity))
            return false;
    } catch (const std::exception& e) {
        tell(deleteFailureText(e), MsgKind::Warning);
        return false;
    }
    Clear();
    m_reasonID = 0;
    return true;
}

bool TPolicyRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findStoredRow(); });
}

bool TPolicyRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findStoredRow(); });
}

// --- TPolicyListClass ---

TPolicyListClass::TPolicyListClass(THourvaneDataMod& dm) : m_dm(dm) {}

bool TPolicyListClass::Load()
{
    m_rules.clear();
    m_removed.clear();
    std::vector<std::int16_t> starts;
    try {
        engine::Table& t = m_dm.tblPolicy;
        t.setIndexName("");
        {
            engine::FilterScope filter(t, "ReasonID = " + std::to_string(m_reasonID) + " and EmpTypeID = " +
                                      std::to_string(m_empTypeID));
            // Keys first: loading a rule moves the shared cursor.
            for (t.first(); !t.eof(); t.next())
                starts.push_back(std::int16_t(t.fieldByName("StartMonths").asInteger()));
        }
        for (std::int16_t start : starts) {
            auto rule = std::make_unique<TPolicyRecClass>(m_dm);
            rule->SetReasonID(m_reasonID);
            rule->SetEmpTypeID(m_empTypeID);
            rule->SetStartMonths(start);
            // Another copy may have removed the row since the walk.
            if (!rule->Load())
                return false;
            m_rules.push_back(std::move(rule));
        }
    } catch (const engine::EngineError&) {
        return false;
    } catch (const engine::EngineTextError&) {
        return false;
    }
    return true;
}

TPolicyRecClass* TPolicyListClass::FindByMonths(int months) const
{
    for (const auto& rule : m_rules)
        if (rule->EndMonths() >= months)
            return rule.get();
    return nullptr;
}

TPolicyRecClass& TPolicyListClass::AddRule(std::int16_t startMonths, std::int16_t endMonths,
                                           float displayEarnedHours, float earnedHours, float carryOverHours,
                                           const std::string& displayStartPeriod,
                                           const std::string& displayEndPeriod,
                                           const std::string& displayEarnedPeriod)
{
    auto rule = std::make_unique<TPolicyRecClass>(m_dm);
    rule->SetReasonID(m_reasonID);
    rule->SetEmpTypeID(m_empTypeID);
    rule->SetStartMonths(startMonths);
    rule->SetEndMonths(endMonths);
    rule->SetEarnedHours(earnedHours);
    rule->SetCarryOverHours(carryOverHours);
    rule->SetDisplayStartPeriod(displayStartPeriod);
    rule->SetDisplayEndPeriod(displayEndPeriod);
    rule->SetDisplayEarnedPeriod(displayEarnedPeriod);
    rule->SetDisplayEarnedHours(displayEarnedHours);
    // A new rule is written by the next SaveAll even when its values equal
    // the defaults.
    rule->setModified(true);
    m_rules.push_back(std::move(rule));
    return *m_rules.back();
}

bool TPolicyListClass::DeleteRule(int index, const std::string& lockIdentity)
{
    if (index < 0 || index >= Count())
        return false;
    TPolicyRecClass& rule = *m_rules[std::size_t(index)];
    // A rule added since the list was loaded has no row; it only leaves the
    // list, or the next SaveAll would write it back.
    if (rule.StoredStartMonths() >= 0 && !rule.Delete(lockIdentity))
        return false;
    m_rules.erase(m_rules.begin() + index);
    return true;
}

void TPolicyListClass::RemoveRule(int index)
{
    if (index < 0 || index >= Count())
        return;
    auto rule = std::move(m_rules[std::size_t(index)]);
    m_rules.erase(m_rules.begin() + index);
    if (rule->StoredStartMonths() >= 0)
        m_removed.push_back(std::move(rule));
}

int TPolicyListClass::LockAll(const std::string& lockIdentity) { return applyAll(Action::Lock, lockIdentity); }

int TPolicyListClass::UnlockAll(const std::string& lockIdentity)
{
    // Rules taken out of the chain still hold their rows' locks.
    for (const auto& rule : m_removed)
        rule->Unlock(lockIdentity);
    m_removed.clear();
    return applyAll(Action::Unlock, lockIdentity);
}

bool TPolicyListClass::SaveChain(const std::string& lockIdentity)
{
    std::vector<std::size_t> order;
    for (std::size_t i = m_rules.size(); i-- > 0;)
        if (m_rules[i]->StoredStartMonths() >= 0 && m_rules[i]->StartMonths() > m_rules[i]->StoredStartMonths())
            order.push_back(i);
    for (std::size_t i = 0; i < m_rules.size(); ++i)
        if (!(m_rules[i]->StoredStartMonths() >= 0 && m_rules[i]->StartMonths() > m_rules[i]->StoredStartMonths()))
            order.push_back(i);
    if (applyInOrder(Action::Save, lockIdentity, order, true) >= 0)
        return false;
    m_removed.clear();
    return true;
}

int TPolicyListClass::SaveAll(const std::string& lockIdentity) { return applyAll(Action::Save, lockIdentity); }

int TPolicyListClass::applyAll(Action action, const std::string& lockIdentity)
{
    std::vector<std::size_t> order(m_rules.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    return applyInOrder(action, lockIdentity, order, false);
}

int TPolicyListClass::applyInOrder(Action action, const std::string& lockIdentity,
                                   const std::vector<std::size_t>& order, bool deleteRemovedFirst)
{
    if (m_rules.empty() && (!deleteRemovedFirst || m_removed.empty()))
        return -1;
    auto failureText = [&](const std::exception& e) {
        switch (action) {
        case Action::Lock:
            return lockFailureText(kPolicyRecord, true, e);
        case Action::Unlock:
            return lockFailureText(kPolicyRecord, false, e);
        case Action::Save:
            break;
        }
        return saveFailureText(e);
    };

    // A rollback undoes the rows, so the objects must not keep believing
    // they were written or locked.
    struct Before {
        bool modified;
        std::string holder;
    };
    std::vector<Before> before;
    before.reserve(m_rules.size());
    for (const auto& rule : m_rules)
        before.push_back({rule->modified(), rule->lockHolder()});
    auto restore = [&] {
        for (std::size_t i = 0; i < m_rules.size(); ++i) {
            m_rules[i]->restoreModified(before[i].modified);
            m_rules[i]->setLockHolder(before[i].holder);
        }
    };

    std::optional<TransactionGuard> tx;
    try {
        tx.emplace(m_dm.HourvaneDB);
    } catch (const std::exception& e) {
        tell(failureText(e), MsgKind::Warning);
        return 0;
    }
    auto giveUp = [&](int position) {
        if (tx->owned()) {
            try {
                tx->rollback();
            } catch (...) {
            }
            restore();
        }
        return position;
    };
    if (deleteRemovedFirst) {
        for (const auto& removed : m_removed) {
            // A separate object does the delete, so that a rollback leaves the
            // removed rule as it was.
            TPolicyRecClass row(m_dm);
            row.SetReasonID(removed->ReasonID());
            row.SetEmpTypeID(removed->EmpTypeID());
            row.SetStartMonths(std::int16_t(removed->StoredStartMonths()));
            if (row.Load() && !row.Delete(lockIdentity))
                return giveUp(0);
        }
    }
    for (std::size_t i : order) {
        TPolicyRecClass& rule = *m_rules[i];
        bool ok = action == Action::Lock ? rule.Lock(lockIdentity)
                  : action == Action::Unlock ? rule.Unlock(lockIdentity)
                                             : rule.Save(lockIdentity);
        if (!ok)
            return giveUp(int(i));
    }
    try {
        tx->commit();
    } catch (const std::exception& e) {
        try {
            tx->rollback();
        } catch (...) {
        }
        restore();
        tell(failureText(e), MsgKind::Warning);
        return 0;
    }
    return -1;
}

bool TPolicyListClass::DeleteAllRules()
{
    const std::string heading = "The following error occurred deleting the Policy records:\r\r";
    try {
        execBlank(m_dm, "Delete from Policy where ReasonID = " + std::to_string(m_reasonID));
    } catch (const engine::EngineError& e) {
        tell(heading + std::to_string(e.code()) + " - " + e.message() + ".", MsgKind::Warning);
        return false;
    } catch (const engine::EngineTextError& e) {
        tell(heading + e.what(), MsgKind::Warning);
        return false;
    }
    return true;
}

} // namespace hv
