#pragma once
// The mouse cursor as domain code drives it: the wait cursor while a command
// works on the database, the normal cursor again before any message. Windows
// install the Qt implementation; without one both calls do nothing.
namespace hv {

class CursorService {
public:
    virtual ~CursorService() = default;
    virtual void showWaitCursor() = 0;
    virtual void restoreCursor() = 0;
};

// Process-wide cursor service; null means no cursor to change.
void setCursorService(CursorService* service);
CursorService* cursorService();

void ShowWaitCursor();
void RestoreCursor();

// Shows the wait cursor for a scope and restores the normal one when it ends.
class WaitCursor {
public:
    WaitCursor() { ShowWaitCursor(); }
    ~WaitCursor() { RestoreCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace hv
