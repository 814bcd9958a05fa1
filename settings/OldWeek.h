#pragma once
// What manager access guards in the week: a week whose week-ending date lies
// more than 7 days before today is old, and saving or deleting it needs
// manager access. Every window that changes a week's data asks through here.
#include <functional>
#include <string>

namespace hv {

struct AppState;

bool IsOldWeek(double weekEnd, double today);

// True when the week is not old or manager access is set. Otherwise the normal
// cursor comes back and requestAccess runs (the manager access command, as if
// chosen from the File menu); when access is still not set the refusal is
// shown (information) and the answer is false.
bool OldWeekChangeAllowed(double weekEnd, const AppState& state, const std::function<void()>& requestAccess,
                          const std::string& refusal);

} // namespace hv
