#pragma once

#include "data/FuelModel.h"
#include "data/KeyedCollection.h"

// The models of one set, in insertion order, each filed under its key.
class FuelModels : public KeyedCollection<FuelModel>
{
public:
    // Makes a record from the fields (note the parameter order, which is the library file's,
    // and that Loading1000Hour is always 0) and appends it under collectionKey (without a key
    // when that is empty). Returns nullptr and leaves the collection unchanged when
    // collectionKey is already in use.
    std::shared_ptr<FuelModel> Add(const QString &FuelModelID, const QString &Description, double BulkDensityDepth,
                                   double Loading1Hour, double Loading10Hour, double Loading100Hour,
                                   double LoadingLiveHerb, double LoadingLiveWoody, double SurfaceToVolume1Hour,
                                   double SurfaceToVolumeLiveHerb, double SurfaceToVolumeLiveWoody,
                                   double MoistureOfExtinction, double HeatContentDead, double HeatContentLiveHerb,
                                   double HeatContentLiveWoody, double FuelCat, double HerbType, const QString &Key,
                                   const QString &collectionKey);

    // Appends a new record holding every value of source (Loading1000Hour excepted, as Add
    // always leaves it 0) under key, with the given ID and description.
    std::shared_ptr<FuelModel> AddCopy(const FuelModel &source, const QString &FuelModelID, const QString &Description,
                                       const QString &key);
};
