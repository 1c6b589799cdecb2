#include "testcenter/PlotExport.h"

#include "testcenter/TestComputation.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>

namespace {

// A plot as the editor makes it: moistures as fractions, the 20-ft wind and the list position
// of the factor kept beside the midflame wind.
std::shared_ptr<FireSpread> plotOf(double ros, double loading, double herbType = 1)
{
    auto fs = std::make_shared<FireSpread>();
    fs->setRateOfSpread(ros);
    fs->setLoading1Hour(loading);
    fs->setMoistureOfExtinction(0.25);
    fs->setFuelMoisture1Hour(0.06);
    fs->setFuelMoistureHerb(0.75);
    fs->setWindSpeedNA(10);
    fs->setWindSpeedAdjust(4);
    fs->setWindSpeed(4);
    fs->setHerbType(herbType);
    fs->setMaxWindSpeedMet(-1);
    return fs;
}

ChartState threePlots(bool withReference = true)
{
    ChartState state;
    const double ros[] = {7.3, 1.5, 12};
    const double loads[] = {3.79, 0.5, 1.25};
    for (int i = 0; i < 3; ++i) {
        state.CurrentPlotHistory.push_back(plotOf(ros[i], loads[i], i == 2 ? 2 : 1));
        if (withReference) {
            auto ref = plotOf(20 + i, 0.74);
            ref->setMaxWindSpeedMet(0);
            state.ReferencePlotHistory.push_back(ref);
        }
    }
    return state;
}

const PlotExportContext kContext{QStringLiteral("Custom Fuel Models"), QStringLiteral("MY1"),
                                 QStringLiteral("Orla Master"), QStringLiteral("FM1"), Units::System::English};

qsizetype column(const CsvTable &t, const char *title)
{
    const qsizetype c = t.header.indexOf(QString::fromUtf8(title));
    EXPECT_GE(c, 0) << title;
    return c;
}

} // namespace

TEST(PlotExport, EachPlotWithSetsIdsAndTitlesWithUnitsTheReferenceBesideEachValue)
{
    const CsvTable t = PlotHistoryTable(threePlots(), kContext);
    ASSERT_EQ(t.rows.size(), 3);
    for (const QStringList &row : t.rows)
        ASSERT_EQ(row.size(), t.header.size());
    EXPECT_EQ(t.header.mid(0, 5), (QStringList{"Plot", "Set", "Fuel model", "Reference set", "Reference model"}));

    const qsizetype ros = column(t, "Rate of spread (ch/h)");
    EXPECT_EQ(t.header[ros + 1], "Reference rate of spread (ch/h)");
    const qsizetype load = column(t, "1-h loading (t/ac)");
    EXPECT_EQ(t.header[load + 1], "Reference 1-h loading (t/ac)");
    const qsizetype mx = column(t, "Moisture of extinction (%)");
    EXPECT_EQ(t.header[mx + 1], "Reference moisture of extinction (%)");
    column(t, "Fireline intensity (btu/ft/s)");
    column(t, "Flame length (ft)");
    column(t, "Size after 1 hour (ac)");
    column(t, "Fuel bed depth (ft)");
    column(t, "Live herb SA/V (ft2/ft3)");
    column(t, "Heat content dead (btu/lb)");
    // The environment is the same for both models: no reference column beside it.
    const qsizetype m1 = column(t, "1-h moisture (%)");
    EXPECT_EQ(t.header[m1 + 1], "10-h moisture (%)");
    const qsizetype herb = column(t, "Herb moisture (%)");
    const qsizetype wind = column(t, "20-ft wind speed (mi/h)");
    const qsizetype factor = column(t, "Wind adjustment factor");
    const qsizetype midflame = column(t, "Midflame wind speed (mi/h)");
    const qsizetype herbType = column(t, "Herb type");
    const qsizetype limit = column(t, "Wind limit reached");

    const char *rosText[] = {"7.3", "1.5", "12.0"};
    const char *refRos[] = {"20.0", "21.0", "22.0"};
    const char *loadText[] = {"3.79", "0.5", "1.25"};
    for (int i = 0; i < 3; ++i) {
        const QStringList &row = t.rows[i];
        EXPECT_EQ(row.mid(0, 5),
                  (QStringList{QString::number(i + 1), "Custom Fuel Models", "MY1", "Orla Master", "FM1"}));
        EXPECT_EQ(row[ros], rosText[i]);
        EXPECT_EQ(row[ros + 1], refRos[i]);
        EXPECT_EQ(row[load], loadText[i]);
        EXPECT_EQ(row[load + 1], "0.74");
        EXPECT_EQ(row[mx], "25"); // percent, not the calculator's 0.25
        EXPECT_EQ(row[m1], "6");
        EXPECT_EQ(row[herb], "75");
        EXPECT_EQ(row[wind], "10");
        EXPECT_EQ(row[factor], "0.4"); // 4 mi/h midflame of 10 mi/h
        EXPECT_EQ(row[midflame], "4.0");
        EXPECT_EQ(row[limit], "Yes");
        EXPECT_EQ(row[limit + 1], "No");
        EXPECT_EQ(row[herbType], i == 2 ? "Dynamic" : "Static");
    }
}

TEST(PlotExport, MetricShowsEveryValueInMetricUnits)
{
    PlotExportContext metric = kContext;
    metric.system = Units::System::Metric;
    const CsvTable t = PlotHistoryTable(threePlots(), metric);
    // 7.3 ch/h x 20.1168 m / 60 min = 2.447544 m/min; 3.79 t/ac x 2.2417023 = 8.49605 t/ha;
    // 10 mi/h x 1.609344 = 16.09 km/h.
    const qsizetype ros = column(t, "Rate of spread (m/min)");
    EXPECT_NEAR(t.rows[0][ros].toDouble(), 2.447544, 0.01);
    EXPECT_NEAR(t.rows[0][ros + 1].toDouble(), 20 * 0.33528, 0.01);
    const qsizetype load = column(t, "1-h loading (t/ha)");
    EXPECT_NEAR(t.rows[0][load].toDouble(), 8.49605, 0.005);
    EXPECT_NEAR(t.rows[0][column(t, "20-ft wind speed (km/h)")].toDouble(), 16.09344, 0.05);
    EXPECT_EQ(t.rows[0][column(t, "1-h moisture (%)")], "6");
    EXPECT_EQ(t.header.indexOf("Rate of spread (ch/h)"), -1);
}

TEST(PlotExport, NoReferenceEntryLeavesItsCellsEmptyAndTheFileIsWrittenWholeOrNotAtAll)
{
    const ChartState state = threePlots(false);
    const CsvTable t = PlotHistoryTable(state, kContext);
    const qsizetype ros = column(t, "Rate of spread (ch/h)");
    EXPECT_EQ(t.rows[1][ros], "1.5");
    EXPECT_TRUE(t.rows[1][ros + 1].isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plots.csv"));
    QString error;
    ASSERT_TRUE(WritePlotHistoryCsv(state, kContext, path, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text, PlotHistoryCsv(state, kContext));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Plot,Set,Fuel model,")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 4); // header and three plots

    EXPECT_FALSE(WritePlotHistoryCsv(state, kContext, dir.filePath(QStringLiteral("missing/plots.csv")), &error));
    EXPECT_FALSE(error.isEmpty());
}

// Round once, in the unit shown, and export what the user entered: the factor typed as .7
// (not 9.7 / 13.9 = 0.6978 worked back from the rounded midflame wind), the metric midflame
// wind from the unrounded 13.9 x .7 = 9.73 mi/h = 15.659 km/h (15.7, not 9.7 mi/h = 15.6), and
// the metric rate of spread from the unrounded rate.
TEST(PlotExport, ExportsTheEnteredFactorAndMetricValuesRoundedOnce)
{
    auto fs = std::make_shared<FireSpread>();
    fs->setLoading1Hour(0.74);
    fs->setSurfaceToVolume1Hour(3500);
    fs->setSurfaceToVolumeLiveHerb(1500);
    fs->setSurfaceToVolumeLiveWoody(1500);
    fs->setHeatContentDead(8000);
    fs->setHeatContentLiveHerb(8000);
    fs->setHeatContentLiveWoody(8000);
    fs->setBulkDensityDepth(1);
    fs->setMoistureOfExtinction(0.12);
    fs->setFuelMoisture1Hour(0.06);
    fs->setFuelMoisture10Hour(0.07);
    fs->setFuelMoisture100Hour(0.08);
    fs->setFuelMoistureHerb(0.75);
    fs->setFuelMoistureWoody(0.9);
    fs->setWindSpeedNA(13.9);
    fs->setWindSpeedAdjust(-1); // typed: no list position
    fs->setWindSpeed(9.7);
    fs->setHerbType(1);
    ASSERT_TRUE(ComputeQuietly(*fs));
    ChartState state;
    state.CurrentPlotHistory.push_back(fs);
    state.ReferencePlotHistory.push_back(nullptr);
    state.WindReduceTexts.push_back(QStringLiteral(" .7"));

    const CsvTable english = PlotHistoryTable(state, kContext);
    EXPECT_EQ(english.rows[0][column(english, "Wind adjustment factor")], "0.7");
    EXPECT_EQ(english.rows[0][column(english, "Midflame wind speed (mi/h)")], "9.7");
    EXPECT_EQ(english.rows[0][column(english, "Rate of spread (ch/h)")].toDouble(), fs->RateOfSpread());

    PlotExportContext metricContext = kContext;
    metricContext.system = Units::System::Metric;
    const CsvTable metric = PlotHistoryTable(state, metricContext);
    EXPECT_EQ(metric.rows[0][column(metric, "Wind adjustment factor")], "0.7");
    EXPECT_EQ(metric.rows[0][column(metric, "Midflame wind speed (km/h)")], "15.7");
    // 1 ch/h = 20.1168 m / 60 min = 0.33528 m/min, applied to the unrounded rate.
    const double shown = metric.rows[0][column(metric, "Rate of spread (m/min)")].toDouble();
    EXPECT_NEAR(shown, fs->UnroundedRateOfSpread() * 0.33528, 0.005 + 1e-9);
    EXPECT_DOUBLE_EQ(shown, std::round(fs->UnroundedRateOfSpread() * 0.33528 * 100) / 100);
}
