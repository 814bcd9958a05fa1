#include "storage/AppState.h"

namespace hv {
namespace {
AppState g_state;
}

AppState& appState() { return g_state; }
void resetAppState() { g_state = AppState(); }

} // namespace hv
