#pragma once

#include <QSize>
#include <QString>

class QAbstractAxis;
class QChart;
class QChartView;
class QValueAxis;

// The one look of every chart of the program: readable fonts, titles with units, ticks at
// round values (1, 2 or 5 times a power of ten), views that grow with their window. Plain
// functions over Qt Charts objects; they never create or own anything.

// Margins, fonts, no animation (charts are redrawn on every keystroke), legend at the bottom.
void ApplyChartStyle(QChart *chart);

// Title of an axis with its unit: "Rate of spread (ch/h)".
void SetAxisTitle(QAbstractAxis *axis, const QString &quantity, const QString &unit);

// An axis from min to max whose ends are given (a maximum fixed elsewhere, e.g. 310): ticks
// and labels at the round multiples within it, labels with as many decimals as the step needs.
void SetRoundAxis(QValueAxis *axis, double min, double max, int maxIntervals = 6);

// An axis from 0 whose maximum the chart chooses: the smallest round value at or above
// dataMax (an empty or all-zero chart gets 0 to 1). Returns the maximum set.
double SetRoundAxisFromZero(QValueAxis *axis, double dataMax, int maxIntervals = 6);
// The maximum SetRoundAxisFromZero would choose, without touching an axis.
double RoundAxisMaximumOrOne(double dataMax, int maxIntervals = 6);

// The view takes the room its layout gives it (grows with the window) and never shrinks below
// minimum; antialiased.
void MakeChartGrow(QChartView *view, QSize minimum = QSize(360, 220));
