#pragma once

#include "engine/FireSpread.h"
#include "units/Units.h"

#include <QString>

#include <array>
#include <vector>

// Sensitivity of one model at one environment: each of the 13 fuel parameters in turn
// lowered and raised by a percentage of its value, clamped to the editor's range for that
// parameter, and the change of rate of spread and flame length that follows. The other
// inputs keep their values; the herb type stays, so a dynamic model transfers as it would.

struct FuelParameter
{
    const char *name; // short name for the chart: "1-h load"
    bool zeroAllowed; // 0 is in range too (an SA/V: no such fuel)
    double min, max;  // the editor's range, in the calculator's units
    double scale;     // calculator value x scale = the editor's value (100 for the extinction moisture)
    double (FireSpread::*get)() const;
    void (FireSpread::*set)(double);
    Units::Quantity quantity; // of the editor's value
};

// The 13 parameters in the order of the editor's boxes 2 to 14, read from the fuel parameter
// table (data/FuelParameters.h).
const std::array<FuelParameter, 13> &FuelParameters();

struct SensitivityRow
{
    int parameter = 0;        // index into FuelParameters()
    double value = 0;         // the base value (calculator units)
    double low = 0, high = 0; // the values tried, after clamping
    bool lowClamped = false, highClamped = false;
    double rosLow = 0, rosHigh = 0;     // ch/h at low and high
    double flameLow = 0, flameHigh = 0; // ft
    bool lowComputed = false, highComputed = false;

    // Changes from the base results, in percent of the base (0 when the base is 0).
    double rosChangeLow = 0, rosChangeHigh = 0;
    double flameChangeLow = 0, flameChangeHigh = 0;
    // The sorting key: the largest absolute change of rate of spread, then of flame length.
    double Effect() const;
};

struct SensitivityResult
{
    double percent = 10;
    bool baseComputed = false;
    double baseRos = 0, baseFlame = 0;
    std::vector<SensitivityRow> rows; // sorted by effect, largest first
};

// Clamps v to [min, max]; SA/V ratios may also be exactly 0 (no such fuel), which is kept.
double ClampToRange(const FuelParameter &p, double v);

SensitivityResult ComputeSensitivity(const FireSpread &base, double percent);
