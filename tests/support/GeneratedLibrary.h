#pragma once

// The generated 10,000-model library the benchmarks read, write and show: 20 sets of 500
// models with values as typed into a library (loads to two decimals, SA/V in whole numbers).

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"

namespace bench {

constexpr int kSets = 20;
constexpr int kModelsPerSet = 500;

inline FuelModelSets generatedLibrary()
{
    FuelModelSets sets;
    unsigned seed = 12345;
    const auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(range));
    };
    for (int s = 1; s <= kSets; ++s) {
        auto models = std::make_shared<FuelModels>();
        for (int m = 1; m <= kModelsPerSet; ++m) {
            const QString key = NewNodeKey(false);
            const auto hundredths = [&](int range) { return next(range) / 100.0; };
            models->Add(QStringLiteral("M%1-%2").arg(s).arg(m),
                        QStringLiteral("Generated model %1 of set %2, mixed fuels").arg(m).arg(s),
                        (1 + next(60)) / 10.0, hundredths(1000), hundredths(1000), hundredths(1000), hundredths(500),
                        hundredths(800), 500 + next(3000), 1200 + next(800), 1200 + next(800), 12 + next(30), 8000,
                        8000 + next(2) * 1000, 8000, 1 + next(4), 1 + next(2), key, key);
        }
        sets.Add(QStringLiteral("Set %1").arg(s), s == 1, models, NewNodeKey(s == 1));
    }
    return sets;
}

} // namespace bench
