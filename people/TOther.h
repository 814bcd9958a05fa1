#pragma once
// An employee's value of a custom data item: one row of empfield.dat (table
// component tblEmpOther) per employee and item. Values are saved with their
// employee and go away with the employee or with the item's definition.
#include "storage/SQLRec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class TEmpOtherRecClass : public TSQLRecClass {
public:
    explicit TEmpOtherRecClass(THourvaneDataMod& dm);

    // The key; setting it marks nothing.
    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    std::int32_t FieldID() const { return m_fieldID; }
    void SetFieldID(std::int32_t id) { m_fieldID = id; }

    const std::string& FieldValue() const { return m_fieldValue; }
    // Marks the record modified when the text changes; takes no lock.
    void SetFieldValue(const std::string& value);

    bool IsModified() const { return modified(); }

    // What a save changes (the owner, the modified mark, the lock holder),
    // for a caller whose transaction rolls back.
    struct Snapshot {
        std::int32_t empID = 0;
        bool modified = false;
        std::string lockHolder;
        bool lockRefused = false;
    };
    Snapshot snapshot() const { return {m_empID, modified(), lockHolder(), lockRefused()}; }
    void restore(const Snapshot& s)
    {
        m_empID = s.empID;
        setModified(s.modified);
        setLockHolder(s.lockHolder);
        if (!s.lockRefused)
            resetLockRefused();
    }

    // Base clear and an empty value; the key stays.
    void Clear() override;
    // The row of (EmpID, FieldID); false when there is none (the value stays empty).
    bool Load();
    // Edits the stored row, or appends one when there is none.
    bool Save(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    // Positions tblEmpOther on the row of (EmpID, FieldID).
    bool findRow();

    std::int32_t m_empID = 0;
    std::int32_t m_fieldID = 0;
    std::string m_fieldValue;
};

class TEmpOtherValueListClass {
public:
    TEmpOtherValueListClass() = default;
    TEmpOtherValueListClass(const TEmpOtherValueListClass&) = delete;
    TEmpOtherValueListClass& operator=(const TEmpOtherValueListClass&) = delete;

    // Appends an entry; the list owns it.
    void Add(std::unique_ptr<TEmpOtherRecClass> entry);
    int Count() const { return int(m_items.size()); }
    // Entry i, or nullptr when i is outside the list.
    TEmpOtherRecClass* Item(int index) const;
    bool AnyModified() const;
    void Clear() { m_items.clear(); }

    // Every entry's save state, restored by position after a caller's rollback.
    std::vector<TEmpOtherRecClass::Snapshot> snapshot() const;
    void restore(const std::vector<TEmpOtherRecClass::Snapshot>& saved);

private:
    std::vector<std::unique_ptr<TEmpOtherRecClass>> m_items;
};

} // namespace hv
