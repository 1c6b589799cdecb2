#pragma once

#include "data/UnitQuantity.h"

#include <array>
#include <string_view>

// The environment inputs a computation takes beside the fuel model, with the names fmtool gives
// them and their inclusive entry ranges in English units: what the editor and fmtool accept.
// Moistures are percent, winds mi/h, the wind adjustment factor a ratio, the slope percent.

enum class EnvironmentInputId {
    Moisture1Hour,
    Moisture10Hour,
    Moisture100Hour,
    MoistureHerb,
    MoistureWoody,
    Wind,         // 20-ft wind
    MidflameWind, // the wind the computation takes (20-ft wind x adjustment unless given)
    WindAdjust,
    Slope,
};

inline constexpr int kEnvironmentInputCount = 9;

struct EnvironmentInputInfo
{
    EnvironmentInputId id;
    std::string_view shortName; // "moist-1h" ... "slope"
    std::string_view chartName; // "1-h moisture"
    Units::Quantity quantity;
    double low, high;

    bool inRange(double english) const { return english >= low && english <= high; }
};

const std::array<EnvironmentInputInfo, kEnvironmentInputCount> &EnvironmentInputTable();
const EnvironmentInputInfo &EnvironmentInputOf(EnvironmentInputId id);
// The input of an fmtool short name ("moist-herb"), or nullptr.
const EnvironmentInputInfo *FindEnvironmentInput(std::string_view shortName);
