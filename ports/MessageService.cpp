#include "ports/MessageService.h"

#include "ports/CursorService.h"

namespace hv {
namespace {
MessageService* g_service = nullptr;

struct Waiting {
    std::string text;
    MsgKind kind;
    int helpContext;
};
int g_holds = 0;
std::vector<Waiting> g_waiting;
} // namespace

HeldMessages::HeldMessages() { ++g_holds; }

HeldMessages::~HeldMessages()
{
    if (--g_holds > 0)
        return;
    // A message shown here may itself start work that holds messages again.
    std::vector<Waiting> waiting;
    waiting.swap(g_waiting);
    try {
        for (const Waiting& w : waiting) {
            RestoreCursor();
            ShowMessageBox(w.text, w.kind, MsgButtons::Ok, w.helpContext);
        }
    } catch (...) {
        // A message that cannot be shown must not end the program from here.
    }
}

void setMessageService(MessageService* service) { g_service = service; }
MessageService* messageService() { return g_service; }

std::string CutMessage(std::string text)
{
    if (text.size() > kMaxMessageLength)
        text.resize(kMaxMessageLength);
    return text;
}

MsgResult ShowMessageBox(const std::string& text, MsgKind kind, MsgButtons buttons, int helpContext)
{
    if (!g_service)
        return buttons == MsgButtons::Ok      ? MsgResult::Ok
               : buttons == MsgButtons::Abort ? MsgResult::Abort
                                              : MsgResult::Yes;
    if (g_holds > 0 && buttons == MsgButtons::Ok) {
        g_waiting.push_back({text, kind, helpContext});
        return MsgResult::Ok;
    }
    return g_service->show(CutMessage(text), kind, buttons, helpContext);
}

void tell(const std::string& text, MsgKind kind, int helpContext)
{
    RestoreCursor();
    ShowMessageBox(text, kind, MsgButtons::Ok, helpContext);
}

void tellAll(const std::vector<Notice>& notices)
{
    for (const Notice& notice : notices)
        tell(notice.text, notice.kind);
}

MsgResult ask(const std::string& text)
{
    RestoreCursor();
    return ShowMessageBox(text, MsgKind::Confirmation, MsgButtons::YesNo, 0);
}

bool settleUnsavedChanges(const std::string& question, const std::function<bool()>& save)
{
    switch (ShowMessageBox(question, MsgKind::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Cancel:
        return false;
    case MsgResult::Yes:
        if (!save()) {
            RestoreCursor();
            return false;
        }
        return true;
    default:
        return true;
    }
}

} // namespace hv
