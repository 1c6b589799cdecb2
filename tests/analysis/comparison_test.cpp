#include "analysis/SetComparison.h"

#include "data/FuelModelSets.h"
#include "engine/FireSpread.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The shipped master set (the 53 standard models), read as the program reads it.
std::vector<std::shared_ptr<FuelModel>> masterModels()
{
    MemoryTree tree;
    const LibraryReadResult read = ReadLibrary(DefaultLibraryBytes(), tree);
    EXPECT_TRUE(read.ok);
    return ModelsOf(*read.sets->Item(DefaultComparisonSetPosition(*read.sets)));
}

// A few dead-by-live scenarios (percent) for the tests; the window uses the full table.
const std::vector<std::array<double, 5>> kScenarios = {
    {3, 4, 5, 30, 60}, {6, 7, 8, 60, 90}, {9, 10, 11, 90, 120}, {12, 13, 14, 120, 150}};

FireEnvironment editorDefaults()
{
    // 5/6/7 % dead, 75 % herb, 90 % woody, 10 mi/h x 0.7, flat.
    return {{0.05, 0.06, 0.07, 0.75, 0.90}, 7.0, 0, 0};
}

FuelBed grassBed(double load1h, double sav1h, double depth)
{
    FuelBed b;
    b.p = {load1h, 0, 0, 0, 0, sav1h, 1500, 1500, 8000, 8000, 8000, depth, 0.12};
    return b;
}

} // namespace

TEST(SetComparison, EveryStandardModelCopiedUnchangedFindsItselfFirstAtDistanceZero)
{
    const auto models = masterModels();
    ASSERT_EQ(models.size(), 53u);
    const auto conditions = BehaviourConditions(kScenarios);
    for (std::size_t i = 0; i < models.size(); ++i) {
        const SetComparison c = CompareWithModels(FuelBedOf(*models[i]), editorDefaults(), models, conditions);
        ASSERT_EQ(c.rows.size(), models.size());
        const int byBehaviour = NearestByBehaviour(c).front();
        const int byParameters = NearestByParameters(c).front();
        EXPECT_EQ(c.rows[std::size_t(byParameters)].id, models[i]->FuelModelID());
        EXPECT_EQ(c.rows[i].parameterDistance, 0.0) << models[i]->FuelModelID().toStdString();
        EXPECT_EQ(c.rows[i].behaviourDistance, 0.0) << models[i]->FuelModelID().toStdString();
        // Some standard models burn alike under every scenario; itself is among the first then.
        EXPECT_EQ(c.rows[std::size_t(byBehaviour)].behaviourDistance, 0.0);
        EXPECT_EQ(c.rows[i].dRos, 0.0);
        EXPECT_EQ(c.rows[i].dFl, 0.0);
    }
}

TEST(SetComparison, ASlightlyChangedModelIsNearestToItsOrigin)
{
    const auto models = masterModels();
    const auto conditions = BehaviourConditions(kScenarios);
    for (std::size_t i : {0u, 3u, 9u}) { // FM1, FM4, FM10
        FuelBed bed = FuelBedOf(*models[i]);
        bed.p[0] *= 1.05;
        bed.p[11] *= 0.97;
        const SetComparison c = CompareWithModels(bed, editorDefaults(), models, conditions);
        EXPECT_EQ(NearestByBehaviour(c).front(), int(i));
        EXPECT_EQ(NearestByParameters(c).front(), int(i));
        EXPECT_GT(c.rows[i].behaviourDistance, 0.0);
        EXPECT_GT(c.rows[i].parameterDistance, 0.0);
    }
}

TEST(SetComparison, RowsAreEachModelAtTheEnvironmentWithItsOwnHerbTypeLessTheEditedModel)
{
    auto dynamicModel = std::make_shared<FuelModel>();
    dynamicModel->setFuelModelID(QStringLiteral("GRX"));
    dynamicModel->setLoading1Hour(0.1);
    dynamicModel->setLoadingLiveHerb(1.0);
    dynamicModel->setSurfaceToVolume1Hour(2000);
    dynamicModel->setSurfaceToVolumeLiveHerb(1800);
    dynamicModel->setSurfaceToVolumeLiveWoody(1500);
    dynamicModel->setHeatContentDead(8000);
    dynamicModel->setHeatContentLiveHerb(8000);
    dynamicModel->setHeatContentLiveWoody(8000);
    dynamicModel->setBulkDensityDepth(1.0);
    dynamicModel->setMoistureOfExtinction(15);
    dynamicModel->setHerbType(2);

    // Directly through the calculator, as a separate reckoning of the same inputs.
    auto direct = [](double herbType, double load1h, double herb, double sav1h, double mx) {
        FireSpread fs;
        fs.setLoading1Hour(load1h);
        fs.setLoadingLiveHerb(herb);
        fs.setSurfaceToVolume1Hour(sav1h);
        fs.setSurfaceToVolumeLiveHerb(1800);
        fs.setSurfaceToVolumeLiveWoody(1500);
        fs.setHeatContentDead(8000);
        fs.setHeatContentLiveHerb(8000);
        fs.setHeatContentLiveWoody(8000);
        fs.setBulkDensityDepth(1.0);
        fs.setMoistureOfExtinction(mx);
        fs.setHerbType(herbType);
        fs.setFuelMoisture1Hour(0.05);
        fs.setFuelMoisture10Hour(0.06);
        fs.setFuelMoisture100Hour(0.07);
        fs.setFuelMoistureHerb(0.75);
        fs.setFuelMoistureWoody(0.90);
        fs.setWindSpeed(7.0);
        fs.Compute();
        return fs;
    };
    const FireSpread model = direct(2, 0.1, 1.0, 2000, 0.15);
    const FireSpread staticModel = direct(1, 0.1, 1.0, 2000, 0.15);
    ASSERT_NE(model.RateOfSpread(), staticModel.RateOfSpread()); // the transfer matters here
    const FireSpread edited = direct(1, 0.74, 0, 3500, 0.12);

    const SetComparison c =
        CompareWithModels(grassBed(0.74, 3500, 1.0), editorDefaults(), {dynamicModel}, BehaviourConditions(kScenarios));
    ASSERT_EQ(c.rows.size(), 1u);
    const ComparisonRow &row = c.rows[0];
    EXPECT_EQ(row.id, QStringLiteral("GRX"));
    EXPECT_EQ(row.position, 1);
    EXPECT_DOUBLE_EQ(c.edited.ros, edited.RateOfSpread());
    EXPECT_DOUBLE_EQ(row.behaviour.ros, model.RateOfSpread());
    EXPECT_DOUBLE_EQ(row.behaviour.fl, model.FlameLength());
    EXPECT_DOUBLE_EQ(row.behaviour.fli, model.FireLineIntensity());
    EXPECT_DOUBLE_EQ(row.behaviour.hpa, model.HeatPerUnitArea());
    EXPECT_DOUBLE_EQ(row.dRos, model.RateOfSpread() - edited.RateOfSpread());
    EXPECT_DOUBLE_EQ(row.dFl, model.FlameLength() - edited.FlameLength());
    EXPECT_DOUBLE_EQ(row.dFli, model.FireLineIntensity() - edited.FireLineIntensity());
    EXPECT_DOUBLE_EQ(row.dHpa, model.HeatPerUnitArea() - edited.HeatPerUnitArea());
}

TEST(SetComparison, AModelThatCannotBeComputedShowsZerosAndIsFarInBehaviour)
{
    auto empty = std::make_shared<FuelModel>(); // no fuel: the spread core fails
    const auto conditions = BehaviourConditions(kScenarios);
    const SetComparison c = CompareWithModels(grassBed(0.74, 3500, 1.0), editorDefaults(), {empty}, conditions);
    EXPECT_FALSE(c.rows[0].behaviour.computed);
    EXPECT_EQ(c.rows[0].behaviour.ros, 0.0);
    EXPECT_DOUBLE_EQ(c.rows[0].dRos, -c.edited.ros);
    EXPECT_GT(c.rows[0].behaviourDistance, 0.5);
    EXPECT_TRUE(std::isfinite(c.rows[0].parameterDistance));
}

TEST(BehaviourDistance, RootMeanSquareOfDifferencesScaledByTheEditedModelsMeans)
{
    // By hand: R = mean(2, 4) = 3, F = mean(1, 3) = 2;
    // ((1/3)^2 + 0 + 0 + (2/2)^2) / 2 = 5/9, distance sqrt(5/9).
    const BehaviourProfile edited{{2, 4}, {1, 3}};
    const BehaviourProfile candidate{{3, 4}, {1, 5}};
    const BehaviourScales s = ScalesOf(edited);
    EXPECT_DOUBLE_EQ(s.ros, 3);
    EXPECT_DOUBLE_EQ(s.fl, 2);
    EXPECT_NEAR(BehaviourDistance(edited, candidate, s), std::sqrt(5.0 / 9.0), 1e-15);
    // The distance is symmetric in the sign of the differences.
    const BehaviourProfile below{{1, 4}, {1, 1}};
    EXPECT_NEAR(BehaviourDistance(edited, below, s), std::sqrt(5.0 / 9.0), 1e-15);

    // An edited model that does not burn is scaled by 1 ch/h and 1 ft: distance sqrt((4+1)/1)
    const BehaviourProfile none{{0}, {0}};
    const BehaviourProfile other{{2}, {1}};
    const BehaviourScales floor = ScalesOf(none);
    EXPECT_EQ(floor.ros, 1);
    EXPECT_EQ(floor.fl, 1);
    EXPECT_NEAR(BehaviourDistance(none, other, floor), std::sqrt(5.0), 1e-15);
}

TEST(BehaviourDistance, ConditionsAreEveryScenarioAtEachWindOnFlatGround)
{
    const auto conditions = BehaviourConditions({{3, 4, 5, 30, 60}, {12, 13, 14, 120, 150}});
    ASSERT_EQ(conditions.size(), 8u);
    const double winds[] = {0, 2, 5, 10};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(conditions[i].midflameWind, winds[i % 4]);
        EXPECT_EQ(conditions[i].slope, 0);
    }
    EXPECT_DOUBLE_EQ(conditions[0].moisture[0], 0.03);
    EXPECT_DOUBLE_EQ(conditions[3].moisture[4], 0.60);
    EXPECT_DOUBLE_EQ(conditions[4].moisture[1], 0.13);
    EXPECT_DOUBLE_EQ(conditions[7].moisture[3], 1.20);
}

TEST(ParameterDistance, NormalisedBySpanOverAllThirteenParameters)
{
    const FuelBed a = grassBed(1.0, 2000, 1.0);
    FuelBed b = a;
    b.p[0] = 2.0;  // 1-h load: difference 1, span 2 below
    b.p[11] = 1.5; // depth: difference 0.5, span 1 below
    std::array<double, kFuelParameterCount> spans;
    spans.fill(1.0);
    spans[0] = 2.0;
    // sqrt((0.5^2 + 0.5^2) / 13)
    EXPECT_NEAR(ParameterDistance(a, b, spans), std::sqrt(0.5 / 13), 1e-15);
    EXPECT_NEAR(ParameterDistance(b, a, spans), std::sqrt(0.5 / 13), 1e-15);

    // Live SA/V and heat content of a class without load describe no fuel and do not count ...
    FuelBed placeholder = a;
    placeholder.p[6] = 2500;
    placeholder.p[7] = 900;
    placeholder.p[9] = 9000;
    placeholder.p[10] = 7000;
    EXPECT_EQ(ParameterDistance(a, placeholder, spans), 0.0);
    // ... but do once either bed has fuel in the class (herb here: SA/V 1000, heat 1000 apart).
    FuelBed herbA = a, herbB = placeholder;
    herbA.p[3] = 0.5;
    herbB.p[3] = 0.5;
    spans[6] = 1000;
    spans[9] = 1000;
    EXPECT_NEAR(ParameterDistance(herbA, herbB, spans), std::sqrt(2.0 / 13), 1e-15);
}

TEST(ParameterDistance, SpansAreTheSetsRangeOrTheEntryRangeWhereAllAgree)
{
    const auto spans = ParameterSpans({grassBed(0.5, 1500, 1.0), grassBed(3.0, 3500, 2.5), grassBed(1.0, 2000, 0.5)});
    EXPECT_DOUBLE_EQ(spans[0], 2.5);   // 1-h load 0.5 .. 3.0
    EXPECT_DOUBLE_EQ(spans[5], 2000);  // 1-h SA/V 1500 .. 3500
    EXPECT_DOUBLE_EQ(spans[11], 2.0);  // depth 0.5 .. 2.5
    EXPECT_DOUBLE_EQ(spans[1], 30.49); // all 0: the loading range
    EXPECT_DOUBLE_EQ(spans[6], 3891);  // all 1500: 109 .. 4000
    EXPECT_DOUBLE_EQ(spans[8], 6000);  // all 8000: 6000 .. 12000
    EXPECT_DOUBLE_EQ(spans[12], 0.95); // all 12 %: 5 .. 100 %
}

TEST(SetComparison, DefaultSetIsTheFirstLockedSetElseTheFirst)
{
    FuelModelSets sets;
    EXPECT_EQ(DefaultComparisonSetPosition(sets), 0);
    sets.Add(QStringLiteral("Mine"), false, std::make_shared<FuelModels>(), QStringLiteral("n1"));
    EXPECT_EQ(DefaultComparisonSetPosition(sets), 1);
    sets.Add(QStringLiteral("Master"), true, std::make_shared<FuelModels>(), QStringLiteral("l2"));
    sets.Add(QStringLiteral("Other locked"), true, std::make_shared<FuelModels>(), QStringLiteral("l3"));
    EXPECT_EQ(DefaultComparisonSetPosition(sets), 2);
}

TEST(BehaviourDistance, StandardConditionsAreTheSixteenScenariosAtFourWinds)
{
    const auto &c = StandardBehaviourConditions();
    ASSERT_EQ(c.size(), 64u);
    // D1L1 first, D4L4 last; D2L3 (6, 7, 8 % dead, 90 % herb, 120 % woody) is the seventh
    // scenario, its 5 mi/h condition the third of its four.
    EXPECT_DOUBLE_EQ(c[0].moisture[0], 0.03);
    EXPECT_DOUBLE_EQ(c[0].moisture[3], 0.30);
    EXPECT_DOUBLE_EQ(c[0].moisture[4], 0.60);
    const FireEnvironment &d2l3 = c[6 * 4 + 2];
    EXPECT_DOUBLE_EQ(d2l3.midflameWind, 5);
    const double expected[] = {0.06, 0.07, 0.08, 0.90, 1.20};
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(d2l3.moisture[std::size_t(i)], expected[i]) << i;
    EXPECT_DOUBLE_EQ(c[63].moisture[2], 0.14);
    EXPECT_DOUBLE_EQ(c[63].moisture[4], 1.50);
}
