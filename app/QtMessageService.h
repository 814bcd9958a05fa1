#pragma once
// The message service of the running program: a modal QMessageBox captioned
// with the application title and centred over the active window.
#include "ports/MessageService.h"

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace hv {

class QtMessageService : public MessageService {
public:
    // Opens help at a context number; the box stays open meanwhile.
    using HelpHandler = std::function<void(int helpContext)>;

    QtMessageService() = default;
    explicit QtMessageService(HelpHandler help) : m_help(std::move(help)) {}

    void setHelpHandler(HelpHandler help) { m_help = std::move(help); }

    // Shows the box modally over the active window and returns the button pressed.
    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons,
                   int helpContext) override;

    // The box as show() presents it, not yet shown: a Help button is added
    // when helpContext > 0, and "\r" becomes a line break.
    std::unique_ptr<QMessageBox> build(const std::string& text, MsgKind kind, MsgButtons buttons,
                                       int helpContext, QWidget* owner) const;

private:
    HelpHandler m_help;
};

} // namespace hv
