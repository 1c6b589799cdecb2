// fmtool sweep: response curves of library models from the command line, the numbers the
// response curve window shows and exports.
#include "fmtool/Commands.h"
#include "fmtool/EnvironmentOptions.h"

#include "analysis/CurveTable.h"
#include "analysis/Sweep.h"
#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "library/LibraryFile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const char kSweepUsage[] =
    "usage: fmtool sweep FILE --vary INPUT [--set NAME] [--model ID] [--from X] [--to X] [--steps N]\n"
    "                         [--moist-1h P] [--moist-10h P] [--moist-100h P] [--moist-herb P]\n"
    "                         [--moist-woody P] [--wind MPH] [--wind-adjust F] [--slope P]\n"
    "                         [--scenario NAME] [--units english|metric] [--conventions core|simulators]\n"
    "  CSV of the fire behavior of models of the library FILE while one input runs from X to Y\n"
    "  in N evenly spaced points (the response curves of the Edit and Test Center):\n"
    "    --vary    wind (20-foot wind, mi/h, 0-99), moist-1h (%, 1-60), moist-herb (%, 30-300),\n"
    "              moist-woody (%, 30-300) or slope (%, 0-100); --from and --to default to\n"
    "              that range, --steps to 101\n"
    "    --set     only the sets named NAME; --model only the models with that ID\n"
    "  The other inputs stay at the environment options (each model computes with its own herb\n"
    "  type); --units metric gives the columns in metric units (m/min, m, kW/m, ha, kJ/m2, km/h)\n"
    "  and takes --from, --to and --wind in km/h for the wind:\n";

const char kSweepUsageEnd[] =
    "  Exit status 1 when the file cannot be read, nothing matches, or a point fails to compute\n"
    "  (its row says \"cannot compute\").\n";

int sweepUsage(std::FILE *to, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(to, "fmtool sweep: %s\n", problem.toLocal8Bit().constData());
    std::fputs(kSweepUsage, to);
    std::fputs(EnvironmentOptionParser::Usage(), to);
    std::fputs(kSweepUsageEnd, to);
    return 2;
}

bool writeAll(std::FILE *out, const std::string &text)
{
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

int fmtoolSweep(const QStringList &args, const FmtoolStreams &io)
{
    EnvironmentOptionParser environmentOptions;
    QString file, setName, modelId, vary;
    bool setGiven = false, modelGiven = false;
    double from = NAN, to = NAN;
    int steps = 101;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kSweepUsage, io.out);
            std::fputs(EnvironmentOptionParser::Usage(), io.out);
            std::fputs(kSweepUsageEnd, io.out);
            return 0;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!file.isEmpty())
                return sweepUsage(io.err, QStringLiteral("only one library file, please"));
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
            return sweepUsage(io.err, QStringLiteral("%1 needs a value").arg(arg));
        }
        if (arg == QLatin1String("--set")) {
            setName = value;
            setGiven = true;
            continue;
        }
        if (arg == QLatin1String("--model")) {
            modelId = value;
            modelGiven = true;
            continue;
        }
        QString problem;
        const auto outcome = environmentOptions.Take(arg, value, &problem);
        if (outcome == EnvironmentOptionParser::Outcome::Problem)
            return sweepUsage(io.err, problem);
        if (outcome == EnvironmentOptionParser::Outcome::Taken)
            continue;
        if (arg == QLatin1String("--vary")) {
            vary = value;
            continue;
        }
        bool ok = false;
        if (arg == QLatin1String("--steps")) {
            steps = value.trimmed().toInt(&ok);
            if (!ok || steps < 1 || steps > 1000000)
                return sweepUsage(io.err,
                                  QStringLiteral("--steps: \"%1\" is not a whole number from 1 to 1000000").arg(value));
            continue;
        }
        const double v = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return sweepUsage(io.err, QStringLiteral("%1: \"%2\" is not a number").arg(arg, value));
        if (arg == QLatin1String("--from")) {
            from = v;
            continue;
        }
        if (arg == QLatin1String("--to")) {
            to = v;
            continue;
        }
        return sweepUsage(io.err, QStringLiteral("unknown option %1").arg(arg));
    }
    if (file.isEmpty())
        return sweepUsage(io.err, QStringLiteral("no library file given"));
    Environment environment;
    if (QString problem; !environmentOptions.Finish(environment, &problem))
        return sweepUsage(io.err, problem);
    const Units::System system = environment.units;
    if (vary.isEmpty())
        return sweepUsage(io.err, QStringLiteral("--vary is needed"));
    const auto input = SweepInputFromKey(vary);
    if (!input)
        return sweepUsage(io.err,
                          QStringLiteral("--vary: \"%1\" is not one of wind, moist-1h, moist-herb, "
                                         "moist-woody, slope")
                              .arg(vary));
    const SweepInputInfo &info = SweepInputInfoOf(*input);
    // The range in the unit the user sees, checked there, swept in English.
    const double shownMin = Units::FromEnglish(info.quantity, system, info.min);
    const double shownMax = Units::FromEnglish(info.quantity, system, info.max);
    if (std::isnan(from))
        from = shownMin;
    if (std::isnan(to))
        to = shownMax;
    for (double end : {from, to})
        if (end < shownMin - 1e-9 || end > shownMax + 1e-9)
            return sweepUsage(io.err,
                              QStringLiteral("--vary %1: %2 is outside the acceptable range %3 to %4")
                                  .arg(vary, FormatGeneral(end), FormatGeneral(shownMin), FormatGeneral(shownMax)));
    from = std::clamp(Units::ToEnglish(info.quantity, system, from), info.min, info.max);
    to = std::clamp(Units::ToEnglish(info.quantity, system, to), info.min, info.max);

    QByteArray bytes;
    if (QString why; !ReadBoundedFile(file, kLargestLibraryFile, &bytes, &why)) {
        std::fprintf(io.err, "fmtool sweep: %s %s\n", file.toLocal8Bit().constData(), why.toLocal8Bit().constData());
        return 1;
    }
    const LibraryReadResult library = ReadLibrary(bytes);
    if (!library.ok) {
        LibraryProblem problem = library.problem;
        problem.path = file;
        std::fprintf(io.err, "fmtool sweep: %s\n", problem.toString().toLocal8Bit().constData());
        return 1;
    }

    // The environment as the editor computes it (the midflame wind as its box shows it).
    const double windAdjust = environment.windAdjustment;
    FireSpread atEnvironment;
    environment.ApplyTo(atEnvironment);

    std::string out;
    // The mark of curves computed as the simulators do, as fmtool table gives it.
    if (environment.conventions == SpreadConventions::Simulators)
        out = "# Computed as the fire growth simulators (net loads weighted by size class, the cured herb a dead "
              "class of its own)\n";
    out += CurveCsvHeader(*input, system);
    if (!writeAll(io.out, out)) {
        std::fputs("fmtool sweep: cannot write the curves\n", io.err);
        return 1;
    }
    bool allOk = true, setFound = false, modelFound = false;
    for (const auto &set : *library.sets) {
        if (setGiven && set->Name() != setName)
            continue;
        setFound = true;
        for (const auto &model : *set->FuelModels()) {
            if (modelGiven && model->FuelModelID() != modelId)
                continue;
            modelFound = true;
            FireSpread base = atEnvironment;
            SetModelInputs(base, *model);
            const auto points = Sweep(base, *input, from, to, steps, windAdjust);
            for (const SweepPoint &p : points)
                allOk = allOk && p.computed;
            out.clear();
            AppendCurveCsvRows(out, set->Name(), model->FuelModelID(), points, *input, system);
            if (!writeAll(io.out, out)) {
                std::fputs("fmtool sweep: cannot write the curves\n", io.err);
                return 1;
            }
        }
    }
    if (std::fflush(io.out) != 0) {
        std::fputs("fmtool sweep: cannot write the curves\n", io.err);
        return 1;
    }
    if (setGiven && !setFound) {
        std::fprintf(io.err, "fmtool sweep: %s has no set named \"%s\"\n", file.toLocal8Bit().constData(),
                     setName.toLocal8Bit().constData());
        return 1;
    }
    if (modelGiven && !modelFound) {
        std::fprintf(io.err, "fmtool sweep: no model with the ID \"%s\"%s\n", modelId.toLocal8Bit().constData(),
                     setGiven ? " in that set" : "");
        return 1;
    }
    return allOk ? 0 : 1;
}
