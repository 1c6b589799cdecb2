#pragma once

#include "calibration/Observations.h"
#include "support/HandMadeModels.h"

#include <random>

// Observed fires for the calibration tests and benchmarks, made from a known model (models:
// HandMadeModels.h).

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
