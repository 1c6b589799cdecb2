#include "data/FuelModels.h"

std::shared_ptr<FuelModel> FuelModels::Add(const QString &FuelModelID, const QString &Description,
                                           double BulkDensityDepth, double Loading1Hour, double Loading10Hour,
                                           double Loading100Hour, double LoadingLiveHerb, double LoadingLiveWoody,
                                           double SurfaceToVolume1Hour, double SurfaceToVolumeLiveHerb,
                                           double SurfaceToVolumeLiveWoody, double MoistureOfExtinction,
                                           double HeatContentDead, double HeatContentLiveHerb,
                                           double HeatContentLiveWoody, double FuelCat, double HerbType,
                                           const QString &Key, const QString &collectionKey)
{
    if (Contains(collectionKey))
        return nullptr;
    auto fm = std::make_shared<FuelModel>();
    fm->setFuelModelID(FuelModelID);
    fm->setDescription(Description);
    fm->setLoading1Hour(Loading1Hour);
    fm->setLoading10Hour(Loading10Hour);
    fm->setLoading100Hour(Loading100Hour);
    fm->setLoading1000Hour(0);
    fm->setLoadingLiveWoody(LoadingLiveWoody);
    fm->setSurfaceToVolume1Hour(SurfaceToVolume1Hour);
    fm->setSurfaceToVolumeLiveHerb(SurfaceToVolumeLiveHerb);
    fm->setSurfaceToVolumeLiveWoody(SurfaceToVolumeLiveWoody);
    fm->setHeatContentDead(HeatContentDead);
    fm->setHeatContentLiveHerb(HeatContentLiveHerb);
    fm->setHeatContentLiveWoody(HeatContentLiveWoody);
    fm->setBulkDensityDepth(BulkDensityDepth);
    fm->setMoistureOfExtinction(MoistureOfExtinction);
    fm->setLoadingLiveHerb(LoadingLiveHerb);
    fm->setFuelCat(FuelCat);
    fm->setHerbType(HerbType);
    fm->setKey(Key);
    Append(fm, collectionKey);
    return fm;
}

std::shared_ptr<FuelModel> FuelModels::AddCopy(const FuelModel &s, const QString &FuelModelID,
                                               const QString &Description, const QString &key)
{
    return Add(FuelModelID, Description, s.BulkDensityDepth(), s.Loading1Hour(), s.Loading10Hour(), s.Loading100Hour(),
               s.LoadingLiveHerb(), s.LoadingLiveWoody(), s.SurfaceToVolume1Hour(), s.SurfaceToVolumeLiveHerb(),
               s.SurfaceToVolumeLiveWoody(), s.MoistureOfExtinction(), s.HeatContentDead(), s.HeatContentLiveHerb(),
               s.HeatContentLiveWoody(), s.FuelCat(), s.HerbType(), key, key);
}
