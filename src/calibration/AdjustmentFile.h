#pragma once

#include <QByteArray>

#include <utility>
#include <vector>

// The rate of spread adjustment file of the fire growth simulators: one line per custom fuel
// model, its number and the factor its rate of spread is multiplied by, separated by a blank
// ("14 0.85"), lines ended by CR LF. Flame length is not adjusted by it.
QByteArray WriteAdjustmentFile(const std::vector<std::pair<int, double>> &numberAndFactor);
