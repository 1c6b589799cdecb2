#pragma once

#include "data/FuelParameters.h"
#include "data/ModelComputation.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class FuelModel;
class FuelModelSet;
class FuelModelSets;

// Where a fuel model sits among the models of a set: every model of the set computed at the
// editor's environment beside the edited model, and the set's models ranked by how close
// they come to it, by fire behaviour and by fuel parameters.
//
// Nothing here fails: a model whose computation fails in the spread core (no fuel, depth 0,
// ...) behaves as the editor shows it, with zero results.

// The 13 fuel parameters in calculator units and in the spread core's order: loadings 1-h,
// 10-h, 100-h, live herb, live woody (t/ac); SA/V 1-h, live herb, live woody (ft2/ft3); heat
// contents dead, live herb, live woody (btu/lb); fuel bed depth (ft); dead moisture of
// extinction (fraction). herbType 2 is dynamic, anything else static.
struct FuelBed
{
    std::array<double, 13> p{};
    double herbType = 1;
};

FuelBed FuelBedOf(const FuelModel &model);
// The fuel bed inputs of a calculator (as the editor fills it from its entries).
FuelBed FuelBedOf(const FireSpread &fs);

// The environment of one computation: FireEnvironment (data/ModelComputation.h).
FireEnvironment EnvironmentOf(const FireSpread &fs);

struct Behaviour
{
    double ros = 0;          // ch/h, to 0.1 as the editor shows it
    double unroundedRos = 0; // ch/h before that rounding: metric values are made from it
    double fl = 0;           // ft
    double fli = 0;          // btu/ft/s
    double hpa = 0;          // btu/ft2
    double surfToVol = 0;    // characteristic SA/V, ft2/ft3
    double packRatio = 0;    // relative packing ratio
    bool computed = false;   // false: the spread core failed and every value is 0
};
Behaviour ComputeBehaviour(const FuelBed &bed, const FireEnvironment &env);

// The conditions of the behaviour distance: every moisture scenario (five moistures in
// percent each) at each of the midflame winds kBehaviourWinds on flat ground.
inline constexpr std::array<double, 4> kBehaviourWinds = {0, 2, 5, 10}; // mi/h
std::vector<FireEnvironment> BehaviourConditions(const std::vector<std::array<double, 5>> &scenarioPercents);
// The conditions of the 16 standard dead-by-live moisture scenarios (D1L1 .. D4L4), 64 in all.
const std::vector<FireEnvironment> &StandardBehaviourConditions();

// Rate of spread and flame length of one fuel bed under each condition.
struct BehaviourProfile
{
    std::vector<double> ros, fl;
};
BehaviourProfile ProfileOf(const FuelBed &bed, const std::vector<FireEnvironment> &conditions);

// The behaviour distance of a candidate from the edited model over the conditions (n of them):
//   sqrt( (1/n) * sum over conditions of (dROS / R)^2 + (dFL / F)^2 )
// where dROS and dFL are the candidate's values less the edited model's, R is the edited
// model's mean rate of spread over the conditions (at least 1 ch/h) and F its mean flame
// length (at least 1 ft). 0 for an identical fire behaviour; the scales depend on the edited
// model only, so the ranking is by the sum of squared differences with rate of spread and
// flame length weighed alike.
struct BehaviourScales
{
    double ros = 1, fl = 1;
};
BehaviourScales ScalesOf(const BehaviourProfile &edited);
double BehaviourDistance(const BehaviourProfile &edited, const BehaviourProfile &candidate, BehaviourScales scales);

// The spread of each fuel parameter over a set of models (largest less smallest value). A
// parameter on which every model agrees takes the width of its entry range instead (loadings
// 30.49 t/ac, SA/V 3891 ft2/ft3, heat content 6000 btu/lb, depth 5.95 ft, moisture of
// extinction 0.95).
std::array<double, kFuelParameterCount> ParameterSpans(const std::vector<FuelBed> &beds);

// The parameter distance: sqrt( (1/13) * sum over the parameters of (difference / span)^2 ).
// The SA/V and heat content of a live class count only when either fuel bed has a load in that
// class (without it they describe no fuel); the 1-h SA/V and the dead heat content always count.
double ParameterDistance(const FuelBed &a, const FuelBed &b, const std::array<double, kFuelParameterCount> &spans);

struct ComparisonRow
{
    int position = 0; // 1-based position in the set
    QString id;       // FuelModelID
    QString description;
    Behaviour behaviour;                          // at the current environment
    double dRos = 0, dFl = 0, dFli = 0, dHpa = 0; // this model less the edited model
    double behaviourDistance = 0;
    double parameterDistance = 0;
};

struct SetComparison
{
    Behaviour edited;                // the edited model at the current environment
    std::vector<ComparisonRow> rows; // the set's models in set order
};

// The comparison of the edited fuel bed with every model of models at env, with both distances
// over conditions (BehaviourConditions of the moisture scenarios).
SetComparison CompareWithModels(const FuelBed &edited, const FireEnvironment &env,
                                const std::vector<std::shared_ptr<FuelModel>> &models,
                                const std::vector<FireEnvironment> &conditions);

// Row indexes of the comparison sorted by behaviour distance, or by parameter distance, the
// nearest first; ties keep set order.
std::vector<int> NearestByBehaviour(const SetComparison &comparison);
std::vector<int> NearestByParameters(const SetComparison &comparison);

// The models of a set in set order.
std::vector<std::shared_ptr<FuelModel>> ModelsOf(FuelModelSet &set);

// The set a comparison starts with: the first locked set of the library (the master set), else
// the first set; 0 when the library holds no sets. 1-based library position.
int DefaultComparisonSetPosition(const FuelModelSets &sets);
