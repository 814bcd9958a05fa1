#pragma once
// The definitions of the custom employee data items: one row of field.dat
// (table component tblFields) names one item an employee can carry a value
// for. The list holds the active items the employee window builds its
// inputs from, with the width the widest label needs.
#include "storage/SQLRec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class TEmpFieldRecClass : public TSQLRecClass {
public:
    explicit TEmpFieldRecClass(THourvaneDataMod& dm);

    // The key selects the row the record is about; setting it marks nothing.
    std::int32_t FieldID() const { return m_fieldID; }
    void SetFieldID(std::int32_t id) { m_fieldID = id; }

    const std::string& FieldDesc() const { return m_fieldDesc; }
    bool ActiveFlag() const { return m_activeFlag; }

    // Each marks the record modified when the value changes; the first change
    // of an unmodified record takes the row lock with this copy's identity.
    void SetFieldDesc(const std::string& value);
    void SetActiveFlag(bool value);

    bool IsModified() const { return modified(); }
    // Setting it on an unmodified record first takes the row lock.
    void SetModified(bool value);

    // Base clear, then the defaults; FieldID is kept.
    void Clear() override;
    bool LoadByID();

    bool Save(const std::string& lockIdentity) override;
    // Also removes every employee's value of the item, in the same transaction.
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    // Positions tblFields on the row of FieldID; false when there is none.
    bool findRow();

    std::int32_t m_fieldID = 0;
    std::string m_fieldDesc;
    bool m_activeFlag = true;
};

// The pixel width of a label's text on the surface the labels are drawn on.
using TextWidthFunction = std::function<int(const std::string&)>;

class TEmpFieldListClass {
public:
    // Reads the active definitions in FieldID order and measures their
    // labels with textWidth (no measuring gives a width of 0).
    TEmpFieldListClass(THourvaneDataMod& dm, TextWidthFunction textWidth);
    TEmpFieldListClass(const TEmpFieldListClass&) = delete;
    TEmpFieldListClass& operator=(const TEmpFieldListClass&) = delete;

    int Count() const { return int(m_items.size()); }
    TEmpFieldRecClass& Item(int index) const { return *m_items.at(std::size_t(index)); }
    // The largest width of the labels; 0 without definitions.
    int WidestLabel() const { return m_widestLabel; }

private:
    std::vector<std::unique_ptr<TEmpFieldRecClass>> m_items;
    int m_widestLabel = 0;
};

} // namespace hv
