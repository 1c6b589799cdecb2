#pragma once

#include "testcenter/PlotHistory.h"
#include "units/Units.h"

#include <QString>

// The plot history as a CSV table for reports: one row per plot in history order, the
// position first, then every calculator property by name (inputs, then outputs), each
// followed by the reference model's value of the same property. Numbers are general number
// text; a missing reference entry leaves its cells empty.
// In metric every header names its unit ("RateOfSpread (m/min)") and the values are converted;
// without a system the table is in the units the program shows.
QString PlotHistoryCsv(const ChartState &state);
QString PlotHistoryCsv(const ChartState &state, Units::System s);

// Writes PlotHistoryCsv to path, replacing the file only when the whole text was written.
// False with a reason in *error otherwise.
bool WritePlotHistoryCsv(const ChartState &state, const QString &path, QString *error);
