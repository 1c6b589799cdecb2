// Uncertainty bands of response curves and the observed fires inside a model's band, against
// single computations of the spread core at hand-chosen inputs.
#include "support/UncertaintyModels.h"

#include "data/ModelComputation.h"
#include "uncertainty/ResponseBands.h"

#include <gtest/gtest.h>

namespace {

FireEnvironment environment(double midflame, double slope, double moisture1h = 5)
{
    FireEnvironment e;
    e.moisture = {moisture1h / 100, 0.06, 0.07, 0.75, 0.90};
    e.midflameWind = midflame;
    e.slope = slope;
    return e;
}

FireSpread single(const FuelModel &model, const FireEnvironment &e)
{
    const ModelFire fire = ComputeModelFire(model, e);
    EXPECT_TRUE(fire.computed);
    return fire.spread;
}

InputKey key(const char *name)
{
    return *FindInput(name);
}

} // namespace

TEST(ResponseBands, InputsThatCannotVaryGiveTheCurveItself)
{
    const UncertaintyPoint point = PointOf(ShrubModel());
    const std::vector<VaryingInput> inputs = {Vary("load-1h", DistributionKind::Percent, 0),
                                              Vary("slope", DistributionKind::Percent, 0),
                                              Vary("moist-herb", DistributionKind::Normal, 0)};
    // The 20-ft wind swept with the editor's factor 0.7: midflame winds 0, 3.5 and 8.61 -> 8.6
    // mi/h (the program's one rule, to 0.1 mi/h).
    const std::vector<double> xs = {0, 5, 12.3};
    const double midflame[] = {0, 3.5, 8.6};
    BandOptions options;
    options.draws = 64;
    std::vector<BandPoint> bands;
    std::string problem;
    ASSERT_TRUE(ComputeResponseBands(point, inputs, key("wind"), xs, options, &bands, &problem)) << problem;
    ASSERT_EQ(bands.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const FireSpread fs = single(point.model, environment(midflame[i], 0));
        EXPECT_EQ(bands[i].x, xs[i]);
        EXPECT_EQ(bands[i].computed, 64);
        const double expected[] = {fs.UnroundedRateOfSpread(), fs.FlameLength(), fs.FireLineIntensity(),
                                   fs.SingleEllipseArea()};
        for (int o = 0; o < kBandOutputs; ++o)
            for (int q = 0; q < 4; ++q)
                EXPECT_DOUBLE_EQ(bands[i].Quantile(BandOutput(o), q), expected[o]) << "x " << xs[i] << " output " << o;
    }
}

TEST(ResponseBands, TheSweptInputIsSetNotDrawn)
{
    // The slope swept while it also varies widely: every band closes on the curve.
    const UncertaintyPoint point = PointOf(ShrubModel());
    BandOptions options;
    options.draws = 100;
    std::vector<BandPoint> bands;
    std::string problem;
    ASSERT_TRUE(ComputeResponseBands(point, {Vary("slope", DistributionKind::Range, 0, 100)}, key("slope"), {10, 70},
                                     options, &bands, &problem));
    for (const BandPoint &b : bands) {
        const FireSpread fs = single(point.model, environment(7, b.x));
        EXPECT_DOUBLE_EQ(b.Quantile(BandOutput::RateOfSpread, 0), fs.UnroundedRateOfSpread());
        EXPECT_DOUBLE_EQ(b.Quantile(BandOutput::RateOfSpread, 3), fs.UnroundedRateOfSpread());
    }
    // Sweeping the 20-ft wind stops a varying midflame wind as well.
    ASSERT_TRUE(ComputeResponseBands(point, {Vary("midflame-wind", DistributionKind::Range, 1, 20)}, key("wind"), {10},
                                     options, &bands, &problem));
    const FireSpread fs = single(point.model, environment(7, 0));
    EXPECT_DOUBLE_EQ(bands[0].Quantile(BandOutput::FlameLength, 0), fs.FlameLength());
    EXPECT_DOUBLE_EQ(bands[0].Quantile(BandOutput::FlameLength, 3), fs.FlameLength());
    // A fuel parameter is no axis of a response curve.
    EXPECT_FALSE(ComputeResponseBands(point, {}, key("depth"), {1}, options, &bands, &problem));
}

TEST(ResponseBands, QuantilesFollowAMonotoneInputsQuantiles)
{
    // Only the slope varies, uniformly from 20 to 60 %; rate of spread, flame length and
    // intensity grow with the slope, so their q-quantiles are the model at slope 20 + 40 q:
    // 22, 30, 50 and 58 % for the 5, 25, 75 and 95 % quantiles.
    const UncertaintyPoint point = PointOf(ShrubModel());
    BandOptions options;
    options.draws = 2048;
    std::vector<BandPoint> bands;
    std::string problem;
    ASSERT_TRUE(ComputeResponseBands(point, {Vary("slope", DistributionKind::Range, 20, 60)}, key("moist-1h"), {4, 9},
                                     options, &bands, &problem));
    const double slopes[] = {22, 30, 50, 58};
    for (const BandPoint &b : bands)
        for (int q = 0; q < 4; ++q) {
            const FireSpread fs = single(point.model, environment(7, slopes[q], b.x));
            EXPECT_NEAR(b.Quantile(BandOutput::RateOfSpread, q), fs.UnroundedRateOfSpread(),
                        0.003 * fs.UnroundedRateOfSpread());
            EXPECT_NEAR(b.Quantile(BandOutput::FlameLength, q), fs.FlameLength(), 0.003 * fs.FlameLength());
            EXPECT_NEAR(b.Quantile(BandOutput::Intensity, q), fs.FireLineIntensity(), 0.003 * fs.FireLineIntensity());
        }
    // Drier fuel spreads faster: the 4 % band lies above the 9 % one.
    EXPECT_GT(bands[0].Quantile(BandOutput::RateOfSpread, 0), bands[1].Quantile(BandOutput::RateOfSpread, 0));
}

TEST(ResponseBands, ObservedFiresInsideTheBand)
{
    const UncertaintyPoint point = PointOf(ShrubModel());
    const FuelModel &m = point.model;
    // The slope of every fire drawn uniformly from 20 to 60 %: the 5-95 % band of a fire is
    // the model at slopes 22 and 58 % under the fire's own moistures and wind (its 25-75 % band
    // from 30 to 50 % holds neither the fire at 26 % nor the one at 55 %).
    const auto fire = [&](double midflame, double ros, double flame = NAN) {
        ObservedFire f;
        f.environment = environment(midflame, 0);
        f.rateOfSpread = ros;
        f.flameLength = flame;
        return f;
    };
    const auto at = [&](double midflame, double slope) { return single(m, environment(midflame, slope)); };
    const std::vector<ObservedFire> fires = {
        fire(4, at(4, 40).UnroundedRateOfSpread(), at(4, 40).FlameLength()), // both inside
        fire(6, 1.1 * at(6, 60).UnroundedRateOfSpread()),                    // above
        fire(6, 0.99 * at(6, 20).UnroundedRateOfSpread()),                   // below
        fire(9, at(9, 55).UnroundedRateOfSpread(), at(9, 21).FlameLength()), // rate inside, flame below
        fire(5, at(5, 26).UnroundedRateOfSpread()),                          // inside
    };
    BandOptions options;
    options.draws = 1024;
    BandCoverage coverage;
    std::string problem;
    ASSERT_TRUE(ObservedBandCoverage(point, {Vary("slope", DistributionKind::Range, 20, 60)}, fires, options, &coverage,
                                     &problem));
    EXPECT_EQ(coverage.fires, 5);
    EXPECT_EQ(coverage.rosInside, 3);
    EXPECT_EQ(coverage.flameFires, 2);
    EXPECT_EQ(coverage.flameInside, 1);
    EXPECT_DOUBLE_EQ(coverage.RosShare(), 0.6);
    EXPECT_DOUBLE_EQ(coverage.FlameShare(), 0.5);
}

TEST(ResponseBands, AnObservedMidflameWindIsUsedUnrounded)
{
    // Nothing can vary: the band is the single prediction, and a fire observed exactly at it is
    // inside only when its midflame wind of 7.37 mi/h is not rounded to 7.4.
    const UncertaintyPoint point = PointOf(ShrubModel());
    ObservedFire f;
    f.environment = environment(7.37, 15);
    f.rateOfSpread = single(point.model, environment(7.37, 15)).UnroundedRateOfSpread();
    ASSERT_NE(f.rateOfSpread, single(point.model, environment(7.4, 15)).UnroundedRateOfSpread());
    BandOptions options;
    options.draws = 16;
    BandCoverage coverage;
    std::string problem;
    ASSERT_TRUE(ObservedBandCoverage(point, {Vary("load-1h", DistributionKind::Percent, 0)}, {f}, options, &coverage,
                                     &problem));
    EXPECT_EQ(coverage.rosInside, 1);
    EXPECT_EQ(coverage.flameFires, 0);
    EXPECT_TRUE(std::isnan(coverage.FlameShare()));
}
