#include "uncertainty/Uncertainty.h"

#include "uncertainty/Parallel.h"

#include <algorithm>
#include <cmath>

double SortedQuantile(const std::vector<double> &sorted, double p)
{
    if (sorted.empty())
        return NAN;
    const double h = (double(sorted.size()) - 1) * std::clamp(p, 0.0, 1.0);
    const std::size_t below = std::size_t(std::floor(h));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (h - double(below)) * (sorted[above] - sorted[below]);
}

OutputSummary SummarizeOutput(std::vector<double> values)
{
    OutputSummary s;
    std::sort(values.begin(), values.end());
    const double n = double(values.size());
    if (values.empty()) {
        s.mean = s.sd = NAN;
        s.quantiles.fill(NAN);
        return s;
    }
    double sum = 0;
    for (double v : values)
        sum += v;
    s.mean = sum / n;
    double squares = 0;
    for (double v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0;
    for (std::size_t i = 0; i < kSummaryQuantiles.size(); ++i)
        s.quantiles[i] = SortedQuantile(values, kSummaryQuantiles[i] / 100);
    s.sorted = std::move(values);
    return s;
}

std::vector<double> DrawUncertaintyPoints(const UncertainModel &model, const UncertaintyOptions &options)
{
    Correlator correlator;
    correlator.Prepare(model.MoistureGroups(options.deadCorrelation, options.liveCorrelation), model.InputCount());
    return DrawUnitPoints(options.draws, model.InputCount(), options.method, options.seed, correlator);
}

UncertaintyResult SummarizeFires(const std::vector<DrawnFire> &fires, const std::vector<double> &flameThresholds)
{
    UncertaintyResult r;
    r.draws = int(fires.size());
    std::vector<double> ros, flame, intensity;
    ros.reserve(fires.size());
    flame.reserve(fires.size());
    intensity.reserve(fires.size());
    int still = 0;
    for (const DrawnFire &f : fires) {
        if (!f.computed) {
            ++r.failed;
            continue;
        }
        ros.push_back(f.rateOfSpread);
        flame.push_back(f.flameLength);
        intensity.push_back(f.intensity);
        still += f.rateOfSpread <= 0;
    }
    const double computed = double(ros.size());
    r.noSpread = computed > 0 ? still / computed : NAN;
    r.rateOfSpread = SummarizeOutput(std::move(ros));
    r.flameLength = SummarizeOutput(std::move(flame));
    r.intensity = SummarizeOutput(std::move(intensity));
    r.flameThresholds = flameThresholds;
    const std::vector<double> &sorted = r.flameLength.sorted;
    for (double t : flameThresholds) {
        const auto longer = sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), t);
        r.flameExceedance.push_back(computed > 0 ? double(longer) / computed : NAN);
    }
    return r;
}

UncertaintyResult RunUncertainty(const UncertainModel &model, const UncertaintyOptions &options)
{
    const int n = std::max(0, options.draws);
    const int d = model.InputCount();
    const std::vector<double> unit = DrawUncertaintyPoints(model, options);
    std::vector<DrawnFire> fires(static_cast<std::size_t>(n));
    ParallelFor(n, options.threads, [&](int begin, int end) {
        std::vector<double> values(std::size_t(std::max(d, 1)));
        for (int i = begin; i < end; ++i) {
            model.ValuesAt(unit.data() + std::size_t(i) * std::size_t(d), values.data());
            fires[std::size_t(i)] = model.Compute(values.data());
        }
    });
    return SummarizeFires(fires, options.flameThresholds);
}
