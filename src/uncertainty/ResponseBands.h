#pragma once

#include "data/ModelComputation.h"
#include "uncertainty/UncertainInputs.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Uncertainty bands around a response curve, and how many observed fires a model's band holds.
//
// A band point is the model at one value of the swept input with every other varying input
// drawn from its distribution: the 5, 25, 75 and 95 % quantiles of each output over the draws.
// Every x of a curve uses the same draws (common random numbers), so a band is as smooth as
// its curve and does not flicker from one x to the next.

struct BandOptions
{
    int draws = 500;
    std::uint64_t seed = 1;
    SamplingMethod method = SamplingMethod::Sobol;
    double deadCorrelation = 0.9;
    double liveCorrelation = 0.9;
    int threads = 1;
};

enum class BandOutput { RateOfSpread, FlameLength, Intensity, Size };
inline constexpr int kBandOutputs = 4;

// The quantiles of a band, in percent.
inline constexpr std::array<double, 4> kBandQuantiles = {5, 25, 75, 95};

struct BandPoint
{
    double x = 0;
    int computed = 0; // draws the core could compute (the quantiles are over these)
    // Per BandOutput (rate of spread ch/h unrounded, flame length ft, fireline intensity
    // btu/ft/s, size after one hour ac): the kBandQuantiles. NaN when no draw computed.
    std::array<std::array<double, kBandQuantiles.size()>, kBandOutputs> quantiles{};

    double Quantile(BandOutput output, int index) const { return quantiles[std::size_t(output)][std::size_t(index)]; }
};

// The inputs without the swept one: a swept input is set to x, not drawn. Sweeping the 20-ft
// wind also stops a varying midflame wind (the sweep sets it from x and the adjustment).
std::vector<VaryingInput> InputsBesideSwept(const std::vector<VaryingInput> &inputs, InputKey swept);

// The point with the swept input set to x (percent for moistures and slope, mi/h for the
// 20-ft wind, whose midflame wind follows by the editor's rule).
UncertaintyPoint PointAtSwept(const UncertaintyPoint &point, InputKey swept, double x);

// The bands at every x. False with *problem when the inputs cannot be prepared (as
// UncertainModel::Prepare) or the swept input is not an environment input.
bool ComputeResponseBands(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs, InputKey swept,
                          const std::vector<double> &xs, const BandOptions &options, std::vector<BandPoint> *bands,
                          std::string *problem);

// An observed fire as the bands read it: its environment as a computation takes it (moistures
// as fractions, the midflame wind in mi/h used exactly as given, slope in percent) and what was
// observed (ch/h, ft; a flame length of NaN when none was observed).
struct ObservedFire
{
    FireEnvironment environment;
    double rateOfSpread = 0;
    double flameLength = NAN;
};

// The share of observed fires inside the model's 5-95 % band, each fire under its own
// environment (inputs given in percent vary about the fire's own values). A fire on a band's
// edge is inside.
struct BandCoverage
{
    int fires = 0; // fires whose band could be computed
    int rosInside = 0;
    int flameFires = 0; // of those, the fires with an observed flame length
    int flameInside = 0;

    double RosShare() const { return fires > 0 ? double(rosInside) / fires : NAN; }
    double FlameShare() const { return flameFires > 0 ? double(flameInside) / flameFires : NAN; }
};

// The model and conventions are those of `point`; its environment is replaced by each fire's.
bool ObservedBandCoverage(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs,
                          const std::vector<ObservedFire> &fires, const BandOptions &options, BandCoverage *coverage,
                          std::string *problem);
