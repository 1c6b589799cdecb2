#pragma once

#include "calibration/Calibration.h"
#include "calibration/Observations.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What a fit applied to a model leaves in the model's history: the observed fires it was made
// against (their file and its SHA-256), how many, the objective, the free parameters and the
// agreement before and after.
struct FitRecord
{
    // The file the fires were read from (or last written to), when it holds the fires fitted
    // (the same fires in the same order, their values alike to ten significant digits, as the
    // calibration window shows them); empty when they were typed, pasted or changed since.
    QString observationsFile;
    // Hexadecimal SHA-256 of that file's bytes; without a file, of the fires as
    // ObservationsToCsv writes them in English units (so that the same fires give the same sum).
    QString observationsSha256;
    int fires = 0;
    QString objective;          // "log", "rmse" or "mape" (fmtool's names), with the flame length weight when used
    QStringList freeParameters; // short names ("load-1h", "depth")
    bool tiedLoads = false;
    // Statistics by name: "objective", "ros-rmse", "ros-bias" (ch/h), "ros-mape" (percent),
    // "ros-within-35" (a fraction), the same with "flame-" (ft) when flame lengths were observed.
    QList<QPair<QString, double>> before;
    QList<QPair<QString, double>> after;
};

// The record of result, a fit of setup to observations (with their extra columns).
// observationsFile and fileBytes: the file the window's fires came from and its bytes now
// (empty when none), read in units where its columns name none.
FitRecord MakeFitRecord(const CalibrationSetup &setup, const CalibrationResult &result,
                        const Observations &observations, const QStringList &extraColumns,
                        const QString &observationsFile, const QByteArray &fileBytes, Units::System units);
