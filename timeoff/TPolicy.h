#pragma once
// Benefit accrual policy rules: one row of policy.dat (table component
// tblPolicy) per band of months of service, and the chain of rules of one
// benefit with its lookup by months of service.
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

// The last month any band can reach (80 years).
inline constexpr int kLastPolicyMonth = 960;
// Every rule of this edition belongs to employee type 1.
inline constexpr std::int32_t kDefaultEmpTypeID = 1;

class TPolicyRecClass : public TSQLRecClass {
public:
    explicit TPolicyRecClass(THourvaneDataMod& dm);

    // Key parts; setting them marks nothing.
    std::int32_t ReasonID() const { return m_reasonID; }
    void SetReasonID(std::int32_t id) { m_reasonID = id; }
    std::int32_t EmpTypeID() const { return m_empTypeID; }
    void SetEmpTypeID(std::int32_t id) { m_empTypeID = id; }

    // These mark the rule modified when the value changes; they never lock,
    // because rules are locked and saved as a whole list.
    std::int16_t StartMonths() const { return m_startMonths; }
    void SetStartMonths(std::int16_t value);
    std::int16_t EndMonths() const { return m_endMonths; }
    void SetEndMonths(std::int16_t value);
    float EarnedHours() const { return m_earnedHours; }
    void SetEarnedHours(float value);
    float CarryOverHours() const { return m_carryOverHours; }
    void SetCarryOverHours(float value);

    // How the user entered the band; plain values that mark nothing.
    const std::string& DisplayStartPeriod() const { return m_displayStartPeriod; }
    void SetDisplayStartPeriod(const std::string& value) { m_displayStartPeriod = value; }
    const std::string& DisplayEndPeriod() const { return m_displayEndPeriod; }
    void SetDisplayEndPeriod(const std::string& value) { m_displayEndPeriod = value; }
    const std::string& DisplayEarnedPeriod() const { return m_displayEarnedPeriod; }
    void SetDisplayEarnedPeriod(const std::string& value) { m_displayEarnedPeriod = value; }
    float DisplayEarnedHours() const { return m_displayEarnedHours; }
    void SetDisplayEarnedHours(float value) { m_displayEarnedHours = value; }

    // StartMonths / EndMonths of the row as last loaded; -1 for a rule that
    // was never stored.
    int StoredStartMonths() const { return m_storedStart; }
    int StoredEndMonths() const { return m_storedEnd; }

    bool IsModified() const { return modified(); }

    // Base clear; ReasonID, EmpTypeID, StartMonths and DisplayEarnedHours stay.
    void Clear() override;
    // Reads the row (ReasonID, EmpTypeID, StartMonths); false when missing.
    bool Load();

    // Writes the rule; a rule whose StartMonths changed moves its row. The
    // stored start stays as loaded: callers reload the list after saving.
    bool Save(const std::string& lockIdentity) override;
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    friend class TPolicyListClass;
    // Positions tblPolicy on the row the object was loaded from.
    bool findStoredRow();
    // Puts back the flags a rolled-back save had cleared.
    void restoreModified(bool value) { setModified(value); }

    std::int32_t m_reasonID = 0;
    std::int32_t m_empTypeID = kDefaultEmpTypeID;
    std::int16_t m_startMonths = 0;
    std::int16_t m_endMonths = 0;
    float m_earnedHours = 0;
    float m_carryOverHours = 0;
    std::string m_displayStartPeriod = "M";
    std::string m_displayEndPeriod = "Y";
    std::string m_displayEarnedPeriod = "Y";
    float m_displayEarnedHours = 0;
    int m_storedStart = -1;
    int m_storedEnd = 0;
};

class TPolicyListClass {
public:
    explicit TPolicyListClass(THourvaneDataMod& dm);
    TPolicyListClass(const TPolicyListClass&) = delete;
    TPolicyListClass& operator=(const TPolicyListClass&) = delete;

    std::int32_t ReasonID() const { return m_reasonID; }
    void SetReasonID(std::int32_t id) { m_reasonID = id; }
    std::int32_t EmpTypeID() const { return m_empTypeID; }
    void SetEmpTypeID(std::int32_t id) { m_empTypeID = id; }

    // The rules of the reason and employee type in StartMonths order; false
    // when a rule cannot be read (the list then holds what was read).
    bool Load();
    int Count() const { return int(m_rules.size()); }
    TPolicyRecClass& Items(int index) const { return *m_rules.at(std::size_t(index)); }
    void Clear() { m_rules.clear(); }

    // The first rule whose EndMonths is not below the months of service; null
    // when the chain ends before them.
    TPolicyRecClass* FindByMonths(int months) const;

    // Appends a new, unsaved rule for the list's reason and employee type.
    TPolicyRecClass& AddRule(std::int16_t startMonths, std::int16_t endMonths, float displayEarnedHours,
                             float earnedHours, float carryOverHours, const std::string& displayStartPeriod,
                             const std::string& displayEndPeriod, const std::string& displayEarnedPeriod);
    // Deletes the rule's row and removes the rule from the list.
    bool DeleteRule(int index, const std::string& lockIdentity);
    // Takes the rule out of the chain without touching its row: the row goes
    // with the next SaveChain, and stays when the work is abandoned.
    void RemoveRule(int index);
    int RemovedCount() const { return int(m_removed.size()); }

    // Each applies the rule operation to every rule in order inside one
    // transaction and returns the position of the first failing rule, or -1.
    // A failure rolls back a transaction of its own.
    int LockAll(const std::string& lockIdentity);
    int UnlockAll(const std::string& lockIdentity);
    int SaveAll(const std::string& lockIdentity);
    // Writes the edited chain in one transaction, in an order that never puts
    // two rows on one key: the rows of removed rules first, then the rules
    // whose start moved later, from the last back, then the rest in order.
    // False after the first failure, with the transaction rolled back.
    // Stored starts stay as loaded: callers reload the list afterwards.
    bool SaveChain(const std::string& lockIdentity);

    // Deletes every rule row of the reason, whatever its employee type.
    bool DeleteAllRules();

private:
    enum class Action { Lock, Unlock, Save };
    int applyAll(Action action, const std::string& lockIdentity);
    int applyInOrder(Action action, const std::string& lockIdentity, const std::vector<std::size_t>& order,
                     bool deleteRemovedFirst);

    THourvaneDataMod& m_dm;
    std::int32_t m_reasonID = 0;
    std::int32_t m_empTypeID = kDefaultEmpTypeID;
    std::vector<std::unique_ptr<TPolicyRecClass>> m_rules;
    // Rules taken out of the chain whose rows are still stored.
    std::vector<std::unique_ptr<TPolicyRecClass>> m_removed;
};

} // namespace hv
