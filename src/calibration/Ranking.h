#pragma once

#include "calibration/FitStatistics.h"
#include "data/UnitQuantity.h"

#include <QString>

#include <memory>
#include <vector>

class FuelModel;
class FuelModelSets;

// The models of a library ranked by how well they reproduce observed fires.

struct CandidateModel
{
    QString setName;
    std::shared_ptr<const FuelModel> model;
};

// The name of the master set: the standard models the default library starts with.
inline constexpr char kMasterSetName[] = "Orla Master";

// Every model of the sets named setName (all sets when setName is null), in library order.
std::vector<CandidateModel> CandidatesOf(FuelModelSets &sets, const QString &setName = QString());
// The models of the master set (the set of that name, else the first locked set, else the
// first set).
std::vector<CandidateModel> MasterSetModels(FuelModelSets &sets);

struct RankedModel
{
    CandidateModel candidate;
    std::vector<Prediction> predictions;
    AgreementStats ros;   // ch/h
    AgreementStats flame; // ft; count 0 when no flame length was observed
    double objective = NAN;
    double adjustment = NAN; // AdjustmentFactor of the rate of spread
    int failed = 0;          // observations at which the spread core failed
};

// Each candidate computed at every observation (its own herb type, the conventions given),
// sorted by the rate of spread RMSE (ties and NaN keep library order, NaN last).
std::vector<RankedModel> RankModels(const std::vector<CandidateModel> &candidates, const Observations &observations,
                                    const ObjectiveOptions &objective = {},
                                    SpreadConventions conventions = SpreadConventions::Core);
// The ranked model with the lowest objective (the best standard model a fit is set against),
// or nullptr when none has a finite objective.
const RankedModel *BestByObjective(const std::vector<RankedModel> &ranking);

// The ranking as CSV in units: set, id, description, ros-rmse, ros-bias, ros-mape,
// ros-within-35, then the same four with fl- when any flame length is observed, then
// ros-adjust, objective and failed.
QString RankingCsv(const std::vector<RankedModel> &ranking, const Observations &observations, Units::System units);
