#include "analysis/Sweep.h"
#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "engine/FireSpread.h"
#include "testcenter/EditorSave.h"
#include "testcenter/EntryRules.h"
#include "testcenter/TestCenterState.h"
#include "testcenter/TestComputation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TestEntries shortGrassEntries()
{
    TestEntries e;
    const char *boxes[] = {"1",    "Short grass", "0.74", "0",    "0",    "0", "0", "3500",
                           "1500", "1500",        "8000", "8000", "8000", "1", "12"};
    for (int i = 0; i <= 14; ++i)
        e.box[std::size_t(i)] = QString::fromLatin1(boxes[i]);
    const char *env[] = {"6", "7", "8", "75", "90", "10"};
    for (int i = 0; i < 6; ++i)
        e.box[std::size_t(20 + i)] = QString::fromLatin1(env[i]);
    e.windReduceText = " .4";
    e.windReducePosition = 4;
    e.midFlameWindText = "4.0";
    e.slopeText = " 30";
    e.herbTypePosition = 1;
    return e;
}

std::shared_ptr<FuelModel> addModel(FuelModelSets &sets, const QString &setName, const QString &id, double herbType)
{
    auto models = std::make_shared<FuelModels>();
    sets.Add(setName, false, models, {});
    return models->Add(id, "dyn", 1, 0.1, 0, 0, 1, 0, 2000, 1800, 1500, 15, 8000, 8100, 8200, 1, herbType, {}, {});
}

} // namespace

TEST(TestComputation, EntriesBecomeCalculatorInputsInItsUnits)
{
    FireSpread fs;
    TestEntries e = shortGrassEntries();
    e.box[3] = "2.5xyz";
    SetCalculatorInputs(fs, e);
    EXPECT_DOUBLE_EQ(fs.FuelMoisture1Hour(), 0.06);
    EXPECT_DOUBLE_EQ(fs.FuelMoistureHerb(), 0.75);
    EXPECT_DOUBLE_EQ(fs.FuelMoistureWoody(), 0.90);
    EXPECT_DOUBLE_EQ(fs.Loading1Hour(), 0.74);
    EXPECT_DOUBLE_EQ(fs.Loading10Hour(), 2.5);
    EXPECT_DOUBLE_EQ(fs.SurfaceToVolume1Hour(), 3500);
    EXPECT_DOUBLE_EQ(fs.BulkDensityDepth(), 1);
    EXPECT_DOUBLE_EQ(fs.MoistureOfExtinction(), 0.12);
    EXPECT_DOUBLE_EQ(fs.WindSpeedAdjust(), 4);
    EXPECT_DOUBLE_EQ(fs.WindSpeed(), 4);
    EXPECT_DOUBLE_EQ(fs.WindSpeedNA(), 10);
    EXPECT_DOUBLE_EQ(fs.Slope(), 30);
    EXPECT_DOUBLE_EQ(fs.HerbType(), 2);
    e.herbTypePosition = -1;
    SetCalculatorInputs(fs, e);
    EXPECT_DOUBLE_EQ(fs.HerbType(), 0);
}

TEST(TestComputation, ReferenceTakesTheModelsFuelBedAndItsOwnHerbType)
{
    ResetProgramState();
    FuelModelSets sets;
    const auto dynamic = addModel(sets, "A", "GR2", 2);
    FireSpread fs;
    SetReferenceInputs(fs, dynamic.get(), shortGrassEntries());
    EXPECT_DOUBLE_EQ(fs.LoadingLiveHerb(), 1);
    EXPECT_DOUBLE_EQ(fs.SurfaceToVolumeLiveHerb(), 1800);
    EXPECT_DOUBLE_EQ(fs.HeatContentLiveWoody(), 8200);
    EXPECT_DOUBLE_EQ(fs.MoistureOfExtinction(), 0.15);
    EXPECT_DOUBLE_EQ(fs.FuelMoisture10Hour(), 0.07);
    EXPECT_DOUBLE_EQ(fs.WindSpeed(), 4);
    EXPECT_DOUBLE_EQ(fs.Slope(), 30);
    EXPECT_DOUBLE_EQ(fs.HerbType(), 2); // a dynamic reference computes as dynamic
    EXPECT_DOUBLE_EQ(fs.WindSpeedNA(), 0);

    EXPECT_EQ(ReferenceModelAt(sets, 0, 0), dynamic);
    EXPECT_EQ(ReferenceModelAt(sets, 0, 1), nullptr);
    EXPECT_EQ(ReferenceModelAt(sets, 1, 0), nullptr);
    EXPECT_EQ(ReferenceModelAt(sets, -1, 0), nullptr);
    EXPECT_EQ(ReferenceModelAt(sets, 0, -1), nullptr);
}

TEST(TestComputation, ComputeReplacesTheSharedCalculatorsAndShowsZerosWhenNothingBurns)
{
    ResetTestCenterState();
    FuelModelSets sets;
    addModel(sets, "A", "GR2", 2);
    const auto firstCurrent = CurrentFireSpread;
    TestEntries e = shortGrassEntries();
    e.box[13] = "0"; // no fuel bed depth: the spread core cannot compute
    const ComputeOutcome out = RunCompute(e, sets, 0, 5);
    EXPECT_NE(CurrentFireSpread, firstCurrent);
    EXPECT_EQ(out.current.ros, "0.0");
    EXPECT_EQ(out.current.charSurfVol, "0");
    EXPECT_EQ(out.current.packRatio, "0.000");
    EXPECT_EQ(out.reference.ros, "0.0");
    EXPECT_EQ(out.reference.fl, "0.0");
    EXPECT_DOUBLE_EQ(CurrentFireSpread->BulkDensityDepth(), 0);
    EXPECT_DOUBLE_EQ(CurrentFireSpread->Slope(), 30);

    const auto kept = CurrentFireSpread;
    RunCompute(e, sets, 0, 0);
    EXPECT_NE(CurrentFireSpread, kept);
    EXPECT_DOUBLE_EQ(ReferenceFireSpread->LoadingLiveHerb(), 1);
}

TEST(EditorSave, EntriesBecomeTheModelsValues)
{
    FuelModel fm;
    fm.setKey("n7");
    TestEntries e = shortGrassEntries();
    e.box[0] = "X1";
    e.box[1] = "Tall grass";
    e.box[4] = "1.5 t";
    e.box[14] = "25";
    ApplyEntries(fm, e, 2, 1);
    EXPECT_EQ(fm.Key(), "n7");
    EXPECT_EQ(fm.FuelModelID(), "X1");
    EXPECT_EQ(fm.Description(), "Tall grass");
    EXPECT_DOUBLE_EQ(fm.Loading1Hour(), 0.74);
    EXPECT_DOUBLE_EQ(fm.Loading100Hour(), 1.5);
    EXPECT_DOUBLE_EQ(fm.SurfaceToVolumeLiveWoody(), 1500);
    EXPECT_DOUBLE_EQ(fm.MoistureOfExtinction(), 25); // kept in percent
    EXPECT_DOUBLE_EQ(fm.FuelCat(), 3);
    EXPECT_DOUBLE_EQ(fm.HerbType(), 2);
    EXPECT_EQ(ModelNodeText(fm), "X1 - Tall grass");

    const auto texts = ModelEntryTexts(FuelModel());
    EXPECT_EQ(texts[0], "??");
    EXPECT_EQ(texts[1], "Please Enter a Description");
    EXPECT_EQ(texts[13], "0");
    EXPECT_EQ(ModelEntryTexts(fm)[2], "0.74");
}

TEST(EditorSave, TextsTheLibraryFileCannotHoldAreRefused)
{
    EXPECT_TRUE(SaveTextRefusal("GR1", "Short \"sparse\" grass").refused());
    const EntryRefusal quoteInId = SaveTextRefusal("G\"1", "fine");
    EXPECT_EQ(quoteInId.title, "Fuel Model ID");
    EXPECT_EQ(quoteInId.focusIndex, 0);
    EXPECT_TRUE(quoteInId.text.startsWith("ERROR: Fuel model ID G\"1"));
    const EntryRefusal wideChar = SaveTextRefusal("GR1", QString::fromUtf8("grass \xce\xa9"));
    EXPECT_EQ(wideChar.title, "Description");
    EXPECT_EQ(wideChar.focusIndex, 1);
    EXPECT_EQ(SaveTextRefusal("GR1", "two\nlines").focusIndex, 1);
    EXPECT_FALSE(SaveTextRefusal("GR1", QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac, 50% dead")).refused());
}

// One midflame wind rule: a response curve over the 20-ft wind passes exactly through the
// editor's result at the editor's wind. The factor .35 makes most products fall between tenths
// (0.25 mi/h x .35 = 0.0875, shown and computed as 0.1), so a curve taking the unrounded product
// would miss the editor at most winds.
TEST(TestComputation, AResponseCurveOverTheWindPassesThroughTheEditorsResults)
{
    TestEntries e = shortGrassEntries();
    e.windReduceText = " .35"; // typed: no list item
    e.windReducePosition = -1;
    FireSpread base;
    SetCalculatorInputs(base, e);
    const std::vector<SweepPoint> curve = Sweep(base, SweepInput::TwentyFootWind, 0, 20, 81, 0.35);
    ASSERT_EQ(curve.size(), 81u);
    int between = 0;
    for (const SweepPoint &p : curve) {
        SCOPED_TRACE(p.x);
        // The editor at this 20-ft wind: its midflame box as it fills it, then its computation.
        e.box[25] = FormatGeneral(p.x);
        const MidFlameWind mid = MidFlameWindOf(e.windReduceText, p.x, e.system);
        e.midFlameShown.remember(mid.text, e.system, mid.english);
        e.midFlameWindText = mid.text;
        FireSpread editor;
        SetCalculatorInputs(editor, e);
        ASSERT_TRUE(ComputeQuietly(editor));
        ASSERT_TRUE(p.computed);
        EXPECT_EQ(p.rateOfSpread, editor.RateOfSpread());
        EXPECT_EQ(p.fireLineIntensity, editor.FireLineIntensity());
        EXPECT_EQ(p.flameLength, editor.FlameLength());
        EXPECT_EQ(p.effectiveWind, editor.EWind());
        between += std::fabs(p.x * 0.35 * 10 - std::round(p.x * 0.35 * 10)) > 1e-9 ? 1 : 0;
    }
    EXPECT_GT(between, 40); // most winds put the product between tenths
}

// Worked by hand: the midflame wind is the product rounded to 0.1 mi/h, shown in English as
// that value and in metric as the unrounded product converted and rounded once to 0.1 km/h:
// 13.9 mi/h x .7 = 9.73 mi/h, computed as 9.7; 9.73 x 1.609344 = 15.659 km/h, shown as 15.7
// (not 9.7 x 1.609344 = 15.611 shown as 15.6).
TEST(TestComputation, MidflameWindComputedInTenthsOfMphShownOnceRoundedInKmh)
{
    const MidFlameWind english = MidFlameWindOf(" .7", 13.9, Units::System::English);
    EXPECT_EQ(english.text, QStringLiteral("9.7"));
    EXPECT_DOUBLE_EQ(english.english, 9.7);
    const MidFlameWind metric = MidFlameWindOf(" .7", 13.9, Units::System::Metric);
    EXPECT_EQ(metric.text, QStringLiteral("15.7"));
    EXPECT_DOUBLE_EQ(metric.english, 9.7);
}

// The metric rate of spread is the unrounded rate converted, rounded once to 0.01 m/min
// (1 ch/h = 0.33528 m/min), not the 0.1 ch/h value converted: over a grid of winds the two
// differ at some winds, and the result box always shows the first.
TEST(TestComputation, MetricRateOfSpreadIsRoundedOnceFromTheUnroundedRate)
{
    int differing = 0;
    for (int tenth = 0; tenth <= 150; ++tenth) {
        FireSpread fs;
        TestEntries e = shortGrassEntries();
        SetCalculatorInputs(fs, e);
        fs.setWindSpeed(tenth / 10.0);
        ASSERT_TRUE(ComputeQuietly(fs));
        const double unrounded = fs.UnroundedRateOfSpread();
        const QString expected = QString::number(std::round(unrounded * 0.33528 * 100) / 100, 'f', 2);
        const QString fromRounded = QString::number(std::round(fs.RateOfSpread() * 0.33528 * 100) / 100, 'f', 2);
        EXPECT_EQ(FormatReference(fs, Units::System::Metric).ros.trimmed(), expected) << tenth;
        EXPECT_EQ(FormatReference(fs, Units::System::English).ros.trimmed(), QString::number(fs.RateOfSpread(), 'f', 1))
            << tenth;
        differing += expected != fromRounded ? 1 : 0;
    }
    EXPECT_GT(differing, 10);
}
