#include "uncertainty/ResponseBands.h"

#include "data/ModelComputation.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/Uncertainty.h"

#include <algorithm>

namespace {

using Id = EnvironmentInputId;

bool isWind(InputKey key)
{
    return !key.fuel && EnvironmentInputId(key.index) == Id::Wind;
}

struct Outputs
{
    std::array<double, kBandOutputs> value{};
    bool computed = false;
};

Outputs computeAt(const UncertainModel &model, const double *values)
{
    Outputs out;
    FireSpread fs = model.SpreadAt(values);
    if (!ComputeSpread(fs))
        return out;
    out.value = {fs.UnroundedRateOfSpread(), fs.FlameLength(), fs.FireLineIntensity(), fs.SingleEllipseArea()};
    out.computed = true;
    return out;
}

// The unit points of the model's inputs with the options' correlations.
std::vector<double> drawPoints(const UncertainModel &model, const BandOptions &options)
{
    Correlator correlator;
    correlator.Prepare(model.MoistureGroups(options.deadCorrelation, options.liveCorrelation), model.InputCount());
    return DrawUnitPoints(std::max(0, options.draws), model.InputCount(), options.method, options.seed, correlator);
}

// Every output of each model at every drawn point: row m * draws + i is model m at point i.
// The rows are worked on in blocks across the threads, so that few draws over many models
// share the work as well as many draws of one.
std::vector<Outputs> computeDraws(const std::vector<UncertainModel> &models, const std::vector<double> &unit, int draws,
                                  int threads)
{
    const int d = models.empty() ? 0 : models.front().InputCount();
    std::vector<Outputs> out(models.size() * std::size_t(draws));
    ParallelFor(int(out.size()), threads, [&](int begin, int end) {
        std::vector<double> values(std::size_t(std::max(d, 1)));
        for (int k = begin; k < end; ++k) {
            const UncertainModel &model = models[std::size_t(k / draws)];
            model.ValuesAt(unit.data() + std::size_t(k % draws) * std::size_t(d), values.data());
            out[std::size_t(k)] = computeAt(model, values.data());
        }
    });
    return out;
}

// The band of the rows [first, first + count).
BandPoint summarize(double x, const Outputs *first, int count)
{
    BandPoint p;
    p.x = x;
    std::vector<double> sorted;
    sorted.reserve(std::size_t(count));
    for (int k = 0; k < kBandOutputs; ++k) {
        sorted.clear();
        for (const Outputs *o = first; o != first + count; ++o)
            if (o->computed)
                sorted.push_back(o->value[std::size_t(k)]);
        std::sort(sorted.begin(), sorted.end());
        p.computed = int(sorted.size());
        for (std::size_t q = 0; q < kBandQuantiles.size(); ++q)
            p.quantiles[std::size_t(k)][q] = SortedQuantile(sorted, kBandQuantiles[q] / 100);
    }
    return p;
}

} // namespace

std::vector<VaryingInput> InputsBesideSwept(const std::vector<VaryingInput> &inputs, InputKey swept)
{
    std::vector<VaryingInput> beside;
    for (const VaryingInput &v : inputs) {
        if (v.key == swept)
            continue;
        if (isWind(swept) && v.key == InputKey::Environment(Id::MidflameWind))
            continue;
        beside.push_back(v);
    }
    return beside;
}

UncertaintyPoint PointAtSwept(const UncertaintyPoint &point, InputKey swept, double x)
{
    UncertaintyPoint p = point;
    if (swept.fuel)
        return p;
    p.environment[std::size_t(swept.index)] = x;
    if (isWind(swept))
        p.environment[std::size_t(Id::MidflameWind)] =
            EditorMidflameWind(x, p.environment[std::size_t(Id::WindAdjust)]);
    return p;
}

bool ComputeResponseBands(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs, InputKey swept,
                          const std::vector<double> &xs, const BandOptions &options, std::vector<BandPoint> *bands,
                          std::string *problem)
{
    bands->clear();
    if (swept.fuel) {
        *problem = "a response curve sweeps an environment input";
        return false;
    }
    const std::vector<VaryingInput> beside = InputsBesideSwept(inputs, swept);
    // Prepared at every x (a midflame wind derived from the swept 20-ft wind moves with it),
    // always with the same inputs in the same order, so one set of draws serves every x.
    std::vector<UncertainModel> models(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i)
        if (!models[i].Prepare(PointAtSwept(point, swept, xs[i]), beside, problem))
            return false;
    if (xs.empty())
        return true;
    const int draws = std::max(0, options.draws);
    const std::vector<double> unit = drawPoints(models.front(), options);
    const std::vector<Outputs> out = computeDraws(models, unit, draws, options.threads);
    for (std::size_t i = 0; i < xs.size(); ++i)
        bands->push_back(summarize(xs[i], out.data() + i * std::size_t(draws), draws));
    return true;
}

bool ObservedBandCoverage(const UncertaintyPoint &point, const std::vector<VaryingInput> &inputs,
                          const std::vector<ObservedFire> &fires, const BandOptions &options, BandCoverage *coverage,
                          std::string *problem)
{
    *coverage = BandCoverage();
    std::vector<UncertainModel> models(fires.size());
    for (std::size_t f = 0; f < fires.size(); ++f) {
        // The editor's adjustment factor stays: a drawn 20-ft wind or factor moves the midflame
        // wind about the observed one as it moves the editor's.
        UncertaintyPoint p = point;
        double adjustment = p.environment[std::size_t(Id::WindAdjust)];
        if (!(adjustment > 0))
            adjustment = 1;
        const FireEnvironment &e = fires[f].environment;
        double moisture[5];
        for (std::size_t i = 0; i < 5; ++i)
            moisture[i] = 100 * e.moisture[i]; // percent, as the inputs' distributions take them
        p.SetEnvironment(moisture, e.midflameWind / adjustment, adjustment, e.slope);
        p.environment[std::size_t(Id::MidflameWind)] = e.midflameWind;
        if (!models[f].Prepare(p, inputs, problem))
            return false;
    }
    if (fires.empty())
        return true;
    // One set of draws for every fire, as for the points of a curve.
    const int draws = std::max(0, options.draws);
    const std::vector<Outputs> out = computeDraws(models, drawPoints(models.front(), options), draws, options.threads);
    for (std::size_t f = 0; f < fires.size(); ++f) {
        const ObservedFire &fire = fires[f];
        const BandPoint band = summarize(0, out.data() + f * std::size_t(draws), draws);
        if (band.computed == 0)
            continue;
        const auto inside = [&](BandOutput o, double observed) {
            return observed >= band.Quantile(o, 0) && observed <= band.Quantile(o, 3);
        };
        ++coverage->fires;
        coverage->rosInside += inside(BandOutput::RateOfSpread, fire.rateOfSpread);
        if (std::isfinite(fire.flameLength)) {
            ++coverage->flameFires;
            coverage->flameInside += inside(BandOutput::FlameLength, fire.flameLength);
        }
    }
    return true;
}
