#include "calibration/FittedWarnings.h"

#include "analysis/ConsistencyWarnings.h"
#include "data/FuelModel.h"

#include <map>

QStringList ModelWarningsAt(const FuelModel &model, const std::vector<FireEnvironment> &environments,
                            const std::vector<const FuelModel *> &standards, Units::System system)
{
    std::vector<FuelBed> beds;
    for (const FuelModel *m : standards)
        beds.push_back(FuelBedOf(*m));
    const FuelBed bed = FuelBedOf(model);
    // Warning kind -> (first text, number of environments).
    std::map<int, std::pair<QString, int>> found;
    for (const FireEnvironment &env : environments) {
        const Envelope envelope = EnvelopeOf(beds, env);
        for (const ConsistencyWarning &w : ConsistencyWarnings(bed, env, envelope, system)) {
            auto it = found.find(int(w.kind));
            if (it == found.end())
                found.emplace(int(w.kind), std::make_pair(w.text, 1));
            else
                ++it->second.second;
        }
    }
    QStringList out;
    for (const auto &[kind, w] : found) {
        if (w.second == int(environments.size()))
            out << w.first;
        else
            out << QStringLiteral("%1 (at %2 of %3 observations)").arg(w.first).arg(w.second).arg(environments.size());
    }
    return out;
}
