#include "analysis/FireCharacteristics.h"

#include "data/CsvTable.h"

#include <algorithm>
#include <cmath>

double IntensityOfFlameLength(double flameLengthFt)
{
    return flameLengthFt > 0 ? std::pow(flameLengthFt / 0.45, 1 / 0.46) : 0;
}

double FlameLengthOfIntensity(double intensity)
{
    return intensity > 0 ? 0.45 * std::pow(intensity, 0.46) : 0;
}

double RateOfSpreadAtIntensity(double intensity, double heatPerUnitArea)
{
    return heatPerUnitArea > 0 ? 60 * intensity / (1.1 * heatPerUnitArea) : 0;
}

const std::vector<double> &CharacteristicFlameLengths()
{
    static const std::vector<double> lengths = {2, 4, 8, 11};
    return lengths;
}

std::vector<CharacteristicCurve> CharacteristicCurves(double xMin, double xMax, double rosMax, int samples,
                                                      Units::System system)
{
    std::vector<CharacteristicCurve> curves;
    samples = std::max(2, samples);
    if (!(xMin > 0) || !(xMax > xMin))
        return curves;
    for (double fl : CharacteristicFlameLengths()) {
        CharacteristicCurve c;
        c.flameLength = fl;
        c.intensity = IntensityOfFlameLength(fl);
        c.label =
            QStringLiteral("%1 %2 (%3 %4)")
                .arg(TableNumber(Units::FromEnglish(Units::Quantity::FlameLength, system, fl), 1),
                     Units::UnitLabel(Units::Quantity::FlameLength, system),
                     TableNumber(
                         std::round(Units::FromEnglish(Units::Quantity::FirelineIntensity, system, c.intensity)), 0),
                     Units::UnitLabel(Units::Quantity::FirelineIntensity, system));
        // Where the hyperbola enters the chart from the top: rate of spread = rosMax.
        const double start = std::max(xMin, rosMax > 0 ? RateOfSpreadAtIntensity(c.intensity, rosMax) : xMin);
        if (start >= xMax)
            continue;
        // Points spaced evenly in log(heat) follow the steep part of the curve closely.
        const double ratio = std::log(xMax / start);
        for (int i = 0; i < samples; ++i) {
            const double h = start * std::exp(ratio * i / (samples - 1));
            c.heat.push_back(h);
            c.ros.push_back(RateOfSpreadAtIntensity(c.intensity, h));
        }
        curves.push_back(std::move(c));
    }
    return curves;
}
