#include "engine/FireSpread.h"
#include "engine/SurfaceSpread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

// A grass model with live herbaceous fuel.
FireSpread grass(double herbType, double herbMoisture)
{
    FireSpread f;
    f.setLoading1Hour(0.1);
    f.setLoadingLiveHerb(1.0);
    f.setSurfaceToVolume1Hour(2200);
    f.setSurfaceToVolumeLiveHerb(2000);
    f.setHeatContentDead(8000);
    f.setHeatContentLiveHerb(8000);
    f.setBulkDensityDepth(1.0);
    f.setMoistureOfExtinction(0.15);
    f.setFuelMoisture1Hour(0.05);
    f.setFuelMoisture10Hour(0.06);
    f.setFuelMoisture100Hour(0.07);
    f.setFuelMoistureHerb(herbMoisture);
    f.setFuelMoistureWoody(0.9);
    f.setHerbType(herbType);
    f.setWindSpeed(4);
    return f;
}

struct CoreRun
{
    std::array<double, 13> fuel{};
    std::string ros;
    double flameLength = -7, fireLineIntensity = -7, heatPerUnitArea = -7;
    double singleEllipseArea = -7, doubleEllipseArea = -7, effectiveWind = -7;
    double surfToVol = -7, packRatio = -7;
    bool windLimitMet = true;
    double fireHours = 0, herbType = 0;

    void run(const std::array<double, 5> &moisture, double wind, double slope)
    {
        ros = ComputeSurfaceSpread(fuel, moisture, wind, slope, flameLength, fireLineIntensity, heatPerUnitArea,
                                   windLimitMet, singleEllipseArea, doubleEllipseArea, fireHours, herbType,
                                   effectiveWind, surfToVol, packRatio);
    }
};

// 1-h, 10-h, 100-h, herb, woody loads; SA/V 1-h, herb, woody; heats; depth; extinction.
constexpr std::array<double, 13> kGrassFuel = {0.1, 0, 0, 1.0, 0, 2200, 2000, 1500, 8000, 8000, 8000, 1.0, 0.15};
constexpr std::array<double, 5> kGrassMoisture = {0.05, 0.06, 0.07, 0.6, 0.9};

void expectSameOutputs(const FireSpread &a, const FireSpread &b)
{
    for (const std::string &name : FireSpread::PropertyNames()) {
        if (FireSpread::IsOutputProperty(name)) {
            EXPECT_DOUBLE_EQ(a.GetProperty(name), b.GetProperty(name)) << name;
        }
    }
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
    EXPECT_EQ(calm.MaxWindSpeedMet(), 0);
    EXPECT_EQ(calm.DoubleEllipseArea(), 0);
    // A calm fire on flat ground is a circle of radius ROS x hours (square chains / 10 = acres).
    EXPECT_NEAR(calm.SingleEllipseArea(), 3.14159 * 4.2 * 4.2 / 10, 1e-12);
    EXPECT_EQ(calm.HeatPerUnitArea(), f.HeatPerUnitArea());
    EXPECT_EQ(calm.SurfToVol(), f.SurfToVol());
}

TEST(HerbaceousTransfer, BoundsFractionsAndHerbType)
{
    struct Case
    {
        double herbType, herbMoisture, moved; // moved: fraction of herb load put into 1-h
    };
    const Case cases[] = {
        {2, 0.30, 1},
        {2, 0.10, 1},
        {2, 0.60, 2.0 / 3},
        {2, 0.75, 0.5},
        {2, 1.20, 0},
        {2, 1.50, 0},
        {2, 1.19999999, 1e-8 / 0.9},
        {2, 0.300000005, (1.2 - 0.300000005) / 0.9}, // just above 0.30: nearly all, never none
        {1, 0.30, 0},
        {0, 0.30, 0},
        {3, 0.30, 0},
        {2.0000001, 0.30, 0},
    };
    for (const Case &c : cases) {
        CoreRun run;
        run.fuel = kGrassFuel;
        run.herbType = c.herbType;
        std::array<double, 5> moisture = kGrassMoisture;
        moisture[3] = c.herbMoisture;
        run.run(moisture, 4, 0);
        EXPECT_NEAR(run.fuel[0], 0.1 + c.moved, 1e-12) << c.herbType << " " << c.herbMoisture;
        EXPECT_NEAR(run.fuel[3], 1.0 - c.moved, 1e-12) << c.herbType << " " << c.herbMoisture;
        EXPECT_EQ(run.herbType, c.herbType == 0 ? 1 : c.herbType);
    }
}

TEST(HerbaceousTransfer, ComputesAsTheTransferredBedAndLeavesInputsAlone)
{
    // All herb load cured: the live category is empty and skipped, exactly as a dead-only bed.
    FireSpread cured = grass(2, 0.30);
    cured.Compute();
    FireSpread deadOnly = grass(1, 0.30);
    deadOnly.setLoading1Hour(1.1);
    deadOnly.setLoadingLiveHerb(0);
    deadOnly.Compute();
    expectSameOutputs(cured, deadOnly);
    EXPECT_EQ(cured.Loading1Hour(), 0.1);
    EXPECT_EQ(cured.LoadingLiveHerb(), 1.0);
    EXPECT_EQ(cured.HerbType(), 2);

    // Two thirds moved at 60 %.
    FireSpread partly = grass(2, 0.60);
    partly.Compute();
    FireSpread moved = grass(1, 0.60);
    moved.setLoading1Hour(0.1 + 2.0 / 3);
    moved.setLoadingLiveHerb(1.0 / 3);
    moved.Compute();
    EXPECT_EQ(partly.RateOfSpread(), moved.RateOfSpread());
    EXPECT_NEAR(partly.FireLineIntensity(), moved.FireLineIntensity(), 1e-9);
    EXPECT_EQ(partly.LoadingLiveHerb(), 1.0);

    // Herb type 0 computes as static and the property keeps its 0.
    FireSpread zero = grass(0, 0.30);
    zero.Compute();
    FireSpread stat = grass(1, 0.30);
    stat.Compute();
    expectSameOutputs(zero, stat);
    EXPECT_EQ(zero.HerbType(), 0);
    EXPECT_GT(cured.RateOfSpread(), stat.RateOfSpread()); // cured grass burns faster
}

TEST(Extinction, WetFuelDoesNotSpread)
{
    FireSpread wet = workedExample(0);
    wet.setFuelMoisture1Hour(0.12); // at the moisture of extinction
    wet.Compute();
    EXPECT_EQ(wet.RateOfSpread(), 0);
    EXPECT_EQ(wet.FireLineIntensity(), 0);
    EXPECT_EQ(wet.FlameLength(), 0);
    EXPECT_EQ(wet.HeatPerUnitArea(), 0);
    EXPECT_EQ(wet.MaxWindSpeedMet(), 0);

    // With wind or slope the limit of 0.9 x a zero reaction intensity caps the effective wind at 0.
    for (double slope : {0.0, 30.0}) {
        FireSpread windy = workedExample(slope == 0 ? 8 : 0);
        windy.setFuelMoisture1Hour(0.2);
        windy.setSlope(slope);
        windy.Compute();
        EXPECT_EQ(windy.RateOfSpread(), 0);
        EXPECT_EQ(windy.MaxWindSpeedMet(), -1);
        EXPECT_EQ(windy.EWind(), 0);
        EXPECT_EQ(windy.DoubleEllipseArea(), 0);
    }

    // Wet live fuel no longer adds heat but the dry dead fuel still carries the fire.
    FireSpread green = grass(1, 0.6);
    green.Compute();
    FireSpread soaked = grass(1, 3.0);
    soaked.Compute();
    EXPECT_GT(green.RateOfSpread(), soaked.RateOfSpread());
    EXPECT_GT(soaked.RateOfSpread(), 0);
}

TEST(WindAndSlope, LimitCapsWindAndSlopeTogether)
{
    // Light fuel in strong wind: the effective wind stops at 0.9 x reaction intensity (ft/min).
    FireSpread strong = workedExample(40);
    strong.setLoading1Hour(0.1);
    strong.Compute();
    EXPECT_EQ(strong.MaxWindSpeedMet(), -1);
    const double reactionIntensity = strong.HeatPerUnitArea() * strong.SurfToVol() / 384;
    EXPECT_NEAR(strong.EWind(), 0.9 * reactionIntensity / 88, 1e-9);

    FireSpread stronger = strong;
    stronger.setWindSpeed(80);
    stronger.Compute();
    EXPECT_EQ(stronger.RateOfSpread(), strong.RateOfSpread());

    // The slope factor is not added on top of the capped wind factor.
    FireSpread steep = strong;
    steep.setSlope(60);
    steep.Compute();
    EXPECT_EQ(steep.MaxWindSpeedMet(), -1);
    EXPECT_EQ(steep.RateOfSpread(), strong.RateOfSpread());
    EXPECT_EQ(steep.EWind(), strong.EWind());

    // Below the limit slope does add: faster spread and a positive effective wind without wind.
    FireSpread flat = workedExample(0);
    flat.Compute();
    FireSpread hill = workedExample(0);
    hill.setSlope(40);
    hill.Compute();
    EXPECT_EQ(hill.MaxWindSpeedMet(), 0);
    EXPECT_GT(hill.RateOfSpread(), flat.RateOfSpread());
    EXPECT_GT(hill.EWind(), 0);
    EXPECT_GT(hill.DoubleEllipseArea(), 0);
}

TEST(FireSize, HoursAndRoundedRate)
{
    FireSpread one = workedExample(5);
    one.setFireHours(1);
    one.Compute();
    for (double hours : {0.0, -3.0}) {
        FireSpread f = workedExample(5);
        f.setFireHours(hours);
        f.Compute();
        EXPECT_EQ(f.SingleEllipseArea(), one.SingleEllipseArea());
        EXPECT_EQ(f.DoubleEllipseArea(), one.DoubleEllipseArea());
        EXPECT_EQ(f.FireHours(), hours);
    }
    FireSpread two = workedExample(5);
    two.setFireHours(2);
    two.Compute();
    EXPECT_NEAR(two.SingleEllipseArea(), 4 * one.SingleEllipseArea(), 1e-9);
    EXPECT_NEAR(two.DoubleEllipseArea(), 4 * one.DoubleEllipseArea(), 1e-9);

    CoreRun run;
    run.fuel = {0.74, 0, 0, 0, 0, 3500, 0, 0, 8000, 0, 0, 1.0, 0.12};
    run.fireHours = -1;
    run.run({0.06, 0.07, 0.08, 0, 0}, 5, 0);
    EXPECT_EQ(run.fireHours, 1);
    EXPECT_EQ(run.ros, "00093.9");

    // Every rate carries one decimal, and the calm circle is drawn from the rounded rate.
    for (double wind = 0; wind < 3; wind += 0.37) {
        FireSpread f = workedExample(wind);
        f.setSlope(wind * 7);
        f.Compute();
        EXPECT_EQ(f.RateOfSpread() * 10, std::round(f.RateOfSpread() * 10)) << wind;
    }
    FireSpread calm = workedExample(0);
    calm.setLoading1Hour(0.5);
    calm.Compute();
    EXPECT_DOUBLE_EQ(calm.SingleEllipseArea(), (calm.RateOfSpread() * calm.RateOfSpread()) * 3.14159 * 0.1);
}

TEST(FireSize, RateOfSpreadText)
{
    EXPECT_EQ(FormatRateOfSpread(12.34), "00012.3");
    EXPECT_EQ(FormatRateOfSpread(93.94), "00093.9");
    EXPECT_EQ(FormatRateOfSpread(93.96), "00094.0");
    EXPECT_EQ(FormatRateOfSpread(0), "00000.0");
    EXPECT_EQ(FormatRateOfSpread(0.04), "00000.0");
    EXPECT_EQ(FormatRateOfSpread(0.05), "00000.1"); // 0.05 is stored a hair above 0.05
    EXPECT_EQ(FormatRateOfSpread(123456.78), "123456.8");
    EXPECT_EQ(FormatRateOfSpread(-1.26), "-00001.3");
    EXPECT_EQ(FormatRateOfSpread(-0.01), "00000.0");
    EXPECT_EQ(FormatRateOfSpread(1e17), "100000000000000000.0");
    EXPECT_EQ(FormatRateOfSpread(0.15000000000000002), "00000.2");
    EXPECT_THROW(FormatRateOfSpread(std::numeric_limits<double>::quiet_NaN()), ArithmeticError);
}
