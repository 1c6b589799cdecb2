// The analysis computations against the engine's own cost:
//   build/bench/bench_analysis --benchmark_min_time=1
// BM_EngineCompute is one FireSpread computation; BM_ResponseCurves7x200 the seven curves of a
// response chart; BM_Sensitivity13x2 the 26 computations of the sensitivity panel;
// BM_FmtoolSweepPerLine one output line of `fmtool sweep` (computation, number formatting
// and writing), counted per line (items_per_second).
#include "analysis/AnalysisInputs.h"
#include "analysis/Sensitivity.h"
#include "analysis/Sweep.h"
#include "data/FuelModel.h"
#include "fmtool/Commands.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

FireSpread grass()
{
    FireSpread fs;
    fs.setLoading1Hour(0.3);
    fs.setLoading10Hour(0.2);
    fs.setLoadingLiveHerb(1.5);
    fs.setLoadingLiveWoody(0.4);
    fs.setSurfaceToVolume1Hour(2000);
    fs.setSurfaceToVolumeLiveHerb(1800);
    fs.setSurfaceToVolumeLiveWoody(1600);
    fs.setHeatContentDead(8000);
    fs.setHeatContentLiveHerb(8000);
    fs.setHeatContentLiveWoody(8000);
    fs.setBulkDensityDepth(1.5);
    fs.setMoistureOfExtinction(0.25);
    fs.setFuelMoisture1Hour(0.05);
    fs.setFuelMoisture10Hour(0.06);
    fs.setFuelMoisture100Hour(0.07);
    fs.setFuelMoistureHerb(0.75);
    fs.setFuelMoistureWoody(0.90);
    fs.setWindSpeed(4);
    fs.setWindSpeedNA(10);
    fs.setHerbType(2);
    return fs;
}

std::shared_ptr<FuelModel> model(double load1h, double herb, double depth)
{
    auto m = std::make_shared<FuelModel>();
    m->setFuelModelID(QStringLiteral("M%1").arg(load1h));
    m->setLoading1Hour(load1h);
    m->setLoading10Hour(0.5);
    m->setLoadingLiveHerb(herb);
    m->setSurfaceToVolume1Hour(2000);
    m->setSurfaceToVolumeLiveHerb(1800);
    m->setSurfaceToVolumeLiveWoody(1500);
    m->setHeatContentDead(8000);
    m->setHeatContentLiveHerb(8000);
    m->setHeatContentLiveWoody(8000);
    m->setBulkDensityDepth(depth);
    m->setMoistureOfExtinction(20);
    m->setHerbType(2);
    return m;
}

void BM_EngineCompute(benchmark::State &state)
{
    const FireSpread base = grass();
    for (auto _ : state) {
        FireSpread fs = base;
        fs.Compute();
        benchmark::DoNotOptimize(fs.RateOfSpread());
    }
}
BENCHMARK(BM_EngineCompute);

void BM_ResponseCurves7x200(benchmark::State &state)
{
    AnalysisInputs inputs;
    inputs.edited = grass();
    inputs.hasReference = true;
    inputs.reference = grass();
    inputs.reference.setHerbType(1);
    inputs.windAdjustment = 0.4;
    std::vector<PickedModel> picked;
    for (int i = 0; i < 5; ++i)
        picked.push_back({QStringLiteral("Set"), model(0.2 + 0.3 * i, 1.0, 1 + 0.2 * i)});
    const auto input = SweepInput(state.range(0));
    for (auto _ : state) {
        const auto curves = ComputeResponseCurves(inputs, true, picked, input, SweepInputInfoOf(input).min,
                                                  SweepInputInfoOf(input).max, 200);
        benchmark::DoNotOptimize(curves.back().points.back().rateOfSpread);
    }
    state.SetItemsProcessed(state.iterations() * 7 * 200);
}
BENCHMARK(BM_ResponseCurves7x200)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_Sensitivity13x2(benchmark::State &state)
{
    const FireSpread base = grass();
    for (auto _ : state) {
        const SensitivityResult r = ComputeSensitivity(base, 10);
        benchmark::DoNotOptimize(r.rows.front().rosChangeHigh);
    }
}
BENCHMARK(BM_Sensitivity13x2)->Unit(benchmark::kMicrosecond);

void BM_FmtoolSweepPerLine(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lib.FFM"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("\"[FuelModelSet:Test,Count:1]\"\r\n"
                "\"GR2\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
                "\"[End]\"\r\n");
    }
    const int steps = 20000;
    const QStringList args{path,
                           QStringLiteral("--vary"),
                           QStringLiteral("wind"),
                           QStringLiteral("--from"),
                           QStringLiteral("0"),
                           QStringLiteral("--to"),
                           QStringLiteral("40"),
                           QStringLiteral("--steps"),
                           QString::number(steps)};
    FmtoolStreams io;
    io.out = std::fopen("/dev/null", "w");
    io.err = io.out;
    for (auto _ : state)
        benchmark::DoNotOptimize(fmtoolSweep(args, io));
    std::fclose(io.out);
    state.SetItemsProcessed(state.iterations() * steps);
}
BENCHMARK(BM_FmtoolSweepPerLine)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
