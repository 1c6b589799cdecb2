#pragma once

#include "calibration/FitStatistics.h"
#include "calibration/Observations.h"
#include "units/Units.h"

#include <QList>
#include <QPair>
#include <QPointF>
#include <QString>

#include <vector>

class QChartView;

// The predicted-against-observed charts of the calibration window (its ranking and its fit):
// log axes, the 1:1 line and the +/-35 % band, one scatter per named series. The view's chart
// is replaced.
void DrawPredictedChart(QChartView *view, const QList<QPair<QString, std::vector<QPointF>>> &series, Units::System s);

// Observed against predicted rate of spread of each fire, in the units shown.
std::vector<QPointF> PredictedPoints(const std::vector<Prediction> &predictions, const Observations &obs,
                                     Units::System s);
