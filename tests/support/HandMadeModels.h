#pragma once

#include "data/FuelModel.h"

// Fuel models set up by hand for the tests and benchmarks of the computing layers (analysis,
// calibration, uncertainty). Their expected figures are worked out in the tests that use them.

// The dead-fuel-only worked example with a published answer: 0.74 t/ac of 1-h fuel, SA/V 3500,
// 8000 btu/lb, 1 ft deep, extinction moisture 12 %: 93.9 ch/h at moistures 6, 7, 8 % and a
// midflame wind of 5 mi/h on flat ground.
inline FuelModel WorkedExampleModel()
{
    FuelModel m;
    m.setFuelModelID(QStringLiteral("WX"));
    m.setLoading1Hour(0.74);
    m.setSurfaceToVolume1Hour(3500);
    m.setHeatContentDead(8000);
    m.setHeatContentLiveHerb(8000);
    m.setHeatContentLiveWoody(8000);
    m.setBulkDensityDepth(1.0);
    m.setMoistureOfExtinction(12);
    m.setHerbType(1);
    return m;
}

// A dynamic grass-shrub model (herb type 2).
inline FuelModel GrassModel()
{
    FuelModel m;
    m.setFuelModelID(QStringLiteral("GRS"));
    m.setLoading1Hour(0.3);
    m.setLoading10Hour(0.2);
    m.setLoadingLiveHerb(1.5);
    m.setLoadingLiveWoody(0.4);
    m.setSurfaceToVolume1Hour(2000);
    m.setSurfaceToVolumeLiveHerb(1800);
    m.setSurfaceToVolumeLiveWoody(1600);
    m.setHeatContentDead(8000);
    m.setHeatContentLiveHerb(8000);
    m.setHeatContentLiveWoody(8000);
    m.setBulkDensityDepth(1.5);
    m.setMoistureOfExtinction(25);
    m.setHerbType(2);
    return m;
}

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
