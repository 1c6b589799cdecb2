#include "data/FuelParameters.h"

#include "data/FuelModel.h"

#include <cmath>

namespace {

using Units::Quantity;
using Id = FuelParameterId;

// File positions: ID, description, depth, the five loadings, the three SA/V, the moisture of
// extinction, the three heat contents, fire carrier, herb type.
const std::array<FuelParameterInfo, kFuelParameterCount> kTable = {{
    {Id::Load1Hour, 3, 2, "load-1h", "1-h load", "1 Hour Loading (t/ac)", "1 Hour Loading (t/ha)", Quantity::Loading, 0,
     30.49, false, &FuelModel::Loading1Hour, &FuelModel::setLoading1Hour},
    {Id::Load10Hour, 4, 3, "load-10h", "10-h load", "10 Hour Loading (t/ac)", "10 Hour Loading (t/ha)",
     Quantity::Loading, 0, 30.49, false, &FuelModel::Loading10Hour, &FuelModel::setLoading10Hour},
    {Id::Load100Hour, 5, 4, "load-100h", "100-h load", "100 Hour Loading (t/ac)", "100 Hour Loading (t/ha)",
     Quantity::Loading, 0, 30.49, false, &FuelModel::Loading100Hour, &FuelModel::setLoading100Hour},
    {Id::LoadLiveHerb, 6, 5, "load-herb", "Live herb load", " Live Herb Loading (t/ac)", " Live Herb Loading (t/ha)",
     Quantity::Loading, 0, 30.49, false, &FuelModel::LoadingLiveHerb, &FuelModel::setLoadingLiveHerb},
    {Id::LoadLiveWoody, 7, 6, "load-woody", "Live woody load", "Live Woody Loading (t/ac)", "Live Woody Loading (t/ha)",
     Quantity::Loading, 0, 30.49, false, &FuelModel::LoadingLiveWoody, &FuelModel::setLoadingLiveWoody},
    {Id::Sav1Hour, 8, 7, "sav-1h", "1-h SA/V", "1 Hour Surface SA/V (ft2/ft3)", "1 Hour Surface SA/V (m2/m3)",
     Quantity::SurfaceToVolume, 109, 4000, true, &FuelModel::SurfaceToVolume1Hour, &FuelModel::setSurfaceToVolume1Hour},
    {Id::SavLiveHerb, 9, 8, "sav-herb", "Live herb SA/V", "Live Herb SA/V (ft2/ft3)", "Live Herb SA/V (m2/m3)",
     Quantity::SurfaceToVolume, 109, 4000, true, &FuelModel::SurfaceToVolumeLiveHerb,
     &FuelModel::setSurfaceToVolumeLiveHerb},
    {Id::SavLiveWoody, 10, 9, "sav-woody", "Live woody SA/V", "Live Woody SA/V (ft2/ft3)", "Live Woody SA/V (m2/m3)",
     Quantity::SurfaceToVolume, 109, 4000, true, &FuelModel::SurfaceToVolumeLiveWoody,
     &FuelModel::setSurfaceToVolumeLiveWoody},
    {Id::HeatDead, 12, 10, "heat-dead", "Dead heat content", "Heat Content Dead (btu/lb)", "Heat Content Dead (kJ/kg)",
     Quantity::HeatContent, 6000, 12000, false, &FuelModel::HeatContentDead, &FuelModel::setHeatContentDead},
    {Id::HeatLiveHerb, 13, 11, "heat-herb", "Herb heat content", "Heat Content Live Herb (btu/lb)",
     "Heat Content Live Herb (kJ/kg)", Quantity::HeatContent, 6000, 12000, false, &FuelModel::HeatContentLiveHerb,
     &FuelModel::setHeatContentLiveHerb},
    {Id::HeatLiveWoody, 14, 12, "heat-woody", "Woody heat content", " Heat Content Live Woody (btu/lb)",
     " Heat Content Live Woody (kJ/kg)", Quantity::HeatContent, 6000, 12000, false, &FuelModel::HeatContentLiveWoody,
     &FuelModel::setHeatContentLiveWoody},
    {Id::Depth, 2, 13, "depth", "Fuel bed depth", " Fuelbed Bulk Depth (ft)", " Fuelbed Bulk Depth (m)",
     Quantity::Depth, 0.05, 6, false, &FuelModel::BulkDensityDepth, &FuelModel::setBulkDensityDepth},
    {Id::MoistureOfExtinction, 11, 14, "mx", "Extinction moisture", "Moisture of Extinction (%)",
     "Moisture of Extinction (%)", Quantity::Moisture, 5, 100, false, &FuelModel::MoistureOfExtinction,
     &FuelModel::setMoistureOfExtinction},
}};

} // namespace

bool FuelParameterInfo::inRange(double english) const
{
    if (!std::isfinite(english))
        return false;
    if (zeroAllowed && english == 0)
        return true;
    return english >= low && english <= high;
}

double FuelParameterInfo::clamp(double english) const
{
    if (std::isnan(english) || (zeroAllowed && english == 0))
        return english;
    return english < low ? low : (english > high ? high : english);
}

double FuelParameterInfo::valueOf(const FuelModel &model) const
{
    return (model.*get)();
}

void FuelParameterInfo::setValue(FuelModel &model, double english) const
{
    (model.*set)(english);
}

const std::array<FuelParameterInfo, kFuelParameterCount> &FuelParameterTable()
{
    return kTable;
}

const FuelParameterInfo &FuelParameterOf(FuelParameterId id)
{
    return kTable[static_cast<int>(id)];
}

const FuelParameterInfo *FindFuelParameter(std::string_view shortName)
{
    for (const FuelParameterInfo &p : kTable)
        if (p.shortName == shortName)
            return &p;
    return nullptr;
}

const FuelParameterInfo *FuelParameterOfEntry(int entryIndex)
{
    const int i = entryIndex - kTable.front().entryIndex;
    return i >= 0 && i < kFuelParameterCount ? &kTable[i] : nullptr;
}
