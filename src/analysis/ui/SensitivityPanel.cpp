#include "analysis/ui/SensitivityPanel.h"

#include "analysis/ShownResults.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor kLowColour(0x5d, 0x8a, 0xc7);
const QColor kHighColour(0xd9, 0x6c, 0x2f);

Units::System shownSystem()
{
    return Units::UnitSetting::instance().system();
}

double shown(const FuelParameter &p, double v)
{
    return Units::FromEnglish(p.quantity, shownSystem(), v * p.scale);
}

QString parameterValue(const FuelParameter &p, double v)
{
    return QStringLiteral("%1 %2").arg(TableNumber(shown(p, v), 3), Units::UnitLabel(p.quantity, shownSystem()));
}

} // namespace

SensitivityPanel::SensitivityPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlSensitivity"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("C&hange each parameter by minus and plus"), this);
    m_percent = new QSpinBox(this);
    m_percent->setObjectName(QStringLiteral("spnSensitivityPercent"));
    m_percent->setAccessibleName(QStringLiteral("Change in percent"));
    m_percent->setRange(1, 90);
    m_percent->setValue(10);
    m_percent->setSuffix(QStringLiteral(" %"));
    label->setBuddy(m_percent);
    auto *cmdExport = new QPushButton(QStringLiteral("Ex&port..."), this);
    cmdExport->setObjectName(QStringLiteral("cmdExportSensitivity"));
    auto *cmdCopy = new QPushButton(QStringLiteral("Cop&y"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopySensitivity"));
    top->addWidget(label);
    top->addWidget(m_percent);
    top->addStretch();
    top->addWidget(cmdExport);
    top->addWidget(cmdCopy);
    layout->addLayout(top);

    m_chartsArea = new QWidget(this);
    m_chartsArea->setObjectName(QStringLiteral("fraSensitivityCharts"));
    auto *area = new QVBoxLayout(m_chartsArea);
    area->setContentsMargins(0, 0, 0, 0);
    auto *charts = new QHBoxLayout;
    charts->setContentsMargins(0, 0, 0, 0);
    area->addLayout(charts, 1);
    const char *titles[] = {"Change of rate of spread", "Change of flame length"};
    for (std::size_t k = 0; k < 2; ++k) {
        m_charts[k] = new QChart;
        ApplyChartStyle(m_charts[k]);
        m_charts[k]->setTitle(QString::fromUtf8(titles[k]));
        m_axisY[k] = new QBarCategoryAxis(m_charts[k]);
        m_axisX[k] = new QValueAxis(m_charts[k]);
        m_charts[k]->addAxis(m_axisY[k], Qt::AlignLeft);
        m_charts[k]->addAxis(m_axisX[k], Qt::AlignBottom);
        SetAxisTitle(m_axisX[k], QString::fromUtf8(titles[k]), QStringLiteral("%"));
        m_views[k] = new QChartView(m_charts[k], m_chartsArea);
        m_views[k]->setObjectName(QStringLiteral("chtSensitivity_%1").arg(k));
        m_views[k]->setAccessibleName(QString::fromUtf8(titles[k]));
        MakeChartGrow(m_views[k], QSize(380, 360));
        // One series of two bar sets per chart, made here and refilled on every redraw.
        m_series[k] = new QHorizontalBarSeries;
        m_low[k] = new QBarSet(QString());
        m_high[k] = new QBarSet(QString());
        m_low[k]->setColor(kLowColour);
        m_high[k]->setColor(kHighColour);
        m_series[k]->append(m_low[k]);
        m_series[k]->append(m_high[k]);
        m_series[k]->setBarWidth(0.8);
        m_charts[k]->addSeries(m_series[k]);
        m_series[k]->attachAxis(m_axisY[k]);
        m_series[k]->attachAxis(m_axisX[k]);
        m_readouts[k] = new ChartReadout(m_views[k]);
        m_readouts[k]->AttachBars(m_series[k]);
        m_readouts[k]->SetBarFormatter([this, k](QBarSet *set, int index) { return barText(k, set, index); });
        charts->addWidget(m_views[k]);
    }
    layout->addWidget(m_chartsArea, 1);
    // Inside the charts' area, so that an exported or copied picture names the model, its
    // base values and the clamped parameters with the bars.
    m_note = new QLabel(m_chartsArea);
    m_note->setObjectName(QStringLiteral("lblSensitivityNote"));
    m_note->setWordWrap(true);
    area->addWidget(m_note);

    m_exporter = new ChartExporter(
        this, m_chartsArea, [this] { return Table(); }, QStringLiteral("sensitivity"));
    connect(cmdExport, &QPushButton::clicked, m_exporter, &ChartExporter::ExportWithDialog);
    connect(cmdCopy, &QPushButton::clicked, m_exporter, &ChartExporter::Copy);
    connect(m_percent, &QSpinBox::valueChanged, this, &SensitivityPanel::SettingsChanged);
}

void SensitivityPanel::Refresh(const AnalysisInputs &inputs)
{
    m_modelName =
        inputs.editedId.isEmpty() ? QStringLiteral("Edited model") : inputs.editedId + QStringLiteral(" (edited)");
    if (!inputs.editedSet.isEmpty())
        m_modelName += QStringLiteral(", set ") + inputs.editedSet;
    m_result = ComputeSensitivity(inputs.edited, m_percent->value());
    // The base rate of spread as the editor's result box shows it (in metric from the
    // unrounded rate, rounded once).
    m_base = inputs.edited;
    m_base.Compute();
    redraw();
}

QStringList SensitivityPanel::Categories() const
{
    // Bars are drawn from the bottom up: the list runs from the smallest effect to the largest.
    QStringList names;
    for (auto it = m_result.rows.rbegin(); it != m_result.rows.rend(); ++it) {
        QString name = QString::fromUtf8(FuelParameters()[std::size_t(it->parameter)].name);
        if (it->lowClamped || it->highClamped)
            name += QLatin1Char('*');
        names << name;
    }
    return names;
}

QString SensitivityPanel::ClampNote() const
{
    QStringList clamped;
    for (const SensitivityRow &r : m_result.rows) {
        const FuelParameter &p = FuelParameters()[std::size_t(r.parameter)];
        QStringList ends;
        if (r.lowClamped)
            ends << QStringLiteral("-%1 % held at %2").arg(m_result.percent).arg(parameterValue(p, r.low));
        if (r.highClamped)
            ends << QStringLiteral("+%1 % held at %2").arg(m_result.percent).arg(parameterValue(p, r.high));
        if (!ends.isEmpty())
            clamped << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(p.name), ends.join(QStringLiteral(", ")));
    }
    const Units::System s = shownSystem();
    QString note =
        QStringLiteral("%1. Base: %2 %3, %4 %5.")
            .arg(m_modelName, Units::FormatResult(Units::Quantity::RateOfSpread, s, RateOfSpreadToShow(m_base, s)),
                 Units::UnitLabel(Units::Quantity::RateOfSpread, s),
                 Units::FormatResult(Units::Quantity::FlameLength, s, m_result.baseFlame),
                 Units::UnitLabel(Units::Quantity::FlameLength, s));
    if (m_result.baseRos <= 0)
        note += QStringLiteral(" The model does not spread here, so no change can be shown.");
    if (!clamped.isEmpty())
        note +=
            QStringLiteral(" * Clamped to the entry's range: ") + clamped.join(QStringLiteral("; ")) + QLatin1Char('.');
    return note;
}

namespace {

// Sets the bars to the values, changing only what differs: a redraw on every keystroke keeps
// the chart's bar items instead of rebuilding them.
void setBarValues(QBarSet *set, const QList<qreal> &values)
{
    while (set->count() > values.size())
        set->remove(set->count() - 1);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i >= set->count())
            set->append(values[i]);
        else if (set->at(int(i)) != values[i])
            set->replace(int(i), values[i]);
    }
}

} // namespace

void SensitivityPanel::redraw()
{
    const QStringList categories = Categories();
    const QString minus = QStringLiteral("-%1 %").arg(m_result.percent);
    const QString plus = QStringLiteral("+%1 %").arg(m_result.percent);
    for (std::size_t k = 0; k < 2; ++k) {
        QList<qreal> low, high;
        double extent = 0;
        for (auto it = m_result.rows.rbegin(); it != m_result.rows.rend(); ++it) {
            const double l = k == 0 ? it->rosChangeLow : it->flameChangeLow;
            const double h = k == 0 ? it->rosChangeHigh : it->flameChangeHigh;
            low.append(l);
            high.append(h);
            extent = std::max({extent, std::abs(l), std::abs(h)});
        }
        if (m_low[k]->label() != minus)
            m_low[k]->setLabel(minus);
        if (m_high[k]->label() != plus)
            m_high[k]->setLabel(plus);
        setBarValues(m_low[k], low);
        setBarValues(m_high[k], high);
        if (m_axisY[k]->categories() != categories)
            m_axisY[k]->setCategories(categories);
        const double max = extent > 0 ? extent * 1.05 : 1;
        const double m = RoundAxisMaximumOrOne(max, 3);
        SetRoundAxis(m_axisX[k], -m, m, 6);
    }
    const QString note = ClampNote();
    if (m_note->text() != note)
        m_note->setText(note);
}

QString SensitivityPanel::barText(std::size_t chart, QBarSet *set, int index) const
{
    const int row = int(m_result.rows.size()) - 1 - index;
    if (row < 0 || row >= int(m_result.rows.size()))
        return QString();
    const SensitivityRow &r = m_result.rows[std::size_t(row)];
    const FuelParameter &p = FuelParameters()[std::size_t(r.parameter)];
    const bool isLow = set == m_low[chart];
    const double value = isLow ? r.low : r.high;
    const double result = chart == 0 ? (isLow ? r.rosLow : r.rosHigh) : (isLow ? r.flameLow : r.flameHigh);
    const double change = set->at(index);
    const Units::Quantity q = chart == 0 ? Units::Quantity::RateOfSpread : Units::Quantity::FlameLength;
    return QStringLiteral("%1 %2: %3%4\n%5 %6 (%7 %)")
        .arg(QString::fromUtf8(p.name), set->label(), parameterValue(p, value),
             (isLow ? r.lowClamped : r.highClamped) ? QStringLiteral(" (clamped)") : QString(),
             Units::FormatResult(q, shownSystem(), result), Units::UnitLabel(q, shownSystem()), TableNumber(change, 1));
}

CsvTable SensitivityPanel::Table() const
{
    CsvTable t;
    const Units::System s = shownSystem();
    const QString ros = Units::UnitLabel(Units::Quantity::RateOfSpread, s);
    const QString fl = Units::UnitLabel(Units::Quantity::FlameLength, s);
    t.header = {QStringLiteral("Parameter"),
                QStringLiteral("Unit"),
                QStringLiteral("Value"),
                QStringLiteral("Lowered value"),
                QStringLiteral("Lowered clamped"),
                QStringLiteral("Raised value"),
                QStringLiteral("Raised clamped"),
                QStringLiteral("Rate of spread lowered (%1)").arg(ros),
                QStringLiteral("Rate of spread raised (%1)").arg(ros),
                QStringLiteral("Rate of spread change lowered (%)"),
                QStringLiteral("Rate of spread change raised (%)"),
                QStringLiteral("Flame length lowered (%1)").arg(fl),
                QStringLiteral("Flame length raised (%1)").arg(fl),
                QStringLiteral("Flame length change lowered (%)"),
                QStringLiteral("Flame length change raised (%)")};
    const auto yesNo = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
    for (const SensitivityRow &r : m_result.rows) {
        const FuelParameter &p = FuelParameters()[std::size_t(r.parameter)];
        const auto rosValue = [&](double v) {
            return TableNumber(Units::FromEnglish(Units::Quantity::RateOfSpread, s, v));
        };
        const auto flValue = [&](double v) {
            return TableNumber(Units::FromEnglish(Units::Quantity::FlameLength, s, v));
        };
        t.rows << QStringList{QString::fromUtf8(p.name),
                              Units::UnitLabel(p.quantity, s),
                              TableNumber(shown(p, r.value)),
                              TableNumber(shown(p, r.low)),
                              yesNo(r.lowClamped),
                              TableNumber(shown(p, r.high)),
                              yesNo(r.highClamped),
                              rosValue(r.rosLow),
                              rosValue(r.rosHigh),
                              TableNumber(r.rosChangeLow, 2),
                              TableNumber(r.rosChangeHigh, 2),
                              flValue(r.flameLow),
                              flValue(r.flameHigh),
                              TableNumber(r.flameChangeLow, 2),
                              TableNumber(r.flameChangeHigh, 2)};
    }
    return t;
}
