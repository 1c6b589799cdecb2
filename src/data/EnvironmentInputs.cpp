#include "data/EnvironmentInputs.h"

namespace {

using Units::Quantity;
using Id = EnvironmentInputId;

// Dead moistures 1-60 %, live 30-300 %, the 20-ft wind 0-99 mi/h (the midflame wind is at most
// that), the adjustment factor 0-1 and slopes up to 1000 %, as the editor and fmtool check them.
const std::array<EnvironmentInputInfo, kEnvironmentInputCount> kTable = {{
    {Id::Moisture1Hour, "moist-1h", "1-h moisture", Quantity::Moisture, 1, 60},
    {Id::Moisture10Hour, "moist-10h", "10-h moisture", Quantity::Moisture, 1, 60},
    {Id::Moisture100Hour, "moist-100h", "100-h moisture", Quantity::Moisture, 1, 60},
    {Id::MoistureHerb, "moist-herb", "Herb moisture", Quantity::Moisture, 30, 300},
    {Id::MoistureWoody, "moist-woody", "Woody moisture", Quantity::Moisture, 30, 300},
    {Id::Wind, "wind", "20-ft wind", Quantity::WindSpeed, 0, 99},
    {Id::MidflameWind, "midflame-wind", "Midflame wind", Quantity::WindSpeed, 0, 99},
    {Id::WindAdjust, "wind-adjust", "Wind adjustment", Quantity::Ratio, 0, 1},
    {Id::Slope, "slope", "Slope", Quantity::Slope, 0, 1000},
}};

} // namespace

const std::array<EnvironmentInputInfo, kEnvironmentInputCount> &EnvironmentInputTable()
{
    return kTable;
}

const EnvironmentInputInfo &EnvironmentInputOf(EnvironmentInputId id)
{
    return kTable[static_cast<int>(id)];
}

const EnvironmentInputInfo *FindEnvironmentInput(std::string_view shortName)
{
    for (const EnvironmentInputInfo &e : kTable)
        if (e.shortName == shortName)
            return &e;
    return nullptr;
}
