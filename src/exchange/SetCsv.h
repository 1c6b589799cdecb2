#pragma once

#include "data/FuelModelSet.h"
#include "library/ModelNotes.h"
#include "units/Units.h"

#include <QByteArray>

// A set's parameters as CSV for spreadsheets: a header row naming every field with its unit
// in the chosen system, then one model a row, in the set's order; the last three columns hold
// each model's source, author and notes from notes (empty without them). Values are converted exactly
// and written with up to 15 significant digits ("." as decimal point); texts are quoted when
// they hold a comma, a quote or a line break. UTF-8 with a byte order mark (so spreadsheets
// read the accents), CR LF line ends.
QByteArray SetParametersCsv(FuelModelSet &set, Units::System system, const LibraryNotes *notes = nullptr);
