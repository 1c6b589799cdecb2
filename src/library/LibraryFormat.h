#pragma once

#include <QtGlobal>

#include <array>
#include <cmath>

// What the reader and the writer of the library file share (not part of the interface).
namespace libraryfile {

// The 15 numeric fields of a model line, in file order.
inline constexpr std::array<const char *, 15> kNumberFields = {"BulkDensityDepth",
                                                               "Loading1Hour",
                                                               "Loading10Hour",
                                                               "Loading100Hour",
                                                               "LoadingLiveHerb",
                                                               "LoadingLiveWoody",
                                                               "SurfaceToVolume1Hour",
                                                               "SurfaceToVolumeLiveHerb",
                                                               "SurfaceToVolumeLiveWoody",
                                                               "MoistureOfExtinction",
                                                               "HeatContentDead",
                                                               "HeatContentLiveHerb",
                                                               "HeatContentLiveWoody",
                                                               "FuelCat",
                                                               "HerbType"};
inline constexpr int kMoistureField = 9; // index in kNumberFields; a fraction in the file, percent in memory

// The one bound of every number a model holds, checked by the reader on the value as it ends up
// in memory (the moisture of extinction after its shift to percent) and by the writer on the
// same value: the largest 15-digit decimal below the largest double. A value within it writes
// as at most 15 digits that cannot round past it, and reads back within it, so what reads
// cleanly writes back and what is written reads back. The moisture of extinction moves
// between percent and fraction by shifting its decimal text, never by dividing or multiplying
// the double, so no value (a subnormal included) loses digits or overflows on the way.
inline constexpr double kLargestNumber = 1.79769313486231e308;

inline bool fitsLibraryFile(double value)
{
    return std::fabs(value) <= kLargestNumber; // false for NaN and infinities
}

// Powers of ten exact in a double.
inline constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace libraryfile
