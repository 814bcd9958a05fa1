#include "backup/ArchiveEntries.h"

#include "platform/Format.h"

namespace hv {

bool PlainEntryName(const std::string& name)
{
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':')
            return false;
    return true;
}

bool ArchiveEntriesAcceptable(const std::vector<ZipEntryInfo>& entries, std::uint64_t maxDeclaredBytes)
{
    if (entries.size() > kMaxArchiveEntries)
        return false;
    std::uint64_t declared = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!PlainEntryName(entries[i].name))
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (UpperCase(entries[j].name) == UpperCase(entries[i].name))
                return false;
        // Testing reads every entry: bound the whole archive, not only the tables.
        if (entries[i].size > maxDeclaredBytes - declared)
            return false;
        declared += entries[i].size;
    }
    return true;
}

} // namespace hv
