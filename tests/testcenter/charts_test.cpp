#include "testcenter/ChartController.h"
#include "testcenter/ChartData.h"
#include "testcenter/PlotExport.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <map>

namespace {

std::shared_ptr<FireSpread> spread(double ros, double fli = 0, double fl = 0, double size = 0)
{
    auto fs = std::make_shared<FireSpread>();
    fs->setRateOfSpread(ros);
    fs->setFireLineIntensity(fli);
    fs->setFlameLength(fl);
    fs->setSingleEllipseArea(size);
    return fs;
}

// The editor and chart widgets as the chart logic sees them, with scroll bars that report a
// changed value back like QScrollBar does.
class FakeHost : public IChartHost
{
public:
    ChartController *controller = nullptr;
    bool entriesOk = true, envOk = true, plotRef = false;
    int entryChecks = 0, envChecks = 0, computes = 0, tab = 0;
    std::shared_ptr<FireSpread> current, reference;
    // What the next Compute produces.
    std::shared_ptr<FireSpread> nextCurrent = spread(1), nextReference = spread(2);
    QString refFLI = QStringLiteral("0.0"), refFL = QStringLiteral("0.0");
    std::map<int, std::vector<ChartRow>> rows;
    std::map<int, double> axis;
    std::map<int, int> draws, clears;
    int scrollMin[4] = {1, 1, 1, 1}, scrollMax[4] = {1, 1, 1, 1}, scrollValue[4] = {1, 1, 1, 1};
    std::vector<EntryWrite> written;
    bool legends = false;

    bool EntriesOK() override
    {
        ++entryChecks;
        return entriesOk;
    }
    bool EnvEntriesOK() override
    {
        ++envChecks;
        return envOk;
    }
    void Compute() override
    {
        ++computes;
        current = std::make_shared<FireSpread>(*nextCurrent);
        reference = std::make_shared<FireSpread>(*nextReference);
    }
    std::shared_ptr<FireSpread> CurrentFireSpread() const override { return current; }
    std::shared_ptr<FireSpread> ReferenceFireSpread() const override { return reference; }
    QString RefFLIText() const override { return refFLI; }
    QString RefFLText() const override { return refFL; }
    void WriteEntries(const std::vector<EntryWrite> &w) override { written = w; }
    int CurrentTab() const override { return tab; }
    void SetCurrentTab(int t) override { tab = t; }
    bool PlotReferenceChecked() const override { return plotRef; }
    void ShowChart(int k, const std::vector<ChartRow> &r, double max) override
    {
        rows[k] = r;
        axis[k] = max;
        ++draws[k];
    }
    void ClearChart(int k) override
    {
        rows[k].clear();
        axis[k] = 10;
        ++clears[k];
    }
    void SetScrollRange(int k, int lo, int hi) override
    {
        scrollMin[k] = lo;
        scrollMax[k] = hi;
        SetScrollValue(k, scrollValue[k]);
    }
    void SetScrollValue(int k, int v) override
    {
        v = std::clamp(v, scrollMin[k], scrollMax[k]);
        if (v == scrollValue[k])
            return;
        scrollValue[k] = v;
        controller->hscChart_Change(k, v);
    }
    void ShowReferenceLegends(bool shown) override { legends = shown; }
    void HistoryChanged(int) override { }

    QStringList labels(int k) const
    {
        QStringList l;
        for (const ChartRow &r : rows.at(k))
            l << r.label;
        return l;
    }
    void resetDraws() { draws.clear(); }
};

class Charts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetChartState();
        host.controller = &controller;
        controller.EditorLoaded();
    }
    void plotTimes(int n)
    {
        for (int i = 1; i <= n; ++i) {
            host.nextCurrent = spread(i, 10 * i, 0.5 * i, 0.1 * i);
            host.nextCurrent->setLoading1Hour(i);
            controller.cmdPlot_Click();
        }
    }

    FakeHost host;
    ChartState &state = gChartState;
    ChartController controller{state, host};
};

QStringList range(int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << QString::number(i);
    return l;
}

} // namespace

TEST(ChartRules, AxisMaximumGrowsByATenthRoundedUpToAnEvenWholeNumberAndNeverShrinks)
{
    EXPECT_EQ(GrowChartMax(0, 7.3, 5), 10);  // 8.03 -> 9 -> 10
    EXPECT_EQ(GrowChartMax(0, 9.9, 1), 12);  // 10.89 -> 11 -> 12
    EXPECT_EQ(GrowChartMax(0, 0.5, 0.1), 1); // 0.55 -> 1: small values get an axis up to 1
    EXPECT_EQ(GrowChartMax(0, 7.3, 20), 22); // 22 exactly
    EXPECT_EQ(GrowChartMax(22, 3, 4), 22);
    EXPECT_EQ(GrowChartMax(8, 8.5, std::nullopt), 10); // 9.35 -> 10
    EXPECT_EQ(GrowChartMax(0, std::nullopt, std::nullopt), 0);
    // Values just above an even number: the old cut put the axis below them.
    EXPECT_EQ(GrowChartMax(0, 2.3, std::nullopt), 4);  // 2.53 -> 3 -> 4 (was 2)
    EXPECT_EQ(GrowChartMax(0, 4.3, std::nullopt), 6);  // 4.73 -> 5 -> 6 (was 4)
    EXPECT_EQ(GrowChartMax(0, 0.4, 6.1), 8);           // a reference of 6.1: 6.71 -> 7 -> 8 (was 6)
    EXPECT_EQ(GrowChartMax(0, 0.95, std::nullopt), 2); // 1.045 -> 2 (was 0, drawn up to 1)
    EXPECT_EQ(GrowChartMax(0, 0.9, std::nullopt), 1);  // 0.99 -> 1

    EXPECT_EQ(DisplayedAxisMax(0), 1);
    EXPECT_EQ(DisplayedAxisMax(22), 22);
    // Labels fall on whole numbers where the maximum allows it.
    EXPECT_EQ(AxisTicksFor(10).count, 6);
    EXPECT_EQ(AxisTicksFor(8).count, 5);
    EXPECT_EQ(AxisTicksFor(22).count, 3);
}

TEST(ChartRules, BarsAndScrollBarsMapToHistoryPositions)
{
    EXPECT_EQ(HistoryEntryForBar(3, 3, 12), 6);
    EXPECT_EQ(HistoryEntryForBar(1, 0, 1), 1);
    EXPECT_EQ(HistoryEntryForBar(1, 1, 1), std::nullopt); // an empty row
    EXPECT_EQ(HistoryEntryForBar(1, 0, 0), std::nullopt);

    EXPECT_FALSE(ScrollAfterPlot(10));
    const auto s = ScrollAfterPlot(12);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->minimum, 1);
    EXPECT_EQ(s->maximum, 3);
    EXPECT_EQ(s->value, 3);
}

TEST_F(Charts, FirstPlotShowsOneBarInTenRowsAndSetsTheAxes)
{
    host.tab = 4;
    host.nextCurrent = spread(7.3, 99, 9.9, 0.5);
    host.nextReference = spread(5, 0, 0, 0.1);
    host.refFLI = QStringLiteral("20.0");
    host.refFL = QStringLiteral("3.0");
    controller.cmdPlot_Click();

    EXPECT_EQ(host.tab, 0);
    ASSERT_EQ(state.Count(), 1);
    for (int k = 0; k < ChartCount; ++k) {
        EXPECT_EQ(host.labels(k), range(1, 10));
        EXPECT_TRUE(host.rows[k][0].value);
        for (int m = 1; m < 10; ++m)
            EXPECT_FALSE(host.rows[k][std::size_t(m)].value) << k << " " << m;
        for (const ChartRow &r : host.rows[k])
            EXPECT_FALSE(r.reference); // the reference line is off
    }
    EXPECT_EQ(host.rows[0][0].value, 7.3);
    // The largest value plus 10 %, rounded up, then made even: 7.3 -> 8.03 -> 9 -> 10.
    EXPECT_EQ(state.ChartMax[0], 10);
    EXPECT_EQ(state.ChartMax[1], 110); // 99 -> 108.9 -> 109 -> 110; the reference box reads 20
    EXPECT_EQ(state.ChartMax[2], 12);  // 9.9 -> 10.89 -> 11 -> 12
    EXPECT_EQ(state.ChartMax[3], 1);   // 0.5 -> 0.55 -> 1: an axis up to 1 stays 1
    EXPECT_EQ(host.axis[3], 1);        // drawn up to 1 all the same
    // Ten entries or fewer leave the scroll bars alone.
    EXPECT_EQ(host.scrollMax[0], 1);
}

TEST_F(Charts, ReferenceValuesComeFromTheBoxesForIntensityAndFlameLength)
{
    host.nextCurrent = spread(1, 1, 1, 1);
    host.nextReference = spread(20, 5000, 50, 0);
    host.refFLI = QStringLiteral("1234.5");
    host.refFL = QStringLiteral("abc"); // reads as 0
    controller.cmdPlot_Click();
    EXPECT_EQ(state.ChartMax[0], 22);
    EXPECT_EQ(state.ChartMax[1], 1358);
    EXPECT_EQ(state.ChartMax[2], 2);
}

TEST_F(Charts, TwelfthPlotPagesAndOneScrollBarMovesAllFourChartsOnce)
{
    plotTimes(12);
    for (int k = 0; k < ChartCount; ++k) {
        EXPECT_EQ(host.labels(k), range(3, 12));
        EXPECT_EQ(host.scrollMin[k], 1);
        EXPECT_EQ(host.scrollMax[k], 3);
        EXPECT_EQ(host.scrollValue[k], 3);
    }
    EXPECT_EQ(host.rows[0][9].value, 12);
    EXPECT_EQ(state.ChartFirstPoint, 3);

    host.resetDraws();
    host.SetScrollValue(2, 1);
    for (int k = 0; k < ChartCount; ++k) {
        EXPECT_EQ(host.labels(k), range(1, 10));
        EXPECT_EQ(host.scrollValue[k], 1);
        EXPECT_EQ(host.draws[k], 1) << "chart " << k << " redrawn more than once";
    }
    EXPECT_EQ(state.ChartFirstPoint, 1);
    EXPECT_EQ(host.rows[1][0].value, 10);
}

TEST_F(Charts, ClickedBarRestoresItsOwnEntryAndEmptyRowsAreIgnored)
{
    plotTimes(12);                  // rows 3 to 12 shown
    controller.EditedBarClicked(3); // row 4 on screen
    ASSERT_FALSE(host.written.empty());
    EXPECT_EQ(host.written[0].control, "txtFuels_2");
    EXPECT_EQ(host.written[0].text, "6");

    ResetChartState();
    host.written.clear();
    plotTimes(2);
    controller.EditedBarClicked(5);
    EXPECT_TRUE(host.written.empty());
}

TEST_F(Charts, ReferenceLineFollowsTheCheckBoxAndMissingValuesStayEmpty)
{
    host.nextReference = spread(0, 0, 0, 0);
    plotTimes(3);
    EXPECT_FALSE(host.rows[0][0].reference);

    host.plotRef = true;
    controller.chkPlotRefFM_Click(true);
    EXPECT_TRUE(host.legends);
    EXPECT_EQ(host.rows[0][0].reference, 0.0); // a real 0 is drawn as 0
    EXPECT_EQ(host.rows[0][2].reference, 0.0);
    EXPECT_FALSE(host.rows[0][3].reference); // beyond the history: nothing, not 0

    host.plotRef = false;
    controller.chkPlotRefFM_Click(false);
    EXPECT_FALSE(host.legends);
    EXPECT_FALSE(host.rows[0][0].reference);
}

TEST_F(Charts, ReferenceSwitchBeforeAnyPlotOnlyTogglesTheLegends)
{
    host.plotRef = true;
    controller.chkPlotRefFM_Click(true);
    EXPECT_TRUE(host.legends);
    EXPECT_TRUE(host.draws.empty());
}

TEST_F(Charts, FailedEntryChecksStopPlotAfterBothHaveRun)
{
    host.entriesOk = false;
    host.tab = 4;
    controller.cmdPlot_Click();
    EXPECT_EQ(host.entryChecks, 1);
    EXPECT_EQ(host.envChecks, 1);
    EXPECT_EQ(host.computes, 0);
    EXPECT_EQ(state.Count(), 0);
    EXPECT_EQ(host.tab, 4);
}

TEST_F(Charts, TunerPlotChecksTheEntriesAndKeepsTheTab)
{
    host.envOk = false;
    host.tab = 4;
    controller.PlotFromTuner();
    EXPECT_EQ(host.entryChecks, 1);
    EXPECT_EQ(host.envChecks, 1);
    EXPECT_EQ(host.computes, 0);
    EXPECT_EQ(state.Count(), 0);
    host.envOk = true;
    controller.PlotFromTuner();
    EXPECT_EQ(state.Count(), 1);
    EXPECT_EQ(host.tab, 4);
    EXPECT_EQ(host.labels(0), range(1, 10));
}

TEST_F(Charts, HistoryEntriesKeepTheirValuesAfterLaterComputations)
{
    plotTimes(2);
    host.current->setRateOfSpread(99); // the editor's object moves on
    EXPECT_EQ(state.Current(2)->RateOfSpread(), 2);
}

TEST_F(Charts, ClearGraphsEmptiesHistoryAndMaximaAndStartsAgainAtOne)
{
    plotTimes(12);
    host.resetDraws();
    host.clears.clear();
    controller.cmdClearGraph_Click();
    EXPECT_EQ(state.Count(), 0);
    EXPECT_TRUE(state.ReferencePlotHistory.empty());
    EXPECT_EQ(state.ChartMax[0], 0);
    for (int k = 0; k < ChartCount; ++k) {
        EXPECT_EQ(host.scrollValue[k], 1);
        EXPECT_EQ(host.clears[k], 1);
        EXPECT_EQ(host.scrollMax[k], 1); // no page left to scroll to
    }
    EXPECT_TRUE(host.draws.empty()); // emptied, not re-plotted first

    // Maxima left with an empty history (from an earlier editor session) go as well.
    state.ChartMax = {8, 108, 10, 262};
    controller.cmdClearGraph_Click();
    EXPECT_EQ(state.ChartMax, (std::array<double, 4>{0, 0, 0, 0}));
    state.ChartMax[3] = 262;
    controller.EditorLoaded();
    EXPECT_EQ(state.ChartMax[3], 0);

    plotTimes(1);
    EXPECT_EQ(host.labels(0), range(1, 10));
    EXPECT_EQ(host.rows[0][0].value, 1);
}

TEST(ChartRules, RestoredEntriesAreWrittenInOrderInTheBoxesUnits)
{
    FireSpread fs;
    fs.setLoading1Hour(3.79);
    fs.setBulkDensityDepth(0.6);
    fs.setMoistureOfExtinction(0.12);
    fs.setFuelMoisture1Hour(0.06);
    fs.setFuelMoistureWoody(0.9);
    fs.setWindSpeed(7);
    fs.setWindSpeedNA(10);
    fs.setWindSpeedAdjust(7);
    fs.setHerbType(2);
    fs.setSlope(30);
    fs.setRateOfSpread(12.34);
    fs.setFireLineIntensity(156.04);
    fs.setSurfToVol(1739.6);
    fs.setPackRatio(0.75849);
    const std::vector<EntryWrite> w = RefreshEntriesWrites(fs);
    QStringList order;
    std::map<QString, EntryWrite> by;
    for (const EntryWrite &e : w) {
        order << e.control;
        by[e.control] = e;
    }
    QStringList expected;
    for (int i = 2; i <= 14; ++i)
        expected << QStringLiteral("txtFuels_%1").arg(i);
    for (int i = 20; i <= 24; ++i)
        expected << QStringLiteral("txtFuels_%1").arg(i);
    expected << "txtMidFlameWind"
             << "cboHerbType"
             << "cboSlope"
             << "cboWindReduce"
             << "txtFuels_25"
             << "txtROS"
             << "txtFLI"
             << "txtHeat"
             << "txtFL"
             << "txtCharSurfVolRatio"
             << "txtPackRatio";
    EXPECT_EQ(order, expected);
    EXPECT_EQ(by["txtFuels_2"].text, "3.79");
    EXPECT_EQ(by["txtFuels_13"].text, "0.6");
    EXPECT_EQ(by["txtFuels_14"].text, "12");
    EXPECT_EQ(by["txtFuels_20"].text, "6");
    EXPECT_EQ(by["txtFuels_24"].text, "90");
    EXPECT_EQ(by["txtMidFlameWind"].text, "7.0"); // as the editor shows it
    EXPECT_EQ(by["cboHerbType"].index, 1);
    EXPECT_EQ(by["cboWindReduce"].index, 7);
    EXPECT_EQ(by["cboSlope"].text, "30");
    EXPECT_EQ(by["txtFuels_25"].text, "10");
    EXPECT_EQ(by["txtROS"].text, "12.3");
    EXPECT_EQ(by["txtFLI"].text, "156.0");
    EXPECT_EQ(by["txtHeat"].text, "0.0");
    // The fuel bed descriptors of the plot, not a "0" beside a valid fuel bed.
    EXPECT_EQ(by["txtCharSurfVolRatio"].text, "1740");
    EXPECT_EQ(by["txtPackRatio"].text, "0.758");

    // A factor kept with the plot is restored as its text (a typed ".45" is no list position).
    fs.setWindSpeedAdjust(-1);
    const std::vector<EntryWrite> typed = RefreshEntriesWrites(fs, QStringLiteral(".45"));
    const auto factor =
        std::find_if(typed.begin(), typed.end(), [](const EntryWrite &e) { return e.control == "cboWindReduce"; });
    ASSERT_NE(factor, typed.end());
    EXPECT_EQ(factor->kind, EntryWrite::Kind::Text);
    EXPECT_EQ(factor->text, ".45");
}
