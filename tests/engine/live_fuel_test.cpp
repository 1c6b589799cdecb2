// Fire behavior of beds with live fuel, 10-h and 100-h loads and slope, pinned to values worked
// out by tests/engine/reference_spread.py, a separate plain calculation of the published
// equations (run it to see where each figure comes from). The tolerance is far below any
// change of a constant or operator in the spread core.
#include "engine/FireSpread.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Bed
{
    double loads[5];    // 1-h, 10-h, 100-h, live herb, live woody (t/ac)
    double savs[3];     // 1-h, live herb, live woody (ft2/ft3)
    double heats[3];    // dead, live herb, live woody (btu/lb)
    double depth;       // ft
    double extinction;  // dead moisture of extinction, fraction
    double moisture[5]; // 1-h, 10-h, 100-h, herb, woody, fractions
    double wind;        // midflame, mi/h
    double slope;       // percent
};

struct Expected
{
    double rateOfSpread, reactionIntensity, heatPerUnitArea, fireLineIntensity, flameLength, effectiveWind, surfToVol,
        packRatio, singleEllipse, doubleEllipse;
};

FireSpread computed(const Bed &b)
{
    FireSpread f;
    f.setLoading1Hour(b.loads[0]);
    f.setLoading10Hour(b.loads[1]);
    f.setLoading100Hour(b.loads[2]);
    f.setLoadingLiveHerb(b.loads[3]);
    f.setLoadingLiveWoody(b.loads[4]);
    f.setSurfaceToVolume1Hour(b.savs[0]);
    f.setSurfaceToVolumeLiveHerb(b.savs[1]);
    f.setSurfaceToVolumeLiveWoody(b.savs[2]);
    f.setHeatContentDead(b.heats[0]);
    f.setHeatContentLiveHerb(b.heats[1]);
    f.setHeatContentLiveWoody(b.heats[2]);
    f.setBulkDensityDepth(b.depth);
    f.setMoistureOfExtinction(b.extinction);
    f.setFuelMoisture1Hour(b.moisture[0]);
    f.setFuelMoisture10Hour(b.moisture[1]);
    f.setFuelMoisture100Hour(b.moisture[2]);
    f.setFuelMoistureHerb(b.moisture[3]);
    f.setFuelMoistureWoody(b.moisture[4]);
    f.setWindSpeed(b.wind);
    f.setSlope(b.slope);
    f.setHerbType(1);
    f.Compute();
    return f;
}

void expectPinned(const char *name, const Bed &bed, const Expected &e)
{
    SCOPED_TRACE(name);
    const FireSpread f = computed(bed);
    const auto near = [](double actual, double expected, const char *what) {
        EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-10) << what;
    };
    EXPECT_DOUBLE_EQ(f.RateOfSpread(), e.rateOfSpread);
    near(f.HeatPerUnitArea() * f.SurfToVol() / 384, e.reactionIntensity, "reaction intensity");
    near(f.HeatPerUnitArea(), e.heatPerUnitArea, "heat per unit area");
    near(f.FireLineIntensity(), e.fireLineIntensity, "fireline intensity");
    near(f.FlameLength(), e.flameLength, "flame length");
    near(f.EWind(), e.effectiveWind, "effective wind");
    near(f.SurfToVol(), e.surfToVol, "characteristic SA/V");
    near(f.PackRatio(), e.packRatio, "relative packing ratio");
    near(f.SingleEllipseArea(), e.singleEllipse, "single-ellipse area");
    near(f.DoubleEllipseArea(), e.doubleEllipse, "double-ellipse area");
    EXPECT_EQ(f.MaxWindSpeedMet(), 0);
}

} // namespace

TEST(PublishedEquations, AllFiveClassesWithWindAndSlope)
{
    // The live moisture of extinction (2.11) is above both the dead one and the live fuel's
    // moisture, so every live term and the 10-h and 100-h classes count.
    expectPinned("mixed",
                 {{1.0, 2.0, 3.0, 0.5, 1.5},
                  {2000, 1800, 1500},
                  {8000, 9000, 8500},
                  1.2,
                  0.25,
                  {0.05, 0.07, 0.09, 0.60, 0.90},
                  4,
                  30},
                 {5.7, 3203.455051550529, 744.2287897242497, 78.19879345423755, 3.342600992753536, 4.60097216585787,
                  1652.8878710150238, 1.2339572683309095, 1.3355533114803948, 1.9462246905104865});
}

TEST(PublishedEquations, LiveExtinctionNeverBelowTheDeadOne)
{
    // Heavy live fuel over damp dead fuel: the live moisture of extinction works out at 0.062,
    // is raised to the dead 0.40, and the live fuel at 35-38 % burns.
    expectPinned("floored",
                 {{0.5, 0.5, 0.0, 2.0, 2.0},
                  {2500, 2000, 1600},
                  {8000, 8000, 8000},
                  2.0,
                  0.40,
                  {0.20, 0.22, 0.24, 0.35, 0.38},
                  2,
                  0},
                 {3.8, 1510.0023931381386, 303.44441266880693, 21.41630617484536, 1.8422773582457983,
                  2.0000000000000004, 1910.8637192074782, 0.5210877782256477, 0.9927900071383494, 1.2905188745579115});
}

TEST(PublishedEquations, DeadFuelOfEverySizeOnASteepSlope)
{
    // No wind: the effective wind comes from the slope factor alone.
    expectPinned("slope",
                 {{0.5, 1.5, 2.5, 0.0, 0.0},
                  {1750, 1500, 1500},
                  {8000, 8000, 8000},
                  0.6,
                  0.20,
                  {0.04, 0.06, 0.08, 1.0, 1.0},
                  0,
                  60},
                 {3.3, 1031.3729294374684, 284.2728361984221, 17.262133543807362, 1.6683069957444214,
                  3.4556438113266568, 1393.193982936686, 1.2068803592928157, 0.539857622299521, 0.7743581940673085});
}
