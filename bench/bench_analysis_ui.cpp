// Redrawing the analysis panels after a change of the entries, compute included: the
// response curves with 7 models x 200 points (four charts), the sensitivity bars and the fire
// characteristics chart, each rendered into an image as the screen would draw it.
//   build/bench/bench_analysis_ui --benchmark_min_time=1
#include "analysis/AnalysisInputs.h"
#include "analysis/ui/CharacteristicsPanel.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "analysis/ui/SensitivityPanel.h"
#include "data/FuelModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QValueAxis>

namespace {

AnalysisInputs inputs(double load)
{
    AnalysisInputs in;
    FireSpread &fs = in.edited;
    fs.setLoading1Hour(load);
    fs.setLoading10Hour(0.2);
    fs.setLoadingLiveHerb(1.5);
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
    in.editedId = QStringLiteral("E1");
    in.hasReference = true;
    in.reference = fs;
    in.reference.setLoading1Hour(0.8);
    in.referenceId = QStringLiteral("R1");
    in.windAdjustment = 0.4;
    for (int i = 0; i < 20; ++i) {
        CharacteristicPoint p;
        p.label = QString::number(i + 1);
        p.role = QStringLiteral("Plot");
        p.heatPerUnitArea = 300 + 20 * i;
        p.rateOfSpread = 10 + i;
        in.plots.push_back(p);
    }
    return in;
}

// A full redraw after a change: the posted layout of the charts, then the whole widget, every
// chart included, painted into an image of its size. The widget is never mapped: a mapped one
// (even offscreen) also paints its changes into its backing store in processEvents(), and
// every redraw would be counted twice.
void render(QWidget *w, QImage &image)
{
    QCoreApplication::processEvents();
    QPainter p(&image);
    w->render(&p);
}

void BM_RedrawResponseCurves(benchmark::State &state)
{
    ResponseCurvesPanel panel;
    panel.resize(1180, 700);
    std::vector<PickedModel> library;
    for (int i = 0; i < 5; ++i) {
        auto m = std::make_shared<FuelModel>();
        m->setFuelModelID(QStringLiteral("L%1").arg(i));
        m->setLoading1Hour(0.3 + 0.2 * i);
        m->setLoadingLiveHerb(1);
        m->setSurfaceToVolume1Hour(2000);
        m->setSurfaceToVolumeLiveHerb(1800);
        m->setHeatContentDead(8000);
        m->setHeatContentLiveHerb(8000);
        m->setBulkDensityDepth(1);
        m->setMoistureOfExtinction(20);
        library.push_back({QStringLiteral("Set"), m});
    }
    panel.SetLibrary(library);
    auto *pick = panel.findChild<QComboBox *>(QStringLiteral("cboCurveLibraryModel"));
    auto *add = panel.findChild<QPushButton *>(QStringLiteral("cmdAddCurveModel"));
    for (int i = 0; i < 5; ++i) {
        pick->setCurrentIndex(i);
        add->click();
    }
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    double load = 0.3;
    panel.Refresh(inputs(load));
    render(&panel, image);
    for (auto _ : state) {
        load = load > 1 ? 0.3 : load + 0.01;
        panel.Refresh(inputs(load));
        render(&panel, image);
    }
    state.counters["curves"] = double(panel.Curves().size());
}
BENCHMARK(BM_RedrawResponseCurves)->Unit(benchmark::kMillisecond);

void BM_RedrawSensitivity(benchmark::State &state)
{
    SensitivityPanel panel;
    panel.resize(1180, 700);
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    double load = 0.3;
    for (auto _ : state) {
        load = load > 1 ? 0.3 : load + 0.01;
        panel.Refresh(inputs(load));
        render(&panel, image);
    }
}
BENCHMARK(BM_RedrawSensitivity)->Unit(benchmark::kMillisecond);

void BM_RedrawFireCharacteristics(benchmark::State &state)
{
    CharacteristicsPanel panel;
    panel.resize(1180, 700);
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    double load = 0.3;
    for (auto _ : state) {
        load = load > 1 ? 0.3 : load + 0.01;
        panel.Refresh(inputs(load));
        render(&panel, image);
    }
}
BENCHMARK(BM_RedrawFireCharacteristics)->Unit(benchmark::kMillisecond);

// What the redraw is made of, to see where its time goes: the same panels painted without a
// change (the paint alone), refreshed without painting (compute and series update), and the
// floor of any chart of that size: QChartViews of the same size and layout with empty charts
// (title, axes with their ticks and labels, no series).
template <class Panel> void paintOnly(benchmark::State &state)
{
    Panel panel;
    panel.resize(1180, 700);
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    panel.Refresh(inputs(0.5));
    render(&panel, image);
    for (auto _ : state)
        render(&panel, image);
}

template <class Panel> void refreshOnly(benchmark::State &state)
{
    Panel panel;
    panel.resize(1180, 700);
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    panel.Refresh(inputs(0.5));
    render(&panel, image);
    double load = 0.3;
    for (auto _ : state) {
        load = load > 1 ? 0.3 : load + 0.01;
        panel.Refresh(inputs(load));
        QCoreApplication::processEvents();
    }
}

void BM_PaintOnlySensitivity(benchmark::State &state)
{
    paintOnly<SensitivityPanel>(state);
}
void BM_PaintOnlyFireCharacteristics(benchmark::State &state)
{
    paintOnly<CharacteristicsPanel>(state);
}
void BM_RefreshOnlySensitivity(benchmark::State &state)
{
    refreshOnly<SensitivityPanel>(state);
}
void BM_RefreshOnlyFireCharacteristics(benchmark::State &state)
{
    refreshOnly<CharacteristicsPanel>(state);
}
BENCHMARK(BM_PaintOnlySensitivity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOnlyFireCharacteristics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshOnlySensitivity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshOnlyFireCharacteristics)->Unit(benchmark::kMillisecond);

// Empty charts: rows x columns views sharing a 1180 x 700 widget, antialiased like the panels.
void BM_PaintEmptyCharts(benchmark::State &state)
{
    const int rows = int(state.range(0)), columns = int(state.range(1));
    QWidget host;
    host.resize(1180, 700);
    auto *grid = new QGridLayout(&host);
    for (int i = 0; i < rows * columns; ++i) {
        auto *chart = new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->setTitle(QStringLiteral("Chart"));
        auto *x = new QValueAxis;
        auto *y = new QValueAxis;
        x->setTitleText(QStringLiteral("x (unit)"));
        y->setTitleText(QStringLiteral("y (unit)"));
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        auto *view = new QChartView(chart, &host);
        view->setRenderHint(QPainter::Antialiasing);
        grid->addWidget(view, i / columns, i % columns);
    }
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    render(&host, image);
    for (auto _ : state)
        render(&host, image);
}
BENCHMARK(BM_PaintEmptyCharts)->Args({1, 1})->Args({1, 2})->Args({2, 2})->Unit(benchmark::kMillisecond);

} // namespace
