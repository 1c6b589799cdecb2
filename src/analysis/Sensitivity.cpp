#include "analysis/Sensitivity.h"

#include "analysis/Sweep.h"

#include <algorithm>
#include <cmath>

namespace {

// Ranges as the editor checks them (loadings t/ac, SA/V ft2/ft3, heat btu/lb, depth ft, the
// moisture of extinction as a fraction of the editor's 5 to 100 %).
const std::array<FuelParameter, 13> kParameters = {{
    {"1-h load", "t/ac", 0, 30.49, 1, &FireSpread::Loading1Hour, &FireSpread::setLoading1Hour, Units::Quantity::Loading},
    {"10-h load", "t/ac", 0, 30.49, 1, &FireSpread::Loading10Hour, &FireSpread::setLoading10Hour, Units::Quantity::Loading},
    {"100-h load", "t/ac", 0, 30.49, 1, &FireSpread::Loading100Hour, &FireSpread::setLoading100Hour, Units::Quantity::Loading},
    {"Live herb load", "t/ac", 0, 30.49, 1, &FireSpread::LoadingLiveHerb, &FireSpread::setLoadingLiveHerb, Units::Quantity::Loading},
    {"Live woody load", "t/ac", 0, 30.49, 1, &FireSpread::LoadingLiveWoody, &FireSpread::setLoadingLiveWoody, Units::Quantity::Loading},
    {"1-h SA/V", "ft2/ft3", 109, 4000, 1, &FireSpread::SurfaceToVolume1Hour, &FireSpread::setSurfaceToVolume1Hour, Units::Quantity::SurfaceToVolume},
    {"Live herb SA/V", "ft2/ft3", 109, 4000, 1, &FireSpread::SurfaceToVolumeLiveHerb,
     &FireSpread::setSurfaceToVolumeLiveHerb, Units::Quantity::SurfaceToVolume},
    {"Live woody SA/V", "ft2/ft3", 109, 4000, 1, &FireSpread::SurfaceToVolumeLiveWoody,
     &FireSpread::setSurfaceToVolumeLiveWoody, Units::Quantity::SurfaceToVolume},
    {"Dead heat content", "btu/lb", 6000, 12000, 1, &FireSpread::HeatContentDead, &FireSpread::setHeatContentDead, Units::Quantity::HeatContent},
    {"Herb heat content", "btu/lb", 6000, 12000, 1, &FireSpread::HeatContentLiveHerb,
     &FireSpread::setHeatContentLiveHerb, Units::Quantity::HeatContent},
    {"Woody heat content", "btu/lb", 6000, 12000, 1, &FireSpread::HeatContentLiveWoody,
     &FireSpread::setHeatContentLiveWoody, Units::Quantity::HeatContent},
    {"Fuel bed depth", "ft", 0.05, 6, 1, &FireSpread::BulkDensityDepth, &FireSpread::setBulkDensityDepth, Units::Quantity::Depth},
    {"Extinction moisture", "%", 0.05, 1.00, 100, &FireSpread::MoistureOfExtinction,
     &FireSpread::setMoistureOfExtinction, Units::Quantity::Moisture},
}};

bool isSurfaceToVolume(const FuelParameter &p)
{
    return p.min == 109;
}

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
    if (isSurfaceToVolume(p) && v == 0)
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
