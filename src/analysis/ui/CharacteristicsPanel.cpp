#include "analysis/ui/CharacteristicsPanel.h"

#include "analysis/RoundTicks.h"
#include "analysis/ui/ChartExport.h"
#include "analysis/ui/ChartReadout.h"
#include "analysis/ui/ChartStyle.h"
#include "analysis/ui/ResponseCurvesPanel.h"

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

namespace {

// Only the newest plots get a point; a long history would bury the chart.
constexpr std::size_t kMaxPlots = 60;

} // namespace

CharacteristicsPanel::CharacteristicsPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlFireCharacteristics"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addStretch();
    auto *cmdExport = new QPushButton(QStringLiteral("E&xport..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExportCharacteristics"));
    auto *cmdCopy = new QPushButton(QStringLiteral("Cop&y"), this);
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
    SetAxisTitle(m_axisX, QStringLiteral("Heat per unit area"), QStringLiteral("btu/ft2"));
    SetAxisTitle(m_axisY, QStringLiteral("Rate of spread"), QStringLiteral("ch/h"));
    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chtFireCharacteristics"));
    m_view->setAccessibleName(QStringLiteral("Fire characteristics chart"));
    MakeChartGrow(m_view, QSize(520, 380));
    m_readout = new ChartReadout(m_view);
    m_readout->SetPointFormatter([this](QXYSeries *s, int index) {
        const QVariant p = s->property("point");
        if (p.isValid()) {
            const CharacteristicPoint &c = m_points[std::size_t(p.toInt())];
            return QStringLiteral("%1\nHeat per unit area: %2 btu/ft2\nRate of spread: %3 ch/h\n"
                                  "Flame length: %4 ft\nFireline intensity: %5 btu/ft/s")
                .arg(c.label, TableNumber(c.heatPerUnitArea, 0), TableNumber(c.rateOfSpread, 1),
                     TableNumber(c.flameLength, 1), TableNumber(c.fireLineIntensity, 0));
        }
        const QPointF v = s->at(index);
        return QStringLiteral("%1\nHeat per unit area: %2 btu/ft2\nRate of spread: %3 ch/h")
            .arg(s->name(), TableNumber(v.x(), 0), TableNumber(v.y(), 1));
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
    QPen curvePen(QColor(120, 120, 120), 1.2, Qt::DashLine);
    for (const CharacteristicCurve &c : CharacteristicCurves(xMax / 400, xMax, yMax, 150)) {
        auto *line = new QLineSeries;
        line->setName(c.label);
        line->setPen(curvePen);
        QList<QPointF> pts;
        for (std::size_t i = 0; i < c.heat.size(); ++i)
            pts.append(QPointF(c.heat[i], c.ros[i]));
        line->replace(pts);
        m_chart->addSeries(line);
        line->attachAxis(m_axisX);
        line->attachAxis(m_axisY);
        // The curve's name where it crosses the upper part of the chart.
        auto *label = new QScatterSeries;
        label->setName(c.label);
        label->setMarkerSize(1);
        label->setColor(Qt::transparent);
        label->setBorderColor(Qt::transparent);
        const double y = std::min(yMax * 0.85, c.ros.front());
        const double x = RateOfSpreadAtIntensity(c.intensity, y);
        label->append(std::min(x, xMax * 0.92), RateOfSpreadAtIntensity(c.intensity, std::min(x, xMax * 0.92)));
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
        dot->append(p.heatPerUnitArea, p.rateOfSpread);
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
    SetRoundAxis(m_axisX, 0, xMax, 6);
    SetRoundAxis(m_axisY, 0, yMax, 6);
}

CsvTable CharacteristicsPanel::Table() const
{
    CsvTable t;
    t.header = {QStringLiteral("Point"),
                QStringLiteral("Set"),
                QStringLiteral("ID"),
                QStringLiteral("Heat per unit area (btu/ft2)"),
                QStringLiteral("Rate of spread (ch/h)"),
                QStringLiteral("Flame length (ft)"),
                QStringLiteral("Fireline intensity (btu/ft/s)")};
    for (const CharacteristicPoint &p : m_points) {
        QString set, id;
        if (p.role == QLatin1String("Edited"))
            set = m_editedSet, id = p.label.section(u' ', 0, 0);
        else if (p.role == QLatin1String("Reference"))
            set = m_referenceSet, id = p.label.mid(5);
        t.rows << QStringList{p.role == QLatin1String("Plot") ? QStringLiteral("Plot ") + p.label : p.role,
                              set,
                              id,
                              TableNumber(p.heatPerUnitArea, 1),
                              TableNumber(p.rateOfSpread, 1),
                              TableNumber(p.flameLength, 2),
                              TableNumber(p.fireLineIntensity, 1)};
    }
    return t;
}
