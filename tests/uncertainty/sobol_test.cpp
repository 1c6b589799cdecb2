// Sobol indices, first on functions whose indices are known in closed form, then on the model.
#include "support/UncertaintyModels.h"

#include "uncertainty/SobolIndices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Ishigami: f = sin x1 + a sin^2 x2 + b x3^4 sin x1 on [-pi, pi]^3, a = 7, b = 0.1.
// Published: V = a^2/8 + b pi^4/5 + b^2 pi^8/18 + 1/2, V1 = (1 + b pi^4/5)^2 / 2, V2 = a^2/8,
// V13 = b^2 pi^8 (1/18 - 1/50) -> S1 = 0.314, 0.442, 0; ST = 0.558, 0.442, 0.244.
void ishigami(const double *u, double *out)
{
    const double x1 = -M_PI + 2 * M_PI * u[0], x2 = -M_PI + 2 * M_PI * u[1], x3 = -M_PI + 2 * M_PI * u[2];
    out[0] = std::sin(x1) + 7 * std::sin(x2) * std::sin(x2) + 0.1 * std::pow(x3, 4) * std::sin(x1);
}

} // namespace

TEST(SobolIndices, AdditiveFunctionHasEqualFirstAndTotalIndices)
{
    // f = x1 + 2 x2 + 3 x3 + 0 x4 on the unit cube: variances 1, 4, 9, 0 (x 1/12), shares 1/14,
    // 4/14, 9/14, 0; no interactions, so first order and total agree.
    const SobolFunction additive = [](const double *u, double *out) { out[0] = u[0] + 2 * u[1] + 3 * u[2] + 0 * u[3]; };
    SobolOptions options;
    options.baseSamples = 1 << 14;
    options.bootstrap = 50;
    const SobolResult r = SobolAnalysis(4, 1, additive, options);
    EXPECT_EQ(r.evaluations, (1 << 14) * 6);
    const double expected[] = {1 / 14.0, 4 / 14.0, 9 / 14.0, 0};
    for (int i = 0; i < 4; ++i) {
        const SobolIndex &s = r.indices[0][std::size_t(i)];
        EXPECT_NEAR(s.first, expected[i], 0.02) << i;
        EXPECT_NEAR(s.total, expected[i], 0.02) << i;
        EXPECT_LE(s.firstLow, s.first);
        EXPECT_GE(s.firstHigh, s.first);
        EXPECT_LE(s.totalLow, s.total);
        EXPECT_GE(s.totalHigh, s.total);
    }
}

TEST(SobolIndices, IshigamiAtItsPublishedParameters)
{
    const double pi4 = std::pow(M_PI, 4), pi8 = std::pow(M_PI, 8);
    const double v = 49.0 / 8 + 0.1 * pi4 / 5 + 0.01 * pi8 / 18 + 0.5;
    const double v1 = std::pow(1 + 0.1 * pi4 / 5, 2) / 2, v2 = 49.0 / 8, v13 = 0.01 * pi8 * (1.0 / 18 - 1.0 / 50);
    const double first[] = {v1 / v, v2 / v, 0}, total[] = {(v1 + v13) / v, v2 / v, v13 / v};
    // The closed form gives the published figures.
    EXPECT_NEAR(first[0], 0.314, 0.0005);
    EXPECT_NEAR(first[1], 0.442, 0.0005);
    EXPECT_NEAR(total[0], 0.558, 0.0005);
    EXPECT_NEAR(total[2], 0.244, 0.0005);
    for (std::uint64_t seed : {1u, 2u}) {
        SobolOptions options;
        options.baseSamples = 1 << 14;
        options.seed = seed;
        options.bootstrap = 100;
        const SobolResult r = SobolAnalysis(3, 1, ishigami, options);
        for (int i = 0; i < 3; ++i) {
            const SobolIndex &s = r.indices[0][std::size_t(i)];
            EXPECT_NEAR(s.first, first[i], 0.02) << i;
            EXPECT_NEAR(s.total, total[i], 0.02) << i;
            // Intervals around the estimate, narrow at this N, wider for the first order.
            EXPECT_LT(s.firstLow, s.first);
            EXPECT_GT(s.firstHigh, s.first);
            EXPECT_LT(s.totalLow, s.total);
            EXPECT_GT(s.totalHigh, s.total);
            EXPECT_LT(s.firstHigh - s.firstLow, 0.1);
            EXPECT_LT(s.totalHigh - s.totalLow, 0.1);
        }
    }
}

TEST(SobolIndices, IntervalsShrinkWithMoreSamples)
{
    SobolOptions small, large;
    small.baseSamples = 1 << 10;
    large.baseSamples = 1 << 14;
    const SobolResult a = SobolAnalysis(3, 1, ishigami, small), b = SobolAnalysis(3, 1, ishigami, large);
    for (int i = 0; i < 3; ++i) {
        const SobolIndex &s = a.indices[0][std::size_t(i)], &t = b.indices[0][std::size_t(i)];
        EXPECT_GT(s.totalHigh - s.totalLow, 2 * (t.totalHigh - t.totalLow)) << i;
    }
}

TEST(SobolIndices, ResultDoesNotDependOnThreadCount)
{
    SobolOptions one, three;
    one.baseSamples = three.baseSamples = 1 << 11;
    three.threads = 3;
    const SobolResult a = SobolAnalysis(3, 1, ishigami, one), b = SobolAnalysis(3, 1, ishigami, three);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.indices[0][std::size_t(i)].first, b.indices[0][std::size_t(i)].first);
        EXPECT_EQ(a.indices[0][std::size_t(i)].totalHigh, b.indices[0][std::size_t(i)].totalHigh);
    }
}

TEST(SobolIndices, ConstantOutputGivesZeroIndices)
{
    const SobolFunction flat = [](const double *, double *out) { out[0] = 3; };
    SobolOptions options;
    options.baseSamples = 256;
    const SobolResult r = SobolAnalysis(2, 1, flat, options);
    for (const SobolIndex &s : r.indices[0]) {
        EXPECT_EQ(s.first, 0);
        EXPECT_EQ(s.total, 0);
    }
}

TEST(FireSobol, OneMovingInputCarriesAllAndFixedOnesNothing)
{
    // Only the wind moves (+/- 50 %); the heat content cannot (pct:0): the wind carries all the
    // variance of both outputs, alone and with interactions.
    UncertainModel model;
    std::string problem;
    ASSERT_TRUE(model.Prepare(
        PointOf(ShrubModel()),
        {Vary("heat-dead", DistributionKind::Percent, 0), Vary("wind", DistributionKind::Percent, 50)}, &problem));
    SobolOptions options;
    options.baseSamples = 1 << 12;
    int failed = -1;
    const SobolResult r = FireSobolAnalysis(model, options, &failed);
    EXPECT_EQ(failed, 0);
    ASSERT_EQ(r.indices.size(), 2u);
    for (const auto &output : r.indices) {
        EXPECT_EQ(output[0].first, 0);
        EXPECT_EQ(output[0].total, 0);
        EXPECT_NEAR(output[1].first, 1, 0.02);
        EXPECT_NEAR(output[1].total, 1, 0.02);
    }
}

TEST(FireSobol, TotalIndicesAtLeastFirstOrderOnes)
{
    UncertainModel model;
    std::string problem;
    ASSERT_TRUE(
        model.Prepare(PointOf(ShrubModel()),
                      {Vary("wind", DistributionKind::Percent, 50), Vary("load-1h", DistributionKind::Percent, 20),
                       Vary("moist-woody", DistributionKind::Percent, 30)},
                      &problem));
    SobolOptions options;
    options.baseSamples = 1 << 13;
    const SobolResult r = FireSobolAnalysis(model, options);
    for (const auto &output : r.indices) {
        double sum = 0;
        for (const SobolIndex &s : output) {
            EXPECT_GE(s.total, s.first - 0.02);
            EXPECT_GT(s.total, 0.001);
            sum += s.first;
        }
        EXPECT_LE(sum, 1.02);
        EXPECT_GT(sum, 0.5);
    }
}
