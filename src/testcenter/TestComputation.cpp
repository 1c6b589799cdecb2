#include "testcenter/TestComputation.h"

#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "engine/FireSpread.h"
#include "testcenter/TestCenterState.h"

#include <exception>

namespace {

double num(const QString &text)
{
    return ParseLeadingNumber(text);
}

void setMoistures(FireSpread &fs, const TestEntries &e)
{
    fs.setFuelMoisture1Hour(num(e.box[20]) / 100);
    fs.setFuelMoisture10Hour(num(e.box[21]) / 100);
    fs.setFuelMoisture100Hour(num(e.box[22]) / 100);
    fs.setFuelMoistureHerb(num(e.box[23]) / 100);
    fs.setFuelMoistureWoody(num(e.box[24]) / 100);
}

QString oneDecimal(double v)
{
    return FormatPattern(v, u"####0.0");
}

} // namespace

void SetCalculatorInputs(FireSpread &fs, const TestEntries &e)
{
    setMoistures(fs, e);
    fs.setLoading1Hour(num(e.box[2]));
    fs.setLoading10Hour(num(e.box[3]));
    fs.setLoading100Hour(num(e.box[4]));
    fs.setLoadingLiveHerb(num(e.box[5]));
    fs.setLoadingLiveWoody(num(e.box[6]));
    fs.setSurfaceToVolume1Hour(num(e.box[7]));
    fs.setSurfaceToVolumeLiveHerb(num(e.box[8]));
    fs.setSurfaceToVolumeLiveWoody(num(e.box[9]));
    fs.setHeatContentDead(num(e.box[10]));
    fs.setHeatContentLiveHerb(num(e.box[11]));
    fs.setHeatContentLiveWoody(num(e.box[12]));
    fs.setBulkDensityDepth(num(e.box[13]));
    fs.setMoistureOfExtinction(num(e.box[14]) / 100);
    fs.setWindSpeedAdjust(e.windReducePosition);
    fs.setWindSpeed(num(e.midFlameWindText));
    fs.setWindSpeedNA(num(e.box[25]));
    fs.setSlope(num(e.slopeText));
    fs.setHerbType(e.herbTypePosition + 1);
}

void SetReferenceInputs(FireSpread &fs, const FuelModel *model, const TestEntries &e)
{
    setMoistures(fs, e);
    if (model) {
        fs.setLoading1Hour(model->Loading1Hour());
        fs.setLoading10Hour(model->Loading10Hour());
        fs.setLoading100Hour(model->Loading100Hour());
        fs.setLoadingLiveHerb(model->LoadingLiveHerb());
        fs.setLoadingLiveWoody(model->LoadingLiveWoody());
        fs.setSurfaceToVolume1Hour(model->SurfaceToVolume1Hour());
        fs.setSurfaceToVolumeLiveHerb(model->SurfaceToVolumeLiveHerb());
        fs.setSurfaceToVolumeLiveWoody(model->SurfaceToVolumeLiveWoody());
        fs.setHeatContentDead(model->HeatContentDead());
        fs.setHeatContentLiveHerb(model->HeatContentLiveHerb());
        fs.setHeatContentLiveWoody(model->HeatContentLiveWoody());
        fs.setBulkDensityDepth(model->BulkDensityDepth());
        fs.setMoistureOfExtinction(model->MoistureOfExtinction() / 100);
    }
    fs.setWindSpeedAdjust(e.windReducePosition);
    fs.setWindSpeed(num(e.midFlameWindText));
    fs.setSlope(num(e.slopeText));
}

std::shared_ptr<FuelModel> ReferenceModelAt(const FuelModelSets &sets, int setPosition, int modelPosition)
{
    if (setPosition < 0 || setPosition >= sets.Count())
        return nullptr;
    const auto &models = sets.Item(setPosition + 1)->FuelModels();
    if (modelPosition < 0 || modelPosition >= models->Count())
        return nullptr;
    return models->Item(modelPosition + 1);
}

bool ComputeQuietly(FireSpread &fs)
{
    // A fuel bed the spread core cannot burn (no fuel, no depth, ...) is an ordinary outcome of
    // trying entries: the boxes show zeros and the analyst carries on.
    try {
        fs.Compute();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

ResultTexts FormatResults(const FireSpread &fs)
{
    return {oneDecimal(fs.RateOfSpread()),
            oneDecimal(fs.FireLineIntensity()),
            oneDecimal(fs.SingleEllipseArea()),
            oneDecimal(fs.FlameLength()),
            FormatPattern(fs.SurfToVol(), u"#####0"),
            FormatPattern(fs.PackRatio(), u"#####0.000")};
}

ReferenceTexts FormatReference(const FireSpread &fs)
{
    return {oneDecimal(fs.RateOfSpread()), oneDecimal(fs.FireLineIntensity()),
            oneDecimal(fs.SingleEllipseArea()), oneDecimal(fs.FlameLength())};
}

ComputeOutcome RunCompute(const TestEntries &entries, const FuelModelSets &sets, int setPosition,
                          int modelPosition)
{
    CurrentFireSpread = std::make_shared<FireSpread>();
    ReferenceFireSpread = std::make_shared<FireSpread>();

    SetCalculatorInputs(*CurrentFireSpread, entries);
    ComputeQuietly(*CurrentFireSpread);

    const auto model = ReferenceModelAt(sets, setPosition, modelPosition);
    SetReferenceInputs(*ReferenceFireSpread, model.get(), entries);
    // Without a reference model there is no fuel to burn: the reference keeps its zeros.
    if (model)
        ComputeQuietly(*ReferenceFireSpread);

    return {FormatResults(*CurrentFireSpread), FormatReference(*ReferenceFireSpread)};
}

ResultTexts RunRatioOnly(const TestEntries &entries)
{
    FireSpread fs;
    SetCalculatorInputs(fs, entries);
    ComputeQuietly(fs);
    return FormatResults(fs);
}
