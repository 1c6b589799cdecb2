#include "calibration/MultiStart.h"

#include <nlopt.hpp>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

struct Counted
{
    const BoxObjective *f = nullptr;
    const SearchProgress *progress = nullptr;
    int evaluations = 0;
    int budget = 1;
    bool cancelled = false;
    double bestValue = HUGE_VAL;
    std::vector<double> bestU;
};

double Evaluate(const std::vector<double> &u, std::vector<double> &, void *data)
{
    Counted &c = *static_cast<Counted *>(data);
    if (c.cancelled)
        throw nlopt::forced_stop();
    double v = (*c.f)(u);
    if (!std::isfinite(v))
        v = HUGE_VAL;
    ++c.evaluations;
    if (v < c.bestValue) {
        c.bestValue = v;
        c.bestU = u;
    }
    if (*c.progress && !(*c.progress)(std::min(1.0, double(c.evaluations) / c.budget))) {
        c.cancelled = true;
        throw nlopt::forced_stop();
    }
    return v;
}

// Runs one NLopt algorithm from u; u becomes the best point seen (NLopt's own result when it
// ends normally, otherwise the best evaluated).
void Run(nlopt::algorithm algorithm, int n, int maxEvaluations, Counted &counted, std::vector<double> &u)
{
    nlopt::opt opt(algorithm, unsigned(n));
    opt.set_lower_bounds(std::vector<double>(size_t(n), 0.0));
    opt.set_upper_bounds(std::vector<double>(size_t(n), 1.0));
    opt.set_min_objective(Evaluate, &counted);
    opt.set_maxeval(maxEvaluations);
    opt.set_xtol_rel(1e-10);
    opt.set_ftol_abs(1e-15);
    counted.bestValue = HUGE_VAL;
    counted.bestU = u;
    double value = HUGE_VAL;
    try {
        opt.optimize(u, value);
    } catch (const std::exception &) {
        // forced stop, roundoff or an invalid start: keep the best point evaluated
    }
    if (!counted.bestU.empty() && counted.bestValue <= value)
        u = counted.bestU;
}

} // namespace

MultiStartResult MinimizeMultiStart(const BoxObjective &f, int dimension, const MultiStartOptions &options,
                                    const SearchProgress &progress)
{
    MultiStartResult result;
    if (dimension < 1)
        return result;
    const int starts = std::max(1, options.starts);
    const int global = options.globalEvaluations > 0 ? options.globalEvaluations : 60 * (dimension + 1);
    const int local = options.localEvaluations > 0 ? options.localEvaluations : 100 * (dimension + 1);
    Counted counted;
    counted.f = &f;
    counted.progress = &progress;
    counted.budget = starts * (global + local);

    std::mt19937 random(options.seed);
    for (int s = 0; s < starts && !counted.cancelled; ++s) {
        std::vector<double> u(static_cast<size_t>(dimension));
        if (s == 0 && int(options.firstStart.size()) == dimension) {
            for (int i = 0; i < dimension; ++i)
                u[size_t(i)] = std::clamp(options.firstStart[size_t(i)], 0.0, 1.0);
        } else {
            for (double &x : u)
                x = double(random() >> 5) / double(std::mt19937::max() >> 5);
        }
        nlopt::srand(options.seed + unsigned(s));
        Run(nlopt::GN_CRS2_LM, dimension, global, counted, u);
        if (counted.cancelled)
            break;
        Run(dimension >= 2 ? nlopt::LN_BOBYQA : nlopt::LN_COBYLA, dimension, local, counted, u);
        if (counted.cancelled)
            break;
        BoxOptimum o;
        o.u = u;
        o.value = f(u);
        if (!std::isfinite(o.value))
            o.value = HUGE_VAL;
        o.start = s;
        result.optima.push_back(o);
    }
    std::stable_sort(result.optima.begin(), result.optima.end(),
                     [](const BoxOptimum &a, const BoxOptimum &b) { return a.value < b.value; });
    result.evaluations = counted.evaluations;
    result.cancelled = counted.cancelled;
    return result;
}

bool SimilarSkill(double best, double value)
{
    return value <= best + std::max(kSimilarSkill * std::fabs(best), kSimilarValueFloor);
}

namespace {

double Distance(const std::vector<double> &a, const std::vector<double> &b)
{
    double d = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

} // namespace

std::vector<BoxOptimum> AlternativeOptima(const std::vector<BoxOptimum> &optima)
{
    std::vector<BoxOptimum> out;
    if (optima.empty())
        return out;
    const BoxOptimum &best = optima.front();
    for (size_t i = 1; i < optima.size(); ++i) {
        const BoxOptimum &o = optima[i];
        if (!SimilarSkill(best.value, o.value) || Distance(o.u, best.u) <= kDistinctDistance)
            continue;
        bool apart = true;
        for (const BoxOptimum &a : out)
            apart = apart && Distance(o.u, a.u) > kDistinctDistance;
        if (apart)
            out.push_back(o);
    }
    return out;
}

int BoundSide(double u)
{
    if (u <= kAtBoundDistance)
        return -1;
    if (u >= 1 - kAtBoundDistance)
        return 1;
    return 0;
}
