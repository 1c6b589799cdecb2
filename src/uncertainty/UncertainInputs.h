#pragma once

#include "data/EnvironmentInputs.h"
#include "data/FuelModel.h"
#include "data/FuelParameters.h"
#include "engine/FireSpread.h"
#include "uncertainty/Distributions.h"
#include "uncertainty/Sampling.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The inputs that may vary: the 13 fuel parameters and the environment inputs, named as fmtool
// names them, and the computation of the model at one drawn value of each.

struct InputKey
{
    bool fuel = true;
    int index = 0; // FuelParameterId or EnvironmentInputId

    static InputKey Fuel(FuelParameterId id) { return {true, int(id)}; }
    static InputKey Environment(EnvironmentInputId id) { return {false, int(id)}; }
    bool operator==(const InputKey &) const = default;
};

// "load-1h" ... "mx", "moist-1h" ... "moist-woody", "wind", "midflame-wind", "wind-adjust",
// "slope"; nullopt for any other name.
std::optional<InputKey> FindInput(std::string_view shortName);
std::string_view InputShortName(InputKey key);
std::string_view InputChartName(InputKey key);
Units::Quantity InputQuantity(InputKey key);

struct VaryingInput
{
    InputKey key;
    Distribution distribution;
};

// The point about which the inputs vary: the model and its environment in English units.
struct UncertaintyPoint
{
    FuelModel model;
    // Indexed by EnvironmentInputId. The midflame wind is the 20-ft wind times the adjustment
    // (the editor's rule) unless midflame-wind varies.
    std::array<double, kEnvironmentInputCount> environment{};
    SpreadConventions conventions = SpreadConventions::Core;

    // The environment from the 20-ft wind and its adjustment (the midflame wind set from them).
    void SetEnvironment(const double moisture[5], double wind, double windAdjustment, double slope);
    double ValueOf(InputKey key) const;
};

// The editor's midflame wind: 20-ft wind x adjustment to one decimal of mi/h (the program's
// one rule).
double EditorMidflameWind(double wind, double windAdjustment);

// The fire behavior of one computation that the summaries read.
struct DrawnFire
{
    double rateOfSpread = 0; // ch/h, unrounded
    double flameLength = 0;  // ft
    double intensity = 0;    // btu/ft/s
    bool computed = false;
};

// The varying inputs resolved at a point: each one's truncated distribution, and the work of
// computing the model at a row of drawn values.
class UncertainModel
{
public:
    // False with *problem naming the input when an input is given twice, the 20-ft and the
    // midflame wind both vary, or a distribution has no value within the input's range.
    bool Prepare(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs, std::string *problem);

    int InputCount() const { return int(m_inputs.size()); }
    const VaryingInput &Input(int i) const { return m_inputs[std::size_t(i)]; }
    const TruncatedDistribution &DistributionOf(int i) const { return m_distributions[std::size_t(i)]; }
    const UncertaintyPoint &Point() const { return m_point; }

    // The dead moistures' and the live moistures' positions among the inputs, as correlation
    // groups (groups of fewer than two inputs are left out).
    std::vector<CorrelationGroup> MoistureGroups(double deadCorrelation, double liveCorrelation) const;

    // Values of the inputs from a point of the unit cube.
    void ValuesAt(const double *unit, double *values) const;
    // The calculator with the inputs at values (the others at the point), not yet computed.
    FireSpread SpreadAt(const double *values) const;
    // The model computed with the inputs at values. Thread-safe.
    DrawnFire Compute(const double *values) const;

private:
    UncertaintyPoint m_point;
    std::vector<VaryingInput> m_inputs;
    std::vector<TruncatedDistribution> m_distributions;
    bool m_windDerived = false; // the midflame wind follows a drawn 20-ft wind or adjustment
};
