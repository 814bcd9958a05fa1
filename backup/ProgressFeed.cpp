#include "backup/ProgressFeed.h"

#include "ports/MessageService.h"

#include <cmath>

namespace hv {

void ProgressFeed::totalSize(std::uint64_t bytes)
{
    m_total = bytes;
    m_running = 0;
    show(1);
}

void ProgressFeed::progress(std::uint64_t bytes)
{
    m_running += bytes;
    if (m_total != 0)
        show(int(std::llround(double(m_running) * 10000.0 / double(m_total))) + 1);
}

void ProgressFeed::endOfBatch() { show(1); }

void ProgressFeed::message(int code, const std::string& text)
{
    if (code > 0)
        ShowMessageBox("Error Msg: " + text, MsgKind::Information, MsgButtons::Ok, 0);
}

void ProgressFeed::show(int position)
{
    // Many small pieces move the bar by less than a step: repaint only on a change.
    if (!m_display || position == m_shown)
        return;
    m_shown = position;
    m_display->setBarPosition(position);
}

} // namespace hv
