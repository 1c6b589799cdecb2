#pragma once

// Exact factors between the English units of a fuel model and the metric units of the
// simulators' file: short tons per acre to tonnes per hectare, feet to centimetres,
// btu/lb (International Table) to kJ/kg.
namespace metric {

// 0.90718474 t per short ton / 0.40468564224 ha per acre
inline constexpr double kTonsPerHectarePerTonPerAcre = 0.90718474 / 0.40468564224;
inline constexpr double kCentimetresPerFoot = 30.48;
inline constexpr double kKilojoulesPerKgPerBtuPerLb = 2.326;

} // namespace metric
