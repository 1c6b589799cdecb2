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

// The surface fire spread core: head fire behavior of one surface fuel model, computed from
// scratch on every call in double precision. No state, no Qt.
//
// fuel (13 values): loadings 1-h, 10-h, 100-h, live herb, live woody (t/ac); SA/V of 1-h,
// live herb, live woody (ft2/ft3); heat contents dead, live herb, live woody (btu/lb); fuel bed
// depth (ft); dead moisture of extinction (fraction). The 10-h and 100-h classes use fixed SA/V
// ratios of 109 and 30. A dynamic herb type (exactly 2) moves herbaceous load into fuel[0]
// and fuel[3] of the caller's array.
// moisture (5 fractions): 1-h, 10-h, 100-h, live herb, live woody.
// windSpeed: midflame wind, mi/h. slope: percent.
// fireHours (in/out): <= 0 becomes 1. herbType (in/out): 0 becomes 1 (static).
//
// Returns the rate of spread in ch/h as text with one decimal and at least five integer digits
// ("00093.9"); both ellipse areas are computed from that rounded value.
//
// Throws ArithmeticError at the first floating-point fault. Outputs written before the fault
// keep what was written (surfToVol and packRatio are set to 0 on entry, windLimitMet to false
// after the herbaceous transfer); later ones are untouched.
std::string ComputeSurfaceSpread(std::array<double, 13> &fuel, const std::array<double, 5> &moisture,
                                 double windSpeed, double slope, double &flameLength,
                                 double &fireLineIntensity, double &heatPerUnitArea, bool &windLimitMet,
                                 double &singleEllipseArea, double &doubleEllipseArea, double &fireHours,
                                 double &herbType, double &effectiveWind, double &surfToVol,
                                 double &packRatio);

// The text form of a rate of spread: rounded to one decimal, zero-padded to five integer
// digits ("00000.0"). Throws ArithmeticError for a NaN or infinite value.
std::string FormatRateOfSpread(double chainsPerHour);
