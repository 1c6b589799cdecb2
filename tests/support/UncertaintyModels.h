#pragma once

#include "support/HandMadeModels.h"
#include "uncertainty/UncertainInputs.h"

// Points and varied inputs for the uncertainty tests and benchmarks (models: HandMadeModels.h).

// The editor's default environment: 5/6/7 % dead, 75/90 % live, 10 mi/h x 0.7, flat unless a
// slope (%) is given.
inline UncertaintyPoint PointOf(const FuelModel &model, double slope = 0)
{
    UncertaintyPoint p;
    p.model = model;
    const double moisture[5] = {5, 6, 7, 75, 90};
    p.SetEnvironment(moisture, 10, 0.7, slope);
    return p;
}

inline VaryingInput Vary(const char *name, DistributionKind kind, double a, double b = 0)
{
    return {*FindInput(name), {kind, a, b}};
}
