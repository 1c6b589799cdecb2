// Ranking and calibration against observed fires:
//   build/bench/bench_calibration --benchmark_min_time=1
// BM_Rank53x40 ranks the 53 models of the master set against 40 fires; BM_Fit3x10 fits 3
// parameters to 10 fires (5 starts); BM_Fit10x40 fits 10 parameters to 40 fires (5 starts);
// BM_Fit10x40WithCv5 the same with the 5-fold cross-validation the report adds (six fits).
#include "calibration/Calibration.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"

#include "support/CalibrationModels.h"

#include <benchmark/benchmark.h>

namespace {

// n fires of the grass-shrub model at random environments, rates of spread and flame lengths
// with 10 % noise.
Observations fires(int n)
{
    return TwinObservations(GrassModel(), RandomEnvironments(n, 17), 0.1);
}

std::vector<CandidateModel> &masterSet()
{
    static std::vector<CandidateModel> models = MasterSetModels(*ReadLibrary(DefaultLibraryBytes()).sets);
    return models;
}

void BM_Rank53x40(benchmark::State &state)
{
    const std::vector<CandidateModel> &models = masterSet();
    const Observations obs = fires(40);
    for (auto _ : state)
        benchmark::DoNotOptimize(RankModels(models, obs));
    state.counters["models"] = double(models.size());
}
BENCHMARK(BM_Rank53x40)->Unit(benchmark::kMillisecond);

CalibrationSetup setupOf(std::initializer_list<const char *> names, int cv)
{
    CalibrationSetup setup;
    setup.start = GrassModel();
    setup.start.setBulkDensityDepth(1.0);
    setup.start.setSurfaceToVolume1Hour(1500);
    setup.start.setMoistureOfExtinction(30);
    setup.standards = masterSet();
    for (const char *n : names)
        setup.free.push_back(DefaultBounds(*FindFuelParameter(n), setup.standards, setup.start));
    setup.starts = 5;
    setup.cvFolds = cv;
    return setup;
}

void fit(benchmark::State &state, const CalibrationSetup &setup, int n)
{
    const Observations obs = fires(n);
    int evaluations = 0;
    for (auto _ : state) {
        const CalibrationResult r = Calibrate(setup, obs);
        evaluations = r.evaluations;
        benchmark::DoNotOptimize(r.after.objective);
    }
    state.counters["evaluations"] = evaluations;
}

void BM_Fit3x10(benchmark::State &state)
{
    fit(state, setupOf({"sav-1h", "depth", "mx"}, 0), 10);
}
BENCHMARK(BM_Fit3x10)->Unit(benchmark::kMillisecond);

const std::initializer_list<const char *> kTen = {"load-1h", "load-10h", "load-100h", "load-herb", "load-woody",
                                                  "sav-1h",  "sav-herb", "sav-woody", "depth",     "mx"};

void BM_Fit10x40(benchmark::State &state)
{
    fit(state, setupOf(kTen, 0), 40);
}
BENCHMARK(BM_Fit10x40)->Unit(benchmark::kMillisecond);

void BM_Fit10x40WithCv5(benchmark::State &state)
{
    fit(state, setupOf(kTen, 5), 40);
}
BENCHMARK(BM_Fit10x40WithCv5)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
