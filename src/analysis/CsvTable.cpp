#include "analysis/CsvTable.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

QString CsvField(const QString &text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                             text.contains(u'\r') || text.startsWith(u' ') || text.endsWith(u' ');
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

namespace {

QString joined(const QStringList &fields, bool csv)
{
    if (!csv) {
        QStringList cleaned;
        for (QString f : fields)
            cleaned << f.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
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

QString TableNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    QString s = QString::number(value, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

bool SaveTextFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(QFileInfo(path).fileName(), reason);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QString TitleWithUnit(const QString &quantity, const QString &unit)
{
    if (unit.isEmpty())
        return quantity;
    return QStringLiteral("%1 (%2)").arg(quantity, unit);
}
