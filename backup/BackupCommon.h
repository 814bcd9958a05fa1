#pragma once
// What backup and restore share: the dialog request, the remembered names, the
// failure that ends an operation with the engine's code and text, and the hold
// on the maintenance marker.
#include "backup/BackupRestore.h"
#include "ports/FileDialogService.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace hv {

class THourvaneDataMod;

// Deflate level of the archive's entries. Level 9 took 15 s of CPU for
// 100 MB of tables on a 2-core machine (the archive 10% smaller than at 6);
// level 6 keeps a backup of that size well inside 15 s.
inline constexpr int kArchiveLevel = 6;
// Kept free on the data folder's disk beyond what staging needs.
inline constexpr std::uint64_t kSpareBytes = 64ull << 20;

// A step that failed, with the code and text the failure message shows.
struct OperationFailure : std::runtime_error {
    OperationFailure(int code, const std::string& text) : std::runtime_error(text), code(code) {}
    int code;
};

FileDialogRequest archiveRequest(const std::string& title, const std::string& proposed);

// Throws OperationFailure when the folder's disk has less than bytes + the spare free.
void requireFreeSpace(const std::string& folder, std::uint64_t bytes);

// Releases the maintenance marker when the operation ends, however it ends.
class MarkerHold {
public:
    explicit MarkerHold(THourvaneDataMod& dm) : m_dm(dm) {}
    ~MarkerHold();
    MarkerHold(const MarkerHold&) = delete;
    MarkerHold& operator=(const MarkerHold&) = delete;

private:
    THourvaneDataMod& m_dm;
};

// The progress window for the operation's length.
class ProgressScope {
public:
    ProgressScope(OperationProgress* display, ProgressMode mode);
    ~ProgressScope();
    void close();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    OperationProgress* m_display;
};

} // namespace hv
