#pragma once
// The wait cursor on the application: one level only, so that a restore
// before a message and the restore at the end of a command agree.
#include "ports/CursorService.h"

namespace hv {

class QtCursorService : public CursorService {
public:
    ~QtCursorService() override;
    void showWaitCursor() override;
    void restoreCursor() override;
    bool waiting() const { return m_waiting; }

private:
    bool m_waiting = false;
};

} // namespace hv
