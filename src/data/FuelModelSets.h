#pragma once

#include "data/FuelModelSet.h"

// The library in memory: the sets in insertion order, each filed under its key.
class FuelModelSets : public KeyedCollection<FuelModelSet>
{
public:
    // Makes a set (Name, then the given collection itself, then Locked) and appends it under
    // collectionKey (without a key when empty). A key already in use throws
    // std::invalid_argument and adds nothing.
    std::shared_ptr<FuelModelSet> Add(const QString &Name, bool Locked, std::shared_ptr<FuelModels> models,
                                      const QString &collectionKey);

    // Total number of models in every set.
    int ModelCount() const;
};

// True when a model anywhere in sets, other than the one whose Key equals excludedKey, has
// the ID id; both compared with blanks trimmed and without regard to letter case.
bool FuelModelIDExists(const FuelModelSets &sets, const QString &id, const QString &excludedKey);
