#include "analysis/SetComparison.h"

#include "data/FuelModelSet.h"
#include "data/FuelModelSets.h"
#include "data/ModelComputation.h"
#include "engine/FireSpread.h"
#include "units/MoistureScenarios.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Parameter indexes in the fuel bed.
enum : std::size_t {
    Load1h,
    Load10h,
    Load100h,
    LoadHerb,
    LoadWoody,
    Sav1h,
    SavHerb,
    SavWoody,
    HeatDead,
    HeatHerb,
    HeatWoody,
    Depth,
    Mx
};

// Width of a parameter's entry range, in calculator units (the moisture of extinction as a
// fraction).
double rangeWidth(std::size_t i)
{
    const FuelParameterInfo &p = FuelParameterTable()[i];
    return (p.high - p.low) / (i == Mx ? 100 : 1);
}

FireSpread calculatorFor(const FuelBed &bed, const FireEnvironment &env)
{
    FireSpread fs;
    const auto &p = bed.p;
    fs.setLoading1Hour(p[Load1h]);
    fs.setLoading10Hour(p[Load10h]);
    fs.setLoading100Hour(p[Load100h]);
    fs.setLoadingLiveHerb(p[LoadHerb]);
    fs.setLoadingLiveWoody(p[LoadWoody]);
    fs.setSurfaceToVolume1Hour(p[Sav1h]);
    fs.setSurfaceToVolumeLiveHerb(p[SavHerb]);
    fs.setSurfaceToVolumeLiveWoody(p[SavWoody]);
    fs.setHeatContentDead(p[HeatDead]);
    fs.setHeatContentLiveHerb(p[HeatHerb]);
    fs.setHeatContentLiveWoody(p[HeatWoody]);
    fs.setBulkDensityDepth(p[Depth]);
    fs.setMoistureOfExtinction(p[Mx]);
    fs.setHerbType(bed.herbType);
    SetEnvironmentInputs(fs, env);
    return fs;
}

double mean(const std::vector<double> &v)
{
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

std::vector<int> sortedBy(const SetComparison &c, double ComparisonRow::*distance)
{
    std::vector<int> order(c.rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&c, distance](int a, int b) {
        return c.rows[std::size_t(a)].*distance < c.rows[std::size_t(b)].*distance;
    });
    return order;
}

} // namespace

FuelBed FuelBedOf(const FuelModel &m)
{
    FuelBed bed;
    bed.p = {m.Loading1Hour(),
             m.Loading10Hour(),
             m.Loading100Hour(),
             m.LoadingLiveHerb(),
             m.LoadingLiveWoody(),
             m.SurfaceToVolume1Hour(),
             m.SurfaceToVolumeLiveHerb(),
             m.SurfaceToVolumeLiveWoody(),
             m.HeatContentDead(),
             m.HeatContentLiveHerb(),
             m.HeatContentLiveWoody(),
             m.BulkDensityDepth(),
             m.MoistureOfExtinction() / 100};
    bed.herbType = m.HerbType();
    return bed;
}

FuelBed FuelBedOf(const FireSpread &fs)
{
    FuelBed bed;
    bed.p = {fs.Loading1Hour(),
             fs.Loading10Hour(),
             fs.Loading100Hour(),
             fs.LoadingLiveHerb(),
             fs.LoadingLiveWoody(),
             fs.SurfaceToVolume1Hour(),
             fs.SurfaceToVolumeLiveHerb(),
             fs.SurfaceToVolumeLiveWoody(),
             fs.HeatContentDead(),
             fs.HeatContentLiveHerb(),
             fs.HeatContentLiveWoody(),
             fs.BulkDensityDepth(),
             fs.MoistureOfExtinction()};
    bed.herbType = fs.HerbType();
    return bed;
}

FireEnvironment EnvironmentOf(const FireSpread &fs)
{
    return {{fs.FuelMoisture1Hour(), fs.FuelMoisture10Hour(), fs.FuelMoisture100Hour(), fs.FuelMoistureHerb(),
             fs.FuelMoistureWoody()},
            fs.WindSpeed(),
            fs.Slope(),
            fs.FireHours()};
}

Behaviour ComputeBehaviour(const FuelBed &bed, const FireEnvironment &env)
{
    FireSpread fs = calculatorFor(bed, env);
    Behaviour b;
    if (!ComputeSpread(fs))
        return b; // the editor shows a failed computation as zeros
    b.ros = fs.RateOfSpread();
    b.unroundedRos = fs.UnroundedRateOfSpread();
    b.fl = fs.FlameLength();
    b.fli = fs.FireLineIntensity();
    b.hpa = fs.HeatPerUnitArea();
    b.surfToVol = fs.SurfToVol();
    b.packRatio = fs.PackRatio();
    b.computed = true;
    return b;
}

std::vector<FireEnvironment> BehaviourConditions(const std::vector<std::array<double, 5>> &scenarioPercents)
{
    std::vector<FireEnvironment> conditions;
    conditions.reserve(scenarioPercents.size() * kBehaviourWinds.size());
    for (const auto &s : scenarioPercents) {
        for (double wind : kBehaviourWinds) {
            FireEnvironment env;
            for (std::size_t i = 0; i < 5; ++i)
                env.moisture[i] = s[i] / 100;
            env.midflameWind = wind;
            conditions.push_back(env);
        }
    }
    return conditions;
}

const std::vector<FireEnvironment> &StandardBehaviourConditions()
{
    static const std::vector<FireEnvironment> conditions = [] {
        std::vector<std::array<double, 5>> percents;
        for (const Units::MoistureScenario &m : Units::StandardMoistureScenarios())
            percents.push_back({m.oneHour, m.tenHour, m.hundredHour, m.herb, m.woody});
        return BehaviourConditions(percents);
    }();
    return conditions;
}

BehaviourProfile ProfileOf(const FuelBed &bed, const std::vector<FireEnvironment> &conditions)
{
    BehaviourProfile profile;
    profile.ros.reserve(conditions.size());
    profile.fl.reserve(conditions.size());
    for (const FireEnvironment &env : conditions) {
        const Behaviour b = ComputeBehaviour(bed, env);
        profile.ros.push_back(b.ros);
        profile.fl.push_back(b.fl);
    }
    return profile;
}

BehaviourScales ScalesOf(const BehaviourProfile &edited)
{
    return {std::max(mean(edited.ros), 1.0), std::max(mean(edited.fl), 1.0)};
}

double BehaviourDistance(const BehaviourProfile &edited, const BehaviourProfile &candidate, BehaviourScales scales)
{
    const std::size_t n = std::min(edited.ros.size(), candidate.ros.size());
    if (n == 0)
        return 0;
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dr = (candidate.ros[i] - edited.ros[i]) / scales.ros;
        const double df = (candidate.fl[i] - edited.fl[i]) / scales.fl;
        sum += dr * dr + df * df;
    }
    return std::sqrt(sum / double(n));
}

std::array<double, kFuelParameterCount> ParameterSpans(const std::vector<FuelBed> &beds)
{
    std::array<double, kFuelParameterCount> spans{};
    for (std::size_t p = 0; p < kFuelParameterCount; ++p)
        spans[p] = rangeWidth(p);
    if (beds.empty())
        return spans;
    for (std::size_t p = 0; p < kFuelParameterCount; ++p) {
        double lo = beds.front().p[p], hi = lo;
        for (const FuelBed &b : beds) {
            lo = std::min(lo, b.p[p]);
            hi = std::max(hi, b.p[p]);
        }
        if (hi > lo && std::isfinite(hi - lo))
            spans[p] = hi - lo;
    }
    return spans;
}

double ParameterDistance(const FuelBed &a, const FuelBed &b, const std::array<double, kFuelParameterCount> &spans)
{
    const bool herb = a.p[LoadHerb] != 0 || b.p[LoadHerb] != 0;
    const bool woody = a.p[LoadWoody] != 0 || b.p[LoadWoody] != 0;
    double sum = 0;
    for (std::size_t p = 0; p < kFuelParameterCount; ++p) {
        if (!herb && (p == SavHerb || p == HeatHerb))
            continue;
        if (!woody && (p == SavWoody || p == HeatWoody))
            continue;
        const double d = (a.p[p] - b.p[p]) / spans[p];
        sum += d * d;
    }
    return std::sqrt(sum / kFuelParameterCount);
}

SetComparison CompareWithModels(const FuelBed &edited, const FireEnvironment &env,
                                const std::vector<std::shared_ptr<FuelModel>> &models,
                                const std::vector<FireEnvironment> &conditions)
{
    SetComparison c;
    c.edited = ComputeBehaviour(edited, env);
    const BehaviourProfile editedProfile = ProfileOf(edited, conditions);
    const BehaviourScales scales = ScalesOf(editedProfile);

    std::vector<FuelBed> beds;
    beds.reserve(models.size());
    for (const auto &m : models)
        beds.push_back(FuelBedOf(*m));
    const auto spans = ParameterSpans(beds);

    c.rows.reserve(models.size());
    for (std::size_t i = 0; i < models.size(); ++i) {
        ComparisonRow row;
        row.position = int(i) + 1;
        row.id = models[i]->FuelModelID();
        row.description = models[i]->Description();
        row.behaviour = ComputeBehaviour(beds[i], env);
        row.dRos = row.behaviour.ros - c.edited.ros;
        row.dFl = row.behaviour.fl - c.edited.fl;
        row.dFli = row.behaviour.fli - c.edited.fli;
        row.dHpa = row.behaviour.hpa - c.edited.hpa;
        row.behaviourDistance = BehaviourDistance(editedProfile, ProfileOf(beds[i], conditions), scales);
        row.parameterDistance = ParameterDistance(edited, beds[i], spans);
        c.rows.push_back(row);
    }
    return c;
}

std::vector<int> NearestByBehaviour(const SetComparison &comparison)
{
    return sortedBy(comparison, &ComparisonRow::behaviourDistance);
}

std::vector<int> NearestByParameters(const SetComparison &comparison)
{
    return sortedBy(comparison, &ComparisonRow::parameterDistance);
}

std::vector<std::shared_ptr<FuelModel>> ModelsOf(FuelModelSet &set)
{
    std::vector<std::shared_ptr<FuelModel>> models;
    const auto &collection = set.FuelModels();
    models.reserve(std::size_t(collection->Count()));
    for (const auto &m : *collection)
        models.push_back(m);
    return models;
}

int DefaultComparisonSetPosition(const FuelModelSets &sets)
{
    int position = 1;
    for (const auto &set : sets) {
        if (set->Locked())
            return position;
        ++position;
    }
    return sets.Count() > 0 ? 1 : 0;
}
