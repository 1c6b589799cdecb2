#include "data/FuelModelSets.h"
#include "data/ProgramState.h"
#include "testcenter/ChartData.h"
#include "testcenter/TestCenterState.h"
#include "testcenter/TestComputation.h"

#include <gtest/gtest.h>

// The editor's computation setting: every computation of the edited and the reference model
// follows it, and a plot computed as the simulators carries the mark on its bar.

namespace {

// The dynamic grass-shrub of the engine's convention tests, whose figures were worked apart:
// 20.1 ch/h as the core computes it, 23.2 as the simulators do (wind 5 mi/h, no slope).
TestEntries grassShrubEntries()
{
    TestEntries e;
    const char *boxes[] = {"GS",   "grass-shrub", "0.5",  "0.5",  "0",    "0.6", "1", "2000",
                           "1800", "1800",        "8000", "9000", "8000", "1.5", "15"};
    for (int i = 0; i <= 14; ++i)
        e.box[std::size_t(i)] = QString::fromLatin1(boxes[i]);
    const char *env[] = {"6", "7", "8", "60", "90", "5"};
    for (int i = 0; i < 6; ++i)
        e.box[std::size_t(20 + i)] = QString::fromLatin1(env[i]);
    e.windReduceText = " 1";
    e.windReducePosition = 10;
    e.midFlameWindText = "5.0";
    e.slopeText = " 0";
    e.herbTypePosition = 1;
    return e;
}

} // namespace

TEST(ComputationSetting, EditedAndReferenceModelsFollowItAndPlotsAreMarked)
{
    ResetProgramState();
    ResetTestCenterState();
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    sets.Add("S", false, models, {});
    models->Add("GS", "grass-shrub", 1.5, 0.5, 0.5, 0, 0.6, 1, 2000, 1800, 1800, 15, 8000, 9000, 8000, 1, 2, {}, {});

    const TestEntries e = grassShrubEntries();
    ComputeOutcome core = RunCompute(e, sets, 0, 0);
    EXPECT_EQ(core.current.ros, QStringLiteral("20.1"));
    ChartState state;
    state.CurrentPlotHistory.push_back(std::make_shared<FireSpread>(*CurrentFireSpread));

    gSpreadConventions = SpreadConventions::Simulators;
    ComputeOutcome sim = RunCompute(e, sets, 0, 0);
    EXPECT_EQ(sim.current.ros, QStringLiteral("23.2"));
    EXPECT_EQ(CurrentFireSpread->Conventions(), SpreadConventions::Simulators);
    EXPECT_EQ(ReferenceFireSpread->Conventions(), SpreadConventions::Simulators);
    state.CurrentPlotHistory.push_back(std::make_shared<FireSpread>(*CurrentFireSpread));

    const auto rows = ChartRows(state, 0, 1, 2, false);
    EXPECT_EQ(rows[0].label, QStringLiteral("1"));
    EXPECT_EQ(rows[1].label, QStringLiteral("2 sim"));
    ResetTestCenterState();
    EXPECT_EQ(gSpreadConventions, SpreadConventions::Core);
}
