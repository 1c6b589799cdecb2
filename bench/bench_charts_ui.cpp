// One Plot in the Edit and Test Center with 100 plots already in the history: the click on
// "Plot" (entry checks, Compute, append, PlotCharts) until all four charts are drawn again.
// Each chart is rendered into an image, so the hidden tabs are drawn as well as the shown one.
//   build/bench/bench_charts_ui --benchmark_min_time=2
#include "support/EditorFixture.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/ui/EditorCharts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QPainter>
#include <QPushButton>

namespace {

void drawCharts(const std::vector<QChartView *> &views, std::vector<QImage> &images)
{
    QCoreApplication::processEvents(); // the charts lay themselves out for the new rows
    for (std::size_t k = 0; k < views.size(); ++k) {
        QPainter p(&images[k]);
        views[k]->render(&p);
    }
}

void BM_PlotWithFullHistory(benchmark::State &state)
{
    TestLibrary lib;
    ResetChartState();
    ScriptedPrompts prompts;
    FakeOwner owner;
    frmEditModel editor(&owner, &prompts);
    editor.Open(lib.shortGrass, true);
    editor.resize(1280, 760);
    auto *plot = editor.findChild<QPushButton *>(QStringLiteral("cmdPlot"));
    for (int i = 0; i < 100; ++i) {
        editor.SetEntryText(2, QString::number(0.5 + 0.01 * i));
        plot->click();
    }
    std::vector<QChartView *> views;
    std::vector<QImage> images;
    for (int k = 0; k < 4; ++k) {
        views.push_back(editor.findChild<QChartView *>(QStringLiteral("chtFB_%1").arg(k)));
        images.emplace_back(views.back()->size(), QImage::Format_ARGB32_Premultiplied);
    }
    drawCharts(views, images);

    for (auto _ : state) {
        plot->click();
        drawCharts(views, images);
        state.PauseTiming();
        // Back to a history of 100.
        gChartState.CurrentPlotHistory.pop_back();
        gChartState.ReferencePlotHistory.pop_back();
        state.ResumeTiming();
    }
    state.counters["history"] = double(gChartState.Count());
}
BENCHMARK(BM_PlotWithFullHistory)->Unit(benchmark::kMillisecond);

} // namespace
