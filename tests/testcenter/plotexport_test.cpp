#include "testcenter/PlotExport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

void plot(ChartState &state, double ros, double refRos, double loading)
{
    auto fs = std::make_shared<FireSpread>();
    fs->setRateOfSpread(ros);
    fs->setLoading1Hour(loading);
    fs->setFuelMoisture1Hour(0.06);
    auto ref = std::make_shared<FireSpread>();
    ref->setRateOfSpread(refRos);
    state.CurrentPlotHistory.push_back(fs);
    state.ReferencePlotHistory.push_back(ref);
}

} // namespace

TEST(PlotExport, EveryEntryInHistoryOrderWithTheReferenceBesideEachProperty)
{
    ChartState state;
    plot(state, 7.3, 20, 3.79);
    plot(state, 1.5, 20, 0.5);
    plot(state, 12, 20.5, 1.25);

    const QStringList lines = PlotHistoryCsv(state).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5); // header, three plots, empty after the last line end
    EXPECT_TRUE(lines[4].isEmpty());

    const QStringList header = lines[0].split(u',');
    const std::size_t properties = FireSpread::PropertyNames().size();
    ASSERT_EQ(std::size_t(header.size()), 1 + 2 * properties);
    EXPECT_EQ(header[0], "Plot");
    // Every property exactly once, each followed by its reference column; inputs before outputs.
    bool seenOutput = false;
    for (qsizetype c = 1; c < header.size(); c += 2) {
        const std::string name = header[c].toStdString();
        EXPECT_EQ(header[c + 1], "Reference " + header[c]);
        EXPECT_EQ(header.count(header[c]), 1);
        if (FireSpread::IsOutputProperty(name))
            seenOutput = true;
        else
            EXPECT_FALSE(seenOutput) << name << " comes after an output";
    }
    const qsizetype ros = header.indexOf("RateOfSpread");
    const qsizetype loading = header.indexOf("Loading1Hour");
    const qsizetype moisture = header.indexOf("FuelMoisture1Hour");
    ASSERT_GT(ros, 0);
    ASSERT_GT(loading, 0);
    ASSERT_GT(moisture, 0);

    const double expectedRos[] = {7.3, 1.5, 12};
    const char *expectedRef[] = {"20", "20", "20.5"};
    const char *expectedLoading[] = {"3.79", "0.5", "1.25"};
    for (int i = 0; i < 3; ++i) {
        const QStringList row = lines[i + 1].split(u',');
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[0], QString::number(i + 1));
        EXPECT_EQ(row[ros].toDouble(), expectedRos[i]);
        EXPECT_EQ(row[ros + 1], expectedRef[i]);
        EXPECT_EQ(row[loading], expectedLoading[i]);
        EXPECT_EQ(row[moisture], "0.06"); // as the calculator holds it
    }
}

TEST(PlotExport, WritesTheWholeFileOrReportsWhyNot)
{
    ChartState state;
    plot(state, 7.3, 20, 3.79);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plots.csv"));
    QString error;
    ASSERT_TRUE(WritePlotHistoryCsv(state, path, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), PlotHistoryCsv(state));

    EXPECT_FALSE(WritePlotHistoryCsv(state, dir.filePath(QStringLiteral("missing/plots.csv")), &error));
    EXPECT_FALSE(error.isEmpty());
}
