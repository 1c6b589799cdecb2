#include "analysis/ui/ChartStyle.h"

#include "analysis/CsvTable.h"
#include "analysis/RoundTicks.h"

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
    axis->setTitleText(TitleWithUnit(quantity, unit));
    QFont f = axis->titleFont();
    f.setBold(false);
    axis->setTitleFont(f);
}

void SetRoundAxis(QValueAxis *axis, double min, double max, int maxIntervals)
{
    if (!std::isfinite(min) || !std::isfinite(max))
        min = 0, max = 1;
    if (max <= min)
        max = min + 1;
    const double step = RoundTickStep(max - min, maxIntervals);
    axis->setRange(min, max);
    axis->setTickType(QValueAxis::TicksDynamic);
    // The anchor is a multiple of the step, so the ticks fall on round values whatever min is.
    axis->setTickAnchor(std::ceil(min / step - 1e-9) * step);
    axis->setTickInterval(step);
    axis->setMinorTickCount(0);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(TickDecimals(step)));
}

double SetRoundAxisFromZero(QValueAxis *axis, double dataMax, int maxIntervals)
{
    const double max = dataMax > 0 && std::isfinite(dataMax) ? RoundAxisMaximum(dataMax, maxIntervals) : 1.0;
    SetRoundAxis(axis, 0, max, maxIntervals);
    return max;
}

void MakeChartGrow(QChartView *view, QSize minimum)
{
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    view->setMinimumSize(minimum);
    view->setRenderHint(QPainter::Antialiasing);
}
