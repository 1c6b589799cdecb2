#pragma once

#include "engine/FireSpread.h"

// Fuel beds for the analysis tests, set up by hand.

// The dead-fuel-only worked example with a published answer: 0.74 t/ac of 1-h fuel, SA/V
// 3500, 8000 btu/lb, 1 ft deep, extinction moisture 12 %, moistures 6, 7, 8 %: 93.9 ch/h at a
// midflame wind of 5 mi/h, 4.2 ch/h without wind, flat ground.
inline FireSpread WorkedExample(double midflameWind = 5)
{
    FireSpread fs;
    fs.setLoading1Hour(0.74);
    fs.setSurfaceToVolume1Hour(3500);
    fs.setHeatContentDead(8000);
    fs.setBulkDensityDepth(1.0);
    fs.setMoistureOfExtinction(0.12);
    fs.setFuelMoisture1Hour(0.06);
    fs.setFuelMoisture10Hour(0.07);
    fs.setFuelMoisture100Hour(0.08);
    fs.setFuelMoistureHerb(0.75);
    fs.setFuelMoistureWoody(0.90);
    fs.setWindSpeed(midflameWind);
    fs.setHerbType(1);
    return fs;
}

// A grass bed with live herbaceous load and some woody fuel, dynamic (herb type 2).
inline FireSpread DynamicGrass()
{
    FireSpread fs;
    fs.setLoading1Hour(0.3);
    fs.setLoading10Hour(0.2);
    fs.setLoadingLiveHerb(1.5);
    fs.setLoadingLiveWoody(0.4);
    fs.setSurfaceToVolume1Hour(2000);
    fs.setSurfaceToVolumeLiveHerb(1800);
    fs.setSurfaceToVolumeLiveWoody(1600);
    fs.setHeatContentDead(8000);
    fs.setHeatContentLiveHerb(8000);
    fs.setHeatContentLiveWoody(8000);
    fs.setBulkDensityDepth(1.5);
    fs.setMoistureOfExtinction(0.25);
    fs.setFuelMoisture1Hour(0.05);
    fs.setFuelMoisture10Hour(0.06);
    fs.setFuelMoisture100Hour(0.07);
    fs.setFuelMoistureHerb(0.75);
    fs.setFuelMoistureWoody(0.90);
    fs.setWindSpeed(4);
    fs.setWindSpeedNA(10);
    fs.setHerbType(2);
    return fs;
}
