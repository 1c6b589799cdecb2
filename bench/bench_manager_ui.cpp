// The main window with a library of 10,000 models: start-up until the window is shown, and one
// copy-paste of a model with the library file rewritten. Headless.
//   build/bench/bench_manager_ui
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "manager/FMTree.h"
#include "manager/frmVarrow.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kSets = 20;
constexpr int kModelsPerSet = 500;

FuelModelSets generatedLibrary()
{
    FuelModelSets sets;
    unsigned seed = 12345;
    const auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(range));
    };
    for (int s = 1; s <= kSets; ++s) {
        auto models = std::make_shared<FuelModels>();
        for (int m = 1; m <= kModelsPerSet; ++m) {
            const QString key = NewNodeKey(false);
            const auto hundredths = [&](int range) { return next(range) / 100.0; };
            models->Add(QStringLiteral("M%1-%2").arg(s).arg(m),
                        QStringLiteral("Generated model %1 of set %2, mixed fuels").arg(m).arg(s),
                        (1 + next(60)) / 10.0, hundredths(1000), hundredths(1000), hundredths(1000), hundredths(500),
                        hundredths(800), 500 + next(3000), 1200 + next(800), 1200 + next(800), 12 + next(30), 8000,
                        8000 + next(2) * 1000, 8000, 1 + next(4), 1 + next(2), key, key);
        }
        sets.Add(QStringLiteral("Set %1").arg(s), s == 1, models, NewNodeKey(s == 1));
    }
    return sets;
}

// A temporary library folder holding the generated library, and temporary settings.
struct Library
{
    Library()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        SetLibraryFolderForTesting(folder.path());
        QString error;
        if (!WriteFMs(folder.filePath(QString::fromLatin1(kLibraryFileName)), generatedLibrary(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::abort();
        }
        ResetProgramState();
    }
    QTemporaryDir folder;
    QTemporaryDir settings;
};

Library &library()
{
    static Library lib;
    return lib;
}

void freshState()
{
    ResetProgramState();
    ResetEditActions();
    ResetLibraryFileState();
}

void BM_StartUpToWindowShown(benchmark::State &state)
{
    library();
    ScriptedPrompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        freshState();
        state.ResumeTiming();
        auto window = std::make_unique<frmVarrow>(&prompts);
        window->show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window->treeFMs->Count());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToWindowShown)->Unit(benchmark::kMillisecond);

void BM_CopyPasteWithLibraryRewritten(benchmark::State &state)
{
    library();
    freshState();
    ScriptedPrompts prompts;
    frmVarrow window(&prompts);
    window.show();
    QCoreApplication::processEvents();
    FMTree &tree = *window.treeFMs;
    const QString sourceSet = tree.KeyAt(kModelsPerSet + 2); // the second set
    const QString source = tree.KeyAt(kModelsPerSet + 3);
    const QString targetSet = tree.KeyAt(2 * (kModelsPerSet + 1) + 1); // the third set
    if (tree.ParentKey(source) != sourceSet || !tree.ParentKey(targetSet).isEmpty()) {
        state.SkipWithError("unexpected tree layout");
        return;
    }
    static int n = 0; // across runs: the pasted models stay in the library
    for (auto _ : state) {
        tree.SetSelectedKey(source);
        window.cmdCopy_Click();
        tree.SetSelectedKey(targetSet);
        window.RefreshFMs();
        prompts.ExpectPaste(QStringLiteral("P%1").arg(++n), QStringLiteral("Pasted"));
        window.cmdPaste_Click();
    }
    if (!prompts.Finished() || !prompts.Log().filter(QStringLiteral("could not")).isEmpty())
        state.SkipWithError("a paste did not go through");
}
BENCHMARK(BM_CopyPasteWithLibraryRewritten)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetLibraryFolderForTesting(QString());
    return 0;
}
