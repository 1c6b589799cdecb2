#pragma once

#include "data/UnitQuantity.h"

#include <array>
#include <string_view>

class FuelModel;

// The 13 fuel parameters of a fuel model, described once: every list of them in the program
// (the editor's boxes, the tuners, sensitivity, comparison, the exchange formats, fmtool) is
// read from this table.
//
// Values are in the library's English units: loadings t/ac, SA/V ft2/ft3, heat contents btu/lb,
// depth ft, moisture of extinction in percent (as FuelModel holds it).

enum class FuelParameterId {
    Load1Hour,
    Load10Hour,
    Load100Hour,
    LoadLiveHerb,
    LoadLiveWoody,
    Sav1Hour,
    SavLiveHerb,
    SavLiveWoody,
    HeatDead,
    HeatLiveHerb,
    HeatLiveWoody,
    Depth,
    MoistureOfExtinction,
};

inline constexpr int kFuelParameterCount = 13;

struct FuelParameterInfo
{
    FuelParameterId id;
    int filePosition;                // field of a model line in the library file (0 is the ID)
    int entryIndex;                  // the Edit and Test Center's box index (2 to 14)
    std::string_view shortName;      // "load-1h" ... "mx", as fmtool names it
    std::string_view chartName;      // "1-h load", as charts and tables label it
    std::string_view captionEnglish; // the editor's caption, "1 Hour Loading (t/ac)"
    std::string_view captionMetric;  // the same in metric, "1 Hour Loading (t/ha)"
    Units::Quantity quantity;
    double low, high; // the inclusive English range
    bool zeroAllowed; // 0 is also accepted (an SA/V of 0: no such fuel)
    double (FuelModel::*get)() const;
    void (FuelModel::*set)(double);

    bool inRange(double english) const;
    // english held inside the range (0 kept where allowed); NaN stays NaN.
    double clamp(double english) const;
    double valueOf(const FuelModel &model) const;
    void setValue(FuelModel &model, double english) const;
};

// The 13 parameters in the order of FuelParameterId (which is the editor's box order).
const std::array<FuelParameterInfo, kFuelParameterCount> &FuelParameterTable();
const FuelParameterInfo &FuelParameterOf(FuelParameterId id);
// The parameter of an fmtool short name ("load-1h"), or nullptr.
const FuelParameterInfo *FindFuelParameter(std::string_view shortName);
// The parameter shown in editor box index, or nullptr for an index that holds none.
const FuelParameterInfo *FuelParameterOfEntry(int entryIndex);
