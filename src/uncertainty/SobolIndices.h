#pragma once

#include "uncertainty/UncertainInputs.h"

#include <cstdint>
#include <functional>
#include <vector>

// Variance-based global sensitivity: first-order indices (Saltelli's estimator) and total
// indices (Jansen's estimator) from the radial design of two sample matrices A and B and the
// d matrices AB_i (A with column i from B), with bootstrap 95 % confidence intervals.

struct SobolIndex
{
    double first = 0, firstLow = 0, firstHigh = 0; // S1 and its interval
    double total = 0, totalLow = 0, totalHigh = 0; // ST and its interval
};

struct SobolOptions
{
    int baseSamples = 1 << 14; // N: rows of A and of B
    std::uint64_t seed = 1;
    int bootstrap = 100; // resamples for the intervals (0: the intervals are the estimate)
    int threads = 1;
};

// The estimates from the outputs of one quantity: fA and fB (n each) and fAB (d blocks of n,
// block i the outputs at AB_i). Indices are 0 when the outputs do not vary at all.
std::vector<SobolIndex> SobolIndicesOf(int inputs, const std::vector<double> &fA, const std::vector<double> &fB,
                                       const std::vector<double> &fAB, int bootstrap, std::uint64_t seed);

// evaluate(unit, outputs) writes the quantities of interest at a point of the unit cube (one
// coordinate per input); it is called from several threads at once when options.threads > 1.
using SobolFunction = std::function<void(const double *unit, double *outputs)>;

struct SobolResult
{
    int evaluations = 0;
    // indices[k][i]: output k, input i.
    std::vector<std::vector<SobolIndex>> indices;
};

// N (d + 2) evaluations on a scrambled Sobol design of dimension 2 d (A from the first d
// coordinates, B from the others). Repeatable from the seed, independent of the thread count.
SobolResult SobolAnalysis(int inputs, int outputs, const SobolFunction &evaluate, const SobolOptions &options);

// The fire model's indices of rate of spread (output 0) and flame length (output 1) over its
// varying inputs, drawn independently (correlated inputs have no such decomposition).
// failed counts the computations the core refused (taken as no spread).
SobolResult FireSobolAnalysis(const UncertainModel &model, const SobolOptions &options, int *failed = nullptr);
