// Agreement statistics, objectives and the adjustment factor, worked by hand on three observed
// fires: observed rates of spread 10, 20, 40 ch/h with weights 1, 1, 2, predicted 12, 12, 40;
// flame lengths observed at the first (2 ft, predicted 3) and the third (4 ft, predicted 2).
#include "calibration/FitStatistics.h"

#include <gtest/gtest.h>

namespace {

struct ThreeFires
{
    Observations observations;
    std::vector<Prediction> predictions;

    ThreeFires()
    {
        const double ros[3] = {10, 20, 40}, weight[3] = {1, 1, 2}, flame[3] = {2, NAN, 4};
        const double predictedRos[3] = {12, 12, 40}, predictedFlame[3] = {3, 7, 2};
        for (int i = 0; i < 3; ++i) {
            Observation o;
            o.ros = ros[i];
            o.weight = weight[i];
            o.flameLength = flame[i];
            observations << o;
            predictions.push_back({predictedRos[i], predictedFlame[i], true});
        }
    }
};

TEST(FitStatistics, RateOfSpreadAgreementWorkedByHand)
{
    const ThreeFires f;
    const AgreementStats s = RosAgreement(f.predictions, f.observations);
    // Differences 2, -8, 0; weights 1, 1, 2 (sum 4).
    EXPECT_EQ(s.count, 3);
    EXPECT_NEAR(s.rmse, std::sqrt((4 + 64) / 4.0), 1e-12); // sqrt(17)
    EXPECT_NEAR(s.bias, (2 - 8) / 4.0, 1e-12);             // -1.5
    EXPECT_NEAR(s.mape, 100 * (0.2 + 0.4) / 4, 1e-12);     // 15 %
    EXPECT_NEAR(s.within35, (1 + 2) / 4.0, 1e-12);         // -40 % is outside the band
}

TEST(FitStatistics, AcceptanceBandIsThirtyFivePercentEitherWay)
{
    // Observed 10 ch/h each: 13.2 and 6.6 are within 3.5 of it, 13.8 and 6.4 are not.
    const std::vector<double> observed(4, 10.0), weights(4, 1.0);
    EXPECT_NEAR(Agreement({13.2, 13.8, 6.6, 6.4}, observed, weights).within35, 0.5, 1e-12);
}

TEST(FitStatistics, FlameLengthAgreementUsesOnlyObservedFlames)
{
    const ThreeFires f;
    const AgreementStats s = FlameAgreement(f.predictions, f.observations);
    // Differences 1 (weight 1) and -2 (weight 2); the 7 ft of the second fire has nothing to meet.
    EXPECT_EQ(s.count, 2);
    EXPECT_NEAR(s.rmse, std::sqrt((1 + 2 * 4) / 3.0), 1e-12);
    EXPECT_NEAR(s.bias, (1 - 4) / 3.0, 1e-12);
    EXPECT_NEAR(s.mape, 100 * (0.5 + 2 * 0.5) / 3, 1e-12);
    EXPECT_NEAR(s.within35, 0, 1e-12);
}

TEST(FitStatistics, ZeroWeightsCountForNothingAndNoPairsGiveNaN)
{
    ThreeFires f;
    f.observations[1].weight = 0; // the -8 is gone
    const AgreementStats s = RosAgreement(f.predictions, f.observations);
    EXPECT_EQ(s.count, 2);
    EXPECT_NEAR(s.rmse, std::sqrt(4 / 3.0), 1e-12);
    EXPECT_NEAR(s.within35, 1, 1e-12);
    const AgreementStats none = Agreement({}, {}, {});
    EXPECT_EQ(none.count, 0);
    EXPECT_TRUE(std::isnan(none.rmse));
}

TEST(FitStatistics, ObjectivesWorkedByHand)
{
    const ThreeFires f;
    ObjectiveOptions log; // the default: mean squared log ratio
    // (ln(12/10)^2 + ln(12/20)^2 + 2 ln(1)^2) / 4
    EXPECT_NEAR(ObjectiveValue(log, f.predictions, f.observations), 0.07354599199192118, 1e-12);
    EXPECT_NEAR(ObjectiveValue({ObjectiveKind::Rmse, 0}, f.predictions, f.observations), std::sqrt(17.0), 1e-12);
    EXPECT_NEAR(ObjectiveValue({ObjectiveKind::Mape, 0}, f.predictions, f.observations), 15, 1e-12);

    // With flame length: the flame term (over the two observed flames) times the weight.
    EXPECT_NEAR(ObjectiveValue({ObjectiveKind::LogRatio, 2}, f.predictions, f.observations),
                0.07354599199192118 + 2 * 0.3751026605765227, 1e-12);
    EXPECT_NEAR(ObjectiveValue({ObjectiveKind::Rmse, 0.5}, f.predictions, f.observations),
                std::sqrt(17.0) + 0.5 * std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(ObjectiveValue({ObjectiveKind::Mape, 1}, f.predictions, f.observations), 15 + 50, 1e-12);
}

TEST(FitStatistics, LogObjectiveOfAModelThatDoesNotBurnIsLargeButFinite)
{
    Observations obs(1);
    obs[0].ros = 10;
    const std::vector<Prediction> none = {{0, 0, false}};
    // ln(0.001 / 10)^2
    EXPECT_NEAR(ObjectiveValue({}, none, obs), 84.83036976765435, 1e-9);
}

TEST(FitStatistics, AdjustmentFactorIsTheWeightedGeometricMeanRatio)
{
    const ThreeFires f;
    // exp((ln(10/12) + ln(20/12) + 2 ln(40/40)) / 4)
    EXPECT_NEAR(AdjustmentFactor(f.predictions, f.observations), 1.0855926040543844, 1e-12);
    // A model that spreads nowhere has no factor; one that fails at a fire is judged on the rest.
    std::vector<Prediction> none(3);
    EXPECT_TRUE(std::isnan(AdjustmentFactor(none, f.observations)));
    std::vector<Prediction> some = f.predictions;
    some[2] = {};
    EXPECT_NEAR(AdjustmentFactor(some, f.observations), std::exp((std::log(10 / 12.0) + std::log(20 / 12.0)) / 2),
                1e-12);
}

TEST(FitStatistics, AdjustedPredictionsAreUnbiasedInLogSpace)
{
    // The factor minimises sum w (ln(f p) - ln o)^2: nudging it either way does worse.
    const ThreeFires f;
    const double factor = AdjustmentFactor(f.predictions, f.observations);
    auto scaled = [&](double k) {
        std::vector<Prediction> p = f.predictions;
        for (Prediction &x : p)
            x.ros *= k;
        return ObjectiveValue({}, p, f.observations);
    };
    EXPECT_LT(scaled(factor), scaled(factor * 1.01));
    EXPECT_LT(scaled(factor), scaled(factor / 1.01));
}

} // namespace
