#pragma once

#include "data/FuelModelSets.h"
#include "exchange/CustomModelFile.h"
#include "library/EditActions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Sets taken from another library file (a colleague's, or a backup): read it whole without
// touching the program's own library, list its sets, and make copies of the chosen ones under
// names this library does not use yet.

struct OtherLibrarySet
{
    std::shared_ptr<FuelModelSet> set; // as read from the other file
    QString name;
    bool locked = false;
    int models = 0;
};

struct OtherLibrary
{
    bool ok = false;
    QString problem; // why the file cannot be read, for the user
    QList<OtherLibrarySet> sets;
};

// Reads the library file at path. Nothing of the program's library (gFMSets, the tree, the
// library file state) changes.
OtherLibrary ReadOtherLibrary(const QString &path);

// True when a set of sets, or a name in alsoTaken, is named name in any letter case.
bool SetNameTaken(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken = {});

// name itself when it is free, else "name (2)", "name (3)", ... the first free one.
QString FreeSetName(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken = {});

// Why name cannot be given to an imported set, or an empty text when it can.
QString ImportedSetNameProblem(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken = {});

// New records holding the values of every model of set, for AddImportedSet.
QList<std::shared_ptr<FuelModel>> CopyModels(FuelModelSet &set);

// Whether a model of the library has the ID (in any letter case, blanks around it aside).
IdTaken LibraryIdTaken(const FuelModelSets &library);

// Gives every model of sets an ID that no model of the library nor an earlier model of sets has
// (IDs are unique across the whole library, in any letter case), keeping its own where free.
// One line for each ID changed, for the report: "Set \"A\": the ID \"14\" is taken: \"14_2\"".
QStringList GiveFreeIDs(QList<ImportedSet> &sets, const FuelModelSets &library);
