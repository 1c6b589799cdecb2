// fmtool uncertainty and fmtool sobol through their command lines.
#include "support/CapturedRun.h"

#include "data/ProgramState.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The dead-fuel worked example (0.74 t/ac 1-h, SA/V 3500, 1 ft, extinction 12 %: 93.9 ch/h at
// 6/7/8 % and 5 mi/h midflame, 4.2 ch/h without wind), a dynamic grass and a shrub with every
// dead class.
const char kLibrary[] = "\"[FuelModelSet:Test Set,Count:3, Locked]\"\r\n"
                        "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                        "\"GR2\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
                        "\"SH2\",\"Shrub\",1,1.35,2.4,0.75,0,3.85,2000,1800,1600,0.15,8000,8000,8000,1,1\r\n"
                        "\"[End]\"\r\n";

const QStringList kWorkedEnvironment = {"--moist-1h", "6",  "--moist-10h",   "7",  "--moist-100h", "8",
                                        "--wind",     "10", "--wind-adjust", "0.5"};

class FmtoolUncertainty : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("lib.FFM"));
        putFile(m_path, kLibrary);
    }

    Outcome uncertainty(const QString &model, QStringList args)
    {
        args = QStringList{m_path, "--set", "Test Set", "--model", model} + args;
        return run(fmtoolUncertainty, args);
    }

    Outcome sobol(const QString &model, QStringList args)
    {
        args = QStringList{m_path, "--set", "Test Set", "--model", model} + args;
        return run(fmtoolSobol, args);
    }

    QTemporaryDir m_dir;
    QString m_path;
};

QStringList lines(const QString &text)
{
    QStringList l = text.split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

} // namespace

TEST_F(FmtoolUncertainty, NothingMovingGivesThePublishedRateEverywhere)
{
    const Outcome r = uncertainty(
        "1", QStringList{"--vary", "load-1h=pct:0", "--vary", "moist-1h=cv:0", "--draws", "200"} + kWorkedEnvironment);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList l = lines(r.out);
    ASSERT_EQ(l.size(), 4);
    EXPECT_EQ(l[0], "output,unit,mean,sd,p5,p25,p50,p75,p95");
    const QStringList ros = l[1].split(',');
    ASSERT_EQ(ros.size(), 9);
    EXPECT_EQ(ros[0], "ros");
    EXPECT_EQ(ros[1], "ch/h");
    EXPECT_NEAR(ros[2].toDouble(), 93.9, 0.05);
    EXPECT_EQ(ros[3].toDouble(), 0);
    for (int k = 4; k < 9; ++k)
        EXPECT_EQ(ros[k], ros[2]) << k;
    EXPECT_TRUE(l[2].startsWith("flame-length,ft,"));
    EXPECT_TRUE(l[3].startsWith("intensity,btu/ft/s,"));

    // Without wind: 4.2 ch/h.
    const Outcome calm =
        uncertainty("1", QStringList{"--vary", "slope=pct:0"} + kWorkedEnvironment + QStringList{"--wind", "0"});
    ASSERT_EQ(calm.status, 0) << calm.err.toStdString();
    EXPECT_NEAR(lines(calm.out)[1].split(',')[6].toDouble(), 4.2, 0.05);
}

TEST_F(FmtoolUncertainty, MetricUnitsAndRangesTypedInThem)
{
    // 16.09344 km/h is exactly 10 mi/h: a range of that one value is the English run's point.
    const Outcome metric =
        uncertainty("1",
                    {"--units", "metric", "--vary", "wind=range:16.09344:16.09344", "--moist-1h", "6", "--moist-10h",
                     "7", "--moist-100h", "8", "--wind-adjust", "0.5", "--draws", "50"});
    ASSERT_EQ(metric.status, 0) << metric.err.toStdString();
    const QStringList l = lines(metric.out);
    EXPECT_TRUE(l[1].startsWith("ros,m/min,"));
    EXPECT_TRUE(l[2].startsWith("flame-length,m,"));
    EXPECT_TRUE(l[3].startsWith("intensity,kW/m,"));
    // 93.9 ch/h = 93.9 x 20.1168 / 60 m/min = 31.48 m/min.
    EXPECT_NEAR(l[1].split(',')[6].toDouble(), 31.48, 0.02);
}

TEST_F(FmtoolUncertainty, SpreadOfTheOutputsFollowsTheInputs)
{
    const QStringList varying = {"--vary", "moist-1h=pct:30",  "--vary", "moist-10h=pct:30", "--vary", "wind=pct:25",
                                 "--vary", "load-herb=pct:20", "--vary", "moist-herb=cv:0.2"};
    const Outcome a = uncertainty("SH2", varying);
    ASSERT_EQ(a.status, 0) << a.err.toStdString();
    const QStringList ros = lines(a.out)[1].split(',');
    // The quantiles ascend and the mean sits between the outer ones.
    for (int k = 5; k < 9; ++k)
        EXPECT_LT(ros[k - 1].toDouble(), ros[k].toDouble()) << k;
    EXPECT_GT(ros[2].toDouble(), ros[4].toDouble());
    EXPECT_LT(ros[2].toDouble(), ros[8].toDouble());
    EXPECT_GT(ros[3].toDouble(), 0);
    // The seed repeats a result exactly and another seed changes it.
    EXPECT_EQ(uncertainty("SH2", varying).out, a.out);
    EXPECT_NE(uncertainty("SH2", varying + QStringList{"--seed", "2"}).out, a.out);
    EXPECT_NE(uncertainty("SH2", varying + QStringList{"--sampling", "random"}).out, a.out);
    EXPECT_NE(uncertainty("SH2", varying + QStringList{"--correlation", "0"}).out, a.out);
    // Environment options as fmtool table takes them move the point.
    EXPECT_NE(uncertainty("SH2", varying + QStringList{"--scenario", "D4L4"}).out, a.out);
}

TEST_F(FmtoolUncertainty, JsonGivesExceedanceAndTheShareThatDoesNotSpread)
{
    // The 1-h moisture at 13-20 % is above the 12 % extinction moisture: nothing spreads.
    const Outcome still = uncertainty("1", {"--vary", "moist-1h=range:13:20", "--json", "--draws", "100"});
    ASSERT_EQ(still.status, 0) << still.err.toStdString();
    EXPECT_TRUE(still.out.contains("\"no-spread\": 1}")) << still.out.toStdString();
    EXPECT_TRUE(still.out.contains("{\"threshold\": 4, \"unit\": \"ft\", \"probability\": 0}"));
    EXPECT_TRUE(still.out.contains("{\"threshold\": 11, \"unit\": \"ft\", \"probability\": 0}"));
    // Half the range below extinction (7-17 %, spread below 12 %): about half spreads.
    const Outcome half = uncertainty("1", {"--vary", "moist-1h=range:7:17", "--json", "--thresholds", "0.5,2"});
    ASSERT_EQ(half.status, 0) << half.err.toStdString();
    const qsizetype at = half.out.indexOf("\"no-spread\": ");
    ASSERT_GE(at, 0);
    EXPECT_NEAR(half.out.mid(at + 13).chopped(2).toDouble(), 0.5, 0.01);
    // Flames shrink towards extinction: fewer than the spreading half are longer than 0.5 ft,
    // fewer still longer than 2 ft.
    const qsizetype shortFlames = half.out.indexOf("{\"threshold\": 0.5, \"unit\": \"ft\", \"probability\": 0.");
    const qsizetype longFlames = half.out.indexOf("{\"threshold\": 2, \"unit\": \"ft\", \"probability\": 0.");
    ASSERT_GE(shortFlames, 0);
    ASSERT_GE(longFlames, 0);
    const double overShort = half.out.mid(shortFlames + 47, 6).toDouble();
    const double overLong = half.out.mid(longFlames + 45, 6).toDouble();
    EXPECT_LT(overShort, 0.5);
    EXPECT_GT(overShort, overLong);
    EXPECT_GT(overLong, 0.1);
    EXPECT_TRUE(half.out.contains("\"output\": \"flame-length\", \"unit\": \"ft\""));
    // Metric thresholds by default: 1.2, 2.4 and 3.4 m.
    const Outcome metric = uncertainty("1", {"--vary", "wind=pct:10", "--json", "--units", "metric"});
    EXPECT_TRUE(metric.out.contains("{\"threshold\": 1.2, \"unit\": \"m\""));
    EXPECT_TRUE(metric.out.contains("{\"threshold\": 2.4, \"unit\": \"m\""));
    EXPECT_TRUE(metric.out.contains("{\"threshold\": 3.4, \"unit\": \"m\""));
}

TEST_F(FmtoolUncertainty, WrongUsageIsRefusedWithItsReason)
{
    const struct
    {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"--vary", "colour=pct:10"}, "\"colour\" is not an input"},
        {{"--vary", "wind=pct"}, "expected pct:P"},
        {{"--vary", "wind"}, "is not NAME=DIST"},
        {{}, "--vary is needed"},
        {{"--vary", "wind=pct:10", "--vary", "midflame-wind=pct:10"}, "midflame-wind cannot vary"},
        {{"--vary", "moist-herb=range:1:20"}, "moist-herb"},
        {{"--vary", "wind=pct:10", "--correlation", "1.5"}, "--correlation"},
        {{"--vary", "wind=pct:10", "--draws", "0"}, "--draws"},
        {{"--vary", "wind=pct:10", "--sampling", "halton"}, "--sampling"},
        {{"--vary", "wind=pct:10", "--moist-1h", "99"}, "outside the acceptable range"},
        {{"--vary", "wind=pct:10", "--thresholds", "4,x"}, "--thresholds"},
        {{"--vary", "wind=pct:10", "--colour", "red"}, "unknown option --colour"},
    };
    for (const auto &c : cases) {
        const Outcome r = uncertainty("1", c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const Outcome noModel = uncertainty("GR9", {"--vary", "wind=pct:10"});
    EXPECT_EQ(noModel.status, 1);
    EXPECT_TRUE(noModel.err.contains("no model with the ID \"GR9\""));
    const Outcome noSet = run(fmtoolUncertainty, {m_path, "--set", "Other", "--model", "1", "--vary", "wind=pct:10"});
    EXPECT_EQ(noSet.status, 1);
    EXPECT_TRUE(noSet.err.contains("no set named \"Other\""));
    EXPECT_EQ(run(fmtoolUncertainty, {m_path, "--vary", "wind=pct:10"}).status, 2);
    const Outcome help = run(fmtoolUncertainty, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--moist-herb"));
}

TEST_F(FmtoolUncertainty, SobolRowsPerInputAndOutput)
{
    const Outcome r = sobol(
        "GR2",
        {"--vary", "moist-herb=pct:30", "--vary", "heat-dead=pct:0", "--vary", "wind=pct:25", "--samples", "4096"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList l = lines(r.out);
    ASSERT_EQ(l.size(), 7);
    EXPECT_EQ(l[0], "input,output,S1,S1-low,S1-high,ST,ST-low,ST-high");
    const char *expected[] = {"moist-herb,ros,", "moist-herb,flame-length,",
                              "heat-dead,ros,",  "heat-dead,flame-length,",
                              "wind,ros,",       "wind,flame-length,"};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(l[i + 1].startsWith(QLatin1String(expected[i]))) << l[i + 1].toStdString();
    // The fixed heat content carries nothing.
    EXPECT_EQ(l[3], "heat-dead,ros,0,0,0,0,0,0");
    // Interval around each estimate.
    for (int i = 1; i < 7; ++i) {
        const QStringList f = l[i].split(',');
        ASSERT_EQ(f.size(), 8);
        EXPECT_LE(f[3].toDouble(), f[2].toDouble());
        EXPECT_GE(f[4].toDouble(), f[2].toDouble());
        EXPECT_LE(f[6].toDouble(), f[5].toDouble());
        EXPECT_GE(f[7].toDouble(), f[5].toDouble());
    }
    // One moving input carries everything.
    const Outcome alone = sobol("1", {"--vary", "wind=pct:40", "--samples", "2048", "--bootstrap", "0"});
    ASSERT_EQ(alone.status, 0) << alone.err.toStdString();
    const QStringList f = lines(alone.out)[1].split(',');
    EXPECT_NEAR(f[2].toDouble(), 1, 0.03);
    EXPECT_NEAR(f[5].toDouble(), 1, 0.03);
    EXPECT_EQ(f[3], f[2]); // no resamples: the interval is the estimate
    EXPECT_EQ(sobol("1", {"--vary", "wind=pct:40", "--samples", "1"}).status, 2);
}
