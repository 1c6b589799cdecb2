#pragma once

#include "data/FuelModel.h"
#include "uncertainty/UncertainInputs.h"

// Fuel models and points for the uncertainty tests, set up by hand.

// A shrub bed with every class present (herb type 1, static).
inline FuelModel ShrubModel()
{
    FuelModel m;
    m.setFuelModelID(QStringLiteral("SH"));
    m.setLoading1Hour(1.35);
    m.setLoading10Hour(2.40);
    m.setLoading100Hour(0.75);
    m.setLoadingLiveHerb(0.5);
    m.setLoadingLiveWoody(3.85);
    m.setSurfaceToVolume1Hour(2000);
    m.setSurfaceToVolumeLiveHerb(1800);
    m.setSurfaceToVolumeLiveWoody(1600);
    m.setHeatContentDead(8000);
    m.setHeatContentLiveHerb(8000);
    m.setHeatContentLiveWoody(8000);
    m.setBulkDensityDepth(1.0);
    m.setMoistureOfExtinction(15);
    m.setHerbType(1);
    return m;
}

// A timber litter bed without live fuel (herb and woody loads 0, their SA/V 0).
inline FuelModel LitterModel()
{
    FuelModel m;
    m.setFuelModelID(QStringLiteral("TL"));
    m.setLoading1Hour(0.5);
    m.setLoading10Hour(2.2);
    m.setLoading100Hour(2.8);
    m.setSurfaceToVolume1Hour(2000);
    m.setHeatContentDead(8000);
    m.setHeatContentLiveHerb(8000);
    m.setHeatContentLiveWoody(8000);
    m.setBulkDensityDepth(0.3);
    m.setMoistureOfExtinction(20);
    m.setHerbType(1);
    return m;
}

// The editor's default environment: 5/6/7 % dead, 75/90 % live, 10 mi/h x 0.7, flat.
inline UncertaintyPoint PointOf(const FuelModel &model)
{
    UncertaintyPoint p;
    p.model = model;
    const double moisture[5] = {5, 6, 7, 75, 90};
    p.SetEnvironment(moisture, 10, 0.7, 0);
    return p;
}

inline VaryingInput Vary(const char *name, DistributionKind kind, double a, double b = 0)
{
    return {*FindInput(name), {kind, a, b}};
}
