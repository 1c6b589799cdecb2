#pragma once

#include "data/CsvTable.h"
#include "testcenter/PlotHistory.h"
#include "units/Units.h"

#include <QString>

// The plot history as an analyst reads it in a spreadsheet: one row per plot in history order
// with the plot number, the edited model's set and ID, the reference model's set and ID, the
// environment (moistures in percent, winds, wind adjustment factor, slope, herb type), then
// each fuel model entry and each result with the reference model's value in the column beside
// it. Column titles carry their units; entries and results are in the unit system given, with
// the precision the editor shows them in. A missing reference entry leaves its cells empty.

struct PlotExportContext
{
    QString setName;      // the edited model's set
    QString modelId;      // the edited model's ID as the editor shows it
    QString referenceSet; // the reference model's set
    QString referenceId;  // the reference model's ID
    Units::System system = Units::System::English;
};

CsvTable PlotHistoryTable(const ChartState &state, const PlotExportContext &context);
QString PlotHistoryCsv(const ChartState &state, const PlotExportContext &context);

// Writes PlotHistoryCsv to path, replacing the file only when the whole text was written.
// False with a reason in *error otherwise.
bool WritePlotHistoryCsv(const ChartState &state, const PlotExportContext &context, const QString &path,
                         QString *error);
