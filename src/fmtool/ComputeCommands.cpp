// fmtool compute: the calculator as a filter, one JSON object per line in, one per line out.
// fmtool table: the analyst's batch table of a library file at one environment.
#include "fmtool/Commands.h"

#include "engine/FireSpread.h"
#include "engine/SurfaceSpread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cstdio>
#include <string>

namespace {

// The outputs in the order every result line lists them.
const char *const kOutputs[] = {"RateOfSpread",      "FireLineIntensity", "FlameLength", "HeatPerUnitArea",
                                "EWind",             "MaxWindSpeedMet",   "SingleEllipseArea",
                                "DoubleEllipseArea", "SurfToVol",         "PackRatio"};

bool readLine(std::FILE *in, std::string &line)
{
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF) {
        if (c == '\n')
            return true;
        line.push_back(char(c));
    }
    return !line.empty();
}

std::string jsonString(const QString &text)
{
    // Qt serialises strings only inside a container; strip the brackets of a one-element array.
    const QByteArray a = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2).toStdString();
}

std::string errorLine(const QString &reason)
{
    return "{\"error\": " + jsonString(reason) + "}";
}

std::string number17(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Result line for one request, or an error line; ok tells which.
std::string computeLine(const std::string &line, bool &ok)
{
    ok = false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return errorLine(QStringLiteral("invalid JSON: %1 at offset %2")
                             .arg(parseError.errorString())
                             .arg(parseError.offset));
    if (!doc.isObject())
        return errorLine(QStringLiteral("invalid request: a JSON object of input properties is expected"));

    FireSpread spread;
    const QJsonObject request = doc.object();
    for (auto it = request.begin(); it != request.end(); ++it) {
        const std::string name = it.key().toStdString();
        bool output = false;
        try {
            output = FireSpread::IsOutputProperty(name);
        } catch (const std::invalid_argument &) {
            return errorLine(QStringLiteral("unknown property: ") + it.key());
        }
        if (output)
            return errorLine(QStringLiteral("not an input property: ") + it.key());
        if (!it.value().isDouble())
            return errorLine(QStringLiteral("property %1: a number is expected").arg(it.key()));
        spread.SetProperty(name, it.value().toDouble());
    }

    try {
        spread.Compute();
    } catch (const ArithmeticError &e) {
        return errorLine(QString::fromStdString(e.what()));
    }

    std::string out = "{";
    for (const char *name : kOutputs) {
        if (out.size() > 1)
            out += ", ";
        out += '"';
        out += name;
        out += "\": ";
        if (std::string_view(name) == "MaxWindSpeedMet")
            out += spread.MaxWindSpeedMet() != 0 ? "true" : "false";
        else
            out += number17(spread.GetProperty(name));
    }
    out += '}';
    ok = true;
    return out;
}

} // namespace

int fmtoolCompute(const QStringList &args, const FmtoolStreams &io)
{
    if (!args.isEmpty()) {
        std::fputs("usage: fmtool compute < requests.jsonl\n"
                   "  Each input line is a JSON object of FireSpread input properties, e.g.\n"
                   "  {\"Loading1Hour\": 0.74, \"SurfaceToVolume1Hour\": 3500, ...}; each output line holds\n"
                   "  the outputs, or {\"error\": \"...\"}. Exit status 1 when any line failed.\n",
                   io.err);
        return 2;
    }
    bool allOk = true;
    std::string line;
    while (readLine(io.in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        bool ok = false;
        const std::string result = computeLine(line, ok);
        allOk = allOk && ok;
        std::fputs(result.c_str(), io.out);
        std::fputc('\n', io.out);
        std::fflush(io.out);
    }
    if (std::ferror(io.out)) {
        std::fputs("fmtool compute: cannot write the results\n", io.err);
        return 1;
    }
    return allOk ? 0 : 1;
}

int fmtoolTable(const QStringList &, const FmtoolStreams &io)
{
    std::fputs("fmtool table: not available yet\n", io.err);
    return 2;
}
