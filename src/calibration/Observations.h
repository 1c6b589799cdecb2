#pragma once

#include "data/ModelComputation.h"
#include "data/UnitQuantity.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>

// Observed fires: the environment each burned in and what was seen, the material that ranking
// and calibration compare models with. Values are held as the calculator takes them (moistures
// as fractions, the midflame wind in mi/h exactly as given, slope in percent, rate of spread
// ch/h, flame length ft); the CSV file gives moistures in percent and may be English or metric.
struct Observation
{
    QString id;
    FireEnvironment environment;
    double ros = 0;           // ch/h, above 0
    double flameLength = NAN; // ft; NaN when not observed
    double weight = 1;        // 0 or more
    QStringList extra;        // the texts of the file's other columns (ObservationImport::extraColumns)
    int line = 0;             // line of the file, 0 for one typed in

    bool hasFlameLength() const { return std::isfinite(flameLength); }
};

using Observations = QList<Observation>;

// One line of the file that was refused or that holds something the user should see.
struct ObservationLineReport
{
    int line = 0;
    bool refused = false;
    QString id;
    QStringList reasons; // why refused, or what was marked (a blank or 0 moisture)
};

struct ObservationImport
{
    QString problem; // a refusal of the whole file (no header, a column missing, ...)
    QChar separator = QLatin1Char(',');
    Units::System units = Units::System::English;
    QStringList notes;        // file-wide remarks: unit overrides, missing optional columns
    QStringList extraColumns; // columns kept for display and otherwise ignored
    QList<ObservationLineReport> lines;
    Observations observations; // the fires taken, in file order

    bool ok() const { return problem.isEmpty(); }
    int refusedCount() const;
    // The report as plain text: summary, notes, then one line per refused or marked line.
    QString reportText() const;
};

// The largest observation file read; a spreadsheet of fires is far smaller.
inline constexpr qint64 kLargestObservationFile = 4 * 1024 * 1024;

// Reads observations from CSV text (UTF-8, or Windows-1252 when not valid UTF-8; a byte order
// mark is skipped; line ends LF, CR LF, CR or CR CR LF).
//
// The first line that is neither blank nor a comment (# first) names the columns, in any order
// and letter case: id, moist-1h, moist-10h, moist-100h, moist-herb, moist-woody, midflame-wind
// (or wind with wind-adjust), slope, ros, flame-length, weight ("_" or a blank may stand for
// "-"). A unit in brackets after a name, "ros (m/min)", overrides the file's units for that
// column. Fields are separated by commas; a header without a comma but with tabs or semicolons
// makes that the separator, and then a decimal comma is read too ("1,5"). Fields may be quoted
// as RFC 4180 says (a quoted field may hold separators, doubled quotes and line breaks).
//
// Required: moist-1h, ros and a wind; the other moistures, slope, flame-length and weight are
// optional columns. Blank or 0 moistures are taken as 0 and marked; a negative, non-numeric or
// missing required value refuses the line, and the report says which and why.
ObservationImport ReadObservations(QByteArrayView bytes, Units::System units);
// ReadObservations of a file, refused whole when it cannot be read or is over the size limit.
ObservationImport ReadObservationFile(const QString &path, Units::System units);

// The observations as CSV in units, the columns ReadObservations reads back (units in the
// column names, so the file reads the same whatever units it is later read with), followed by
// the extra columns.
QString ObservationsToCsv(const Observations &observations, const QStringList &extraColumns, Units::System units);
