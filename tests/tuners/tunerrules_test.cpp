#include "tuners/TunerRules.h"

#include "data/FuelModel.h"

#include <gtest/gtest.h>

TEST(TunerRules, RangeTableGivesScaleEndsLabelsAndStep)
{
    struct Row
    {
        int index, min, max, step;
        const char *minLabel, *maxLabel;
        bool whole;
    };
    const Row rows[] = {
        {2, 0, 3049, 304, "0", "30.49", false},
        {6, 0, 3049, 304, "0", "30.49", false},
        {7, 109, 4000, 400, "109", "4000", true},
        {9, 109, 4000, 400, "109", "4000", true},
        {10, 6000, 12000, 1200, "6000", "12000", true},
        {12, 6000, 12000, 1200, "6000", "12000", true},
        {13, 5, 600, 60, ".05", "6", false},
        {14, 500, 10000, 1000, "5", "100", false},
        {20, 100, 6000, 600, "1", "60", false},
        {22, 100, 6000, 600, "1", "60", false},
        {23, 3000, 30000, 3000, "30", "300", false},
        {24, 3000, 30000, 3000, "30", "300", false},
        {25, 0, 9900, 990, "0", "99", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.index);
        const auto range = TunerRangeOf(r.index);
        ASSERT_TRUE(range);
        EXPECT_EQ(range->min, r.min);
        EXPECT_EQ(range->max, r.max);
        EXPECT_EQ(range->step(), r.step);
        EXPECT_EQ(range->minLabel, r.minLabel);
        EXPECT_EQ(range->maxLabel, r.maxLabel);
        EXPECT_EQ(range->whole, r.whole);
    }
    for (int none : {-1, 0, 1, 15, 19, 26, 30, 31})
        EXPECT_FALSE(TunerRangeOf(none)) << none;
}

TEST(TunerRules, StartValueRoundsHalfToEvenAndStaysInRange)
{
    const TunerRange loading = *TunerRangeOf(2);
    const TunerRange sav = *TunerRangeOf(7);
    EXPECT_EQ(SliderStart(loading, u"3.79"), 379); // 378.99999999999994 before rounding
    EXPECT_EQ(SliderStart(loading, u"0.29"), 29);
    EXPECT_EQ(SliderStart(loading, u"12abc"), 1200);
    EXPECT_EQ(SliderStart(loading, u"0.125"), 12); // an exact half goes to the even neighbour
    EXPECT_EQ(SliderStart(loading, u"0.375"), 38);
    EXPECT_EQ(SliderStart(sav, u"1500"), 1500);
    EXPECT_EQ(SliderStart(sav, u"1500.5"), 1500);
    EXPECT_EQ(SliderStart(sav, u"1501.5"), 1502);
    // Values the slider cannot show start it at the nearest end.
    EXPECT_EQ(SliderStart(sav, u"0"), 109);
    EXPECT_EQ(SliderStart(loading, u"31"), 3049);
    EXPECT_EQ(SliderStart(loading, u"1e300"), 3049);
    EXPECT_EQ(SliderStart(loading, u"abc"), 0);
    EXPECT_EQ(SliderStart(*TunerRangeOf(13), u""), 5);
    EXPECT_EQ(SliderPositionOf(loading, u"31"), 3100);
    EXPECT_EQ(SliderPositionOf(sav, 0.0), 0);
}

TEST(TunerRules, ValueTextsArePlainNumbers)
{
    const TunerRange loading = *TunerRangeOf(2);
    EXPECT_EQ(ValueText(loading, 379), "3.79");
    EXPECT_EQ(ValueText(loading, 3000), "30");
    EXPECT_EQ(ValueText(loading, 0), "0");
    EXPECT_EQ(ValueText(*TunerRangeOf(13), 5), "0.05");
    EXPECT_EQ(ValueText(*TunerRangeOf(7), 1500), "1500");
    EXPECT_EQ(ValueText(*TunerRangeOf(10), 12000), "12000");
}

TEST(TunerRules, SynchronizedTextsKeepTheirDecimalPoint)
{
    EXPECT_EQ(SyncTuner::ScaledText(150, 2), "3.");
    EXPECT_EQ(SyncTuner::ScaledText(150, 0.6), "0.9");
    EXPECT_EQ(SyncTuner::ScaledText(0, 2), "0.");
    EXPECT_EQ(SyncTuner::ScaledText(0, 0.6), "0.");
    EXPECT_EQ(SyncTuner::ScaledText(100, 3.794076), "3.79");
    EXPECT_EQ(SyncTuner::ScaledText(100, 0.6), "0.6");
    EXPECT_EQ(SyncTuner::ScaledText(300, 30.49), "91.47");
    EXPECT_EQ(SyncTuner::ScaledText(33, 1), "0.33");
}

TEST(TunerRules, ButtonsFollowTheOpenTuners)
{
    OpenTuners open;
    for (int i : {0, 2, 7, 13, 25})
        EXPECT_TRUE(open.ButtonFree(i)) << i;

    open.singles.set(7);
    EXPECT_FALSE(open.ButtonFree(7));
    EXPECT_FALSE(open.ButtonFree(0)); // no synchronized tuner beside a single one
    EXPECT_TRUE(open.ButtonFree(2));

    open.singles.reset();
    open.sync = true;
    EXPECT_FALSE(open.ButtonFree(0));
    for (int driven : SyncTuner::kEntries)
        EXPECT_FALSE(open.ButtonFree(driven)) << driven;
    for (int other : {7, 12, 14, 20, 25})
        EXPECT_TRUE(open.ButtonFree(other)) << other;

    open.sync = false;
    EXPECT_FALSE(open.ButtonFree(31));
    EXPECT_FALSE(open.ButtonFree(-1));
}

TEST(TunerRules, StoredValuesComeFromTheModelInBoxUnits)
{
    FuelModel fm;
    fm.setLoading1Hour(3.794076);
    fm.setLoading10Hour(1.5);
    fm.setLoading100Hour(0.5);
    fm.setLoadingLiveHerb(0.25);
    fm.setLoadingLiveWoody(4);
    fm.setSurfaceToVolume1Hour(2000);
    fm.setSurfaceToVolumeLiveHerb(1800);
    fm.setSurfaceToVolumeLiveWoody(1500);
    fm.setHeatContentDead(8000);
    fm.setHeatContentLiveHerb(8100);
    fm.setHeatContentLiveWoody(8200);
    fm.setBulkDensityDepth(0.6);
    fm.setMoistureOfExtinction(25); // held in percent, as the box shows it
    fm.setLoading1000Hour(9);
    const double expected[] = {3.794076, 1.5, 0.5, 0.25, 4, 2000, 1800, 1500, 8000, 8100, 8200, 0.6, 25};
    for (int i = 2; i <= 14; ++i)
        EXPECT_EQ(StoredEntryValue(fm, i), expected[i - 2]) << i;
    for (int other : {0, 1, 15, 20, 25})
        EXPECT_EQ(StoredEntryValue(fm, other), 0) << other;
}

// In metric the sliders span the metric values whose English value is in range, with labels
// in the metric unit: 30.49 t/ac = 68.35 t/ha, 109 and 4000 /ft = 358 and 13123 /m,
// 0.05 and 6 ft = 0.02 and 1.83 m, 99 mi/h = 159.3 km/h (counted in tenths).
TEST(TunerRangesMetric, SpanTheEnglishRangeInMetricUnits)
{
    const auto load = TunerRangeOf(2, Units::System::Metric);
    ASSERT_TRUE(load);
    EXPECT_EQ(load->min, 0);
    EXPECT_EQ(load->max, 6835);
    EXPECT_EQ(load->maxLabel, QStringLiteral("68.35"));
    EXPECT_EQ(ValueText(*load, 224), QStringLiteral("2.24"));
    EXPECT_EQ(SliderPositionOf(*load, QStringView(u"1.12")), 112);

    const auto sav = TunerRangeOf(7, Units::System::Metric);
    ASSERT_TRUE(sav);
    EXPECT_TRUE(sav->whole);
    EXPECT_EQ(sav->min, 358);
    EXPECT_EQ(sav->max, 13123);
    EXPECT_EQ(sav->minLabel, QStringLiteral("358"));

    const auto depth = TunerRangeOf(13, Units::System::Metric);
    ASSERT_TRUE(depth);
    EXPECT_EQ(depth->min, 2);
    EXPECT_EQ(depth->max, 183);
    EXPECT_EQ(depth->minLabel, QStringLiteral("0.02"));
    EXPECT_EQ(depth->maxLabel, QStringLiteral("1.83"));

    const auto wind = TunerRangeOf(25, Units::System::Metric);
    ASSERT_TRUE(wind);
    EXPECT_EQ(wind->max, 1593);
    EXPECT_EQ(wind->maxLabel, QStringLiteral("159.3"));
    EXPECT_EQ(ValueText(*wind, 161), QStringLiteral("16.1"));
    EXPECT_EQ(SliderPositionOf(*wind, QStringView(u"16.1")), 161);

    // Percentages are the same in both systems.
    const auto moisture = TunerRangeOf(20, Units::System::Metric);
    ASSERT_TRUE(moisture);
    EXPECT_EQ(moisture->min, 100);
    EXPECT_EQ(moisture->max, 6000);
    EXPECT_EQ(TunerRangeOf(2, Units::System::English)->max, 3049);
}
