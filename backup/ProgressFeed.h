#pragma once
// The zip engine's events as the progress bar shows them: a batch starts the
// bar at 1, each piece of work moves it to done x 10000 / total (rounded) + 1,
// the end of a batch puts it back to 1; an engine message with an error code
// is shown to the user.
#include "backup/BackupRestore.h"
#include "platform/ZipArchive.h"

#include <cstdint>

namespace hv {

class ProgressFeed : public ZipProgress {
public:
    explicit ProgressFeed(OperationProgress* display) : m_display(display) {}

    void totalSize(std::uint64_t bytes) override;
    void progress(std::uint64_t bytes) override;
    void endOfBatch() override;
    void message(int code, const std::string& text) override;

private:
    void show(int position);

    OperationProgress* m_display;
    std::uint64_t m_total = 0;
    std::uint64_t m_running = 0;
    int m_shown = -1;
};

} // namespace hv
