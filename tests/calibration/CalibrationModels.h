#pragma once

#include "calibration/Observations.h"
#include "data/FuelModel.h"

#include <random>

// Fuel models and observed fires for the calibration tests, set up by hand.

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

// n environments drawn at random (fixed seed): 1-h moisture 3-12 %, 10-h and 100-h one and two
// points above it, herb 40-150 %, woody 70-150 % (as fractions), midflame wind 0.5-8 mi/h, slope 0-40 %.
inline std::vector<FireEnvironment> RandomEnvironments(int n, unsigned seed)
{
    std::mt19937 random(seed);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (double(random()) / 4294967295.0); };
    std::vector<FireEnvironment> out;
    for (int i = 0; i < n; ++i) {
        FireEnvironment e;
        const double dead = uniform(0.03, 0.12);
        e.moisture = {dead, dead + 0.01, dead + 0.02, uniform(0.4, 1.5), uniform(0.7, 1.5)};
        e.midflameWind = uniform(0.5, 8);
        e.slope = uniform(0, 40);
        out.push_back(e);
    }
    return out;
}

// Observed fires at the environments: rates of spread and flame lengths computed from truth
// (unrounded), each multiplied by exp(noise * a standard normal deviate) when noise > 0.
inline Observations TwinObservations(const FuelModel &truth, const std::vector<FireEnvironment> &environments,
                                     double noise = 0, unsigned seed = 5)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> normal;
    Observations out;
    int k = 0;
    for (const FireEnvironment &e : environments) {
        const ModelFire fire = ComputeModelFire(truth, e);
        Observation o;
        o.id = QStringLiteral("T%1").arg(++k);
        o.environment = e;
        o.ros = fire.spread.UnroundedRateOfSpread();
        o.flameLength = fire.spread.FlameLength();
        if (noise > 0) {
            o.ros *= std::exp(noise * normal(random));
            o.flameLength *= std::exp(noise * normal(random));
        }
        out << o;
    }
    return out;
}
