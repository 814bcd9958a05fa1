#pragma once
// What backup and restore share: the failure that ends an operation with the
// engine's code and text, the free space check and the progress window's
// scope.
#include "backup/BackupRestore.h"

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

inline constexpr const char* kRestoreNotExclusive = "Other users are currently accessing Hourvane and you must have "
                                                    "exclusive access to restore the database. Please try again later.";

// A step that failed, with the code and text the failure message shows.
struct OperationFailure : std::runtime_error {
    OperationFailure(int code, const std::string& text) : std::runtime_error(text), code(code) {}
    int code;
};

// Throws OperationFailure when the folder's disk has less than bytes + the spare free.
void requireFreeSpace(const std::string& folder, std::uint64_t bytes);

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
