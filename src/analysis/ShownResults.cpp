#include "analysis/ShownResults.h"

#include <cmath>

double RateOfSpreadToShow(const FireSpread &fs, Units::System s)
{
    if (s == Units::System::English)
        return fs.RateOfSpread();
    // The unrounded value only where it is the one behind the rounded value (a calculator whose
    // rate was set rather than computed has none).
    const double unrounded = fs.UnroundedRateOfSpread();
    return std::fabs(unrounded - fs.RateOfSpread()) <= 0.05 + 1e-9 ? unrounded : fs.RateOfSpread();
}
