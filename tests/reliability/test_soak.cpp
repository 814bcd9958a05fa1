// Eight copies for a minute on one generated folder: no save that reported
// success is lost, no week holds the days of two saves, every refusal was the
// lock message, and the files stay sound. Run by `make soak`, not by `make check`.
#include "tests/reliability/ReliabilityFixture.h"
#include "tests/reliability/SoakRun.h"

#include <cstdlib>

namespace hv::test {
namespace {

TEST_F(ReliabilityTest, EightCopiesOnOneFolderLoseNoSave)
{
    SoakPlan plan;
    if (const char* seconds = std::getenv("HV_SOAK_SECONDS"))
        plan.seconds = std::atof(seconds);
    dm.reset();
    std::filesystem::remove_all(dataFolder);
    std::string error;
    ASSERT_TRUE(GenerateData(dataFolder, plan.employeesNeeded() + 8, 1, "22", &error)) << error;
    startQuietly();
    const std::int32_t reason = PrepareSoakWeeks(*dm, plan);
    dm.reset();

    const SoakFigures figures = RunSoak(dataFolder, reason, plan);
    std::printf("%d copies, %.1f s: %ld week saves (%.0f per second), %ld lock refusals (%.1f%% of the attempts), "
                "%ld time off entries added, %ld other errors\n",
                plan.copies, figures.seconds, figures.saves, figures.savesPerSecond(), figures.refusals,
                100.0 * figures.refusalRate(), figures.added, figures.errors);
    EXPECT_EQ(figures.errors, 0) << figures.firstError;
    EXPECT_GT(figures.saves, 0);
    EXPECT_GT(figures.refusals, 0) << "the shared employees never met";

    startQuietly();
    const SoakCheck check = CheckSoakWeeks(*dm, reason, plan, figures);
    EXPECT_EQ(check.lostSaves, 0) << check.firstProblem;
    EXPECT_EQ(check.mixedWeeks, 0) << check.firstProblem;
    EXPECT_EQ(check.timeOffRows, figures.added);
    dm.reset();
    expectSoundFiles();
}

} // namespace
} // namespace hv::test
