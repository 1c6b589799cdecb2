#pragma once

#include "uncertainty/UncertainInputs.h"

#include <array>
#include <cstdint>
#include <vector>

// Monte Carlo uncertainty of a model's fire behavior: the inputs drawn from their distributions,
// the model computed at every draw, and the spread of the outputs summarized.

struct UncertaintyOptions
{
    int draws = 10000;
    std::uint64_t seed = 1;
    SamplingMethod method = SamplingMethod::Sobol;
    // Rank correlation of the dead moistures among themselves and of the live ones; 0 draws
    // them independently.
    double deadCorrelation = 0.9;
    double liveCorrelation = 0.9;
    // Flame lengths (ft) whose exceedance is wanted: hand crews, equipment, beyond.
    std::vector<double> flameThresholds = {4, 8, 11};
    int threads = 1;
};

// The quantiles summarized, in percent.
inline constexpr std::array<double, 5> kSummaryQuantiles = {5, 25, 50, 75, 95};

// The p-quantile (0 <= p <= 1) of sorted values: linear between the order statistics at
// (n - 1) p (the sample quantile most statistics packages give by default). NaN when empty.
double SortedQuantile(const std::vector<double> &sorted, double p);

struct OutputSummary
{
    double mean = 0;
    double sd = 0; // sample standard deviation (n - 1)
    std::array<double, kSummaryQuantiles.size()> quantiles{};
    std::vector<double> sorted; // every computed value, ascending (for histograms)
};

// From values in any order.
OutputSummary SummarizeOutput(std::vector<double> values);

struct UncertaintyResult
{
    int draws = 0;
    int failed = 0;                      // draws the core could not compute (left out of the summaries)
    double noSpread = 0;                 // share of computed draws with no spread (rate of spread 0)
    OutputSummary rateOfSpread;          // ch/h, unrounded
    OutputSummary flameLength;           // ft
    OutputSummary intensity;             // btu/ft/s
    std::vector<double> flameThresholds; // ft
    std::vector<double> flameExceedance; // share of computed draws with a longer flame
};

// The unit points drawn for the model's inputs with the options' correlations (draws x inputs).
std::vector<double> DrawUncertaintyPoints(const UncertainModel &model, const UncertaintyOptions &options);

// Draws the inputs, computes the model at each draw and summarizes. The result depends on the
// seed, the method and the draws, never on the number of threads.
UncertaintyResult RunUncertainty(const UncertainModel &model, const UncertaintyOptions &options);

// The summaries of fires already computed (the fires of a direct loop, for one).
UncertaintyResult SummarizeFires(const std::vector<DrawnFire> &fires, const std::vector<double> &flameThresholds);
