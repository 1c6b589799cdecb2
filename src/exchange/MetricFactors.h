#pragma once

#include "units/Units.h"

// The metric units of the simulators' file (t/ha, 1/cm, cm, kJ/kg) per English unit of a fuel
// model, from the exact defining constants of the units layer.
namespace metric {

inline constexpr double kTonsPerHectarePerTonPerAcre = Units::kTonnesPerShortTon / Units::kHectaresPerAcre;
inline constexpr double kCentimetresPerFoot = 100 * Units::kMetersPerFoot;
inline constexpr double kKilojoulesPerKgPerBtuPerLb = Units::kKilojoulesPerKilogramPerBtuPerPound;

} // namespace metric
