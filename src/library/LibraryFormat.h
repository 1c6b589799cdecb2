#pragma once

#include <QtGlobal>

#include <array>

// What the reader and the writer of the library file share (not part of the interface).
namespace libraryfile {

// The 15 numeric fields of a model line, in file order.
inline constexpr std::array<const char *, 15> kNumberFields = {
    "BulkDensityDepth",        "Loading1Hour",          "Loading10Hour",
    "Loading100Hour",          "LoadingLiveHerb",       "LoadingLiveWoody",
    "SurfaceToVolume1Hour",    "SurfaceToVolumeLiveHerb", "SurfaceToVolumeLiveWoody",
    "MoistureOfExtinction",    "HeatContentDead",       "HeatContentLiveHerb",
    "HeatContentLiveWoody",    "FuelCat",               "HerbType"};
inline constexpr int kMoistureField = 9; // index in kNumberFields; a fraction in the file, percent in memory

// Powers of ten exact in a double.
inline constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace libraryfile
