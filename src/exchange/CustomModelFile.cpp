#include "exchange/CustomModelFile.h"

#include "data/Cp1252.h"
#include "data/FuelParameters.h"
#include "data/NumberText.h"
#include "exchange/MetricFactors.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace {

// Significant digits the file gets, and those a metric value keeps once back in English units:
// enough for every value the editor shows, few enough to drop the conversion's last bits, so
// that 0.74 t/ac goes out as 1.658859710 t/ha and comes back as 0.74.
constexpr int kWrittenDigits = 10;
constexpr int kMetricReadDigits = 9;
// A metric heat content from this value up is taken to be in J/kg (the editor's range ends near
// 28,000 kJ/kg, and 100,000 J/kg would be far too little heat for any fuel).
constexpr double kJoulesThreshold = 100000;

double roundSignificant(double v, int digits)
{
    if (v == 0 || !std::isfinite(v))
        return v;
    const QString text = QString::number(v, 'g', digits);
    return text.toDouble();
}

QString numberText(double v)
{
    return FormatGeneral(roundSignificant(v, kWrittenDigits));
}

// A value field of a line: its editor entry box, its caption and its unit in the file's
// English and metric units.
struct ValueField
{
    int entry;
    const char *name;
    const char *unit;
    const char *metricUnit;
};
// File order of the numeric value fields after the type (sav, depth, mx, heats) and before it.
constexpr ValueField kLoads[] = {{2, "1-h load", "t/ac", "t/ha"},
                                 {3, "10-h load", "t/ac", "t/ha"},
                                 {4, "100-h load", "t/ac", "t/ha"},
                                 {5, "live herb load", "t/ac", "t/ha"},
                                 {6, "live woody load", "t/ac", "t/ha"}};
constexpr ValueField kAfterType[] = {{7, "1-h SA/V", "1/ft", "1/cm"},
                                     {8, "live herb SA/V", "1/ft", "1/cm"},
                                     {9, "live woody SA/V", "1/ft", "1/cm"},
                                     {13, "fuel bed depth", "ft", "cm"},
                                     {14, "moisture of extinction", "%", "%"},
                                     {10, "dead heat content", "btu/lb", "kJ/kg"},
                                     {11, "live heat content", "btu/lb", "kJ/kg"}};

double englishFromMetric(int entry, double v)
{
    switch (entry) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return v / metric::kTonsPerHectarePerTonPerAcre;
    case 7:
    case 8:
    case 9:
        return v * metric::kCentimetresPerFoot; // 1/cm to 1/ft
    case 13:
        return v / metric::kCentimetresPerFoot;
    case 10:
    case 11:
    case 12:
        return v / metric::kKilojoulesPerKgPerBtuPerLb;
    default:
        return v;
    }
}

double metricFromEnglish(int entry, double v)
{
    switch (entry) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return v * metric::kTonsPerHectarePerTonPerAcre;
    case 7:
    case 8:
    case 9:
        return v / metric::kCentimetresPerFoot;
    case 13:
        return v * metric::kCentimetresPerFoot;
    case 10:
    case 11:
    case 12:
        return v * metric::kKilojoulesPerKgPerBtuPerLb;
    default:
        return v;
    }
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.trimmed();
}

QString modelName(const FmdExportItem &item)
{
    return QStringLiteral("\"%1\" (set \"%2\")").arg(item.model->FuelModelID(), item.setName);
}

} // namespace

bool IsStandardModelNumber(int number)
{
    return (number >= 1 && number <= 13) || (number >= 101 && number <= 219);
}

bool IsReservedModelNumber(int number)
{
    return number >= 90 && number <= 99;
}

QString FmdNumberProblem(int number)
{
    if (number < kFmdFirstNumber || number > kFmdLastNumber)
        return QStringLiteral("the model number %1 is outside 1 to 256").arg(number);
    if (IsStandardModelNumber(number))
        return QStringLiteral("the model number %1 is a standard model's (1-13 and 101-219 are taken)").arg(number);
    if (IsReservedModelNumber(number))
        return QStringLiteral("the model number %1 is reserved for non-burnable cover (90-99)").arg(number);
    return {};
}

QString FmdCodeProblem(const QString &code)
{
    if (code.isEmpty())
        return QStringLiteral("the code is empty");
    if (code.size() > kFmdCodeLength)
        return QStringLiteral("the code \"%1\" is longer than 7 characters").arg(code);
    for (QChar c : code)
        if (c.isSpace())
            return QStringLiteral("the code \"%1\" holds a blank").arg(code);
    const QString textProblem = LibraryTextProblem(code);
    if (!textProblem.isEmpty())
        return QStringLiteral("the code \"%1\": %2").arg(code, textProblem);
    return {};
}

int NumberOfID(const QString &id)
{
    const QString t = id.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return 0;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    return t.toInt();
}

QString FreeModelID(const QString &id, const IdTaken &taken)
{
    const QString wanted = id.trimmed();
    if (!taken || !taken(wanted))
        return wanted;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral("_%1").arg(n);
        const QString candidate = wanted.left(kFmdCodeLength - suffix.size()) + suffix;
        if (!taken(candidate))
            return candidate;
    }
}

QList<FmdExportItem> ProposeFmdExport(const QList<FmdExportItem> &models, const RememberedNumber &remembered)
{
    QList<FmdExportItem> items = models;
    QSet<int> used;
    // Numbers the models carry themselves come first, then remembered ones, then free ones.
    for (FmdExportItem &item : items) {
        item.number = 0;
        QString code = item.model->FuelModelID().trimmed();
        code.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral("_"));
        item.code = code;
        const int own = NumberOfID(item.model->FuelModelID());
        if (own != 0 && FmdNumberProblem(own).isEmpty() && !used.contains(own)) {
            item.number = own;
            used.insert(own);
        }
    }
    if (remembered) {
        for (FmdExportItem &item : items) {
            if (item.number != 0)
                continue;
            const int n = remembered(item.setName, *item.model);
            if (n != 0 && FmdNumberProblem(n).isEmpty() && !used.contains(n)) {
                item.number = n;
                used.insert(n);
            }
        }
    }
    int next = kFmdFirstProposed;
    for (FmdExportItem &item : items) {
        if (item.number != 0)
            continue;
        while (next <= kFmdLastProposed && used.contains(next))
            ++next;
        if (next > kFmdLastProposed)
            break;
        item.number = next;
        used.insert(next);
    }
    return items;
}

double FmdLiveHeatContent(const FuelModel &model)
{
    return model.LoadingLiveWoody() > model.LoadingLiveHerb() ? model.HeatContentLiveWoody()
                                                              : model.HeatContentLiveHerb();
}

namespace {

// A line of the file without its name and line end.
QString fmdFields(const FmdExportItem &item, FmdUnits units)
{
    const FuelModel &m = *item.model;
    const bool metricFile = units == FmdUnits::Metric;
    auto value = [&](int entry, double v) { return numberText(metricFile ? metricFromEnglish(entry, v) : v); };
    QStringList f;
    f << QString::number(item.number) << item.code << value(2, m.Loading1Hour()) << value(3, m.Loading10Hour())
      << value(4, m.Loading100Hour()) << value(5, m.LoadingLiveHerb()) << value(6, m.LoadingLiveWoody())
      << (m.HerbType() == 2 ? QStringLiteral("dynamic") : QStringLiteral("static"))
      << value(7, m.SurfaceToVolume1Hour()) << value(8, m.SurfaceToVolumeLiveHerb())
      << value(9, m.SurfaceToVolumeLiveWoody()) << value(13, m.BulkDensityDepth())
      << value(14, m.MoistureOfExtinction()) << value(10, m.HeatContentDead()) << value(11, FmdLiveHeatContent(m));
    return f.join(QLatin1Char(' '));
}

// The name a model gets in the file: its description on one line, cut (at a whole character)
// so that the line keeps within kFmdLongestLine bytes of UTF-8.
QString fmdName(const FmdExportItem &item, FmdUnits units, bool *cut = nullptr)
{
    QString name = oneLine(item.model->Description());
    const qsizetype room = kFmdLongestLine - fmdFields(item, units).toUtf8().size() - 1;
    if (cut)
        *cut = false;
    while (!name.isEmpty() && name.toUtf8().size() > room) {
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
        if (cut)
            *cut = true;
    }
    return name.trimmed();
}

} // namespace

FmdExportCheck CheckFmdExport(const QList<FmdExportItem> &items, FmdUnits units, Units::System shown)
{
    FmdExportCheck check;
    QHash<int, QString> numbers;
    QHash<QString, QString> codes;
    for (const FmdExportItem &item : items) {
        const FuelModel &m = *item.model;
        const QString who = modelName(item);
        if (item.number == 0) {
            check.errors << QStringLiteral("%1: no model number chosen").arg(who);
        } else {
            const QString problem = FmdNumberProblem(item.number);
            if (!problem.isEmpty())
                check.errors << QStringLiteral("%1: %2").arg(who, problem);
            else if (numbers.contains(item.number))
                check.errors << QStringLiteral("%1: the model number %2 is already given to %3")
                                    .arg(who)
                                    .arg(item.number)
                                    .arg(numbers.value(item.number));
            else
                numbers.insert(item.number, who);
        }
        const QString codeProblem = FmdCodeProblem(item.code);
        if (!codeProblem.isEmpty())
            check.errors << QStringLiteral("%1: %2").arg(who, codeProblem);
        else if (codes.contains(item.code.toUpper()))
            check.errors << QStringLiteral("%1: the code \"%2\" is already given to %3")
                                .arg(who, item.code, codes.value(item.code.toUpper()));
        else
            codes.insert(item.code.toUpper(), who);

        const auto &table = FuelParameterTable();
        const bool finite = std::all_of(table.begin(), table.end(),
                                        [&m](const FuelParameterInfo &p) { return std::isfinite(p.valueOf(m)); });
        if (!finite)
            check.errors << QStringLiteral("%1: a parameter is not a finite number").arg(who);
        if (m.Loading1Hour() + m.Loading10Hour() + m.Loading100Hour() == 0)
            check.errors << QStringLiteral("%1: the model has no dead fuel (every dead load is 0); the simulators "
                                           "refuse a file holding such a model")
                                .arg(who);
        if (m.HeatContentLiveHerb() != m.HeatContentLiveWoody()) {
            const bool woody = m.LoadingLiveWoody() > m.LoadingLiveHerb();
            const auto heat = [shown](double english) {
                return Units::FormatEntry(Units::Quantity::HeatContent, shown, english) + QLatin1Char(' ') +
                    Units::UnitLabel(Units::Quantity::HeatContent, shown);
            };
            check.warnings << QStringLiteral("%1: the live herb heat content (%2) and the live woody heat "
                                             "content (%3) differ; the file holds one live heat content and "
                                             "gets the live %4 value, %5 (the live class with the larger load)")
                                  .arg(who, heat(m.HeatContentLiveHerb()), heat(m.HeatContentLiveWoody()),
                                       woody ? QStringLiteral("woody") : QStringLiteral("herb"),
                                       heat(FmdLiveHeatContent(m)));
        }
        if (finite) {
            bool cut = false;
            const QString name = fmdName(item, units, &cut);
            if (cut)
                check.warnings << QStringLiteral("%1: the name is cut to its first %2 characters, so that its line "
                                                 "keeps within the %3 characters the simulators read")
                                      .arg(who)
                                      .arg(name.size())
                                      .arg(kFmdLongestLine);
        }
    }
    return check;
}

QByteArray WriteFmd(const QList<FmdExportItem> &items, FmdUnits units)
{
    const bool metricFile = units == FmdUnits::Metric;
    QString out = metricFile ? QStringLiteral("METRIC\r\n") : QStringLiteral("ENGLISH\r\n");
    for (const FmdExportItem &item : items) {
        QString line = fmdFields(item, units);
        const QString name = fmdName(item, units);
        if (!name.isEmpty())
            line += QLatin1Char(' ') + name;
        out += line + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

// ---- Import ----------------------------------------------------------------------------

int FmdImport::count(FmdLineOutcome outcome) const
{
    int n = 0;
    for (const FmdLineReport &l : lines)
        n += l.outcome == outcome ? 1 : 0;
    return n;
}

QString FmdImport::reportText() const
{
    QString text = QStringLiteral("%1 lines: %2 taken, %3 changed, %4 refused.\n")
                       .arg(lines.size())
                       .arg(count(FmdLineOutcome::Taken))
                       .arg(count(FmdLineOutcome::Changed))
                       .arg(count(FmdLineOutcome::Refused));
    text += units == FmdUnits::Metric
        ? QStringLiteral("Units: metric (t/ha, 1/cm, cm, kJ/kg)%1.\n")
              .arg(unitsLineFound ? QString() : QStringLiteral(", assumed"))
        : QStringLiteral("Units: English (t/ac, 1/ft, ft, btu/lb)%1.\n")
              .arg(unitsLineFound ? QString() : QStringLiteral(", assumed: the file has no units line"));
    if (!heatContentNote.isEmpty())
        text += heatContentNote + QLatin1Char('\n');
    text += QStringLiteral("The file holds no primary fire carrier: each model's is guessed (line by line below) and "
                           "can be changed before the models are added. The one live heat content goes to both "
                           "live herb and live woody.\n");
    for (const FmdLineReport &l : lines) {
        const char *word = l.outcome == FmdLineOutcome::Taken ? "taken"
            : l.outcome == FmdLineOutcome::Changed            ? "changed"
                                                              : "refused";
        text += QStringLiteral("Line %1: %2").arg(l.line).arg(QLatin1String(word));
        if (!l.model.isEmpty())
            text += QStringLiteral(" (%1)").arg(l.model);
        if (!l.reasons.isEmpty())
            text += QStringLiteral(": ") + l.reasons.join(QStringLiteral("; "));
        text += QLatin1Char('\n');
    }
    return text;
}

FuelCatGuess GuessFuelCat(const QString &code, const FuelModel &m)
{
    // A family only where the code is written as the standard codes are: two letters, a digit.
    static const QRegularExpression standardLike(QStringLiteral("^[A-Za-z]{2}[0-9]"));
    const QString family = standardLike.match(code).hasMatch() ? code.left(2).toUpper() : QString();
    if (family == QLatin1String("GR") || family == QLatin1String("GS"))
        return {1, QStringLiteral("from the code")};
    if (family == QLatin1String("SH"))
        return {2, QStringLiteral("from the code")};
    if (family == QLatin1String("TU") || family == QLatin1String("TL"))
        return {3, QStringLiteral("from the code")};
    if (family == QLatin1String("SB"))
        return {4, QStringLiteral("from the code")};
    const double herb = m.LoadingLiveHerb(), woody = m.LoadingLiveWoody();
    if (herb > 0 && herb >= woody)
        return {1, QStringLiteral("herb load")};
    if (woody > 0)
        return {2, QStringLiteral("woody load")};
    const double fine = m.Loading1Hour(), coarse = m.Loading10Hour() + m.Loading100Hour();
    const bool deep = m.BulkDensityDepth() >= 1;
    if (deep && m.SurfaceToVolume1Hour() >= 1500 && coarse <= fine / 2)
        return {1, QStringLiteral("fine 1-h fuel in a deep bed")};
    if (deep)
        return {4, QStringLiteral("dead fuel only, in a deep bed")};
    return {3, QStringLiteral("dead fuel only, in a shallow bed")};
}

namespace {

QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return FromCp1252(bytes);
}

// Splits off the first n blank-separated fields; rest gets what follows them, trimmed.
QStringList fields(const QString &line, int n, QString &rest)
{
    QStringList out;
    qsizetype i = 0;
    const qsizetype size = line.size();
    while (out.size() < n) {
        while (i < size && line[i].isSpace())
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && !line[i].isSpace())
            ++i;
        out << line.mid(start, i - start);
    }
    rest = line.mid(i).trimmed();
    return out;
}

bool isNumber(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v);
}

// Makes a name fit the library file: no double quotes, only Windows-1252 characters.
QString storableText(const QString &text, bool &changed)
{
    QString out;
    changed = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"')) {
            out += QLatin1Char('\'');
            changed = true;
        } else if (!IsCp1252(QStringView(&c, 1)) || c.unicode() < 32) {
            out += QLatin1Char('?');
            changed = true;
        } else {
            out += c;
        }
    }
    return out;
}

// The lines of the text, each ended by LF, CR LF, CR CR LF (a line end written twice over) or
// a lone CR.
QStringList splitLines(QString text)
{
    static const QRegularExpression crsBeforeLf(QStringLiteral("\r+\n"));
    text.replace(crsBeforeLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

} // namespace

FmdImport ReadFmd(QByteArrayView bytes, const IdTaken &idTaken)
{
    FmdImport result;
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = splitLines(text);

    QHash<int, int> numberLine;
    QHash<QString, int> idLine; // IDs given so far, upper case
    QList<int> joulesLines, kilojouleLines;
    bool sawLine = false;
    for (qsizetype li = 0; li < lines.size(); ++li) {
        const int lineNo = int(li + 1);
        const QString line = lines[li].trimmed();
        if (line.isEmpty())
            continue;
        FmdLineReport report;
        report.line = lineNo;
        const QString word = line.toUpper();
        if (word == QLatin1String("ENGLISH") || word == QLatin1String("METRIC")) {
            if (sawLine) {
                report.outcome = FmdLineOutcome::Refused;
                report.reasons << QStringLiteral("a units line belongs at the start of the file");
                result.lines << report;
                continue;
            }
            sawLine = true;
            result.unitsLineFound = true;
            result.units = word == QLatin1String("METRIC") ? FmdUnits::Metric : FmdUnits::English;
            continue;
        }
        sawLine = true;
        const bool metricFile = result.units == FmdUnits::Metric;

        QString name;
        QStringList f = fields(line, 15, name);
        auto refuse = [&](const QString &reason) {
            report.outcome = FmdLineOutcome::Refused;
            report.reasons << reason;
            result.lines << report;
        };
        QStringList changes; // what was changed: the line is reported as changed
        QStringList notes;   // how the line was read: reported, the line still taken
        // The older form: 13 numbers, no code, type nor name. It is read as a static model whose
        // code is its number: the fields are put in the order of the newer form.
        bool olderForm = false;
        if (f.size() == 13 && name.isEmpty() && std::all_of(f.cbegin(), f.cend(), isNumber)) {
            olderForm = true;
            f.insert(1, QString());
            f.insert(7, QStringLiteral("static"));
            notes << QStringLiteral("the older form of 13 numbers, read as a static model with its number as its "
                                    "code");
        }
        if (f.size() >= 2 && !olderForm)
            report.model = f[0] + QLatin1Char(' ') + f[1];
        if (f.size() < 15) {
            refuse(QStringLiteral("%1 fields where 15 and a name (or the older form's 13 numbers) are expected")
                       .arg(f.size()));
            continue;
        }

        // Model number.
        bool ok = false;
        const double numberValue = f[0].toDouble(&ok);
        if (!ok || !std::isfinite(numberValue)) {
            refuse(QStringLiteral("the model number \"%1\" is not a number").arg(f[0]));
            continue;
        }
        const double rounded = std::nearbyint(numberValue);
        if (std::fabs(rounded) > 1e6) {
            refuse(QStringLiteral("the model number %1 is outside 1 to 256").arg(f[0]));
            continue;
        }
        const int number = int(rounded);
        if (rounded != numberValue)
            changes << QStringLiteral("the model number %1 rounded to %2").arg(f[0]).arg(number);
        if (olderForm) {
            f[1] = QString::number(number);
            report.model = f[1];
        }
        const QString numberProblem = FmdNumberProblem(number);
        if (!numberProblem.isEmpty()) {
            refuse(numberProblem);
            continue;
        }
        if (numberLine.contains(number)) {
            refuse(
                QStringLiteral("the model number %1 is already used on line %2").arg(number).arg(numberLine[number]));
            continue;
        }

        // Code: cut to 7 characters as the simulators cut it.
        QString code = f[1];
        if (code.size() > kFmdCodeLength) {
            code = code.left(kFmdCodeLength);
            changes << QStringLiteral("the code \"%1\" cut to its first 7 characters, \"%2\", as the simulators "
                                      "read it")
                           .arg(f[1], code);
        }
        const QString codeProblem = FmdCodeProblem(code);
        if (!codeProblem.isEmpty()) {
            refuse(codeProblem);
            continue;
        }

        // Type: the simulators take a type holding a "d" as dynamic, anything else as static.
        const QString type = f[7].toLower();
        const bool dynamic = type.contains(QLatin1Char('d'));
        if (type != QLatin1String("static") && type != QLatin1String("dynamic") && type != QLatin1String("s") &&
            type != QLatin1String("d"))
            changes << QStringLiteral("the type \"%1\" read as %2, as the simulators read it (a type holding a "
                                      "\"d\" is dynamic, any other static)")
                           .arg(f[7], dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"));

        // Values: read, convert to English units, check against the editor's ranges.
        struct Read
        {
            ValueField field;
            QString text;
        };
        QList<Read> reads;
        for (int k = 0; k < 5; ++k)
            reads << Read{kLoads[k], f[2 + k]};
        for (int k = 0; k < 7; ++k)
            reads << Read{kAfterType[k], f[8 + k]};
        double values[15] = {};
        bool bad = false;
        bool joules = false;
        for (const Read &r : reads) {
            bool numberOk = false;
            const double asRead = r.text.toDouble(&numberOk);
            if (!numberOk || !std::isfinite(asRead)) {
                refuse(QStringLiteral("the %1 \"%2\" is not a number").arg(QLatin1String(r.field.name), r.text));
                bad = true;
                break;
            }
            if (asRead < 0) {
                refuse(QStringLiteral("the %1 %2 is negative").arg(QLatin1String(r.field.name), r.text));
                bad = true;
                break;
            }
            // The value in the file's units (kJ/kg for a metric heat content given in J/kg).
            double inFile = asRead;
            double v = asRead;
            if (metricFile) {
                if ((r.field.entry == 10 || r.field.entry == 11) && inFile >= kJoulesThreshold) {
                    inFile /= 1000; // J/kg to kJ/kg
                    joules = true;
                }
                v = roundSignificant(englishFromMetric(r.field.entry, inFile), kMetricReadDigits);
                // A value too large for a number once converted is no value at all.
                if (!std::isfinite(v)) {
                    refuse(QStringLiteral("the %1 %2 is beyond any number once converted to English units")
                               .arg(QLatin1String(r.field.name), r.text));
                    bad = true;
                    break;
                }
            }
            const FuelParameterInfo *parameter = FuelParameterOfEntry(r.field.entry);
            if (parameter && !parameter->inRange(v)) {
                const double low = parameter->low, high = parameter->high;
                const double clamped = v < low ? low : high;
                // Said in the file's own units.
                const auto said = [&](double english) {
                    if (!metricFile)
                        return FormatGeneral(english);
                    return FormatGeneral(roundSignificant(metricFromEnglish(r.field.entry, english), 4));
                };
                const QString unit = QLatin1String(metricFile ? r.field.metricUnit : r.field.unit);
                changes << QStringLiteral("the %1 %2 %3 clamped to %4 %3 (the editor's range is %5 to %6 %3)")
                               .arg(QLatin1String(r.field.name), FormatGeneral(inFile), unit, said(clamped), said(low),
                                    said(high));
                v = clamped;
            }
            values[r.field.entry] = v;
        }
        if (bad)
            continue;
        if (values[2] + values[3] + values[4] + values[5] + values[6] == 0) {
            refuse(QStringLiteral("the model has no fuel (every load is 0)"));
            continue;
        }
        if (metricFile)
            (joules ? joulesLines : kilojouleLines) << lineNo;

        bool nameChanged = false;
        QString description = storableText(name, nameChanged);
        if (nameChanged)
            changes << QStringLiteral("characters the library file cannot hold replaced in the name");
        if (description.isEmpty()) {
            description = code;
            (olderForm ? notes : changes) << QStringLiteral("no name: the code is the description");
        }

        // The ID: the code, unless the library or an earlier line has it already.
        const QString id = FreeModelID(code, [&](const QString &candidate) {
            return idLine.contains(candidate.toUpper()) || (idTaken && idTaken(candidate));
        });
        if (id != code) {
            const auto earlier = idLine.constFind(code.toUpper());
            changes << QStringLiteral("the ID \"%1\" is %2: the model's ID is \"%3\"")
                           .arg(code,
                                earlier != idLine.constEnd()
                                    ? QStringLiteral("already given on line %1").arg(earlier.value())
                                    : QStringLiteral("taken in the library"),
                                id);
        }

        auto model = std::make_shared<FuelModel>();
        model->setFuelModelID(id);
        model->setDescription(description);
        model->setLoading1Hour(values[2]);
        model->setLoading10Hour(values[3]);
        model->setLoading100Hour(values[4]);
        model->setLoadingLiveHerb(values[5]);
        model->setLoadingLiveWoody(values[6]);
        model->setSurfaceToVolume1Hour(values[7]);
        model->setSurfaceToVolumeLiveHerb(values[8]);
        model->setSurfaceToVolumeLiveWoody(values[9]);
        model->setHeatContentDead(values[10]);
        model->setHeatContentLiveHerb(values[11]);
        model->setHeatContentLiveWoody(values[11]);
        model->setBulkDensityDepth(values[13]);
        model->setMoistureOfExtinction(values[14]);
        model->setHerbType(dynamic ? 2 : 1);
        const FuelCatGuess carrier = GuessFuelCat(code, *model);
        model->setFuelCat(carrier.fuelCat);
        notes << QStringLiteral("fire carrier guessed: %1 (%2)").arg(FuelCatText(carrier.fuelCat), carrier.why);

        numberLine.insert(number, lineNo);
        idLine.insert(id.toUpper(), lineNo);
        report.model = QString::number(number) + QLatin1Char(' ') + code;
        report.outcome = changes.isEmpty() ? FmdLineOutcome::Taken : FmdLineOutcome::Changed;
        report.reasons = changes + notes;
        result.lines << report;
        result.models << model;
        result.numbers << number;
    }

    if (result.units == FmdUnits::Metric && !(joulesLines.isEmpty() && kilojouleLines.isEmpty())) {
        auto lineList = [](const QList<int> &l) {
            QStringList s;
            for (int n : l)
                s << QString::number(n);
            return s.join(QStringLiteral(", "));
        };
        if (joulesLines.isEmpty())
            result.heatContentNote = QStringLiteral("Heat contents were read as kJ/kg (every value is below 100,000).");
        else if (kilojouleLines.isEmpty())
            result.heatContentNote =
                QStringLiteral("Heat contents were read as J/kg (values of 100,000 and more) and divided by 1000.");
        else
            result.heatContentNote = QStringLiteral("Heat contents were read as J/kg on lines %1 (values of 100,000 "
                                                    "and more) and as kJ/kg on lines %2.")
                                         .arg(lineList(joulesLines), lineList(kilojouleLines));
    }
    return result;
}

QList<ModelNotes> FmdImportNotes(const QString &path, const QByteArray &bytes, const FmdImport &imported)
{
    QList<ModelNotes> notes;
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    const QDateTime now = NotesNow();
    for (const FmdLineReport &line : imported.lines) {
        if (line.outcome == FmdLineOutcome::Refused)
            continue;
        ModelNotes n;
        QJsonObject entry = ImportedEntry(now, path, line.line, sha);
        if (notes.size() < imported.numbers.size())
            entry.insert(QStringLiteral("number"), imported.numbers[notes.size()]);
        n.history << entry;
        notes << n;
    }
    return notes;
}
