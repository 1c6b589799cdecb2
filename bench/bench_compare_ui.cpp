// The Compare tab of the Edit and Test Center over the 53 standard models: a whole Compute of
// the editor with the tab shown (results, comparison, table), and the redraw alone (the table
// and the nearest models filled again from a made comparison, then painted).
//   build/bench/bench_compare_ui --benchmark_min_time=2
#include "support/EditorFixture.h"
#include "testcenter/ui/ComparisonPanel.h"

#include "library/DefaultLibrary.h"
#include "library/MemoryTree.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTabWidget>
#include <QTableView>

namespace {

struct CompareEditor
{
    ScriptedPrompts prompts;
    FakeOwner owner;
    std::unique_ptr<frmEditModel> editor;
    ComparisonPanel *panel = nullptr;
    QImage image;

    CompareEditor()
    {
        QStandardPaths::setTestModeEnabled(true);
        ResetProgramState();
        ResetTestCenterState();
        MemoryTree tree;
        gFMSets = ReadLibrary(DefaultLibraryBytes(), tree).sets;
        editor = std::make_unique<frmEditModel>(&owner, &prompts);
        editor->Open(gFMSets->Item(1)->FuelModels()->Item(10), true); // FM11
        editor->resize(1280, 860);
        panel = editor->findChild<ComparisonPanel *>();
        editor->tabResults()->setCurrentWidget(panel);
        QCoreApplication::processEvents();
        image = QImage(panel->size(), QImage::Format_ARGB32_Premultiplied);
    }

    void paint()
    {
        QCoreApplication::processEvents();
        QPainter p(&image);
        panel->render(&p);
    }
};

void BM_ComputeWithCompareTabShown(benchmark::State &state)
{
    CompareEditor e;
    for (auto _ : state) {
        e.editor->Compute();
        e.paint();
    }
    state.counters["rows"] = double(e.panel->TableView()->model()->rowCount());
}
BENCHMARK(BM_ComputeWithCompareTabShown)->Unit(benchmark::kMillisecond);

void BM_RedrawComparison(benchmark::State &state)
{
    CompareEditor e;
    e.panel->Recompute();
    for (auto _ : state) {
        e.panel->ShowComparison();
        e.paint();
    }
}
BENCHMARK(BM_RedrawComparison)->Unit(benchmark::kMillisecond);

} // namespace
