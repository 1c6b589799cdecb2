#include "analysis/ui/CharacteristicsPanel.h"

#include "analysis/RoundTicks.h"
#include "analysis/ui/ChartExport.h"
#include "analysis/ui/ChartReadout.h"
#include "analysis/ui/ChartStyle.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "units/UnitSetting.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>

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

    m_exporter = new ChartExporter(this, m_view, [this] { return Table(); }, QStringLiteral("fire-characteristics"));
    connect(cmdExport, &QPushButton::clicked, m_exporter, &ChartExporter::ExportWithDialog);
    connect(cmdCopy, &QPushButton::clicked, m_exporter, &ChartExporter::Copy);
}

void CharacteristicsPanel::Refresh(const AnalysisInputs &inputs)
{
    m_points.clear();
    m_editedSet = inputs.editedSet;
    m_referenceSet = inputs.referenceSet;
    m_points.push_back(CharacteristicPointOf(
        inputs.edited, inputs.editedId.isEmpty() ? QStringLiteral("Edited") : inputs.editedId + QStringLiteral(" (edited)"),
        QStringLiteral("Edited")));
    if (inputs.hasReference)
        m_points.push_back(
            CharacteristicPointOf(inputs.reference, QStringLiteral("Ref: ") + inputs.referenceId, QStringLiteral("Reference")));
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

    m_chart->removeAllSeries();
    const Units::System system = shownSystem();
    SetAxisTitle(m_axisX, QStringLiteral("Heat per unit area"), Units::UnitLabel(Quantity::HeatPerUnitArea, system));
    SetAxisTitle(m_axisY, QStringLiteral("Rate of spread"), Units::UnitLabel(Quantity::RateOfSpread, system));
    QPen curvePen(QColor(120, 120, 120), 1.2, Qt::DashLine);
    for (const CharacteristicCurve &c : CharacteristicCurves(xMax / 400, xMax, yMax, 150, system)) {
        auto *line = new QLineSeries;
        line->setName(c.label);
        line->setPen(curvePen);
        QList<QPointF> pts;
        for (std::size_t i = 0; i < c.heat.size(); ++i)
            pts.append(shownPoint(c.heat[i], c.ros[i]));
        line->replace(pts);
        m_chart->addSeries(line);
        line->attachAxis(m_axisX);
        line->attachAxis(m_axisY);
        // The curve's name where it crosses the chart's diagonal: the hyperbolas of rate of
        // spread = k / heat meet it at heat = sqrt(k xMax / yMax), spaced apart as sqrt(k).
        auto *label = new QScatterSeries;
        label->setName(c.label);
        label->setMarkerSize(1);
        label->setColor(Qt::transparent);
        label->setBorderColor(Qt::transparent);
        const double k = RateOfSpreadAtIntensity(c.intensity, 1);
        const double labelX = std::clamp(std::sqrt(k * xMax / yMax), c.heat.front(), xMax * 0.9);
        label->append(shownPoint(labelX, RateOfSpreadAtIntensity(c.intensity, labelX)));
        label->setPointLabelsVisible(true);
        label->setPointLabelsFormat(c.label);
        label->setPointLabelsColor(QColor(90, 90, 90));
        m_chart->addSeries(label);
        label->attachAxis(m_axisX);
        label->attachAxis(m_axisY);
    }
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const CharacteristicPoint &p = m_points[i];
        auto *dot = new QScatterSeries;
        dot->setName(p.label);
        dot->setProperty("point", int(i));
        if (p.role == QLatin1String("Edited")) {
            dot->setColor(CurveColour(0));
            dot->setMarkerSize(13);
        } else if (p.role == QLatin1String("Reference")) {
            dot->setColor(CurveColour(1));
            dot->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            dot->setMarkerSize(12);
        } else {
            dot->setColor(QColor(70, 70, 70));
            dot->setMarkerSize(8);
        }
        dot->setBorderColor(Qt::black);
        dot->append(shownPoint(p.heatPerUnitArea, p.rateOfSpread));
        dot->setPointLabelsVisible(true);
        dot->setPointLabelsFormat(p.label);
        dot->setPointLabelsClipping(false);
        m_chart->addSeries(dot);
        dot->attachAxis(m_axisX);
        dot->attachAxis(m_axisY);
    }
    // Curve labels and plot numbers are on the chart; the legend only names the two models.
    const auto markers = m_chart->legend()->markers();
    for (QLegendMarker *m : markers) {
        const QVariant p = m->series()->property("point");
        m->setVisible(p.isValid() && m_points[std::size_t(p.toInt())].role != QLatin1String("Plot"));
    }
    const QPointF corner = shownPoint(xMax, yMax);
    SetRoundAxisFromZero(m_axisX, corner.x(), 6);
    SetRoundAxisFromZero(m_axisY, corner.y(), 6);
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
