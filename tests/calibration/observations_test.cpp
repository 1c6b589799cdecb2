// The observation file as spreadsheets write it: line ends, quoting, byte order marks, letter
// case, separators, units, and the lines it refuses.
#include "calibration/Observations.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Units::System;

constexpr double kChainsPerMeterPerMinute = 60 / 20.1168; // 1 m/min in ch/h
constexpr double kMilesPerKilometer = 1 / 1.609344;

ObservationImport read(const QByteArray &bytes, System units = System::English)
{
    return ReadObservations(bytes, units);
}

const char kPlain[] =
    "id,moist-1h,moist-10h,moist-100h,moist-herb,moist-woody,midflame-wind,slope,ros,flame-length,weight\n"
    "F1,6,7,8,60,90,4.5,10,12.5,3.2,2\n"
    "F2,8,9,10,120,150,2,0,3,,\n";

TEST(ObservationFile, PlainEnglishFileGivesEveryValueInPlace)
{
    const ObservationImport r = read(kPlain);
    ASSERT_TRUE(r.ok()) << r.problem.toStdString();
    ASSERT_EQ(r.observations.size(), 2);
    const Observation &a = r.observations[0];
    EXPECT_EQ(a.id, QStringLiteral("F1"));
    // Moistures in percent in the file, fractions in the environment.
    EXPECT_DOUBLE_EQ(a.environment.moisture[0], 0.06);
    EXPECT_DOUBLE_EQ(a.environment.moisture[1], 0.07);
    EXPECT_DOUBLE_EQ(a.environment.moisture[2], 0.08);
    EXPECT_DOUBLE_EQ(a.environment.moisture[3], 0.60);
    EXPECT_DOUBLE_EQ(a.environment.moisture[4], 0.90);
    EXPECT_EQ(a.environment.midflameWind, 4.5); // exactly as given, not rounded
    EXPECT_EQ(a.environment.slope, 10);
    EXPECT_EQ(a.ros, 12.5);
    EXPECT_EQ(a.flameLength, 3.2);
    EXPECT_EQ(a.weight, 2);
    EXPECT_EQ(a.line, 2);
    const Observation &b = r.observations[1];
    EXPECT_FALSE(b.hasFlameLength()); // blank: not observed
    EXPECT_EQ(b.weight, 1);           // blank: the default
    EXPECT_TRUE(r.lines.isEmpty());
    EXPECT_TRUE(r.extraColumns.isEmpty());
}

TEST(ObservationFile, EveryLineEndAndByteOrderMarkReadsAlike)
{
    const QByteArray lf(kPlain);
    QByteArray crlf = lf, crcrlf = lf, cr = lf;
    crlf.replace("\n", "\r\n");
    crcrlf.replace("\n", "\r\r\n");
    cr.replace("\n", "\r");
    const QByteArray bom = QByteArray("\xEF\xBB\xBF") + crlf;
    for (const QByteArray &bytes : {crlf, crcrlf, cr, bom}) {
        const ObservationImport r = read(bytes);
        ASSERT_TRUE(r.ok()) << r.problem.toStdString();
        ASSERT_EQ(r.observations.size(), 2);
        EXPECT_EQ(r.observations[0].id, QStringLiteral("F1"));
        EXPECT_EQ(r.observations[1].ros, 3);
        EXPECT_EQ(r.observations[1].line, 3); // CR CR LF is one line end, not two
    }
}

TEST(ObservationFile, ColumnsInAnyOrderAndCaseWithCommentsBlankLinesAndOtherColumns)
{
    const QByteArray bytes = "# Burns of the 2019 season\n"
                             "\n"
                             "ROS, Plot Notes ,Moist_1H,Midflame Wind,ID,Crew\n"
                             "  # a comment in the middle\n"
                             "10,\"wet, then dry\",5,3,P1,A\n"
                             ",,,,,\n"
                             "20,\"said \"\"fast\"\"\",6,4,P2,B\n";
    const ObservationImport r = read(bytes);
    ASSERT_TRUE(r.ok()) << r.problem.toStdString();
    ASSERT_EQ(r.observations.size(), 2);
    EXPECT_EQ(r.observations[0].id, QStringLiteral("P1"));
    EXPECT_EQ(r.observations[0].ros, 10);
    EXPECT_DOUBLE_EQ(r.observations[0].environment.moisture[0], 0.05);
    EXPECT_EQ(r.observations[0].environment.midflameWind, 3);
    EXPECT_EQ(r.observations[0].line, 5);
    EXPECT_EQ(r.observations[1].line, 7);
    EXPECT_EQ(r.extraColumns, QStringList({QStringLiteral("Plot Notes"), QStringLiteral("Crew")}));
    EXPECT_EQ(r.observations[0].extra, QStringList({QStringLiteral("wet, then dry"), QStringLiteral("A")}));
    EXPECT_EQ(r.observations[1].extra, QStringList({QStringLiteral("said \"fast\""), QStringLiteral("B")}));
    // Missing optional moisture columns are said once, in the notes.
    EXPECT_TRUE(r.reportText().contains(QStringLiteral("No moist-10h column")));
    EXPECT_TRUE(
        r.reportText().contains(QStringLiteral("Columns kept for display and otherwise ignored: Plot Notes, Crew.")));
}

TEST(ObservationFile, QuotedFieldMayHoldALineBreakAndTheLineNumbersFollowIt)
{
    const QByteArray bytes = "id,moist-1h,midflame-wind,ros,note\n"
                             "A,5,2,4,\"two\nlines\"\n"
                             "B,-5,2,4,x\n";
    const ObservationImport r = read(bytes);
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_EQ(r.observations[0].extra.front(), QStringLiteral("two\nlines"));
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_EQ(r.lines[0].line, 4);
}

TEST(ObservationFile, TabsAndSemicolonsSeparateWithDecimalCommas)
{
    const QByteArray tabs = "id\tmoist-1h\tmidflame-wind\tros\n"
                            "T1\t5,5\t2,25\t10,5\n";
    const QByteArray semicolons = "id;moist-1h;midflame-wind;ros\n"
                                  "T1;5,5;2,25;10,5\n";
    for (const QByteArray &bytes : {tabs, semicolons}) {
        const ObservationImport r = read(bytes);
        ASSERT_TRUE(r.ok()) << r.problem.toStdString();
        ASSERT_EQ(r.observations.size(), 1);
        EXPECT_DOUBLE_EQ(r.observations[0].environment.moisture[0], 0.055);
        EXPECT_EQ(r.observations[0].environment.midflameWind, 2.25);
        EXPECT_EQ(r.observations[0].ros, 10.5);
    }
    // With commas as separators a decimal comma would split the field: refused, not misread.
    const ObservationImport r = read("id,moist-1h,midflame-wind,ros\nT1,5,2,10,5\n");
    ASSERT_EQ(r.refusedCount(), 1);
    EXPECT_TRUE(r.observations.isEmpty());
}

TEST(ObservationFile, MetricFileAndUnitsAfterColumnNames)
{
    const QByteArray metric = "id,moist-1h,midflame-wind,ros,flame-length\n"
                              "M1,5,10,2,1.5\n";
    ObservationImport r = read(metric, System::Metric);
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_NEAR(r.observations[0].environment.midflameWind, 10 * kMilesPerKilometer, 1e-12);
    EXPECT_NEAR(r.observations[0].ros, 2 * kChainsPerMeterPerMinute, 1e-12);
    EXPECT_NEAR(r.observations[0].flameLength, 1.5 / 0.3048, 1e-12);

    // A unit after the name wins over the file's units, whichever those are.
    const QByteArray overridden = "id,moist-1h (%),midflame-wind (m/s),ros (M/MIN),flame-length [ft]\n"
                                  "M1,5,1,2,3\n";
    for (System s : {System::English, System::Metric}) {
        r = read(overridden, s);
        ASSERT_TRUE(r.ok()) << r.problem.toStdString();
        ASSERT_EQ(r.observations.size(), 1);
        EXPECT_NEAR(r.observations[0].environment.midflameWind, 3.6 * kMilesPerKilometer, 1e-12);
        EXPECT_NEAR(r.observations[0].ros, 2 * kChainsPerMeterPerMinute, 1e-12);
        EXPECT_EQ(r.observations[0].flameLength, 3);
    }
    // Rates of spread in m/s, the way experiments publish them: 1 m/s is 60 m/min.
    r = read("moist-1h,midflame-wind,ros (m/s)\n5,1,1\n");
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_NEAR(r.observations[0].ros, 60 * kChainsPerMeterPerMinute, 1e-9);

    r = read("moist-1h,midflame-wind,ros (furlongs)\n5,1,1\n");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.problem.contains(QStringLiteral("furlongs")));
    r = read("moist-1h,midflame-wind,ros,weight (kg)\n5,1,1,1\n");
    EXPECT_FALSE(r.ok());
}

TEST(ObservationFile, WindFromTwentyFootWindAndAdjustmentFactor)
{
    ObservationImport r = read("moist-1h,wind,wind-adjust,ros\n5,10,0.4,3\n");
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_NEAR(r.observations[0].environment.midflameWind, 4, 1e-12);
    r = read("moist-1h,wind (km/h),wind-adjust,ros\n5,10,0.5,3\n");
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_NEAR(r.observations[0].environment.midflameWind, 5 * kMilesPerKilometer, 1e-12);
    r = read("moist-1h,wind,wind-adjust,ros\n5,10,1.4,3\n5,10,,3\n");
    EXPECT_EQ(r.refusedCount(), 2);
    // The wind without its factor cannot be used at all.
    r = read("moist-1h,wind,ros\n5,10,3\n");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.problem.contains(QStringLiteral("wind-adjust")));
}

TEST(ObservationFile, BlankAndZeroMoisturesAreComputedAsGivenAndMarked)
{
    const ObservationImport r = read("id,moist-1h,moist-10h,moist-herb,midflame-wind,ros\n"
                                     "G1,6,,0,3,10\n");
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_EQ(r.observations[0].environment.moisture[1], 0);
    EXPECT_EQ(r.observations[0].environment.moisture[3], 0);
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_FALSE(r.lines[0].refused);
    EXPECT_EQ(r.lines[0].line, 2);
    EXPECT_EQ(r.lines[0].reasons.size(), 2);
    const QString text = r.reportText();
    EXPECT_TRUE(text.contains(QStringLiteral("Line 2 (G1): marked: 10-h moisture blank, computed as 0")));
    EXPECT_TRUE(text.contains(QStringLiteral("live herb moisture 0 computed as given")));
}

TEST(ObservationFile, RefusedLinesSayWhereAndWhy)
{
    const QByteArray bytes = "id,moist-1h,midflame-wind,slope,ros,flame-length,weight\n"
                             "ok,5,2,0,10,,\n"
                             "neg,-5,2,0,10,,\n"
                             "text,five,2,0,10,,\n"
                             "noros,5,2,0,,,\n"
                             "zeroros,5,2,0,0,,\n"
                             "nowind,5,,0,10,,\n"
                             "negweight,5,2,0,10,,-1\n"
                             "zeroflame,5,2,0,10,0,\n"
                             "negslope,5,2,-10,10,,\n"
                             "toomany,5,2,0,10,,,7\n"
                             "inf,5,2,0,inf,,\n";
    const ObservationImport r = read(bytes);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_EQ(r.observations[0].id, QStringLiteral("ok"));
    ASSERT_EQ(r.refusedCount(), 10);
    auto reason = [&](int line) {
        for (const ObservationLineReport &l : r.lines)
            if (l.line == line && l.refused)
                return l.reasons.join(QLatin1Char(';'));
        return QString();
    };
    EXPECT_EQ(reason(3), QStringLiteral("the 1-h moisture -5 is negative"));
    EXPECT_EQ(reason(4), QStringLiteral("the 1-h moisture \"five\" is not a number"));
    EXPECT_EQ(reason(5), QStringLiteral("no rate of spread"));
    EXPECT_TRUE(reason(6).contains(QStringLiteral("rate of spread is 0")));
    EXPECT_EQ(reason(7), QStringLiteral("no midflame wind"));
    EXPECT_EQ(reason(8), QStringLiteral("the weight -1 is negative"));
    EXPECT_TRUE(reason(9).contains(QStringLiteral("flame length is 0")));
    EXPECT_EQ(reason(10), QStringLiteral("the slope -10 is negative"));
    EXPECT_TRUE(reason(11).contains(QStringLiteral("8 fields")));
    EXPECT_TRUE(reason(12).contains(QStringLiteral("not a number")));
    EXPECT_TRUE(r.reportText().contains(QStringLiteral("Line 3 (neg): refused: the 1-h moisture -5 is negative")));
}

TEST(ObservationFile, WholeFileRefusals)
{
    EXPECT_FALSE(read("").ok());
    EXPECT_FALSE(read("# only a comment\n\n").ok());
    ObservationImport r = read("id,midflame-wind,ros\nA,1,2\n");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.problem.contains(QStringLiteral("moist-1h")));
    r = read("moist-1h,moist-1h,midflame-wind,ros\n");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.problem.contains(QStringLiteral("twice")));
}

TEST(ObservationFile, WindowsCodePageTextIsRead)
{
    // "Brûlé" in Windows-1252 is not valid UTF-8.
    const ObservationImport r = read("id,moist-1h,midflame-wind,ros\nBr\xFBl\xE9,5,2,3\n");
    ASSERT_EQ(r.observations.size(), 1);
    EXPECT_EQ(r.observations[0].id, QString::fromUtf8("Brûlé"));
}

TEST(ObservationFile, TooLargeFileIsRefusedAndAMissingOneSaysSo)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.csv"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray line = "moist-1h,midflame-wind,ros\n";
        f.write(line);
        const QByteArray row(1023, 'x');
        for (int i = 0; i < 4 * 1024 + 1; ++i)
            f.write(row + '\n');
    }
    ObservationImport r = ReadObservationFile(big, System::English);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.problem.contains(QStringLiteral("too large")));
    r = ReadObservationFile(dir.filePath(QStringLiteral("none.csv")), System::English);
    EXPECT_FALSE(r.ok());
}

TEST(ObservationFile, WrittenFileReadsBackInEitherUnits)
{
    const ObservationImport first = read(QByteArray(kPlain)
                                             .replace("weight\n", "weight,crew\n")
                                             .replace(",2\n", ",2,red\n")
                                             .replace(",,\n", ",,,blue\n"));
    ASSERT_EQ(first.observations.size(), 2);
    for (System written : {System::English, System::Metric}) {
        const QString csv = ObservationsToCsv(first.observations, first.extraColumns, written);
        for (System readAs : {System::English, System::Metric}) {
            const ObservationImport again = read(csv.toUtf8(), readAs);
            ASSERT_TRUE(again.ok());
            ASSERT_EQ(again.observations.size(), 2);
            for (int i = 0; i < 2; ++i) {
                const Observation &a = first.observations[i], &b = again.observations[i];
                EXPECT_EQ(a.id, b.id);
                EXPECT_NEAR(a.ros, b.ros, 1e-9 * a.ros);
                EXPECT_NEAR(a.environment.midflameWind, b.environment.midflameWind, 1e-12);
                EXPECT_DOUBLE_EQ(a.environment.moisture[3], b.environment.moisture[3]);
                EXPECT_EQ(a.hasFlameLength(), b.hasFlameLength());
                EXPECT_EQ(a.weight, b.weight);
                EXPECT_EQ(a.extra, b.extra);
            }
        }
    }
}

} // namespace
