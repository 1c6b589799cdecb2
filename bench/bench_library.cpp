// Reading and writing a library of 10,000 models, beside a plain read of the same file's bytes
// (the floor no reader can beat).
//   build/bench/bench_library
#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/LibraryTree.h"
#include "library/MemoryTree.h"

#include "support/GeneratedLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using bench::generatedLibrary;
using bench::kModelsPerSet;
using bench::kSets;

struct Fixture
{
    Fixture()
    {
        library = generatedLibrary();
        path = dir.filePath(QStringLiteral("OrlaFuelModels.FFM"));
        QString error;
        if (!WriteFMs(path, library, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::abort();
        }
    }
    QTemporaryDir dir;
    QString path;
    FuelModelSets library;
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_PlainReadOfTheBytes(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(fixture().path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_PlainReadOfTheBytes)->Unit(benchmark::kMillisecond);

void BM_ReadFMs(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        ResetProgramState();
        auto tree = std::make_unique<MemoryTree>();
        state.ResumeTiming();
        LibraryProblem problem;
        if (!ReadFMs(fixture().path, *tree, &problem))
            state.SkipWithError(qPrintable(problem.toString()));
        benchmark::DoNotOptimize(gFMSets.get());
        state.PauseTiming();
        tree.reset();
        ResetProgramState();
        state.ResumeTiming();
    }
    state.counters["models"] = kSets * kModelsPerSet;
}
BENCHMARK(BM_ReadFMs)->Unit(benchmark::kMillisecond);

// The read alone, as fmtool and every reader without a window make it: data only, no tree.
void BM_ReadFMsDataOnly(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        ResetProgramState();
        state.ResumeTiming();
        LibraryProblem problem;
        if (!ReadFMs(fixture().path, &problem))
            state.SkipWithError(qPrintable(problem.toString()));
        benchmark::DoNotOptimize(gFMSets.get());
        state.PauseTiming();
        ResetProgramState();
        state.ResumeTiming();
    }
    state.counters["models"] = kSets * kModelsPerSet;
}
BENCHMARK(BM_ReadFMsDataOnly)->Unit(benchmark::kMillisecond);

// The tree of a library already in memory, as the window's tree is filled after a read.
void BM_FillLibraryTree(benchmark::State &state)
{
    FuelModelSets &sets = fixture().library;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<MemoryTree>();
        state.ResumeTiming();
        if (!FillLibraryTree(sets, *tree, nullptr))
            state.SkipWithError("the tree could not be filled");
        benchmark::DoNotOptimize(tree.get());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FillLibraryTree)->Unit(benchmark::kMillisecond);

// What the read cannot avoid beyond parsing: every record, key and tree node made from values
// already in memory.
void BM_RecordsAndNodesWithoutParsing(benchmark::State &state)
{
    const FuelModelSets &from = fixture().library;
    for (auto _ : state) {
        state.PauseTiming();
        ResetProgramState();
        auto tree = std::make_unique<MemoryTree>();
        state.ResumeTiming();
        auto sets = std::make_shared<FuelModelSets>();
        for (const auto &set : from) {
            const QString setKey = NewNodeKey(set->Locked());
            auto models = std::make_shared<FuelModels>();
            sets->Add(set->Name(), set->Locked(), models, setKey);
            tree->AddRoot(setKey, set->Name(), 1);
            for (const auto &fm : *set->FuelModels()) {
                const QString key = NewNodeKey(false);
                // Fresh copies of the texts, as a reader makes them.
                const QString id(fm->FuelModelID().constData(), fm->FuelModelID().size());
                const QString description(fm->Description().constData(), fm->Description().size());
                models->AddCopy(*fm, id, description, key);
                tree->AddChild(setKey, key, id + QLatin1String(" - ") + description, 3);
            }
        }
        benchmark::DoNotOptimize(sets.get());
        state.PauseTiming();
        tree.reset();
        sets.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordsAndNodesWithoutParsing)->Unit(benchmark::kMillisecond);

void BM_SerializeLibrary(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray bytes = SerializeLibrary(fixture().library, nullptr);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_SerializeLibrary)->Unit(benchmark::kMillisecond);

// The whole save: serialise, temporary file, sync, replace.
void BM_WriteFMs(benchmark::State &state)
{
    const QString out = fixture().dir.filePath(QStringLiteral("written.FFM"));
    for (auto _ : state) {
        QString error;
        if (!WriteFMs(out, fixture().library, &error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_WriteFMs)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
