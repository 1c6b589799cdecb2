#pragma once

#include "engine/FireSpread.h"
#include "units/Units.h"

// The rate of spread (ch/h) a result in the unit system s is made from, so that it is rounded
// once, in the unit shown: in English the calculator's value to 0.1 ch/h, which is what the
// result box shows; in metric the unrounded value, converted and then rounded to the metric
// display precision (8.33 m/min where the 0.1 ch/h value converted would show 8.31).
double RateOfSpreadToShow(const FireSpread &fs, Units::System s);
