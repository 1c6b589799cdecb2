// Input distributions, their truncation to entry ranges, the unit-cube samplers and the
// correlation of moistures.
#include "support/UncertaintyModels.h"

#include "uncertainty/Distributions.h"
#include "uncertainty/Sampling.h"
#include "uncertainty/Uncertainty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

double pearson(const std::vector<double> &x, const std::vector<double> &y)
{
    const double n = double(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxy / std::sqrt(sxx * syy);
}

// The drawn values of every input of the model, one column per input.
std::vector<std::vector<double>> drawnColumns(const UncertainModel &model, const UncertaintyOptions &options)
{
    const std::vector<double> unit = DrawUncertaintyPoints(model, options);
    const int d = model.InputCount();
    std::vector<std::vector<double>> columns(static_cast<std::size_t>(d));
    std::vector<double> values(static_cast<std::size_t>(d));
    for (int i = 0; i < options.draws; ++i) {
        model.ValuesAt(unit.data() + i * d, values.data());
        for (int k = 0; k < d; ++k)
            columns[std::size_t(k)].push_back(values[std::size_t(k)]);
    }
    return columns;
}

UncertainModel prepared(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs)
{
    UncertainModel model;
    std::string problem;
    EXPECT_TRUE(model.Prepare(point, inputs, &problem)) << problem;
    return model;
}

} // namespace

TEST(Distributions, ParsesEachShapeAndRefusesMalformedOnes)
{
    std::string problem;
    auto d = ParseDistribution("pct:30", &problem);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, DistributionKind::Percent);
    EXPECT_EQ(d->a, 30);
    d = ParseDistribution("RANGE:2:4.5", &problem);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, DistributionKind::Range);
    EXPECT_EQ(d->a, 2);
    EXPECT_EQ(d->b, 4.5);
    d = ParseDistribution("Cv:0.2", &problem);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, DistributionKind::Normal);
    EXPECT_EQ(d->a, 0.2);
    EXPECT_EQ(DistributionText(*d), "cv:0.2");
    for (const char *bad : {"pct", "pct:", "pct:x", "pct:-5", "pct:150", "cv:-0.1", "range:4:2", "range:2.5:2",
                            "range:1", "range:1:", "normal:0.2", "30", "pct:30:1"}) {
        problem.clear();
        EXPECT_FALSE(ParseDistribution(bad, &problem)) << bad;
        EXPECT_FALSE(problem.empty()) << bad;
    }
}

TEST(Distributions, NormalQuantileMatchesPublishedValues)
{
    // Standard normal table values.
    EXPECT_NEAR(NormalQuantile(0.975), 1.959963984540054, 1e-12);
    EXPECT_NEAR(NormalQuantile(0.5), 0, 1e-15);
    EXPECT_NEAR(NormalQuantile(0.001), -3.090232306167813, 1e-11);
    EXPECT_NEAR(NormalQuantile(0.8413447460685429), 1, 1e-12);
    EXPECT_NEAR(NormalQuantile(1e-10), -6.361340902404056, 1e-8);
    EXPECT_NEAR(NormalCdf(-1.6), 0.05479929169955799, 1e-15);
}

TEST(Truncation, UniformDrawsStayInRangeAndSpreadEvenlyOverWhatIsLeft)
{
    // 1-h moisture 1.5 % +/- 50 %: 0.75 to 2.25, of which 1 to 2.25 is inside the entry range.
    UncertaintyPoint point = PointOf(ShrubModel());
    point.environment[std::size_t(EnvironmentInputId::Moisture1Hour)] = 1.5;
    const UncertainModel model = prepared(point, {Vary("moist-1h", DistributionKind::Percent, 50)});
    UncertaintyOptions options;
    options.draws = 10000;
    const std::vector<double> drawn = drawnColumns(model, options)[0];
    double sum = 0;
    int atEnd = 0;
    for (double v : drawn) {
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 2.25);
        sum += v;
        atEnd += v == 1;
    }
    // Truncated: uniform on [1, 2.25], mean 1.625 (clamping would pile a sixth of the draws at 1
    // and give 1.52).
    EXPECT_NEAR(sum / drawn.size(), 1.625, 0.005);
    EXPECT_EQ(atEnd, 0);
}

TEST(Truncation, NormalDrawsFollowTheConditionedDistribution)
{
    // 1-h moisture 5 % with CV 0.5: sd 2.5, the range 1-60 cuts the tail below z = -1.6.
    const UncertainModel model = prepared(PointOf(ShrubModel()), {Vary("moist-1h", DistributionKind::Normal, 0.5)});
    UncertaintyOptions options;
    options.draws = 10000;
    const std::vector<double> drawn = drawnColumns(model, options)[0];
    double sum = 0;
    int belowThree = 0;
    for (double v : drawn) {
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 60);
        ASSERT_NE(v, 1); // nothing piled up at the end of the range
        sum += v;
        belowThree += v < 3;
    }
    // Mean of a normal truncated below at a = -1.6: mu + sigma phi(a) / (1 - Phi(a)).
    const double phi = std::exp(-1.6 * 1.6 / 2) / std::sqrt(2 * M_PI);
    const double tail = 0.5 * std::erfc(1.6 / std::sqrt(2.0));
    EXPECT_NEAR(sum / drawn.size(), 5 + 2.5 * phi / (1 - tail), 0.01);
    // P(X < 3 | X >= 1) = (Phi(-0.8) - Phi(-1.6)) / (1 - Phi(-1.6)).
    const double below = 0.5 * std::erfc(0.8 / std::sqrt(2.0));
    EXPECT_NEAR(belowThree / double(drawn.size()), (below - tail) / (1 - tail), 0.005);
}

TEST(Truncation, EveryInputStaysInsideItsEntryRangeUnderWideDistributions)
{
    // Wide spreads about values near the ends of the ranges.
    UncertaintyPoint point = PointOf(ShrubModel());
    point.model.setBulkDensityDepth(0.06);
    point.model.setMoistureOfExtinction(95);
    point.environment[std::size_t(EnvironmentInputId::MoistureHerb)] = 290;
    point.environment[std::size_t(EnvironmentInputId::WindAdjust)] = 0.95;
    const UncertainModel model = prepared(
        point,
        {Vary("depth", DistributionKind::Normal, 1), Vary("mx", DistributionKind::Percent, 80),
         Vary("moist-herb", DistributionKind::Normal, 0.8), Vary("wind-adjust", DistributionKind::Range, 0.5, 3),
         Vary("slope", DistributionKind::Normal, 2), Vary("sav-1h", DistributionKind::Percent, 100)});
    UncertaintyOptions options;
    options.draws = 5000;
    options.method = SamplingMethod::Random;
    const auto columns = drawnColumns(model, options);
    const double low[] = {0.05, 5, 30, 0.5, 0, 109}, high[] = {6, 100, 300, 1, 1000, 4000};
    for (std::size_t k = 0; k < columns.size(); ++k)
        for (double v : columns[k]) {
            ASSERT_GE(v, low[k]) << k;
            ASSERT_LE(v, high[k]) << k;
        }
}

TEST(Truncation, RangeWhollyOutsideTheEntryRangeIsRefused)
{
    UncertainModel model;
    std::string problem;
    EXPECT_FALSE(model.Prepare(PointOf(ShrubModel()), {Vary("moist-herb", DistributionKind::Range, 5, 20)}, &problem));
    EXPECT_NE(problem.find("moist-herb"), std::string::npos) << problem;
    EXPECT_FALSE(model.Prepare(
        PointOf(ShrubModel()),
        {Vary("wind", DistributionKind::Percent, 10), Vary("midflame-wind", DistributionKind::Percent, 10)}, &problem));
    EXPECT_FALSE(model.Prepare(
        PointOf(ShrubModel()),
        {Vary("slope", DistributionKind::Percent, 10), Vary("slope", DistributionKind::Percent, 20)}, &problem));
}

TEST(AbsentClasses, StayAbsentWhateverTheirDistribution)
{
    const UncertainModel model =
        prepared(PointOf(LitterModel()),
                 {Vary("load-herb", DistributionKind::Range, 1, 2), Vary("sav-woody", DistributionKind::Normal, 0.5),
                  Vary("load-1h", DistributionKind::Percent, 20)});
    UncertaintyOptions options;
    options.draws = 1000;
    const auto columns = drawnColumns(model, options);
    for (double v : columns[0])
        ASSERT_EQ(v, 0);
    for (double v : columns[1])
        ASSERT_EQ(v, 0);
    // A present class still varies.
    EXPECT_LT(*std::min_element(columns[2].begin(), columns[2].end()), 0.42);
    EXPECT_GT(*std::max_element(columns[2].begin(), columns[2].end()), 0.58);
}

TEST(Correlation, DeadAndLiveMoisturesMoveTogetherAsChosen)
{
    const std::vector<VaryingInput> inputs = {
        Vary("moist-1h", DistributionKind::Percent, 30),   Vary("wind", DistributionKind::Percent, 25),
        Vary("moist-10h", DistributionKind::Percent, 30),  Vary("moist-100h", DistributionKind::Normal, 0.2),
        Vary("moist-herb", DistributionKind::Percent, 30), Vary("moist-woody", DistributionKind::Percent, 30)};
    const UncertainModel model = prepared(PointOf(ShrubModel()), inputs);
    for (SamplingMethod method : {SamplingMethod::Sobol, SamplingMethod::Random}) {
        for (double chosen : {0.9, 0.5}) {
            UncertaintyOptions options;
            options.draws = 10000;
            options.method = method;
            options.deadCorrelation = chosen;
            options.liveCorrelation = 0.7;
            const auto c = drawnColumns(model, options);
            EXPECT_NEAR(pearson(c[0], c[2]), chosen, 0.02);
            EXPECT_NEAR(pearson(c[0], c[3]), chosen, 0.02);
            EXPECT_NEAR(pearson(c[2], c[3]), chosen, 0.02);
            EXPECT_NEAR(pearson(c[4], c[5]), 0.7, 0.02);
            // Dead and live moistures and the wind stay independent of each other.
            EXPECT_NEAR(pearson(c[0], c[4]), 0, 0.03);
            EXPECT_NEAR(pearson(c[0], c[1]), 0, 0.03);
            EXPECT_NEAR(pearson(c[1], c[5]), 0, 0.03);
        }
        UncertaintyOptions independent;
        independent.draws = 10000;
        independent.method = method;
        independent.deadCorrelation = independent.liveCorrelation = 0;
        const auto c = drawnColumns(model, independent);
        EXPECT_NEAR(pearson(c[0], c[2]), 0, 0.03);
        EXPECT_NEAR(pearson(c[4], c[5]), 0, 0.03);
    }
}

TEST(Correlation, ChosenValueIsTheRankCorrelationOfTheDraws)
{
    // Uniform draws: their rank correlation is their correlation, and it is the value chosen
    // (a normal correlation of 0.9 would give only 6/pi asin(0.45) = 0.892 here).
    const UncertainModel model =
        prepared(PointOf(ShrubModel()),
                 {Vary("moist-1h", DistributionKind::Percent, 30), Vary("moist-10h", DistributionKind::Percent, 30)});
    for (double chosen : {0.9, 0.6}) {
        UncertaintyOptions options;
        options.draws = 16384;
        options.deadCorrelation = chosen;
        const auto c = drawnColumns(model, options);
        EXPECT_NEAR(pearson(c[0], c[1]), chosen, 0.004) << chosen;
    }
}

TEST(Correlation, CorrelatedDrawsKeepEachMoistureOwnDistribution)
{
    // 1-h moisture 6 % +/- 30 %: uniform on 4.2 to 7.8 with or without correlation.
    const UncertainModel model =
        prepared(PointOf(ShrubModel()),
                 {Vary("moist-1h", DistributionKind::Percent, 30), Vary("moist-10h", DistributionKind::Percent, 30)});
    UncertaintyOptions options;
    options.draws = 10000;
    const auto c = drawnColumns(model, options);
    std::vector<double> tenHour = c[1];
    std::sort(tenHour.begin(), tenHour.end());
    // 6 % +/- 30 % -> 4.2 .. 7.8: deciles every 0.36.
    for (int q = 1; q < 10; ++q)
        EXPECT_NEAR(tenHour[std::size_t(q * 1000)], 4.2 + 0.36 * q, 0.03) << q;
}

TEST(Samplers, SobolPointsKeepTheirBalanceAfterTheShift)
{
    // 256 points of a (digitally shifted) Sobol sequence: each of 16 equal intervals of every
    // coordinate holds exactly 16 of them; pseudo-random points do not.
    for (std::uint64_t seed : {1u, 7u, 12345u}) {
        UnitSampler sampler(5, SamplingMethod::Sobol, seed);
        int counts[5][16] = {};
        double p[5];
        for (int i = 0; i < 256; ++i) {
            sampler.Next(p);
            for (int k = 0; k < 5; ++k) {
                ASSERT_GT(p[k], 0);
                ASSERT_LT(p[k], 1);
                ++counts[k][int(p[k] * 16)];
            }
        }
        for (int k = 0; k < 5; ++k)
            for (int b = 0; b < 16; ++b)
                EXPECT_EQ(counts[k][b], 16) << seed << " " << k << " " << b;
    }
    // The first two coordinates form a (0, 8, 2)-net: every box of 1/16 x 1/16 holds one of the
    // 256 points, which a digital (XOR) shift keeps and a shift by addition would not.
    for (std::uint64_t seed : {1u, 7u, 12345u}) {
        UnitSampler sampler(2, SamplingMethod::Sobol, seed);
        int boxes[16][16] = {};
        double p[2];
        for (int i = 0; i < 256; ++i) {
            sampler.Next(p);
            ++boxes[int(p[0] * 16)][int(p[1] * 16)];
        }
        for (int a = 0; a < 16; ++a)
            for (int b = 0; b < 16; ++b)
                EXPECT_EQ(boxes[a][b], 1) << seed << " " << a << " " << b;
    }
    UnitSampler first(3, SamplingMethod::Sobol, 1), second(3, SamplingMethod::Sobol, 2);
    double a[3], b[3];
    first.Next(a);
    second.Next(b);
    EXPECT_NE(a[0], b[0]); // the seed scrambles
}

TEST(Samplers, SameSeedSamePointsOtherSeedOtherPoints)
{
    for (SamplingMethod method : {SamplingMethod::Sobol, SamplingMethod::Random}) {
        const auto a = DrawUnitPoints(100, 4, method, 42);
        EXPECT_EQ(a, DrawUnitPoints(100, 4, method, 42));
        EXPECT_NE(a, DrawUnitPoints(100, 4, method, 43));
    }
}
