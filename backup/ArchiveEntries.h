#pragma once
// The first look at a backup archive handed to the restore: names that
// extract nowhere but into their folder, no name twice, and bounds on the
// number of entries and the bytes they declare. Plain code over the zip
// listing, so that the fuzzing build checks it with the zip reader alone.
#include "platform/ZipArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hv {

inline constexpr std::size_t kMaxArchiveEntries = 64;
inline constexpr std::uint64_t kMaxArchiveDeclaredBytes = 16ull << 30;

// A name without folders, parent references or control characters.
bool PlainEntryName(const std::string& name);

// True when every name is plain, no two names differ only in letter case,
// and the entries and their declared bytes stay within the bounds.
bool ArchiveEntriesAcceptable(const std::vector<ZipEntryInfo>& entries,
                              std::uint64_t maxDeclaredBytes = kMaxArchiveDeclaredBytes);

} // namespace hv
