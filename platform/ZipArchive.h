#pragma once
// Zip archives for the backup: create one from files, test every entry by
// reading it through, list the entries and extract chosen ones. The one place
// that talks to libzip; failures come back as libzip's code and text, never as
// a dialog.
#include <cstdint>
#include <string>
#include <vector>

namespace hv {

struct ZipError {
    int code = 0; // libzip's error code; 0 with a text for our own refusals
    std::string text;
};

// The zip engine's events as the progress window takes them.
class ZipProgress {
public:
    virtual ~ZipProgress() = default;
    virtual void totalSize(std::uint64_t bytes) = 0; // a batch of this many bytes starts
    virtual void progress(std::uint64_t bytes) = 0;  // this many more are done
    virtual void endOfBatch() = 0;
    // A message of the engine about one entry, with its error code.
    virtual void message(int code, const std::string& text) = 0;
};

struct ZipSource {
    std::string entryName; // stored as it is: no folder part
    std::string filePath;
};

struct ZipEntryInfo {
    std::string name;
    std::uint64_t size = 0; // as the central directory declares it
    std::uint32_t crc = 0;
};

struct ZipTestResult {
    int entries = 0;
    // Entries that read through to their declared size with a good CRC.
    std::vector<ZipEntryInfo> good;
};

struct ZipExtractItem {
    int index = 0;          // the entry, as list() numbers it
    std::string targetPath; // where its file goes
};

namespace ZipArchive {

// Writes a new archive at path (replacing a file there), entries deflated at
// level 1..9 in the order given.
bool create(const std::string& path, const std::vector<ZipSource>& sources, int level, ZipProgress* progress,
            ZipError& error);

// The entries in archive order: names and declared sizes.
bool list(const std::string& path, std::vector<ZipEntryInfo>& entries, ZipError& error);

// Reads every entry through without writing anything. An entry that gives
// more bytes than it declares is bad, and is read no further.
bool test(const std::string& path, ZipTestResult& result, ZipProgress* progress, ZipError& error);

// Writes the chosen entries' contents, each through a temporary name that is
// synced and renamed into place. An entry that inflates past its declared size
// or fails its CRC is an error, and what it wrote is removed.
bool extract(const std::string& path, const std::vector<ZipExtractItem>& items, ZipProgress* progress, ZipError& error);

} // namespace ZipArchive

// Size and CRC-32 of a file, as an archive entry of it would declare them.
bool FileCrc32(const std::string& path, std::uint64_t& size, std::uint32_t& crc);

} // namespace hv
