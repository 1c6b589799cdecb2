#include "uncertainty/UncertainInputs.h"

#include "data/ModelComputation.h"
#include "units/MidflameWind.h"

#include <cmath>

std::optional<InputKey> FindInput(std::string_view shortName)
{
    if (const FuelParameterInfo *p = FindFuelParameter(shortName))
        return InputKey::Fuel(p->id);
    if (const EnvironmentInputInfo *e = FindEnvironmentInput(shortName))
        return InputKey::Environment(e->id);
    return std::nullopt;
}

std::string_view InputShortName(InputKey key)
{
    return key.fuel ? FuelParameterOf(FuelParameterId(key.index)).shortName
                    : EnvironmentInputOf(EnvironmentInputId(key.index)).shortName;
}

std::string_view InputChartName(InputKey key)
{
    return key.fuel ? FuelParameterOf(FuelParameterId(key.index)).chartName
                    : EnvironmentInputOf(EnvironmentInputId(key.index)).chartName;
}

Units::Quantity InputQuantity(InputKey key)
{
    return key.fuel ? FuelParameterOf(FuelParameterId(key.index)).quantity
                    : EnvironmentInputOf(EnvironmentInputId(key.index)).quantity;
}

double EditorMidflameWind(double wind, double windAdjustment)
{
    return Units::MidflameWindSpeed(wind, windAdjustment);
}

void UncertaintyPoint::SetEnvironment(const double moisture[5], double wind, double windAdjustment, double slope)
{
    for (int i = 0; i < 5; ++i)
        environment[std::size_t(i)] = moisture[i];
    environment[std::size_t(EnvironmentInputId::Wind)] = wind;
    environment[std::size_t(EnvironmentInputId::WindAdjust)] = windAdjustment;
    environment[std::size_t(EnvironmentInputId::MidflameWind)] = EditorMidflameWind(wind, windAdjustment);
    environment[std::size_t(EnvironmentInputId::Slope)] = slope;
}

double UncertaintyPoint::ValueOf(InputKey key) const
{
    return key.fuel ? FuelParameterOf(FuelParameterId(key.index)).valueOf(model) : environment[std::size_t(key.index)];
}

bool UncertainModel::Prepare(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs,
                             std::string *problem)
{
    m_point = point;
    // Without its texts the model is copied for every computation at the cost of its numbers.
    m_point.model.setFuelModelID(QString());
    m_point.model.setDescription(QString());
    m_point.model.setKey(QString());
    m_inputs.clear();
    m_distributions.clear();
    bool wind = false, midflame = false;
    for (const VaryingInput &input : inputs) {
        const std::string name(InputShortName(input.key));
        for (const VaryingInput &earlier : m_inputs)
            if (earlier.key == input.key) {
                *problem = name + " varies twice";
                return false;
            }
        if (!input.key.fuel) {
            const auto id = EnvironmentInputId(input.key.index);
            wind = wind || id == EnvironmentInputId::Wind || id == EnvironmentInputId::WindAdjust;
            midflame = midflame || id == EnvironmentInputId::MidflameWind;
        }
        if (wind && midflame) {
            *problem = "midflame-wind cannot vary together with wind or wind-adjust";
            return false;
        }
        const double current = point.ValueOf(input.key);
        TruncatedDistribution d;
        if (input.key.fuel) {
            const FuelParameterInfo &p = FuelParameterOf(FuelParameterId(input.key.index));
            // An absent fuel class (no load, or an SA/V of 0 where that means none) stays absent.
            const bool absent = current == 0 && (p.quantity == Units::Quantity::Loading || p.zeroAllowed);
            if (absent)
                d = TruncatedDistribution::Constant(0);
            else if (std::string why; !d.Resolve(input.distribution, current, p.low, p.high, &why)) {
                *problem = name + ": " + why;
                return false;
            }
        } else {
            const EnvironmentInputInfo &e = EnvironmentInputOf(EnvironmentInputId(input.key.index));
            if (std::string why; !d.Resolve(input.distribution, current, e.low, e.high, &why)) {
                *problem = name + ": " + why;
                return false;
            }
        }
        m_inputs.push_back(input);
        m_distributions.push_back(d);
    }
    m_windDerived = wind;
    return true;
}

std::vector<CorrelationGroup> UncertainModel::MoistureGroups(double deadCorrelation, double liveCorrelation) const
{
    CorrelationGroup dead{{}, deadCorrelation}, live{{}, liveCorrelation};
    for (int i = 0; i < InputCount(); ++i) {
        const InputKey key = m_inputs[std::size_t(i)].key;
        if (key.fuel)
            continue;
        const auto id = EnvironmentInputId(key.index);
        if (id == EnvironmentInputId::Moisture1Hour || id == EnvironmentInputId::Moisture10Hour ||
            id == EnvironmentInputId::Moisture100Hour)
            dead.members.push_back(i);
        else if (id == EnvironmentInputId::MoistureHerb || id == EnvironmentInputId::MoistureWoody)
            live.members.push_back(i);
    }
    std::vector<CorrelationGroup> groups;
    for (CorrelationGroup *g : {&dead, &live})
        if (g->members.size() >= 2)
            groups.push_back(*g);
    return groups;
}

void UncertainModel::ValuesAt(const double *unit, double *values) const
{
    for (std::size_t i = 0; i < m_distributions.size(); ++i)
        values[i] = m_distributions[i].ValueAt(unit[i]);
}

FireSpread UncertainModel::SpreadAt(const double *values) const
{
    FuelModel model = m_point.model;
    std::array<double, kEnvironmentInputCount> env = m_point.environment;
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        const InputKey key = m_inputs[i].key;
        if (key.fuel)
            FuelParameterOf(FuelParameterId(key.index)).setValue(model, values[i]);
        else
            env[std::size_t(key.index)] = values[i];
    }
    using Id = EnvironmentInputId;
    FireEnvironment fire;
    // Moistures in percent here, fractions in the calculator (the order is the same).
    for (std::size_t i = 0; i < 5; ++i)
        fire.moisture[i] = env[i] / 100;
    fire.midflameWind = m_windDerived ? EditorMidflameWind(env[std::size_t(Id::Wind)], env[std::size_t(Id::WindAdjust)])
                                      : env[std::size_t(Id::MidflameWind)];
    fire.slope = env[std::size_t(Id::Slope)];

    FireSpread fs;
    SetFuelModelInputs(fs, model);
    SetEnvironmentInputs(fs, fire);
    fs.setConventions(m_point.conventions);
    return fs;
}

DrawnFire UncertainModel::Compute(const double *values) const
{
    FireSpread fs = SpreadAt(values);
    DrawnFire out;
    if (!ComputeSpread(fs))
        return out;
    out.rateOfSpread = fs.UnroundedRateOfSpread();
    out.flameLength = fs.FlameLength();
    out.intensity = fs.FireLineIntensity();
    out.computed = true;
    return out;
}
