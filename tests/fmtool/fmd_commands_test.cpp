#include "fmtool/Commands.h"
#include "support/CapturedRun.h"

#include "data/ProgramSettings.h"
#include "data/ProgramState.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FmdCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The numbers remembered for exports live in the user's settings: a test's own.
        QStandardPaths::setTestModeEnabled(true);
        ProgramSettings().clear();
        ResetProgramState();
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("lib.FFM");
        // "7" is a standard model's number, "GR9x" no number, "150" a standard block number;
        // GR9x's live herb and woody heat contents differ.
        putFile(library,
                "\"[FuelModelSet:Mine,Count:3]\"\r\n"
                "\"7\",\"Rough\",2.5,1.13,1.87,1.5,0,0.37,1750,1500,1550,0.4,8000,8000,8000,2,1\r\n"
                "\"GR9x\",\"Tuned grass\",1,0.1,0,0,1,0.5,2000,1800,1500,0.15,8000,8000,8500,1,2\r\n"
                "\"40\",\"Forty\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,3,1\r\n"
                "\"[End]\"\r\n");
    }
    QTemporaryDir dir;
    QString library;
};

} // namespace

TEST_F(FmdCommands, ExportNumbersWarnsAndRefuses)
{
    const QString out = dir.filePath("out.fmd");
    Outcome r = run(fmtoolExportFmd, {library, "--set", "Mine", "--units", "english", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // 40 keeps its own number; 7 and GR9x get the free numbers from 14 in order.
    EXPECT_EQ(fileBytes(out),
              QByteArray("ENGLISH\r\n"
                         "14 7 1.13 1.87 1.5 0 0.37 static 1750 1500 1550 2.5 40 8000 8000 Rough\r\n"
                         "15 GR9x 0.1 0 0 1 0.5 dynamic 2000 1800 1500 1 15 8000 8000 Tuned grass\r\n"
                         "40 40 1 0 0 0 0 static 2000 1500 1500 1 20 8000 8000 Forty\r\n"));
    EXPECT_TRUE(r.err.contains("warning: \"GR9x\"")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("herb value, 8000 btu/lb"));

    // A number given for a model is checked, not replaced: 40 is already the third model's.
    QFile::remove(out);
    r = run(fmtoolExportFmd, {library, "--set=Mine", "--units=metric", "--number", "GR9x=40", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("already given to")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    r = run(fmtoolExportFmd, {library, "--set", "Mine", "--units", "furlongs", out});
    EXPECT_EQ(r.status, 2);
}

TEST_F(FmdCommands, ImportAddsASetOnlyWhenAccepted)
{
    const QString fmd = dir.filePath("in.fmd");
    putFile(fmd,
            "METRIC\n30 GRz 2.241702312 0 0 2.241702312 0 dynamic 98.42519685 59.05511811 49.21259843 "
            "30.48 20 18608000 18608000 From a colleague\n"
            "3 FM3 1 0 0 0 0 static 50 50 50 30 25 18608 18608 standard\n");
    const QByteArray before = fileBytes(library);
    Outcome r = run(fmtoolImportFmd, {fmd, library, "--set", "Imported"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Line 2: taken (30 GRz)")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Line 3: refused (3 FM3)"));
    EXPECT_TRUE(r.out.contains("J/kg"));
    EXPECT_EQ(fileBytes(library), before);

    ResetProgramState();
    r = run(fmtoolImportFmd, {fmd, library, "--set", "Imported", "--accept"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(fileBytes(library),
              before.left(before.size() - 9) + // without "[End]"
                  "\"[FuelModelSet:Imported,Count:1]\"\r\n"
                  "\"GRz\",\"From a colleague\",1,1,0,0,1,0,3000,1800,1500,0.2,8000,8000,8000,1,2\r\n"
                  "\"[End]\"\r\n");
    // A second import under the same name is refused.
    ResetProgramState();
    r = run(fmtoolImportFmd, {fmd, library, "--set", "imported", "--accept"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("already has a set"));
}

TEST(ComputeConventions, ComputeAndTableTakeTheSimulatorsConventionsAndMarkThem)
{
    // The dynamic grass-shrub of the engine's convention tests: 23.2 ch/h as the simulators
    // compute it, 20.1 as the core does (worked apart in tests/engine/conventions_reference.py).
    const char *request =
        "{\"Loading1Hour\":0.5,\"Loading10Hour\":0.5,\"LoadingLiveHerb\":0.6,\"LoadingLiveWoody\":1,"
        "\"SurfaceToVolume1Hour\":2000,\"SurfaceToVolumeLiveHerb\":1800,\"SurfaceToVolumeLiveWoody\":1800,"
        "\"HeatContentDead\":8000,\"HeatContentLiveHerb\":9000,\"HeatContentLiveWoody\":8000,"
        "\"BulkDensityDepth\":1.5,\"MoistureOfExtinction\":0.15,\"FuelMoisture1Hour\":0.06,"
        "\"FuelMoisture10Hour\":0.07,\"FuelMoisture100Hour\":0.08,\"FuelMoistureHerb\":0.6,"
        "\"FuelMoistureWoody\":0.9,\"WindSpeed\":5,\"HerbType\":2}\n";
    auto compute = [&](const QStringList &args) {
        FmtoolStreams io;
        io.in = std::tmpfile();
        std::fputs(request, io.in);
        std::rewind(io.in);
        io.out = std::tmpfile();
        io.err = std::tmpfile();
        Outcome r;
        r.status = fmtoolCompute(args, io);
        r.out = capturedContents(io.out);
        r.err = capturedContents(io.err);
        std::fclose(io.in);
        return r;
    };
    Outcome r = compute({});
    EXPECT_TRUE(r.out.startsWith("{\"RateOfSpread\": 20.1")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("Conventions"));
    r = compute({"--conventions", "simulators"});
    EXPECT_TRUE(r.out.startsWith("{\"RateOfSpread\": 23.199")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\"Conventions\": \"simulators\""));
    EXPECT_EQ(compute({"--conventions", "fast"}).status, 2);

    QTemporaryDir dir;
    const QString library = dir.filePath("gs.FFM");
    putFile(library,
            "\"[FuelModelSet:S,Count:1]\"\r\n"
            "\"GS\",\"grass-shrub\",1.5,0.5,0.5,0,0.6,1,2000,1800,1800,0.15,8000,9000,8000,1,2\r\n\"[End]\"\r\n");
    r = run(fmtoolTable,
            {library, "--moist-1h", "6", "--moist-10h", "7", "--moist-100h", "8", "--moist-herb", "60", "--wind", "5",
             "--wind-adjust", "1", "--conventions", "simulators"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("# Computed as the fire growth simulators"));
    EXPECT_TRUE(r.out.contains("S,GS,grass-shrub,23.2,197.1,5.1,")) << r.out.toStdString();
}

// A file in the simulators' shapes into a library that has some of its codes already: every
// model taken under an ID free in the library, and an export of the new set gives the
// simulators' numbers back.
TEST_F(FmdCommands, ImportThenExportKeepsTheNumbersAndTheIdsAreFreeInTheLibrary)
{
    const QString fmd = dir.filePath("sim.fmd");
    putFile(fmd,
            "28\tGR9x\t0.5\t0\t0\t1\t0\tD\t2000\t1800\t1500\t1\t15\t8000\t8000\tgrass\r\r\n"
            "29 cheat 0.5 0.2 0 1.2 0 d 2500 2200 1500 0.8 20 8000 8000 cheat early\r\r\n"
            "30 cheat 0.5 0.2 0 1.2 0 s 2500 2200 1500 0.8 20 8000 8000 cheat late\r\r\n"
            "33 2.250 1.500 3.710 0.000 1.000 2000 1800 1500 0.600 25 8000 8000\r\r\n");
    Outcome r = run(fmtoolImportFmd, {fmd, library, "--set", "Sim", "--accept"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Line 1: changed (28 GR9x): the ID \"GR9x\" is taken in the library: the model's ID is "
                               "\"GR9x_2\""))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("4 lines: 2 taken, 2 changed, 0 refused."));
    const QByteArray added = fileBytes(library);
    EXPECT_TRUE(
        added.contains("\"[FuelModelSet:Sim,Count:4]\"\r\n"
                       "\"GR9x_2\",\"grass\",1,0.5,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
                       "\"cheat\",\"cheat early\",0.8,0.5,0.2,0,1.2,0,2500,2200,1500,0.2,8000,8000,8000,1,2\r\n"
                       "\"cheat_2\",\"cheat late\",0.8,0.5,0.2,0,1.2,0,2500,2200,1500,0.2,8000,8000,8000,1,1\r\n"
                       "\"33\",\"33\",0.6,2.25,1.5,3.71,0,1,2000,1800,1500,0.25,8000,8000,8000,2,1\r\n"))
        << added.constData();

    ResetProgramState();
    const QString out = dir.filePath("back.fmd");
    r = run(fmtoolExportFmd, {library, "--set", "Sim", "--units", "english", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = fileBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[1].startsWith("28 GR9x_2 ")) << lines[1].constData();
    EXPECT_TRUE(lines[2].startsWith("29 cheat "));
    EXPECT_TRUE(lines[3].startsWith("30 cheat_2 "));
    EXPECT_TRUE(lines[4].startsWith("33 33 "));
}

// A model without dead fuel makes the simulators refuse the whole file: refused by name, and
// nothing is written.
TEST_F(FmdCommands, ExportRefusesAModelWithoutDeadFuelByName)
{
    putFile(library,
            "\"[FuelModelSet:Live,Count:2]\"\r\n"
            "\"40\",\"Forty\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,3,1\r\n"
            "\"GRlive\",\"herb only\",1,0,0,0,1.5,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
            "\"[End]\"\r\n");
    const QString out = dir.filePath("live.fmd");
    const Outcome r = run(fmtoolExportFmd, {library, "--set", "Live", "--units", "metric", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("refused: \"GRlive\" (set \"Live\"): the model has no dead fuel"))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("refused: \"40\""));
    EXPECT_FALSE(QFile::exists(out));
}
