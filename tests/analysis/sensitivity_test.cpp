#include "support/AnalysisModels.h"

#include "analysis/Sensitivity.h"
#include "testcenter/EntryRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double ros(FireSpread fs)
{
    fs.Compute();
    return fs.RateOfSpread();
}

double flame(FireSpread fs)
{
    fs.Compute();
    return fs.FlameLength();
}

const SensitivityRow &rowOf(const SensitivityResult &r, const char *name)
{
    for (const SensitivityRow &row : r.rows)
        if (std::string(FuelParameters()[std::size_t(row.parameter)].name) == name)
            return row;
    throw std::runtime_error(name);
}

} // namespace

TEST(Sensitivity, ChangesAreThoseOfSingleComputationsAtTheChangedValue)
{
    const FireSpread base = DynamicGrass();
    const SensitivityResult r = ComputeSensitivity(base, 10);
    ASSERT_EQ(r.rows.size(), 13u);
    const double ros0 = ros(base);
    const double fl0 = flame(base);
    EXPECT_EQ(r.baseRos, ros0);

    // 1-h load 0.3 -> 0.27 and 0.33.
    FireSpread lower = base, higher = base;
    lower.setLoading1Hour(0.27);
    higher.setLoading1Hour(0.33);
    const SensitivityRow &load = rowOf(r, "1-h load");
    EXPECT_DOUBLE_EQ(load.low, 0.27);
    EXPECT_DOUBLE_EQ(load.high, 0.33);
    EXPECT_FALSE(load.lowClamped || load.highClamped);
    EXPECT_DOUBLE_EQ(load.rosChangeLow, (ros(lower) - ros0) / ros0 * 100);
    EXPECT_DOUBLE_EQ(load.rosChangeHigh, (ros(higher) - ros0) / ros0 * 100);
    EXPECT_DOUBLE_EQ(load.flameChangeHigh, (flame(higher) - fl0) / fl0 * 100);

    // The extinction moisture 25 % -> 22.5 % and 27.5 %: a drier limit spreads less.
    const SensitivityRow &mx = rowOf(r, "Extinction moisture");
    EXPECT_DOUBLE_EQ(mx.low, 0.225);
    EXPECT_LT(mx.rosChangeLow, 0);
    EXPECT_GT(mx.rosChangeHigh, 0);

    // 20 % instead of 10 %: twice as far.
    const SensitivityResult r20 = ComputeSensitivity(base, 20);
    EXPECT_DOUBLE_EQ(rowOf(r20, "Fuel bed depth").high, 1.8);
}

TEST(Sensitivity, RowsAreSortedByTheirEffectOnRateOfSpread)
{
    const SensitivityResult r = ComputeSensitivity(DynamicGrass(), 10);
    for (std::size_t i = 1; i < r.rows.size(); ++i)
        EXPECT_GE(r.rows[i - 1].Effect(), r.rows[i].Effect()) << i;
    // Dead fuel only: the live parameters change nothing and come last.
    const SensitivityResult dead = ComputeSensitivity(WorkedExample(), 10);
    EXPECT_EQ(dead.rows.back().Effect(), 0.0);
    EXPECT_EQ(rowOf(dead, "Woody heat content").Effect(), 0.0);
    // The extinction moisture acts through the moisture damping only. By hand, with the 1-h
    // moisture 6 %: at 12 % r = 0.5, eta = 1 - 2.59 r + 5.11 r^2 - 3.52 r^3 = 0.5425; at 10.8 %
    // r = 0.5556, eta = 0.5347, so the rate of spread falls by 1.44 %.
    EXPECT_NEAR(rowOf(dead, "Extinction moisture").rosChangeLow, -1.44, 0.1);
    // Heat content enters the reaction intensity linearly: +10 % heat, +10 % rate of spread
    // (within the one-decimal rounding of 4.2... at 5 mi/h it is 93.9 ch/h).
    EXPECT_NEAR(rowOf(dead, "Dead heat content").rosChangeHigh, 10.0, 0.2);
}

TEST(Sensitivity, ChangesAreClampedToTheEntryRangesAndSaySo)
{
    FireSpread base = WorkedExample();
    base.setSurfaceToVolume1Hour(3800); // +10 % = 4180 > 4000
    base.setBulkDensityDepth(0.05);     // -10 % = 0.045 < 0.05
    base.setMoistureOfExtinction(0.95); // +10 % = 104.5 % > 100 %
    const SensitivityResult r = ComputeSensitivity(base, 10);

    const SensitivityRow &sav = rowOf(r, "1-h SA/V");
    EXPECT_TRUE(sav.highClamped);
    EXPECT_FALSE(sav.lowClamped);
    EXPECT_DOUBLE_EQ(sav.high, 4000);
    FireSpread at4000 = base;
    at4000.setSurfaceToVolume1Hour(4000);
    EXPECT_DOUBLE_EQ(sav.rosHigh, ros(at4000));

    const SensitivityRow &depth = rowOf(r, "Fuel bed depth");
    EXPECT_TRUE(depth.lowClamped);
    EXPECT_DOUBLE_EQ(depth.low, 0.05);
    EXPECT_DOUBLE_EQ(depth.rosChangeLow, 0);

    const SensitivityRow &mx = rowOf(r, "Extinction moisture");
    EXPECT_TRUE(mx.highClamped);
    EXPECT_DOUBLE_EQ(mx.high, 1.0);

    // A fuel class that is not there stays absent: an SA/V of 0 is not raised to 109.
    const SensitivityRow &herbSav = rowOf(r, "Live herb SA/V");
    EXPECT_EQ(herbSav.low, 0.0);
    EXPECT_EQ(herbSav.high, 0.0);
    EXPECT_FALSE(herbSav.lowClamped || herbSav.highClamped);
}

TEST(Sensitivity, AModelThatCannotSpreadHasNoChanges)
{
    FireSpread wet = WorkedExample();
    wet.setFuelMoisture1Hour(0.30);
    const SensitivityResult r = ComputeSensitivity(wet, 10);
    EXPECT_TRUE(r.baseComputed);
    EXPECT_EQ(r.baseRos, 0.0);
    for (const SensitivityRow &row : r.rows) {
        EXPECT_EQ(row.rosChangeLow, 0.0);
        EXPECT_EQ(row.rosChangeHigh, 0.0);
    }
}

TEST(Sensitivity, RangesAreTheEditorsRanges)
{
    // Box 2 + i holds parameter i; the extinction moisture box takes percent.
    for (std::size_t i = 0; i < FuelParameters().size(); ++i) {
        const FuelParameter &p = FuelParameters()[i];
        const int box = int(i) + 2;
        const auto text = [&](double v) { return QString::number(v * p.scale, 'f', 4); };
        EXPECT_TRUE(EntryInRange(box, text(p.max))) << p.name;
        EXPECT_FALSE(EntryInRange(box, text(p.max + 0.01 / p.scale))) << p.name;
        EXPECT_TRUE(EntryInRange(box, text(p.min))) << p.name;
        if (p.min > 0 && p.min != 109) {
            EXPECT_FALSE(EntryInRange(box, text(p.min - 0.01 / p.scale))) << p.name;
        }
    }
}
