// Backup (snapshots, archive, test) and restore (bounds, test, extraction,
// checks, renames, reopening) of a database of about 100 MB, generated once
// into the build tree (untimed; it takes minutes). Prints MB/s and the size
// of the archive. The target is 15 s or less for each on a 2-core machine.
#include "backup/BackupRestore.h"
#include "storage/CreateTables.h"
#include "storage/DataModule.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace hv;
namespace fs = std::filesystem;

namespace {

// About 100 MiB of table files (du -sm): 2350 employees over 2 years.
constexpr int kEmployees = 2350;
const std::string kProgram = HV_BENCH_FOLDER "/backup-bench/";

struct Folder {
    test::TempDir config;
    test::ScriptedMessageService messages;
    std::unique_ptr<THourvaneDataMod> dm;
    const std::string archive = kProgram + "bench.zip";

    Folder()
    {
        setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);
        const std::string data = kProgram + "Data";
        const std::string stamp = kProgram + "generated-" + std::to_string(kEmployees);
        if (!fs::exists(stamp)) {
            std::fprintf(stderr, "bench_backup: generating %d employees into %s (once, a few minutes)\n", kEmployees,
                         data.c_str());
            fs::remove_all(data);
            const std::string cmd = std::string("'") + HV_GENERATE + "' '" + data + "' --employees " +
                                    std::to_string(kEmployees) + " --years 2 > /dev/null";
            if (std::system(cmd.c_str()) != 0) {
                std::fprintf(stderr, "bench_backup: hv_generate failed\n");
                std::exit(1);
            }
            std::ofstream{stamp};
        }
        dm = std::make_unique<THourvaneDataMod>(DataModuleOptions{kProgram, "Hourvane3.ini", nullptr, &appState()});
    }
    ~Folder() { unsetenv("HOURVANE_CONFIG_DIR"); }

    double tableMegabytes() const
    {
        std::uintmax_t bytes = 0;
        for (const auto& e : fs::directory_iterator(dm->dataFolder()))
            if (e.is_regular_file() && e.path().extension() != ".lck")
                bytes += e.file_size();
        return double(bytes) / (1 << 20);
    }
};

Folder& folder()
{
    static Folder f;
    return f;
}

// Runs one operation and reports its seconds and MB/s over the table files.
template <class Run>
void timed(benchmark::State& state, const char* what, Run&& run)
{
    Folder& f = folder();
    const double megabytes = f.tableMegabytes();
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const BackupResult result = run(f);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!result.done())
            state.SkipWithError(result.notices.empty() ? "failed" : result.notices.back().text.c_str());
    }
    const double each = seconds / double(state.iterations());
    const double archiveMb = double(fs::file_size(f.archive)) / (1 << 20);
    state.counters["MB_per_s"] = megabytes / each;
    state.counters["archive_MB"] = archiveMb;
    std::printf("%s: %.1f MB of tables in %.2f s: %.1f MB/s; archive %.1f MB\n", what, megabytes, each,
                megabytes / each, archiveMb);
}

void BM_BackupAndTest(benchmark::State& state)
{
    timed(state, "backup + test", [](Folder& f) {
        MaintenanceAccess access(*f.dm, ProgressMode::Backup);
        return BackupDatabase(access, f.archive, nullptr);
    });
}
BENCHMARK(BM_BackupAndTest)->Unit(benchmark::kSecond)->Iterations(1);

void BM_Restore(benchmark::State& state)
{
    timed(state, "restore", [](Folder& f) {
        MaintenanceAccess access(*f.dm, ProgressMode::Restore);
        return RestoreDatabase(access, f.archive, nullptr);
    });
}
BENCHMARK(BM_Restore)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
