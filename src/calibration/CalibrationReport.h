#pragma once

#include "calibration/Calibration.h"

#include <QString>
#include <QStringList>

// The calibration report as the window shows it and as plain text: what to read first, the
// fitted values beside the start and the bounds, skill before and after beside the best
// standard model, other optima, cross-validation, warnings and the residuals. Values in units.
QString CalibrationReportText(const CalibrationSetup &setup, const CalibrationResult &result,
                              const Observations &observations, Units::System units);

// The observation files used last, newest first (at most kRecentObservationFiles), kept in the
// user's settings (never in the library file).
inline constexpr int kRecentObservationFiles = 6;
QStringList RecentObservationFiles();
void RememberObservationFile(const QString &path);
