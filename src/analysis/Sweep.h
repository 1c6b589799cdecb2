#pragma once

#include "engine/FireSpread.h"
#include "units/Units.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

class FuelModel;

// Response curves: the fire behavior of one model while one input of its environment runs
// over a range, every point a full computation on a copy of the same calculator inputs a
// single computation would use.
//
// A sweep starts from a base calculator with every input set (fuel bed, moistures, midflame
// wind, slope, herb type), as the Edit and Test Center sets one for a computation. Sweeping
// the 20-ft wind sets the 20-ft wind to x and the midflame wind by the program's one rule
// (Units::MidflameWindSpeed: x times the wind adjustment factor, to 0.1 mi/h, as the editor); the moisture sweeps take percent; the slope sweep percent. A point the
// spread core cannot compute (no fuel, zero depth, ...) is kept with computed = false and zero
// results, so that a curve has one point per x whatever happens.

enum class SweepInput { TwentyFootWind, Moisture1Hour, HerbMoisture, WoodyMoisture, Slope };

struct SweepInputInfo
{
    SweepInput input;
    const char *key;   // command-line name: wind, moist-1h, moist-herb, moist-woody, slope
    const char *title; // axis title without unit
    const char *unit;  // in the units the editor's entries take (English)
    double min, max;   // the entry's range (the default sweep), English units
    Units::Quantity quantity;
};

const std::array<SweepInputInfo, 5> &SweepInputs();
const SweepInputInfo &SweepInputInfoOf(SweepInput input);
std::optional<SweepInput> SweepInputFromKey(const QString &key);

struct SweepPoint
{
    double x = 0;
    bool computed = false;
    double rateOfSpread = 0;          // ch/h, to 0.1 as the editor shows it
    double unroundedRateOfSpread = 0; // ch/h before that rounding: metric values are made from it
    double flameLength = 0;           // ft
    double fireLineIntensity = 0;     // btu/ft/s
    double size = 0;                  // ac after one hour (single ellipse)
    double heatPerUnitArea = 0;       // btu/ft2
    double effectiveWind = 0;         // mi/h
    bool windLimit = false;
};

// Sets the swept input of fs to x (in the unit of SweepInputInfo).
void SetSweptInput(FireSpread &fs, SweepInput input, double x, double windAdjustment);
// The value of the swept input in fs, in the same unit: where the current environment sits.
double SweptInputValue(const FireSpread &fs, SweepInput input);

// The results of one computation of fs (computed = false and zeros when it fails).
SweepPoint ComputePoint(const FireSpread &fs, double x);

// steps points equally spaced from `from` to `to` inclusive (one point at `from` when steps is
// 1, none when below 1).
std::vector<SweepPoint> Sweep(const FireSpread &base, SweepInput input, double from, double to, int steps,
                              double windAdjustment);

// The first x at which the wind limit caps a burning fire; none when it never does (an
// extinguished fuel bed raises the flag with no fire to cap, which is not counted).
std::optional<double> WindLimitReachedAt(const std::vector<SweepPoint> &points);

// Copies the fuel bed of a library model into fs: loadings, SA/V ratios, heat contents, depth,
// moisture of extinction (percent in the model, a fraction in the calculator) and herb type.
void SetModelInputs(FireSpread &fs, const FuelModel &model);

// One curve of a chart or an export: which model, and its points.
struct ModelCurve
{
    QString setName;
    QString modelId;
    QString role; // "Edited", "Reference", "Library"
    std::vector<SweepPoint> points;
};
