// fmtool uncertainty and fmtool sobol: how uncertain one model's fire behavior is under stated
// input distributions, and which inputs carry that uncertainty.
#include "fmtool/Commands.h"
#include "fmtool/EnvironmentOptions.h"

#include "data/CsvTable.h"
#include "data/FuelModelSets.h"
#include "library/LibraryFile.h"
#include "uncertainty/Parallel.h"
#include "uncertainty/SobolIndices.h"
#include "uncertainty/Uncertainty.h"

#include <QFile>

#include <cmath>
#include <optional>
#include <string>

namespace {

const char kUncertaintyUsage[] =
    "usage: fmtool uncertainty FILE --set NAME --model ID --vary NAME=DIST [--vary NAME=DIST ...]\n"
    "                          [--draws N] [--seed N] [--correlation R] [--sampling sobol|random]\n"
    "                          [--thresholds A,B,...] [--json] [environment options]\n"
    "  Quantiles of the fire behavior of one model of the library FILE when its inputs vary:\n"
    "  CSV with the columns output,unit,mean,sd,p5,p25,p50,p75,p95 and the rows ros (rate of\n"
    "  spread, unrounded), flame-length and intensity in the units chosen.\n"
    "    --vary NAME=DIST  NAME: load-1h, load-10h, load-100h, load-herb, load-woody, sav-1h,\n"
    "                      sav-herb, sav-woody, heat-dead, heat-herb, heat-woody, depth, mx,\n"
    "                      moist-1h, moist-10h, moist-100h, moist-herb, moist-woody, wind,\n"
    "                      midflame-wind, wind-adjust or slope\n"
    "                      DIST: pct:P (uniform within +/- P % of the value), range:A:B (uniform\n"
    "                      from A to B, in the units chosen) or cv:C (normal, sd = C x the value)\n"
    "                      Draws stay inside the input's entry range: a distribution reaching\n"
    "                      past it is cut there and the rest drawn (never piled up at the end);\n"
    "                      an absent fuel class (load or SA/V 0) stays absent.\n"
    "    --draws       draws (10000)\n"
    "    --seed        seed of the draws (1): the same seed gives the same result\n"
    "    --correlation rank correlation of the three dead moistures, and of the two live ones\n"
    "                  (0.9); 0 draws them independently\n"
    "    --sampling    sobol (a scrambled Sobol sequence, default) or random\n"
    "    --thresholds  flame lengths whose exceedance --json gives (4,8,11 ft; 1.2,2.4,3.4 m)\n"
    "    --json        a JSON object with the rows, the exceedance probabilities and the share\n"
    "                  of draws that does not spread\n";

const char kSobolUsage[] = "usage: fmtool sobol FILE --set NAME --model ID --vary NAME=DIST [--vary NAME=DIST ...]\n"
                           "                    [--samples N] [--seed N] [--bootstrap N] [environment options]\n"
                           "  Sobol indices of the rate of spread and the flame length of one model over its varying\n"
                           "  inputs (drawn independently): CSV with the columns\n"
                           "  input,output,S1,S1-low,S1-high,ST,ST-low,ST-high, one row per input and output (ros,\n"
                           "  flame-length). S1 is the first-order index (Saltelli's estimator), ST the total one\n"
                           "  (Jansen's), each with its bootstrap 95 % interval.\n"
                           "    --vary NAME=DIST  as for fmtool uncertainty\n"
                           "    --samples     base samples N (16384): N x (inputs + 2) computations\n"
                           "    --seed        seed of the scrambled Sobol design (1)\n"
                           "    --bootstrap   resamples for the intervals (100)\n";

const char kUsageEnd[] = "  Exit status 1 when the file cannot be read or has no such model.\n";

struct CommonOptions
{
    QString file, setName, modelId;
    std::vector<std::pair<QString, QString>> vary; // name, distribution as typed
    std::uint64_t seed = 1;
    Environment environment;
};

int usage(const char *command, const char *text, std::FILE *to, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(to, "fmtool %s: %s\n", command, problem.toLocal8Bit().constData());
    std::fputs(text, to);
    std::fputs(EnvironmentOptionParser::Usage(), to);
    std::fputs(kUsageEnd, to);
    return 2;
}

bool writeAll(std::FILE *out, const std::string &text)
{
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

// The varying inputs in English units; a range is typed in the units chosen.
bool varyingInputs(const CommonOptions &o, std::vector<VaryingInput> &inputs, QString *problem)
{
    for (const auto &[name, text] : o.vary) {
        const auto key = FindInput(name.toStdString());
        if (!key) {
            *problem = QStringLiteral("--vary: \"%1\" is not an input that can vary").arg(name);
            return false;
        }
        std::string why;
        auto d = ParseDistribution(text.toStdString(), &why);
        if (!d) {
            *problem = QStringLiteral("--vary %1: %2").arg(name, QString::fromStdString(why));
            return false;
        }
        if (d->kind == DistributionKind::Range) {
            d->a = Units::ToEnglish(InputQuantity(*key), o.environment.units, d->a);
            d->b = Units::ToEnglish(InputQuantity(*key), o.environment.units, d->b);
        }
        inputs.push_back({*key, *d});
    }
    if (inputs.empty()) {
        *problem = QStringLiteral("--vary is needed");
        return false;
    }
    return true;
}

// Reads the command line: the shared options into o, the command's own ones through own(name,
// value) (returning an empty problem when taken, "?" when not its option). 0 when read.
template <typename Own>
int readArguments(const QStringList &args, const char *command, const char *text, const FmtoolStreams &io,
                  CommonOptions &o, bool &help, Own own)
{
    EnvironmentOptionParser environmentOptions;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
            std::fputs(text, io.out);
            std::fputs(EnvironmentOptionParser::Usage(), io.out);
            std::fputs(kUsageEnd, io.out);
            return 0;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!o.file.isEmpty())
                return usage(command, text, io.err, QStringLiteral("only one library file, please"));
            o.file = arg;
            continue;
        }
        if (arg == QLatin1String("--json")) {
            if (QString p = own(arg, QString()); p.isEmpty())
                continue;
            return usage(command, text, io.err, QStringLiteral("unknown option %1").arg(arg));
        }
        QString value;
        // --vary NAME=DIST keeps its own "=": only --vary=NAME=DIST splits at the first.
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return usage(command, text, io.err, QStringLiteral("%1 needs a value").arg(arg));
        }
        if (arg == QLatin1String("--set")) {
            o.setName = value;
            continue;
        }
        if (arg == QLatin1String("--model")) {
            o.modelId = value;
            continue;
        }
        if (arg == QLatin1String("--vary")) {
            const qsizetype at = value.indexOf(QLatin1Char('='));
            if (at <= 0)
                return usage(command, text, io.err, QStringLiteral("--vary: \"%1\" is not NAME=DIST").arg(value));
            o.vary.emplace_back(value.left(at).trimmed().toLower(), value.mid(at + 1).trimmed());
            continue;
        }
        if (arg == QLatin1String("--seed")) {
            bool ok = false;
            o.seed = value.trimmed().toULongLong(&ok);
            if (!ok)
                return usage(command, text, io.err,
                             QStringLiteral("--seed: \"%1\" is not a whole number of 0 or more").arg(value));
            continue;
        }
        QString problem;
        const auto outcome = environmentOptions.Take(arg, value, &problem);
        if (outcome == EnvironmentOptionParser::Outcome::Problem)
            return usage(command, text, io.err, problem);
        if (outcome == EnvironmentOptionParser::Outcome::Taken)
            continue;
        problem = own(arg, value);
        if (problem == QLatin1String("?"))
            return usage(command, text, io.err, QStringLiteral("unknown option %1").arg(arg));
        if (!problem.isEmpty())
            return usage(command, text, io.err, problem);
    }
    if (o.file.isEmpty())
        return usage(command, text, io.err, QStringLiteral("no library file given"));
    if (o.setName.isEmpty() || o.modelId.isEmpty())
        return usage(command, text, io.err, QStringLiteral("--set and --model name the model"));
    if (QString problem; !environmentOptions.Finish(o.environment, &problem))
        return usage(command, text, io.err, problem);
    return 0;
}

// The model's point (its environment from the options) and its prepared inputs; 0, or the exit
// status with the message written.
int preparedModel(const char *command, const char *text, const CommonOptions &o, const FmtoolStreams &io,
                  UncertainModel &model)
{
    std::vector<VaryingInput> inputs;
    if (QString problem; !varyingInputs(o, inputs, &problem))
        return usage(command, text, io.err, problem);
    QFile f(o.file);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(io.err, "fmtool %s: %s: %s\n", command, o.file.toLocal8Bit().constData(),
                     f.errorString().toLocal8Bit().constData());
        return 1;
    }
    const LibraryReadResult library = ReadLibrary(f.readAll());
    if (!library.ok) {
        LibraryProblem problem = library.problem;
        problem.path = o.file;
        std::fprintf(io.err, "fmtool %s: %s\n", command, problem.toString().toLocal8Bit().constData());
        return 1;
    }
    const FuelModel *found = nullptr;
    bool setFound = false;
    for (const auto &set : *library.sets) {
        if (set->Name() != o.setName)
            continue;
        setFound = true;
        for (const auto &m : *set->FuelModels())
            if (m->FuelModelID() == o.modelId)
                found = m.get();
    }
    if (!found) {
        if (!setFound)
            std::fprintf(io.err, "fmtool %s: %s has no set named \"%s\"\n", command, o.file.toLocal8Bit().constData(),
                         o.setName.toLocal8Bit().constData());
        else
            std::fprintf(io.err, "fmtool %s: no model with the ID \"%s\" in that set\n", command,
                         o.modelId.toLocal8Bit().constData());
        return 1;
    }
    UncertaintyPoint point;
    point.model = *found;
    const Environment &e = o.environment;
    point.SetEnvironment(e.moisture, e.wind, e.windAdjustment, e.slope);
    point.conventions = e.conventions;
    if (std::string why; !model.Prepare(point, inputs, &why))
        return usage(command, text, io.err, QStringLiteral("--vary %1").arg(QString::fromStdString(why)));
    return 0;
}

struct OutputRow
{
    const char *name;
    Units::Quantity quantity;
    const OutputSummary *summary;
};

void appendNumber(std::string &out, double english, Units::Quantity q, Units::System s)
{
    AppendTableNumber(out, Units::FromEnglish(q, s, english), 4);
}

std::string jsonText(const QString &text)
{
    std::string out = "\"";
    for (const char c : text.toStdString()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

int fmtoolUncertainty(const QStringList &args, const FmtoolStreams &io)
{
    const char *command = "uncertainty";
    CommonOptions o;
    UncertaintyOptions options;
    options.threads = ComputeThreads();
    bool json = false, help = false;
    QString thresholds;
    const auto own = [&](const QString &name, const QString &value) -> QString {
        bool ok = false;
        if (name == QLatin1String("--json")) {
            json = true;
            return {};
        }
        if (name == QLatin1String("--draws")) {
            options.draws = value.trimmed().toInt(&ok);
            return ok && options.draws >= 1 && options.draws <= 10000000
                ? QString()
                : QStringLiteral("--draws: \"%1\" is not a whole number from 1 to 10000000").arg(value);
        }
        if (name == QLatin1String("--correlation")) {
            const double r = value.trimmed().toDouble(&ok);
            options.deadCorrelation = options.liveCorrelation = r;
            return ok && r >= 0 && r <= 0.99
                ? QString()
                : QStringLiteral("--correlation: \"%1\" is not a number from 0 to 0.99").arg(value);
        }
        if (name == QLatin1String("--sampling")) {
            if (value.compare(QLatin1String("sobol"), Qt::CaseInsensitive) == 0)
                options.method = SamplingMethod::Sobol;
            else if (value.compare(QLatin1String("random"), Qt::CaseInsensitive) == 0)
                options.method = SamplingMethod::Random;
            else
                return QStringLiteral("--sampling: \"%1\" is neither sobol nor random").arg(value);
            return {};
        }
        if (name == QLatin1String("--thresholds")) {
            thresholds = value;
            return {};
        }
        return QStringLiteral("?");
    };
    if (const int status = readArguments(args, command, kUncertaintyUsage, io, o, help, own); status != 0 || help)
        return status;
    options.seed = o.seed;
    const Units::System units = o.environment.units;
    // Thresholds in the units chosen, kept in feet.
    if (!thresholds.isEmpty()) {
        options.flameThresholds.clear();
        for (const QString &part : thresholds.split(QLatin1Char(','))) {
            bool ok = false;
            const double t = part.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(t) || t < 0)
                return usage(command, kUncertaintyUsage, io.err,
                             QStringLiteral("--thresholds: \"%1\" is not a flame length").arg(part));
            options.flameThresholds.push_back(Units::ToEnglish(Units::Quantity::FlameLength, units, t));
        }
    } else if (units == Units::System::Metric) {
        options.flameThresholds = {1.2 / Units::kMetersPerFoot, 2.4 / Units::kMetersPerFoot,
                                   3.4 / Units::kMetersPerFoot};
    }
    UncertainModel model;
    if (const int status = preparedModel(command, kUncertaintyUsage, o, io, model); status != 0)
        return status;
    const UncertaintyResult r = RunUncertainty(model, options);

    using Units::Quantity;
    const OutputRow rows[] = {{"ros", Quantity::RateOfSpread, &r.rateOfSpread},
                              {"flame-length", Quantity::FlameLength, &r.flameLength},
                              {"intensity", Quantity::FirelineIntensity, &r.intensity}};
    std::string out;
    if (!json) {
        out = "output,unit,mean,sd,p5,p25,p50,p75,p95\n";
        for (const OutputRow &row : rows) {
            out += row.name;
            out += ',' + Units::UnitLabel(row.quantity, units).toStdString();
            for (double v : {row.summary->mean, row.summary->sd}) {
                out += ',';
                appendNumber(out, v, row.quantity, units);
            }
            for (double q : row.summary->quantiles) {
                out += ',';
                appendNumber(out, q, row.quantity, units);
            }
            out += '\n';
        }
    } else {
        out = "{\"set\": " + jsonText(o.setName) + ", \"model\": " + jsonText(o.modelId) +
            ", \"draws\": " + std::to_string(r.draws) + ", \"failed\": " + std::to_string(r.failed) +
            ",\n \"outputs\": [";
        bool first = true;
        for (const OutputRow &row : rows) {
            out += first ? "\n  " : ",\n  ";
            first = false;
            out += "{\"output\": \"" + std::string(row.name) +
                "\", \"unit\": " + jsonText(Units::UnitLabel(row.quantity, units));
            const auto field = [&](const char *name, double v) {
                out += ", \"" + std::string(name) + "\": ";
                if (std::isfinite(v))
                    appendNumber(out, v, row.quantity, units);
                else
                    out += "null";
            };
            field("mean", row.summary->mean);
            field("sd", row.summary->sd);
            const char *names[] = {"p5", "p25", "p50", "p75", "p95"};
            for (int k = 0; k < 5; ++k)
                field(names[k], row.summary->quantiles[std::size_t(k)]);
            out += '}';
        }
        out += "],\n \"flame-length-exceedance\": [";
        for (std::size_t t = 0; t < r.flameThresholds.size(); ++t) {
            out += t ? ", " : "";
            out += "{\"threshold\": ";
            appendNumber(out, r.flameThresholds[t], Quantity::FlameLength, units);
            out += ", \"unit\": " + jsonText(Units::UnitLabel(Quantity::FlameLength, units)) + ", \"probability\": ";
            AppendTableNumber(out, r.flameExceedance[t], 4);
            out += '}';
        }
        out += "],\n \"no-spread\": ";
        if (std::isfinite(r.noSpread))
            AppendTableNumber(out, r.noSpread, 4);
        else
            out += "null";
        out += "}\n";
    }
    if (!writeAll(io.out, out)) {
        std::fputs("fmtool uncertainty: cannot write the result\n", io.err);
        return 1;
    }
    if (r.failed > 0)
        std::fprintf(io.err, "fmtool uncertainty: %d of %d draws could not be computed and are left out\n", r.failed,
                     r.draws);
    return 0;
}

int fmtoolSobol(const QStringList &args, const FmtoolStreams &io)
{
    const char *command = "sobol";
    CommonOptions o;
    SobolOptions options;
    options.threads = ComputeThreads();
    bool help = false;
    const auto own = [&](const QString &name, const QString &value) -> QString {
        bool ok = false;
        if (name == QLatin1String("--samples")) {
            options.baseSamples = value.trimmed().toInt(&ok);
            return ok && options.baseSamples >= 2 && options.baseSamples <= 1 << 22
                ? QString()
                : QStringLiteral("--samples: \"%1\" is not a whole number from 2 to 4194304").arg(value);
        }
        if (name == QLatin1String("--bootstrap")) {
            options.bootstrap = value.trimmed().toInt(&ok);
            return ok && options.bootstrap >= 0 && options.bootstrap <= 10000
                ? QString()
                : QStringLiteral("--bootstrap: \"%1\" is not a whole number from 0 to 10000").arg(value);
        }
        return QStringLiteral("?");
    };
    if (const int status = readArguments(args, command, kSobolUsage, io, o, help, own); status != 0 || help)
        return status;
    options.seed = o.seed;
    UncertainModel model;
    if (const int status = preparedModel(command, kSobolUsage, o, io, model); status != 0)
        return status;
    int failed = 0;
    const SobolResult r = FireSobolAnalysis(model, options, &failed);
    const char *outputs[] = {"ros", "flame-length"};
    std::string out = "input,output,S1,S1-low,S1-high,ST,ST-low,ST-high\n";
    for (int i = 0; i < model.InputCount(); ++i) {
        for (int k = 0; k < 2; ++k) {
            const SobolIndex &s = r.indices[std::size_t(k)][std::size_t(i)];
            out += std::string(InputShortName(model.Input(i).key)) + ',' + outputs[k];
            for (double v : {s.first, s.firstLow, s.firstHigh, s.total, s.totalLow, s.totalHigh}) {
                out += ',';
                AppendTableNumber(out, v, 4);
            }
            out += '\n';
        }
    }
    if (!writeAll(io.out, out)) {
        std::fputs("fmtool sobol: cannot write the indices\n", io.err);
        return 1;
    }
    if (failed > 0)
        std::fprintf(io.err, "fmtool sobol: %d of %d computations failed and count as no spread\n", failed,
                     r.evaluations);
    return 0;
}
