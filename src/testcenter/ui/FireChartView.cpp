#include "testcenter/ui/FireChartView.h"

#include "data/NumberText.h"
#include "units/UnitSetting.h"
#include "units/Units.h"
#include "widgets/ChartReadout.h"
#include "widgets/ChartStyle.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QValueAxis>

namespace {

const QColor kBarColor(0x46, 0x82, 0xb4);
const QColor kRefColor(0xb2, 0x22, 0x22);

QPixmap lineSample()
{
    QPixmap pm(28, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRefColor, 2));
    p.drawLine(2, 6, 26, 6);
    p.setBrush(kRefColor);
    p.drawEllipse(QPointF(14, 6), 3, 3);
    return pm;
}

QStringList positionLabels(const std::vector<ChartRow> &rows)
{
    QStringList l;
    for (const ChartRow &r : rows)
        l << r.label;
    return l;
}

} // namespace

FireChartView::FireChartView(int k, QWidget *page) : QObject(page), m_k(k)
{
    auto *layout = qobject_cast<QBoxLayout *>(page->layout());
    if (!layout) {
        delete page->layout();
        layout = new QVBoxLayout(page);
    }
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_area = new QWidget(page);
    m_area->setObjectName(QStringLiteral("fraChart_%1").arg(k));
    auto *areaLayout = new QVBoxLayout(m_area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(0);

    auto *title = new QLabel(ChartTitle(k), m_area);
    m_title = title;
    title->setObjectName(QStringLiteral("lblChartTitle_%1").arg(k));
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    areaLayout->addWidget(title);

    m_chart = new QChart();
    ApplyChartStyle(m_chart);
    m_chart->legend()->hide(); // the reference legend panel below names the line

    auto *bars = new QBarSeries(m_chart);
    m_bars = new QBarSet(QStringLiteral("Edited model"), bars);
    m_bars->setColor(kBarColor);
    m_bars->setBorderColor(kBarColor.darker(130));
    bars->append(m_bars);
    bars->setBarWidth(0.6);
    m_chart->addSeries(bars);

    m_axisX = new QBarCategoryAxis(m_chart);
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setMin(0);
    m_axisX->setTitleText(QStringLiteral("Plot"));
    showUnits();
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    bars->attachAxis(m_axisX);
    bars->attachAxis(m_axisY);

    for (QLineSeries *&segment : m_line) {
        segment = new QLineSeries(m_chart);
        segment->setName(QStringLiteral("Reference model"));
        segment->setPen(QPen(kRefColor, 2));
        segment->setColor(kRefColor);
        segment->setPointsVisible(true); // a single point between empty ones still shows
        segment->setMarkerSize(6);
        m_chart->addSeries(segment);
        segment->attachAxis(m_axisX);
        segment->attachAxis(m_axisY);
    }

    m_view = new QChartView(m_chart, m_area);
    m_view->setObjectName(QStringLiteral("chtFB_%1").arg(k));
    // Small enough for the editor to fit a 1366x768 screen with the line kept for the results'
    // note; the chart grows with the window.
    MakeChartGrow(m_view, QSize(320, 160));
    areaLayout->addWidget(m_view, 1);

    m_legend = new QWidget(m_area);
    m_legend->setObjectName(QStringLiteral("vseRef_%1").arg(k));
    auto *legendLayout = new QHBoxLayout(m_legend);
    legendLayout->setContentsMargins(4, 0, 4, 2);
    auto *sample = new QLabel(m_legend);
    sample->setPixmap(lineSample());
    legendLayout->addWidget(sample);
    m_refName = new QLabel(m_legend);
    m_refName->setObjectName(QStringLiteral("lblRefName_%1").arg(k));
    legendLayout->addWidget(m_refName, 1);
    m_legend->hide();
    areaLayout->addWidget(m_legend);

    layout->addWidget(m_area, 1);

    m_scroll = new QScrollBar(Qt::Horizontal, page);
    m_scroll->setObjectName(QStringLiteral("hscChart_%1").arg(k));
    m_scroll->setAccessibleName(ChartTitle(k) + QStringLiteral(" plots shown"));
    m_scroll->setRange(1, 1);
    m_scroll->setValue(1);
    m_scroll->setPageStep(1);
    layout->addWidget(m_scroll);

    connect(m_bars, &QBarSet::clicked, this, &FireChartView::EditedBarClicked);
    m_readout = new ChartReadout(m_view);
    m_readout->AttachBars(bars);
    m_readout->SetBarFormatter([this](QBarSet *, int row) { return readoutText(row, false); });
    m_readout->SetPointFormatter([this](QXYSeries *series, int index) {
        // Segments hold their own points: find the row of the point from its x.
        const int row = int(series->at(index).x() + 0.5);
        return readoutText(row, true);
    });
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, this, [this] { showUnits(); });
    Clear();
}

void FireChartView::Show(const std::vector<ChartRow> &rows, double axisMax)
{
    m_rows = rows;
    const QStringList categories = positionLabels(rows);
    if (categories != m_categories) {
        m_categories = categories;
        m_axisX->setCategories(categories);
    }

    QList<qreal> values;
    values.reserve(qsizetype(rows.size()));
    for (const ChartRow &r : rows)
        values << r.value.value_or(0); // no bar: an empty row has no value to click
    if (m_bars->count() == values.size()) {
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (m_bars->at(i) != values[i])
                m_bars->replace(i, values[i]);
        }
    } else {
        m_bars->remove(0, m_bars->count());
        m_bars->append(values);
    }

    // Consecutive reference points form one segment; an empty point ends it.
    std::array<QList<QPointF>, MaxLineSegments> segments;
    std::size_t s = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].reference) {
            if (s < segments.size())
                segments[s] << QPointF(qreal(i), *rows[i].reference);
        } else if (s < segments.size() && !segments[s].isEmpty()) {
            ++s;
        }
    }
    for (std::size_t i = 0; i < m_line.size(); ++i) {
        if (m_line[i]->points() != segments[i])
            m_line[i]->replace(segments[i]);
    }

    // The maximum is the chart's own rule; the ticks fall on round values within it.
    if (m_axisY->max() != axisMax || m_axisMax != axisMax) {
        m_axisMax = axisMax;
        SetRoundAxis(m_axisY, 0, axisMax);
    }
}

void FireChartView::Clear()
{
    std::vector<ChartRow> rows(static_cast<std::size_t>(ChartRowCount));
    for (int m = 0; m < ChartRowCount; ++m) {
        rows[std::size_t(m)].position = m + 1;
        rows[std::size_t(m)].label = QString::number(m + 1);
    }
    Show(rows, 10);
}

QString FireChartView::readoutText(int row, bool reference) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return {};
    const ChartRow &r = m_rows[std::size_t(row)];
    const std::optional<double> &value = reference ? r.reference : r.value;
    if (!value)
        return {};
    const QString unit = m_unit.isEmpty() ? QString() : QLatin1Char(' ') + m_unit;
    QString text = QStringLiteral("Plot %1").arg(r.label);
    if (reference) {
        text += QStringLiteral(", reference: %1%2").arg(FormatPattern(*value, u"####0.0"), unit);
    } else {
        text += QStringLiteral(": %1%2").arg(FormatPattern(*value, u"####0.0"), unit);
        if (r.reference)
            text += QStringLiteral("\nReference: %1%2").arg(FormatPattern(*r.reference, u"####0.0"), unit);
    }
    return text;
}

void FireChartView::showUnits()
{
    static const Units::Quantity quantities[] = {Units::Quantity::RateOfSpread, Units::Quantity::FirelineIntensity,
                                                 Units::Quantity::FlameLength, Units::Quantity::FireSize};
    static const char *names[] = {"Rate of spread", "Fireline intensity", "Flame length", "Size after 1 hour"};
    const Units::System s = Units::UnitSetting::instance().system();
    m_unit = Units::UnitLabel(quantities[m_k], s);
    // The title above the chart names the quantity; beside a chart a few lines high the axis
    // says only its unit, which always fits ("Rate of spread (m/min)" was cut).
    Q_UNUSED(names);
    SetAxisTitle(m_axisY, m_unit, QString());
}
