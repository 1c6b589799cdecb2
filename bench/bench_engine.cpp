// FireSpread::Compute on a grass, a shrub and a timber litter model at the default environment
// of the editor (5/6/7 % dead, 75 % herb, 90 % woody, 10 mi/h at 20 ft x 0.7, flat), each beside
// its floor: a loop of as many std::exp and std::pow calls as that computation makes.
//   build/bench/bench_engine --benchmark_min_time=1
#include "engine/FireSpread.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

struct Model
{
    double load[5]; // 1-h, 10-h, 100-h, herb, woody (t/ac)
    double sav[3];  // 1-h, herb, woody (ft2/ft3)
    double depth, mxPercent, herbType;
};

const Model kGrass = {{0.10, 0, 0, 1.00, 0}, {2000, 1800, 1500}, 1.0, 15, 2};       // GR2
const Model kShrub = {{1.35, 2.40, 0.75, 0, 3.85}, {2000, 1500, 1600}, 1.0, 15, 1}; // SH2
const Model kTimber = {{0.50, 2.20, 2.80, 0, 0}, {2000, 1500, 1500}, 0.3, 20, 1};   // TL3

FireSpread makeSpread(const Model &m)
{
    FireSpread f;
    f.setLoading1Hour(m.load[0]);
    f.setLoading10Hour(m.load[1]);
    f.setLoading100Hour(m.load[2]);
    f.setLoadingLiveHerb(m.load[3]);
    f.setLoadingLiveWoody(m.load[4]);
    f.setSurfaceToVolume1Hour(m.sav[0]);
    f.setSurfaceToVolumeLiveHerb(m.sav[1]);
    f.setSurfaceToVolumeLiveWoody(m.sav[2]);
    f.setHeatContentDead(8000);
    f.setHeatContentLiveHerb(8000);
    f.setHeatContentLiveWoody(8000);
    f.setBulkDensityDepth(m.depth);
    f.setMoistureOfExtinction(m.mxPercent / 100);
    f.setFuelMoisture1Hour(0.05);
    f.setFuelMoisture10Hour(0.06);
    f.setFuelMoisture100Hour(0.07);
    f.setFuelMoistureHerb(0.75);
    f.setFuelMoistureWoody(0.90);
    f.setHerbType(m.herbType);
    f.setWindSpeed(10 * 0.7);
    return f;
}

struct Calls
{
    int exps = 0, pows = 0;
};

// The exp and pow calls of one Compute of this model, path by path through the core.
Calls callsOf(const Model &m)
{
    FireSpread f = makeSpread(m);
    f.Compute();
    double herb = m.load[3];
    if (m.herbType == 2)
        herb *= 0.75 <= 0.30 ? 0 : (1 - (1.20 - 0.75) / 0.90);
    const bool live = herb != 0 || m.load[4] != 0;
    Calls c;
    const int liveSav = (m.sav[1] != 0) + (m.sav[2] != 0);
    c.exps = (live ? 3 + liveSav : 0) + 3 + (live ? liveSav : 0) + 1 + 1 + 2 + (f.EWind() > 0 ? 2 : 0);
    c.pows = 1 + (live ? 1 : 0) + 4 + 1 + 5 + 1 + 2 + (f.MaxWindSpeedMet() ? 3 : 0) + (f.EWind() > 0 ? 1 : 0);
    return c;
}

void computeBench(benchmark::State &state, const Model &m)
{
    FireSpread f = makeSpread(m);
    for (auto _ : state) {
        f.Compute();
        benchmark::DoNotOptimize(f);
    }
    state.counters["ROS"] = f.RateOfSpread();
}

void floorBench(benchmark::State &state, const Model &m)
{
    const Calls c = callsOf(m);
    double x = 1500;
    for (auto _ : state) {
        double acc = 0;
        for (int i = 0; i < c.exps; ++i)
            acc += std::exp(-138 / (x + i));
        for (int i = 0; i < c.pows; ++i)
            acc += std::pow(x + i, 0.8189);
        benchmark::DoNotOptimize(acc);
        benchmark::ClobberMemory();
        x = x == 1500 ? 1501 : 1500;
    }
    state.counters["exp"] = c.exps;
    state.counters["pow"] = c.pows;
}

} // namespace

BENCHMARK_CAPTURE(computeBench, grass_GR2, kGrass);
BENCHMARK_CAPTURE(floorBench, grass_GR2, kGrass);
BENCHMARK_CAPTURE(computeBench, shrub_SH2, kShrub);
BENCHMARK_CAPTURE(floorBench, shrub_SH2, kShrub);
BENCHMARK_CAPTURE(computeBench, timber_TL3, kTimber);
BENCHMARK_CAPTURE(floorBench, timber_TL3, kTimber);

BENCHMARK_MAIN();
