#include "analysis/CurveLabels.h"

#include <gtest/gtest.h>

namespace {

SweepPoint Burning(double x, double ros, double flame, double intensity, double size)
{
    SweepPoint p;
    p.x = x;
    p.computed = true;
    p.rateOfSpread = p.unroundedRateOfSpread = ros;
    p.flameLength = flame;
    p.fireLineIntensity = intensity;
    p.size = size;
    return p;
}

// Six points from 0 to 10 mi/h, 2 apart.
std::vector<SweepPoint> EvenSweep()
{
    std::vector<SweepPoint> points;
    for (int i = 0; i <= 5; ++i)
        points.push_back(Burning(2.0 * i, i, 0, 0, 0));
    return points;
}

} // namespace

TEST(CurveLabels, EachRoleNamesItsCurveItsOwnWay)
{
    EXPECT_EQ(CurveName({QStringLiteral("Mine"), QStringLiteral("2"), QStringLiteral("Edited"), {}}),
              QStringLiteral("2 (edited)"));
    EXPECT_EQ(CurveName({QStringLiteral("Mine"), QString(), QStringLiteral("Edited"), {}}),
              QStringLiteral("model (edited)"));
    EXPECT_EQ(CurveName({QStringLiteral("Orla Master"), QStringLiteral("1"), QStringLiteral("Reference"), {}}),
              QStringLiteral("Ref: 1"));
    EXPECT_EQ(CurveName({QStringLiteral("Grass Models"), QStringLiteral("GR2"), QStringLiteral("Library"), {}}),
              QStringLiteral("GR2 (Grass Models)"));
}

TEST(CurveLabels, TheCurrentEnvironmentSitsOnTheNearestPointInsideTheSweep)
{
    const std::vector<SweepPoint> points = EvenSweep();
    EXPECT_EQ(NearestSweepPoint(points, 0), 0u);
    EXPECT_EQ(NearestSweepPoint(points, 2.9), 1u); // 2.9 is nearer 2 than 4
    EXPECT_EQ(NearestSweepPoint(points, 3.1), 2u);
    EXPECT_EQ(NearestSweepPoint(points, 10), 5u);
    // Outside the range swept the environment is not on the curve.
    EXPECT_FALSE(NearestSweepPoint(points, -0.1));
    EXPECT_FALSE(NearestSweepPoint(points, 10.01));
    EXPECT_FALSE(NearestSweepPoint({}, 0));
    // A sweep of one point holds only its own x.
    EXPECT_EQ(NearestSweepPoint({Burning(4, 1, 0, 0, 0)}, 4), 0u);
    EXPECT_FALSE(NearestSweepPoint({Burning(4, 1, 0, 0, 0)}, 4.5));
}

TEST(CurveLabels, APointReadsWithItsInputAndFourResultsInTheUnitsShown)
{
    const ModelCurve curve{QStringLiteral("Grass Models"),
                           QStringLiteral("GR2"),
                           QStringLiteral("Library"),
                           {Burning(10, 30, 4, 100, 12.5)}};
    EXPECT_EQ(CurvePointText(curve, 0, SweepInput::TwentyFootWind, Units::System::English),
              QStringLiteral("GR2 (Grass Models)\n20-ft wind speed: 10 mi/h\nRate of spread: 30.0 ch/h\n"
                             "Flame length: 4.0 ft\nFireline intensity: 100.0 btu/ft/s\nSize after 1 hour: 12.5 ac"));
    // 10 mi/h x 1.609344 = 16.09 km/h; 30 ch/h x 20.1168 m / 60 min = 10.0584 m/min; 4 ft x 0.3048
    // = 1.2192 m; 100 btu/ft/s x 1.055056 kJ/btu / 0.3048 m/ft = 346.15 kW/m; 12.5 ac x 0.40468564
    // = 5.0586 ha.
    EXPECT_EQ(CurvePointText(curve, 0, SweepInput::TwentyFootWind, Units::System::Metric),
              QStringLiteral("GR2 (Grass Models)\n20-ft wind speed: 16.1 km/h\nRate of spread: 10.06 m/min\n"
                             "Flame length: 1.22 m\nFireline intensity: 346.1 kW/m\nSize after 1 hour: 5.06 ha"));
    EXPECT_EQ(CurvePointText(curve, 1, SweepInput::TwentyFootWind, Units::System::English), QString());
}

TEST(CurveLabels, FailedPointsAndTheWindLimitAreSaidInWords)
{
    SweepPoint failed;
    failed.x = 25;
    SweepPoint capped = Burning(30, 80, 9, 900, 40);
    capped.windLimit = true;
    SweepPoint out = Burning(35, 0, 0, 0, 0); // no fire: the flag caps nothing
    out.windLimit = true;
    const ModelCurve curve{
        QStringLiteral("Mine"), QStringLiteral("7"), QStringLiteral("Edited"), {failed, capped, out}};
    EXPECT_EQ(CurvePointText(curve, 0, SweepInput::Slope, Units::System::English),
              QStringLiteral("7 (edited)\nSlope: 25 %\ncannot compute"));
    EXPECT_TRUE(CurvePointText(curve, 1, SweepInput::Slope, Units::System::English)
                    .endsWith(QStringLiteral("\nwind limit reached")));
    EXPECT_FALSE(
        CurvePointText(curve, 2, SweepInput::Slope, Units::System::English).contains(QStringLiteral("wind limit")));
}
