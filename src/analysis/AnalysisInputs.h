#pragma once

#include "analysis/FireCharacteristics.h"
#include "engine/FireSpread.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class FuelModel;

// What the analysis panels read from the Edit and Test Center at one moment: the edited model
// and the reference model as calculator inputs, set exactly as the editor sets them for its
// own computation, the wind adjustment factor, and the plot history.
struct AnalysisInputs
{
    FireSpread edited;
    QString editedId;
    QString editedSet;
    bool hasReference = false;
    FireSpread reference;
    QString referenceId;
    QString referenceSet;
    double windAdjustment = 1;
    // Each plot of the history with its plot number as the label.
    std::vector<CharacteristicPoint> plots;
    // The entry the editor's computations refuse ("caption: text is outside its range ..."),
    // empty when the entries hold their ranges. No curve is computed from refused entries.
    QString refused;
};

// A model picked from the library for the response curves.
struct PickedModel
{
    QString setName;
    std::shared_ptr<FuelModel> model;
};

// The inputs of a picked library model at the edited model's environment: its own fuel bed
// and herb type, the editor's moistures, wind and slope.
FireSpread PickedModelInputs(const AnalysisInputs &inputs, const FuelModel &model);

// Where a computed calculator sits on the fire characteristics chart.
CharacteristicPoint CharacteristicPointOf(const FireSpread &fs, const QString &label, const QString &role);

// The curves of one response chart: the edited model first, then the reference model (when
// asked for and there is one), then the picked models in their order. Roles "Edited",
// "Reference", "Library".
struct ModelCurve;
enum class SweepInput;
std::vector<ModelCurve> ComputeResponseCurves(const AnalysisInputs &inputs, bool withReference,
                                              const std::vector<PickedModel> &picked, SweepInput input, double from,
                                              double to, int steps);
