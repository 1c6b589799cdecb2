// The calibration window's table of observed fires without the window: the cells it shows, the
// header that lets the reader take the table back, and rows pasted from a spreadsheet.
#include "calibration/ObservationTable.h"

#include "data/CsvTable.h"

#include <gtest/gtest.h>

namespace {

using Units::System;

Observation Fire()
{
    Observation o;
    o.id = QStringLiteral("F1");
    o.environment.moisture = {0.06, 0.07, 0.08, 0.6, 0.9};
    o.environment.midflameWind = 5;
    o.environment.slope = 20;
    o.ros = 30;
    o.flameLength = 4;
    o.weight = 2;
    return o;
}

TEST(ObservationTable, CellsInTheUnitsShownWithMoisturesInPercent)
{
    EXPECT_EQ(ObservationCells(Fire(), System::English),
              (QStringList{"F1", "6", "7", "8", "60", "90", "5", "20", "30", "4", "2"}));
    // 5 mi/h x 1.609344 = 8.04672 km/h; 30 ch/h x 20.1168 m / 60 min = 10.0584 m/min;
    // 4 ft x 0.3048 = 1.2192 m. Moisture, slope and weight have no other unit.
    EXPECT_EQ(ObservationCells(Fire(), System::Metric),
              (QStringList{"F1", "6", "7", "8", "60", "90", "8.04672", "20", "10.0584", "1.2192", "2"}));
    Observation unseen = Fire();
    unseen.flameLength = NAN;
    EXPECT_EQ(ObservationCells(unseen, System::Metric)[9], QString());
}

TEST(ObservationTable, TitlesCarryTheUnitsShown)
{
    const QStringList metric = ObservationColumnTitles(System::Metric, {QStringLiteral("crew")});
    ASSERT_EQ(metric.size(), 12);
    EXPECT_EQ(metric[0], QStringLiteral("ID"));
    EXPECT_EQ(metric[1], QStringLiteral("1-h moisture (%)"));
    EXPECT_EQ(metric[6], QStringLiteral("Midflame wind (km/h)"));
    EXPECT_EQ(metric[kObservationSlopeColumn], QStringLiteral("Slope (%)"));
    EXPECT_EQ(metric[8], QStringLiteral("Rate of spread (m/min)"));
    EXPECT_EQ(metric[10], QStringLiteral("Weight"));
    EXPECT_EQ(metric[11], QStringLiteral("crew"));
    EXPECT_EQ(ObservationColumnTitles(System::English, {})[9], QStringLiteral("Flame length (ft)"));
}

// What the window shows in metric is read back as the same fire in English units, its extra
// column kept apart.
TEST(ObservationTable, TheReaderTakesTheTableBackInEitherUnits)
{
    for (const System system : {System::English, System::Metric}) {
        CsvTable table;
        table.header = ObservationReaderHeader(system, {QStringLiteral("ros note")});
        table.rows << (ObservationCells(Fire(), system) << QStringLiteral("windy"));
        const ObservationImport back = ReadObservations(table.ToCsv().toUtf8(), system);
        ASSERT_TRUE(back.ok()) << back.problem.toStdString();
        ASSERT_EQ(back.observations.size(), 1);
        const Observation &o = back.observations[0];
        EXPECT_NEAR(o.environment.midflameWind, 5, 1e-9);
        EXPECT_NEAR(o.ros, 30, 1e-9);
        EXPECT_NEAR(o.flameLength, 4, 1e-9);
        EXPECT_DOUBLE_EQ(o.environment.moisture[3], 0.6);
        EXPECT_EQ(o.environment.slope, 20);
        EXPECT_EQ(o.weight, 2);
        // "x-ros note" is never the reader's "ros".
        EXPECT_EQ(back.extraColumns, QStringList{QStringLiteral("x-ros note")});
        EXPECT_EQ(o.extra, QStringList{QStringLiteral("windy")});
    }
}

TEST(ObservationTable, PastedRowsWithoutNamesTakeTheTablesColumnsAndSeparator)
{
    const QString tabs = QStringLiteral("F1\t6\t7\t8\t60\t90\t8\t20\t10\t1.2\t1\r\n");
    const QByteArray pasted = PastedObservationText(tabs, System::Metric, {});
    EXPECT_TRUE(pasted.startsWith("id\tmoist-1h\tmoist-10h\t"));
    EXPECT_TRUE(pasted.contains("\tmidflame-wind (km/h)\tslope\tros (m/min)\tflame-length (m)\tweight\n"));
    EXPECT_TRUE(pasted.endsWith(tabs.toUtf8()));
    const ObservationImport r = ReadObservations(pasted, System::Metric);
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_NEAR(r.observations[0].environment.midflameWind, 8 / 1.609344, 1e-9);

    // Tabs separate even where the numbers have decimal commas; commas without a tab separate
    // by commas; a single column separates by tabs.
    EXPECT_TRUE(
        PastedObservationText(QStringLiteral("F1\t6,5\t7,5"), System::English, {}).startsWith("id\tmoist-1h\t"));
    EXPECT_TRUE(PastedObservationText(QStringLiteral("F1,6,7"), System::English, {}).startsWith("id,moist-1h,"));
    EXPECT_TRUE(PastedObservationText(QStringLiteral("F1"), System::English, {}).startsWith("id\tmoist-1h\t"));
    // Rows with their names, in any case, are taken as they are.
    const QString named = QStringLiteral("ID\tROS\tMoist-1h\nF1\t3\t6\n");
    EXPECT_EQ(PastedObservationText(named, System::English, {}), named.toUtf8());
}

} // namespace
