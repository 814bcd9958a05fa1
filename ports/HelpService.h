#pragma once
// Help as windows and message boxes ask for it: the contents, a keyword
// search, or the topic of a help context number. The program installs the
// help window; without one every request does nothing.
#include <string>

namespace hv {

class HelpService {
public:
    virtual ~HelpService() = default;
    virtual void showContents() = 0;
    virtual void search(const std::string& keyword) = 0;
    // An unknown context number shows the contents.
    virtual void showTopic(int context) = 0;
};

// Process-wide help service; null installs the one that does nothing.
void setHelpService(HelpService* service);
HelpService& helpService();

// Help context of the technical support topic.
inline constexpr int kTechnicalSupportHelpContext = 30;

} // namespace hv
