#include "analysis/AnalysisInputs.h"

#include "analysis/Sweep.h"
#include "data/FuelModel.h"

FireSpread PickedModelInputs(const AnalysisInputs &inputs, const FuelModel &model)
{
    FireSpread fs = inputs.edited;
    SetModelInputs(fs, model);
    return fs;
}

CharacteristicPoint CharacteristicPointOf(const FireSpread &fs, const QString &label, const QString &role)
{
    const SweepPoint p = ComputePoint(fs, 0);
    CharacteristicPoint c;
    c.label = label;
    c.role = role;
    c.heatPerUnitArea = p.heatPerUnitArea;
    c.rateOfSpread = p.rateOfSpread;
    c.flameLength = p.flameLength;
    c.fireLineIntensity = p.fireLineIntensity;
    return c;
}

std::vector<ModelCurve> ComputeResponseCurves(const AnalysisInputs &inputs, bool withReference,
                                              const std::vector<PickedModel> &picked, SweepInput input, double from,
                                              double to, int steps)
{
    std::vector<ModelCurve> curves;
    const double factor = inputs.windAdjustment;
    curves.push_back({inputs.editedSet, inputs.editedId, QStringLiteral("Edited"),
                      Sweep(inputs.edited, input, from, to, steps, factor)});
    if (withReference && inputs.hasReference)
        curves.push_back({inputs.referenceSet, inputs.referenceId, QStringLiteral("Reference"),
                          Sweep(inputs.reference, input, from, to, steps, factor)});
    for (const PickedModel &p : picked) {
        if (!p.model)
            continue;
        curves.push_back({p.setName, p.model->FuelModelID(), QStringLiteral("Library"),
                          Sweep(PickedModelInputs(inputs, *p.model), input, from, to, steps, factor)});
    }
    return curves;
}
