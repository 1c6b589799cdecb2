#include "analysis/Sweep.h"

#include "data/FuelModel.h"
#include "data/ModelComputation.h"
#include "engine/SurfaceSpread.h"
#include "units/MidflameWind.h"

namespace {

const std::array<SweepInputInfo, 5> kInputs = {{
    {SweepInput::TwentyFootWind, "wind", "20-ft wind speed", "mi/h", 0, 99, Units::Quantity::WindSpeed},
    {SweepInput::Moisture1Hour, "moist-1h", "1-h fuel moisture", "%", 1, 60, Units::Quantity::Moisture},
    {SweepInput::HerbMoisture, "moist-herb", "Herb fuel moisture", "%", 30, 300, Units::Quantity::Moisture},
    {SweepInput::WoodyMoisture, "moist-woody", "Woody fuel moisture", "%", 30, 300, Units::Quantity::Moisture},
    {SweepInput::Slope, "slope", "Slope", "%", 0, 100, Units::Quantity::Slope},
}};

} // namespace

const std::array<SweepInputInfo, 5> &SweepInputs()
{
    return kInputs;
}

const SweepInputInfo &SweepInputInfoOf(SweepInput input)
{
    for (const SweepInputInfo &i : kInputs)
        if (i.input == input)
            return i;
    return kInputs[0];
}

std::optional<SweepInput> SweepInputFromKey(const QString &key)
{
    for (const SweepInputInfo &i : kInputs)
        if (key == QLatin1String(i.key))
            return i.input;
    return std::nullopt;
}

void SetSweptInput(FireSpread &fs, SweepInput input, double x, double windAdjustment)
{
    switch (input) {
    case SweepInput::TwentyFootWind:
        fs.setWindSpeedNA(x);
        fs.setWindSpeed(Units::MidflameWindSpeed(x, windAdjustment));
        break;
    case SweepInput::Moisture1Hour:
        fs.setFuelMoisture1Hour(x / 100);
        break;
    case SweepInput::HerbMoisture:
        fs.setFuelMoistureHerb(x / 100);
        break;
    case SweepInput::WoodyMoisture:
        fs.setFuelMoistureWoody(x / 100);
        break;
    case SweepInput::Slope:
        fs.setSlope(x);
        break;
    }
}

double SweptInputValue(const FireSpread &fs, SweepInput input)
{
    switch (input) {
    case SweepInput::TwentyFootWind:
        return fs.WindSpeedNA();
    case SweepInput::Moisture1Hour:
        return fs.FuelMoisture1Hour() * 100;
    case SweepInput::HerbMoisture:
        return fs.FuelMoistureHerb() * 100;
    case SweepInput::WoodyMoisture:
        return fs.FuelMoistureWoody() * 100;
    case SweepInput::Slope:
        return fs.Slope();
    }
    return 0;
}

SweepPoint ComputePoint(const FireSpread &fs, double x)
{
    SweepPoint p;
    p.x = x;
    FireSpread work = fs;
    if (!ComputeSpread(work))
        return p;
    p.computed = true;
    p.rateOfSpread = work.RateOfSpread();
    p.unroundedRateOfSpread = work.UnroundedRateOfSpread();
    p.flameLength = work.FlameLength();
    p.fireLineIntensity = work.FireLineIntensity();
    p.size = work.SingleEllipseArea();
    p.heatPerUnitArea = work.HeatPerUnitArea();
    p.effectiveWind = work.EWind();
    p.windLimit = work.MaxWindSpeedMet() != 0;
    return p;
}

std::vector<SweepPoint> Sweep(const FireSpread &base, SweepInput input, double from, double to, int steps,
                              double windAdjustment)
{
    std::vector<SweepPoint> points;
    if (steps < 1)
        return points;
    points.reserve(std::size_t(steps));
    FireSpread work = base;
    for (int i = 0; i < steps; ++i) {
        // From the index, not by adding a step, so the last point is exactly `to`.
        const double x = steps == 1 ? from : from + (to - from) * i / (steps - 1);
        SetSweptInput(work, input, x, windAdjustment);
        points.push_back(ComputePoint(work, x));
    }
    return points;
}

std::optional<double> WindLimitReachedAt(const std::vector<SweepPoint> &points)
{
    for (const SweepPoint &p : points)
        if (p.computed && p.windLimit && p.rateOfSpread > 0)
            return p.x;
    return std::nullopt;
}

void SetModelInputs(FireSpread &fs, const FuelModel &m)
{
    SetFuelModelInputs(fs, m);
}
