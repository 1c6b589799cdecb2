// The main window with a library of 10,000 models: start-up until the window is shown, and one
// copy-paste of a model with the library file rewritten. Headless.
//   build/bench/bench_manager_ui
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "manager/FMTree.h"
#include "manager/frmVarrow.h"
#include "support/ScriptedPrompts.h"

#include "support/GeneratedLibrary.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using bench::generatedLibrary;
using bench::kModelsPerSet;

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
