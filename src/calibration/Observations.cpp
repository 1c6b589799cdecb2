#include "calibration/Observations.h"

#include "data/Cp1252.h"
#include "data/CsvTable.h"
#include "units/Units.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace {

enum Column {
    ColId,
    ColMoist1,
    ColMoist10,
    ColMoist100,
    ColMoistHerb,
    ColMoistWoody,
    ColMidflame,
    ColWind,
    ColWindAdjust,
    ColSlope,
    ColRos,
    ColFlame,
    ColWeight,
    ColumnCount
};

enum class Kind { Text, Moisture, Slope, Wind, Ros, Flame, Plain };

struct ColumnInfo
{
    const char *name;
    Kind kind;
};

const std::array<ColumnInfo, ColumnCount> kColumns = {{
    {"id", Kind::Text},
    {"moist-1h", Kind::Moisture},
    {"moist-10h", Kind::Moisture},
    {"moist-100h", Kind::Moisture},
    {"moist-herb", Kind::Moisture},
    {"moist-woody", Kind::Moisture},
    {"midflame-wind", Kind::Wind},
    {"wind", Kind::Wind},
    {"wind-adjust", Kind::Plain},
    {"slope", Kind::Slope},
    {"ros", Kind::Ros},
    {"flame-length", Kind::Flame},
    {"weight", Kind::Plain},
}};

const char *const kMoistureNames[5] = {"1-h", "10-h", "100-h", "live herb", "live woody"};

struct UnitFactor
{
    const char *unit;
    double toEnglish;
};

constexpr double kFeetPerChain = 66;
constexpr double kMetersPerChain = Units::kMetersPerChain;

// Units a column may be written in, with the factor to the English unit.
const std::vector<UnitFactor> &UnitsOf(Kind kind)
{
    static const std::vector<UnitFactor> percent = {{"%", 1}, {"percent", 1}};
    static const std::vector<UnitFactor> wind = {{"mi/h", 1},
                                                 {"mph", 1},
                                                 {"km/h", 1 / Units::kKilometersPerMile},
                                                 {"kph", 1 / Units::kKilometersPerMile},
                                                 {"m/s", 3.6 / Units::kKilometersPerMile}};
    static const std::vector<UnitFactor> ros = {{"ch/h", 1},
                                                {"m/min", 60 / kMetersPerChain},
                                                {"m/h", 1 / kMetersPerChain},
                                                {"m/s", 3600 / kMetersPerChain},
                                                {"km/h", 1000 / kMetersPerChain},
                                                {"ft/min", 60 / kFeetPerChain}};
    static const std::vector<UnitFactor> flame = {{"ft", 1}, {"m", 1 / Units::kMetersPerFoot}};
    static const std::vector<UnitFactor> none;
    switch (kind) {
    case Kind::Moisture:
    case Kind::Slope:
        return percent;
    case Kind::Wind:
        return wind;
    case Kind::Ros:
        return ros;
    case Kind::Flame:
        return flame;
    default:
        return none;
    }
}

// The factor of the file's own units for a column.
double SystemFactor(Kind kind, Units::System units)
{
    if (units == Units::System::English)
        return 1;
    switch (kind) {
    case Kind::Wind:
        return 1 / Units::kKilometersPerMile;
    case Kind::Ros:
        return 60 / kMetersPerChain;
    case Kind::Flame:
        return 1 / Units::kMetersPerFoot;
    default:
        return 1;
    }
}

QString Decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = FromCp1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\r\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

struct Record
{
    int line = 0;
    QStringList fields;
};

// Splits text into records of fields. Lines whose first non-blank character is # are skipped,
// as are lines with nothing but separators and blanks.
QList<Record> SplitRecords(const QString &text, QChar separator)
{
    QList<Record> records;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    while (i < n) {
        qsizetype k = i;
        while (k < n &&
               (text[k] == QLatin1Char(' ') || (text[k] == QLatin1Char('\t') && separator != QLatin1Char('\t'))))
            ++k;
        if (k < n && text[k] == QLatin1Char('#')) {
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            ++i;
            ++line;
            continue;
        }
        Record record;
        record.line = line;
        QString field;
        bool inQuotes = false;
        while (i < n) {
            const QChar c = text[i];
            if (inQuotes) {
                if (c == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += c;
                        i += 2;
                        continue;
                    }
                    inQuotes = false;
                } else {
                    if (c == QLatin1Char('\n'))
                        ++line;
                    field += c;
                }
                ++i;
                continue;
            }
            if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
                field.clear();
                inQuotes = true;
            } else if (c == separator) {
                record.fields << field;
                field.clear();
            } else if (c == QLatin1Char('\n')) {
                break;
            } else {
                field += c;
            }
            ++i;
        }
        record.fields << field;
        ++i;
        ++line;
        bool blank = true;
        for (const QString &f : record.fields)
            blank = blank && f.trimmed().isEmpty();
        if (!blank)
            records << record;
    }
    return records;
}

QChar SeparatorOf(const QString &text)
{
    // The header line: the first line that is neither blank nor a comment.
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
            continue;
        if (t.contains(QLatin1Char(',')))
            return QLatin1Char(',');
        if (t.contains(QLatin1Char('\t')))
            return QLatin1Char('\t');
        if (t.contains(QLatin1Char(';')))
            return QLatin1Char(';');
        return QLatin1Char(',');
    }
    return QLatin1Char(',');
}

struct HeaderColumn
{
    int column = -1; // a Column, or -1 for a column kept for display
    double factor = 1;
};

QString NormalName(QString name)
{
    name = name.trimmed().toLower();
    name.replace(QLatin1Char('_'), QLatin1Char('-'));
    name.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral("-"));
    return name;
}

enum class NumberOutcome { Blank, Number, NotANumber };

NumberOutcome ReadNumber(const QString &field, bool decimalComma, double *value)
{
    QString t = field.trimmed();
    if (t.isEmpty())
        return NumberOutcome::Blank;
    if (decimalComma)
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return NumberOutcome::NotANumber;
    *value = v;
    return NumberOutcome::Number;
}

} // namespace

int ObservationImport::refusedCount() const
{
    int n = 0;
    for (const ObservationLineReport &l : lines)
        n += l.refused ? 1 : 0;
    return n;
}

QString ObservationImport::reportText() const
{
    QStringList out;
    if (!ok()) {
        out << QStringLiteral("The file was not read: %1").arg(problem);
        return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    out << QStringLiteral("%1 observed fires taken, %2 lines refused.").arg(observations.size()).arg(refusedCount());
    out << QStringLiteral("Values read as %1 units unless a column names its own.")
               .arg(units == Units::System::Metric ? QStringLiteral("metric (m/min, m, km/h)")
                                                   : QStringLiteral("English (ch/h, ft, mi/h)"));
    out << notes;
    if (!extraColumns.isEmpty())
        out << QStringLiteral("Columns kept for display and otherwise ignored: %1.")
                   .arg(extraColumns.join(QStringLiteral(", ")));
    for (const ObservationLineReport &l : lines) {
        const QString who = l.id.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(l.id);
        out << QStringLiteral("Line %1%2: %3 %4")
                   .arg(l.line)
                   .arg(who, l.refused ? QStringLiteral("refused:") : QStringLiteral("marked:"),
                        l.reasons.join(QStringLiteral("; ")));
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

ObservationImport ReadObservations(QByteArrayView bytes, Units::System units)
{
    ObservationImport result;
    result.units = units;
    const QString text = Decode(bytes);
    result.separator = SeparatorOf(text);
    const bool decimalComma = result.separator != QLatin1Char(',');
    if (result.separator == QLatin1Char('\t'))
        result.notes << QStringLiteral("Fields separated by tabs; a decimal comma is read as a point.");
    else if (result.separator == QLatin1Char(';'))
        result.notes << QStringLiteral("Fields separated by semicolons; a decimal comma is read as a point.");
    const QList<Record> records = SplitRecords(text, result.separator);
    if (records.isEmpty()) {
        result.problem = QStringLiteral("the file holds no column names");
        return result;
    }

    // Header.
    static const QRegularExpression withUnit(QStringLiteral("^(.*?)\\s*[\\(\\[]([^\\)\\]]*)[\\)\\]]\\s*$"));
    const Record &header = records.front();
    QList<HeaderColumn> columns;
    std::array<int, ColumnCount> position;
    position.fill(-1);
    for (qsizetype c = 0; c < header.fields.size(); ++c) {
        const QString title = header.fields[c].trimmed();
        QString name = title, unit;
        const QRegularExpressionMatch m = withUnit.match(title);
        if (m.hasMatch()) {
            name = m.captured(1);
            unit = m.captured(2).trimmed().toLower();
        }
        name = NormalName(name);
        HeaderColumn hc;
        for (int k = 0; k < ColumnCount; ++k)
            if (name == QLatin1String(kColumns[k].name))
                hc.column = k;
        if (hc.column < 0) {
            if (title.isEmpty() && c == header.fields.size() - 1)
                continue; // a trailing separator
            result.extraColumns << (title.isEmpty() ? QStringLiteral("(column %1)").arg(c + 1) : title);
            columns << hc;
            continue;
        }
        if (position[hc.column] >= 0) {
            result.problem =
                QStringLiteral("the column \"%1\" is named twice").arg(QLatin1String(kColumns[hc.column].name));
            return result;
        }
        position[hc.column] = int(c);
        const Kind kind = kColumns[hc.column].kind;
        hc.factor = SystemFactor(kind, units);
        if (!unit.isEmpty()) {
            bool known = false;
            for (const UnitFactor &u : UnitsOf(kind))
                if (unit == QLatin1String(u.unit)) {
                    known = true;
                    hc.factor = u.toEnglish;
                }
            if (!known) {
                QStringList accepted;
                for (const UnitFactor &u : UnitsOf(kind))
                    accepted << QLatin1String(u.unit);
                result.problem = accepted.isEmpty()
                    ? QStringLiteral("the column \"%1\" takes no unit, \"%2\" was given")
                          .arg(QLatin1String(kColumns[hc.column].name), unit)
                    : QStringLiteral("the column \"%1\" cannot be in \"%2\" (%3)")
                          .arg(QLatin1String(kColumns[hc.column].name), unit, accepted.join(QStringLiteral(", ")));
                return result;
            }
            if (hc.factor != SystemFactor(kind, units))
                result.notes << QStringLiteral("The column \"%1\" is read in %2.").arg(title, unit);
        }
        columns << hc;
    }
    QStringList missing;
    if (position[ColMoist1] < 0)
        missing << QStringLiteral("moist-1h");
    if (position[ColRos] < 0)
        missing << QStringLiteral("ros");
    if (position[ColMidflame] < 0 && (position[ColWind] < 0 || position[ColWindAdjust] < 0))
        missing << (position[ColWind] >= 0 ? QStringLiteral("wind-adjust (with wind)")
                                           : QStringLiteral("midflame-wind (or wind with wind-adjust)"));
    if (!missing.isEmpty()) {
        result.problem =
            QStringLiteral("the column%1 %2 %3 missing")
                .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(QStringLiteral(", ")),
                     missing.size() > 1 ? QStringLiteral("are") : QStringLiteral("is"));
        return result;
    }
    for (int k = ColMoist10; k <= ColMoistWoody; ++k)
        if (position[k] < 0)
            result.notes << QStringLiteral("No %1 column: the %2 moisture is taken as 0.")
                                .arg(QLatin1String(kColumns[k].name), QLatin1String(kMoistureNames[k - ColMoist1]));
    if (position[ColMidflame] >= 0 && position[ColWind] >= 0)
        result.notes << QStringLiteral("Both midflame-wind and wind are given: midflame-wind is used.");
    const bool useMidflame = position[ColMidflame] >= 0;

    // Lines.
    for (qsizetype r = 1; r < records.size(); ++r) {
        const Record &rec = records[r];
        ObservationLineReport report;
        report.line = rec.line;
        Observation obs;
        obs.line = rec.line;
        QStringList problems, marks;

        int headerFields = int(header.fields.size());
        for (qsizetype c = headerFields; c < rec.fields.size(); ++c)
            if (!rec.fields[c].trimmed().isEmpty()) {
                problems << QStringLiteral("%1 fields where the column names are %2")
                                .arg(rec.fields.size())
                                .arg(headerFields);
                break;
            }
        auto field = [&](int column) -> QString {
            const int p = position[column];
            return p >= 0 && p < rec.fields.size() ? rec.fields[p] : QString();
        };
        auto factorOf = [&](int column) { return columns[position[column]].factor; };
        if (position[ColId] >= 0)
            obs.id = field(ColId).trimmed();
        report.id = obs.id;

        // A value of a column: nullopt when blank; refuses non-numbers and negatives.
        auto number = [&](int column, const QString &what) -> std::optional<double> {
            if (position[column] < 0)
                return std::nullopt;
            double v = 0;
            const QString f = field(column);
            switch (ReadNumber(f, decimalComma, &v)) {
            case NumberOutcome::Blank:
                return std::nullopt;
            case NumberOutcome::NotANumber:
                problems << QStringLiteral("the %1 \"%2\" is not a number").arg(what, f.trimmed());
                return std::nullopt;
            case NumberOutcome::Number:
                break;
            }
            if (v < 0) {
                problems << QStringLiteral("the %1 %2 is negative").arg(what, f.trimmed());
                return std::nullopt;
            }
            return v * factorOf(column);
        };

        double moisture[5] = {0, 0, 0, 0, 0};
        for (int k = 0; k < 5; ++k) {
            const QString what = QStringLiteral("%1 moisture").arg(QLatin1String(kMoistureNames[k]));
            const int before = int(problems.size());
            const std::optional<double> v = number(ColMoist1 + k, what);
            if (v) {
                moisture[k] = *v;
                if (*v == 0)
                    marks << QStringLiteral("%1 0 computed as given").arg(what);
            } else if (int(problems.size()) == before && position[ColMoist1 + k] >= 0) {
                marks << QStringLiteral("%1 blank, computed as 0").arg(what);
            }
        }
        for (int k = 0; k < 5; ++k)
            obs.environment.moisture[size_t(k)] = moisture[k] / 100;

        int before = int(problems.size());
        if (useMidflame) {
            const std::optional<double> v = number(ColMidflame, QStringLiteral("midflame wind"));
            if (v)
                obs.environment.midflameWind = *v;
            else if (int(problems.size()) == before)
                problems << QStringLiteral("no midflame wind");
        } else {
            const std::optional<double> wind = number(ColWind, QStringLiteral("wind"));
            if (!wind && int(problems.size()) == before)
                problems << QStringLiteral("no wind");
            before = int(problems.size());
            const std::optional<double> adjust = number(ColWindAdjust, QStringLiteral("wind adjustment factor"));
            if (!adjust && int(problems.size()) == before)
                problems << QStringLiteral("no wind adjustment factor");
            else if (adjust && *adjust > 1)
                problems
                    << QStringLiteral("the wind adjustment factor %1 is above 1").arg(field(ColWindAdjust).trimmed());
            if (wind && adjust)
                obs.environment.midflameWind = *wind * *adjust;
        }

        if (const std::optional<double> v = number(ColSlope, QStringLiteral("slope")))
            obs.environment.slope = *v;

        before = int(problems.size());
        if (const std::optional<double> v = number(ColRos, QStringLiteral("rate of spread"))) {
            if (*v > 0)
                obs.ros = *v;
            else
                problems << QStringLiteral("the rate of spread is 0 (only a fire that spread can be compared)");
        } else if (int(problems.size()) == before) {
            problems << QStringLiteral("no rate of spread");
        }
        if (const std::optional<double> v = number(ColFlame, QStringLiteral("flame length"))) {
            if (*v > 0)
                obs.flameLength = *v;
            else
                problems << QStringLiteral("the flame length is 0 (leave it blank when not observed)");
        }
        if (const std::optional<double> v = number(ColWeight, QStringLiteral("weight")))
            obs.weight = *v;

        for (qsizetype c = 0; c < columns.size(); ++c)
            if (columns[c].column < 0)
                obs.extra << (c < rec.fields.size() ? rec.fields[c].trimmed() : QString());

        if (!problems.isEmpty()) {
            report.refused = true;
            report.reasons = problems;
            result.lines << report;
            continue;
        }
        if (!marks.isEmpty()) {
            report.reasons = marks;
            result.lines << report;
        }
        result.observations << obs;
    }
    if (result.observations.isEmpty() && result.refusedCount() == 0)
        result.notes << QStringLiteral("The file holds column names but no fires.");
    return result;
}

ObservationImport ReadObservationFile(const QString &path, Units::System units)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ObservationImport result;
        result.units = units;
        result.problem = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return result;
    }
    if (file.size() > kLargestObservationFile) {
        ObservationImport result;
        result.units = units;
        result.problem = QStringLiteral("%1 is too large for a file of observed fires (over 4 MB)").arg(path);
        return result;
    }
    return ReadObservations(file.read(kLargestObservationFile + 1), units);
}

QString ObservationsToCsv(const Observations &observations, const QStringList &extraColumns, Units::System units)
{
    using Units::Quantity;
    auto unit = [&](Quantity q) { return Units::UnitLabel(q, units); };
    CsvTable table;
    table.header << QStringLiteral("id") << QStringLiteral("moist-1h") << QStringLiteral("moist-10h")
                 << QStringLiteral("moist-100h") << QStringLiteral("moist-herb") << QStringLiteral("moist-woody")
                 << QStringLiteral("midflame-wind (%1)").arg(unit(Quantity::WindSpeed)) << QStringLiteral("slope")
                 << QStringLiteral("ros (%1)").arg(unit(Quantity::RateOfSpread))
                 << QStringLiteral("flame-length (%1)").arg(unit(Quantity::FlameLength)) << QStringLiteral("weight");
    table.header << extraColumns;
    auto num = [](double v) { return std::isfinite(v) ? QString::number(v, 'g', 15) : QString(); };
    for (const Observation &o : observations) {
        const FireEnvironment &e = o.environment;
        QStringList row;
        row << o.id;
        for (double m : e.moisture)
            row << num(100 * m);
        row << num(Units::FromEnglish(Quantity::WindSpeed, units, e.midflameWind)) << num(e.slope)
            << num(Units::FromEnglish(Quantity::RateOfSpread, units, o.ros))
            << num(o.hasFlameLength() ? Units::FromEnglish(Quantity::FlameLength, units, o.flameLength) : NAN)
            << num(o.weight);
        for (qsizetype k = 0; k < extraColumns.size(); ++k)
            row << (k < o.extra.size() ? o.extra[k] : QString());
        table.rows << row;
    }
    return table.ToCsv();
}
