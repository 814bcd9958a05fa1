#pragma once
// Writes zip archives byte by byte, so a test can make the ones no zip
// library would: names with folders or drive letters, duplicate names,
// sizes that lie, thousands of entries.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hv::test {

struct RawEntry {
    std::string name;
    std::string data;
    // Added after data: this many zero bytes (for an entry far larger than memory wants).
    std::uint64_t zeros = 0;
    bool deflate = false;
    // What the headers declare as the entry's size, instead of the real one.
    std::optional<std::uint32_t> declaredSize;
    // One stored byte flipped after the CRC was taken (a damaged archive).
    std::optional<std::size_t> flipByte;
};

void WriteRawZip(const std::string& path, const std::vector<RawEntry>& entries);

// Every entry of an archive (read through the program's zip engine), in order.
std::vector<RawEntry> ReadEntries(const std::string& path);

} // namespace hv::test
