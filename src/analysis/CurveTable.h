#pragma once

#include "analysis/Sweep.h"
#include "data/CsvTable.h"

#include <string>
#include <vector>

// The table of response curves that the window's export and `fmtool sweep` both write: one
// row per model and point (long form, so any number of models fits one sheet), numbers in the
// units the column titles give.
//
// Columns: Set, ID, <swept input (unit)>, Rate of spread (ch/h), Flame length (ft), Fireline
// intensity (btu/ft/s), Size after 1 hour (ac), Heat per unit area (btu/ft2), Effective wind
// (mi/h), Wind limit (yes/no), Error ("cannot compute" when the point failed). In metric the
// numbers and units are metric (m/min, m, kW/m, ha, kJ/m2, km/h); the points themselves are
// always English.

QStringList CurveColumnTitles(SweepInput input, Units::System system = Units::System::English);
// The titles as the CSV header line, ended by "\n".
std::string CurveCsvHeader(SweepInput input, Units::System system = Units::System::English);

// Appends the CSV rows of one curve (no header) to out, UTF-8, lines ended by "\n".
void AppendCurveCsvRows(std::string &out, const QString &setName, const QString &modelId,
                        const std::vector<SweepPoint> &points, SweepInput input,
                        Units::System system = Units::System::English);

CsvTable CurvesTable(const std::vector<ModelCurve> &curves, SweepInput input,
                     Units::System system = Units::System::English);

// Decimals of the x column and of each result column.
inline constexpr int kCurveDecimals = 4;
