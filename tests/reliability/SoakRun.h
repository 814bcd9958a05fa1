#pragma once
// Eight copies of the program (tools/hv_peer) at work on one data folder at
// once: each loads, locks, edits and saves weeks of its own employees and of
// two it shares with one other copy, and now and then adds time off. Every
// save adds one to a counter kept in the week, so that afterwards the counters
// tell whether a save that reported success was lost. The soak test and the
// soak benchmark both run it.
#include <map>
#include <string>
#include <vector>

namespace hv {
class THourvaneDataMod;
}

namespace hv::test {

struct SoakPlan {
    int copies = 8;
    int ownEmployees = 6;    // per copy
    int sharedEmployees = 2; // per pair of copies: a quarter of each copy's employees
    std::vector<std::string> weekEnds{"2025-12-27", "2025-12-20", "2025-12-13", "2025-12-06"};
    double seconds = 60;
    int employeesNeeded() const { return copies * ownEmployees + copies / 2 * sharedEmployees; }
};

struct SoakFigures {
    double seconds = 0;
    long saves = 0;
    long refusals = 0; // lock refusals, each with the lock message
    long added = 0;    // time off entries added by saves that reported success
    long errors = 0;   // anything else
    std::string firstError;
    std::map<std::string, long> savesPerWeek; // "<emp>/<week end>" -> saves that reported success
    double savesPerSecond() const { return seconds > 0 ? double(saves) / seconds : 0; }
    double refusalRate() const { return saves + refusals > 0 ? double(refusals) / double(saves + refusals) : 0; }
};

// What the folder holds after the run, against what the copies reported.
struct SoakCheck {
    long lostSaves = 0;   // counted by the copies, missing from the counters
    long mixedWeeks = 0;  // days that disagree with their week's counter
    long timeOffRows = 0; // entries added, as stored
    std::string firstProblem;
};

// Writes every soak week of the plan's employees afresh: seven days from
// 6:00 to 6:01 and a counter entry of the reason at 0 hours on the first day.
// Returns the reason's ID.
std::int32_t PrepareSoakWeeks(THourvaneDataMod& dm, const SoakPlan& plan);

// Starts the copies on the data folder, lets them work and collects their
// figures. Fails with a text in figures.firstError when a copy does not answer.
SoakFigures RunSoak(const std::string& dataFolder, std::int32_t reason, const SoakPlan& plan);

SoakCheck CheckSoakWeeks(THourvaneDataMod& dm, std::int32_t reason, const SoakPlan& plan, const SoakFigures& figures);

} // namespace hv::test
