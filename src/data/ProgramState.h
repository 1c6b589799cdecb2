#pragma once

#include "data/FuelModelSets.h"

#include <memory>

// The whole library of the running program. The reader replaces it; everything else changes
// it in place.
extern std::shared_ptr<FuelModelSets> gFMSets;

// Back to the state of a fresh start: an empty library, key and instance counters at 0.
// Tests call it so that every test starts clean.
void ResetProgramState();
