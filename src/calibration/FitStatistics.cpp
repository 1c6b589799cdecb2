#include "calibration/FitStatistics.h"

#include "data/FuelModel.h"

#include <algorithm>
#include <cmath>

std::vector<Prediction> Predict(const FuelModel &model, const Observations &observations, SpreadConventions conventions)
{
    std::vector<Prediction> out;
    out.reserve(observations.size());
    for (const Observation &o : observations) {
        const ModelFire fire = ComputeModelFire(model, o.environment, conventions);
        Prediction p;
        p.computed = fire.computed;
        if (fire.computed) {
            p.ros = fire.spread.UnroundedRateOfSpread();
            p.flameLength = fire.spread.FlameLength();
        }
        out.push_back(p);
    }
    return out;
}

AgreementStats Agreement(const std::vector<double> &predicted, const std::vector<double> &observed,
                         const std::vector<double> &weights)
{
    AgreementStats s;
    double sw = 0, se = 0, sd = 0, sp = 0, sin = 0;
    const size_t n = std::min({predicted.size(), observed.size(), weights.size()});
    for (size_t i = 0; i < n; ++i) {
        const double w = weights[i];
        if (!(w > 0))
            continue;
        const double d = predicted[i] - observed[i];
        sw += w;
        se += w * d * d;
        sd += w * d;
        sp += w * std::fabs(d) / observed[i];
        if (std::fabs(d) <= kAcceptanceBand * observed[i])
            sin += w;
        ++s.count;
    }
    if (s.count == 0)
        return s;
    s.rmse = std::sqrt(se / sw);
    s.bias = sd / sw;
    s.mape = 100 * sp / sw;
    s.within35 = sin / sw;
    return s;
}

namespace {

struct Pairs
{
    std::vector<double> predicted, observed, weights;
};

Pairs RosPairs(const std::vector<Prediction> &predicted, const Observations &observations)
{
    Pairs p;
    const size_t n = std::min(predicted.size(), size_t(observations.size()));
    for (size_t i = 0; i < n; ++i) {
        p.predicted.push_back(predicted[i].ros);
        p.observed.push_back(observations[qsizetype(i)].ros);
        p.weights.push_back(observations[qsizetype(i)].weight);
    }
    return p;
}

Pairs FlamePairs(const std::vector<Prediction> &predicted, const Observations &observations)
{
    Pairs p;
    const size_t n = std::min(predicted.size(), size_t(observations.size()));
    for (size_t i = 0; i < n; ++i) {
        const Observation &o = observations[qsizetype(i)];
        if (!o.hasFlameLength())
            continue;
        p.predicted.push_back(predicted[i].flameLength);
        p.observed.push_back(o.flameLength);
        p.weights.push_back(o.weight);
    }
    return p;
}

} // namespace

AgreementStats RosAgreement(const std::vector<Prediction> &predicted, const Observations &observations)
{
    const Pairs p = RosPairs(predicted, observations);
    return Agreement(p.predicted, p.observed, p.weights);
}

AgreementStats FlameAgreement(const std::vector<Prediction> &predicted, const Observations &observations)
{
    const Pairs p = FlamePairs(predicted, observations);
    return Agreement(p.predicted, p.observed, p.weights);
}

double ObjectiveTerm(ObjectiveKind kind, const std::vector<double> &predicted, const std::vector<double> &observed,
                     const std::vector<double> &weights)
{
    double sw = 0, sum = 0;
    const size_t n = std::min({predicted.size(), observed.size(), weights.size()});
    for (size_t i = 0; i < n; ++i) {
        const double w = weights[i];
        if (!(w > 0))
            continue;
        sw += w;
        switch (kind) {
        case ObjectiveKind::LogRatio: {
            const double r = std::log(std::max(predicted[i], kLogFloor) / observed[i]);
            sum += w * r * r;
            break;
        }
        case ObjectiveKind::Rmse: {
            const double d = predicted[i] - observed[i];
            sum += w * d * d;
            break;
        }
        case ObjectiveKind::Mape:
            sum += w * std::fabs(predicted[i] - observed[i]) / observed[i];
            break;
        }
    }
    if (!(sw > 0))
        return NAN;
    switch (kind) {
    case ObjectiveKind::LogRatio:
        return sum / sw;
    case ObjectiveKind::Rmse:
        return std::sqrt(sum / sw);
    case ObjectiveKind::Mape:
        return 100 * sum / sw;
    }
    return NAN;
}

double ObjectiveValue(const ObjectiveOptions &options, const std::vector<Prediction> &predicted,
                      const Observations &observations)
{
    const Pairs ros = RosPairs(predicted, observations);
    double value = ObjectiveTerm(options.kind, ros.predicted, ros.observed, ros.weights);
    if (options.flameWeight > 0) {
        const Pairs fl = FlamePairs(predicted, observations);
        const double flame = ObjectiveTerm(options.kind, fl.predicted, fl.observed, fl.weights);
        if (std::isfinite(flame))
            value += options.flameWeight * flame;
    }
    return value;
}

double AdjustmentFactor(const std::vector<Prediction> &predicted, const Observations &observations)
{
    double sw = 0, sum = 0;
    const size_t n = std::min(predicted.size(), size_t(observations.size()));
    for (size_t i = 0; i < n; ++i) {
        const Observation &o = observations[qsizetype(i)];
        if (!(o.weight > 0) || !(predicted[i].ros > 0))
            continue;
        sw += o.weight;
        sum += o.weight * std::log(o.ros / predicted[i].ros);
    }
    return sw > 0 ? std::exp(sum / sw) : NAN;
}
