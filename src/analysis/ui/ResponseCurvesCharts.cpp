#include "analysis/ui/ResponseCurvesPanel.h"

#include "analysis/CurveLabels.h"
#include "data/CsvTable.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/Presets.h"
#include "units/UnitSetting.h"
#include "widgets/ChartStyle.h"

#include <QAreaSeries>
#include <QChart>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

// The drawing of the response curves: each curve's line, its current environment and wind
// limit marks, the legend and status, the uncertainty bands (computed off the window's thread)
// and the text of a point under the mouse.

void ResponseCurvesPanel::requestBands()
{
    if (!m_chkBands->isChecked() || m_bandInputs.empty()) {
        m_bandPending.reset();
        const bool hadBands = !m_bands.empty();
        m_bands.clear();
        m_bandStatus->setText(m_chkBands->isChecked()
                                  ? QStringLiteral("No input varies: tick inputs in the Uncertainty tab "
                                                   "to see bands.")
                                  : QString());
        drawBands();
        if (hadBands)
            redraw();
        return;
    }
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = Units::UnitSetting::instance().system();
    BandRequest request;
    request.point = PointOfSpread(m_inputs.edited, m_inputs.windAdjustment);
    request.inputs = m_bandInputs;
    request.swept = *FindInput(info.key);
    const double from = Units::ToEnglish(info.quantity, system, m_from->value());
    const double to = Units::ToEnglish(info.quantity, system, m_to->value());
    for (int i = 0; i < kBandPoints; ++i)
        request.xs.push_back(from + (to - from) * i / (kBandPoints - 1));
    request.options.draws = kBandDraws;
    request.options.deadCorrelation = request.options.liveCorrelation = m_bandCorrelation;
    request.options.threads = ComputeThreads();
    m_bandPending = std::move(request);
    for (const auto &chart : m_bandAreas)
        for (QAreaSeries *area : chart)
            area->setOpacity(0.4);
    if (!m_bandWatcher.isRunning())
        startBands();
}

void ResponseCurvesPanel::startBands()
{
    if (!m_bandPending)
        return;
    auto request = std::make_shared<BandRequest>(std::move(*m_bandPending));
    m_bandPending.reset();
    m_bandWatcher.setFuture(QtConcurrent::run([request] {
        BandOutcome out;
        out.swept = request->swept;
        ComputeResponseBands(request->point, request->inputs, request->swept, request->xs, request->options, &out.bands,
                             &out.problem);
        return out;
    }));
}

void ResponseCurvesPanel::bandsDone()
{
    if (m_bandPending) {
        // Already out of date: the newest entries are computed instead.
        startBands();
        return;
    }
    const BandOutcome out = m_bandWatcher.result();
    // Bands of an input no longer swept wait for the next refresh.
    if (!m_chkBands->isChecked() || m_bandInputs.empty() || !(out.swept == *FindInput(SweepInputInfoOf(Input()).key)))
        return;
    m_bands = out.bands;
    m_bandStatus->setText(out.problem.empty()
                              ? QStringLiteral("Bands: 5-95 % and 25-75 % of the edited model over %1 draws of the "
                                               "inputs ticked in the Uncertainty tab.")
                                    .arg(kBandDraws)
                              : QStringLiteral("No bands: ") + QString::fromStdString(out.problem));
    drawBands();
    redraw();
    emit BandsShown();
}

void ResponseCurvesPanel::drawBands()
{
    const SweepInputInfo &info = SweepInputInfoOf(Input());
    const Units::System system = Units::UnitSetting::instance().system();
    QColor colour = CurveColour(0);
    for (std::size_t k = 0; k < CurveOutputs().size(); ++k) {
        const Units::Quantity quantity = CurveOutputs()[k].quantity;
        for (std::size_t b = 0; b < 2; ++b) {
            // Outer band 5 to 95 % (quantiles 0 and 3), inner 25 to 75 % (1 and 2).
            const int low = b == 0 ? 0 : 1, high = b == 0 ? 3 : 2;
            QList<QPointF> upper, lower;
            for (const BandPoint &p : m_bands) {
                if (p.computed == 0)
                    continue;
                const double x = Units::FromEnglish(info.quantity, system, p.x);
                upper.append(QPointF(x, Units::FromEnglish(quantity, system, p.Quantile(BandOutput(k), high))));
                lower.append(QPointF(x, Units::FromEnglish(quantity, system, p.Quantile(BandOutput(k), low))));
            }
            QAreaSeries *area = m_bandAreas[k][b];
            area->upperSeries()->replace(upper);
            area->lowerSeries()->replace(lower);
            colour.setAlpha(b == 0 ? 45 : 90);
            area->setBrush(colour);
            area->setOpacity(1);
            area->setVisible(!upper.isEmpty());
        }
    }
}

ResponseCurvesPanel::CurveSeries &ResponseCurvesPanel::seriesOf(std::size_t chart, std::size_t curve)
{
    std::vector<CurveSeries> &pool = m_series[chart];
    while (pool.size() <= curve) {
        // Created once per curve and chart, then only refilled: a redraw on every keystroke must
        // not rebuild the chart's items.
        CurveSeries s;
        s.line = new QLineSeries;
        s.current = new QScatterSeries;
        s.current->setName(QStringLiteral("Current environment"));
        s.current->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        s.current->setMarkerSize(9);
        s.current->setBorderColor(Qt::black);
        s.current->setProperty("marker", true);
        s.limit = new QScatterSeries;
        s.limit->setName(QStringLiteral("Wind limit reached"));
        s.limit->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        s.limit->setMarkerSize(10);
        s.limit->setColor(Qt::white);
        s.limit->setProperty("marker", true);
        for (QXYSeries *x : {static_cast<QXYSeries *>(s.line), static_cast<QXYSeries *>(s.current),
                             static_cast<QXYSeries *>(s.limit)}) {
            x->setProperty("curve", int(pool.size()));
            m_charts[chart]->addSeries(x);
            x->attachAxis(m_axisX[chart]);
            x->attachAxis(m_axisY[chart]);
        }
        pool.push_back(s);
    }
    return pool[curve];
}

void ResponseCurvesPanel::dropSeriesFrom(std::size_t chart, std::size_t count)
{
    std::vector<CurveSeries> &pool = m_series[chart];
    while (pool.size() > count) {
        const CurveSeries s = pool.back();
        pool.pop_back();
        for (QAbstractSeries *x : {static_cast<QAbstractSeries *>(s.line), static_cast<QAbstractSeries *>(s.current),
                                   static_cast<QAbstractSeries *>(s.limit)}) {
            m_charts[chart]->removeSeries(x);
            delete x;
        }
    }
}

void ResponseCurvesPanel::redraw()
{
    const SweepInput input = Input();
    const SweepInputInfo &info = SweepInputInfoOf(input);
    const Units::System system = Units::UnitSetting::instance().system();
    const auto shownX = [&](double x) { return Units::FromEnglish(info.quantity, system, x); };
    const double current = SweptInputValue(m_inputs.edited, input);
    QStringList legend;
    QStringList limits;
    const auto shownValue = [&](const CurveOutput &o, const SweepPoint &p) {
        return Units::FromEnglish(o.quantity, system, p.*o.value);
    };
    for (std::size_t k = 0; k < CurveOutputs().size(); ++k) {
        const CurveOutput &output = CurveOutputs()[k];
        dropSeriesFrom(k, m_curves.size());
        double yMax = 0;
        for (std::size_t c = 0; c < m_curves.size(); ++c) {
            const ModelCurve &curve = m_curves[c];
            CurveSeries &series = seriesOf(k, c);
            const QColor colour = CurveColour(int(c));
            const QString name = CurveName(curve);
            if (series.line->name() != name)
                series.line->setName(name);
            QPen pen(colour, c == 0 ? 2.5 : 1.8);
            if (curve.role == QLatin1String("Reference"))
                pen.setStyle(Qt::DashLine);
            if (series.line->pen() != pen)
                series.line->setPen(pen);
            QList<QPointF> pts;
            pts.reserve(qsizetype(curve.points.size()));
            for (const SweepPoint &p : curve.points) {
                const double y = shownValue(output, p);
                pts.append(QPointF(shownX(p.x), y));
                yMax = std::max(yMax, y);
            }
            series.line->replace(pts);

            // The current environment on this curve: the nearest swept point carries the values
            // the readout shows.
            QList<QPointF> mark;
            if (const auto nearest = NearestSweepPoint(curve.points, current)) {
                const SweepPoint &p = curve.points[*nearest];
                mark.append(QPointF(shownX(p.x), shownValue(output, p)));
                series.current->setProperty("pointIndex", int(*nearest));
            }
            if (series.current->color() != colour)
                series.current->setColor(colour);
            series.current->replace(mark);

            QList<QPointF> limit;
            if (const auto at = WindLimitReachedAt(curve.points)) {
                const auto it = std::find_if(curve.points.begin(), curve.points.end(),
                                             [&](const SweepPoint &p) { return p.x == *at; });
                limit.append(QPointF(shownX(*at), shownValue(output, *it)));
                series.limit->setProperty("pointIndex", int(it - curve.points.begin()));
                if (k == 0)
                    limits << QStringLiteral("%1 at %2 %3")
                                  .arg(name, TableNumber(shownX(*at), 1), Units::UnitLabel(info.quantity, system));
            }
            if (series.limit->borderColor() != colour)
                series.limit->setBorderColor(colour);
            series.limit->replace(limit);

            if (k == 0)
                // A name never breaks inside itself: the legend wraps between entries only.
                legend << QStringLiteral("<span style=\"color:%1\">%2</span>&nbsp;%3")
                              .arg(colour.name(),
                                   curve.role == QLatin1String("Reference") ? QStringLiteral("&#9472;&nbsp;&#9472;")
                                                                            : QStringLiteral("&#9473;&#9473;&#9473;"),
                                   name.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;")));
        }
        for (const BandPoint &p : m_bands)
            if (p.computed > 0)
                yMax = std::max(yMax, Units::FromEnglish(output.quantity, system, p.Quantile(BandOutput(k), 3)));
        SetRoundAxis(m_axisX[k], m_from->value(), std::max(m_to->value(), m_from->value() + 0.1), 6);
        SetRoundAxisFromZero(m_axisY[k], yMax * 1.05, 5);
    }
    if (!m_bands.empty())
        legend << QStringLiteral("<span style=\"color:%1\">&#9619;</span>&nbsp;25-75&nbsp;%&nbsp;and&nbsp;"
                                 "<span style=\"color:%2\">&#9617;</span>&nbsp;5-95&nbsp;%&nbsp;(uncertainty)")
                      .arg(CurveColour(0).name(), CurveColour(0).lighter(150).name());
    legend << QStringLiteral("&#9679;&nbsp;current environment") << QStringLiteral("&#9633;&nbsp;wind limit reached");
    const QString legendText = legend.join(QStringLiteral("&nbsp;&nbsp; "));
    if (m_legend->text() != legendText)
        m_legend->setText(legendText);
    const QString status = limits.isEmpty()
        ? QStringLiteral("The wind limit is not reached in this range.")
        : QStringLiteral("Wind limit reached: ") + limits.join(QStringLiteral("; "));
    if (m_status->text() != status)
        m_status->setText(status);
}

QString ResponseCurvesPanel::pointText(int curve, int index) const
{
    if (curve < 0 || curve >= int(m_curves.size()) || index < 0)
        return QString();
    return CurvePointText(m_curves[std::size_t(curve)], std::size_t(index), Input(),
                          Units::UnitSetting::instance().system());
}
