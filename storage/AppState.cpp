#include "storage/AppState.h"

#include "platform/DateUtil.h"

namespace hv {
namespace {
AppState g_state;
}

AppState& appState() { return g_state; }
void resetAppState() { g_state = AppState(); }

std::string AppState::dateFormatShown() const { return displayDateFormat.empty() ? DateFormat() : displayDateFormat; }

} // namespace hv
