#include "engine/FireSpread.h"
#include "engine/SurfaceSpread.h"

#include <gtest/gtest.h>

namespace {

// The dead-fuel-only model of the published worked example.
FireSpread workedExample(double wind)
{
    FireSpread f;
    f.setLoading1Hour(0.74);
    f.setSurfaceToVolume1Hour(3500);
    f.setHeatContentDead(8000);
    f.setBulkDensityDepth(1.0);
    f.setMoistureOfExtinction(0.12);
    f.setFuelMoisture1Hour(0.06);
    f.setFuelMoisture10Hour(0.07);
    f.setFuelMoisture100Hour(0.08);
    f.setWindSpeed(wind);
    return f;
}

} // namespace

TEST(WorkedExample, FiveMilesPerHourAndCalm)
{
    FireSpread f = workedExample(5);
    f.Compute();
    EXPECT_DOUBLE_EQ(f.RateOfSpread(), 93.9);
    EXPECT_NEAR(f.HeatPerUnitArea(), 90.6, 0.05);
    EXPECT_NEAR(f.HeatPerUnitArea() * f.SurfToVol() / 384, 825, 1); // reaction intensity
    EXPECT_NEAR(f.FireLineIntensity(), 156, 0.5);
    EXPECT_NEAR(f.FlameLength(), 4.6, 0.05);
    EXPECT_NEAR(f.EWind(), 5.0, 1e-9);
    EXPECT_EQ(f.MaxWindSpeedMet(), 0);
    EXPECT_NEAR(f.SingleEllipseArea(), 343, 0.5);
    EXPECT_NEAR(f.DoubleEllipseArea(), 498, 0.5);
    EXPECT_DOUBLE_EQ(f.SurfToVol(), 3500);
    EXPECT_NEAR(f.PackRatio(), 0.25, 0.005);

    FireSpread calm = workedExample(0);
    calm.Compute();
    EXPECT_DOUBLE_EQ(calm.RateOfSpread(), 4.2);
    EXPECT_EQ(calm.EWind(), 0);
    EXPECT_EQ(calm.DoubleEllipseArea(), 0);
    EXPECT_EQ(calm.HeatPerUnitArea(), f.HeatPerUnitArea());
}
