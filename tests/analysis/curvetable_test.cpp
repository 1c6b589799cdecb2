#include "support/AnalysisModels.h"

#include "analysis/CurveTable.h"

#include <gtest/gtest.h>

TEST(CurveTable, MetricTablesConvertEveryColumnAndName)
{
    // The worked example at 5 mi/h midflame (20-ft wind 12.5 x 0.4).
    const ModelCurve curve{QStringLiteral("Set, one"), QStringLiteral("1"), QStringLiteral("Edited"),
                           Sweep(WorkedExample(), SweepInput::TwentyFootWind, 12.5, 12.5, 1, 0.4)};
    const CsvTable english = CurvesTable({curve}, SweepInput::TwentyFootWind);
    ASSERT_EQ(english.rows.size(), 1);
    EXPECT_EQ(english.header[2], QStringLiteral("20-ft wind speed (mi/h)"));
    EXPECT_EQ(english.rows[0][2], QStringLiteral("12.5"));
    EXPECT_EQ(english.rows[0][3], QStringLiteral("93.9"));
    EXPECT_EQ(english.rows[0][9], QStringLiteral("no"));

    const CsvTable metric = CurvesTable({curve}, SweepInput::TwentyFootWind, Units::System::Metric);
    EXPECT_EQ(metric.header[3], QStringLiteral("Rate of spread (m/min)"));
    EXPECT_EQ(metric.header[6], QStringLiteral("Size after 1 hour (ha)"));
    // 12.5 mi/h x 1.609344 = 20.1168 km/h. The metric rate is the unrounded one converted, rounded
    // once: 93.8906694 ch/h (tests/engine/reference_spread.py, before its rounding to 93.9) x
    // 20.1168 m / 60 min = 31.4797 m/min, where 93.9 ch/h would give 31.4828.
    EXPECT_EQ(metric.rows[0][2], QStringLiteral("20.1168"));
    EXPECT_EQ(metric.rows[0][3], QStringLiteral("31.4797"));
    // The flame length in metres is the feet times 0.3048.
    EXPECT_NEAR(metric.rows[0][4].toDouble(), english.rows[0][4].toDouble() * 0.3048, 1e-4);
    // Moisture sweeps keep percent in both systems.
    EXPECT_EQ(CurveColumnTitles(SweepInput::HerbMoisture, Units::System::Metric)[2],
              QStringLiteral("Herb fuel moisture (%)"));
    // A quoted set name stays one field in the CSV.
    EXPECT_TRUE(english.ToCsv().contains(QStringLiteral("\r\n\"Set, one\",1,12.5,93.9,")));
}
