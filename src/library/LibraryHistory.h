#pragma once

#include "data/FuelModel.h"
#include "data/FuelModelSets.h"
#include "library/ModelNotes.h"

#include <QString>

#include <memory>
#include <vector>

class ITree;

// What undo and redo of a library change need: a picture of the library (sets in order, their
// names, lock flags and models in order, with the texts their tree nodes showed) that holds the
// very set and model objects, not copies, so that putting a picture back gives every other
// holder of a model (the clipboard, an open editor) the same object again. Pictures are cheap:
// the values of models are only kept for the models named when taking one (a model edited in
// the Edit and Test Center); every other change of the library is a change of its structure.
struct LibrarySnapshot
{
    struct Model
    {
        std::shared_ptr<FuelModel> model;
        QString nodeText;
    };
    struct Set
    {
        QString key;
        std::shared_ptr<FuelModelSet> set;
        QString name;
        bool locked = false;
        std::vector<Model> models;
    };
    std::vector<Set> sets;
    // Values of the models named when the picture was taken.
    std::vector<std::pair<std::shared_ptr<FuelModel>, FuelModel>> values;
    // The tree's selection and the sets shown expanded.
    QString selectedKey;
    std::vector<QString> expandedKeys;
    // The notes of the library's models and sets (gLibraryNotes when the picture is of gFMSets).
    LibraryNotes notes;

    int ModelCount() const;
};

// Takes the picture of sets as tree shows it; valuesOf: models whose values are kept too. The
// picture of gFMSets holds gLibraryNotes; that of any other library no notes (its reader adds them).
LibrarySnapshot CaptureLibrary(const FuelModelSets &sets, const ITree &tree,
                               const std::vector<std::shared_ptr<FuelModel>> &valuesOf = {});

// Makes gFMSets and the tree what the picture shows: the same set and model objects in the same
// order under the same keys, the kept values back in their models, the node texts, the
// selection and the expanded sets (the selection without a node click); the notes become
// gLibraryNotes.
void RestoreLibrary(const LibrarySnapshot &snapshot, ITree &tree);

// True when both pictures show the same library: the same objects in the same order, the same
// names, locks and node texts, the same kept values and the same notes.
bool SameLibrary(const LibrarySnapshot &a, const LibrarySnapshot &b);

// Carries the change from before to after over to another library (target, a picture of the
// library as read again from the file), matching sets by name and models by ID within their
// set: sets removed, added or renamed, models removed or added, and the kept values of an
// edited model. New sets and models get new keys and objects of their own. Returns false and
// leaves target as it was, with the reason in *why (when given), when a part of the change no
// longer applies (the set or model is gone, or the name or ID is taken meanwhile).
bool ReplayChange(const LibrarySnapshot &before, const LibrarySnapshot &after, LibrarySnapshot &target, QString *why);
