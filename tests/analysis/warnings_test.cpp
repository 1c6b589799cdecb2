#include "analysis/ConsistencyWarnings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FuelBed bed(std::array<double, 5> loads, std::array<double, 3> savs, double depth, double mx, double herbType = 1)
{
    FuelBed b;
    b.p = {loads[0], loads[1], loads[2], loads[3], loads[4], savs[0], savs[1], savs[2], 8000, 8000, 8000, depth, mx};
    b.herbType = herbType;
    return b;
}

FireEnvironment moistures(double m1, double m10, double m100, double herb, double woody)
{
    return {{m1, m10, m100, herb, woody}, 0, 0, 0};
}

const FireEnvironment kDefaults = moistures(0.05, 0.06, 0.07, 0.75, 0.90);

bool has(const std::vector<ConsistencyWarning> &w, WarningKind kind, int entry)
{
    return std::any_of(w.begin(), w.end(), [&](const ConsistencyWarning &x) {
        return x.kind == kind && x.entry == entry && !x.text.isEmpty();
    });
}

bool has(const std::vector<ConsistencyWarning> &w, WarningKind kind)
{
    return std::any_of(w.begin(), w.end(), [&](const ConsistencyWarning &x) { return x.kind == kind; });
}

} // namespace

TEST(ConsistencyWarnings, HerbTypeAgainstHerbLoad)
{
    const Envelope none;
    const FuelBed dynamicWithout = bed({0.5, 0, 0, 0, 0}, {2000, 1800, 1500}, 1, 0.15, 2);
    const FuelBed dynamicWith = bed({0.5, 0, 0, 1.0, 0}, {2000, 1800, 1500}, 1, 0.15, 2);
    const FuelBed staticWith = bed({0.5, 0, 0, 1.0, 0}, {2000, 1800, 1500}, 1, 0.15, 1);
    const FuelBed staticWithout = bed({0.5, 0, 0, 0, 0}, {2000, 1800, 1500}, 1, 0.15, 1);

    auto w = ConsistencyWarnings(dynamicWithout, kDefaults, none);
    EXPECT_TRUE(has(w, WarningKind::DynamicWithoutHerb, 5));
    EXPECT_FALSE(has(w, WarningKind::HerbInStatic));

    w = ConsistencyWarnings(dynamicWith, kDefaults, none);
    EXPECT_FALSE(has(w, WarningKind::DynamicWithoutHerb));
    EXPECT_FALSE(has(w, WarningKind::HerbInStatic));

    w = ConsistencyWarnings(staticWith, kDefaults, none);
    EXPECT_TRUE(has(w, WarningKind::HerbInStatic, 5));
    EXPECT_FALSE(has(w, WarningKind::DynamicWithoutHerb));

    EXPECT_TRUE(ConsistencyWarnings(staticWithout, kDefaults, none).empty());
}

TEST(ConsistencyWarnings, ExtinctionAtOrBelowTheSurfaceAreaWeightedDeadMoisture)
{
    const Envelope none;
    // One dead class: its moisture is the dead moisture.
    // "At" is exact here: 0.125 is a binary fraction.
    const FuelBed grass = bed({0.74, 0, 0, 0, 0}, {3500, 1500, 1500}, 1, 0.125);
    EXPECT_TRUE(has(ConsistencyWarnings(grass, moistures(0.125, 0.13, 0.14, 0.75, 0.9), none),
                    WarningKind::ExtinctionAtDeadMoisture, 14));
    EXPECT_TRUE(has(ConsistencyWarnings(grass, moistures(0.15, 0.13, 0.14, 0.75, 0.9), none),
                    WarningKind::ExtinctionAtDeadMoisture, 14));
    EXPECT_FALSE(has(ConsistencyWarnings(grass, moistures(0.124, 0.20, 0.30, 0.75, 0.9), none),
                     WarningKind::ExtinctionAtDeadMoisture));

    // 2 t/ac 1-h at 2000 and 1 t/ac 10-h (SA/V 109): surface areas 125 and 3.40625, so the
    // weighted moisture at 6 % and 10 % is (125 x 0.06 + 3.40625 x 0.10) / 128.40625 = 0.0610611
    // (by load it would be 0.0733).
    const auto env = moistures(0.06, 0.10, 0.10, 0.75, 0.9);
    EXPECT_NEAR(MoistureBalanceOf(bed({2, 1, 0, 0, 0}, {2000, 1500, 1500}, 1, 0.061), env).deadMoisture, 0.0610611,
                1e-7);
    EXPECT_TRUE(has(ConsistencyWarnings(bed({2, 1, 0, 0, 0}, {2000, 1500, 1500}, 1, 0.061), env, none),
                    WarningKind::ExtinctionAtDeadMoisture));
    EXPECT_FALSE(has(ConsistencyWarnings(bed({2, 1, 0, 0, 0}, {2000, 1500, 1500}, 1, 0.0612), env, none),
                     WarningKind::ExtinctionAtDeadMoisture));
}

TEST(ConsistencyWarnings, DynamicTransferCountsInTheDeadMoisture)
{
    const Envelope none;
    // 0.2 t/ac 1-h and 1 t/ac herb at SA/V 2000 beside 1 t/ac 10-h (SA/V 109, surface area
    // 3.40625). At 30 % herb moisture all herb joins the 1-h class: 1-h area 75, dead moisture
    // (75 x 0.05 + 3.40625 x 0.10) / 78.40625 = 0.0521722; at 120 % nothing moves: area 12.5,
    // (12.5 x 0.05 + 3.40625 x 0.10) / 15.90625 = 0.0607073.
    const FuelBed grass = bed({0.2, 1, 0, 1.0, 0}, {2000, 2000, 1500}, 1, 0.08, 2);
    EXPECT_NEAR(MoistureBalanceOf(grass, moistures(0.05, 0.1, 0.1, 0.30, 0.9)).deadMoisture, 0.0521722, 1e-7);
    EXPECT_NEAR(MoistureBalanceOf(grass, moistures(0.05, 0.1, 0.1, 1.20, 0.9)).deadMoisture, 0.0607073, 1e-7);
    // Half cured at 75 %: 0.7 t/ac 1-h, area 43.75: (2.1875 + 0.340625) / 47.15625 = 0.0536117.
    EXPECT_NEAR(MoistureBalanceOf(grass, moistures(0.05, 0.1, 0.1, 0.75, 0.9)).deadMoisture, 0.0536117, 1e-7);
    const MoistureBalance green = MoistureBalanceOf(grass, moistures(0.05, 0.1, 0.1, 1.20, 0.9));
    EXPECT_TRUE(green.hasLive);
    EXPECT_NEAR(green.liveMoisture, 1.20, 1e-15);
    const MoistureBalance cured = MoistureBalanceOf(grass, moistures(0.05, 0.1, 0.1, 0.30, 0.9));
    EXPECT_FALSE(cured.hasLive);
}

TEST(ConsistencyWarnings, LiveFuelThatCanNeverBurnAtTheLiveMoistures)
{
    const Envelope none;
    // 1 t/ac 1-h at 2000, 2 t/ac woody at 1500, extinction 20 %: W = exp(-138/2000) /
    // (2 exp(-500/1500)) = 0.651281, so the live extinction is at most 2.9 W - 0.226 = 1.662715.
    const FuelBed shrub = bed({1, 0, 0, 0, 2}, {2000, 1500, 1500}, 1, 0.20);
    EXPECT_NEAR(MoistureBalanceOf(shrub, kDefaults).liveExtinctionCeiling, 1.662715, 1e-6);
    EXPECT_TRUE(
        has(ConsistencyWarnings(shrub, moistures(0.05, 0.06, 0.07, 0.75, 1.70), none), WarningKind::LiveNeverBurns, 6));
    EXPECT_FALSE(
        has(ConsistencyWarnings(shrub, moistures(0.05, 0.06, 0.07, 0.75, 1.60), none), WarningKind::LiveNeverBurns));
    // A dead model has no live fuel to warn about, whatever the live moistures.
    EXPECT_FALSE(has(ConsistencyWarnings(bed({1, 0, 0, 0, 0}, {2000, 1500, 1500}, 1, 0.2),
                                         moistures(0.05, 0.06, 0.07, 3.0, 3.0), none),
                     WarningKind::LiveNeverBurns));
    // The ceiling never falls below the dead extinction: with little dead fuel (W small) a
    // live moisture just under the dead extinction still burns.
    const FuelBed sparse = bed({0.01, 0, 0, 0, 5}, {2000, 1500, 1500}, 1, 0.40);
    EXPECT_DOUBLE_EQ(MoistureBalanceOf(sparse, kDefaults).liveExtinctionCeiling, 0.40);
    EXPECT_FALSE(
        has(ConsistencyWarnings(sparse, moistures(0.05, 0.06, 0.07, 0.75, 0.39), none), WarningKind::LiveNeverBurns));
    EXPECT_TRUE(
        has(ConsistencyWarnings(sparse, moistures(0.05, 0.06, 0.07, 0.75, 0.40), none), WarningKind::LiveNeverBurns));
}

TEST(ConsistencyWarnings, CharacteristicSavAndPackingRatioAgainstTheStandardEnvelope)
{
    // One-class models: the characteristic SA/V is the 1-h SA/V, the relative packing ratio
    // (load x 0.04591 / 32 / depth) / (3.348 x SAV^-0.8189): 0.253187 for 0.74 t/ac, 3500, 1 ft
    // and 0.205826 for 3.01 t/ac, 1500, 2.5 ft.
    const std::vector<FuelBed> standard = {bed({0.74, 0, 0, 0, 0}, {3500, 1500, 1500}, 1, 0.12),
                                           bed({3.01, 0, 0, 0, 0}, {1500, 1500, 1500}, 2.5, 0.25)};
    const Envelope e = EnvelopeOf(standard, kDefaults);
    ASSERT_TRUE(e.valid);
    EXPECT_NEAR(e.surfToVolMin, 1500, 1e-9);
    EXPECT_NEAR(e.surfToVolMax, 3500, 1e-9);
    EXPECT_NEAR(e.packRatioMin, 0.205826, 1e-6);
    EXPECT_NEAR(e.packRatioMax, 0.253187, 1e-6);

    // 1.5 t/ac at 2500: packing ratio 0.251365 at 1.55 ft (inside), 0.259744 at 1.5 ft (above).
    const auto inside = ConsistencyWarnings(bed({1.5, 0, 0, 0, 0}, {2500, 1500, 1500}, 1.55, 0.2), kDefaults, e);
    EXPECT_FALSE(has(inside, WarningKind::SurfToVolOutsideEnvelope));
    EXPECT_FALSE(has(inside, WarningKind::PackRatioOutsideEnvelope));
    const auto dense = ConsistencyWarnings(bed({1.5, 0, 0, 0, 0}, {2500, 1500, 1500}, 1.5, 0.2), kDefaults, e);
    EXPECT_FALSE(has(dense, WarningKind::SurfToVolOutsideEnvelope));
    EXPECT_TRUE(has(dense, WarningKind::PackRatioOutsideEnvelope, kPackRatioEntry));
    const auto fine = ConsistencyWarnings(bed({0.74, 0, 0, 0, 0}, {3600, 1500, 1500}, 1, 0.2), kDefaults, e);
    EXPECT_TRUE(has(fine, WarningKind::SurfToVolOutsideEnvelope, kCharSurfVolEntry));
    const auto coarse = ConsistencyWarnings(bed({3.01, 0, 0, 0, 0}, {1400, 1500, 1500}, 2.5, 0.25), kDefaults, e);
    EXPECT_TRUE(has(coarse, WarningKind::SurfToVolOutsideEnvelope));
    // Without an envelope (no standard models) there is nothing to compare with.
    EXPECT_FALSE(has(ConsistencyWarnings(bed({0.74, 0, 0, 0, 0}, {3600, 1500, 1500}, 1, 0.2), kDefaults, Envelope{}),
                     WarningKind::SurfToVolOutsideEnvelope));
}

// A fuel bed burns only with a load in a class that has a surface: the 10-h and 100-h classes
// always have one (109 and 30 ft2/ft3), the 1-h and live classes only with their SA/V above 0.
TEST(ConsistencyWarnings, AModelWithoutFuelThatCanBurn)
{
    const Envelope none;
    auto noFuel = [&](const FuelBed &b) {
        return has(ConsistencyWarnings(b, kDefaults, none), WarningKind::NoFuelToBurn, 2);
    };
    EXPECT_TRUE(noFuel(bed({0, 0, 0, 0, 0}, {2000, 1800, 1500}, 1, 0.15)));
    EXPECT_TRUE(noFuel(bed({0, 0, 0, 0, 0}, {0, 0, 0}, 1, 0.15, 2)));
    // Loads only where the SA/V is 0.
    EXPECT_TRUE(noFuel(bed({0.5, 0, 0, 1.0, 0.3}, {0, 0, 0}, 1, 0.15, 1)));
    // One class that can burn is enough, whichever it is.
    EXPECT_FALSE(noFuel(bed({0.5, 0, 0, 0, 0}, {2000, 0, 0}, 1, 0.15)));
    EXPECT_FALSE(noFuel(bed({0, 0.5, 0, 0, 0}, {0, 0, 0}, 1, 0.15)));
    EXPECT_FALSE(noFuel(bed({0, 0, 0.5, 0, 0}, {0, 0, 0}, 1, 0.15)));
    EXPECT_FALSE(noFuel(bed({0, 0, 0, 0.5, 0}, {0, 1800, 0}, 1, 0.15)));
    EXPECT_FALSE(noFuel(bed({0, 0, 0, 0, 0.5}, {0, 0, 1500}, 1, 0.15)));
    // The texts say which of the two it is.
    const auto all = ConsistencyWarnings(bed({0, 0, 0, 0, 0}, {2000, 1800, 1500}, 1, 0.15), kDefaults, none);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(all.front().text.contains(QStringLiteral("Every fuel load is 0")));
    const auto flat = ConsistencyWarnings(bed({0.5, 0, 0, 0, 0}, {0, 1800, 1500}, 1, 0.15), kDefaults, none);
    ASSERT_FALSE(flat.empty());
    EXPECT_TRUE(flat.front().text.contains(QStringLiteral("SA/V is 0")));
}
