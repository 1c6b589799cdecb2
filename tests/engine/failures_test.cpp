#include "engine/FireSpread.h"
#include "engine/SurfaceSpread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

// A timber-litter bed with some live woody fuel.
FireSpread litter()
{
    FireSpread f;
    f.setLoading1Hour(1.5);
    f.setLoading10Hour(1.0);
    f.setLoading100Hour(2.0);
    f.setLoadingLiveWoody(0.5);
    f.setSurfaceToVolume1Hour(2000);
    f.setSurfaceToVolumeLiveWoody(1500);
    f.setHeatContentDead(8000);
    f.setHeatContentLiveHerb(8000);
    f.setHeatContentLiveWoody(8000);
    f.setBulkDensityDepth(0.4);
    f.setMoistureOfExtinction(0.25);
    f.setFuelMoisture1Hour(0.06);
    f.setFuelMoisture10Hour(0.07);
    f.setFuelMoisture100Hour(0.08);
    f.setFuelMoistureHerb(0.75);
    f.setFuelMoistureWoody(0.9);
    f.setWindSpeed(5);
    f.setSlope(20);
    return f;
}

std::string failure(FireSpread f)
{
    try {
        f.Compute();
    } catch (const ArithmeticError &e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Failures, EachListedCaseRaises)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        const char *name;
        std::function<void(FireSpread &)> change;
        const char *reason; // part of the message
    };
    const Case cases[] = {
        {"no fuel", [](FireSpread &f) { f = FireSpread(); }, "no fuel"},
        {"all loads 0",
         [](FireSpread &f) {
             f.setLoading1Hour(0);
             f.setLoading10Hour(0);
             f.setLoading100Hour(0);
             f.setLoadingLiveWoody(0);
         },
         "no fuel"},
        {"live without dead",
         [](FireSpread &f) {
             f.setLoading1Hour(0);
             f.setLoading10Hour(0);
             f.setLoading100Hour(0);
         },
         "live fuel without dead fuel"},
        {"dead SA/V 0 with live fuel", [](FireSpread &f) { f.setSurfaceToVolume1Hour(0); }, "dead SA/V 0"},
        {"extinction 0 with live fuel", [](FireSpread &f) { f.setMoistureOfExtinction(0); },
         "moisture of extinction 0"},
        {"extinction 0 dead only",
         [](FireSpread &f) {
             f.setLoadingLiveWoody(0);
             f.setMoistureOfExtinction(0);
         },
         "moisture of extinction 0"},
        {"depth 0", [](FireSpread &f) { f.setBulkDensityDepth(0); }, "fuel bed depth 0"},
        // A negative-only dead load leaves no positive surface area to weight the classes by.
        {"sigma 0",
         [](FireSpread &f) {
             f = FireSpread();
             f.setLoading1Hour(-1);
             f.setSurfaceToVolume1Hour(2000);
             f.setBulkDensityDepth(1);
             f.setMoistureOfExtinction(0.2);
         },
         "characteristic SA/V 0"},
        {"negative wind", [](FireSpread &f) { f.setWindSpeed(-1); },
         "invalid argument (fractional power of a negative number) in the wind factor (negative wind speed)"},
        // A finite wind whose power overflows is too strong, not negative.
        {"huge wind", [](FireSpread &f) { f.setWindSpeed(1e300); },
         "overflow in the wind factor (wind speed too high)"},
        {"infinite wind", [](FireSpread &f) { f.setWindSpeed(1e307); }, "overflow in the wind speed"},
        {"overflowing load", [](FireSpread &f) { f.setLoading1Hour(1e306); }, "overflow"},
        {"infinite slope", [inf](FireSpread &f) { f.setSlope(inf); }, "overflow"},
        {"NaN moisture", [](FireSpread &f) { f.setFuelMoisture10Hour(std::nan("")); }, "invalid"},
        {"negative depth", [](FireSpread &f) { f.setBulkDensityDepth(-0.5); }, "negative number"},
    };
    for (const Case &c : cases) {
        FireSpread f = litter();
        c.change(f);
        EXPECT_NE(failure(f).find(c.reason), std::string::npos) << c.name << ": " << failure(f);
    }
}

TEST(Failures, GuardsDoNotRaise)
{
    // Live woody load without a SA/V ratio: zero live surface area (class weights), no live fine
    // load, no heat sink term for that class and no mineral damping for the live category.
    FireSpread noLiveArea = litter();
    noLiveArea.setSurfaceToVolumeLiveWoody(0);
    EXPECT_NO_THROW(noLiveArea.Compute());
    EXPECT_GT(noLiveArea.RateOfSpread(), 0);

    // Live herb SA/V given but no herb load: the live fine load is 0.
    FireSpread noHerbLoad = noLiveArea;
    noHerbLoad.setSurfaceToVolumeLiveHerb(2000);
    EXPECT_NO_THROW(noHerbLoad.Compute());
    EXPECT_EQ(noHerbLoad.RateOfSpread(), noLiveArea.RateOfSpread());

    // Extremely coarse fuel: the heating number underflows to 0, so the heat sink is 0 and the
    // no-wind rate is taken as 0.
    FireSpread coarse;
    coarse.setLoading1Hour(1);
    coarse.setSurfaceToVolume1Hour(0.18);
    coarse.setHeatContentDead(8000);
    coarse.setBulkDensityDepth(1);
    coarse.setMoistureOfExtinction(0.3);
    EXPECT_NO_THROW(coarse.Compute());
    EXPECT_EQ(coarse.RateOfSpread(), 0);

    // Dead-only bed whose 1-h SA/V is 0 but which has 10-h fuel: no live fuel, no raise.
    FireSpread stickOnly = litter();
    stickOnly.setLoadingLiveWoody(0);
    stickOnly.setLoading1Hour(0);
    stickOnly.setSurfaceToVolume1Hour(0);
    EXPECT_NO_THROW(stickOnly.Compute());
    EXPECT_GT(stickOnly.FireLineIntensity(), 0);
}

TEST(Failures, CoreKeepsWhatItWroteBeforeTheFault)
{
    std::array<double, 13> fuel = {0.2, 0, 0, 1.0, 0, 2000, 1800, 1500, 8000, 8000, 8000, 1.0, 0.15};
    double flameLength = -7, fireLineIntensity = -7, heatPerUnitArea = -7, single = -7, dbl = -7;
    double fireHours = 0, herbType = 2, effectiveWind = -7, surfToVol = -7, packRatio = -7;
    bool windLimitMet = true;
    // The wind factor fails after the transfer, before any fire behavior output.
    EXPECT_THROW(ComputeSurfaceSpread(fuel, {0.05, 0.06, 0.07, 0.3, 0.9}, -2, 0, flameLength, fireLineIntensity,
                                      heatPerUnitArea, windLimitMet, single, dbl, fireHours, herbType, effectiveWind,
                                      surfToVol, packRatio),
                 ArithmeticError);
    EXPECT_EQ(fuel[0], 1.2);
    EXPECT_EQ(fuel[3], 0);
    EXPECT_EQ(surfToVol, 0);
    EXPECT_EQ(packRatio, 0);
    EXPECT_FALSE(windLimitMet);
    EXPECT_EQ(flameLength, -7);
    EXPECT_EQ(fireLineIntensity, -7);
    EXPECT_EQ(heatPerUnitArea, -7);
    EXPECT_EQ(single, -7);
    EXPECT_EQ(dbl, -7);
    EXPECT_EQ(effectiveWind, -7);
    EXPECT_EQ(fireHours, 0); // defaulted only after the fire behavior is known
}

TEST(FireSpreadObject, FailedComputeLeavesOutputsAlone)
{
    FireSpread fresh;
    EXPECT_THROW(fresh.Compute(), ArithmeticError);
    for (const std::string &name : FireSpread::PropertyNames())
        EXPECT_EQ(fresh.GetProperty(name), 0) << name;

    FireSpread f = litter();
    f.setWindSpeed(40);
    f.Compute();
    const FireSpread before = f;
    ASSERT_EQ(before.MaxWindSpeedMet(), -1);
    f.setBulkDensityDepth(0);
    EXPECT_THROW(f.Compute(), ArithmeticError);
    for (const std::string &name : FireSpread::PropertyNames()) {
        if (FireSpread::IsOutputProperty(name)) {
            EXPECT_EQ(f.GetProperty(name), before.GetProperty(name)) << name;
        }
    }
}

TEST(FireSpreadObject, PropertiesByName)
{
    const auto &names = FireSpread::PropertyNames();
    EXPECT_EQ(names.size(), 36u);
    int outputs = 0;
    for (const std::string &name : names)
        outputs += FireSpread::IsOutputProperty(name);
    EXPECT_EQ(outputs, 10);
    for (const char *out : {"RateOfSpread", "FireLineIntensity", "FlameLength", "HeatPerUnitArea", "EWind",
                            "MaxWindSpeedMet", "SingleEllipseArea", "DoubleEllipseArea", "SurfToVol", "PackRatio"})
        EXPECT_TRUE(FireSpread::IsOutputProperty(out)) << out;

    // Each name reaches its own member: distinct values through the names read back unmixed.
    FireSpread f;
    for (std::size_t i = 0; i < names.size(); ++i)
        f.SetProperty(names[i], names[i] == "MaxWindSpeedMet" ? 1 : double(i + 1));
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(f.GetProperty(names[i]), names[i] == "MaxWindSpeedMet" ? -1 : double(i + 1)) << names[i];

    // A model set by name computes as one set directly.
    const FireSpread direct = [] {
        FireSpread d = litter();
        d.Compute();
        return d;
    }();
    FireSpread byName;
    for (const std::string &name : names) {
        if (!FireSpread::IsOutputProperty(name))
            byName.SetProperty(name, litter().GetProperty(name));
    }
    byName.Compute();
    EXPECT_EQ(byName.RateOfSpread(), direct.RateOfSpread());
    EXPECT_EQ(byName.FireLineIntensity(), direct.FireLineIntensity());

    EXPECT_THROW(f.GetProperty("RateofSpread"), std::invalid_argument);
    EXPECT_THROW(f.SetProperty("Compute", 1), std::invalid_argument);
    EXPECT_THROW(FireSpread::IsOutputProperty(""), std::invalid_argument);
}

TEST(FireSpreadObject, StoredOnlyPropertiesChangeNothing)
{
    FireSpread plain = litter();
    plain.Compute();
    FireSpread extra = litter();
    extra.setWindSpeedNA(20);
    extra.setWindSpeedAdjust(3);
    extra.setTemp(99);
    extra.setLoading1000Hour(12);
    extra.Compute();
    for (const std::string &name : FireSpread::PropertyNames()) {
        if (FireSpread::IsOutputProperty(name)) {
            EXPECT_EQ(extra.GetProperty(name), plain.GetProperty(name)) << name;
        }
    }
}
