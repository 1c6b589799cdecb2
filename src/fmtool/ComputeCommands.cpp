// fmtool compute: the calculator as a filter, one JSON object per line in, one per line out.
// fmtool table: the analyst's batch table of a library file at one environment.
#include "fmtool/Commands.h"
#include "fmtool/EnvironmentOptions.h"

#include "analysis/ShownResults.h"
#include "data/CsvTable.h"
#include "data/FuelModelSets.h"
#include "data/ModelComputation.h"
#include "data/NumberText.h"
#include "engine/FireSpread.h"
#include "engine/SurfaceSpread.h"
#include "library/LibraryFile.h"
#include "units/Units.h"

#include <QFile>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The outputs in the order every result line lists them.
const char *const kOutputs[] = {"RateOfSpread", "FireLineIntensity", "FlameLength",       "HeatPerUnitArea",
                                "EWind",        "MaxWindSpeedMet",   "SingleEllipseArea", "DoubleEllipseArea",
                                "SurfToVol",    "PackRatio"};

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
std::string computeLine(const std::string &line, SpreadConventions conventions, bool &ok)
{
    ok = false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return errorLine(
            QStringLiteral("invalid JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
    if (!doc.isObject())
        return errorLine(QStringLiteral("invalid request: a JSON object of input properties is expected"));

    FireSpread spread;
    spread.setConventions(conventions);
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
    // The mark of results computed as the simulators do; the core's lines stay as they were.
    if (conventions == SpreadConventions::Simulators)
        out += ", \"Conventions\": \"simulators\"";
    out += '}';
    ok = true;
    return out;
}

} // namespace

int fmtoolCompute(const QStringList &args, const FmtoolStreams &io)
{
    SpreadConventions conventions = SpreadConventions::Core;
    bool usageOk = true;
    for (qsizetype i = 0; i < args.size() && usageOk; ++i) {
        QString value;
        if (args[i] == QLatin1String("--conventions") && i + 1 < args.size())
            value = args[++i];
        else if (args[i].startsWith(QLatin1String("--conventions=")))
            value = args[i].mid(14);
        usageOk = ParseConventions(value, conventions);
    }
    if (!usageOk) {
        std::fputs("usage: fmtool compute [--conventions core|simulators] < requests.jsonl\n"
                   "  Each input line is a JSON object of FireSpread input properties, e.g.\n"
                   "  {\"Loading1Hour\": 0.74, \"SurfaceToVolume1Hour\": 3500, ...}; each output line holds\n"
                   "  the outputs, or {\"error\": \"...\"}. Exit status 1 when any line failed.\n"
                   "  --conventions: as the library's core (the default) or as the fire growth simulators.\n",
                   io.err);
        return 2;
    }
    bool allOk = true;
    std::string line;
    while (readLine(io.in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        bool ok = false;
        const std::string result = computeLine(line, conventions, ok);
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

namespace {

const char kTableUsage[] =
    "usage: fmtool table FILE [--set NAME] [--moist-1h P] [--moist-10h P] [--moist-100h P]\n"
    "                         [--moist-herb P] [--moist-woody P] [--wind MPH] [--wind-adjust F]\n"
    "                         [--slope P] [--scenario NAME] [--units english|metric]\n"
    "                         [--conventions core|simulators]\n"
    "  CSV of the fire behavior of every model in the library FILE (or only the sets named NAME)\n"
    "  at one environment, as the Edit and Test Center computes it:\n";

const char kTableUsageEnd[] = "  Exit status 1 when the file cannot be read or any model fails to compute.\n";

int tableUsage(std::FILE *to, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(to, "fmtool table: %s\n", problem.toLocal8Bit().constData());
    std::fputs(kTableUsage, to);
    std::fputs(EnvironmentOptionParser::Usage(), to);
    std::fputs(kTableUsageEnd, to);
    return 2;
}

} // namespace

int fmtoolTable(const QStringList &args, const FmtoolStreams &io)
{
    QString file;
    QString setName;
    bool setGiven = false;
    EnvironmentOptionParser environmentOptions;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kTableUsage, io.out);
            std::fputs(EnvironmentOptionParser::Usage(), io.out);
            std::fputs(kTableUsageEnd, io.out);
            return 0;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!file.isEmpty())
                return tableUsage(io.err, QStringLiteral("only one library file, please"));
            file = arg;
            continue;
        }
        QString value;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return tableUsage(io.err, QStringLiteral("%1 needs a value").arg(arg));
        }
        if (arg == QLatin1String("--set")) {
            setName = value;
            setGiven = true;
            continue;
        }
        QString problem;
        switch (environmentOptions.Take(arg, value, &problem)) {
        case EnvironmentOptionParser::Outcome::Taken:
            continue;
        case EnvironmentOptionParser::Outcome::Problem:
            return tableUsage(io.err, problem);
        case EnvironmentOptionParser::Outcome::NotAnOption:
            return tableUsage(io.err, QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (file.isEmpty())
        return tableUsage(io.err, QStringLiteral("no library file given"));
    Environment environment;
    if (QString problem; !environmentOptions.Finish(environment, &problem))
        return tableUsage(io.err, problem);
    const Units::System units = environment.units;
    const SpreadConventions conventions = environment.conventions;

    QByteArray bytes;
    if (QString why; !ReadBoundedFile(file, kLargestLibraryFile, &bytes, &why)) {
        std::fprintf(io.err, "fmtool table: %s %s\n", file.toLocal8Bit().constData(), why.toLocal8Bit().constData());
        return 1;
    }
    const LibraryReadResult library = ReadLibrary(bytes);
    if (!library.ok) {
        LibraryProblem problem = library.problem;
        problem.path = file;
        std::fprintf(io.err, "fmtool table: %s\n", problem.toString().toLocal8Bit().constData());
        return 1;
    }

    using Units::Quantity;
    const auto header = [units](const char *name, Quantity q) {
        return Units::WithUnit(QString::fromLatin1(name), q, units);
    };
    QString out;
    if (conventions == SpreadConventions::Simulators)
        out = QStringLiteral("# Computed as the fire growth simulators (net loads weighted by size class, the cured "
                             "herb a dead class of its own)\n");
    out += QStringLiteral("Set,ID,Description,") + header("ROS", Quantity::RateOfSpread) + QLatin1Char(',') +
        header("Fireline Intensity", Quantity::FirelineIntensity) + QLatin1Char(',') +
        header("Flame Length", Quantity::FlameLength) + QLatin1Char(',') +
        header("Size After 1 Hour", Quantity::FireSize) + QLatin1Char(',') +
        header("Char SA/V", Quantity::SurfaceToVolume) + QStringLiteral(",Relative Packing Ratio,Error\n");
    bool allOk = true;
    bool setFound = false;
    for (const auto &set : *library.sets) {
        if (setGiven && set->Name() != setName)
            continue;
        setFound = true;
        for (const auto &model : *set->FuelModels()) {
            FireSpread spread;
            environment.ApplyTo(spread);
            SetFuelModelInputs(spread, *model);

            QStringList row{CsvField(set->Name()), CsvField(model->FuelModelID()), CsvField(model->Description())};
            try {
                spread.Compute();
                row << Units::FormatResult(Quantity::RateOfSpread, units, RateOfSpreadToShow(spread, units))
                    << Units::FormatResult(Quantity::FirelineIntensity, units, spread.FireLineIntensity())
                    << Units::FormatResult(Quantity::FlameLength, units, spread.FlameLength())
                    << Units::FormatResult(Quantity::FireSize, units, spread.SingleEllipseArea())
                    << Units::FormatResult(Quantity::SurfaceToVolume, units, spread.SurfToVol())
                    << FormatPattern(spread.PackRatio(), u"#####0.000") << QString();
            } catch (const ArithmeticError &e) {
                allOk = false;
                row << QString() << QString() << QString() << QString() << QString() << QString()
                    << CsvField(QString::fromStdString(e.what()));
            }
            out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
    }
    if (setGiven && !setFound) {
        std::fprintf(io.err, "fmtool table: %s has no set named \"%s\"\n", file.toLocal8Bit().constData(),
                     setName.toLocal8Bit().constData());
        return 1;
    }
    const QByteArray utf8 = out.toUtf8();
    if (std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), io.out) != std::size_t(utf8.size()) ||
        std::fflush(io.out) != 0) {
        std::fputs("fmtool table: cannot write the table\n", io.err);
        return 1;
    }
    return allOk ? 0 : 1;
}
