#include "calibration/ui/CalibrationCharts.h"

#include "widgets/ChartStyle.h"

#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QScatterSeries>

#include <algorithm>
#include <cmath>

using Units::Quantity;

void DrawPredictedChart(QChartView *view, const QList<QPair<QString, std::vector<QPointF>>> &series, Units::System s)
{
    auto *chart = new QChart;
    ApplyChartStyle(chart);
    double lo = HUGE_VAL, hi = 0;
    for (const auto &[name, points] : series)
        for (const QPointF &p : points)
            for (double v : {p.x(), p.y()})
                if (v > 0) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
    if (!(hi > 0)) {
        lo = 0.1;
        hi = 100;
    }
    lo = std::pow(10, std::floor(std::log10(lo / 1.5)));
    hi = std::pow(10, std::ceil(std::log10(hi * 1.5)));
    auto *x = new QLogValueAxis, *y = new QLogValueAxis;
    for (QLogValueAxis *axis : {x, y}) {
        axis->setRange(lo, hi);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(-1);
    }
    const QString unit = Units::UnitLabel(Quantity::RateOfSpread, s);
    SetAxisTitle(x, QStringLiteral("Observed rate of spread"), unit);
    SetAxisTitle(y, QStringLiteral("Predicted rate of spread"), unit);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto line = [&](double factor, const QString &name, Qt::PenStyle style) {
        auto *l = new QLineSeries;
        l->setName(name);
        l->append(lo, lo * factor);
        l->append(hi, hi * factor);
        QPen pen(Qt::darkGray);
        pen.setStyle(style);
        l->setPen(pen);
        chart->addSeries(l);
        l->attachAxis(x);
        l->attachAxis(y);
        return l;
    };
    line(1, QStringLiteral("1:1"), Qt::SolidLine);
    line(1.35, QStringLiteral("+/-35 %"), Qt::DashLine);
    QLineSeries *lower = line(0.65, QString(), Qt::DashLine);
    for (const auto &[name, points] : series) {
        auto *scatter = new QScatterSeries;
        scatter->setName(name);
        scatter->setMarkerSize(8);
        for (const QPointF &p : points)
            if (p.x() > 0 && p.y() > 0)
                scatter->append(p);
        chart->addSeries(scatter);
        scatter->attachAxis(x);
        scatter->attachAxis(y);
    }
    // The lower band line shares the upper one's legend entry.
    for (QLegendMarker *m : chart->legend()->markers(lower))
        m->setVisible(false);
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
}

std::vector<QPointF> PredictedPoints(const std::vector<Prediction> &predictions, const Observations &obs,
                                     Units::System s)
{
    std::vector<QPointF> points;
    for (qsizetype i = 0; i < obs.size() && size_t(i) < predictions.size(); ++i)
        points.emplace_back(Units::FromEnglish(Quantity::RateOfSpread, s, obs[i].ros),
                            Units::FromEnglish(Quantity::RateOfSpread, s, predictions[size_t(i)].ros));
    return points;
}
