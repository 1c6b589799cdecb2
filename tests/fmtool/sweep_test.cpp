#include "analysis/CurveTable.h"
#include "data/FuelModel.h"
#include "data/ProgramState.h"
#include "fmtool/Commands.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The worked-example model, a dynamic grass and its static twin, a model without depth, and
// in a second set one with a comma in its name.
const char kLibrary[] = "\"[FuelModelSet:Test Set,Count:4, Locked]\"\r\n"
                        "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                        "\"GR2\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
                        "\"GR2s\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,1\r\n"
                        "\"X\",\"Flat\",0,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,0,1\r\n"
                        "\"[FuelModelSet:Set, two,Count:1]\"\r\n"
                        "\"9\",\"Litter\",0.2,2.92,0.41,0.15,0,0,2500,1500,1500,0.25,8000,8000,8000,3,1\r\n"
                        "\"[End]\"\r\n";

struct SweepRun
{
    int status = -1;
    std::vector<std::string> lines;
    std::string out, err;
};

std::string readAll(std::FILE *f)
{
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;)
        s.push_back(char(c));
    std::fclose(f);
    return s;
}

class FmtoolSweep : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("lib.FFM"));
        QFile f(m_path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kLibrary);
    }

    SweepRun sweep(QStringList args)
    {
        args.prepend(m_path);
        FmtoolStreams io;
        io.out = std::tmpfile();
        io.err = std::tmpfile();
        SweepRun r;
        r.status = fmtoolSweep(args, io);
        r.out = readAll(io.out);
        r.err = readAll(io.err);
        std::size_t start = 0;
        for (std::size_t nl; (nl = r.out.find('\n', start)) != std::string::npos; start = nl + 1)
            r.lines.push_back(r.out.substr(start, nl - start));
        return r;
    }

    QTemporaryDir m_dir;
    QString m_path;
};

std::string field(const std::string &line, int n)
{
    std::size_t start = 0;
    for (int i = 0; i < n; ++i)
        start = line.find(',', start) + 1;
    return line.substr(start, line.find(',', start) - start);
}

} // namespace

TEST_F(FmtoolSweep, AWindSweepOfOneModelMeetsThePublishedExample)
{
    // 20-ft wind 0 to 20 with a factor of 0.25: the last point is 5 mi/h midflame.
    const SweepRun r =
        sweep({"--set",       "Test Set", "--model",      "1", "--vary",        "wind", "--from",     "0",
               "--to",        "20",       "--steps",      "5", "--wind-adjust", "0.25", "--moist-1h", "6",
               "--moist-10h", "7",        "--moist-100h", "8"});
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 6u);
    EXPECT_EQ(r.lines[0],
              "Set,ID,20-ft wind speed (mi/h),Rate of spread (ch/h),Flame length (ft),"
              "Fireline intensity (btu/ft/s),Size after 1 hour (ac),Heat per unit area (btu/ft2),"
              "Effective wind (mi/h),Wind limit,Error");
    EXPECT_EQ(r.lines[1].rfind("Test Set,1,0,4.2,", 0), 0u) << r.lines[1];
    EXPECT_EQ(r.lines[3].rfind("Test Set,1,10,", 0), 0u) << r.lines[3];
    EXPECT_EQ(r.lines[5].rfind("Test Set,1,20,93.9,", 0), 0u) << r.lines[5];
    // About 4.6 ft, 156 btu/ft/s, 90.6 btu/ft2, 343 ac, an effective wind of 5 mi/h, no cap.
    EXPECT_NEAR(std::stod(field(r.lines[5], 4)), 4.6, 0.05);
    EXPECT_NEAR(std::stod(field(r.lines[5], 5)), 156, 0.5);
    EXPECT_NEAR(std::stod(field(r.lines[5], 6)), 343, 0.6);
    EXPECT_NEAR(std::stod(field(r.lines[5], 7)), 90.6, 0.05);
    EXPECT_NEAR(std::stod(field(r.lines[5], 8)), 5.0, 1e-9);
    EXPECT_EQ(field(r.lines[5], 9), "no");
}

TEST_F(FmtoolSweep, TheRowsAreTheWindowsExportTable)
{
    const SweepRun r = sweep({"--model", "GR2", "--vary", "moist-herb", "--steps", "4"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The window's table for the same curve: the default environment (10 mi/h x 0.7 = 7 mi/h).
    FireSpread base;
    base.setFuelMoisture1Hour(0.05);
    base.setFuelMoisture10Hour(0.06);
    base.setFuelMoisture100Hour(0.07);
    base.setFuelMoistureHerb(0.75);
    base.setFuelMoistureWoody(0.90);
    base.setWindSpeed(7);
    base.setWindSpeedNA(10);
    FuelModel gr2;
    gr2.setLoading1Hour(0.1);
    gr2.setLoadingLiveHerb(1);
    gr2.setSurfaceToVolume1Hour(2000);
    gr2.setSurfaceToVolumeLiveHerb(1800);
    gr2.setSurfaceToVolumeLiveWoody(1500);
    gr2.setMoistureOfExtinction(15);
    gr2.setHeatContentDead(8000);
    gr2.setHeatContentLiveHerb(8000);
    gr2.setHeatContentLiveWoody(8000);
    gr2.setBulkDensityDepth(1);
    gr2.setHerbType(2);
    SetModelInputs(base, gr2);
    const ModelCurve curve{QStringLiteral("Test Set"), QStringLiteral("GR2"), QStringLiteral("Library"),
                           Sweep(base, SweepInput::HerbMoisture, 30, 300, 4, 0.7)};
    QString expected = CurvesTable({curve}, SweepInput::HerbMoisture).ToCsv();
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(r.out, expected.toStdString());
    // 30, 120, 210, 300 % herb moisture.
    EXPECT_EQ(field(r.lines[2], 2), "120");
}

TEST_F(FmtoolSweep, EveryModelOfASetWithItsOwnHerbType)
{
    const SweepRun r =
        sweep({"--set", "Test Set", "--vary", "moist-herb", "--from", "30", "--to", "300", "--steps", "3"});
    // X has no depth: its rows say so and the status tells.
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1u + 4 * 3);
    const auto rosOf = [&](int line) { return field(r.lines[std::size_t(line)], 3); };
    // GR2 rows 4-6, GR2s rows 7-9, at 30, 165 and 300 %: dynamic transfer only below 120 %.
    EXPECT_NE(rosOf(4), rosOf(7));
    EXPECT_EQ(rosOf(5), rosOf(8));
    EXPECT_EQ(rosOf(6), rosOf(9));
    EXPECT_EQ(r.lines[10], "Test Set,X,30,,,,,,,,cannot compute");

    const SweepRun quoted = sweep({"--set", "Set, two", "--vary", "slope", "--steps", "2"});
    EXPECT_EQ(quoted.status, 0) << quoted.err;
    ASSERT_EQ(quoted.lines.size(), 3u);
    EXPECT_EQ(quoted.lines[2].rfind("\"Set, two\",9,100,", 0), 0u) << quoted.lines[2];
}

TEST_F(FmtoolSweep, WrongUsageIsRefusedWithTheReason)
{
    struct Case
    {
        QStringList args;
        int status;
        const char *says;
    };
    const Case cases[] = {
        {{"--model", "1"}, 2, "--vary is needed"},
        {{"--vary", "humidity"}, 2, "not one of wind"},
        {{"--vary", "wind", "--to", "120"}, 2, "outside the acceptable range 0 to 99"},
        {{"--vary", "moist-1h", "--from", "0"}, 2, "outside the acceptable range 1 to 60"},
        {{"--vary", "wind", "--steps", "0"}, 2, "--steps"},
        {{"--vary", "wind", "--steps", "2.5"}, 2, "--steps"},
        {{"--vary", "wind", "--from", "x"}, 2, "is not a number"},
        {{"--vary", "wind", "--model", "NOPE"}, 1, "no model with the ID \"NOPE\""},
        {{"--vary", "wind", "--set", "None"}, 1, "no set named \"None\""},
        // The environment options are those of fmtool table, with its ranges.
        {{"--vary", "wind", "--wind-adjust", "1.5"}, 2, "--wind-adjust: 1.5 is outside the acceptable range 0 to 1"},
        {{"--vary", "wind", "--slope", "-5"}, 2, "--slope: -5 is outside the acceptable range 0 to 1000"},
        {{"--vary", "slope", "--moist-herb", "20"}, 2, "--moist-herb: 20 is outside the acceptable range 30 to 300"},
        {{"--vary", "wind", "--conventions", "sim"}, 2, "neither core nor simulators"},
        {{"--vary", "wind", "--scenario", "D5L1"}, 2, "no standard scenario or saved environment"},
    };
    for (const Case &c : cases) {
        const SweepRun r = sweep(c.args);
        EXPECT_EQ(r.status, c.status) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(FmtoolSweep, MetricColumnsAndRange)
{
    // 20 mi/h = 32.18688 km/h exactly; with the factor 0.25 the worked example's 5 mi/h.
    const SweepRun r =
        sweep({"--model",     "1",        "--vary",       "wind", "--units",       "metric", "--from",     "0",
               "--to",        "32.18688", "--steps",      "2",    "--wind-adjust", "0.25",   "--moist-1h", "6",
               "--moist-10h", "7",        "--moist-100h", "8"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0].rfind("Set,ID,20-ft wind speed (km/h),Rate of spread (m/min),Flame length (m),"
                               "Fireline intensity (kW/m),Size after 1 hour (ha),Heat per unit area (kJ/m2),"
                               "Effective wind (km/h)",
                               0),
              0u)
        << r.lines[0];
    // The unrounded 93.8906694 ch/h (tests/engine/reference_spread.py) x 20.1168 m / 60 min =
    // 31.4797 m/min, rounded once; 5 mi/h = 8.04672 km/h.
    EXPECT_EQ(r.lines[2].rfind("Test Set,1,32.1869,31.4797,", 0), 0u) << r.lines[2];
    EXPECT_NEAR(std::stod(field(r.lines[2], 8)), 8.0467, 1e-4);
    // The metric range is the English one converted: 99 mi/h = 159.3 km/h.
    const SweepRun tooFar = sweep({"--vary", "wind", "--units", "metric", "--to", "160"});
    EXPECT_EQ(tooFar.status, 2);
    EXPECT_NE(tooFar.err.find("outside the acceptable range 0 to 159.3"), std::string::npos) << tooFar.err;
    EXPECT_EQ(sweep({"--vary", "wind", "--units", "imperial"}).status, 2);
}

TEST_F(FmtoolSweep, ConventionsScenarioAndMetricWindAsTheTableTakesThem)
{
    const QStringList point{"--vary", "moist-1h", "--from", "6", "--to", "6", "--steps", "1"};
    const SweepRun core = sweep(QStringList(point) << "--set"
                                                   << "Test Set");
    const SweepRun sim = sweep(QStringList(point) << "--set"
                                                  << "Test Set"
                                                  << "--conventions"
                                                  << "simulators");
    ASSERT_EQ(core.lines.size(), 5u);
    ASSERT_EQ(sim.lines.size(), 6u);
    EXPECT_EQ(sim.lines[0].rfind("# Computed as the fire growth simulators", 0), 0u) << sim.lines[0];
    EXPECT_EQ(sim.lines[1], core.lines[0]);
    // One fuel class: its size class holds only itself, so both conventions agree.
    EXPECT_EQ(sim.lines[2], core.lines[1]);
    // GR2 at 75 % herb moisture has half its herb cured: a class of its own as the simulators do.
    EXPECT_NE(field(sim.lines[3], 3), field(core.lines[2], 3));
    // The static twin has no cured herb: its one dead and one live class each fill their category.
    EXPECT_EQ(sim.lines[4], core.lines[3]);

    // D1L1 is 3, 4, 5 % dead and 30, 60 % live.
    const QStringList slope{"--model", "9", "--vary", "slope", "--steps", "3"};
    EXPECT_EQ(sweep(QStringList(slope) << "--scenario"
                                       << "D1L1")
                  .out,
              sweep(QStringList(slope) << "--moist-1h"
                                       << "3"
                                       << "--moist-10h"
                                       << "4"
                                       << "--moist-100h"
                                       << "5"
                                       << "--moist-herb"
                                       << "30"
                                       << "--moist-woody"
                                       << "60")
                  .out);

    // With --units metric the 20-ft wind is typed in km/h: 16.09344 km/h is the default 10 mi/h.
    const QStringList metric{"--model", "9", "--vary", "slope", "--steps", "3", "--units", "metric"};
    const SweepRun byDefault = sweep(metric);
    ASSERT_EQ(byDefault.status, 0) << byDefault.err;
    EXPECT_EQ(sweep(QStringList(metric) << "--wind"
                                        << "16.09344")
                  .out,
              byDefault.out);
    EXPECT_NE(sweep(QStringList(metric) << "--wind"
                                        << "10")
                  .out,
              byDefault.out);
}

// One midflame wind rule: at every wind of a grid the sweep gives the table's numbers. The
// factor .35 puts most midflame winds between tenths of a mi/h (0.25 x .35 = 0.0875).
TEST_F(FmtoolSweep, TheWindSweepMeetsTheTableAtEveryWindOfAGrid)
{
    const SweepRun curve = sweep({"--set", "Test Set", "--model", "GR2", "--vary", "wind", "--from", "0", "--to", "20",
                                  "--steps", "81", "--wind-adjust", "0.35", "--moist-herb", "60"});
    ASSERT_EQ(curve.status, 0) << curve.err;
    ASSERT_EQ(curve.lines.size(), 82u);
    for (int i = 0; i <= 80; ++i) {
        const std::string &row = curve.lines[std::size_t(i + 1)];
        const QString wind = QString::number(0.25 * i);
        SCOPED_TRACE(wind.toStdString());
        ASSERT_EQ(std::stod(field(row, 2)), 0.25 * i);
        FmtoolStreams io;
        io.out = std::tmpfile();
        io.err = std::tmpfile();
        // Status 1: the set's model without depth cannot be computed; GR2's row is there.
        ASSERT_EQ(fmtoolTable(
                      {m_path, "--set", "Test Set", "--wind", wind, "--wind-adjust", "0.35", "--moist-herb", "60"}, io),
                  1);
        const std::string table = readAll(io.out);
        std::fclose(io.err);
        const std::size_t at = table.find("Test Set,GR2,");
        ASSERT_NE(at, std::string::npos) << table;
        const std::string tableRow = table.substr(at, table.find('\n', at) - at);
        // Rate of spread: both to 0.1 ch/h. Fireline intensity: the table's one decimal.
        EXPECT_EQ(std::stod(field(row, 3)), std::stod(field(tableRow, 3))) << row << "\n" << tableRow;
        EXPECT_NEAR(std::stod(field(row, 5)), std::stod(field(tableRow, 4)), 0.05 + 1e-9) << row << "\n" << tableRow;
    }
}

// Text cells a spreadsheet would run as formulas are escaped in both commands' CSV; numbers
// stay bare.
TEST_F(FmtoolSweep, TableAndSweepEscapeFormulaLikeText)
{
    QFile f(m_path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"[FuelModelSet:=cmd,Count:1]\"\r\n"
            "\"@x\",\"-desc\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
            "\"[End]\"\r\n");
    f.close();
    const SweepRun curve = sweep({"--vary", "slope", "--from", "0", "--to", "10", "--steps", "2"});
    ASSERT_EQ(curve.status, 0) << curve.err;
    ASSERT_EQ(curve.lines.size(), 3u);
    EXPECT_EQ(curve.lines[1].rfind("\"'=cmd\",\"'@x\",0,", 0), 0u) << curve.lines[1];

    FmtoolStreams io;
    io.out = std::tmpfile();
    io.err = std::tmpfile();
    ASSERT_EQ(fmtoolTable({m_path}, io), 0);
    const std::string table = readAll(io.out);
    std::fclose(io.err);
    EXPECT_NE(table.find("\n\"'=cmd\",\"'@x\",\"'-desc\","), std::string::npos) << table;
}
