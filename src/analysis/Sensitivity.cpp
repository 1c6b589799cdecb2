#include "analysis/Sensitivity.h"

#include "analysis/Sweep.h"
#include "data/FuelParameters.h"

#include <algorithm>
#include <cmath>

namespace {

// The fuel parameter table read into the calculator's terms: the moisture of extinction is a
// fraction there and a percentage in the editor.
std::array<FuelParameter, 13> makeParameters()
{
    std::array<FuelParameter, 13> out{};
    const std::array<double (FireSpread::*)() const, 13> getters = {&FireSpread::Loading1Hour,
                                                                    &FireSpread::Loading10Hour,
                                                                    &FireSpread::Loading100Hour,
                                                                    &FireSpread::LoadingLiveHerb,
                                                                    &FireSpread::LoadingLiveWoody,
                                                                    &FireSpread::SurfaceToVolume1Hour,
                                                                    &FireSpread::SurfaceToVolumeLiveHerb,
                                                                    &FireSpread::SurfaceToVolumeLiveWoody,
                                                                    &FireSpread::HeatContentDead,
                                                                    &FireSpread::HeatContentLiveHerb,
                                                                    &FireSpread::HeatContentLiveWoody,
                                                                    &FireSpread::BulkDensityDepth,
                                                                    &FireSpread::MoistureOfExtinction};
    const std::array<void (FireSpread::*)(double), 13> setters = {&FireSpread::setLoading1Hour,
                                                                  &FireSpread::setLoading10Hour,
                                                                  &FireSpread::setLoading100Hour,
                                                                  &FireSpread::setLoadingLiveHerb,
                                                                  &FireSpread::setLoadingLiveWoody,
                                                                  &FireSpread::setSurfaceToVolume1Hour,
                                                                  &FireSpread::setSurfaceToVolumeLiveHerb,
                                                                  &FireSpread::setSurfaceToVolumeLiveWoody,
                                                                  &FireSpread::setHeatContentDead,
                                                                  &FireSpread::setHeatContentLiveHerb,
                                                                  &FireSpread::setHeatContentLiveWoody,
                                                                  &FireSpread::setBulkDensityDepth,
                                                                  &FireSpread::setMoistureOfExtinction};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const FuelParameterInfo &p = FuelParameterTable()[i];
        const double scale = p.id == FuelParameterId::MoistureOfExtinction ? 100 : 1;
        out[i] = {p.chartName.data(), p.zeroAllowed, p.low / scale, p.high / scale, scale,
                  getters[i],         setters[i],    p.quantity};
    }
    return out;
}

const std::array<FuelParameter, 13> kParameters = makeParameters();

double percentChange(double value, double base)
{
    return base > 0 ? (value - base) / base * 100 : 0;
}

} // namespace

const std::array<FuelParameter, 13> &FuelParameters()
{
    return kParameters;
}

double ClampToRange(const FuelParameter &p, double v)
{
    if (p.zeroAllowed && v == 0)
        return 0;
    return std::clamp(v, p.min, p.max);
}

double SensitivityRow::Effect() const
{
    return std::max(std::abs(rosChangeLow), std::abs(rosChangeHigh));
}

SensitivityResult ComputeSensitivity(const FireSpread &base, double percent)
{
    SensitivityResult result;
    result.percent = percent;
    const SweepPoint b = ComputePoint(base, 0);
    result.baseComputed = b.computed;
    result.baseRos = b.rateOfSpread;
    result.baseFlame = b.flameLength;

    const double fraction = percent / 100;
    for (std::size_t i = 0; i < kParameters.size(); ++i) {
        const FuelParameter &p = kParameters[i];
        SensitivityRow row;
        row.parameter = int(i);
        row.value = (base.*p.get)();
        const double wantLow = row.value * (1 - fraction);
        const double wantHigh = row.value * (1 + fraction);
        row.low = ClampToRange(p, wantLow);
        row.high = ClampToRange(p, wantHigh);
        row.lowClamped = row.low != wantLow;
        row.highClamped = row.high != wantHigh;

        FireSpread work = base;
        (work.*p.set)(row.low);
        const SweepPoint lo = ComputePoint(work, row.low);
        (work.*p.set)(row.high);
        const SweepPoint hi = ComputePoint(work, row.high);
        row.lowComputed = lo.computed;
        row.highComputed = hi.computed;
        row.rosLow = lo.rateOfSpread;
        row.rosHigh = hi.rateOfSpread;
        row.flameLow = lo.flameLength;
        row.flameHigh = hi.flameLength;
        row.rosChangeLow = percentChange(lo.rateOfSpread, b.rateOfSpread);
        row.rosChangeHigh = percentChange(hi.rateOfSpread, b.rateOfSpread);
        row.flameChangeLow = percentChange(lo.flameLength, b.flameLength);
        row.flameChangeHigh = percentChange(hi.flameLength, b.flameLength);
        result.rows.push_back(row);
    }
    std::stable_sort(result.rows.begin(), result.rows.end(), [](const SensitivityRow &a, const SensitivityRow &b) {
        if (a.Effect() != b.Effect())
            return a.Effect() > b.Effect();
        const double fa = std::max(std::abs(a.flameChangeLow), std::abs(a.flameChangeHigh));
        const double fb = std::max(std::abs(b.flameChangeLow), std::abs(b.flameChangeHigh));
        return fa > fb;
    });
    return result;
}
