#pragma once

// The midflame wind the program computes with, from a 20-ft wind (mi/h) and a wind adjustment
// factor: their product rounded to 0.1 mi/h, as the Edit and Test Center's midflame wind box
// shows it and its computation reads it. Every place that turns a 20-ft wind into a midflame
// wind (the editor, the analysis curves, fmtool table and sweep) goes through this one rule, so
// that a curve over the 20-ft wind passes exactly through the editor's result at its wind.
namespace Units {

double MidflameWindSpeed(double twentyFootWindMph, double adjustmentFactor);

// The same product before the rounding, for display in another unit (rounded there once).
double UnroundedMidflameWindSpeed(double twentyFootWindMph, double adjustmentFactor);

} // namespace Units
