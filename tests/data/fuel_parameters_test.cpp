#include "data/FuelModel.h"
#include "data/FuelParameters.h"
#include "data/ModelComputation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

// Each parameter's accessors reach its own field: a swapped pair of member pointers (two
// loadings, two heat contents) would put values into the wrong field.
TEST(FuelParameterTable, EachParameterReadsAndWritesItsOwnField)
{
    FuelModel m;
    int n = 1;
    for (const FuelParameterInfo &p : FuelParameterTable())
        p.setValue(m, n++);
    EXPECT_EQ(m.Loading1Hour(), 1);
    EXPECT_EQ(m.Loading10Hour(), 2);
    EXPECT_EQ(m.Loading100Hour(), 3);
    EXPECT_EQ(m.LoadingLiveHerb(), 4);
    EXPECT_EQ(m.LoadingLiveWoody(), 5);
    EXPECT_EQ(m.SurfaceToVolume1Hour(), 6);
    EXPECT_EQ(m.SurfaceToVolumeLiveHerb(), 7);
    EXPECT_EQ(m.SurfaceToVolumeLiveWoody(), 8);
    EXPECT_EQ(m.HeatContentDead(), 9);
    EXPECT_EQ(m.HeatContentLiveHerb(), 10);
    EXPECT_EQ(m.HeatContentLiveWoody(), 11);
    EXPECT_EQ(m.BulkDensityDepth(), 12);
    EXPECT_EQ(m.MoistureOfExtinction(), 13);
    for (const FuelParameterInfo &p : FuelParameterTable())
        EXPECT_EQ(p.valueOf(m), static_cast<int>(p.id) + 1) << p.shortName;
}

// Names, file fields and editor boxes as the command line, the library file and the editor use
// them: a table row out of order shifts every later parameter.
TEST(FuelParameterTable, NamesFileFieldsAndBoxesLineUp)
{
    const char *names[] = {"load-1h",   "load-10h",  "load-100h", "load-herb",  "load-woody", "sav-1h", "sav-herb",
                           "sav-woody", "heat-dead", "heat-herb", "heat-woody", "depth",      "mx"};
    // The model line: ID, description, depth, five loadings, three SA/V, extinction, three heats.
    const int fileFields[] = {3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 2, 11};
    std::set<int> seen;
    for (int i = 0; i < kFuelParameterCount; ++i) {
        const FuelParameterInfo *p = FindFuelParameter(names[i]);
        ASSERT_NE(p, nullptr) << names[i];
        EXPECT_EQ(static_cast<int>(p->id), i);
        EXPECT_EQ(p->filePosition, fileFields[i]) << names[i];
        EXPECT_EQ(p->entryIndex, i + 2) << names[i];
        EXPECT_EQ(FuelParameterOfEntry(i + 2), p);
        EXPECT_EQ(&FuelParameterOf(p->id), p);
        seen.insert(p->filePosition);
    }
    EXPECT_EQ(seen.size(), 13u);
    EXPECT_EQ(FindFuelParameter("load-1000h"), nullptr);
    EXPECT_EQ(FuelParameterOfEntry(1), nullptr);
    EXPECT_EQ(FuelParameterOfEntry(15), nullptr);
}

// The editor's ranges: loadings 0 - 30.49 t/ac, SA/V 0 or 109 - 4000, heat 6000 - 12000,
// depth 0.05 - 6 ft, extinction 5 - 100 %.
TEST(FuelParameterTable, RangesAsTheEditorChecksThem)
{
    const auto &load = FuelParameterOf(FuelParameterId::LoadLiveWoody);
    EXPECT_TRUE(load.inRange(0));
    EXPECT_TRUE(load.inRange(30.49));
    EXPECT_FALSE(load.inRange(30.5));
    EXPECT_FALSE(load.inRange(-0.01));
    EXPECT_FALSE(load.inRange(NAN));
    EXPECT_FALSE(load.inRange(INFINITY));

    const auto &sav = FuelParameterOf(FuelParameterId::SavLiveHerb);
    EXPECT_TRUE(sav.inRange(0));
    EXPECT_FALSE(sav.inRange(108.99));
    EXPECT_TRUE(sav.inRange(109));
    EXPECT_TRUE(sav.inRange(4000));
    EXPECT_FALSE(sav.inRange(4000.01));
    EXPECT_EQ(sav.clamp(0), 0);
    EXPECT_EQ(sav.clamp(50), 109);

    const auto &depth = FuelParameterOf(FuelParameterId::Depth);
    EXPECT_FALSE(depth.inRange(0));
    EXPECT_TRUE(depth.inRange(0.05));
    EXPECT_EQ(depth.clamp(0), 0.05);
    EXPECT_EQ(depth.clamp(7), 6);

    const auto &heat = FuelParameterOf(FuelParameterId::HeatDead);
    EXPECT_FALSE(heat.inRange(5999));
    EXPECT_TRUE(heat.inRange(12000));
    const auto &mx = FuelParameterOf(FuelParameterId::MoistureOfExtinction);
    EXPECT_FALSE(mx.inRange(4.9));
    EXPECT_TRUE(mx.inRange(100));
    EXPECT_FALSE(mx.inRange(0));
}

FuelModel shortGrass()
{
    FuelModel m;
    m.setLoading1Hour(0.74);
    m.setSurfaceToVolume1Hour(3500);
    m.setSurfaceToVolumeLiveHerb(1500);
    m.setSurfaceToVolumeLiveWoody(1500);
    m.setHeatContentDead(8000);
    m.setHeatContentLiveHerb(8000);
    m.setHeatContentLiveWoody(8000);
    m.setBulkDensityDepth(1);
    m.setMoistureOfExtinction(12);
    m.setHerbType(1);
    return m;
}

// Short grass at 6, 7, 8 % dead moisture and a 5 mi/h midflame wind spreads at 93.9 ch/h
// (the standard model 1 figure the engine tests check against the published tables).
TEST(ModelComputation, ComputesTheModelAtTheEnvironment)
{
    FireEnvironment env;
    env.moisture = {0.06, 0.07, 0.08, 0.60, 0.90};
    env.midflameWind = 5;
    const ModelFire fire = ComputeModelFire(shortGrass(), env);
    ASSERT_TRUE(fire.computed) << fire.problem;
    EXPECT_DOUBLE_EQ(fire.spread.RateOfSpread(), 93.9);
    EXPECT_DOUBLE_EQ(fire.spread.MoistureOfExtinction(), 0.12);
    EXPECT_DOUBLE_EQ(fire.spread.FuelMoisture10Hour(), 0.07);
    // The unrounded rate rounds to the shown one and is what the intensity was computed from.
    EXPECT_NEAR(fire.spread.UnroundedRateOfSpread(), 93.9, 0.05);
    EXPECT_NE(fire.spread.UnroundedRateOfSpread(), 93.9);
    EXPECT_NEAR(fire.spread.FireLineIntensity(),
                fire.spread.HeatPerUnitArea() * fire.spread.UnroundedRateOfSpread() * 66 / 3600, 1e-9);
}

// The model's own herb type: a dynamic model with cured herb spreads faster than the same fuel
// bed as static (the cured part burns as dead fuel), and a core failure is reported, not thrown.
TEST(ModelComputation, UsesTheModelsHerbTypeAndReportsFailures)
{
    FuelModel m = shortGrass();
    m.setLoadingLiveHerb(1.5);
    FireEnvironment env;
    env.moisture = {0.06, 0.06, 0.06, 0.40, 0.90}; // herb at 40 %: mostly cured when dynamic
    env.midflameWind = 3;
    m.setMoistureOfExtinction(25);
    const ModelFire staticFire = ComputeModelFire(m, env);
    m.setHerbType(2);
    const ModelFire dynamicFire = ComputeModelFire(m, env);
    ASSERT_TRUE(staticFire.computed && dynamicFire.computed);
    EXPECT_GT(dynamicFire.spread.RateOfSpread(), staticFire.spread.RateOfSpread());

    m.setBulkDensityDepth(0);
    const ModelFire failed = ComputeModelFire(m, env);
    EXPECT_FALSE(failed.computed);
    EXPECT_FALSE(failed.problem.empty());
    EXPECT_EQ(failed.spread.RateOfSpread(), 0);
}

} // namespace
