#pragma once

#include "engine/FireSpread.h"

#include <array>
#include <string>

class FuelModel;

// One way from a fuel model and an environment to a computed calculator, for every place that
// computes a stored model (comparison, sweeps, fmtool, ranking, sampling).

// The environment of one computation in the calculator's units: the five moistures as
// fractions (0.06 = 6 %) in the order 1-h, 10-h, 100-h, live herb, live woody; the midflame
// wind in mi/h, used exactly as given (the editor's rounded rule is the caller's); the slope in
// percent; fireHours 0 means one hour.
struct FireEnvironment
{
    std::array<double, 5> moisture{};
    double midflameWind = 0;
    double slope = 0;
    double fireHours = 0;
};

// Fuel bed inputs of fs from the model: the 13 parameters (the moisture of extinction as a
// fraction) and the model's own herb type.
void SetFuelModelInputs(FireSpread &fs, const FuelModel &model);
// Moistures, midflame wind, slope and fire duration of fs from env.
void SetEnvironmentInputs(FireSpread &fs, const FireEnvironment &env);

// Computes fs. A fuel bed the spread core cannot burn (no fuel, no depth, ...) is an ordinary
// outcome of trying entries and drawing inputs, not an error: false then, with the core's
// reason in *problem (when given), and fs's outputs stay zero. The one place a failed
// computation is caught; every caller that shows zeros for it computes through here.
bool ComputeSpread(FireSpread &fs, std::string *problem = nullptr);

struct ModelFire
{
    FireSpread spread; // inputs set; outputs zero unless computed
    bool computed = false;
    std::string problem; // the core's reason when not computed
};

// The model computed at env under the conventions. Never throws for a failure of the spread
// core: computed is false and problem says why.
ModelFire ComputeModelFire(const FuelModel &model, const FireEnvironment &env,
                           SpreadConventions conventions = SpreadConventions::Core);
