#pragma once

#include "data/UnitQuantity.h"

#include <QStringList>

#include <array>
#include <vector>

class FuelModel;

// The consistency warnings of a model (analysis/ConsistencyWarnings.h) at a list of
// environments, each given as the five moistures (percent), the midflame wind (mi/h) and the
// slope (percent); the envelope checks against the standard models. Each distinct warning
// once, with the number of environments it applies at when that is not all of them.
QStringList ModelWarningsAt(const FuelModel &model, const std::vector<std::array<double, 7>> &environments,
                            const std::vector<const FuelModel *> &standards,
                            Units::System system = Units::System::English);
