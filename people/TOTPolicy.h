#pragma once
// An overtime policy: one row of otpolicy.dat (table component tblOTPolicy).
// It says after how many hours a week or a day overtime begins and at what
// multiple of the wage it is paid, with an optional second tier. The default
// policy has no row; it is built from the global settings.
#include "ports/PickList.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <string>

namespace hv {

class TOTPolicyRecClass : public TSQLRecClass {
public:
    explicit TOTPolicyRecClass(THourvaneDataMod& dm);

    // The key selects the row the record is about; setting it marks nothing.
    std::int32_t PolicyID() const { return m_policyID; }
    void SetPolicyID(std::int32_t id) { m_policyID = id; }

    const std::string& Policy() const { return m_policy; }
    bool WeeklyFlag() const { return m_weeklyFlag; }
    bool ActiveFlag() const { return m_activeFlag; }
    float Hours1() const { return m_hours1; }
    float Hours2() const { return m_hours2; }
    float Rate1() const { return m_rate1; }
    float Rate2() const { return m_rate2; }

    // Each marks the record modified when the value changes; the first change
    // of an unmodified record takes the row lock with this copy's identity.
    void SetPolicy(const std::string& value);
    void SetWeeklyFlag(bool value);
    void SetActiveFlag(bool value);
    void SetHours1(float value);
    void SetHours2(float value);
    void SetRate1(float value);
    void SetRate2(float value);

    bool IsModified() const { return modified(); }
    // Setting it on an unmodified record first takes the row lock.
    void SetModified(bool value);

    // Base clear, then the defaults; PolicyID is kept.
    void Clear() override;
    bool LoadByID();
    // The policy used when no assignment applies: PolicyID 0, weekly unless
    // overtime is counted per day, Hours1 from the overtime hours setting,
    // Rate1 1.5 and no second tier. Reads the global settings.
    void LoadDefault();
    // True for the default policy, which has no row to edit or delete.
    bool IsDefault() const { return m_policyID == 0; }

    bool Save(const std::string& lockIdentity) override;
    // Also removes every employee's assignments to the policy, in the same
    // transaction.
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

    // Drop-down: "<New Policy>" (ID 0) when withNew, then in description order
    // the active policies, the one with keptID, or all when activeOnly is off.
    void FillPolicyList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID);

private:
    // Positions tblOTPolicy on the row of PolicyID; false when there is none.
    bool findRow();

    std::int32_t m_policyID = 0;
    std::string m_policy;
    bool m_weeklyFlag = true;
    bool m_activeFlag = true;
    float m_hours1 = 0;
    float m_hours2 = 0;
    float m_rate1 = 0;
    float m_rate2 = 0;
};

} // namespace hv
