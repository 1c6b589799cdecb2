// Monte Carlo uncertainty, response curve bands and Sobol indices of a shrub model with every
// fuel class, beside the engine's own cost of one computation.
//   build/bench/bench_uncertainty --benchmark_min_time=1
// The threads argument is the number of threads the draws are computed on (the results do not
// depend on it).
#include "data/FuelModel.h"
#include "data/ModelComputation.h"
#include "uncertainty/ResponseBands.h"
#include "uncertainty/Sampling.h"
#include "uncertainty/SobolIndices.h"
#include "uncertainty/Uncertainty.h"

#include "support/UncertaintyModels.h"

#include <benchmark/benchmark.h>

namespace {

// The shrub bed on a 20 % slope.
UncertaintyPoint point()
{
    return PointOf(ShrubModel(), 20);
}

VaryingInput vary(const char *name, double percent)
{
    return {*FindInput(name), {DistributionKind::Percent, percent, 0}};
}

// The "all of these" inputs: moistures +/- 30 %, the fuel bed's loads and depth +/- 20 %, the
// wind +/- 25 %.
std::vector<VaryingInput> presetInputs()
{
    return {vary("moist-1h", 30),    vary("moist-10h", 30),  vary("moist-100h", 30), vary("moist-herb", 30),
            vary("moist-woody", 30), vary("load-1h", 20),    vary("load-10h", 20),   vary("load-100h", 20),
            vary("load-herb", 20),   vary("load-woody", 20), vary("depth", 20),      vary("wind", 25)};
}

UncertainModel presetModel()
{
    UncertainModel m;
    std::string problem;
    m.Prepare(point(), presetInputs(), &problem);
    return m;
}

// The 13 fuel parameters, the 1-h, 10-h and herb moistures and the wind.
UncertainModel seventeenInputs()
{
    std::vector<VaryingInput> inputs;
    for (const FuelParameterInfo &p : FuelParameterTable())
        inputs.push_back(vary(p.shortName.data(), 20));
    for (const char *name : {"moist-1h", "moist-10h", "moist-herb", "wind"})
        inputs.push_back(vary(name, 30));
    UncertainModel m;
    std::string problem;
    m.Prepare(point(), inputs, &problem);
    return m;
}

// The engine alone: the calculator's inputs set once, Compute in a loop.
void engineCompute(benchmark::State &state)
{
    const UncertaintyPoint p = point();
    FireEnvironment env;
    env.moisture = {0.05, 0.06, 0.07, 0.75, 0.90};
    env.midflameWind = 7;
    env.slope = 20;
    FireSpread fs = ComputeModelFire(p.model, env).spread;
    for (auto _ : state) {
        fs.Compute();
        benchmark::DoNotOptimize(fs);
    }
}
BENCHMARK(engineCompute);

// The engine alone over the inputs of a Sobol design's draws (16384 calculators set up before
// the clock runs): its own cost where the inputs change from one computation to the next.
void engineOnDraws(benchmark::State &state)
{
    const UncertainModel m = seventeenInputs();
    const int n = 1 << 14, d = m.InputCount();
    const std::vector<double> unit = DrawUnitPoints(n, d, SamplingMethod::Sobol, 1);
    std::vector<FireSpread> spreads;
    std::vector<double> values(static_cast<std::size_t>(d));
    for (int i = 0; i < n; ++i) {
        m.ValuesAt(unit.data() + std::size_t(i) * std::size_t(d), values.data());
        spreads.push_back(m.SpreadAt(values.data()));
    }
    for (auto _ : state) {
        for (FireSpread &fs : spreads) {
            try {
                fs.Compute();
            } catch (const ArithmeticError &) { }
        }
        benchmark::DoNotOptimize(spreads.data());
    }
    state.counters["per computation (ns)"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(engineOnDraws)->Unit(benchmark::kMillisecond);

// One computation at drawn values as the uncertainty layer makes it (model copied, inputs set,
// computed, outputs read).
void drawnCompute(benchmark::State &state)
{
    const UncertainModel m = seventeenInputs();
    std::vector<double> values(static_cast<std::size_t>(m.InputCount()));
    std::vector<double> unit(std::size_t(m.InputCount()), 0.4);
    m.ValuesAt(unit.data(), values.data());
    for (auto _ : state)
        benchmark::DoNotOptimize(m.Compute(values.data()));
}
BENCHMARK(drawnCompute);

void uncertaintyDraws(benchmark::State &state)
{
    const UncertainModel m = presetModel();
    UncertaintyOptions options;
    options.draws = int(state.range(0));
    options.threads = int(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(RunUncertainty(m, options));
    state.counters["per draw (ns)"] = benchmark::Counter(
        double(options.draws), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(uncertaintyDraws)
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void sobolSeventeen(benchmark::State &state)
{
    const UncertainModel m = seventeenInputs();
    SobolOptions options;
    options.baseSamples = 1 << 14;
    options.threads = int(state.range(0));
    options.bootstrap = int(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(FireSobolAnalysis(m, options));
    state.counters["computations"] = double(options.baseSamples * (m.InputCount() + 2));
}
BENCHMARK(sobolSeventeen)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 100})
    ->Args({2, 100})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The bands of one response curve as the Analysis window computes them: 41 values of the 20-ft
// wind from 0 to 30 mi/h, 400 draws of the other "all of these" inputs at each.
void responseBands(benchmark::State &state)
{
    std::vector<double> xs;
    for (int i = 0; i < 41; ++i)
        xs.push_back(30.0 * i / 40);
    BandOptions options;
    options.draws = 400;
    options.threads = int(state.range(0));
    std::vector<BandPoint> bands;
    std::string problem;
    for (auto _ : state) {
        ComputeResponseBands(point(), presetInputs(), *FindInput("wind"), xs, options, &bands, &problem);
        benchmark::DoNotOptimize(bands.data());
    }
    state.counters["computations"] = double(xs.size()) * options.draws;
}
BENCHMARK(responseBands)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// 40 observed fires, each with its 5-95 % band from 400 draws of the "all of these" inputs (as
// the Uncertainty tab counts them).
void observedCoverage(benchmark::State &state)
{
    std::vector<ObservedFire> fires;
    for (int i = 0; i < 40; ++i) {
        ObservedFire f;
        f.environment.moisture = {0.04 + 0.002 * i, 0.06, 0.08, 0.6 + 0.01 * i, 0.9};
        f.environment.midflameWind = 1 + 0.25 * i;
        f.environment.slope = i % 4 * 10;
        f.rateOfSpread = 5 + i;
        fires.push_back(f);
    }
    BandOptions options;
    options.draws = 400;
    options.threads = int(state.range(0));
    BandCoverage coverage;
    std::string problem;
    for (auto _ : state) {
        ObservedBandCoverage(point(), presetInputs(), fires, options, &coverage, &problem);
        benchmark::DoNotOptimize(coverage);
    }
}
BENCHMARK(observedCoverage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
