#include "engine/FireSpread.h"

#include <gtest/gtest.h>

// The two computation conventions against figures worked apart from the engine, by the small
// calculation in conventions_reference.py (the published equations, written afresh). Both
// models at 1-h, 10-h, 100-h, herb and woody moistures 6, 7, 8, 60 and 90 %, midflame wind
// 5 mi/h, no slope.

namespace {

struct Expected
{
    double ros, fli, fl, hpa, sigma, packRatio;
};

FireSpread calculator(const double (&fuel)[13], double herbType, SpreadConventions conventions)
{
    FireSpread fs;
    fs.setLoading1Hour(fuel[0]);
    fs.setLoading10Hour(fuel[1]);
    fs.setLoading100Hour(fuel[2]);
    fs.setLoadingLiveHerb(fuel[3]);
    fs.setLoadingLiveWoody(fuel[4]);
    fs.setSurfaceToVolume1Hour(fuel[5]);
    fs.setSurfaceToVolumeLiveHerb(fuel[6]);
    fs.setSurfaceToVolumeLiveWoody(fuel[7]);
    fs.setHeatContentDead(fuel[8]);
    fs.setHeatContentLiveHerb(fuel[9]);
    fs.setHeatContentLiveWoody(fuel[10]);
    fs.setBulkDensityDepth(fuel[11]);
    fs.setMoistureOfExtinction(fuel[12]);
    fs.setFuelMoisture1Hour(0.06);
    fs.setFuelMoisture10Hour(0.07);
    fs.setFuelMoisture100Hour(0.08);
    fs.setFuelMoistureHerb(0.60);
    fs.setFuelMoistureWoody(0.90);
    fs.setWindSpeed(5);
    fs.setHerbType(herbType);
    fs.setConventions(conventions);
    fs.Compute();
    return fs;
}

void expectResults(const FireSpread &fs, const Expected &e)
{
    EXPECT_DOUBLE_EQ(fs.RateOfSpread(), e.ros);
    EXPECT_NEAR(fs.FireLineIntensity(), e.fli, e.fli * 1e-8);
    EXPECT_NEAR(fs.FlameLength(), e.fl, e.fl * 1e-8);
    EXPECT_NEAR(fs.HeatPerUnitArea(), e.hpa, e.hpa * 1e-8);
    EXPECT_NEAR(fs.SurfToVol(), e.sigma, e.sigma * 1e-8);
    EXPECT_NEAR(fs.PackRatio(), e.packRatio, e.packRatio * 1e-8);
}

// Static: the live herb (1500 1/ft) and live woody (1300 1/ft) classes share the top size
// subclass, so under the simulators' conventions the live net load is weighted as one class.
constexpr double kStatic[13] = {1.0, 0.5, 0.25, 0.5, 1.5, 2000, 1500, 1300, 8000, 8000, 8000, 2.0, 0.20};
// Dynamic grass-shrub, herb two thirds cured at 60 %: the cured herb (1800) and the 1-h class
// (2000) share a subclass, as do herb and woody; the live herb burns with 9000 btu/lb, the
// cured herb with the dead 8000 btu/lb.
constexpr double kGrassShrub[13] = {0.5, 0.5, 0, 0.6, 1.0, 2000, 1800, 1800, 8000, 9000, 8000, 1.5, 0.15};

} // namespace

TEST(SpreadConventions, StaticModelWithTwoLiveClassesInOneSubclass)
{
    SCOPED_TRACE("core");
    expectResults(calculator(kStatic, 1, SpreadConventions::Core),
                  {20.6, 201.5678096, 5.167092722, 533.1534785, 1609.862558, 0.3396350364});
    SCOPED_TRACE("simulators");
    expectResults(calculator(kStatic, 1, SpreadConventions::Simulators),
                  {27.5, 358.8688356, 6.737254556, 711.3929085, 1609.862558, 0.3396350364});
}

TEST(SpreadConventions, DynamicGrassShrubWithItsCuredHerbAsADeadClass)
{
    SCOPED_TRACE("core");
    expectResults(calculator(kGrassShrub, 2, SpreadConventions::Core),
                  {20.1, 142.2213947, 4.401253496, 385.8408306, 1866.718271, 0.3544380721});
    SCOPED_TRACE("simulators");
    expectResults(calculator(kGrassShrub, 2, SpreadConventions::Simulators),
                  {23.2, 197.0740728, 5.113780468, 464.0835732, 1827.408946, 0.3483142538});
}

// Worked by hand: a dynamic model whose herb is fully cured (herb moisture 30 %) and without
// woody load has no live fuel left; every class is dead and burns with the dead heat content h.
// The reaction intensity is a sum of net loads times h, the heat per unit area that intensity
// times 384 over the characteristic SA/V, which does not depend on h: so the herb's own heat
// content plays no part, and raising h from 8000 to 9000 raises the heat per unit area by
// exactly 9/8.
TEST(SpreadConventions, CuredHerbBurnsWithTheDeadHeatContent)
{
    auto cured = [](double deadHeat, double herbHeat) {
        FireSpread fs;
        fs.setLoading1Hour(0.4);
        fs.setLoading10Hour(0.3);
        fs.setLoading100Hour(0);
        fs.setLoadingLiveHerb(1.2);
        fs.setLoadingLiveWoody(0);
        fs.setSurfaceToVolume1Hour(2000);
        fs.setSurfaceToVolumeLiveHerb(1800);
        fs.setSurfaceToVolumeLiveWoody(1500);
        fs.setHeatContentDead(deadHeat);
        fs.setHeatContentLiveHerb(herbHeat);
        fs.setHeatContentLiveWoody(8000);
        fs.setBulkDensityDepth(1.2);
        fs.setMoistureOfExtinction(0.2);
        fs.setFuelMoisture1Hour(0.06);
        fs.setFuelMoisture10Hour(0.07);
        fs.setFuelMoisture100Hour(0.08);
        fs.setFuelMoistureHerb(0.30);
        fs.setFuelMoistureWoody(0.90);
        fs.setWindSpeed(4);
        fs.setHerbType(2);
        fs.setConventions(SpreadConventions::Simulators);
        fs.Compute();
        return fs;
    };
    const FireSpread equalHeats = cured(8000, 8000);
    const FireSpread hotterHerb = cured(8000, 12500);
    EXPECT_DOUBLE_EQ(hotterHerb.HeatPerUnitArea(), equalHeats.HeatPerUnitArea());
    EXPECT_DOUBLE_EQ(hotterHerb.FireLineIntensity(), equalHeats.FireLineIntensity());
    EXPECT_DOUBLE_EQ(hotterHerb.RateOfSpread(), equalHeats.RateOfSpread());
    EXPECT_NEAR(cured(9000, 8000).HeatPerUnitArea() / equalHeats.HeatPerUnitArea(), 9.0 / 8.0, 1e-12);
}

TEST(SpreadConventions, SubclassBoundsAndTheDefault)
{
    EXPECT_EQ(SizeSubclass(1200), 0);
    EXPECT_EQ(SizeSubclass(1199.9), 1);
    EXPECT_EQ(SizeSubclass(192), 1);
    EXPECT_EQ(SizeSubclass(191), 2);
    EXPECT_EQ(SizeSubclass(109), 2); // the 10-h class
    EXPECT_EQ(SizeSubclass(96), 2);
    EXPECT_EQ(SizeSubclass(95), 3);
    EXPECT_EQ(SizeSubclass(48), 3);
    EXPECT_EQ(SizeSubclass(47), 4);
    EXPECT_EQ(SizeSubclass(30), 4); // the 100-h class
    EXPECT_EQ(SizeSubclass(16), 4);
    EXPECT_EQ(SizeSubclass(15), 5);
    // A new calculator computes with the core's conventions.
    EXPECT_EQ(FireSpread().Conventions(), SpreadConventions::Core);
}
