#pragma once

#include "units/Units.h"

#include <QString>

#include <vector>

// The fire characteristics chart: heat per unit area (btu/ft2) across, rate of spread (ch/h)
// up, with curves of equal fireline intensity and flame length. A fire of heat per unit area
// H spreading at R ft/min has a fireline intensity of H x R / 60 btu/ft/s and a flame length
// of 0.45 x intensity^0.46 ft, the relations the spread core uses; with R = 1.1 x rate of
// spread (ch/h) a curve of intensity I is rate of spread = 60 I / (1.1 H).

// Fireline intensity (btu/ft/s) of a flame length (ft), and back.
double IntensityOfFlameLength(double flameLengthFt);
double FlameLengthOfIntensity(double intensity);
// Rate of spread (ch/h) at which a fire of heat per unit area h has the given intensity.
double RateOfSpreadAtIntensity(double intensity, double heatPerUnitArea);

struct CharacteristicCurve
{
    double flameLength; // ft
    double intensity;   // btu/ft/s
    QString label;      // "4 ft (115 btu/ft/s)"
    std::vector<double> heat, ros;
};

// The flame lengths the chart draws curves for (the usual 2, 4, 8 and 11 ft classes of what
// crews, equipment and aircraft can hold).
const std::vector<double> &CharacteristicFlameLengths();

// Curves from heat per unit area xMin to xMax (xMin > 0) in `samples` points, each ending
// where it leaves the chart at rosMax (all English units; the labels in the given system).
std::vector<CharacteristicCurve> CharacteristicCurves(double xMin, double xMax, double rosMax, int samples = 120,
                                                      Units::System system = Units::System::English);

struct CharacteristicPoint
{
    QString label; // plot number, "Edited", reference ID
    QString role;  // "Edited", "Reference", "Plot"
    double heatPerUnitArea = 0;
    double rateOfSpread = 0;
    double flameLength = 0;
    double fireLineIntensity = 0;
};
