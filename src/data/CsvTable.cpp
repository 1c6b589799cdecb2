#include "data/CsvTable.h"

#include "data/WholeFileWrite.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

bool IsCsvNumber(QStringView text)
{
    // A plain decimal number as the tables write it: optional sign, digits with an optional
    // point, optional exponent. Nothing else (no blanks, no thousands separators).
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

QString SpreadsheetSafeText(const QString &text)
{
    if (text.isEmpty() || IsCsvNumber(text))
        return text;
    const QChar first = text.front();
    const bool formulaLike =
        first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' || first == u'\r';
    return formulaLike ? u'\'' + text : text;
}

QString CsvField(const QString &text)
{
    const QString safe = SpreadsheetSafeText(text);
    const bool needsQuotes = safe.size() != text.size() || safe.contains(u',') || safe.contains(u'"') ||
        safe.contains(u'\n') || safe.contains(u'\r') || safe.startsWith(u' ') || safe.endsWith(u' ');
    if (!needsQuotes)
        return safe;
    QString quoted = safe;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

namespace {

QString joined(const QStringList &fields, bool csv)
{
    if (!csv) {
        QStringList cleaned;
        for (const QString &f : fields)
            cleaned << SpreadsheetSafeText(f).replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
        return cleaned.join(u'\t');
    }
    QStringList quoted;
    for (const QString &f : fields)
        quoted << CsvField(f);
    return quoted.join(u',');
}

QString table(const CsvTable &t, bool csv)
{
    const QString eol = csv ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString out = joined(t.header, csv) + eol;
    for (const QStringList &row : t.rows)
        out += joined(row, csv) + eol;
    return out;
}

} // namespace

QString CsvTable::ToCsv() const
{
    return table(*this, true);
}

QString CsvTable::ToTabText() const
{
    return table(*this, false);
}

void AppendTableNumber(std::string &out, double value, int decimals)
{
    if (!std::isfinite(value))
        return;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        return;
    }
    char *dot = std::find(buf, end, '.');
    if (dot != end) {
        while (end > dot && (end[-1] == '0'))
            --end;
        if (end - 1 == dot)
            --end;
    }
    if (end - buf == 2 && buf[0] == '-' && buf[1] == '0') {
        out += '0';
        return;
    }
    out.append(buf, std::size_t(end - buf));
}

QString TableNumber(double value, int decimals)
{
    std::string s;
    AppendTableNumber(s, value, decimals);
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

bool SaveTextFile(const QString &path, const QString &text, QString *error)
{
    return SaveFileWhole(path, text.toUtf8(), error);
}

QString TitleWithUnit(const QString &quantity, const QString &unit)
{
    if (unit.isEmpty())
        return quantity;
    return QStringLiteral("%1 (%2)").arg(quantity, unit);
}
