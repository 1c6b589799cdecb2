#pragma once

#include <array>
#include <stdexcept>
#include <string>

// A floating-point fault in the spread core: a division by zero, an overflow, an invalid
// operation (0/0, square root or fractional power of a negative number) or a NaN/infinite
// input. what() names the fault and the quantity being computed, e.g.
// "division by zero in the bulk density (fuel bed depth 0)".
class ArithmeticError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// How net loads are weighted and where the cured herb of a dynamic model goes.
//   Core: each class's net load is weighted by its own area fraction within its category, and
//     the cured herb joins the 1-h class (1-h SA/V, dead heat content, 1-h moisture).
//   Simulators: as the fire growth simulators compute: each class's net load is weighted by
//     the summed area fractions of the classes of its category whose SA/V falls in the same
//     size subclass (bounds 1200, 192, 96, 48 and 16 1/ft), and the cured herb is a dead
//     herbaceous class of its own, with the herb SA/V, the dead heat content (as every dead
//     class) and the 1-h moisture.
enum class SpreadConventions { Core, Simulators };

// The surface fire spread core: head fire behavior of one surface fuel model, computed from
// scratch on every call in double precision. No state, no Qt.
//
// fuel (13 values): loadings 1-h, 10-h, 100-h, live herb, live woody (t/ac); SA/V of 1-h,
// live herb, live woody (ft2/ft3); heat contents dead, live herb, live woody (btu/lb); fuel bed
// depth (ft); dead moisture of extinction (fraction). The 10-h and 100-h classes use fixed SA/V
// ratios of 109 and 30. A dynamic herb type (exactly 2) moves herbaceous load out of fuel[3]
// of the caller's array, into fuel[0] under the core's conventions (under the simulators'
// the cured load is a class of its own and fuel[0] is left alone).
// moisture (5 fractions): 1-h, 10-h, 100-h, live herb, live woody.
// windSpeed: midflame wind, mi/h. slope: percent.
// fireHours (in/out): <= 0 becomes 1. herbType (in/out): 0 becomes 1 (static).
//
// Returns the rate of spread in ch/h as text with one decimal and at least five integer digits
// ("00093.9"); both ellipse areas are computed from that rounded value. unroundedRate, when
// given, receives the rate of spread in ch/h before that rounding (what the intensity and the
// flame length were computed from).
//
// Throws ArithmeticError at the first floating-point fault. Outputs written before the fault
// keep what was written (surfToVol and packRatio are set to 0 on entry, windLimitMet to false
// after the herbaceous transfer); later ones are untouched.
std::string ComputeSurfaceSpread(std::array<double, 13> &fuel, const std::array<double, 5> &moisture, double windSpeed,
                                 double slope, double &flameLength, double &fireLineIntensity, double &heatPerUnitArea,
                                 bool &windLimitMet, double &singleEllipseArea, double &doubleEllipseArea,
                                 double &fireHours, double &herbType, double &effectiveWind, double &surfToVol,
                                 double &packRatio, SpreadConventions conventions = SpreadConventions::Core,
                                 double *unroundedRate = nullptr);

// The size subclass of a SA/V ratio (1/ft): 0 from 1200 up, then 192, 96, 48 and 16; 5 below.
int SizeSubclass(double sav);

// The text form of a rate of spread: rounded to one decimal, zero-padded to five integer
// digits ("00000.0"). Throws ArithmeticError for a NaN or infinite value.
std::string FormatRateOfSpread(double chainsPerHour);
