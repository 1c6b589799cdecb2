#pragma once

#include <vector>

// Tick marks at round values: steps of 1, 2 or 5 times a power of ten. Pure functions, used by
// every chart of the program and by the tests without widgets.

// The smallest round step that divides a span into at most maxIntervals intervals. A span that
// is not positive or not finite gives 1; maxIntervals below 1 counts as 1.
double RoundTickStep(double span, int maxIntervals = 6);

// The multiples of step from lo to hi inclusive, in ascending order (values within a tiny
// tolerance of an end are kept). Each value is computed from its integer multiple, so ticks
// read 0.1, 0.2, 0.3 and not 0.30000000000000004.
std::vector<double> TickValues(double lo, double hi, double step);

// The ticks of an axis from lo to hi whose ends are fixed by the caller.
std::vector<double> RoundTicks(double lo, double hi, int maxIntervals = 6);

// For an axis whose maximum the chart chooses: the smallest multiple of the round step of
// [0, value] at or above value (0 and negative values give the step itself).
double RoundAxisMaximum(double value, int maxIntervals = 6);

// Decimals a tick label needs to show the step exactly (0 for steps of 1 and above).
int TickDecimals(double step);
