#pragma once

#include "calibration/MultiStart.h"
#include "calibration/Ranking.h"
#include "data/FuelModel.h"
#include "data/FuelParameters.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Calibration of a fuel model against observed fires: the chosen parameters are searched
// within their bounds for the least objective, and the result comes with what the data can and
// cannot tell: skill before and after beside the best standard model, residuals, parameters
// that end at a bound, other optima of similar skill, cross-validation and the fitted model's
// consistency warnings.

// A free parameter and its bounds (English units, the moisture of extinction in percent).
struct FreeParameter
{
    const FuelParameterInfo *parameter = nullptr;
    double low = 0, high = 0;
};

// The default bounds of a parameter: the smallest and largest value among the standard models
// (an SA/V of 0, no such fuel, left out), widened to take in the start value, and clipped to
// the entry range.
FreeParameter DefaultBounds(const FuelParameterInfo &parameter, const std::vector<CandidateModel> &standards,
                            const FuelModel &start);

struct CalibrationSetup
{
    FuelModel start; // the edited model: the first start and the values of the fixed parameters
    std::vector<FreeParameter> free;
    // The free loads move together by one factor, keeping the start model's ratios (a load of
    // 0 stays 0); the factor's bounds are where the first load meets its bounds.
    bool tieLoads = false;
    ObjectiveOptions objective;
    SpreadConventions conventions = SpreadConventions::Core;
    int starts = 5;
    unsigned seed = 1;
    int cvFolds = 5; // 0 or 1: no cross-validation
    // The models the fit is set against (the best by the objective is "the best standard
    // model") and whose envelope the consistency warnings use.
    std::vector<CandidateModel> standards;
    int globalEvaluations = 0; // per start; 0: the default of MinimizeMultiStart
    int localEvaluations = 0;
};

// Where a setup is wrong in itself (no free parameter, bounds reversed or outside the entry
// range, a parameter named twice, a tie without two loads to tie, no observation): the
// reason, or an empty text.
QString CalibrationSetupProblem(const CalibrationSetup &setup, const Observations &observations);

struct FittedModel
{
    FuelModel model;
    std::vector<double> values; // the free parameters' values, in the order of setup.free
    double objective = NAN;
    AgreementStats ros, flame;
    std::vector<Prediction> predictions;
};

struct ParameterAtBound
{
    const FuelParameterInfo *parameter = nullptr;
    bool high = false; // at the upper bound, else the lower
};

struct CrossValidation
{
    int folds = 0;                                               // 0: not done
    std::vector<int> foldOf;                                     // fold of each observation
    std::vector<Prediction> fitPredictions, standardPredictions; // each from the fold that held it out
    AgreementStats fit, standard;
    double fitObjective = NAN, standardObjective = NAN;
    QStringList standardChosen; // "set: id" chosen on each fold's training part
};

struct CalibrationResult
{
    QString problem; // not fitted: why
    bool cancelled = false;
    FittedModel before;                    // the start model
    FittedModel after;                     // the best fit
    std::vector<FittedModel> alternatives; // other optima of similar skill, far from the best
    std::vector<ParameterAtBound> atBound;
    bool hasStandard = false;
    RankedModel bestStandard; // by the objective, over all observations
    bool beatsStandard = false;
    CrossValidation cv;
    QStringList warnings; // consistency warnings of the fitted model at the observations
    QStringList messages; // what the user should read first
    int evaluations = 0;
    double seconds = 0;

    bool ok() const { return problem.isEmpty() && !cancelled; }
};

// Progress of the whole calibration (cross-validation included), 0-1; false cancels.
using CalibrationProgress = std::function<bool(double fraction)>;

CalibrationResult Calibrate(const CalibrationSetup &setup, const Observations &observations,
                            const CalibrationProgress &progress = {});

// The folds of k-fold cross-validation: observation i goes to fold foldOf[i], the observations
// shuffled by a Fisher-Yates shuffle driven by std::mt19937(seed) (fully specified, so a seed
// gives the same folds everywhere), then dealt out in turn; fold sizes differ by at most one.
std::vector<int> CrossValidationFolds(int count, int folds, unsigned seed);

// The fitted values as the model after calibration: start with the free parameters set.
FuelModel ModelWithValues(const CalibrationSetup &setup, const std::vector<double> &values);
