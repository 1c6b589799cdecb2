#pragma once

#include <QByteArray>
#include <QString>

// The library a new installation starts with, shipped inside the program: the locked set
// "Orla Master" holding the 13 original and 40 standard surface fuel models, then the empty,
// unlocked set "Custom Fuel Models". The file (OrlaFuelModels.FFM beside this source) is made
// from resources/standard-fuel-models.csv; a test checks that the two agree and can re-make it.

// The bytes of the default library file.
QByteArray DefaultLibraryBytes();

// Writes the default library to path by the safe write of the library file; false and *error
// (when given) on failure, with nothing left at path that was not there before.
bool WriteDefaultLibrary(const QString &path, QString *error);
