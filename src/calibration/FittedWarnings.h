#pragma once

#include "data/ModelComputation.h"
#include "data/UnitQuantity.h"

#include <QStringList>

#include <vector>

class FuelModel;

// The consistency warnings of a model (analysis/ConsistencyWarnings.h) at a list of
// environments, the envelope checks against the standard models. Each distinct warning once,
// with the number of environments it applies at when that is not all of them.
QStringList ModelWarningsAt(const FuelModel &model, const std::vector<FireEnvironment> &environments,
                            const std::vector<const FuelModel *> &standards,
                            Units::System system = Units::System::English);
