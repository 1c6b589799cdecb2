// The ranking of models against observed fires, checked against single calculator runs set up
// by hand and against the published worked example.
#include "support/CalibrationModels.h"

#include "calibration/Ranking.h"
#include "engine/FireSpread.h"

#include <gtest/gtest.h>

namespace {

// The model at one observation, the calculator filled field by field here (not through the
// code under test).
FireSpread ByHand(const FuelModel &m, const FireEnvironment &e, SpreadConventions conventions = SpreadConventions::Core)
{
    FireSpread fs;
    fs.setLoading1Hour(m.Loading1Hour());
    fs.setLoading10Hour(m.Loading10Hour());
    fs.setLoading100Hour(m.Loading100Hour());
    fs.setLoadingLiveHerb(m.LoadingLiveHerb());
    fs.setLoadingLiveWoody(m.LoadingLiveWoody());
    fs.setSurfaceToVolume1Hour(m.SurfaceToVolume1Hour());
    fs.setSurfaceToVolumeLiveHerb(m.SurfaceToVolumeLiveHerb());
    fs.setSurfaceToVolumeLiveWoody(m.SurfaceToVolumeLiveWoody());
    fs.setHeatContentDead(m.HeatContentDead());
    fs.setHeatContentLiveHerb(m.HeatContentLiveHerb());
    fs.setHeatContentLiveWoody(m.HeatContentLiveWoody());
    fs.setBulkDensityDepth(m.BulkDensityDepth());
    fs.setMoistureOfExtinction(m.MoistureOfExtinction() / 100);
    fs.setHerbType(m.HerbType());
    fs.setFuelMoisture1Hour(e.moisture[0]);
    fs.setFuelMoisture10Hour(e.moisture[1]);
    fs.setFuelMoisture100Hour(e.moisture[2]);
    fs.setFuelMoistureHerb(e.moisture[3]);
    fs.setFuelMoistureWoody(e.moisture[4]);
    fs.setWindSpeed(e.midflameWind);
    fs.setSlope(e.slope);
    fs.setConventions(conventions);
    fs.Compute();
    return fs;
}

Observations SomeFires()
{
    Observations obs;
    const std::vector<FireEnvironment> envs = RandomEnvironments(6, 11);
    const double observed[6] = {20, 35, 8, 60, 15, 44};
    for (int i = 0; i < 6; ++i) {
        Observation o;
        o.id = QStringLiteral("F%1").arg(i);
        o.environment = envs[size_t(i)];
        o.ros = observed[i];
        o.flameLength = i % 2 ? 4.0 : NAN;
        o.weight = 1 + i % 3;
        obs << o;
    }
    return obs;
}

TEST(Ranking, WorkedExampleAgainstItsPublishedRate)
{
    Observations obs(1);
    obs[0].environment = {{0.06, 0.07, 0.08, 0.75, 0.90}, 5, 0, 0};
    obs[0].ros = 100;
    const auto model = std::make_shared<FuelModel>(WorkedExampleModel());
    const std::vector<RankedModel> r = RankModels({{QStringLiteral("S"), model}}, obs);
    ASSERT_EQ(r.size(), 1u);
    // 93.9 ch/h published (one decimal): the bias is -6.1 within the rounding.
    EXPECT_NEAR(r[0].ros.bias, 93.9 - 100, 0.05);
    EXPECT_NEAR(r[0].ros.rmse, 100 - 93.9, 0.05);
    EXPECT_EQ(r[0].ros.within35, 1);
}

TEST(Ranking, EveryStatisticMatchesSingleComputationsWithEachModelsOwnHerbType)
{
    const Observations obs = SomeFires();
    FuelModel staticGrass = GrassModel();
    staticGrass.setFuelModelID(QStringLiteral("STATIC"));
    staticGrass.setHerbType(1);
    const std::vector<CandidateModel> candidates = {
        {QStringLiteral("A"), std::make_shared<FuelModel>(GrassModel())},
        {QStringLiteral("A"), std::make_shared<FuelModel>(staticGrass)},
        {QStringLiteral("B"), std::make_shared<FuelModel>(WorkedExampleModel())},
    };
    for (SpreadConventions conventions : {SpreadConventions::Core, SpreadConventions::Simulators}) {
        const std::vector<RankedModel> ranking = RankModels(candidates, obs, {}, conventions);
        ASSERT_EQ(ranking.size(), 3u);
        for (const RankedModel &r : ranking) {
            double sw = 0, se = 0, sd = 0, sp = 0, within = 0, fw = 0, fe = 0, logs = 0;
            for (const Observation &o : obs) {
                const FireSpread fs = ByHand(*r.candidate.model, o.environment, conventions);
                const double p = fs.UnroundedRateOfSpread();
                sw += o.weight;
                se += o.weight * (p - o.ros) * (p - o.ros);
                sd += o.weight * (p - o.ros);
                sp += o.weight * std::fabs(p - o.ros) / o.ros;
                within += std::fabs(p / o.ros - 1) <= 0.35 ? o.weight : 0;
                logs += o.weight * std::log(o.ros / p);
                if (o.hasFlameLength()) {
                    fw += o.weight;
                    fe += o.weight * (fs.FlameLength() - o.flameLength) * (fs.FlameLength() - o.flameLength);
                }
            }
            const std::string who = r.candidate.model->FuelModelID().toStdString();
            EXPECT_NEAR(r.ros.rmse, std::sqrt(se / sw), 1e-9) << who;
            EXPECT_NEAR(r.ros.bias, sd / sw, 1e-9) << who;
            EXPECT_NEAR(r.ros.mape, 100 * sp / sw, 1e-9) << who;
            EXPECT_NEAR(r.ros.within35, within / sw, 1e-12) << who;
            EXPECT_NEAR(r.flame.rmse, std::sqrt(fe / fw), 1e-9) << who;
            EXPECT_NEAR(r.adjustment, std::exp(logs / sw), 1e-9) << who;
            EXPECT_EQ(r.failed, 0);
        }
        // Sorted by the rate of spread RMSE.
        EXPECT_LE(ranking[0].ros.rmse, ranking[1].ros.rmse);
        EXPECT_LE(ranking[1].ros.rmse, ranking[2].ros.rmse);
    }
}

TEST(Ranking, ModelThatCannotComputePredictsNothingAndCountsItsFailures)
{
    const Observations obs = SomeFires();
    FuelModel empty; // no fuel at all: the core refuses it
    empty.setFuelModelID(QStringLiteral("EMPTY"));
    empty.setBulkDensityDepth(1);
    empty.setMoistureOfExtinction(20);
    empty.setSurfaceToVolume1Hour(2000);
    const std::vector<RankedModel> r = RankModels({{QStringLiteral("S"), std::make_shared<FuelModel>(empty)},
                                                   {QStringLiteral("S"), std::make_shared<FuelModel>(GrassModel())}},
                                                  obs);
    ASSERT_EQ(r.size(), 2u);
    const RankedModel &e = r[0].candidate.model->FuelModelID() == QStringLiteral("EMPTY") ? r[0] : r[1];
    EXPECT_EQ(e.candidate.model->FuelModelID(), QStringLiteral("EMPTY"));
    EXPECT_EQ(e.failed, 6);
    EXPECT_TRUE(std::isnan(e.adjustment));
    EXPECT_EQ(e.ros.within35, 0);
    EXPECT_NEAR(e.ros.mape, 100, 1e-12); // every prediction 0
    EXPECT_LT(e.ros.bias, 0);
}

TEST(Ranking, CsvHasTheNamedColumnsInTheChosenUnits)
{
    const Observations obs = SomeFires();
    const std::vector<RankedModel> r =
        RankModels({{QStringLiteral("A, B"), std::make_shared<FuelModel>(GrassModel())}}, obs);
    const QString english = RankingCsv(r, obs, Units::System::English);
    const QStringList lines = english.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              QStringLiteral("set,id,description,ros-rmse,ros-bias,ros-mape,ros-within-35,fl-rmse,fl-bias,"
                             "fl-mape,fl-within-35,ros-adjust,objective,failed"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\"A, B\",GRS,")));
    const QStringList e = lines[1].split(QLatin1Char(',')).mid(1);
    const QStringList m =
        RankingCsv(r, obs, Units::System::Metric).split(QStringLiteral("\r\n"))[1].split(QLatin1Char(',')).mid(1);
    // ros-rmse: ch/h to m/min is 20.1168 / 60; fl-rmse: ft to m is 0.3048; the MAPE is unitless.
    EXPECT_NEAR(m[3].toDouble(), e[3].toDouble() * 20.1168 / 60, 2e-4);
    EXPECT_NEAR(m[7].toDouble(), e[7].toDouble() * 0.3048, 2e-4);
    EXPECT_EQ(m[5], e[5]);
}

TEST(Ranking, NoFlameColumnsWithoutObservedFlames)
{
    Observations obs = SomeFires();
    for (Observation &o : obs)
        o.flameLength = NAN;
    const std::vector<RankedModel> r =
        RankModels({{QStringLiteral("A"), std::make_shared<FuelModel>(GrassModel())}}, obs);
    EXPECT_FALSE(RankingCsv(r, obs, Units::System::English).contains(QStringLiteral("fl-")));
}

} // namespace
