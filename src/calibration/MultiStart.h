#pragma once

#include <functional>
#include <vector>

// Minimisation of a function over the unit box [0, 1]^n from several starts: a bounded global
// search (NLopt's controlled random search, CRS2 with local mutation) from each start, then a
// local polish (BOBYQA). Repeatable: the same seed gives the same result.

using BoxObjective = std::function<double(const std::vector<double> &u)>;
// Called after each evaluation with the share of the budget used (0-1); false stops the search.
using SearchProgress = std::function<bool(double fraction)>;

struct MultiStartOptions
{
    int starts = 5;
    unsigned seed = 1;
    std::vector<double> firstStart; // the first start (empty: random like the others)
    int globalEvaluations = 0;      // per start; 0: 60 (n + 1)
    int localEvaluations = 0;       // per start; 0: 100 (n + 1)
};

struct BoxOptimum
{
    std::vector<double> u;
    double value = 0;
    int start = 0;
};

struct MultiStartResult
{
    std::vector<BoxOptimum> optima; // one per start finished, best (lowest) first
    int evaluations = 0;
    bool cancelled = false;
};

MultiStartResult MinimizeMultiStart(const BoxObjective &f, int dimension, const MultiStartOptions &options,
                                    const SearchProgress &progress = {});

// How close an optimum must come to the best to count as of similar skill: within this share
// of the best value (and kSimilarValueFloor of it in absolute terms).
inline constexpr double kSimilarSkill = 0.10;
inline constexpr double kSimilarValueFloor = 1e-6;
// How far apart (largest difference of one coordinate in the unit box) two optima must be to
// count as different.
inline constexpr double kDistinctDistance = 0.05;
// A coordinate this close to 0 or 1 sits at its bound.
inline constexpr double kAtBoundDistance = 1e-4;

bool SimilarSkill(double best, double value);
// The optima of similar skill to optima[0] that lie apart from it and from each other (the
// first of each group), in order of value. optima must be sorted best first.
std::vector<BoxOptimum> AlternativeOptima(const std::vector<BoxOptimum> &optima);
// -1 when u sits at its lower bound, 1 at its upper bound, 0 inside.
int BoundSide(double u);
