#include "storage/Prefer.h"

#include "engine/TableDef.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SettingsFile.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"

#include <cctype>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>

namespace hv {
namespace {

const char* const kNotStored = "***";

} // namespace

// --- TPreferenceRecClass ---

TPreferenceRecClass::TPreferenceRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName("Preferences");
    setTableName("tblPreferences");
    Clear();
}

TPreferenceRecClass::TPreferenceRecClass(THourvaneDataMod& dm, std::string key, PreferStorage storage)
    : TPreferenceRecClass(dm)
{
    m_key = std::move(key);
    m_storage = storage;
}

void TPreferenceRecClass::SetValue(const std::string& text)
{
    if (text != m_value)
        setModified(true);
    m_value = text;
}

void TPreferenceRecClass::Clear()
{
    m_value.clear();
    TSQLRecClass::Clear();
}

bool TPreferenceRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(m_key)});
}

bool TPreferenceRecClass::Load()
{
    if (m_storage == PreferStorage::SettingsFile) {
        try {
            std::string text = SettingsFile(m_fileName).read(m_section, m_key, kNotStored);
            if (text == kNotStored)
                return false;
            m_value = text;
            return true;
        } catch (const std::exception&) {
            return false; // an unreadable file reads as missing
        }
    }
    Clear();
    try {
        if (!findRow())
            return false;
        engine::Table& t = table();
        m_value = t.fieldByName("PreferValue").asString();
        setLockHolder(t.fieldByName("LockedBy").asString());
        noteStoredRow(t);
        return true;
    } catch (const std::exception&) {
        // Unreadable counts as not stored, as for the settings file; the
        // caller falls back to its default.
        return false;
    }
}

bool TPreferenceRecClass::Save(const std::string& lockIdentity)
{
    if (m_storage == PreferStorage::SettingsFile) {
        SettingsFile(m_fileName).write(m_section, m_key, m_value); // a failed write is dropped
        setModified(false);
        return true;
    }
    engine::Table* t = nullptr;
    try {
        t = &table();
        bool found = findRow();
        if (found) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t->edit();
        } else {
            t->append();
            t->fieldByName("PreferID").setAsString(m_key);
        }
        t->fieldByName("PreferValue").setAsString(m_value);
        t->post();
        noteStoredRow(*t);
    } catch (const std::exception& e) {
        if (t)
            t->cancel();
        tell("The following error occurred saving the preference: " + std::string(e.what()) + "\r\r" +
                 "The record was NOT saved.",
             MsgKind::Warning);
        return false;
    }
    setModified(false);
    return true;
}

bool TPreferenceRecClass::Lock(const std::string& lockIdentity)
{
    if (m_storage == PreferStorage::SettingsFile)
        return true;
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TPreferenceRecClass::Unlock(const std::string& lockIdentity)
{
    if (m_storage == PreferStorage::SettingsFile)
        return true;
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

// --- the settings cache ---

const std::vector<PreferenceKey>& preferenceCacheKeys()
{
    using S = PreferStorage;
    static const std::vector<PreferenceKey> keys = {
        {"HourFormat", S::SettingsFile, "#0.00"},
        {"MinuteRound", S::SharedTable, "4"},
        {"FirstDate", S::SharedTable, nullptr},
        {"Overtime", S::SharedTable, "0"},
        {"Hours", S::SharedTable, "40"},
        {"Shift2", S::SharedTable, "0"},
        {"Shift3", S::SharedTable, "0"},
        {"ShiftOvertime", S::SharedTable, "0"},
        {"IncludeShiftOT", S::SharedTable, "0"},
        {"IncludeShiftMultiple", S::SharedTable, "0"},
        {"IncludeShiftOff", S::SharedTable, "0"},
        {"TimeFormat", S::SettingsFile, "hh:nn A/P"},
        {"AMKey", S::SettingsFile, "0"},
        {"AMShift", S::SettingsFile, "0"},
        {"PMKey", S::SettingsFile, "0"},
        {"PMShift", S::SettingsFile, "0"},
        {"UserMonth", S::SharedTable, "1"},
        {"UserDay", S::SharedTable, "1"},
        {"Printer", S::SettingsFile, "0"},
    };
    return keys;
}

double defaultFirstDate(double today)
{
    double day = std::floor(today) - 7;
    while (DayOfWeek(day) != 0)
        day -= 1;
    return day;
}

TPreferenceListClass::TPreferenceListClass(THourvaneDataMod& dm) : m_dm(dm) {}

void TPreferenceListClass::LoadAll()
{
    m_items.clear();
    for (const PreferenceKey& k : preferenceCacheKeys()) {
        auto item = std::make_unique<TPreferenceRecClass>(m_dm, k.key, k.storage);
        if (!item->Load()) {
            // Computed at every load until stored, so it moves on with today.
            std::string fallback = k.defaultValue
                                       ? std::string(k.defaultValue)
                                       : std::to_string(static_cast<long long>(defaultFirstDate(clock().today())));
            item->SetValue(fallback);
        }
        m_items.push_back(std::move(item));
    }
}

TPreferenceRecClass* TPreferenceListClass::find(const std::string& key) const
{
    for (const auto& item : m_items)
        if (engine::sameName(item->key(), key))
            return item.get();
    return nullptr;
}

TPreferenceRecClass& TPreferenceListClass::at(const std::string& key) const
{
    if (TPreferenceRecClass* item = find(key))
        return *item;
    throw std::out_of_range("The settings cache has no key " + key);
}

std::string TPreferenceListClass::GetValue(const std::string& key) const { return at(key).value(); }

void TPreferenceListClass::SetValue(const std::string& key, const std::string& text) { at(key).SetValue(text); }

bool TPreferenceListClass::SaveAll(const std::string& lockIdentity)
{
    // One transaction: the shared settings change together or not at all.
    // Settings-file values alone need no transaction (nor the database).
    std::vector<TPreferenceRecClass*> saved;
    bool owned = false;
    try {
        std::optional<TransactionGuard> tx;
        for (const auto& item : m_items)
            if (item->modified() && item->storage() == PreferStorage::SharedTable) {
                tx.emplace(m_dm.HourvaneDB);
                owned = tx->owned();
                break;
            }
        for (const auto& item : m_items) {
            if (!item->modified())
                continue;
            if (!item->Save(lockIdentity)) {
                if (tx) {
                    tx->rollback();
                    if (tx->owned())
                        for (TPreferenceRecClass* s : saved)
                            s->setModified(true); // their rows were rolled back with the rest
                }
                return false;
            }
            if (item->storage() == PreferStorage::SharedTable)
                saved.push_back(item.get());
        }
        if (tx)
            tx->commit();
        return true;
    } catch (const std::exception& e) {
        if (owned)
            for (TPreferenceRecClass* s : saved)
                s->setModified(true);
        tell("The following error occurred saving the preference: " + std::string(e.what()) + "\r\r" +
                 "The record was NOT saved.",
             MsgKind::Warning);
        return false;
    }
}

bool TPreferenceListClass::LockAll(const std::string& lockIdentity)
{
    // Holders as they were, to put back what a rolled-back transaction undid.
    std::vector<std::pair<TPreferenceRecClass*, std::string>> taken;
    auto restore = [&] {
        for (auto& [item, holder] : taken)
            item->setLockHolder(holder);
    };
    try {
        TransactionGuard tx(m_dm.HourvaneDB);
        for (const auto& item : m_items) {
            std::string before = item->lockHolder();
            if (!item->Lock(lockIdentity)) {
                tx.rollback();
                if (tx.owned())
                    restore();
                return false;
            }
            taken.emplace_back(item.get(), before);
        }
        tx.commit();
        return true;
    } catch (const std::exception& e) {
        restore();
        tell("The following error occurred locking the Preferences record: " + TSQLRecClass::engineErrorText(e) +
                 "\r\r" + "The record was NOT locked.",
             MsgKind::Warning);
        return false;
    }
}

bool TPreferenceListClass::UnlockAll(const std::string& lockIdentity)
{
    const std::string identity = TSQLRecClass::storedIdentity(lockIdentity);
    std::vector<std::pair<TPreferenceRecClass*, std::string>> released;
    auto restore = [&] {
        for (auto& [item, holder] : released)
            item->setLockHolder(holder);
    };
    try {
        TransactionGuard tx(m_dm.HourvaneDB);
        for (const auto& item : m_items) {
            if (item->lockHolder() != identity)
                continue;
            std::string before = item->lockHolder();
            if (!item->Unlock(lockIdentity)) {
                tx.rollback();
                if (tx.owned())
                    restore();
                return false;
            }
            released.emplace_back(item.get(), before);
        }
        tx.commit();
        return true;
    } catch (const std::exception& e) {
        restore();
        tell("The following error occurred unlocking the Preferences record: " + TSQLRecClass::engineErrorText(e) +
                 "\r\r" + "The record was NOT unlocked.",
             MsgKind::Warning);
        return false;
    }
}

void TPreferenceListClass::ResetLockRefused()
{
    for (const auto& item : m_items)
        item->resetLockRefused();
}

} // namespace hv
