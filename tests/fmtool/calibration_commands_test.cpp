#include "fmtool/Commands.h"
#include "support/CapturedRun.h"
#include "support/HandMadeModels.h"

#include "data/FuelModel.h"
#include "data/ModelComputation.h"
#include "data/ProgramState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The fires are those of the grass-shrub model "GRS" (support/HandMadeModels.h: depth 1.5 ft,
// extinction moisture 25 %); the library holds it with depth 0.8 ft and 35 %.

class CalibrationCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("lib.FFM");
        putFile(library,
                "\"[FuelModelSet:Orla Master,Count:2, Locked]\"\r\n"
                "\"1\",\"FM1 Short grass (1 ft)\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                "\"3\",\"FM3 Tall grass (2.5 ft)\",2.5,3.01,0,0,0,0,1500,1500,1500,0.25,8000,8000,8000,1,1\r\n"
                "\"[FuelModelSet:Mine,Count:1]\"\r\n"
                "\"GRS\",\"Grass shrub\",0.8,0.3,0.2,0,1.5,0.4,2000,1800,1600,0.35,8000,8000,8000,1,2\r\n"
                "\"[End]\"\r\n");
        // Twelve fires of the true model, the wind in mi/h, rates and flames in m/min and m.
        QByteArray csv = "id,moist-1h,moist-10h,moist-100h,moist-herb,moist-woody,midflame-wind (mi/h),slope,ros "
                         "(m/min),flame-length (m),note\r\n";
        for (int i = 0; i < 12; ++i) {
            const double percent[5] = {3.0 + i * 0.7, 5.0 + i * 0.5, 7, 40.0 + 9 * i, 90};
            const FireEnvironment e{
                {percent[0] / 100, percent[1] / 100, percent[2] / 100, percent[3] / 100, percent[4] / 100},
                1.0 + (i * 37 % 12) * 0.6,
                double(i % 4) * 10,
                0};
            const ModelFire f = ComputeModelFire(GrassModel(), e);
            csv += QStringLiteral("F%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,n\r\n")
                       .arg(i)
                       .arg(percent[0], 0, 'g', 17)
                       .arg(percent[1], 0, 'g', 17)
                       .arg(percent[2], 0, 'g', 17)
                       .arg(percent[3], 0, 'g', 17)
                       .arg(percent[4], 0, 'g', 17)
                       .arg(e.midflameWind, 0, 'g', 17)
                       .arg(e.slope, 0, 'g', 17)
                       .arg(f.spread.UnroundedRateOfSpread() * 20.1168 / 60, 0, 'g', 17)
                       .arg(f.spread.FlameLength() * 0.3048, 0, 'g', 17)
                       .toUtf8();
        }
        observations = dir.filePath("fires.csv");
        putFile(observations, csv);
    }
    QTemporaryDir dir;
    QString library, observations;
};

QStringList csvLines(const QString &text)
{
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

TEST_F(CalibrationCommands, RankListsTheMasterSetSortedWithTheNamedColumns)
{
    const Outcome r = run(fmtoolRank, {observations, library, "--units", "metric"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = csvLines(r.out);
    ASSERT_EQ(lines.size(), 3);
    const QStringList header = lines[0].split(QLatin1Char(','));
    for (const char *column : {"set", "id", "ros-rmse", "ros-bias", "ros-mape", "ros-within-35", "fl-rmse", "fl-bias",
                               "fl-mape", "fl-within-35"})
        EXPECT_TRUE(header.contains(QLatin1String(column))) << column;
    const int rmse = int(header.indexOf(QStringLiteral("ros-rmse")));
    EXPECT_LE(lines[1].split(QLatin1Char(','))[rmse].toDouble(), lines[2].split(QLatin1Char(','))[rmse].toDouble());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Orla Master,")));
    // The note column is kept and said to be ignored.
    EXPECT_TRUE(r.err.contains(QStringLiteral("otherwise ignored: note"))) << r.err.toStdString();

    // The true model of the fires, ranked among its set, fits them exactly.
    const Outcome mine = run(fmtoolRank, {observations, library, "--set", "Mine", "--units", "metric"});
    ASSERT_EQ(mine.status, 0);
    const QStringList row = csvLines(mine.out)[1].split(QLatin1Char(','));
    EXPECT_EQ(row[1], QStringLiteral("GRS"));
    EXPECT_GT(row[rmse].toDouble(), 0); // depth 0.8, not the fires' 1.5

    const Outcome all = run(fmtoolRank, {observations, library, "--all-sets"});
    EXPECT_EQ(csvLines(all.out).size(), 4);
}

TEST_F(CalibrationCommands, RankRefusesWhatItCannotUse)
{
    EXPECT_EQ(run(fmtoolRank, {observations}).status, 2);
    EXPECT_EQ(run(fmtoolRank, {observations, library, "--units", "imperial"}).status, 2);
    EXPECT_EQ(run(fmtoolRank, {observations, library, "--conventions", "odd"}).status, 2);
    EXPECT_EQ(run(fmtoolRank, {observations, library, "--set", "None"}).status, 1);
    EXPECT_EQ(run(fmtoolRank, {observations, library, "--set", "Mine", "--all-sets"}).status, 2);
    const QString bad = dir.filePath("bad.csv");
    putFile(bad, "id,ros\nA,3\n");
    const Outcome r = run(fmtoolRank, {bad, library});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("moist-1h"))) << r.err.toStdString();
}

TEST_F(CalibrationCommands, FitRecoversTheFiresModelAndReportsInTheChosenUnits)
{
    const Outcome r = run(fmtoolFit,
                          {observations, library, "--set", "Mine", "--model", "grs", "--free", "depth,mx", "--bound",
                           "depth=0.1:0.9", "--bound", "mx=12:40", "--starts", "2", "--cv", "3", "--units", "metric"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    for (const char *key : {"fitted", "before", "after", "at-bound", "alternatives", "cv", "seconds"})
        EXPECT_TRUE(o.contains(QLatin1String(key))) << key;
    const QJsonObject fitted = o["fitted"].toObject();
    // 1.5 ft is 0.4572 m; the moisture of extinction in percent.
    EXPECT_NEAR(fitted["depth"].toDouble(), 0.4572, 0.4572e-3);
    EXPECT_NEAR(fitted["mx"].toDouble(), 25, 25e-3);
    for (const char *key : {"ros-rmse", "ros-bias", "ros-mape", "ros-within-35"}) {
        EXPECT_TRUE(o["before"].toObject().contains(QLatin1String(key))) << key;
        EXPECT_TRUE(o["after"].toObject().contains(QLatin1String(key))) << key;
    }
    EXPECT_LT(o["after"].toObject()["ros-rmse"].toDouble(), 1e-4);
    EXPECT_GT(o["before"].toObject()["ros-rmse"].toDouble(), 0.1);
    EXPECT_EQ(o["after"].toObject()["ros-within-35"].toDouble(), 1);
    EXPECT_TRUE(o["at-bound"].toArray().isEmpty());
    EXPECT_EQ(o["cv"].toObject()["folds"].toInt(), 3);
    EXPECT_TRUE(o["cv"].toObject().contains(QStringLiteral("fit")));
    EXPECT_TRUE(o["cv"].toObject().contains(QStringLiteral("standard")));
    EXPECT_GE(o["seconds"].toDouble(), 0);
    EXPECT_EQ(o["best-standard"].toObject()["set"].toString(), QStringLiteral("Orla Master"));
}

TEST_F(CalibrationCommands, FitAtABoundSaysWhichAndApplyWritesTheLibrary)
{
    // Only the depth differs from the fires' model; English bounds stop short of its 1.5 ft.
    QByteArray bytes = fileBytes(library);
    bytes.replace("1600,0.35,", "1600,0.25,");
    putFile(library, bytes);
    Outcome r = run(fmtoolFit,
                    {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--bound",
                     "depth=0.5:1.2", "--starts", "1", "--cv", "0", "--apply"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["at-bound"].toArray(), QJsonArray({QStringLiteral("depth")}));
    EXPECT_NEAR(o["fitted"].toObject()["depth"].toDouble(), 1.2, 1e-3) << r.out.toStdString();
    EXPECT_TRUE(o["cv"].isNull());
    // The library now holds the fitted depth.
    EXPECT_TRUE(fileBytes(library).contains("\"GRS\",\"Grass shrub\",1.2"));

    // The master set is locked: nothing is written into it.
    const QByteArray before = fileBytes(library);
    r = run(fmtoolFit,
            {observations, library, "--set", "Orla Master", "--model", "1", "--free", "depth", "--starts", "1", "--cv",
             "0", "--apply"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("locked")));
    EXPECT_EQ(fileBytes(library), before);
}

TEST_F(CalibrationCommands, FitRefusesWrongUsage)
{
    EXPECT_EQ(run(fmtoolFit, {observations, library, "--set", "Mine", "--model", "GRS"}).status, 2);
    EXPECT_EQ(run(fmtoolFit, {observations, library, "--set", "Mine", "--model", "GRS", "--free", "bogus"}).status, 2);
    EXPECT_EQ(run(fmtoolFit,
                  {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--bound", "mx=1:2"})
                  .status,
              2);
    EXPECT_EQ(run(fmtoolFit,
                  {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--bound", "depth=1"})
                  .status,
              2);
    EXPECT_EQ(
        run(fmtoolFit, {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--starts", "0"})
            .status,
        2);
    EXPECT_EQ(run(fmtoolFit,
                  {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--objective", "best"})
                  .status,
              2);
    // Bounds outside the entry range are the setup's problem.
    const Outcome r =
        run(fmtoolFit,
            {observations, library, "--set", "Mine", "--model", "GRS", "--free", "depth", "--bound", "depth=0.01:9"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("range")));
    EXPECT_EQ(run(fmtoolFit, {observations, library, "--set", "Mine", "--model", "NONE", "--free", "depth"}).status, 1);
}

TEST_F(CalibrationCommands, AdjustGivesFactorsAndWritesTheSimulatorsFile)
{
    const QString out = dir.filePath("adjust.adj");
    Outcome r = run(fmtoolAdjust,
                    {observations, library, "--set", "Mine", "--units", "metric", "--number", "GRS=21", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = csvLines(r.out);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("set,id,number,factor"));
    const double factor = lines[1].split(QLatin1Char(','))[3].toDouble();
    EXPECT_GT(factor, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Flame length is not adjusted")));
    EXPECT_EQ(fileBytes(out), QStringLiteral("21 %1\r\n").arg(lines[1].split(QLatin1Char(','))[3]).toUtf8());

    // The true model gets a factor of 1; standard models keep their own numbers.
    const QString lib2 = dir.filePath("true.FFM");
    putFile(lib2,
            "\"[FuelModelSet:Orla Master,Count:1, Locked]\"\r\n"
            "\"101\",\"Truth\",1.5,0.3,0.2,0,1.5,0.4,2000,1800,1600,0.25,8000,8000,8000,1,2\r\n"
            "\"[End]\"\r\n");
    r = run(fmtoolAdjust, {observations, lib2, "--units", "metric", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(fileBytes(out), QByteArray("101 1\r\n"));
}
