#include "uncertainty/SobolIndices.h"

#include "uncertainty/Parallel.h"
#include "uncertainty/Sampling.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <thread>

namespace {

struct Estimate
{
    std::vector<double> first, total;
};

// The estimators with each row counted `weight` times (all ones: the sample itself; the counts
// of a resample drawn with replacement: that bootstrap sample). Weighted sums run through the
// rows in order, which keeps the resamples as fast as the estimate.
Estimate estimate(int inputs, int n, const double *fA, const double *fB, const double *fAB, const double *weight)
{
    double sum = 0;
    for (int j = 0; j < n; ++j)
        sum += weight[j] * (fA[j] + fB[j]);
    const double mean = sum / (2.0 * n);
    double squares = 0;
    for (int j = 0; j < n; ++j)
        squares += weight[j] * ((fA[j] - mean) * (fA[j] - mean) + (fB[j] - mean) * (fB[j] - mean));
    const double variance = squares / (2.0 * n - 1);
    Estimate e;
    e.first.assign(std::size_t(inputs), 0.0);
    e.total.assign(std::size_t(inputs), 0.0);
    if (!(variance > 0))
        return e;
    for (int i = 0; i < inputs; ++i) {
        const double *fi = fAB + std::size_t(i) * std::size_t(n);
        double first = 0, total = 0;
        for (int j = 0; j < n; ++j) {
            first += weight[j] * fB[j] * (fi[j] - fA[j]);
            total += weight[j] * (fA[j] - fi[j]) * (fA[j] - fi[j]);
        }
        e.first[std::size_t(i)] = first / n / variance;
        e.total[std::size_t(i)] = total / (2.0 * n) / variance;
    }
    return e;
}

double percentile(std::vector<double> &values, double p)
{
    std::sort(values.begin(), values.end());
    const double h = (double(values.size()) - 1) * p;
    const std::size_t below = std::size_t(std::floor(h));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (h - double(below)) * (values[above] - values[below]);
}

} // namespace

std::vector<SobolIndex> SobolIndicesOf(int inputs, const std::vector<double> &fA, const std::vector<double> &fB,
                                       const std::vector<double> &fAB, int bootstrap, std::uint64_t seed)
{
    const int n = int(fA.size());
    std::vector<SobolIndex> result(std::size_t(std::max(inputs, 0)));
    if (n < 2 || inputs <= 0)
        return result;
    const std::vector<double> ones(static_cast<std::size_t>(n), 1.0);
    const Estimate whole = estimate(inputs, n, fA.data(), fB.data(), fAB.data(), ones.data());
    for (int i = 0; i < inputs; ++i) {
        SobolIndex &s = result[std::size_t(i)];
        s.first = s.firstLow = s.firstHigh = whole.first[std::size_t(i)];
        s.total = s.totalLow = s.totalHigh = whole.total[std::size_t(i)];
    }
    if (bootstrap <= 0)
        return result;
    // Each resample has a generator of its own, so that the intervals do not depend on the
    // order the resamples are worked in.
    std::vector<Estimate> resampled(static_cast<std::size_t>(bootstrap));
    for (int b = 0; b < bootstrap; ++b) {
        std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ull + std::uint64_t(b) + 1);
        std::vector<double> counts(static_cast<std::size_t>(n), 0.0);
        for (int j = 0; j < n; ++j)
            counts[std::size_t(random() % std::uint64_t(n))] += 1;
        resampled[std::size_t(b)] = estimate(inputs, n, fA.data(), fB.data(), fAB.data(), counts.data());
    }
    std::vector<double> values(static_cast<std::size_t>(bootstrap));
    for (int i = 0; i < inputs; ++i) {
        SobolIndex &s = result[std::size_t(i)];
        for (int b = 0; b < bootstrap; ++b)
            values[std::size_t(b)] = resampled[std::size_t(b)].first[std::size_t(i)];
        s.firstLow = percentile(values, 0.025);
        s.firstHigh = percentile(values, 0.975);
        for (int b = 0; b < bootstrap; ++b)
            values[std::size_t(b)] = resampled[std::size_t(b)].total[std::size_t(i)];
        s.totalLow = percentile(values, 0.025);
        s.totalHigh = percentile(values, 0.975);
    }
    return result;
}

SobolResult SobolAnalysis(int inputs, int outputs, const SobolFunction &evaluate, const SobolOptions &options)
{
    SobolResult result;
    const int n = std::max(options.baseSamples, 2);
    const int d = std::max(inputs, 0);
    const std::vector<double> design = DrawUnitPoints(n, 2 * d, SamplingMethod::Sobol, options.seed);
    // Rows of A, then of B, then of AB_0 ... AB_(d-1): evaluated all at once, stored per output.
    const int rows = n * (d + 2);
    std::vector<double> values(std::size_t(rows) * std::size_t(outputs));
    ParallelFor(rows, options.threads, [&](int begin, int end) {
        std::vector<double> point(std::size_t(std::max(d, 1)));
        std::vector<double> out(std::size_t(std::max(outputs, 1)));
        for (int r = begin; r < end; ++r) {
            const int block = r / n, j = r % n;
            const double *a = design.data() + std::size_t(j) * std::size_t(2 * d);
            const double *b = a + d;
            if (block == 0)
                std::copy(a, a + d, point.begin());
            else if (block == 1)
                std::copy(b, b + d, point.begin());
            else {
                std::copy(a, a + d, point.begin());
                point[std::size_t(block - 2)] = b[block - 2];
            }
            evaluate(point.data(), out.data());
            for (int k = 0; k < outputs; ++k)
                values[std::size_t(k) * std::size_t(rows) + std::size_t(r)] = out[std::size_t(k)];
        }
    });
    result.evaluations = rows;
    result.indices.resize(std::size_t(std::max(outputs, 0)));
    // One output per thread: the bootstrap of each is as long as its estimate.
    const auto indicesOf = [&](int k) {
        const double *v = values.data() + std::size_t(k) * std::size_t(rows);
        const std::vector<double> fA(v, v + n), fB(v + n, v + 2 * n), fAB(v + 2 * n, v + rows);
        result.indices[std::size_t(k)] =
            SobolIndicesOf(d, fA, fB, fAB, options.bootstrap, options.seed + std::uint64_t(k));
    };
    std::vector<std::thread> helpers;
    for (int k = 1; k < outputs; ++k) {
        if (options.threads > 1)
            helpers.emplace_back(indicesOf, k);
        else
            indicesOf(k);
    }
    if (outputs > 0)
        indicesOf(0);
    for (std::thread &h : helpers)
        h.join();
    return result;
}

SobolResult FireSobolAnalysis(const UncertainModel &model, const SobolOptions &options, int *failed)
{
    std::atomic<int> refused{0};
    const SobolFunction fire = [&](const double *unit, double *outputs) {
        double values[kFuelParameterCount + kEnvironmentInputCount];
        model.ValuesAt(unit, values);
        const DrawnFire f = model.Compute(values);
        if (!f.computed)
            refused.fetch_add(1, std::memory_order_relaxed);
        outputs[0] = f.computed ? f.rateOfSpread : 0;
        outputs[1] = f.computed ? f.flameLength : 0;
    };
    SobolResult r = SobolAnalysis(model.InputCount(), 2, fire, options);
    if (failed)
        *failed = refused.load();
    return r;
}
