#pragma once
// The one way domain code talks to the user: a message box with a text, a kind,
// a button set and a help context. Windows install the Qt implementation; tests
// install a scripted one that records every message and answers from a script.
#include <functional>
#include <string>
#include <vector>

namespace hv {

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, YesNo, YesNoCancel, Abort };
enum class MsgResult { Ok, Yes, No, Cancel, Abort };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons, int helpContext) = 0;
};

// Process-wide message service; null shows nothing and answers Ok / Yes.
void setMessageService(MessageService* service);
MessageService* messageService();

// Longest text a message box shows; callers cut their texts with CutMessage.
inline constexpr std::size_t kMaxMessageLength = 255;
std::string CutMessage(std::string text);

// Cuts the text to 255 characters and shows it through the installed service.
MsgResult ShowMessageBox(const std::string& text, MsgKind kind, MsgButtons buttons = MsgButtons::Ok,
                         int helpContext = 0);

// While one of these is alive, a message with only an OK button waits and
// is shown, in order, when the outermost one ends; a question is still asked
// at once. A write transaction holds one, so no copy keeps the folder's
// writer lock (and with it every other copy's saves) while a message waits
// for the clerk's OK.
class HeldMessages {
public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;
};

// The normal cursor first (a message never shows under the wait cursor), then
// the message with an OK button.
void tell(const std::string& text, MsgKind kind = MsgKind::Warning, int helpContext = 0);
// The normal cursor first, then a Yes/No question.
MsgResult ask(const std::string& text);

// A message a flow leaves for its caller: a long operation (a backup, an
// import) words what came of it, and the window or the script shows or
// prints it once the operation has let go of the database.
struct Notice {
    std::string text;
    MsgKind kind = MsgKind::Information;
};
// Each notice in order, as tell shows it.
void tellAll(const std::vector<Notice>& notices);

// The question a window asks before unsaved changes would be lost
// (confirmation, Yes/No/Cancel): Yes runs save, No drops the changes, Cancel
// stays. True when the caller may go on; a failed save leaves the normal
// cursor and gives false.
bool settleUnsavedChanges(const std::string& question, const std::function<bool()>& save);

// Help context of every record-lock message.
inline constexpr int kLockHelpContext = 8100;

} // namespace hv
