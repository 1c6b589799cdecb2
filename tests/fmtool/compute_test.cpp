#include "fmtool/Commands.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

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

ToolRun runCompute(const std::string &input, const QStringList &args = {})
{
    FmtoolStreams io;
    io.in = std::tmpfile();
    io.out = std::tmpfile();
    io.err = std::tmpfile();
    std::fputs(input.c_str(), io.in);
    std::rewind(io.in);
    ToolRun r;
    r.status = fmtoolCompute(args, io);
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
    EXPECT_EQ(windy.keys(), (QStringList{"DoubleEllipseArea", "EWind", "FireLineIntensity", "FlameLength",
                                         "HeatPerUnitArea", "MaxWindSpeedMet", "PackRatio", "RateOfSpread",
                                         "SingleEllipseArea", "SurfToVol"}));
    EXPECT_TRUE(windy["MaxWindSpeedMet"].isBool());
    EXPECT_FALSE(windy["MaxWindSpeedMet"].toBool());
    EXPECT_NEAR(windy["SingleEllipseArea"].toDouble(), 343, 0.5);
    EXPECT_EQ(parse(r.lines[1])["RateOfSpread"].toDouble(), 4.2);
}

TEST(FmtoolCompute, BadLinesGetAnErrorAndTheRestGoesOn)
{
    const std::string lines[] = {
        "{}",                                       // nothing set: no fuel
        "{\"Loading1Hour\": 0.74",                  // not valid JSON
        "",                                         // empty line
        "[1, 2]",                                   // not an object
        "{\"RateofSpread\": 1}",                    // unknown property
        "{\"RateOfSpread\": 1}",                    // an output, not an input
        "{\"Loading1Hour\": \"0.74\"}",             // not a number
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
    const char *reasons[] = {"no fuel", "invalid JSON", "invalid JSON", "JSON object", "unknown property: RateofSpread",
                             "not an input property: RateOfSpread", "a number is expected", nullptr,
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
