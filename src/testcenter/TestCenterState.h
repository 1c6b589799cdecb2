#pragma once

#include "engine/FireSpread.h"

#include <memory>

// The calculator objects of the editor's last full computation, read by the charts. A full
// computation replaces both with new objects, so an object kept elsewhere (a plot history)
// keeps its inputs and outputs. Never null.
extern std::shared_ptr<FireSpread> CurrentFireSpread;
extern std::shared_ptr<FireSpread> ReferenceFireSpread;

// The conventions every computation of the editor and the tuners uses: as the library's core
// (the default) or as the fire growth simulators. Kept for the run only.
extern SpreadConventions gSpreadConventions;

// Back to fresh, empty calculator objects and the core's conventions; tests call it so that every test starts clean.
void ResetTestCenterState();
