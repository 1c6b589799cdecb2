#include "calibration/Ranking.h"

#include "data/CsvTable.h"
#include "data/FuelModelSets.h"
#include "units/Units.h"

#include <algorithm>

std::vector<CandidateModel> CandidatesOf(FuelModelSets &sets, const QString &setName)
{
    std::vector<CandidateModel> out;
    for (const auto &set : sets) {
        if (!setName.isNull() && set->Name() != setName)
            continue;
        for (const auto &m : *set->FuelModels())
            out.push_back({set->Name(), m});
    }
    return out;
}

std::vector<CandidateModel> MasterSetModels(FuelModelSets &sets)
{
    std::shared_ptr<FuelModelSet> master;
    for (const auto &set : sets)
        if (!master && set->Name() == QLatin1String(kMasterSetName))
            master = set;
    for (const auto &set : sets)
        if (!master && set->Locked())
            master = set;
    for (const auto &set : sets)
        if (!master)
            master = set;
    std::vector<CandidateModel> out;
    if (master)
        for (const auto &m : *master->FuelModels())
            out.push_back({master->Name(), m});
    return out;
}

std::vector<RankedModel> RankModels(const std::vector<CandidateModel> &candidates, const Observations &observations,
                                    const ObjectiveOptions &objective, SpreadConventions conventions)
{
    std::vector<RankedModel> ranking;
    ranking.reserve(candidates.size());
    for (const CandidateModel &c : candidates) {
        RankedModel r;
        r.candidate = c;
        r.predictions = Predict(*c.model, observations, conventions);
        r.ros = RosAgreement(r.predictions, observations);
        r.flame = FlameAgreement(r.predictions, observations);
        r.objective = ObjectiveValue(objective, r.predictions, observations);
        r.adjustment = AdjustmentFactor(r.predictions, observations);
        for (const Prediction &p : r.predictions)
            r.failed += p.computed ? 0 : 1;
        ranking.push_back(std::move(r));
    }
    std::stable_sort(ranking.begin(), ranking.end(), [](const RankedModel &a, const RankedModel &b) {
        const bool an = std::isnan(a.ros.rmse), bn = std::isnan(b.ros.rmse);
        if (an || bn)
            return !an && bn;
        return a.ros.rmse < b.ros.rmse;
    });
    return ranking;
}

const RankedModel *BestByObjective(const std::vector<RankedModel> &ranking)
{
    const RankedModel *best = nullptr;
    for (const RankedModel &r : ranking)
        if (std::isfinite(r.objective) && (!best || r.objective < best->objective))
            best = &r;
    return best;
}

QString RankingCsv(const std::vector<RankedModel> &ranking, const Observations &observations, Units::System units)
{
    using Units::Quantity;
    bool flame = false;
    for (const Observation &o : observations)
        flame = flame || (o.hasFlameLength() && o.weight > 0);
    CsvTable table;
    table.header << QStringLiteral("set") << QStringLiteral("id") << QStringLiteral("description")
                 << QStringLiteral("ros-rmse") << QStringLiteral("ros-bias") << QStringLiteral("ros-mape")
                 << QStringLiteral("ros-within-35");
    if (flame)
        table.header << QStringLiteral("fl-rmse") << QStringLiteral("fl-bias") << QStringLiteral("fl-mape")
                     << QStringLiteral("fl-within-35");
    table.header << QStringLiteral("ros-adjust") << QStringLiteral("objective") << QStringLiteral("failed");
    auto stats = [&](QStringList &row, const AgreementStats &s, Quantity q) {
        row << TableNumber(Units::FromEnglish(q, units, s.rmse), 4)
            << TableNumber(Units::FromEnglish(q, units, s.bias), 4) << TableNumber(s.mape, 2)
            << TableNumber(s.within35, 4);
    };
    for (const RankedModel &r : ranking) {
        QStringList row;
        row << r.candidate.setName << r.candidate.model->FuelModelID() << r.candidate.model->Description();
        stats(row, r.ros, Quantity::RateOfSpread);
        if (flame)
            stats(row, r.flame, Quantity::FlameLength);
        row << TableNumber(r.adjustment, 4) << TableNumber(r.objective, 6) << QString::number(r.failed);
        table.rows << row;
    }
    return table.ToCsv();
}
