#include "data/ProgramState.h"
#include "fmtool/Commands.h"
#include "units/UserEnvironments.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ToolRun
{
    int status = -1;
    std::vector<std::string> lines;
    std::string err;
};

std::string readAll(std::FILE *f)
{
    std::rewind(f);
    std::string s;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        s.push_back(char(c));
    return s;
}

ToolRun runTool(int (*command)(const QStringList &, const FmtoolStreams &), const std::string &input,
                const QStringList &args)
{
    FmtoolStreams io;
    io.in = std::tmpfile();
    io.out = std::tmpfile();
    io.err = std::tmpfile();
    std::fputs(input.c_str(), io.in);
    std::rewind(io.in);
    ToolRun r;
    r.status = command(args, io);
    const std::string out = readAll(io.out);
    std::size_t start = 0;
    for (std::size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        r.lines.push_back(out.substr(start, nl - start));
    EXPECT_EQ(start, out.size()) << "output ends without a newline";
    r.err = readAll(io.err);
    std::fclose(io.in);
    std::fclose(io.out);
    std::fclose(io.err);
    return r;
}

ToolRun runCompute(const std::string &input, const QStringList &args = {})
{
    return runTool(fmtoolCompute, input, args);
}

QJsonObject parse(const std::string &line)
{
    QJsonParseError e;
    const QJsonDocument d = QJsonDocument::fromJson(QByteArray::fromStdString(line), &e);
    EXPECT_EQ(e.error, QJsonParseError::NoError) << line;
    return d.object();
}

const std::string kWorkedExample =
    R"({"Loading1Hour": 0.74, "SurfaceToVolume1Hour": 3500, "HeatContentDead": 8000, "BulkDensityDepth": 1,)"
    R"( "MoistureOfExtinction": 0.12, "FuelMoisture1Hour": 0.06, "FuelMoisture10Hour": 0.07,)"
    R"( "FuelMoisture100Hour": 0.08, "WindSpeed": 5})";

} // namespace

TEST(FmtoolCompute, OneResultLinePerRequest)
{
    std::string calm = kWorkedExample;
    calm.replace(calm.find("\"WindSpeed\": 5"), 14, "\"WindSpeed\": 0, \"WindSpeedNA\": 3");
    const ToolRun r = runCompute(kWorkedExample + "\n" + calm + "\r\n");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.status, 0);

    // Every output by name, in order, numbers with 17 significant digits, the flag as a boolean.
    EXPECT_EQ(r.lines[0].rfind(R"({"RateOfSpread": 93.900000000000006, "FireLineIntensity": )", 0), 0u) << r.lines[0];
    const QJsonObject windy = parse(r.lines[0]);
    EXPECT_EQ(windy.keys(),
              (QStringList{"DoubleEllipseArea", "EWind", "FireLineIntensity", "FlameLength", "HeatPerUnitArea",
                           "MaxWindSpeedMet", "PackRatio", "RateOfSpread", "SingleEllipseArea", "SurfToVol"}));
    EXPECT_TRUE(windy["MaxWindSpeedMet"].isBool());
    EXPECT_FALSE(windy["MaxWindSpeedMet"].toBool());
    EXPECT_NEAR(windy["SingleEllipseArea"].toDouble(), 343, 0.5);
    EXPECT_EQ(parse(r.lines[1])["RateOfSpread"].toDouble(), 4.2);
}

TEST(FmtoolCompute, BadLinesGetAnErrorAndTheRestGoesOn)
{
    const std::string lines[] = {
        "{}",                           // nothing set: no fuel
        "{\"Loading1Hour\": 0.74",      // not valid JSON
        "",                             // empty line
        "[1, 2]",                       // not an object
        "{\"RateofSpread\": 1}",        // unknown property
        "{\"RateOfSpread\": 1}",        // an output, not an input
        "{\"Loading1Hour\": \"0.74\"}", // not a number
        kWorkedExample,
        R"({"Loading1Hour": 0.5, "BulkDensityDepth": 1, "WindSpeed": -1, "MoistureOfExtinction": 0.2,)"
        R"( "SurfaceToVolume1Hour": 2000, "HeatContentDead": 8000})",
    };
    std::string input;
    for (const std::string &l : lines)
        input += l + "\n";
    const ToolRun r = runCompute(input);
    ASSERT_EQ(r.lines.size(), std::size(lines));
    EXPECT_EQ(r.status, 1);
    const char *reasons[] = {"no fuel",
                             "invalid JSON",
                             "invalid JSON",
                             "JSON object",
                             "unknown property: RateofSpread",
                             "not an input property: RateOfSpread",
                             "a number is expected",
                             nullptr,
                             "negative wind speed"};
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        const QJsonObject o = parse(r.lines[i]);
        if (reasons[i] == nullptr) {
            EXPECT_FALSE(o.contains("error")) << r.lines[i];
            EXPECT_EQ(o["RateOfSpread"].toDouble(), 93.9);
        } else {
            ASSERT_EQ(o.keys(), QStringList{QStringLiteral("error")}) << r.lines[i];
            EXPECT_TRUE(o["error"].toString().contains(reasons[i])) << r.lines[i];
        }
    }
}

TEST(FmtoolCompute, UsageAndEmptyInput)
{
    const ToolRun empty = runCompute("");
    EXPECT_EQ(empty.status, 0);
    EXPECT_TRUE(empty.lines.empty());

    const ToolRun extra = runCompute(kWorkedExample + "\n", QStringList{QStringLiteral("file.jsonl")});
    EXPECT_EQ(extra.status, 2);
    EXPECT_TRUE(extra.lines.empty());
    EXPECT_NE(extra.err.find("usage"), std::string::npos);

    // A last line without a newline still gets its answer.
    const ToolRun unterminated = runCompute(kWorkedExample);
    ASSERT_EQ(unterminated.lines.size(), 1u);
    EXPECT_EQ(parse(unterminated.lines[0])["RateOfSpread"].toDouble(), 93.9);
}

namespace {

// A two-set library: the worked-example model, a dynamic grass, a model that cannot be
// computed (no fuel bed depth) and, in a second set, one model with a comma in its text.
const char kLibrary[] = "\"[FuelModelSet:Test Set,Count:4, Locked]\"\r\n"
                        "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                        "\"GR2\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"
                        "\"GR2s\",\"Dry grass\",1,0.1,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,1\r\n"
                        "\"X\",\"Flat\",0,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,1,1\r\n"
                        "\"[FuelModelSet:Other,Count:1]\"\r\n"
                        "\"9\",\"Litter, hardwood\",0.2,2.92,0.41,0.15,0,0,2500,1500,1500,0.25,8000,8000,8000,3,1\r\n"
                        "\"[End]\"\r\n";

class FmtoolTable : public ::testing::Test
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

    ToolRun table(QStringList options)
    {
        options.prepend(m_path);
        return runTool(fmtoolTable, "", options);
    }

    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace

TEST_F(FmtoolTable, RowsFormattedAsTheEditorShowsThem)
{
    // The worked example's environment: 6/7/8 %, midflame 5 mi/h (20-ft wind 5 x factor 1).
    const ToolRun r =
        table({"--moist-1h", "6", "--moist-10h=7", "--moist-100h", "8", "--wind", "5", "--wind-adjust", "1"});
    ASSERT_EQ(r.lines.size(), 6u) << r.err;
    EXPECT_EQ(r.lines[0],
              "Set,ID,Description,ROS (ch/h),Fireline Intensity (btu/ft/s),Flame Length (ft),"
              "Size After 1 Hour (ac),Char SA/V (ft2/ft3),Relative Packing Ratio,Error");
    EXPECT_EQ(r.lines[1], "Test Set,1,Short grass,93.9,155.9,4.6,342.5,3500,0.253,");
    EXPECT_EQ(r.lines[4].rfind("Test Set,X,Flat,,,,,,,", 0), 0u) << r.lines[4];
    EXPECT_NE(r.lines[4].find("fuel bed depth 0"), std::string::npos) << r.lines[4];
    EXPECT_EQ(r.lines[5].rfind("Other,9,\"Litter, hardwood\",", 0), 0u) << r.lines[5];
    EXPECT_EQ(r.status, 1); // one model failed
}

TEST_F(FmtoolTable, EnvironmentDefaultsHerbTypeAndSetFilter)
{
    const ToolRun byDefault = table({"--set", "Test Set"});
    ASSERT_EQ(byDefault.lines.size(), 5u) << byDefault.err;
    // Defaults 5/6/7/75/90 %, 20-ft wind 10 mi/h x 0.7, flat: as given explicitly.
    const ToolRun explicitly =
        table({"--set", "Test Set", "--moist-1h", "5", "--moist-10h", "6", "--moist-100h", "7", "--moist-herb", "75",
               "--moist-woody", "90", "--wind", "7", "--wind-adjust", "1", "--slope", "0"});
    EXPECT_EQ(explicitly.lines, byDefault.lines);
    // The dynamic grass cures part of its herb load at 75 % and outruns its static twin.
    const auto ros = [](const std::string &row) { // seventh field from the end
        std::size_t p = row.size();
        for (int i = 0; i < 7; ++i)
            p = row.rfind(',', p - 1);
        return std::stod(row.substr(p + 1));
    };
    EXPECT_GT(ros(byDefault.lines[2]), ros(byDefault.lines[3]));

    // As in the editor, the midflame wind is the 20-ft wind times the factor shown with one
    // decimal: 11 x 0.313 = 3.443 computes as 3.4 mi/h.
    EXPECT_EQ(table({"--wind", "11", "--wind-adjust", "0.313"}).lines,
              table({"--wind", "3.4", "--wind-adjust", "1"}).lines);

    const ToolRun steep = table({"--set", "Other", "--slope", "60"});
    ASSERT_EQ(steep.lines.size(), 2u);
    EXPECT_EQ(steep.status, 0);
    const ToolRun flat = table({"--set", "Other"});
    EXPECT_GT(ros(steep.lines[1]), ros(flat.lines[1]));
}

TEST_F(FmtoolTable, RefusesWhatTheEditorWouldRefuse)
{
    // A factor of 1e308 would make the midflame wind infinite and every row windless; a huge
    // or negative slope or factor, or one that is not a finite number, is refused the same way.
    const QStringList bad[] = {{"--moist-1h", "0.5"},      {"--moist-herb", "301"},   {"--wind", "100"},
                               {"--wind", "ten"},          {"--colour", "red"},       {"--slope"},
                               {"--wind-adjust", "1e308"}, {"--wind-adjust", "1.01"}, {"--wind-adjust", "-0.1"},
                               {"--wind-adjust=inf"},      {"--slope", "-5"},         {"--slope", "1e308"},
                               {"--slope", "nan"},         {"--moist-woody", "-inf"}};
    for (const QStringList &options : bad) {
        const ToolRun r = table(options);
        EXPECT_EQ(r.status, 2) << options.join(' ').toStdString();
        EXPECT_TRUE(r.lines.empty());
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_NE(r.err.find(options[0].section('=', 0, 0).toStdString()), std::string::npos) << r.err;
    }
    // The ends of the ranges are accepted.
    for (const QStringList &options :
         {QStringList{"--wind-adjust", "0", "--slope", "1000"}, QStringList{"--wind-adjust", "1", "--slope", "0"}})
        EXPECT_EQ(table(options + QStringList{"--set", "Other"}).status, 0) << options.join(' ').toStdString();
    const ToolRun noSet = table({"--set", "Nowhere"});
    EXPECT_EQ(noSet.status, 1);
    EXPECT_TRUE(noSet.lines.empty());
    EXPECT_NE(noSet.err.find("Nowhere"), std::string::npos);

    const ToolRun missing = runTool(fmtoolTable, "", {m_dir.filePath(QStringLiteral("none.FFM"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.lines.empty());

    QFile broken(m_path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\"[FuelModelSet:A,Count:1]\"\r\n\"1\",\"x\",1,abc\r\n");
    broken.close();
    const ToolRun unreadable = table({});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(unreadable.lines.empty());
    EXPECT_NE(unreadable.err.find("lib.FFM:2"), std::string::npos) << unreadable.err;
}

// The worked example in metric: 93.9 ch/h = 31.48 m/min; 155.88 btu/ft/s = 539.6 kW/m; the
// wind is typed in km/h (5 mi/h = 8.04672 km/h).
TEST_F(FmtoolTable, MetricUnitsAndScenarios)
{
    const ToolRun metric = table({"--moist-1h", "6", "--moist-10h=7", "--moist-100h", "8", "--wind", "8.04672",
                                  "--wind-adjust", "1", "--units", "metric", "--set", "Test Set"});
    ASSERT_GE(metric.lines.size(), 2u) << metric.err;
    EXPECT_EQ(metric.lines[0],
              "Set,ID,Description,ROS (m/min),Fireline Intensity (kW/m),Flame Length (m),"
              "Size After 1 Hour (ha),Char SA/V (m2/m3),Relative Packing Ratio,Error");
    const QStringList row = QString::fromStdString(metric.lines[1]).split(u',');
    ASSERT_EQ(row.size(), 10);
    EXPECT_EQ(row[3], QStringLiteral("31.48"));
    EXPECT_EQ(row[4], QStringLiteral("539.6"));
    EXPECT_NEAR(row[5].toDouble(), 4.6 * 0.3048, 0.02);
    EXPECT_NEAR(row[6].toDouble(), 342.5 * 0.40468564224, 0.03);
    EXPECT_EQ(row[7], QStringLiteral("11483"));
    EXPECT_EQ(row[8], QStringLiteral("0.253"));
    // 100 mi/h is out of range in either unit; 159.3 km/h (98.98 mi/h) is not.
    EXPECT_EQ(table({"--units", "metric", "--wind", "161"}).status, 2);
    EXPECT_EQ(table({"--units", "metric", "--wind", "159.3"}).status, 1); // the flat model fails, as in English
    EXPECT_EQ(table({"--units", "furlongs"}).status, 2);

    // D2L3: dead 6, 7, 8 %, live 90, 120 %; an explicit moisture wins wherever it stands.
    const ToolRun d2l3 = table({"--scenario", "D2L3"});
    const ToolRun spelled = table(
        {"--moist-1h", "6", "--moist-10h", "7", "--moist-100h", "8", "--moist-herb", "90", "--moist-woody", "120"});
    ASSERT_GE(d2l3.lines.size(), 2u) << d2l3.err;
    EXPECT_EQ(d2l3.lines, spelled.lines);
    const ToolRun overridden = table({"--moist-1h", "3", "--scenario", "d2l3"});
    const ToolRun overriddenSpelled = table(
        {"--moist-1h", "3", "--moist-10h", "7", "--moist-100h", "8", "--moist-herb", "90", "--moist-woody", "120"});
    EXPECT_EQ(overridden.lines, overriddenSpelled.lines);
    EXPECT_NE(overridden.lines, d2l3.lines);
    const ToolRun unknown = table({"--scenario", "D9L9"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("D9L9"), std::string::npos);
}

TEST_F(FmtoolTable, SavedEnvironmentByName)
{
    // A saved environment sets the moistures, the wind, its factor and the slope; an option given
    // as well overrides only its own value.
    const Units::UserEnvironment dry{QStringLiteral("Dry August"), 3, 4, 6, 40, 70, 12, 0.4, 30};
    ASSERT_TRUE(Units::SaveUserEnvironment(dry));
    const ToolRun named = table({"--scenario", " dry august "});
    const ToolRun spelled = table({"--moist-1h", "3", "--moist-10h", "4", "--moist-100h", "6", "--moist-herb", "40",
                                   "--moist-woody", "70", "--wind", "12", "--wind-adjust", "0.4", "--slope", "30"});
    const ToolRun calmer = table({"--wind", "5", "--scenario", "Dry August"});
    const ToolRun calmerSpelled =
        table({"--moist-1h", "3", "--moist-10h", "4", "--moist-100h", "6", "--moist-herb", "40", "--moist-woody", "70",
               "--wind", "5", "--wind-adjust", "0.4", "--slope", "30"});
    Units::RemoveUserEnvironment(dry.name);
    ASSERT_EQ(named.lines.size(), 6u) << named.err;
    EXPECT_EQ(named.lines, spelled.lines);
    EXPECT_EQ(calmer.lines, calmerSpelled.lines);
    EXPECT_NE(calmer.lines, named.lines);
    EXPECT_NE(named.lines, table({}).lines);
}
