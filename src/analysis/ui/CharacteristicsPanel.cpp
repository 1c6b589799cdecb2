#include "analysis/ui/CharacteristicsPanel.h"

#include "analysis/RoundTicks.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Only the newest plots get a point; a long history would bury the chart.
constexpr std::size_t kMaxPlots = 60;

using Units::Quantity;

Units::System shownSystem()
{
    return Units::UnitSetting::instance().system();
}

// A point of the chart in the units shown.
QPointF shownPoint(double heat, double ros)
{
    const Units::System s = shownSystem();
    return {Units::FromEnglish(Quantity::HeatPerUnitArea, s, heat), Units::FromEnglish(Quantity::RateOfSpread, s, ros)};
}

QString shownText(Quantity q, double english)
{
    return Units::FormatResult(q, shownSystem(), english) + QLatin1Char(' ') + Units::UnitLabel(q, shownSystem());
}

} // namespace

CharacteristicsPanel::CharacteristicsPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlFireCharacteristics"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addStretch();
    auto *cmdExport = new QPushButton(QStringLiteral("Expo&rt..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExportCharacteristics"));
    auto *cmdCopy = new QPushButton(QStringLiteral("C&opy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopyCharacteristics"));
    top->addWidget(cmdExport);
    top->addWidget(cmdCopy);
    layout->addLayout(top);

    m_chart = new QChart;
    ApplyChartStyle(m_chart);
    m_chart->setTitle(QStringLiteral("Fire characteristics"));
    m_axisX = new QValueAxis(m_chart);
    m_axisY = new QValueAxis(m_chart);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chtFireCharacteristics"));
    m_view->setAccessibleName(QStringLiteral("Fire characteristics chart"));
    MakeChartGrow(m_view, QSize(520, 380));
    m_readout = new ChartReadout(m_view);
    m_readout->SetPointFormatter([this](QXYSeries *s, int index) {
        const QVariant p = s->property("point");
        if (p.isValid()) {
            const CharacteristicPoint &c = m_points[std::size_t(p.toInt())];
            return QStringLiteral("%1\nHeat per unit area: %2\nRate of spread: %3\nFlame length: %4\n"
                                  "Fireline intensity: %5")
                .arg(c.label, shownText(Quantity::HeatPerUnitArea, c.heatPerUnitArea),
                     shownText(Quantity::RateOfSpread, c.rateOfSpread), shownText(Quantity::FlameLength, c.flameLength),
                     shownText(Quantity::FirelineIntensity, c.fireLineIntensity));
        }
        const QPointF v = s->at(index);
        const Units::System sys = shownSystem();
        return QStringLiteral("%1\nHeat per unit area: %2 %3\nRate of spread: %4 %5")
            .arg(s->name(), TableNumber(v.x(), 0), Units::UnitLabel(Quantity::HeatPerUnitArea, sys),
                 TableNumber(v.y(), 2), Units::UnitLabel(Quantity::RateOfSpread, sys));
    });
    layout->addWidget(m_view, 1);

    m_exporter = new ChartExporter(
        this, m_view, [this] { return Table(); }, QStringLiteral("fire-characteristics"));
    connect(cmdExport, &QPushButton::clicked, m_exporter, &ChartExporter::ExportWithDialog);
    connect(cmdCopy, &QPushButton::clicked, m_exporter, &ChartExporter::Copy);
}

void CharacteristicsPanel::Refresh(const AnalysisInputs &inputs)
{
    m_points.clear();
    m_editedSet = inputs.editedSet;
    m_referenceSet = inputs.referenceSet;
    m_points.push_back(CharacteristicPointOf(inputs.edited,
                                             inputs.editedId.isEmpty() ? QStringLiteral("Edited")
                                                                       : inputs.editedId + QStringLiteral(" (edited)"),
                                             QStringLiteral("Edited")));
    if (inputs.hasReference)
        m_points.push_back(CharacteristicPointOf(inputs.reference, QStringLiteral("Ref: ") + inputs.referenceId,
                                                 QStringLiteral("Reference")));
    const std::size_t first = inputs.plots.size() > kMaxPlots ? inputs.plots.size() - kMaxPlots : 0;
    for (std::size_t i = first; i < inputs.plots.size(); ++i)
        m_points.push_back(inputs.plots[i]);

    double xMax = 0, yMax = 0;
    for (const CharacteristicPoint &p : m_points) {
        xMax = std::max(xMax, p.heatPerUnitArea);
        yMax = std::max(yMax, p.rateOfSpread);
    }
    // Room around the points; an empty chart still shows the usual ranges.
    xMax = RoundAxisMaximum(std::max(xMax * 1.2, 500.0), 6);
    yMax = RoundAxisMaximum(std::max(yMax * 1.2, 10.0), 6);

    const Units::System system = shownSystem();
    SetAxisTitle(m_axisX, QStringLiteral("Heat per unit area"), Units::UnitLabel(Quantity::HeatPerUnitArea, system));
    SetAxisTitle(m_axisY, QStringLiteral("Rate of spread"), Units::UnitLabel(Quantity::RateOfSpread, system));
    // The axes first: series refilled inside the new ranges are laid out once.
    const QPointF corner = shownPoint(xMax, yMax);
    SetRoundAxisFromZero(m_axisX, corner.x(), 6);
    SetRoundAxisFromZero(m_axisY, corner.y(), 6);

    const std::vector<CharacteristicCurve> curves = CharacteristicCurves(xMax / 400, xMax, yMax, 150, system);
    while (m_curveLines.size() > curves.size()) {
        deleteSeries(m_curveLines.back());
        m_curveLines.pop_back();
        deleteSeries(m_curveLabels.back());
        m_curveLabels.pop_back();
    }
    for (std::size_t c = 0; c < curves.size(); ++c) {
        const CharacteristicCurve &curve = curves[c];
        if (c == m_curveLines.size()) {
            auto *line = new QLineSeries;
            line->setPen(QPen(QColor(120, 120, 120), 1.2, Qt::DashLine));
            addSeries(line);
            m_curveLines.push_back(line);
            auto *label = new QScatterSeries;
            label->setMarkerSize(1);
            label->setColor(Qt::transparent);
            label->setBorderColor(Qt::transparent);
            label->setPointLabelsVisible(true);
            label->setPointLabelsColor(QColor(90, 90, 90));
            addSeries(label);
            m_curveLabels.push_back(label);
        }
        QLineSeries *line = m_curveLines[c];
        setName(line, curve.label);
        QList<QPointF> pts;
        pts.reserve(qsizetype(curve.heat.size()));
        for (std::size_t i = 0; i < curve.heat.size(); ++i)
            pts.append(shownPoint(curve.heat[i], curve.ros[i]));
        line->replace(pts);
        // The curve's name where it crosses the chart's diagonal: the hyperbolas of rate of
        // spread = k / heat meet it at heat = sqrt(k xMax / yMax), spaced apart as sqrt(k).
        QScatterSeries *label = m_curveLabels[c];
        setName(label, curve.label);
        const double k = RateOfSpreadAtIntensity(curve.intensity, 1);
        const double labelX = std::clamp(std::sqrt(k * xMax / yMax), curve.heat.front(), xMax * 0.9);
        label->replace(QList<QPointF>{shownPoint(labelX, RateOfSpreadAtIntensity(curve.intensity, labelX))});
        if (label->pointLabelsFormat() != curve.label)
            label->setPointLabelsFormat(curve.label);
    }

    while (m_dots.size() > m_points.size()) {
        deleteSeries(m_dots.back());
        m_dots.pop_back();
    }
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const CharacteristicPoint &p = m_points[i];
        if (i == m_dots.size()) {
            auto *dot = new QScatterSeries;
            dot->setProperty("point", int(i));
            dot->setBorderColor(Qt::black);
            dot->setPointLabelsVisible(true);
            dot->setPointLabelsClipping(false);
            addSeries(dot);
            m_dots.push_back(dot);
        }
        QScatterSeries *dot = m_dots[i];
        setName(dot, p.label);
        QColor colour(70, 70, 70);
        auto shape = QScatterSeries::MarkerShapeCircle;
        qreal size = 8;
        if (p.role == QLatin1String("Edited")) {
            colour = CurveColour(0);
            size = 13;
        } else if (p.role == QLatin1String("Reference")) {
            colour = CurveColour(1);
            shape = QScatterSeries::MarkerShapeRectangle;
            size = 12;
        }
        if (dot->color() != colour)
            dot->setColor(colour);
        if (dot->markerShape() != shape)
            dot->setMarkerShape(shape);
        if (dot->markerSize() != size)
            dot->setMarkerSize(size);
        dot->replace(QList<QPointF>{shownPoint(p.heatPerUnitArea, p.rateOfSpread)});
        if (dot->pointLabelsFormat() != p.label)
            dot->setPointLabelsFormat(p.label);
    }
    // Curve labels and plot numbers are on the chart; the legend only names the two models.
    const auto markers = m_chart->legend()->markers();
    for (QLegendMarker *m : markers) {
        const QVariant p = m->series()->property("point");
        m->setVisible(p.isValid() && m_points[std::size_t(p.toInt())].role != QLatin1String("Plot"));
    }
}

void CharacteristicsPanel::addSeries(QAbstractSeries *series)
{
    m_chart->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
}

void CharacteristicsPanel::deleteSeries(QAbstractSeries *series)
{
    m_chart->removeSeries(series);
    delete series;
}

void CharacteristicsPanel::setName(QAbstractSeries *series, const QString &name)
{
    if (series->name() != name)
        series->setName(name);
}

CsvTable CharacteristicsPanel::Table() const
{
    CsvTable t;
    const Units::System s = shownSystem();
    t.header = {QStringLiteral("Point"),
                QStringLiteral("Set"),
                QStringLiteral("ID"),
                Units::WithUnit(QStringLiteral("Heat per unit area"), Quantity::HeatPerUnitArea, s),
                Units::WithUnit(QStringLiteral("Rate of spread"), Quantity::RateOfSpread, s),
                Units::WithUnit(QStringLiteral("Flame length"), Quantity::FlameLength, s),
                Units::WithUnit(QStringLiteral("Fireline intensity"), Quantity::FirelineIntensity, s)};
    for (const CharacteristicPoint &p : m_points) {
        QString set, id;
        if (p.role == QLatin1String("Edited"))
            set = m_editedSet, id = p.label.section(u' ', 0, 0);
        else if (p.role == QLatin1String("Reference"))
            set = m_referenceSet, id = p.label.mid(5);
        t.rows << QStringList{p.role == QLatin1String("Plot") ? QStringLiteral("Plot ") + p.label : p.role,
                              set,
                              id,
                              TableNumber(Units::FromEnglish(Quantity::HeatPerUnitArea, s, p.heatPerUnitArea), 1),
                              TableNumber(Units::FromEnglish(Quantity::RateOfSpread, s, p.rateOfSpread), 3),
                              TableNumber(Units::FromEnglish(Quantity::FlameLength, s, p.flameLength), 2),
                              TableNumber(Units::FromEnglish(Quantity::FirelineIntensity, s, p.fireLineIntensity), 1)};
    }
    return t;
}
