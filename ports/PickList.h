#pragma once
// The lists that record pickers fill: a drop-down that keeps an integer ID with
// every item, a list box, or a plain string list. The last two carry the ID in
// a TIDRecClass object attached to the entry; the list owns those objects and
// frees them before it is refilled.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

// One record ID (an EmpID, a DeptID or another key) attached to a list entry,
// so that the entry leads back to its row.
class TIDRecClass {
public:
    explicit TIDRecClass(std::int32_t id = 0) : m_id(id) {}
    std::int32_t ID() const { return m_id; }
    void SetID(std::int32_t id) { m_id = id; }

private:
    std::int32_t m_id;
};

enum class PickListKind {
    DropDown,   // the ID is the item's own integer
    ListBox,    // the ID travels in an owned TIDRecClass
    StringList, // likewise
};

// What the fillers write into. Windows implement it over their controls; the
// in-memory list below serves tests and callers without a window.
class PickList {
public:
    virtual ~PickList() = default;

    virtual PickListKind kind() const = 0;
    bool carriesObjects() const { return kind() != PickListKind::DropDown; }

    // Empties the list, freeing the TIDRecClass objects of its entries.
    virtual void clear() = 0;
    // Appends an entry that leads back to the row with this ID.
    virtual void add(const std::string& text, std::int32_t id) = 0;

    virtual int count() const = 0;
    virtual std::string text(int index) const = 0;
    // The entry's ID, however the list carries it.
    virtual std::int32_t id(int index) const = 0;
    // The attached object; null for a drop-down.
    virtual const TIDRecClass* object(int index) const = 0;

    // Position of the first entry with this text or ID; -1 when there is none.
    int indexOfText(const std::string& text) const;
    int indexOfId(std::int32_t id) const;
};

class MemoryPickList : public PickList {
public:
    explicit MemoryPickList(PickListKind kind = PickListKind::StringList) : m_kind(kind) {}

    PickListKind kind() const override { return m_kind; }
    void clear() override;
    void add(const std::string& text, std::int32_t id) override;
    int count() const override { return int(m_entries.size()); }
    std::string text(int index) const override;
    std::int32_t id(int index) const override;
    const TIDRecClass* object(int index) const override;

    // All texts in order, for callers that only show them.
    std::vector<std::string> texts() const;

private:
    struct Entry {
        std::string text;
        std::int32_t itemId = 0;               // drop-down
        std::unique_ptr<TIDRecClass> attached; // list box, string list
    };
    const Entry& at(int index) const;

    PickListKind m_kind;
    std::vector<Entry> m_entries;
};

} // namespace hv
