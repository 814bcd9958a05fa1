#include "storage/MessageService.h"

namespace hv {
namespace {
MessageService* g_service = nullptr;
}

void setMessageService(MessageService* service) { g_service = service; }
MessageService* messageService() { return g_service; }

std::string CutMessage(std::string text)
{
    if (text.size() > kMaxMessageLength)
        text.resize(kMaxMessageLength);
    return text;
}

MsgResult ShowMessageBox(const std::string& text, MsgKind kind, MsgButtons buttons,
                         int helpContext)
{
    if (!g_service)
        return buttons == MsgButtons::Ok ? MsgResult::Ok
             : buttons == MsgButtons::Abort ? MsgResult::Abort : MsgResult::Yes;
    return g_service->show(CutMessage(text), kind, buttons, helpContext);
}

} // namespace hv
