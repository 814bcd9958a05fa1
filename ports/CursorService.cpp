#include "ports/CursorService.h"

namespace hv {
namespace {
CursorService* g_cursor = nullptr;
}

void setCursorService(CursorService* service) { g_cursor = service; }
CursorService* cursorService() { return g_cursor; }

void ShowWaitCursor()
{
    if (g_cursor)
        g_cursor->showWaitCursor();
}

void RestoreCursor()
{
    if (g_cursor)
        g_cursor->restoreCursor();
}

} // namespace hv
