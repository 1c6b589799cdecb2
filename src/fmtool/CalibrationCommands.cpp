// fmtool rank, fit and adjust: library models against observed fires, the calibration of one
// model, and the simulators' rate of spread adjustment file.
#include "fmtool/CommandOptions.h"
#include "fmtool/Commands.h"
#include "fmtool/EnvironmentOptions.h"
#include "fmtool/LockedLibraryFile.h"

#include "calibration/AdjustmentFile.h"
#include "calibration/Calibration.h"
#include "data/CsvTable.h"
#include "data/FuelModelSets.h"
#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "exchange/CustomModelFile.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"
#include "library/ModelNotes.h"
#include "units/Units.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

const char kRankUsage[] =
    "usage: fmtool rank OBS.csv LIBRARY [--set NAME | --all-sets] [--units english|metric]\n"
    "                  [--conventions core|simulators] [--objective log|rmse|mape] [--flame-weight W]\n"
    "  CSV of every model of the master set (or of the sets named NAME, or of all sets) computed at\n"
    "  each observed fire of OBS.csv: RMSE, bias, mean absolute percentage error and the share\n"
    "  within +/-35 % of the rate of spread (and of flame length when observed), the adjustment\n"
    "  factor, the objective and the number of failed computations, sorted by ros-rmse. --units\n"
    "  gives the units of OBS.csv (a unit after a column name overrides) and of the output.\n";

const char kFitUsage[] =
    "usage: fmtool fit OBS.csv LIBRARY --set NAME --model ID --free NAMES [--bound NAME=LO:HI]...\n"
    "                 [--tie-loads] [--objective log|rmse|mape] [--flame-weight W] [--starts N]\n"
    "                 [--seed N] [--cv K] [--units english|metric] [--conventions core|simulators]\n"
    "                 [--apply]\n"
    "  Fits the free parameters of the model ID of the set NAME to the observed fires and prints\n"
    "  the report as JSON. NAMES (comma separated): load-1h load-10h load-100h load-herb\n"
    "  load-woody sav-1h sav-herb sav-woody heat-dead heat-herb heat-woody depth mx. Bounds default\n"
    "  to the master set's range of the parameter; --bound takes them in the chosen units (mx in\n"
    "  percent). --tie-loads moves the free loads by one factor. --cv 0 skips cross-validation.\n"
    "  --apply writes the fitted values into the model in LIBRARY (not into a locked set).\n";

const char kAdjustUsage[] =
    "usage: fmtool adjust OBS.csv LIBRARY [--set NAME] [--model ID] [--number ID=N]...\n"
    "                    [--units english|metric] [--conventions core|simulators] [--out FILE]\n"
    "  The rate of spread adjustment factor that best fits the observed fires (least squares of\n"
    "  the log ratio) for each model of the set (the master set by default): CSV set, id, number,\n"
    "  factor. Flame length is not adjusted by it. --out writes the simulators' adjustment file\n"
    "  (number and factor a line), numbered as fmtool export-fmd numbers the models.\n";

int usage(const FmtoolStreams &io, const char *command, const char *text, const QString &problem)
{
    if (!problem.isEmpty())
        print(io.err, QStringLiteral("fmtool %1: %2\n").arg(QLatin1String(command), problem));
    std::fputs(text, io.err);
    return 2;
}

using Parsed = CommandOptions;

Parsed parse(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    return ParseCommandOptions(args, valued, flags);
}

// The options rank, fit and adjust share.
struct Common
{
    Units::System units = Units::System::English;
    SpreadConventions conventions = SpreadConventions::Core;
    ObjectiveOptions objective;
};

QString readCommon(const Parsed &p, Common &c)
{
    if (p.given("--units") && !Units::ParseSystemName(p.value("--units"), &c.units))
        return QStringLiteral("--units: \"%1\" is neither english nor metric").arg(p.value("--units"));
    if (p.given("--conventions") && !ParseConventions(p.value("--conventions"), c.conventions))
        return QStringLiteral("--conventions: \"%1\" is neither core nor simulators").arg(p.value("--conventions"));
    if (p.given("--objective")) {
        const QString o = p.value("--objective").toLower();
        if (o == QLatin1String("log"))
            c.objective.kind = ObjectiveKind::LogRatio;
        else if (o == QLatin1String("rmse"))
            c.objective.kind = ObjectiveKind::Rmse;
        else if (o == QLatin1String("mape"))
            c.objective.kind = ObjectiveKind::Mape;
        else
            return QStringLiteral("--objective: \"%1\" is none of log, rmse, mape").arg(p.value("--objective"));
    }
    if (p.given("--flame-weight")) {
        bool ok = false;
        c.objective.flameWeight = p.value("--flame-weight").toDouble(&ok);
        if (!ok || !std::isfinite(c.objective.flameWeight) || c.objective.flameWeight < 0)
            return QStringLiteral("--flame-weight: \"%1\" is not a number of 0 or more").arg(p.value("--flame-weight"));
    }
    return {};
}

// Reads the observations; the report goes to standard error when it has anything to say.
bool readObservations(const QString &path, Units::System units, Observations &out, QStringList &extraColumns,
                      const FmtoolStreams &io, const char *command)
{
    const ObservationImport imported = ReadObservationFile(path, units);
    if (!imported.ok()) {
        print(io.err, QStringLiteral("fmtool %1: %2: %3\n").arg(QLatin1String(command), path, imported.problem));
        return false;
    }
    if (!imported.lines.isEmpty() || !imported.extraColumns.isEmpty() || !imported.notes.isEmpty())
        print(io.err, imported.reportText());
    if (imported.observations.isEmpty()) {
        print(io.err,
              QStringLiteral("fmtool %1: %2 holds no observed fire that can be used\n")
                  .arg(QLatin1String(command), path));
        return false;
    }
    out = imported.observations;
    extraColumns = imported.extraColumns;
    return true;
}

bool readLibrary(const QString &path, const FmtoolStreams &io, const char *command)
{
    LibraryProblem problem;
    if (ReadFMs(path, &problem))
        return true;
    print(io.err, QStringLiteral("fmtool %1: %2\n").arg(QLatin1String(command), problem.toString()));
    return false;
}

QString shortName(const FuelParameterInfo *p)
{
    return QString::fromUtf8(p->shortName.data(), qsizetype(p->shortName.size()));
}

// A parameter's value in the chosen units (the moisture of extinction stays in percent).
double shown(const FuelParameterInfo *p, Units::System units, double english)
{
    return Units::FromEnglish(p->quantity, units, english);
}

// Numbers in JSON: finite ones as numbers, the rest as null.
QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

QJsonObject statsJson(const AgreementStats &ros, const AgreementStats &flame, double objective, Units::System units)
{
    using Units::Quantity;
    QJsonObject o;
    o.insert(QStringLiteral("ros-rmse"), number(Units::FromEnglish(Quantity::RateOfSpread, units, ros.rmse)));
    o.insert(QStringLiteral("ros-bias"), number(Units::FromEnglish(Quantity::RateOfSpread, units, ros.bias)));
    o.insert(QStringLiteral("ros-mape"), number(ros.mape));
    o.insert(QStringLiteral("ros-within-35"), number(ros.within35));
    if (flame.count > 0) {
        o.insert(QStringLiteral("fl-rmse"), number(Units::FromEnglish(Quantity::FlameLength, units, flame.rmse)));
        o.insert(QStringLiteral("fl-bias"), number(Units::FromEnglish(Quantity::FlameLength, units, flame.bias)));
        o.insert(QStringLiteral("fl-mape"), number(flame.mape));
        o.insert(QStringLiteral("fl-within-35"), number(flame.within35));
    }
    if (std::isfinite(objective))
        o.insert(QStringLiteral("objective"), objective);
    return o;
}

QJsonObject fittedJson(const CalibrationSetup &setup, const std::vector<double> &values, Units::System units)
{
    QJsonObject o;
    for (size_t i = 0; i < setup.free.size() && i < values.size(); ++i)
        o.insert(shortName(setup.free[i].parameter), number(shown(setup.free[i].parameter, units, values[i])));
    return o;
}

} // namespace

int fmtoolRank(const QStringList &args, const FmtoolStreams &io)
{
    const Parsed p = parse(args,
                           {QStringLiteral("--set"), QStringLiteral("--units"), QStringLiteral("--conventions"),
                            QStringLiteral("--objective"), QStringLiteral("--flame-weight")},
                           {QStringLiteral("--all-sets"), QStringLiteral("--help")});
    if (p.flags.contains(QStringLiteral("--help"))) {
        std::fputs(kRankUsage, io.out);
        return 0;
    }
    if (!p.problem.isEmpty())
        return usage(io, "rank", kRankUsage, p.problem);
    if (p.positional.size() != 2)
        return usage(io, "rank", kRankUsage, QStringLiteral("an observations file and a LIBRARY file are needed"));
    if (p.given("--set") && p.given("--all-sets"))
        return usage(io, "rank", kRankUsage, QStringLiteral("--set and --all-sets exclude each other"));
    Common c;
    const QString problem = readCommon(p, c);
    if (!problem.isEmpty())
        return usage(io, "rank", kRankUsage, problem);

    Observations observations;
    QStringList extra;
    if (!readObservations(p.positional[0], c.units, observations, extra, io, "rank"))
        return 1;
    if (!readLibrary(p.positional[1], io, "rank"))
        return 1;
    std::vector<CandidateModel> candidates;
    if (p.given("--all-sets"))
        candidates = CandidatesOf(*gFMSets);
    else if (p.given("--set"))
        candidates = CandidatesOf(*gFMSets, p.value("--set"));
    else
        candidates = MasterSetModels(*gFMSets);
    if (candidates.empty()) {
        print(io.err, QStringLiteral("fmtool rank: no model to rank in %1\n").arg(p.positional[1]));
        return 1;
    }
    const std::vector<RankedModel> ranking = RankModels(candidates, observations, c.objective, c.conventions);
    print(io.out, RankingCsv(ranking, observations, c.units));
    return 0;
}

int fmtoolFit(const QStringList &args, const FmtoolStreams &io)
{
    const Parsed p = parse(args,
                           {QStringLiteral("--set"), QStringLiteral("--model"), QStringLiteral("--free"),
                            QStringLiteral("--bound"), QStringLiteral("--objective"), QStringLiteral("--flame-weight"),
                            QStringLiteral("--starts"), QStringLiteral("--seed"), QStringLiteral("--cv"),
                            QStringLiteral("--units"), QStringLiteral("--conventions")},
                           {QStringLiteral("--tie-loads"), QStringLiteral("--apply"), QStringLiteral("--help")});
    if (p.flags.contains(QStringLiteral("--help"))) {
        std::fputs(kFitUsage, io.out);
        return 0;
    }
    if (!p.problem.isEmpty())
        return usage(io, "fit", kFitUsage, p.problem);
    if (p.positional.size() != 2)
        return usage(io, "fit", kFitUsage, QStringLiteral("an observations file and a LIBRARY file are needed"));
    for (const char *needed : {"--set", "--model", "--free"})
        if (!p.given(needed))
            return usage(io, "fit", kFitUsage, QStringLiteral("%1 is needed").arg(QLatin1String(needed)));
    Common c;
    QString problem = readCommon(p, c);
    if (!problem.isEmpty())
        return usage(io, "fit", kFitUsage, problem);
    CalibrationSetup setup;
    setup.objective = c.objective;
    setup.conventions = c.conventions;
    setup.tieLoads = p.given("--tie-loads");
    auto wholeNumber = [&](const char *name, int low, int &out) {
        if (!p.given(name))
            return true;
        bool ok = false;
        const int v = p.value(name).toInt(&ok);
        if (!ok || v < low)
            return false;
        out = v;
        return true;
    };
    int seed = 1;
    if (!wholeNumber("--starts", 1, setup.starts))
        return usage(io, "fit", kFitUsage, QStringLiteral("--starts: a whole number of 1 or more is expected"));
    if (!wholeNumber("--seed", 0, seed))
        return usage(io, "fit", kFitUsage, QStringLiteral("--seed: a whole number of 0 or more is expected"));
    setup.seed = unsigned(seed);
    if (!wholeNumber("--cv", 0, setup.cvFolds))
        return usage(io, "fit", kFitUsage, QStringLiteral("--cv: a whole number of 0 or more is expected"));

    QList<const FuelParameterInfo *> freeParameters;
    for (const auto &[name, value] : p.options) {
        if (name != QLatin1String("--free"))
            continue;
        for (const QString &word : value.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
            const QByteArray w = word.trimmed().toLower().toUtf8();
            const FuelParameterInfo *info = FindFuelParameter(std::string_view(w.constData(), size_t(w.size())));
            if (!info)
                return usage(io, "fit", kFitUsage, QStringLiteral("--free: \"%1\" is not a fuel parameter").arg(word));
            freeParameters << info;
        }
    }

    Observations observations;
    QStringList extra;
    if (!readObservations(p.positional[0], c.units, observations, extra, io, "fit"))
        return 1;
    MemoryTree tree;
    // With --apply the library is locked as the window locks it, read and written under the
    // lock with its notes, so that no other writer's change is lost.
    LockedLibraryFile library(p.positional[1], io, "fit");
    if (p.given("--apply")) {
        if (const int status = library.Lock())
            return status;
        if (!library.Read(tree))
            return 1;
    } else if (!readLibrary(p.positional[1], io, "fit")) {
        return 1;
    }
    std::shared_ptr<FuelModelSet> set;
    std::shared_ptr<FuelModel> target;
    for (const auto &s : *gFMSets) {
        if (s->Name() != p.value("--set") || target)
            continue;
        for (const auto &m : *s->FuelModels())
            if (!target && m->FuelModelID().trimmed().compare(p.value("--model").trimmed(), Qt::CaseInsensitive) == 0) {
                target = m;
                set = s;
            }
    }
    if (!target) {
        print(io.err,
              QStringLiteral("fmtool fit: %1 has no model \"%2\" in a set named \"%3\"\n")
                  .arg(p.positional[1], p.value("--model"), p.value("--set")));
        return 1;
    }
    setup.start = *target;
    setup.standards = MasterSetModels(*gFMSets);
    for (const FuelParameterInfo *info : freeParameters)
        setup.free.push_back(DefaultBounds(*info, setup.standards, setup.start));
    for (const auto &[name, value] : p.options) {
        if (name != QLatin1String("--bound"))
            continue;
        static const QRegularExpression form(QStringLiteral("^\\s*([a-z0-9-]+)\\s*=\\s*([^:]+):(.+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = form.match(value);
        bool okLow = false, okHigh = false;
        const double low = m.hasMatch() ? m.captured(2).trimmed().toDouble(&okLow) : 0;
        const double high = m.hasMatch() ? m.captured(3).trimmed().toDouble(&okHigh) : 0;
        if (!okLow || !okHigh)
            return usage(io, "fit", kFitUsage, QStringLiteral("--bound %1: NAME=LO:HI is expected").arg(value));
        FreeParameter *bound = nullptr;
        for (FreeParameter &f : setup.free)
            if (shortName(f.parameter) == m.captured(1).toLower())
                bound = &f;
        if (!bound)
            return usage(io, "fit", kFitUsage,
                         QStringLiteral("--bound %1: %2 is not a free parameter").arg(value, m.captured(1)));
        bound->low = Units::ToEnglish(bound->parameter->quantity, c.units, low);
        bound->high = Units::ToEnglish(bound->parameter->quantity, c.units, high);
    }
    problem = CalibrationSetupProblem(setup, observations);
    if (!problem.isEmpty()) {
        print(io.err, QStringLiteral("fmtool fit: %1\n").arg(problem));
        return 1;
    }

    const CalibrationResult r = Calibrate(setup, observations);
    if (!r.ok()) {
        print(io.err,
              QStringLiteral("fmtool fit: %1\n")
                  .arg(r.problem.isEmpty() ? QStringLiteral("the fit stopped") : r.problem));
        return 1;
    }

    QJsonObject out;
    out.insert(QStringLiteral("set"), set->Name());
    out.insert(QStringLiteral("model"), target->FuelModelID());
    out.insert(QStringLiteral("units"), Units::SystemName(c.units));
    out.insert(QStringLiteral("fitted"), fittedJson(setup, r.after.values, c.units));
    out.insert(QStringLiteral("start"), fittedJson(setup, r.before.values, c.units));
    QJsonObject bounds;
    for (const FreeParameter &f : setup.free)
        bounds.insert(
            shortName(f.parameter),
            QJsonArray{number(shown(f.parameter, c.units, f.low)), number(shown(f.parameter, c.units, f.high))});
    out.insert(QStringLiteral("bounds"), bounds);
    out.insert(QStringLiteral("before"), statsJson(r.before.ros, r.before.flame, r.before.objective, c.units));
    out.insert(QStringLiteral("after"), statsJson(r.after.ros, r.after.flame, r.after.objective, c.units));
    if (r.hasStandard) {
        QJsonObject best = statsJson(r.bestStandard.ros, r.bestStandard.flame, r.bestStandard.objective, c.units);
        best.insert(QStringLiteral("set"), r.bestStandard.candidate.setName);
        best.insert(QStringLiteral("id"), r.bestStandard.candidate.model->FuelModelID());
        out.insert(QStringLiteral("best-standard"), best);
    }
    out.insert(QStringLiteral("beats-best-standard"), r.beatsStandard);
    QJsonArray atBound;
    for (const ParameterAtBound &b : r.atBound)
        atBound.append(shortName(b.parameter));
    out.insert(QStringLiteral("at-bound"), atBound);
    QJsonArray alternatives;
    for (const FittedModel &a : r.alternatives)
        alternatives.append(QJsonObject{{QStringLiteral("fitted"), fittedJson(setup, a.values, c.units)},
                                        {QStringLiteral("after"), statsJson(a.ros, a.flame, a.objective, c.units)}});
    out.insert(QStringLiteral("alternatives"), alternatives);
    if (r.cv.folds > 0) {
        QJsonObject cv;
        cv.insert(QStringLiteral("folds"), r.cv.folds);
        cv.insert(QStringLiteral("fit"), statsJson(r.cv.fit, {}, r.cv.fitObjective, c.units));
        if (r.hasStandard)
            cv.insert(QStringLiteral("standard"), statsJson(r.cv.standard, {}, r.cv.standardObjective, c.units));
        cv.insert(QStringLiteral("standard-chosen"), QJsonArray::fromStringList(r.cv.standardChosen));
        out.insert(QStringLiteral("cv"), cv);
    } else {
        out.insert(QStringLiteral("cv"), QJsonValue());
    }
    QJsonArray residuals;
    for (qsizetype i = 0; i < observations.size(); ++i) {
        const Observation &o = observations[i];
        using Units::Quantity;
        QJsonObject row{
            {QStringLiteral("id"), o.id},
            {QStringLiteral("ros"), number(Units::FromEnglish(Quantity::RateOfSpread, c.units, o.ros))},
            {QStringLiteral("ros-before"),
             number(Units::FromEnglish(Quantity::RateOfSpread, c.units, r.before.predictions[size_t(i)].ros))},
            {QStringLiteral("ros-after"),
             number(Units::FromEnglish(Quantity::RateOfSpread, c.units, r.after.predictions[size_t(i)].ros))}};
        residuals.append(row);
    }
    out.insert(QStringLiteral("residuals"), residuals);
    out.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(r.warnings));
    out.insert(QStringLiteral("messages"), QJsonArray::fromStringList(r.messages));
    if (!extra.isEmpty())
        out.insert(QStringLiteral("ignored-columns"), QJsonArray::fromStringList(extra));
    out.insert(QStringLiteral("evaluations"), r.evaluations);
    out.insert(QStringLiteral("seconds"), r.seconds);

    if (p.given("--apply")) {
        if (set->Locked()) {
            print(io.err,
                  QStringLiteral("fmtool fit: the set \"%1\" is locked; nothing was written\n").arg(set->Name()));
            return 1;
        }
        for (size_t i = 0; i < setup.free.size(); ++i)
            setup.free[i].parameter->setValue(*target, r.after.values[i]);
        // The model's history records the calibration.
        CalibrationRecord record;
        record.observationsFile = QFileInfo(p.positional[0]).absoluteFilePath();
        if (QFile obs(p.positional[0]); obs.open(QIODevice::ReadOnly))
            record.observationsSha256 =
                QString::fromLatin1(QCryptographicHash::hash(obs.readAll(), QCryptographicHash::Sha256).toHex());
        record.fires = int(observations.size());
        record.objective = p.given("--objective") ? p.value("--objective").toLower() : QStringLiteral("log");
        for (const FreeParameter &f : setup.free)
            record.freeParameters << shortName(f.parameter);
        record.before = {{QStringLiteral("objective"), r.before.objective},
                         {QStringLiteral("ros-rmse"), r.before.ros.rmse}};
        record.after = {{QStringLiteral("objective"), r.after.objective},
                        {QStringLiteral("ros-rmse"), r.after.ros.rmse}};
        gLibraryNotes.Record(target, CalibratedEntry(NotesNow(), record));
        if (!library.Write(*gFMSets))
            return 1;
        out.insert(QStringLiteral("applied"), true);
    }
    print(io.out, QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)));
    return 0;
}

int fmtoolAdjust(const QStringList &args, const FmtoolStreams &io)
{
    const Parsed p = parse(args,
                           {QStringLiteral("--set"), QStringLiteral("--model"), QStringLiteral("--number"),
                            QStringLiteral("--units"), QStringLiteral("--conventions"), QStringLiteral("--out")},
                           {QStringLiteral("--help")});
    if (p.flags.contains(QStringLiteral("--help"))) {
        std::fputs(kAdjustUsage, io.out);
        return 0;
    }
    if (!p.problem.isEmpty())
        return usage(io, "adjust", kAdjustUsage, p.problem);
    if (p.positional.size() != 2)
        return usage(io, "adjust", kAdjustUsage, QStringLiteral("an observations file and a LIBRARY file are needed"));
    Common c;
    const QString problem = readCommon(p, c);
    if (!problem.isEmpty())
        return usage(io, "adjust", kAdjustUsage, problem);
    QHash<QString, int> chosen;
    for (const auto &[name, value] : p.options) {
        if (name != QLatin1String("--number"))
            continue;
        const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
        bool ok = false;
        const int n = eq > 0 ? value.mid(eq + 1).toInt(&ok) : 0;
        if (!ok)
            return usage(io, "adjust", kAdjustUsage, QStringLiteral("--number %1: ID=N is expected").arg(value));
        chosen.insert(value.left(eq).trimmed().toUpper(), n);
    }

    Observations observations;
    QStringList extra;
    if (!readObservations(p.positional[0], c.units, observations, extra, io, "adjust"))
        return 1;
    if (!readLibrary(p.positional[1], io, "adjust"))
        return 1;
    std::vector<CandidateModel> candidates =
        p.given("--set") ? CandidatesOf(*gFMSets, p.value("--set")) : MasterSetModels(*gFMSets);
    if (p.given("--model")) {
        std::erase_if(candidates, [&](const CandidateModel &m) {
            return m.model->FuelModelID().trimmed().compare(p.value("--model").trimmed(), Qt::CaseInsensitive) != 0;
        });
    }
    if (candidates.empty()) {
        print(io.err, QStringLiteral("fmtool adjust: no model matches in %1\n").arg(p.positional[1]));
        return 1;
    }
    QList<FmdExportItem> items;
    for (const CandidateModel &m : candidates)
        items << FmdExportItem{m.model, m.setName, 0, {}};
    items = ProposeFmdExport(items, [&](const QString &, const FuelModel &m) {
        return chosen.value(m.FuelModelID().trimmed().toUpper(), 0);
    });
    for (FmdExportItem &item : items) {
        const auto it = chosen.constFind(item.model->FuelModelID().trimmed().toUpper());
        if (it != chosen.constEnd())
            item.number = it.value();
        // A standard model keeps its own number: the simulators adjust it by that.
        else if (IsStandardModelNumber(NumberOfID(item.model->FuelModelID())))
            item.number = NumberOfID(item.model->FuelModelID());
    }
    std::vector<std::pair<int, double>> lines;
    QString csv = QStringLiteral("set,id,number,factor\r\n");
    QStringList refused;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const FmdExportItem &item = items[i];
        const double factor = AdjustmentFactor(Predict(*item.model, observations, c.conventions), observations);
        const QString numberProblem = IsStandardModelNumber(item.number) ? QString() : FmdNumberProblem(item.number);
        csv += QStringLiteral("%1,%2,%3,%4\r\n")
                   .arg(CsvField(item.setName), CsvField(item.model->FuelModelID()),
                        numberProblem.isEmpty() ? QString::number(item.number) : QString(), TableNumber(factor, 4));
        if (!std::isfinite(factor))
            refused
                << QStringLiteral("%1: does not spread at any observed fire, no factor").arg(item.model->FuelModelID());
        else if (!numberProblem.isEmpty())
            refused << QStringLiteral("%1: %2").arg(item.model->FuelModelID(), numberProblem);
        else
            lines.emplace_back(item.number, factor);
    }
    print(io.out, csv);
    print(io.err, QStringLiteral("Flame length is not adjusted by these factors.\n"));
    if (!p.given("--out"))
        return 0;
    for (const QString &r : refused)
        print(io.err, QStringLiteral("left out: %1\n").arg(r));
    const QByteArray bytes = WriteAdjustmentFile(lines);
    QString why;
    if (!WriteFileWhole(p.value("--out"), bytes, &why)) {
        print(io.err, QStringLiteral("fmtool adjust: %1: %2\n").arg(p.value("--out"), why));
        return 1;
    }
    return 0;
}
