#pragma once

#include "testcenter/TestComputation.h"

#include <QString>

class FuelModel;
class FuelModelSets;

// The write-back of the editor without widgets: which texts the library file cannot hold,
// how the entries become the model's values, and the tree text of a model.

// A refusal shown to the user: message text, title and the entry box to put the focus on.
struct EntryRefusal
{
    QString text;
    QString title;
    int focusIndex = -1;
    bool refused() const { return !text.isEmpty(); }
};

// Refuses an ID or description the library file cannot hold (a double quote, a line break or
// a character outside Windows-1252); the ID is looked at first. Empty when both can be saved.
EntryRefusal SaveTextRefusal(const QString &id, const QString &description);

// Writes the entries into the model: ID and description as typed, the thirteen numbers of
// boxes 2..14 as their English values (EntryValue: an untouched box keeps the model's exact
// value, a typed one is read leniently in the shown units), fire carrier and herb type from
// their list positions. The key is kept.
void ApplyEntries(FuelModel &fm, const TestEntries &entries, int fireCarryPosition, int herbTypePosition);

// Whether a Save of the entries would change the model: the ID, the description, one of the
// thirteen numbers (as ApplyEntries reads them), the fire carrier or the herb type differs.
bool EntriesChangeModel(const FuelModel &fm, const TestEntries &entries, int fireCarryPosition, int herbTypePosition);

// The value a model holds for entry box index 2..14 (0 for any other index), in English units.
double ModelEntryValue(const FuelModel &fm, int index);

// Texts the editor loads into boxes 0..14 from the model.
std::array<QString, kLastModelEntry + 1> ModelEntryTexts(const FuelModel &fm);

// Whether the library holds this very record (not merely one with its key): the editor's Save
// writes into it, and a record deleted from the library would take the entries nowhere.
bool LibraryHoldsModel(const FuelModelSets &sets, const FuelModel &fm);

// The message of a Save whose model is no longer in the library.
QString ModelGoneMessage(const FuelModel &fm);
