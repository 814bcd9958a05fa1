#include "tests/support/ScriptedMessageService.h"

namespace hv::test {

ScriptedMessageService::ScriptedMessageService() : m_previous(messageService())
{
    setMessageService(this);
}

ScriptedMessageService::~ScriptedMessageService() { setMessageService(m_previous); }

MsgResult ScriptedMessageService::show(const std::string& text, MsgKind kind,
                                       MsgButtons buttons, int helpContext)
{
    m_shown.push_back({text, kind, buttons, helpContext});
    if (whenShown)
        whenShown(m_shown.back());
    if (!m_script.empty()) {
        MsgResult r = m_script.front();
        m_script.pop_front();
        return r;
    }
    switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::Abort: return MsgResult::Abort;
    default: return MsgResult::Yes;
    }
}

std::vector<std::string> ScriptedMessageService::texts() const
{
    std::vector<std::string> out;
    for (const auto& m : m_shown)
        out.push_back(m.text);
    return out;
}

} // namespace hv::test
