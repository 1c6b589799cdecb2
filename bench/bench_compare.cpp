// The comparison of an edited model with the 53 standard models of the master set: the table
// at the editor's default environment and both distances over the 16 standard moisture
// scenarios at four winds (53 x 64 + 64 spread computations), as the Compare tab makes it on
// every Compute; and the consistency warnings with the master set's envelope, as they are
// made on every keystroke.
//   build/bench/bench_compare --benchmark_min_time=1
#include "analysis/ConsistencyWarnings.h"
#include "analysis/SetComparison.h"
#include "data/FuelModelSets.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <benchmark/benchmark.h>

namespace {

std::vector<std::shared_ptr<FuelModel>> masterModels()
{
    MemoryTree tree;
    const LibraryReadResult read = ReadLibrary(DefaultLibraryBytes(), tree);
    return ModelsOf(*read.sets->Item(DefaultComparisonSetPosition(*read.sets)));
}

// A custom dynamic grass-shrub model: herb transfer, live moisture of extinction, both categories.
FuelBed customBed()
{
    FuelBed b;
    b.p = {0.5, 1.0, 0.2, 1.4, 2.1, 2000, 1800, 1600, 8000, 8000, 8000, 1.3, 0.20};
    b.herbType = 2;
    return b;
}

const FireEnvironment kEditorDefaults{{0.05, 0.06, 0.07, 0.75, 0.90}, 7.0, 0, 0};

void BM_CompareWithMasterSet(benchmark::State &state)
{
    const auto models = masterModels();
    const auto &conditions = StandardBehaviourConditions();
    const FuelBed edited = customBed();
    for (auto _ : state) {
        SetComparison c = CompareWithModels(edited, kEditorDefaults, models, conditions);
        benchmark::DoNotOptimize(c.rows.data());
    }
    state.counters["models"] = double(models.size());
    state.counters["computations"] = double((models.size() + 1) * (conditions.size() + 1));
}
BENCHMARK(BM_CompareWithMasterSet)->Unit(benchmark::kMillisecond);

void BM_ConsistencyWarnings(benchmark::State &state)
{
    const auto models = masterModels();
    std::vector<FuelBed> beds;
    for (const auto &m : models)
        beds.push_back(FuelBedOf(*m));
    const FuelBed edited = customBed();
    for (auto _ : state) {
        const Envelope e = EnvelopeOf(beds, kEditorDefaults);
        auto w = ConsistencyWarnings(edited, kEditorDefaults, e);
        benchmark::DoNotOptimize(w.data());
    }
}
BENCHMARK(BM_ConsistencyWarnings)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
