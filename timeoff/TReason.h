#pragma once
// A time off reason: one row of reason.dat (table component tblReasons). Its
// save keeps the benefit rules and accruals of the reason consistent with its
// PolicyFlag; its delete removes everything that depends on the reason.
#include "ports/PickList.h"
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hv {

// Raised by a save that meets another reason with the same description or
// code, so that the window can focus the offending field.
class EDupReasonDescError : public std::runtime_error {
public:
    EDupReasonDescError()
        : std::runtime_error("This Reason Description has already been used.  Please try another one.")
    {
    }
};

class EDupReasonCodeError : public std::runtime_error {
public:
    EDupReasonCodeError() : std::runtime_error("This Reason Code has already been used.  Please try another one.") {}
};

class TReasonRecClass : public TSQLRecClass {
public:
    explicit TReasonRecClass(THourvaneDataMod& dm);

    // The key selects the row; 0 is a reason not stored yet. Setting it marks nothing.
    std::int32_t ReasonID() const { return m_reasonID; }
    void SetReasonID(std::int32_t id) { m_reasonID = id; }

    const std::string& Reason() const { return m_reason; }
    const std::string& ReasonCode() const { return m_reasonCode; }
    bool ActiveFlag() const { return m_activeFlag; }
    bool PaidFlag() const { return m_paidFlag; }
    bool OvertimeFlag() const { return m_overtimeFlag; }
    bool PolicyFlag() const { return m_policyFlag; }
    // "C", "A" or "U"; empty unless PolicyFlag.
    const std::string& AccrualBasis() const { return m_accrualBasis; }
    // "E" or "Y"; empty unless PolicyFlag.
    const std::string& ValidateBasis() const { return m_validateBasis; }

    // Each marks the record modified when the value changes; the first change
    // of an unmodified record takes the row lock with this copy's identity.
    void SetReason(const std::string& value);
    void SetReasonCode(const std::string& value);
    void SetActiveFlag(bool value);
    void SetPaidFlag(bool value);
    void SetOvertimeFlag(bool value);
    void SetPolicyFlag(bool value);
    void SetAccrualBasis(const std::string& value);
    void SetValidateBasis(const std::string& value);

    bool IsModified() const { return modified(); }

    // Base clear, then the defaults; ReasonID is kept.
    void Clear() override;
    // False when the row is missing (the object then holds the cleared values).
    bool LoadByID();
    // Finds the row by the held description, ignoring case; sets ReasonID.
    bool LoadByDescription();

    // True when saved or when nothing was modified. Throws EDupReasonDescError
    // or EDupReasonCodeError after rolling back a transaction of its own.
    bool Save(const std::string& lockIdentity) override;
    // Deletes the row with its policy rules, accruals and time off entries in
    // one transaction; the object returns to the new state.
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

    // Drop-down in description order: "<New Time Off Reason>" (ID 0) when
    // withNew, then every reason, or with activeOnly the active ones and the
    // one whose ID is keptID.
    void FillReasonList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID);
    // Every reason with a benefit accrual policy, in description order.
    void FillPolicyReasonList(PickList& list);

private:
    void markChanged();
    bool findRow();
    void readRow();
    // The cascade of a save: rules and accruals follow PolicyFlag.
    bool syncBenefitData(const std::string& lockIdentity);

    std::int32_t m_reasonID = 0;
    std::string m_reason;
    std::string m_reasonCode;
    bool m_activeFlag = true;
    bool m_paidFlag = false;
    bool m_overtimeFlag = false;
    bool m_policyFlag = false;
    std::string m_accrualBasis;
    std::string m_validateBasis;
};

class TReasonListClass {
public:
    explicit TReasonListClass(THourvaneDataMod& dm);
    TReasonListClass(const TReasonListClass&) = delete;
    TReasonListClass& operator=(const TReasonListClass&) = delete;

    // One record per reason, in description order.
    void Load();
    int Count() const { return int(m_items.size()); }
    TReasonRecClass& Items(int index) const { return *m_items.at(std::size_t(index)); }

private:
    THourvaneDataMod& m_dm;
    std::vector<std::unique_ptr<TReasonRecClass>> m_items;
};

} // namespace hv
