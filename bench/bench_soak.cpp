// Eight copies of the program (tools/hv_peer) for a minute on one generated
// folder, each loading, locking, editing and saving weeks, a quarter of its
// employees shared with another copy: week saves per second in total and the
// share of lock attempts refused. Once on a folder on disk (every commit
// waits for the disk's flushes) and once in memory (/dev/shm), where the
// engine's own work is what counts. HV_SOAK_SECONDS changes the minute.
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "tests/reliability/SoakRun.h"
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

using namespace hv;

namespace {

void runSoak(benchmark::State& state, const char* where, const char* tmpdir)
{
    if (tmpdir && !std::filesystem::is_directory(tmpdir)) {
        state.SkipWithError("no memory file system here");
        return;
    }
    const char* before = std::getenv("TMPDIR");
    const std::string saved = before ? before : "";
    if (tmpdir)
        setenv("TMPDIR", tmpdir, 1);
    std::optional<test::TempDir> program;
    program.emplace();
    test::TempDir config;
    if (tmpdir) {
        if (saved.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", saved.c_str(), 1);
    }
    setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);

    test::SoakPlan plan;
    if (const char* seconds = std::getenv("HV_SOAK_SECONDS"))
        plan.seconds = std::atof(seconds);
    const std::string data = program->folder() + "Data/";
    std::string error;
    if (!test::GenerateData(data, plan.employeesNeeded() + 8, 1, "22", &error)) {
        state.SkipWithError(("hv_generate failed: " + error).c_str());
        return;
    }
    test::ScriptedMessageService messages;
    resetAppState();
    appState().lockIdentity = "BENCH";
    std::int32_t reason = 0;
    {
        THourvaneDataMod dm(DataModuleOptions{program->folder(), "Hourvane3.ini", nullptr, &appState()});
        reason = test::PrepareSoakWeeks(dm, plan);
    }
    test::SoakFigures figures;
    for (auto _ : state)
        figures = test::RunSoak(data, reason, plan);
    state.counters["saves_per_s"] = figures.savesPerSecond();
    state.counters["refusal_rate"] = figures.refusalRate();
    std::printf("soak %s: %d copies, %.1f s: %ld week saves, %.0f per second in total; %ld lock refusals, %.1f%% "
                "of the lock attempts; %ld other errors%s%s\n",
                where, plan.copies, figures.seconds, figures.saves, figures.savesPerSecond(), figures.refusals,
                100.0 * figures.refusalRate(), figures.errors, figures.errors ? ": " : "", figures.firstError.c_str());
    unsetenv("HOURVANE_CONFIG_DIR");
}

void BM_SoakInMemory(benchmark::State& state) { runSoak(state, "in memory", "/dev/shm"); }
BENCHMARK(BM_SoakInMemory)->Unit(benchmark::kSecond)->Iterations(1);

void BM_SoakOnDisk(benchmark::State& state) { runSoak(state, "on disk", nullptr); }
BENCHMARK(BM_SoakOnDisk)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
