#pragma once

// The unit systems and the quantities the program measures, declared in the data layer so that
// the table of fuel parameters can name each parameter's quantity. Conversions and texts live
// in units/Units.h.
namespace Units {

enum class System { English, Metric };

// What a number measures. Percentages and ratios are the same in both systems.
enum class Quantity {
    Loading,           // t/ac          t/ha
    SurfaceToVolume,   // ft2/ft3       m2/m3
    HeatContent,       // btu/lb        kJ/kg
    Depth,             // ft            m       (fuel bed depth)
    Moisture,          // %             %
    WindSpeed,         // mi/h          km/h
    Slope,             // %             %
    RateOfSpread,      // ch/h          m/min
    FirelineIntensity, // btu/ft/s      kW/m
    FlameLength,       // ft            m
    HeatPerUnitArea,   // btu/ft2       kJ/m2
    FireSize,          // ac            ha
    ReactionIntensity, // btu/ft2/min   kW/m2
    Length,            // ft            m       (any other distance)
    BulkDensity,       // lb/ft3        kg/m3
    Ratio,             // -             -       (packing ratio, wind adjustment factor, ...)
};

} // namespace Units
