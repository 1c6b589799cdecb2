// Calibration: twin experiments (fires computed from a known model, its parameters forgotten
// and fitted again), the search on constructed functions with known optima, the diagnostics
// and cross-validation folds.
#include "support/CalibrationModels.h"

#include "calibration/AdjustmentFile.h"
#include "calibration/Calibration.h"
#include "calibration/CalibrationReport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const FuelParameterInfo &P(const char *name)
{
    return *FindFuelParameter(name);
}

// The grass model's 1-h SA/V, depth and extinction moisture forgotten: the start is elsewhere.
CalibrationSetup ThreeParameterSetup()
{
    CalibrationSetup setup;
    setup.start = GrassModel();
    setup.start.setSurfaceToVolume1Hour(1500);
    setup.start.setBulkDensityDepth(0.8);
    setup.start.setMoistureOfExtinction(35);
    setup.free = {{&P("sav-1h"), 1000, 3500}, {&P("depth"), 0.3, 3}, {&P("mx"), 12, 40}};
    setup.starts = 3;
    setup.cvFolds = 0;
    return setup;
}

TEST(Calibration, TwinExperimentRecoversThreeParametersWithoutNoise)
{
    const FuelModel truth = GrassModel();
    const Observations obs = TwinObservations(truth, RandomEnvironments(10, 3));
    const CalibrationSetup setup = ThreeParameterSetup();
    const CalibrationResult r = Calibrate(setup, obs);
    ASSERT_TRUE(r.ok()) << r.problem.toStdString();
    ASSERT_EQ(r.after.values.size(), 3u);
    EXPECT_NEAR(r.after.values[0], 2000, 2000 * 1e-3);
    EXPECT_NEAR(r.after.values[1], 1.5, 1.5 * 1e-3);
    EXPECT_NEAR(r.after.values[2], 25, 25 * 1e-3);
    EXPECT_NEAR(r.after.model.SurfaceToVolume1Hour(), r.after.values[0], 1e-12);
    // The fixed parameters stay at the start model's values.
    EXPECT_EQ(r.after.model.LoadingLiveHerb(), 1.5);
    EXPECT_EQ(r.after.model.HerbType(), 2);
    EXPECT_LT(r.after.objective, 1e-8);
    EXPECT_GT(r.before.objective, 0.01);
    EXPECT_NEAR(r.after.ros.within35, 1, 1e-12);
    EXPECT_TRUE(r.atBound.empty());
    EXPECT_TRUE(r.alternatives.empty());
}

TEST(Calibration, TwinExperimentWithNoiseShowsTheWidenedResult)
{
    const FuelModel truth = GrassModel();
    const std::vector<FireEnvironment> envs = RandomEnvironments(30, 3);
    CalibrationSetup setup = ThreeParameterSetup();
    setup.cvFolds = 5;
    const CalibrationResult exact = Calibrate(setup, TwinObservations(truth, envs));
    const CalibrationResult noisy = Calibrate(setup, TwinObservations(truth, envs, 0.10, 9));
    ASSERT_TRUE(exact.ok());
    ASSERT_TRUE(noisy.ok());
    // Noise of 10 % in log terms: the mean squared log ratio left is about 0.01, not 0.
    EXPECT_GT(noisy.after.objective, 0.004);
    EXPECT_LT(noisy.after.objective, 0.03);
    // The fitted values move off the truth by more than the noise-free fit did ...
    const double truthValues[3] = {2000, 1.5, 25};
    double exactOff = 0, noisyOff = 0;
    for (int i = 0; i < 3; ++i) {
        exactOff = std::max(exactOff, std::fabs(exact.after.values[size_t(i)] / truthValues[i] - 1));
        noisyOff = std::max(noisyOff, std::fabs(noisy.after.values[size_t(i)] / truthValues[i] - 1));
    }
    EXPECT_LT(exactOff, 1e-3);
    EXPECT_GT(noisyOff, 1e-3);
    // ... and held-out fires are predicted worse than the fitted ones.
    EXPECT_EQ(noisy.cv.folds, 5);
    EXPECT_GT(noisy.cv.fitObjective, noisy.after.objective);
    EXPECT_LT(exact.cv.fitObjective, 1e-6);
    EXPECT_LT(noisy.after.ros.within35, 1.0 + 1e-12);
}

TEST(Calibration, SameSeedRepeatsTheFitExactly)
{
    const Observations obs = TwinObservations(GrassModel(), RandomEnvironments(8, 4), 0.1);
    CalibrationSetup setup = ThreeParameterSetup();
    setup.cvFolds = 3;
    const CalibrationResult a = Calibrate(setup, obs), b = Calibrate(setup, obs);
    EXPECT_EQ(a.after.values, b.after.values);
    EXPECT_EQ(a.cv.fitObjective, b.cv.fitObjective);
    EXPECT_EQ(a.evaluations, b.evaluations);
}

TEST(Calibration, ParameterPushedBeyondItsBoundIsFlagged)
{
    // The truth's depth (1.5 ft) lies above the bounds given: the fit ends at the upper one.
    const Observations obs = TwinObservations(GrassModel(), RandomEnvironments(10, 3));
    CalibrationSetup setup = ThreeParameterSetup();
    setup.free[1].high = 1.0;
    const CalibrationResult r = Calibrate(setup, obs);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.atBound.size(), 1u);
    EXPECT_EQ(r.atBound[0].parameter, &P("depth"));
    EXPECT_TRUE(r.atBound[0].high);
    EXPECT_NEAR(r.after.values[1], 1.0, 1e-3);
    EXPECT_TRUE(r.messages.join(QLatin1Char('\n')).contains(QStringLiteral("depth ended at its upper bound")));
}

TEST(Calibration, TiedLoadsKeepTheirRatios)
{
    FuelModel truth = GrassModel();
    const Observations obs = TwinObservations(truth, RandomEnvironments(10, 6));
    CalibrationSetup setup;
    setup.start = truth;
    // Every load halved: one factor of 2 brings them all back.
    for (const char *name : {"load-1h", "load-10h", "load-herb", "load-woody"})
        P(name).setValue(setup.start, P(name).valueOf(truth) / 2);
    for (const char *name : {"load-1h", "load-10h", "load-herb", "load-woody"})
        setup.free.push_back({&P(name), 0.01, 5});
    setup.tieLoads = true;
    setup.starts = 2;
    setup.cvFolds = 0;
    const CalibrationResult r = Calibrate(setup, obs);
    ASSERT_TRUE(r.ok()) << r.problem.toStdString();
    EXPECT_NEAR(r.after.model.Loading1Hour(), 0.3, 0.3e-3);
    EXPECT_NEAR(r.after.model.Loading10Hour(), 0.2, 0.2e-3);
    EXPECT_NEAR(r.after.model.LoadingLiveHerb(), 1.5, 1.5e-3);
    EXPECT_NEAR(r.after.model.LoadingLiveWoody(), 0.4, 0.4e-3);
    EXPECT_NEAR(r.after.model.Loading1Hour() / r.after.model.LoadingLiveHerb(), 0.2, 1e-12);
}

TEST(Calibration, SetupProblemsAreSaidBeforeAnySearch)
{
    const Observations obs = TwinObservations(GrassModel(), RandomEnvironments(3, 3));
    CalibrationSetup setup = ThreeParameterSetup();
    EXPECT_TRUE(CalibrationSetupProblem(setup, obs).isEmpty());
    CalibrationSetup s = setup;
    s.free.clear();
    EXPECT_FALSE(CalibrationSetupProblem(s, obs).isEmpty());
    s = setup;
    s.free[0].low = 5000; // above the high bound and outside the SA/V range
    EXPECT_FALSE(CalibrationSetupProblem(s, obs).isEmpty());
    s = setup;
    s.free.push_back(s.free[0]);
    EXPECT_TRUE(CalibrationSetupProblem(s, obs).contains(QStringLiteral("twice")));
    s = setup;
    s.tieLoads = true; // no load is free
    EXPECT_FALSE(CalibrationSetupProblem(s, obs).isEmpty());
    EXPECT_FALSE(CalibrationSetupProblem(setup, {}).isEmpty());
    const CalibrationResult r = Calibrate(s, obs);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.evaluations, 0);
}

TEST(Calibration, CancelStopsTheSearch)
{
    const Observations obs = TwinObservations(GrassModel(), RandomEnvironments(10, 3));
    int calls = 0;
    const CalibrationResult r = Calibrate(ThreeParameterSetup(), obs, [&](double) { return ++calls < 20; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(calls, 20);
}

TEST(Calibration, FitThatCannotBeatTheBestStandardModelSaysSo)
{
    // The fires come from the grass model; the start's only free parameter cannot make it one.
    const Observations obs = TwinObservations(GrassModel(), RandomEnvironments(10, 3));
    CalibrationSetup setup;
    setup.start = WorkedExampleModel();
    setup.free = {{&P("heat-dead"), 7900, 8100}};
    setup.starts = 1;
    setup.cvFolds = 3;
    setup.standards = {{QStringLiteral("Std"), std::make_shared<FuelModel>(GrassModel())},
                       {QStringLiteral("Std"), std::make_shared<FuelModel>(WorkedExampleModel())}};
    const CalibrationResult r = Calibrate(setup, obs);
    ASSERT_TRUE(r.ok());
    ASSERT_TRUE(r.hasStandard);
    EXPECT_EQ(r.bestStandard.candidate.model->FuelModelID(), QStringLiteral("GRS"));
    EXPECT_FALSE(r.beatsStandard);
    const QString messages = r.messages.join(QLatin1Char('\n'));
    EXPECT_TRUE(messages.contains(QStringLiteral("cannot beat the best standard model, Std GRS")));
    EXPECT_TRUE(messages.contains(QStringLiteral("Cross-validated")));
    // On every fold the grass model is the best standard model and predicts its held-out fires.
    EXPECT_EQ(r.cv.standardChosen, QStringList(3, QStringLiteral("Std: GRS")));
    EXPECT_LT(r.cv.standardObjective, 1e-20);
}

TEST(Calibration, DefaultBoundsAreTheStandardModelsEnvelopeClippedToTheRange)
{
    FuelModel a = GrassModel(), b = WorkedExampleModel(), start = GrassModel();
    const std::vector<CandidateModel> standards = {{QString(), std::make_shared<FuelModel>(a)},
                                                   {QString(), std::make_shared<FuelModel>(b)}};
    FreeParameter f = DefaultBounds(P("sav-1h"), standards, start);
    EXPECT_EQ(f.low, 2000);
    EXPECT_EQ(f.high, 3500);
    // An SA/V of 0 (no live herb in the worked example) does not widen the envelope to 0.
    f = DefaultBounds(P("sav-herb"), standards, start);
    EXPECT_EQ(f.low, 1800);
    EXPECT_EQ(f.high, 1800);
    // The start's own value is taken in, then the entry range clips.
    start.setBulkDensityDepth(9);
    f = DefaultBounds(P("depth"), standards, start);
    EXPECT_EQ(f.low, 1.0);
    EXPECT_EQ(f.high, 6);
}

TEST(CrossValidationFolds, FixedBySeedAndBalanced)
{
    const std::vector<int> a = CrossValidationFolds(23, 5, 7), b = CrossValidationFolds(23, 5, 7);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, CrossValidationFolds(23, 5, 8));
    int size[5] = {};
    for (int f : a) {
        ASSERT_GE(f, 0);
        ASSERT_LT(f, 5);
        ++size[f];
    }
    for (int s : size) {
        EXPECT_GE(s, 4);
        EXPECT_LE(s, 5);
    }
    // The shuffle is std::mt19937's, whose output is fixed by the standard: its first draw for
    // seed 5489 is 3499211612, so with two observations the first swap is decided by its parity.
    std::mt19937 check(5489);
    const std::vector<int> two = CrossValidationFolds(2, 2, 5489);
    EXPECT_EQ(check(), 3499211612u);
    const std::vector<int> expected = (3499211612u % 2 == 0) ? std::vector<int>{1, 0} : std::vector<int>{0, 1};
    EXPECT_EQ(two, expected);
}

// The search on functions whose optima are known.
TEST(MultiStart, FindsBothOfTwoEqualOptimaAndShowsTheOtherAsAnAlternative)
{
    // Two minima of value 0, at (0.25, 0.5) and (0.75, 0.5).
    const BoxObjective f = [](const std::vector<double> &u) {
        const double a = (u[0] - 0.25) * (u[0] - 0.75);
        return 100 * a * a + (u[1] - 0.5) * (u[1] - 0.5);
    };
    MultiStartOptions options;
    options.starts = 6;
    options.seed = 3;
    const MultiStartResult r = MinimizeMultiStart(f, 2, options);
    ASSERT_EQ(r.optima.size(), 6u);
    std::set<int> found;
    for (const BoxOptimum &o : r.optima) {
        EXPECT_LT(o.value, 1e-10);
        found.insert(int(std::lround(o.u[0] * 4))); // 1 or 3
    }
    EXPECT_EQ(found, (std::set<int>{1, 3}));
    const std::vector<BoxOptimum> alternatives = AlternativeOptima(r.optima);
    ASSERT_EQ(alternatives.size(), 1u);
    EXPECT_NEAR(std::fabs(alternatives[0].u[0] - r.optima[0].u[0]), 0.5, 1e-4);
}

TEST(MultiStart, OptimumOfWorseSkillOrNearbyIsNoAlternative)
{
    std::vector<BoxOptimum> optima = {
        {{0.2, 0.2}, 1.0, 0}, {{0.21, 0.2}, 1.0, 1}, {{0.8, 0.8}, 1.2, 2}, {{0.8, 0.2}, 1.05, 3}};
    const std::vector<BoxOptimum> a = AlternativeOptima(optima);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].start, 3);
}

TEST(MultiStart, MinimumOnTheBoundIsFoundAndFlagged)
{
    const BoxObjective f = [](const std::vector<double> &u) { return u[0] + (u[1] - 0.3) * (u[1] - 0.3); };
    MultiStartOptions options;
    options.starts = 2;
    const MultiStartResult r = MinimizeMultiStart(f, 2, options);
    ASSERT_FALSE(r.optima.empty());
    EXPECT_EQ(BoundSide(r.optima[0].u[0]), -1);
    EXPECT_EQ(BoundSide(r.optima[0].u[1]), 0);
    EXPECT_NEAR(r.optima[0].u[1], 0.3, 1e-5);
    EXPECT_EQ(BoundSide(0.99995), 1);
    EXPECT_EQ(BoundSide(0.999), 0);
}

TEST(MultiStart, OneDimensionWorksToo)
{
    const BoxObjective f = [](const std::vector<double> &u) { return (u[0] - 0.37) * (u[0] - 0.37); };
    const MultiStartResult r = MinimizeMultiStart(f, 1, {});
    ASSERT_FALSE(r.optima.empty());
    EXPECT_NEAR(r.optima[0].u[0], 0.37, 1e-5);
}

TEST(AdjustmentFile, NumberBlankFactorOneLineEach)
{
    EXPECT_EQ(WriteAdjustmentFile({{14, 0.85}, {101, 1.2345678}, {30, 2}, {31, 0.0123456}}),
              QByteArray("14 0.85\r\n101 1.2346\r\n30 2\r\n31 0.012346\r\n"));
}

TEST(CalibrationReport, FlameLengthResidualsAndSeedInTheUnitsShown)
{
    // A result set by hand, shown in metric: 1 ch/h = 20.1168 m / 60 min = 0.33528 m/min,
    // 1 ft = 0.3048 m.
    CalibrationSetup setup;
    setup.free.push_back({FindFuelParameter("depth"), 0.5, 3});
    setup.seed = 7;
    setup.starts = 3;
    CalibrationResult r;
    r.before.values = {2};
    r.after.values = {1};
    Observation a, b;
    a.id = QStringLiteral("A");
    a.ros = 10;
    a.flameLength = 4;
    b.ros = 4;
    const Observations fires = {a, b};
    r.before.predictions = {{8, 3, true}, {5, 2, true}};
    r.after.predictions = {{12.5, 5, true}, {3, 1, true}};
    r.before.ros = r.after.ros = {1, 0, 10, 0.5, 2};
    r.before.flame = {3.28084, 1.64042, 25, 0, 1};
    r.after.flame = {3.28084, -1.64042, 12.5, 0.5, 1};
    const QString text = CalibrationReportText(setup, r, fires, Units::System::Metric);
    EXPECT_TRUE(text.contains(
        QStringLiteral("Flame length before: RMSE 1.00 m, bias 0.50 m, MAPE 25.0 %, within +/-35 %: 0 %")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("Flame length after:  RMSE 1.00 m, bias -0.50 m, MAPE 12.5 %, within +/-35 %: 50 %")));
    // Observed 10 ch/h, predicted 8 before and 12.5 after: residual 2.5 ch/h = 0.8382 m/min;
    // the second fire, without an ID, is named by its place: 3 - 4 = -1 ch/h = -0.33528 m/min.
    EXPECT_TRUE(text.contains(QStringLiteral("  A  3.35  2.68  4.19  0.84\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("  #2  1.34  1.68  1.01  -0.34\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("seed 7 and 3 starts")));
    // Without observed flame lengths no flame line is shown.
    r.after.flame.count = 0;
    EXPECT_FALSE(
        CalibrationReportText(setup, r, fires, Units::System::Metric).contains(QStringLiteral("Flame length")));
}

TEST(AdjustmentFile, NumbersProposedAndRefused)
{
    // Whole-number IDs keep their number (a standard model's too, the first time it occurs);
    // the rest take 14, 15, ... skipping the numbers already kept.
    EXPECT_EQ(ProposeAdjustmentNumbers({"1", "MY1", "14", "95", "14", "GR2", "300", " 101 ", "+16", "15"}),
              (std::vector<int>{1, 16, 14, 17, 18, 19, 20, 101, 21, 15}));
    for (int bad : {0, -3, 90, 95, 99, 257})
        EXPECT_FALSE(AdjustmentNumberProblem(bad).isEmpty()) << bad;
    for (int good : {1, 13, 14, 89, 100, 101, 219, 256})
        EXPECT_TRUE(AdjustmentNumberProblem(good).isEmpty()) << good;
}

TEST(AdjustmentFile, TypedNumbersGiveLinesOrOneFaultPerModel)
{
    QStringList faults;
    const auto lines = AdjustmentLines({{"MY1", " 30 ", 0.9}, {"MY2", "14", 1.25}}, &faults);
    EXPECT_TRUE(faults.isEmpty());
    EXPECT_EQ(lines, (std::vector<std::pair<int, double>>{{30, 0.9}, {14, 1.25}}));

    AdjustmentLines({{"A", "95", 1}, {"B", "30", 1}, {"C", "30", 1}, {"D", "", 1}, {"E", "x1", 1}, {"F", "31", 1}},
                    &faults);
    ASSERT_EQ(faults.size(), 4) << faults.join('|').toStdString();
    EXPECT_EQ(faults[0], "A: " + AdjustmentNumberProblem(95));
    EXPECT_EQ(faults[1], QStringLiteral("C: the model number 30 is given twice"));
    EXPECT_EQ(faults[2], QStringLiteral("D: no model number"));
    EXPECT_EQ(faults[3], QStringLiteral("E: no model number"));
}

} // namespace
