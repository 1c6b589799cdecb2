// The uncertainty summaries against single computations of the same draws.
#include "support/UncertaintyModels.h"

#include "data/ModelComputation.h"
#include "uncertainty/Uncertainty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The sample quantile by the textbook rule: the order statistics around 1 + (n - 1) p (one-
// based), linearly between them.
double quantileByHand(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const double position = 1 + (double(v.size()) - 1) * p;
    const int k = int(position);
    const double low = v[std::size_t(k - 1)];
    const double high = k < int(v.size()) ? v[std::size_t(k)] : low;
    return low + (position - k) * (high - low);
}

FireEnvironment environmentOf(const UncertaintyPoint &p)
{
    FireEnvironment e;
    for (std::size_t i = 0; i < 5; ++i)
        e.moisture[i] = p.environment[i] / 100; // fractions
    e.midflameWind = p.environment[std::size_t(EnvironmentInputId::MidflameWind)];
    e.slope = p.environment[std::size_t(EnvironmentInputId::Slope)];
    return e;
}

} // namespace

TEST(Uncertainty, NothingVaryingGivesTheSingleResultEverywhere)
{
    const UncertaintyPoint point = PointOf(ShrubModel());
    UncertainModel model;
    std::string problem;
    ASSERT_TRUE(
        model.Prepare(point,
                      {Vary("load-1h", DistributionKind::Percent, 0), Vary("wind", DistributionKind::Percent, 0),
                       Vary("moist-1h", DistributionKind::Normal, 0)},
                      &problem));
    const ModelFire single = ComputeModelFire(point.model, environmentOf(point));
    ASSERT_TRUE(single.computed);
    // The editor's midflame wind: 10 x 0.7 = 7.0 mi/h.
    EXPECT_EQ(single.spread.WindSpeed(), 7.0);
    UncertaintyOptions options;
    options.draws = 500;
    const UncertaintyResult r = RunUncertainty(model, options);
    EXPECT_EQ(r.failed, 0);
    for (double q : r.rateOfSpread.quantiles)
        EXPECT_EQ(q, single.spread.UnroundedRateOfSpread());
    for (double q : r.flameLength.quantiles)
        EXPECT_EQ(q, single.spread.FlameLength());
    for (double q : r.intensity.quantiles)
        EXPECT_EQ(q, single.spread.FireLineIntensity());
    EXPECT_NEAR(r.rateOfSpread.mean, single.spread.UnroundedRateOfSpread(), 1e-12);
    EXPECT_LT(r.rateOfSpread.sd, 1e-12);
    EXPECT_EQ(r.noSpread, 0);
}

TEST(Uncertainty, SummariesMatchADirectLoopOfSingleComputations)
{
    // Uniform inputs well inside their ranges, so the values follow by hand from the unit points.
    const UncertaintyPoint point = PointOf(ShrubModel());
    const double spread[] = {0.3, 0.2, 0.25, 0.3};
    UncertainModel model;
    std::string problem;
    ASSERT_TRUE(
        model.Prepare(point,
                      {Vary("load-1h", DistributionKind::Percent, 30), Vary("depth", DistributionKind::Percent, 20),
                       Vary("wind", DistributionKind::Percent, 25), Vary("moist-1h", DistributionKind::Percent, 30)},
                      &problem));
    for (int threads : {1, 3}) {
        UncertaintyOptions options;
        options.draws = 2000;
        options.threads = threads;
        options.flameThresholds = {4, 8, 11};
        const std::vector<double> unit = DrawUncertaintyPoints(model, options);
        std::vector<double> ros, flame, intensity;
        for (int i = 0; i < options.draws; ++i) {
            const double *u = unit.data() + 4 * i;
            FuelModel m = point.model;
            m.setLoading1Hour(1.35 * (1 - spread[0] + 2 * spread[0] * u[0]));
            m.setBulkDensityDepth(1.0 * (1 - spread[1] + 2 * spread[1] * u[1]));
            FireEnvironment e = environmentOf(point);
            const double wind = 10 * (1 - spread[2] + 2 * spread[2] * u[2]);
            e.midflameWind = std::round(wind * 0.7 * 10) / 10;
            e.moisture[0] = 0.05 * (1 - spread[3] + 2 * spread[3] * u[3]);
            const ModelFire f = ComputeModelFire(m, e);
            ASSERT_TRUE(f.computed);
            ros.push_back(f.spread.UnroundedRateOfSpread());
            flame.push_back(f.spread.FlameLength());
            intensity.push_back(f.spread.FireLineIntensity());
        }
        const UncertaintyResult r = RunUncertainty(model, options);
        ASSERT_EQ(r.draws, 2000);
        const auto check = [](const OutputSummary &s, const std::vector<double> &v, const char *what) {
            double sum = 0;
            for (double x : v)
                sum += x;
            const double mean = sum / double(v.size());
            double squares = 0;
            for (double x : v)
                squares += (x - mean) * (x - mean);
            EXPECT_NEAR(s.mean, mean, 1e-9 * std::abs(mean)) << what;
            EXPECT_NEAR(s.sd, std::sqrt(squares / double(v.size() - 1)), 1e-9 * std::abs(mean)) << what;
            const double p[] = {0.05, 0.25, 0.5, 0.75, 0.95};
            for (int k = 0; k < 5; ++k)
                EXPECT_NEAR(s.quantiles[std::size_t(k)], quantileByHand(v, p[k]), 1e-9 * std::abs(mean)) << what << k;
        };
        check(r.rateOfSpread, ros, "ros");
        check(r.flameLength, flame, "flame");
        check(r.intensity, intensity, "intensity");
        // Exceedance: a share strictly longer than each threshold.
        for (std::size_t t = 0; t < 3; ++t) {
            const double limit = options.flameThresholds[t];
            const double longer =
                double(std::count_if(flame.begin(), flame.end(), [&](double f) { return f > limit; }));
            EXPECT_DOUBLE_EQ(r.flameExceedance[t], longer / 2000) << limit;
        }
        // The shrub spreads at 7 mi/h: the flames straddle 8 ft, none reach past 40.
        EXPECT_GT(r.flameLength.quantiles[4], r.flameLength.quantiles[0]);
        EXPECT_EQ(r.noSpread, 0);
    }
}

TEST(Uncertainty, NoSpreadShareCountsDrawsAboveExtinction)
{
    // Litter with extinction moisture 20 %: the 1-h moisture uniform on 10-30 % (all dead moistures
    // together, fully correlated in rank) stops the fire in about half the draws.
    UncertaintyPoint point = PointOf(LitterModel());
    for (int i = 0; i < 3; ++i)
        point.environment[std::size_t(i)] = 20;
    UncertainModel model;
    std::string problem;
    ASSERT_TRUE(model.Prepare(point,
                              {Vary("moist-1h", DistributionKind::Range, 10, 30),
                               Vary("moist-10h", DistributionKind::Range, 10, 30),
                               Vary("moist-100h", DistributionKind::Range, 10, 30)},
                              &problem));
    UncertaintyOptions options;
    options.draws = 4000;
    options.deadCorrelation = 0;
    const UncertaintyResult independent = RunUncertainty(model, options);
    // A direct count of the same draws.
    const std::vector<double> unit = DrawUncertaintyPoints(model, options);
    int still = 0;
    for (int i = 0; i < options.draws; ++i) {
        FireEnvironment e = environmentOf(point);
        e.moisture[0] = (10 + 20 * unit[std::size_t(3 * i)]) / 100;
        e.moisture[1] = (10 + 20 * unit[std::size_t(3 * i + 1)]) / 100;
        e.moisture[2] = (10 + 20 * unit[std::size_t(3 * i + 2)]) / 100;
        const ModelFire f = ComputeModelFire(point.model, e);
        still += f.computed && f.spread.UnroundedRateOfSpread() == 0;
    }
    EXPECT_GT(still, 0);
    EXPECT_DOUBLE_EQ(independent.noSpread, still / 4000.0);
    EXPECT_EQ(independent.rateOfSpread.quantiles[0], 0);
}

TEST(Uncertainty, SummariesOfNothingAreNotNumbers)
{
    const OutputSummary s = SummarizeOutput({});
    EXPECT_TRUE(std::isnan(s.mean));
    EXPECT_TRUE(std::isnan(s.quantiles[2]));
    EXPECT_TRUE(std::isnan(SortedQuantile({}, 0.5)));
    EXPECT_EQ(SortedQuantile({3}, 0.95), 3);
    // Four values 1..4: the 25 % quantile is 1.75, the median 2.5 (by the rule above).
    EXPECT_EQ(SortedQuantile({1, 2, 3, 4}, 0.25), 1.75);
    EXPECT_EQ(SortedQuantile({1, 2, 3, 4}, 0.5), 2.5);
}
