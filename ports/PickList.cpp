#include "ports/PickList.h"

#include <stdexcept>

namespace hv {

int PickList::indexOfText(const std::string& wanted) const
{
    for (int i = 0; i < count(); ++i)
        if (text(i) == wanted)
            return i;
    return -1;
}

int PickList::indexOfId(std::int32_t wanted) const
{
    for (int i = 0; i < count(); ++i)
        if (id(i) == wanted)
            return i;
    return -1;
}

void MemoryPickList::clear() { m_entries.clear(); }

void MemoryPickList::add(const std::string& text, std::int32_t id)
{
    Entry e;
    e.text = text;
    if (carriesObjects())
        e.attached = std::make_unique<TIDRecClass>(id);
    else
        e.itemId = id;
    m_entries.push_back(std::move(e));
}

const MemoryPickList::Entry& MemoryPickList::at(int index) const
{
    if (index < 0 || index >= count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return m_entries[std::size_t(index)];
}

std::string MemoryPickList::text(int index) const { return at(index).text; }

std::int32_t MemoryPickList::id(int index) const
{
    const Entry& e = at(index);
    return e.attached ? e.attached->ID() : e.itemId;
}

const TIDRecClass* MemoryPickList::object(int index) const { return at(index).attached.get(); }

std::vector<std::string> MemoryPickList::texts() const
{
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const auto& e : m_entries)
        out.push_back(e.text);
    return out;
}

} // namespace hv
