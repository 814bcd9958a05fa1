#include "ports/HelpService.h"

namespace hv {
namespace {

class NoHelp : public HelpService {
public:
    void showContents() override {}
    void search(const std::string&) override {}
    void showTopic(int) override {}
};

NoHelp g_noHelp;
HelpService* g_help = nullptr;

} // namespace

void setHelpService(HelpService* service) { g_help = service; }

HelpService& helpService() { return g_help ? *g_help : g_noHelp; }

} // namespace hv
