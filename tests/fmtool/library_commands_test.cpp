#include "fmtool/Commands.h"
#include "support/CapturedRun.h"

#include "data/ProgramState.h"
#include "library/DefaultLibrary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LibraryCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(dir.isValid());
        good = dir.filePath("good.FFM");
        bad = dir.filePath("bad.FFM");
        putFile(good,
                "\"[FuelModelSet:Grass,Count:1]\"\n"
                "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\n"
                "\"[FuelModelSet:Caf\xe9,Count:0, Locked]\"\n\"[End]\"\n");
        putFile(bad, "\"[FuelModelSet:Grass,Count:1]\"\r\n\"1\",\"d\",1,x\r\n");
    }
    QTemporaryDir dir;
    QString good;
    QString bad;
};

TEST_F(LibraryCommands, CheckCountsOrNamesTheFirstProblem)
{
    Outcome r = run(fmtoolCheck, {good});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, good + ": 2 sets, 1 model\n");
    EXPECT_EQ(r.err, "");

    r = run(fmtoolCheck, {bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              bad +
                  ":2: expected a number for Loading1Hour (field 4 of model 1 of 1 in set \"Grass\"), "
                  "found \"x\"\n");

    r = run(fmtoolCheck, {dir.filePath("none.FFM")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot be opened")) << r.err.toStdString();

    EXPECT_EQ(run(fmtoolCheck, {}).status, 2);
    EXPECT_EQ(run(fmtoolCheck, {good, good}).status, 2);
    EXPECT_EQ(run(fmtoolCheck, {"--json"}).status, 2);
}

TEST_F(LibraryCommands, ListShowsEverySetAndEveryFieldInFileOrder)
{
    Outcome r = run(fmtoolList, {good});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("# FuelModelID\tDescription\tBulkDensityDepth\tLoading1Hour\t"));
    EXPECT_EQ(lines[1], "Set \"Grass\" (unlocked, 1 model)");
    EXPECT_EQ(lines[2], "  1\tShort grass\t1\t0.74\t0\t0\t0\t0\t3500\t1500\t1500\t12\t8000\t8000\t8000\t1\t1");
    EXPECT_EQ(lines[3], QString::fromUtf8("Set \"Caf\u00e9\" (locked, 0 models)"));

    r = run(fmtoolList, {"--json", good});
    ASSERT_EQ(r.status, 0);
    const QJsonArray sets = QJsonDocument::fromJson(r.out.toUtf8()).object()["sets"].toArray();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0]["name"].toString(), "Grass");
    EXPECT_FALSE(sets[0]["locked"].toBool());
    EXPECT_TRUE(sets[1]["locked"].toBool());
    const QJsonObject model = sets[0]["models"].toArray()[0].toObject();
    EXPECT_EQ(model["FuelModelID"].toString(), "1");
    EXPECT_EQ(model["Description"].toString(), "Short grass");
    EXPECT_EQ(model["Loading1Hour"].toDouble(), 0.74);
    EXPECT_EQ(model["MoistureOfExtinction"].toDouble(), 12);
    EXPECT_EQ(model["HerbType"].toDouble(), 1);
    EXPECT_EQ(model.size(), 17);
    // Fields in file order, texts escaped.
    EXPECT_TRUE(r.out.contains("{\"FuelModelID\": \"1\", \"Description\": \"Short grass\", \"BulkDensityDepth\": 1, "
                               "\"Loading1Hour\": 0.74,"))
        << r.out.toStdString();
    putFile(good, "\"[FuelModelSet:a\\b\tc,Count:0]\"\r\n\"[End]\"\r\n");
    r = run(fmtoolList, {good, "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object()["sets"].toArray()[0].toObject()["name"].toString(),
              "a\\b\tc");

    r = run(fmtoolList, {bad, "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run(fmtoolList, {good, "--xml"}).status, 2);
}

// In metric the numbers are converted exactly (0.74 t/ac = 1.658860 t/ha, 1 ft = 0.3048 m,
// 3500 /ft = 11482.94 /m, 8000 btu/lb = 18608 kJ/kg); percentages and codes stay.
TEST_F(LibraryCommands, ListInMetricUnits)
{
    const Outcome r = run(fmtoolList, {good, "--json", "--units", "metric"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(root["units"].toString(), "metric");
    const QJsonObject model = root["sets"].toArray()[0].toObject()["models"].toArray()[0].toObject();
    EXPECT_NEAR(model["Loading1Hour"].toDouble(), 0.74 * 2.2417023114, 1e-9);
    EXPECT_DOUBLE_EQ(model["BulkDensityDepth"].toDouble(), 0.3048);
    EXPECT_NEAR(model["SurfaceToVolume1Hour"].toDouble(), 11482.939632545931, 1e-9);
    EXPECT_DOUBLE_EQ(model["HeatContentDead"].toDouble(), 18608);
    EXPECT_EQ(model["MoistureOfExtinction"].toDouble(), 12);
    EXPECT_EQ(model["FuelCat"].toDouble(), 1);
    EXPECT_FALSE(run(fmtoolList, {good, "--json"}).out.contains("units"));
    EXPECT_EQ(run(fmtoolList, {good, "--units", "imperial"}).status, 2);
}

TEST_F(LibraryCommands, ResaveWritesTheCanonicalFileAndNeverAPartialOne)
{
    const QString out = dir.filePath("out.FFM");
    Outcome r = run(fmtoolResave, {good, out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, out + ": 2 sets, 1 model written\n");
    EXPECT_EQ(fileBytes(out),
              "\"[FuelModelSet:Grass,Count:1]\"\r\n"
              "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
              "\"[FuelModelSet:Caf\xe9,Count:0, Locked]\"\r\n\"[End]\"\r\n");

    // A file that does not read cleanly is not written anywhere.
    r = run(fmtoolResave, {bad, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(bad + ":2:"));
    EXPECT_EQ(fileBytes(out).left(30), "\"[FuelModelSet:Grass,Count:1]\"");

    r = run(fmtoolResave, {good, dir.filePath("no/such/folder.FFM")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("could not be written")) << r.err.toStdString();

    // The default library resaves unchanged.
    const QString shipped = dir.filePath("default.FFM");
    putFile(shipped, DefaultLibraryBytes());
    ASSERT_EQ(run(fmtoolResave, {shipped, out}).status, 0);
    EXPECT_EQ(fileBytes(out), DefaultLibraryBytes());
    EXPECT_EQ(run(fmtoolResave, {good}).status, 2);
}

} // namespace
