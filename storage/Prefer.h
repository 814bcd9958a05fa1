#pragma once
// One setting, kept either in this machine's settings file ("Hourvane3.ini",
// section "Initialization") or in the shared table prefer.dat, and the
// settings cache: the working set of the main settings, loaded in a fixed
// order with their defaults. All values are text.
#include "storage/SQLRec.h"

#include <memory>
#include <string>
#include <vector>

namespace hv {

enum class PreferStorage { SettingsFile, SharedTable };

inline constexpr const char* kPreferSection = "Initialization";
inline constexpr const char* kPreferFileName = "Hourvane3.ini";

class TPreferenceRecClass : public TSQLRecClass {
public:
    explicit TPreferenceRecClass(THourvaneDataMod& dm);
    TPreferenceRecClass(THourvaneDataMod& dm, std::string key, PreferStorage storage);

    const std::string& section() const { return m_section; }
    void setSection(std::string section) { m_section = std::move(section); }
    const std::string& key() const { return m_key; }
    void setKey(std::string key) { m_key = std::move(key); }
    PreferStorage storage() const { return m_storage; }
    void setStorage(PreferStorage storage) { m_storage = storage; }
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string fileName) { m_fileName = std::move(fileName); }

    const std::string& value() const { return m_value; }
    // Marks the record modified when the text differs from the value.
    void SetValue(const std::string& text);

    void Clear() override;
    // False when the setting is not stored (or could not be read).
    bool Load();
    bool Save(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    // The list puts lock holders back when its transaction is rolled back.
    friend class TPreferenceListClass;

    // Positions the table on the key's row; false when there is none.
    bool findRow();

    std::string m_section = kPreferSection;
    std::string m_key;
    PreferStorage m_storage = PreferStorage::SettingsFile;
    std::string m_value;
    std::string m_fileName = kPreferFileName;
};

// A key of the settings cache with its storage and default.
struct PreferenceKey {
    const char* key;
    PreferStorage storage;
    const char* defaultValue; // null: computed when loaded (FirstDate)
};

// The keys of the settings cache in loading order.
const std::vector<PreferenceKey>& preferenceCacheKeys();

// FirstDate's default: the Sunday on or before today - 7, as a day number.
double defaultFirstDate(double today);

class TPreferenceListClass {
public:
    explicit TPreferenceListClass(THourvaneDataMod& dm);
    TPreferenceListClass(const TPreferenceListClass&) = delete;
    TPreferenceListClass& operator=(const TPreferenceListClass&) = delete;

    // Rebuilds the list from storage in the cache's key order; a key not
    // found gets its default and is marked modified, so SaveAll writes it.
    void LoadAll();
    // Keys are matched without regard to case; an unknown key throws
    // std::out_of_range.
    std::string GetValue(const std::string& key) const;
    void SetValue(const std::string& key, const std::string& text);
    // Saves every modified object in list order; false at the first failure.
    bool SaveAll(const std::string& lockIdentity);
    // Locks every object in one transaction (started here only when none is
    // active); at the first refusal undoes what it took and returns false.
    bool LockAll(const std::string& lockIdentity);
    // Unlocks every object held by the identity, in one transaction likewise.
    bool UnlockAll(const std::string& lockIdentity);
    void ResetLockRefused();

    std::size_t size() const { return m_items.size(); }
    TPreferenceRecClass& item(std::size_t index) const { return *m_items.at(index); }
    // Null for an unknown key.
    TPreferenceRecClass* find(const std::string& key) const;

private:
    TPreferenceRecClass& at(const std::string& key) const;

    THourvaneDataMod& m_dm;
    std::vector<std::unique_ptr<TPreferenceRecClass>> m_items;
};

} // namespace hv
