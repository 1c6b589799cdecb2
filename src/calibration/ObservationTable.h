#pragma once

#include "calibration/Observations.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// The observed fires as the calibration window's table shows them, without widgets: its fixed
// columns (the reader's column names, in the units chosen), the cells of one fire and the
// header that lets the reader take the table, or rows pasted from a spreadsheet, back.

struct ObservationColumn
{
    const char *name;         // the reader's column name
    const char *title;        // the table's title, without unit
    Units::Quantity quantity; // Ratio for the columns without a unit (ID, weight)
};

// ID, the five moistures, midflame wind, slope, rate of spread, flame length and weight.
const std::array<ObservationColumn, 11> &ObservationColumns();
inline constexpr int kObservationSlopeColumn = 7;

// The titles of the table: the fixed columns with their units, then the extra columns.
QStringList ObservationColumnTitles(Units::System system, const QStringList &extraColumns);
// The reader's header for the table's columns in these units; extra columns get "x-" before
// their names, so that none is taken for one of the reader's.
QStringList ObservationReaderHeader(Units::System system, const QStringList &extraColumns);
// The fixed cells of one fire in these units (moistures in percent; blank flame length when
// it was not observed).
QStringList ObservationCells(const Observation &observation, Units::System system);

// Text pasted into the table as the reader takes it: rows without column names (no "ros" and
// "moist" on the first line) get the table's header first, separated as the rows are (tabs,
// or commas when the first line has commas and no tab).
QByteArray PastedObservationText(const QString &text, Units::System system, const QStringList &extraColumns);
