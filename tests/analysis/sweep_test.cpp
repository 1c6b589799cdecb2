#include "support/AnalysisModels.h"

#include "analysis/Sweep.h"
#include "data/FuelModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A single computation the way any caller makes one, apart from the sweep code.
FireSpread computed(FireSpread fs)
{
    fs.Compute();
    return fs;
}

} // namespace

TEST(Sweep, EveryPointIsTheSingleComputationAtItsInputs)
{
    const FireSpread base = DynamicGrass();
    const double factor = 0.4;
    const auto points = Sweep(base, SweepInput::TwentyFootWind, 0, 30, 31, factor);
    ASSERT_EQ(points.size(), 31u);
    for (const SweepPoint &p : points) {
        FireSpread single = base;
        // The midflame wind as the editor takes it: the product to 0.1 mi/h.
        single.setWindSpeed(std::round(p.x * factor * 10) / 10);
        single = computed(single);
        ASSERT_TRUE(p.computed);
        EXPECT_EQ(p.rateOfSpread, single.RateOfSpread()) << p.x;
        EXPECT_EQ(p.flameLength, single.FlameLength()) << p.x;
        EXPECT_EQ(p.fireLineIntensity, single.FireLineIntensity()) << p.x;
        EXPECT_EQ(p.size, single.SingleEllipseArea()) << p.x;
        EXPECT_EQ(p.heatPerUnitArea, single.HeatPerUnitArea()) << p.x;
        EXPECT_EQ(p.windLimit, single.MaxWindSpeedMet() != 0) << p.x;
    }

    for (SweepInput input : {SweepInput::Moisture1Hour, SweepInput::WoodyMoisture, SweepInput::Slope}) {
        const auto curve = Sweep(base, input, 10, 60, 6, factor);
        ASSERT_EQ(curve.size(), 6u);
        for (const SweepPoint &p : curve) {
            FireSpread single = base;
            if (input == SweepInput::Moisture1Hour)
                single.setFuelMoisture1Hour(p.x / 100);
            else if (input == SweepInput::WoodyMoisture)
                single.setFuelMoistureWoody(p.x / 100);
            else
                single.setSlope(p.x);
            EXPECT_EQ(p.rateOfSpread, computed(single).RateOfSpread()) << int(input) << " at " << p.x;
        }
    }
}

TEST(Sweep, TheWindSweepMeetsThePublishedExample)
{
    // With a wind adjustment factor of 0.4 a 20-ft wind of 12.5 mi/h is 5 mi/h midflame.
    const auto points = Sweep(WorkedExample(), SweepInput::TwentyFootWind, 0, 25, 11, 0.4);
    EXPECT_DOUBLE_EQ(points[0].rateOfSpread, 4.2);
    EXPECT_DOUBLE_EQ(points[5].x, 12.5);
    EXPECT_DOUBLE_EQ(points[5].rateOfSpread, 93.9);
    EXPECT_NEAR(points[5].flameLength, 4.6, 0.05);
    // Rate of spread grows with wind until the limit.
    for (std::size_t i = 1; i < points.size(); ++i)
        EXPECT_GE(points[i].rateOfSpread, points[i - 1].rateOfSpread);
}

TEST(Sweep, PointsAreEvenlySpacedAndEndExactlyAtTheRangeEnd)
{
    const auto points = Sweep(WorkedExample(), SweepInput::Slope, 0, 20, 201, 0.4);
    ASSERT_EQ(points.size(), 201u);
    EXPECT_EQ(points.front().x, 0.0);
    EXPECT_EQ(points[100].x, 10.0);
    EXPECT_EQ(points.back().x, 20.0);
    EXPECT_EQ(Sweep(WorkedExample(), SweepInput::Slope, 7, 20, 1, 0.4).front().x, 7.0);
    EXPECT_TRUE(Sweep(WorkedExample(), SweepInput::Slope, 0, 20, 0, 0.4).empty());
}

TEST(Sweep, TheHerbMoistureSweepShowsTheDynamicTransfer)
{
    FireSpread dynamic = DynamicGrass();
    FireSpread staticBed = dynamic;
    staticBed.setHerbType(1);
    const auto dyn = Sweep(dynamic, SweepInput::HerbMoisture, 30, 300, 28, 0.4); // every 10 %
    const auto sta = Sweep(staticBed, SweepInput::HerbMoisture, 30, 300, 28, 0.4);

    // At or above 120 % nothing moves: the two curves are one.
    for (std::size_t i = 0; i < dyn.size(); ++i) {
        if (dyn[i].x >= 120)
            EXPECT_EQ(dyn[i].rateOfSpread, sta[i].rateOfSpread) << dyn[i].x;
        else
            EXPECT_GT(dyn[i].rateOfSpread, sta[i].rateOfSpread) << dyn[i].x;
    }

    // The transfer by hand: at 30 % all 1.5 t/ac of herb is 1-h fuel; at 75 % half of it
    // ((1.20 - 0.75) / 0.90 = 0.5). A static bed with the loads moved burns the same.
    FireSpread allMoved = staticBed;
    allMoved.setLoading1Hour(0.3 + 1.5);
    allMoved.setLoadingLiveHerb(0);
    allMoved.setFuelMoistureHerb(0.30);
    EXPECT_EQ(dyn[0].rateOfSpread, computed(allMoved).RateOfSpread());
    FireSpread halfMoved = staticBed;
    halfMoved.setLoading1Hour(0.3 + 0.75);
    halfMoved.setLoadingLiveHerb(0.75);
    halfMoved.setFuelMoistureHerb(0.75);
    const auto at75 = Sweep(dynamic, SweepInput::HerbMoisture, 75, 75, 1, 0.4);
    EXPECT_DOUBLE_EQ(at75[0].rateOfSpread, computed(halfMoved).RateOfSpread());
}

TEST(Sweep, TheWindLimitIsMarkedWhereItFirstCapsAFire)
{
    // Light, dry fine fuel: the cap 0.9 x reaction intensity is reached at a moderate wind.
    FireSpread light = WorkedExample();
    light.setLoading1Hour(0.1);
    light.setBulkDensityDepth(0.4);
    const auto points = Sweep(light, SweepInput::TwentyFootWind, 0, 99, 100, 1.0);
    const auto at = WindLimitReachedAt(points);
    ASSERT_TRUE(at.has_value());
    const int k = int(*at);
    ASSERT_GT(k, 0);
    EXPECT_TRUE(points[k].windLimit);
    EXPECT_FALSE(points[k - 1].windLimit);
    // Past the limit the rate of spread no longer grows.
    EXPECT_EQ(points.back().rateOfSpread, points[k + 1].rateOfSpread);

    // A fuel bed too wet to burn raises the flag with no fire to cap: no mark.
    FireSpread wet = WorkedExample();
    wet.setFuelMoisture1Hour(0.20);
    wet.setFuelMoisture10Hour(0.20);
    wet.setFuelMoisture100Hour(0.20);
    EXPECT_FALSE(WindLimitReachedAt(Sweep(wet, SweepInput::TwentyFootWind, 0, 20, 5, 0.4)).has_value());
}

TEST(Sweep, PointsThatCannotBeComputedAreKeptAsZeros)
{
    FireSpread noDepth = WorkedExample();
    noDepth.setBulkDensityDepth(0);
    const auto points = Sweep(noDepth, SweepInput::TwentyFootWind, 0, 10, 3, 0.4);
    ASSERT_EQ(points.size(), 3u);
    for (const SweepPoint &p : points) {
        EXPECT_FALSE(p.computed);
        EXPECT_EQ(p.rateOfSpread, 0.0);
        EXPECT_EQ(p.flameLength, 0.0);
    }
}

TEST(Sweep, InputsAreReadAndSetInTheEditorsUnits)
{
    FireSpread fs = DynamicGrass();
    EXPECT_DOUBLE_EQ(SweptInputValue(fs, SweepInput::TwentyFootWind), 10);
    EXPECT_DOUBLE_EQ(SweptInputValue(fs, SweepInput::HerbMoisture), 75);
    SetSweptInput(fs, SweepInput::TwentyFootWind, 20, 0.3);
    EXPECT_DOUBLE_EQ(fs.WindSpeed(), 6);
    EXPECT_DOUBLE_EQ(fs.WindSpeedNA(), 20);
    SetSweptInput(fs, SweepInput::Moisture1Hour, 8, 0.3);
    EXPECT_DOUBLE_EQ(fs.FuelMoisture1Hour(), 0.08);
    EXPECT_EQ(SweepInputFromKey(QStringLiteral("moist-herb")), SweepInput::HerbMoisture);
    EXPECT_FALSE(SweepInputFromKey(QStringLiteral("humidity")).has_value());

    FuelModel m;
    m.setLoading1Hour(0.74);
    m.setSurfaceToVolume1Hour(3500);
    m.setHeatContentDead(8000);
    m.setBulkDensityDepth(1);
    m.setMoistureOfExtinction(12);
    m.setHerbType(2);
    FireSpread fromModel = WorkedExample();
    fromModel.setLoading1Hour(9);
    SetModelInputs(fromModel, m);
    EXPECT_DOUBLE_EQ(fromModel.MoistureOfExtinction(), 0.12);
    EXPECT_DOUBLE_EQ(fromModel.HerbType(), 2);
    EXPECT_DOUBLE_EQ(ComputePoint(fromModel, 0).rateOfSpread, 93.9);
}
