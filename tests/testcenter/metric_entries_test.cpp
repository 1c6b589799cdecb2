// The editor's logic in metric: every standard model, every field, the range edges, the
// write-back and the charts and export in metric.
#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "engine/FireSpread.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"
#include "testcenter/ChartData.h"
#include "testcenter/EditorSave.h"
#include "testcenter/EntryRules.h"
#include "testcenter/PlotExport.h"
#include "testcenter/TestComputation.h"

#include <gtest/gtest.h>

#include <cmath>

using Units::Quantity;
using Units::System;

namespace {

std::vector<std::shared_ptr<FuelModel>> standardModels()
{
    MemoryTree tree;
    const auto result = ReadLibrary(DefaultLibraryBytes(), tree);
    std::vector<std::shared_ptr<FuelModel>> all;
    for (const auto &set : *result.sets)
        for (const auto &fm : *set->FuelModels())
            all.push_back(fm);
    return all;
}

// The entries as the editor fills them from a model in a system: every number box remembers
// the English value it shows.
TestEntries entriesFor(const FuelModel &fm, System s)
{
    TestEntries e;
    e.system = s;
    for (int i = 2; i <= kLastModelEntry; ++i)
        e.box[std::size_t(i)] = e.shown[std::size_t(i)].show(s, ModelEntryValue(fm, i));
    const double env[] = {6, 7, 8, 60, 90, 12};
    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i)
        e.box[std::size_t(i)] = e.shown[std::size_t(i)].show(s, env[i - kFirstEnvEntry]);
    e.windReduceText = WindReduceItem(4);
    e.windReducePosition = 4;
    const MidFlameWind wind = MidFlameWindOf(e.windReduceText, 12, s);
    e.midFlameWindText = wind.text;
    e.midFlameShown.remember(wind.text, s, wind.english);
    e.slopeText = QStringLiteral("30");
    e.herbTypePosition = int(fm.HerbType()) - 1;
    return e;
}

double relative(double a, double b)
{
    return a == b ? 0 : std::fabs(a - b) / std::max(std::fabs(a), std::fabs(b));
}

} // namespace

TEST(MetricEntries, EveryStandardModelComputesAsInEnglish)
{
    const auto models = standardModels();
    ASSERT_EQ(models.size(), 53u);
    for (const auto &fm : models) {
        FireSpread english;
        FireSpread metric;
        SetCalculatorInputs(english, entriesFor(*fm, System::English));
        SetCalculatorInputs(metric, entriesFor(*fm, System::Metric));
        ComputeQuietly(english);
        ComputeQuietly(metric);
        const std::string id = fm->FuelModelID().toStdString();
        ASSERT_GT(english.RateOfSpread(), 0) << id;
        EXPECT_LE(relative(metric.RateOfSpread(), english.RateOfSpread()), 1e-12) << id;
        EXPECT_LE(relative(metric.FireLineIntensity(), english.FireLineIntensity()), 1e-12) << id;
        EXPECT_LE(relative(metric.FlameLength(), english.FlameLength()), 1e-12) << id;
        EXPECT_LE(relative(metric.SingleEllipseArea(), english.SingleEllipseArea()), 1e-12) << id;
        EXPECT_LE(relative(metric.SurfToVol(), english.SurfToVol()), 1e-12) << id;
        // Shown converted: 1 ch/h = 0.33528 m/min (from the unrounded rate, rounded once),
        // 1 ft = 0.3048 m.
        const ResultTexts shown = FormatResults(metric, System::Metric);
        EXPECT_EQ(shown.ros, FormatPattern(english.UnroundedRateOfSpread() * 0.33528, u"0.00")) << id;
        EXPECT_EQ(shown.fl, FormatPattern(english.FlameLength() * 0.3048, u"0.00")) << id;
        EXPECT_EQ(shown.heat, FormatPattern(english.SingleEllipseArea() * 0.40468564224, u"0.00")) << id;
    }
}

TEST(MetricEntries, EveryFieldOfEveryStandardModelShowsBackTheSame)
{
    for (const auto &fm : standardModels()) {
        for (int i = 2; i <= kLastModelEntry; ++i) {
            const Quantity q = EntryQuantity(i);
            const double stored = ModelEntryValue(*fm, i);
            const QString shown = Units::FormatEntry(q, System::Metric, stored);
            const double typedBack = Units::EnglishFromTyped(q, System::Metric, shown);
            EXPECT_EQ(Units::FormatEntry(q, System::Metric, typedBack), shown)
                << fm->FuelModelID().toStdString() << " " << i;
            // And the English text is the stored value itself.
            EXPECT_EQ(ParseLeadingNumber(Units::FormatEntry(q, System::English, stored)), stored);
        }
    }
}

// The untouched metric boxes write back exactly what the model held (so the file keeps its
// bytes); a typed metric value stores the shortest English value that shows as typed.
TEST(MetricEntries, WriteBackChangesOnlyWhatWasTyped)
{
    FuelModel fm;
    fm.setLoading1Hour(0.0913);
    fm.setLoading10Hour(3.794076);
    fm.setSurfaceToVolume1Hour(1999.7);
    fm.setHeatContentDead(8000);
    fm.setBulkDensityDepth(0.6);
    fm.setMoistureOfExtinction(25);
    TestEntries e = entriesFor(fm, System::Metric);
    EXPECT_EQ(e.box[2], QStringLiteral("0.2"));
    EXPECT_EQ(e.box[13], QStringLiteral("0.18"));
    FuelModel saved = fm;
    ApplyEntries(saved, e, 0, 0);
    for (int i = 2; i <= kLastModelEntry; ++i)
        EXPECT_EQ(ModelEntryValue(saved, i), ModelEntryValue(fm, i)) << i;

    e.box[2] = QStringLiteral("0.22"); // 0.1 t/ac shows as 0.22 t/ha
    e.box[13] = QStringLiteral("0.3"); // 1 ft shows as 0.30 m
    ApplyEntries(saved, e, 0, 0);
    EXPECT_EQ(saved.Loading1Hour(), 0.1);
    EXPECT_EQ(saved.BulkDensityDepth(), 1);
    EXPECT_EQ(saved.Loading10Hour(), 3.794076);
}

// At the hint's metric limits the box is still in range; one display step beyond, the English
// value is out of range, as the English check decides.
TEST(MetricEntries, RangeEdgesAreTheEnglishEdges)
{
    EXPECT_EQ(EntryHint(2, System::Metric), QStringLiteral("(0 - 68.35) "));
    EXPECT_EQ(EntryHint(7, System::Metric), QStringLiteral("(0 or 358 - 13123) "));
    EXPECT_EQ(EntryHint(8, System::Metric), QStringLiteral("(0 or 358 - 13123) "));
    EXPECT_EQ(EntryHint(10, System::Metric), QStringLiteral("(13956 - 27912) "));
    EXPECT_EQ(EntryHint(13, System::Metric), QStringLiteral("(0.02 - 1.83) "));
    EXPECT_EQ(EntryHint(25, System::Metric), QStringLiteral("(0-159.3 km/h)"));
    EXPECT_EQ(EntryHint(20, System::Metric), EntryHint(20));
    EXPECT_EQ(EntryHint(2, System::English), QStringLiteral("(0 - 30.49) "));

    struct Edge
    {
        int index;
        const char *lastIn;
        const char *firstOut;
    } edges[] = {
        {2, "68.35", "68.36"},  {7, "358", "357"},    {7, "13123", "13124"}, {10, "13956", "13955"},
        {12, "27912", "27913"}, {13, "0.02", "0.01"}, {13, "1.83", "1.84"},  {25, "159.3", "159.4"},
        {14, "5", "4.9"},       {20, "60", "60.1"},
    };
    for (const Edge &edge : edges) {
        const Quantity q = EntryQuantity(edge.index);
        EXPECT_TRUE(
            EntryValueInRange(edge.index, Units::EnglishFromTyped(q, System::Metric, QString::fromLatin1(edge.lastIn))))
            << edge.index << " " << edge.lastIn;
        EXPECT_FALSE(EntryValueInRange(edge.index,
                                       Units::EnglishFromTyped(q, System::Metric, QString::fromLatin1(edge.firstOut))))
            << edge.index << " " << edge.firstOut;
    }
    // An SA/V of 0 is allowed in both systems.
    EXPECT_TRUE(EntryValueInRange(8, Units::EnglishFromTyped(Quantity::SurfaceToVolume, System::Metric, u"0")));
}

TEST(MetricEntries, CaptionsNameTheMetricUnits)
{
    EXPECT_EQ(EntryCaption(2, System::Metric), QStringLiteral("1 Hour Loading (t/ha)"));
    EXPECT_EQ(EntryCaption(7, System::Metric), QStringLiteral("1 Hour Surface SA/V (m2/m3)"));
    EXPECT_EQ(EntryCaption(12, System::Metric), QStringLiteral(" Heat Content Live Woody (kJ/kg)"));
    EXPECT_EQ(EntryCaption(13, System::Metric), QStringLiteral(" Fuelbed Bulk Depth (m)"));
    EXPECT_EQ(EntryCaption(25, System::Metric), QStringLiteral("6.1 m Wind Speed (km/h)"));
    EXPECT_EQ(EntryCaption(25, System::English), QStringLiteral("20 Foot Wind Speed (mph)"));
    EXPECT_EQ(ResultCaption(u"fli", System::Metric), QStringLiteral("Fireline Intensity (kW/m)"));
    EXPECT_EQ(ChartTitle(3, System::Metric), QStringLiteral("Size After 1 Hour (ha)"));
    // No English unit is left in any metric caption.
    for (int i = 0; i < kEntrySlots; ++i) {
        for (const char *english : {"t/ac", "ft", "btu", "mph", "Foot"})
            EXPECT_FALSE(EntryCaption(i, System::Metric).contains(QLatin1String(english))) << i;
    }
}

// 10 mi/h x 0.4 = 4.0 mi/h; 4 mi/h = 6.437 km/h.
TEST(MetricEntries, MidflameWindIsTheEnglishOneConverted)
{
    const MidFlameWind metric = MidFlameWindOf(WindReduceItem(4), 10, System::Metric);
    EXPECT_EQ(metric.english, 4);
    EXPECT_EQ(metric.text, QStringLiteral("6.4"));
    const MidFlameWind english = MidFlameWindOf(WindReduceItem(7), 9.94, System::English);
    EXPECT_EQ(english.text, QStringLiteral("7.0")); // 6.958 rounds to 7.0
    EXPECT_EQ(english.english, 7);
}

TEST(MetricEntries, ChartsAndExportInMetric)
{
    FireSpread fs;
    fs.setRateOfSpread(10);
    fs.setFireLineIntensity(100);
    fs.setFlameLength(4);
    fs.setSingleEllipseArea(2.5);
    fs.setLoading1Hour(0.1);
    fs.setBulkDensityDepth(1);
    EXPECT_DOUBLE_EQ(ChartValue(fs, 0, System::Metric), 3.3528);
    EXPECT_DOUBLE_EQ(ChartValue(fs, 2, System::Metric), 1.2192);
    EXPECT_DOUBLE_EQ(ChartValue(fs, 3, System::English), 2.5);

    const auto writes = RefreshEntriesWrites(fs, {}, System::Metric);
    bool sawLoading = false;
    for (const EntryWrite &w : writes) {
        if (w.control == QLatin1String("txtFuels_2")) {
            sawLoading = true;
            EXPECT_EQ(w.text, QStringLiteral("0.22"));
            ASSERT_TRUE(w.english.has_value());
            EXPECT_EQ(*w.english, 0.1);
        }
        if (w.control == QLatin1String("txtROS")) {
            EXPECT_EQ(w.text, QStringLiteral("3.35"));
        }
    }
    EXPECT_TRUE(sawLoading);

    ChartState state;
    state.CurrentPlotHistory.push_back(std::make_shared<FireSpread>(fs));
    state.ReferencePlotHistory.push_back(std::make_shared<FireSpread>(fs));
    // Axis maxima of the whole history in metric: 3.3528 grows to 3.69, cut to 3, made even: 4.
    EXPECT_EQ(ChartMaxOverHistory(state, 0, System::Metric), 4);
    PlotExportContext metric;
    metric.system = System::Metric;
    const QString csv = PlotHistoryCsv(state, metric);
    const QStringList lines = csv.split(QStringLiteral("\r\n"));
    const QStringList header = lines[0].split(u',');
    const QStringList row = lines[1].split(u',');
    // Entries and results at the precision the editor shows them in metric.
    const qsizetype ros = header.indexOf(QStringLiteral("Rate of spread (m/min)"));
    ASSERT_GE(ros, 0) << lines[0].toStdString();
    EXPECT_EQ(row[ros], QStringLiteral("3.35")); // 10 ch/h x 0.33528
    const qsizetype load = header.indexOf(QStringLiteral("1-h loading (t/ha)"));
    ASSERT_GE(load, 0);
    EXPECT_EQ(row[load], QStringLiteral("0.22"));                     // 0.1 t/ac x 2.2417
    EXPECT_GE(header.indexOf(QStringLiteral("1-h moisture (%)")), 0); // moistures in percent either way
    const QString english = PlotHistoryCsv(state, PlotExportContext{});
    EXPECT_TRUE(english.contains(QLatin1String("Rate of spread (ch/h)")));
    EXPECT_FALSE(english.contains(QLatin1String("m/min")) || english.contains(QLatin1String("t/ha")));
}
