#include "widgets/ChartStyle.h"

#include "analysis/RoundTicks.h"
#include "data/CsvTable.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

void ApplyChartStyle(QChart *chart)
{
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
}

void SetAxisTitle(QAbstractAxis *axis, const QString &quantity, const QString &unit)
{
    const QString title = TitleWithUnit(quantity, unit);
    if (axis->titleText() != title)
        axis->setTitleText(title);
    QFont f = axis->titleFont();
    if (f.bold()) {
        f.setBold(false);
        axis->setTitleFont(f);
    }
}

void SetRoundAxis(QValueAxis *axis, double min, double max, int maxIntervals)
{
    if (!std::isfinite(min) || !std::isfinite(max))
        min = 0, max = 1;
    if (max <= min)
        max = min + 1;
    const double step = RoundTickStep(max - min, maxIntervals);
    // The anchor is a multiple of the step, so the ticks fall on round values whatever min is.
    const double anchor = std::ceil(min / step - 1e-9) * step;
    const QString format = QStringLiteral("%.%1f").arg(TickDecimals(step));
    // Every change of an axis lays out its ticks and labels again at once, so only what
    // differs is set: a redraw with the same ends costs the axis nothing. A finer step is set
    // after the range has shrunk, a coarser one before it grows, so that no step in between
    // lays out thousands of ticks.
    const bool rangeChanges = axis->min() != min || axis->max() != max;
    const bool rangeFirst = step < axis->tickInterval();
    if (rangeChanges && rangeFirst)
        axis->setRange(min, max);
    if (axis->tickType() != QValueAxis::TicksDynamic)
        axis->setTickType(QValueAxis::TicksDynamic);
    if (axis->minorTickCount() != 0)
        axis->setMinorTickCount(0);
    if (axis->tickAnchor() != anchor)
        axis->setTickAnchor(anchor);
    if (axis->tickInterval() != step)
        axis->setTickInterval(step);
    if (axis->labelFormat() != format)
        axis->setLabelFormat(format);
    if (rangeChanges && !rangeFirst)
        axis->setRange(min, max);
}

double SetRoundAxisFromZero(QValueAxis *axis, double dataMax, int maxIntervals)
{
    const double max = RoundAxisMaximumOrOne(dataMax, maxIntervals);
    SetRoundAxis(axis, 0, max, maxIntervals);
    return max;
}

double RoundAxisMaximumOrOne(double dataMax, int maxIntervals)
{
    return dataMax > 0 && std::isfinite(dataMax) ? RoundAxisMaximum(dataMax, maxIntervals) : 1.0;
}

void MakeChartGrow(QChartView *view, QSize minimum)
{
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    view->setMinimumSize(minimum);
    view->setRenderHint(QPainter::Antialiasing);
}
