#include "calibration/Calibration.h"

#include "calibration/FittedWarnings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <set>

FreeParameter DefaultBounds(const FuelParameterInfo &parameter, const std::vector<CandidateModel> &standards,
                            const FuelModel &start)
{
    FreeParameter f;
    f.parameter = &parameter;
    double low = HUGE_VAL, high = -HUGE_VAL;
    auto take = [&](double v) {
        if (!std::isfinite(v) || (parameter.zeroAllowed && v == 0))
            return;
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (const CandidateModel &c : standards)
        take(parameter.valueOf(*c.model));
    take(parameter.valueOf(start));
    if (!(low <= high)) {
        low = parameter.low;
        high = parameter.high;
    }
    f.low = parameter.clamp(low);
    f.high = parameter.clamp(high);
    if (parameter.zeroAllowed && f.low == 0)
        f.low = parameter.low;
    return f;
}

namespace {

bool IsLoad(const FuelParameterInfo *p)
{
    return p->quantity == Units::Quantity::Loading;
}

// The search variables of a setup: each free parameter, or one factor for the tied loads.
struct Variables
{
    struct Variable
    {
        std::vector<int> members; // indices into setup.free; several for the load factor
        double low = 0, high = 0; // the value's (or the factor's) bounds
        bool factor = false;
    };
    std::vector<Variable> variables;

    explicit Variables(const CalibrationSetup &setup)
    {
        Variable tied;
        tied.factor = true;
        tied.low = -HUGE_VAL;
        tied.high = HUGE_VAL;
        for (int i = 0; i < int(setup.free.size()); ++i) {
            const FreeParameter &f = setup.free[size_t(i)];
            if (setup.tieLoads && IsLoad(f.parameter)) {
                tied.members.push_back(i);
                const double v = f.parameter->valueOf(setup.start);
                if (v > 0) {
                    tied.low = std::max(tied.low, f.low / v);
                    tied.high = std::min(tied.high, f.high / v);
                }
                continue;
            }
            variables.push_back(Variable{{i}, f.low, f.high, false});
        }
        if (!tied.members.empty())
            variables.insert(variables.begin(), tied);
    }

    int size() const { return int(variables.size()); }

    std::vector<double> Values(const CalibrationSetup &setup, const std::vector<double> &u) const
    {
        std::vector<double> values(setup.free.size());
        for (size_t k = 0; k < variables.size(); ++k) {
            const Variable &v = variables[k];
            const double x = v.low + std::clamp(u[k], 0.0, 1.0) * (v.high - v.low);
            for (int i : v.members) {
                const FreeParameter &f = setup.free[size_t(i)];
                values[size_t(i)] = v.factor ? std::clamp(x * f.parameter->valueOf(setup.start), f.low, f.high) : x;
            }
        }
        return values;
    }

    std::vector<double> UnitOf(const CalibrationSetup &setup) const
    {
        std::vector<double> u;
        for (const Variable &v : variables) {
            double x = v.factor ? 1 : setup.free[size_t(v.members.front())].parameter->valueOf(setup.start);
            u.push_back(v.high > v.low ? std::clamp((x - v.low) / (v.high - v.low), 0.0, 1.0) : 0.0);
        }
        return u;
    }
};

FittedModel Evaluate(const CalibrationSetup &setup, const FuelModel &model, const std::vector<double> &values,
                     const Observations &observations)
{
    FittedModel f;
    f.model = model;
    f.values = values;
    f.predictions = Predict(model, observations, setup.conventions);
    f.objective = ObjectiveValue(setup.objective, f.predictions, observations);
    f.ros = RosAgreement(f.predictions, observations);
    f.flame = FlameAgreement(f.predictions, observations);
    return f;
}

QString Number(double v)
{
    return QString::number(v, 'g', 4);
}

} // namespace

FuelModel ModelWithValues(const CalibrationSetup &setup, const std::vector<double> &values)
{
    FuelModel m = setup.start;
    for (size_t i = 0; i < setup.free.size() && i < values.size(); ++i)
        setup.free[i].parameter->setValue(m, values[i]);
    return m;
}

QString CalibrationSetupProblem(const CalibrationSetup &setup, const Observations &observations)
{
    if (setup.free.empty())
        return QStringLiteral("no parameter is free");
    double weight = 0;
    for (const Observation &o : observations)
        weight += o.weight > 0 ? o.weight : 0;
    if (!(weight > 0))
        return QStringLiteral("no observed fire (of weight above 0) to fit to");
    std::set<const FuelParameterInfo *> seen;
    int loads = 0;
    for (const FreeParameter &f : setup.free) {
        if (!f.parameter)
            return QStringLiteral("a free parameter has no name");
        const QString name = QString::fromUtf8(f.parameter->shortName.data(), qsizetype(f.parameter->shortName.size()));
        if (!seen.insert(f.parameter).second)
            return QStringLiteral("%1 is named twice").arg(name);
        if (!std::isfinite(f.low) || !std::isfinite(f.high) || f.low > f.high)
            return QStringLiteral("the bounds of %1 (%2 to %3) are not a range")
                .arg(name, Number(f.low), Number(f.high));
        if (!f.parameter->inRange(f.low) || !f.parameter->inRange(f.high))
            return QStringLiteral("the bounds of %1 (%2 to %3) go outside its range, %4 to %5")
                .arg(name, Number(f.low), Number(f.high), Number(f.parameter->low), Number(f.parameter->high));
        if (IsLoad(f.parameter) && f.parameter->valueOf(setup.start) > 0)
            ++loads;
    }
    if (setup.tieLoads) {
        if (loads < 2)
            return QStringLiteral("tying the loads needs at least two free loads above 0 in the model");
        const Variables vars(setup);
        if (!(vars.variables.front().low <= vars.variables.front().high))
            return QStringLiteral("no one factor keeps every tied load within its bounds");
    }
    return {};
}

std::vector<int> CrossValidationFolds(int count, int folds, unsigned seed)
{
    std::vector<int> order(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i)
        order[size_t(i)] = i;
    std::mt19937 random(seed);
    for (int i = count - 1; i > 0; --i) {
        const int j = int(random() % std::uint32_t(i + 1));
        std::swap(order[size_t(i)], order[size_t(j)]);
    }
    std::vector<int> foldOf(order.size(), 0);
    if (folds < 1)
        return foldOf;
    for (int k = 0; k < count; ++k)
        foldOf[size_t(order[size_t(k)])] = k % folds;
    return foldOf;
}

namespace {

struct SearchOutcome
{
    MultiStartResult search;
    bool cancelled = false;
};

SearchOutcome Search(const CalibrationSetup &setup, const Variables &vars, const Observations &observations,
                     const SearchProgress &progress)
{
    const BoxObjective f = [&](const std::vector<double> &u) {
        const FuelModel m = ModelWithValues(setup, vars.Values(setup, u));
        return ObjectiveValue(setup.objective, Predict(m, observations, setup.conventions), observations);
    };
    MultiStartOptions options;
    options.starts = setup.starts;
    options.seed = setup.seed;
    options.firstStart = vars.UnitOf(setup);
    options.globalEvaluations = setup.globalEvaluations;
    options.localEvaluations = setup.localEvaluations;
    SearchOutcome out;
    out.search = MinimizeMultiStart(f, vars.size(), options, progress);
    out.cancelled = out.search.cancelled;
    return out;
}

QString ShortName(const FuelParameterInfo *p)
{
    return QString::fromUtf8(p->shortName.data(), qsizetype(p->shortName.size()));
}

} // namespace

CalibrationResult Calibrate(const CalibrationSetup &setup, const Observations &observations,
                            const CalibrationProgress &progress)
{
    const auto started = std::chrono::steady_clock::now();
    CalibrationResult result;
    result.problem = CalibrationSetupProblem(setup, observations);
    if (!result.problem.isEmpty())
        return result;
    const Variables vars(setup);
    std::vector<double> startValues;
    for (const FreeParameter &f : setup.free)
        startValues.push_back(f.parameter->valueOf(setup.start));
    result.before = Evaluate(setup, setup.start, startValues, observations);

    int cvFolds = setup.cvFolds > 1 ? std::min(setup.cvFolds, int(observations.size())) : 0;
    if (cvFolds < 2)
        cvFolds = 0;
    const double parts = 1 + cvFolds;
    double done = 0;
    auto partProgress = [&](double fraction) { return !progress || progress((done + fraction) / parts); };

    // The fit on every observation.
    const SearchOutcome fit = Search(setup, vars, observations, partProgress);
    result.evaluations += fit.search.evaluations;
    if (fit.cancelled || fit.search.optima.empty()) {
        result.cancelled = true;
        return result;
    }
    auto fitted = [&](const BoxOptimum &o) {
        const std::vector<double> values = vars.Values(setup, o.u);
        return Evaluate(setup, ModelWithValues(setup, values), values, observations);
    };
    result.after = fitted(fit.search.optima.front());
    for (const BoxOptimum &o : AlternativeOptima(fit.search.optima))
        result.alternatives.push_back(fitted(o));
    const std::vector<double> &bestU = fit.search.optima.front().u;
    for (size_t k = 0; k < vars.variables.size(); ++k) {
        const int side = vars.variables[k].high > vars.variables[k].low ? BoundSide(bestU[k]) : 0;
        if (side == 0)
            continue;
        for (int i : vars.variables[k].members)
            result.atBound.push_back({setup.free[size_t(i)].parameter, side > 0});
    }

    // The best standard model on every observation.
    std::vector<RankedModel> ranking = RankModels(setup.standards, observations, setup.objective, setup.conventions);
    if (const RankedModel *best = BestByObjective(ranking)) {
        result.hasStandard = true;
        result.bestStandard = *best;
        result.beatsStandard = result.after.objective < best->objective;
    }

    // Cross-validation: each fold held out in turn, the fit and the choice of the best standard
    // model made on the rest.
    if (cvFolds > 0) {
        CrossValidation &cv = result.cv;
        cv.folds = cvFolds;
        cv.foldOf = CrossValidationFolds(int(observations.size()), cvFolds, setup.seed);
        cv.fitPredictions.resize(size_t(observations.size()));
        cv.standardPredictions.resize(size_t(observations.size()));
        for (int fold = 0; fold < cvFolds; ++fold) {
            done = 1 + fold;
            Observations training, held;
            std::vector<int> heldIndex;
            for (qsizetype i = 0; i < observations.size(); ++i) {
                if (cv.foldOf[size_t(i)] == fold) {
                    held << observations[i];
                    heldIndex.push_back(int(i));
                } else {
                    training << observations[i];
                }
            }
            const SearchOutcome f = Search(setup, vars, training, partProgress);
            result.evaluations += f.search.evaluations;
            if (f.cancelled || f.search.optima.empty()) {
                result.cancelled = true;
                return result;
            }
            const FuelModel foldModel = ModelWithValues(setup, vars.Values(setup, f.search.optima.front().u));
            const std::vector<Prediction> fitHeld = Predict(foldModel, held, setup.conventions);
            std::vector<Prediction> standardHeld(size_t(held.size()));
            const std::vector<RankedModel> foldRanking =
                RankModels(setup.standards, training, setup.objective, setup.conventions);
            if (const RankedModel *best = BestByObjective(foldRanking)) {
                standardHeld = Predict(*best->candidate.model, held, setup.conventions);
                cv.standardChosen << QStringLiteral("%1: %2").arg(best->candidate.setName,
                                                                  best->candidate.model->FuelModelID());
            }
            for (size_t k = 0; k < heldIndex.size(); ++k) {
                cv.fitPredictions[size_t(heldIndex[k])] = fitHeld[k];
                cv.standardPredictions[size_t(heldIndex[k])] = standardHeld[k];
            }
        }
        cv.fit = RosAgreement(cv.fitPredictions, observations);
        cv.fitObjective = ObjectiveValue(setup.objective, cv.fitPredictions, observations);
        if (result.hasStandard) {
            cv.standard = RosAgreement(cv.standardPredictions, observations);
            cv.standardObjective = ObjectiveValue(setup.objective, cv.standardPredictions, observations);
        }
    }

    // Consistency warnings of the fitted model at the observed environments.
    std::vector<FireEnvironment> environments;
    for (const Observation &o : observations)
        environments.push_back(o.environment);
    std::vector<const FuelModel *> standardModels;
    for (const CandidateModel &c : setup.standards)
        standardModels.push_back(c.model.get());
    result.warnings = ModelWarningsAt(result.after.model, environments, standardModels);

    // What to read first.
    if (result.hasStandard && !result.beatsStandard)
        result.messages << QStringLiteral(
                               "The fit cannot beat the best standard model, %1 %2 (objective %3 against %4).")
                               .arg(result.bestStandard.candidate.setName,
                                    result.bestStandard.candidate.model->FuelModelID(), Number(result.after.objective),
                                    Number(result.bestStandard.objective));
    if (result.cv.folds > 0 && result.hasStandard && !(result.cv.fitObjective < result.cv.standardObjective))
        result.messages << QStringLiteral(
                               "Cross-validated, the fit does no better than choosing the best standard model "
                               "(objective %1 against %2): it follows these fires rather than the fuel.")
                               .arg(Number(result.cv.fitObjective), Number(result.cv.standardObjective));
    for (const ParameterAtBound &b : result.atBound)
        result.messages << QStringLiteral("%1 ended at its %2 bound: the data push beyond what the bounds allow.")
                               .arg(ShortName(b.parameter), b.high ? QStringLiteral("upper") : QStringLiteral("lower"));
    if (!result.alternatives.empty())
        result.messages << QStringLiteral(
                               "%1 other optima fit about as well with different values: the observations do not "
                               "determine these parameters.")
                               .arg(result.alternatives.size());
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}
