#pragma once

#include "data/ModelComputation.h"
#include "support/HandMadeModels.h"

// The hand-made fuel beds as calculators with their environments, for the analysis tests.

// The worked example (WorkedExampleModel) at moistures 6, 7, 8 % (live 75 and 90 %), flat
// ground: 93.9 ch/h at a midflame wind of 5 mi/h, 4.2 ch/h without wind.
inline FireSpread WorkedExample(double midflameWind = 5)
{
    FireSpread fs;
    SetFuelModelInputs(fs, WorkedExampleModel());
    FireEnvironment env;
    env.moisture = {0.06, 0.07, 0.08, 0.75, 0.90};
    env.midflameWind = midflameWind;
    SetEnvironmentInputs(fs, env);
    return fs;
}

// The dynamic grass-shrub bed (GrassModel) at moistures 5, 6, 7 % (live 75 and 90 %), a
// midflame wind of 4 mi/h from a 20-ft wind of 10 mi/h, flat ground.
inline FireSpread DynamicGrass()
{
    FireSpread fs;
    SetFuelModelInputs(fs, GrassModel());
    FireEnvironment env;
    env.moisture = {0.05, 0.06, 0.07, 0.75, 0.90};
    env.midflameWind = 4;
    SetEnvironmentInputs(fs, env);
    fs.setWindSpeedNA(10);
    return fs;
}
