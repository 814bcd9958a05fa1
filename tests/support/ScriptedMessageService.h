#pragma once
// Records every message box and answers from a script, so a test can drive a
// whole flow and assert the exact texts that were shown.
#include "ports/MessageService.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace hv::test {

struct ShownMessage {
    std::string text;
    MsgKind kind;
    MsgButtons buttons;
    int helpContext;
};

class ScriptedMessageService : public MessageService {
public:
    ScriptedMessageService();            // installs itself
    ~ScriptedMessageService() override;  // restores the previous service

    // Answers given in order; without a scripted answer OK sets answer Ok,
    // question sets answer Yes and Abort sets answer Abort.
    void answer(MsgResult result) { m_script.push_back(result); }

    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons,
                   int helpContext) override;

    const std::vector<ShownMessage>& shown() const { return m_shown; }
    std::vector<std::string> texts() const;
    std::string last() const { return m_shown.empty() ? std::string() : m_shown.back().text; }
    void clear() { m_shown.clear(); }
    // Runs as each message shows, to look at the windows at that moment.
    std::function<void(const ShownMessage&)> whenShown;

private:
    MessageService* m_previous;
    std::deque<MsgResult> m_script;
    std::vector<ShownMessage> m_shown;
};

} // namespace hv::test
