#pragma once

#include "calibration/Observations.h"

#include <vector>

class FuelModel;

// How predictions of a model compare with observed fires, and the objectives a calibration
// minimises. Everything is weighted by the observations' weights; observations of weight 0
// count for nothing.

// The model's fire at one observation: the unrounded rate of spread (ch/h) and the flame
// length (ft), both 0 when the spread core fails.
struct Prediction
{
    double ros = 0;
    double flameLength = 0;
    bool computed = false;
};

// The model computed at every observation with its own herb type.
std::vector<Prediction> Predict(const FuelModel &model, const Observations &observations,
                                SpreadConventions conventions = SpreadConventions::Core);

// Agreement of predicted with observed values (in the units both are given in):
//   rmse     sqrt(sum w (p - o)^2 / sum w)
//   bias     sum w (p - o) / sum w           (mean predicted less observed)
//   mape     100 sum w |p - o| / o / sum w   (percent)
//   within35 sum of w where |p - o| <= 0.35 o, over sum w (a fraction)
// count is the number of pairs of positive weight; all NaN when there are none.
struct AgreementStats
{
    double rmse = NAN;
    double bias = NAN;
    double mape = NAN;
    double within35 = NAN;
    int count = 0;
};

// The +/-35 % acceptance band.
inline constexpr double kAcceptanceBand = 0.35;

AgreementStats Agreement(const std::vector<double> &predicted, const std::vector<double> &observed,
                         const std::vector<double> &weights);
// Rate of spread (ch/h) of every observation.
AgreementStats RosAgreement(const std::vector<Prediction> &predicted, const Observations &observations);
// Flame length (ft) of the observations that have one.
AgreementStats FlameAgreement(const std::vector<Prediction> &predicted, const Observations &observations);

enum class ObjectiveKind {
    LogRatio, // mean squared log ratio of predicted to observed (scale-free)
    Rmse,     // root mean square error (ch/h, ft)
    Mape,     // mean absolute percentage error (percent)
};

struct ObjectiveOptions
{
    ObjectiveKind kind = ObjectiveKind::LogRatio;
    // 0: rate of spread alone; otherwise the objective of flame length (over the observations
    // that have one) times this weight is added.
    double flameWeight = 0;
};

// A predicted value below this counts as this in the log ratio (a model that does not burn
// is far off, but not infinitely).
inline constexpr double kLogFloor = 1e-3;

// The objective of one quantity: predicted and observed pairs with weights.
double ObjectiveTerm(ObjectiveKind kind, const std::vector<double> &predicted, const std::vector<double> &observed,
                     const std::vector<double> &weights);
// The objective of the predictions at the observations (ObjectiveTerm of the rate of spread,
// plus flameWeight times that of flame length). NaN when no observation has weight.
double ObjectiveValue(const ObjectiveOptions &options, const std::vector<Prediction> &predicted,
                      const Observations &observations);

// The rate of spread adjustment factor that best fits: the f minimising
// sum w (ln(f p) - ln o)^2, i.e. exp(sum w ln(o / p) / sum w) over the observations where the
// model spreads. NaN when it spreads at none. Flame length is not adjusted by it.
double AdjustmentFactor(const std::vector<Prediction> &predicted, const Observations &observations);
