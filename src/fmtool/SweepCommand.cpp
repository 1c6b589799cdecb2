// fmtool sweep: response curves of library models from the command line, the numbers the
// response curve window shows and exports.
#include "fmtool/Commands.h"

#include "analysis/CurveTable.h"
#include "analysis/Sweep.h"
#include "data/FuelModelSets.h"
#include "data/NumberText.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const char kSweepUsage[] =
    "usage: fmtool sweep FILE --vary INPUT [--set NAME] [--model ID] [--from X] [--to X] [--steps N]\n"
    "                         [--moist-1h P] [--moist-10h P] [--moist-100h P] [--moist-herb P]\n"
    "                         [--moist-woody P] [--wind MPH] [--wind-adjust F] [--slope P]\n"
    "                         [--units english|metric]\n"
    "  CSV of the fire behavior of models of the library FILE while one input runs from X to Y\n"
    "  in N evenly spaced points (the response curves of the Edit and Test Center):\n"
    "    --vary    wind (20-foot wind, mi/h, 0-99), moist-1h (%, 1-60), moist-herb (%, 30-300),\n"
    "              moist-woody (%, 30-300) or slope (%, 0-100); --from and --to default to\n"
    "              that range, --steps to 101\n"
    "    --set     only the sets named NAME; --model only the models with that ID\n"
    "    --units   metric gives the columns in metric units (m/min, m, kW/m, ha, kJ/m2, km/h)\n"
    "              and takes --from and --to in the swept column's unit (km/h for wind)\n"
    "  The other inputs stay at the environment options (as fmtool table: 5, 6, 7, 75, 90 %,\n"
    "  10 mi/h with a wind adjustment factor of 0.7, slope 0). Each model computes with its own\n"
    "  herb type. Exit status 1 when the file cannot be read, nothing matches, or a point fails\n"
    "  to compute (its row says \"cannot compute\").\n";

int sweepUsage(std::FILE *to, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(to, "fmtool sweep: %s\n", problem.toLocal8Bit().constData());
    std::fputs(kSweepUsage, to);
    return 2;
}

struct EnvOption
{
    const char *name;
    double value;
    double min, max;
    bool checked;
};

bool writeAll(std::FILE *out, const std::string &text)
{
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

int fmtoolSweep(const QStringList &args, const FmtoolStreams &io)
{
    EnvOption options[] = {
        {"--moist-1h", 5, 1, 60, true},       {"--moist-10h", 6, 1, 60, true},
        {"--moist-100h", 7, 1, 60, true},     {"--moist-herb", 75, 30, 300, true},
        {"--moist-woody", 90, 30, 300, true}, {"--wind", 10, 0, 99, true},
        {"--wind-adjust", 0.7, 0, 0, false},  {"--slope", 0, 0, 0, false},
    };
    QString file, setName, modelId, vary;
    bool setGiven = false, modelGiven = false;
    double from = NAN, to = NAN;
    int steps = 101;
    Units::System system = Units::System::English;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kSweepUsage, io.out);
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
        if (arg == QLatin1String("--units")) {
            if (!Units::ParseSystemName(value, &system))
                return sweepUsage(io.err, QStringLiteral("--units: \"%1\" is neither english nor metric").arg(value));
            continue;
        }
        if (arg == QLatin1String("--vary")) {
            vary = value;
            continue;
        }
        bool ok = false;
        if (arg == QLatin1String("--steps")) {
            steps = value.trimmed().toInt(&ok);
            if (!ok || steps < 1 || steps > 1000000)
                return sweepUsage(io.err, QStringLiteral("--steps: \"%1\" is not a whole number from 1 to 1000000").arg(value));
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
        EnvOption *option = nullptr;
        for (EnvOption &o : options)
            if (arg == QLatin1String(o.name))
                option = &o;
        if (option == nullptr)
            return sweepUsage(io.err, QStringLiteral("unknown option %1").arg(arg));
        if (option->checked && (v < option->min || v > option->max))
            return sweepUsage(io.err, QStringLiteral("%1: %2 is outside the acceptable range %3 to %4")
                                          .arg(arg, value, FormatGeneral(option->min), FormatGeneral(option->max)));
        option->value = v;
    }
    if (file.isEmpty())
        return sweepUsage(io.err, QStringLiteral("no library file given"));
    if (vary.isEmpty())
        return sweepUsage(io.err, QStringLiteral("--vary is needed"));
    const auto input = SweepInputFromKey(vary);
    if (!input)
        return sweepUsage(io.err, QStringLiteral("--vary: \"%1\" is not one of wind, moist-1h, moist-herb, "
                                                 "moist-woody, slope").arg(vary));
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
            return sweepUsage(io.err, QStringLiteral("--vary %1: %2 is outside the acceptable range %3 to %4")
                                          .arg(vary, FormatGeneral(end), FormatGeneral(shownMin), FormatGeneral(shownMax)));
    from = std::clamp(Units::ToEnglish(info.quantity, system, from), info.min, info.max);
    to = std::clamp(Units::ToEnglish(info.quantity, system, to), info.min, info.max);

    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(io.err, "fmtool sweep: %s: %s\n", file.toLocal8Bit().constData(),
                     f.errorString().toLocal8Bit().constData());
        return 1;
    }
    MemoryTree tree;
    const LibraryReadResult library = ReadLibrary(f.readAll(), tree);
    if (!library.ok) {
        LibraryProblem problem = library.problem;
        problem.path = file;
        std::fprintf(io.err, "fmtool sweep: %s\n", problem.toString().toLocal8Bit().constData());
        return 1;
    }

    // The environment as the editor computes it: its midflame wind box shows the 20-ft wind
    // times the factor with one decimal.
    const double windAdjust = options[6].value;
    FireSpread environment;
    environment.setFuelMoisture1Hour(options[0].value / 100);
    environment.setFuelMoisture10Hour(options[1].value / 100);
    environment.setFuelMoisture100Hour(options[2].value / 100);
    environment.setFuelMoistureHerb(options[3].value / 100);
    environment.setFuelMoistureWoody(options[4].value / 100);
    environment.setWindSpeedNA(options[5].value);
    environment.setWindSpeed(ParseLeadingNumber(FormatPattern(windAdjust * options[5].value, u"##0.0")));
    environment.setSlope(options[7].value);

    std::string out = CurveCsvHeader(*input, system);
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
            FireSpread base = environment;
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
