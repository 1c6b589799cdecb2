#include "testcenter/TestComputation.h"

#include "analysis/ShownResults.h"
#include "data/FuelModelSets.h"
#include "data/ModelComputation.h"
#include "data/NumberText.h"
#include "engine/FireSpread.h"
#include "testcenter/TestCenterState.h"

namespace {

double num(const QString &text)
{
    return ParseLeadingNumber(text);
}

void setMoistures(FireSpread &fs, const TestEntries &e)
{
    fs.setFuelMoisture1Hour(EntryValue(e, 20) / 100);
    fs.setFuelMoisture10Hour(EntryValue(e, 21) / 100);
    fs.setFuelMoisture100Hour(EntryValue(e, 22) / 100);
    fs.setFuelMoistureHerb(EntryValue(e, 23) / 100);
    fs.setFuelMoistureWoody(EntryValue(e, 24) / 100);
}

} // namespace

std::array<Units::ShownValue, kEntrySlots> EntryShownValues()
{
    std::array<Units::ShownValue, kEntrySlots> all;
    for (int i = 0; i < kEntrySlots; ++i)
        all[std::size_t(i)] = Units::ShownValue(EntryQuantity(i));
    return all;
}

double EntryValue(const TestEntries &e, int index)
{
    if (index < 0 || index >= kEntrySlots)
        return 0;
    return e.shown[std::size_t(index)].english(e.system, e.box[std::size_t(index)]);
}

double MidFlameWindValue(const TestEntries &e)
{
    return e.midFlameShown.english(e.system, e.midFlameWindText);
}

QString ResultCaption(QStringView box, Units::System s)
{
    const bool m = s == Units::System::Metric;
    if (box == u"ros")
        return m ? QStringLiteral("ROS (m/min)") : QStringLiteral("ROS (Ch/Hr)");
    if (box == u"fli")
        return m ? QStringLiteral("Fireline Intensity (kW/m)") : QStringLiteral("Fireline Intensity (BTU/Ft/Sec)");
    if (box == u"fl")
        return m ? QStringLiteral("Flame Length (m)") : QStringLiteral("Flame Length (Feet)");
    if (box == u"heat")
        return m ? QStringLiteral("Size After 1 Hour (ha)") : QStringLiteral("Size After 1 Hour (Ac)");
    if (box == u"charSurfVol")
        return m ? QStringLiteral("Char Surface Area to Volume Ratio (m2/m3)")
                 : QStringLiteral("Char Surface Area to Volume Ratio (ft2/ft3)");
    return {};
}

void SetCalculatorInputs(FireSpread &fs, const TestEntries &e)
{
    setMoistures(fs, e);
    fs.setLoading1Hour(EntryValue(e, 2));
    fs.setLoading10Hour(EntryValue(e, 3));
    fs.setLoading100Hour(EntryValue(e, 4));
    fs.setLoadingLiveHerb(EntryValue(e, 5));
    fs.setLoadingLiveWoody(EntryValue(e, 6));
    fs.setSurfaceToVolume1Hour(EntryValue(e, 7));
    fs.setSurfaceToVolumeLiveHerb(EntryValue(e, 8));
    fs.setSurfaceToVolumeLiveWoody(EntryValue(e, 9));
    fs.setHeatContentDead(EntryValue(e, 10));
    fs.setHeatContentLiveHerb(EntryValue(e, 11));
    fs.setHeatContentLiveWoody(EntryValue(e, 12));
    fs.setBulkDensityDepth(EntryValue(e, 13));
    fs.setMoistureOfExtinction(EntryValue(e, 14) / 100);
    fs.setWindSpeedAdjust(e.windReducePosition);
    fs.setWindSpeed(MidFlameWindValue(e));
    fs.setWindSpeedNA(EntryValue(e, 25));
    fs.setSlope(num(e.slopeText));
    fs.setHerbType(e.herbTypePosition + 1);
    fs.setConventions(gSpreadConventions);
}

void SetReferenceInputs(FireSpread &fs, const FuelModel *model, const TestEntries &e)
{
    setMoistures(fs, e);
    fs.setConventions(gSpreadConventions);
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
        fs.setHerbType(model->HerbType());
    }
    fs.setWindSpeedAdjust(e.windReducePosition);
    fs.setWindSpeed(MidFlameWindValue(e));
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
    // The boxes show zeros for a fuel bed that cannot burn and the analyst carries on.
    return ComputeSpread(fs);
}

ResultTexts FormatResults(const FireSpread &fs, Units::System s)
{
    const ReferenceTexts main = FormatReference(fs, s);
    return {main.ros,
            main.fli,
            main.heat,
            main.fl,
            Units::FormatResult(Units::Quantity::SurfaceToVolume, s, fs.SurfToVol()),
            FormatPattern(fs.PackRatio(), u"#####0.000")};
}

ReferenceTexts FormatReference(const FireSpread &fs, Units::System s)
{
    using Units::Quantity;
    return {Units::FormatResult(Quantity::RateOfSpread, s, RateOfSpreadToShow(fs, s)),
            Units::FormatResult(Quantity::FirelineIntensity, s, fs.FireLineIntensity()),
            Units::FormatResult(Quantity::FireSize, s, fs.SingleEllipseArea()),
            Units::FormatResult(Quantity::FlameLength, s, fs.FlameLength())};
}

ComputeOutcome RunCompute(const TestEntries &entries, const FuelModelSets &sets, int setPosition, int modelPosition)
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

    return {FormatResults(*CurrentFireSpread, entries.system), FormatReference(*ReferenceFireSpread, entries.system)};
}

ResultTexts RunRatioOnly(const TestEntries &entries)
{
    FireSpread fs;
    SetCalculatorInputs(fs, entries);
    ComputeQuietly(fs);
    return FormatResults(fs, entries.system);
}
