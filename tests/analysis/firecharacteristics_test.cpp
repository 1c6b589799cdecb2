#include "support/AnalysisModels.h"

#include "analysis/FireCharacteristics.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(FireCharacteristics, FlameLengthAndIntensityConvertByTheSpreadCoresRelation)
{
    // By hand: (4 / 0.45)^(1 / 0.46) = exp(2.18480 / 0.46) = exp(4.74957) = 115.54 btu/ft/s.
    EXPECT_NEAR(IntensityOfFlameLength(4), 115.54, 0.01);
    EXPECT_NEAR(FlameLengthOfIntensity(115.54), 4.0, 1e-4);
    // 0.45 x 1000^0.46 = 0.45 x 23.988 = 10.79 ft.
    EXPECT_NEAR(FlameLengthOfIntensity(1000), 10.795, 0.001);
    EXPECT_EQ(IntensityOfFlameLength(0), 0.0);
    // 100 btu/ft/s at 600 btu/ft2: 60 x 100 / (1.1 x 600) = 9.0909 ch/h.
    EXPECT_NEAR(RateOfSpreadAtIntensity(100, 600), 9.0909, 1e-4);
}

TEST(FireCharacteristics, AComputedFireLiesOnTheCurveOfItsOwnIntensity)
{
    FireSpread fs = WorkedExample();
    fs.Compute();
    // The engine's intensity and heat per unit area put the fire at its rate of spread
    // (the rate of spread output is rounded to one decimal).
    EXPECT_NEAR(RateOfSpreadAtIntensity(fs.FireLineIntensity(), fs.HeatPerUnitArea()), fs.RateOfSpread(), 0.05);
    EXPECT_NEAR(FlameLengthOfIntensity(fs.FireLineIntensity()), fs.FlameLength(), 1e-9);
}

TEST(FireCharacteristics, CurvesStayInsideTheChart)
{
    const auto curves = CharacteristicCurves(10, 3000, 200, 50);
    ASSERT_EQ(curves.size(), 4u);
    EXPECT_EQ(curves[1].flameLength, 4.0);
    EXPECT_EQ(curves[1].label, QStringLiteral("4 ft (116 btu/ft/s)"));
    for (const CharacteristicCurve &c : curves) {
        ASSERT_EQ(c.heat.size(), 50u);
        EXPECT_LE(c.ros.front(), 200 * (1 + 1e-9)) << c.label.toStdString();
        EXPECT_NEAR(c.heat.back(), 3000, 1e-9);
        for (std::size_t i = 0; i < c.heat.size(); ++i)
            EXPECT_NEAR(c.ros[i] * 1.1 * c.heat[i] / 60, c.intensity, 1e-9 * c.intensity);
    }
    // An 11 ft curve ((11 / 0.45)^(1 / 0.46) = exp(3.19640 / 0.46) = 1041.7 btu/ft/s) enters
    // the top of a 200 ch/h chart at 60 x 1041.7 / (1.1 x 200) = 284.1 btu/ft2, not at the
    // left edge.
    EXPECT_NEAR(curves[3].heat.front(), 284.1, 0.1);
    EXPECT_TRUE(CharacteristicCurves(0, 3000, 200).empty());
}
