#include "calibration/AdjustmentFile.h"

#include <QSet>
#include <QString>

#include <algorithm>
#include <cmath>
#include <set>

QByteArray WriteAdjustmentFile(const std::vector<std::pair<int, double>> &numberAndFactor)
{
    QByteArray out;
    for (const auto &[number, factor] : numberAndFactor) {
        // Four decimals, more significant digits for a factor below 0.1.
        const int decimals = factor > 0 && factor < 0.1 ? 4 + int(std::ceil(-std::log10(factor))) : 4;
        QString text = QString::number(factor, 'f', decimals);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
        out += QByteArray::number(number) + ' ' + text.toLatin1() + "\r\n";
    }
    return out;
}

QString AdjustmentNumberProblem(int number)
{
    if (number < 1 || number > 256)
        return QStringLiteral("the model number %1 is outside 1 to 256").arg(number);
    if (number >= 90 && number <= 99)
        return QStringLiteral("the model number %1 is reserved for non-burnable cover (90-99)").arg(number);
    return {};
}

std::vector<int> ProposeAdjustmentNumbers(const QStringList &ids)
{
    std::vector<int> numbers(std::size_t(ids.size()), 0);
    std::set<int> used;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        bool ok = false;
        const QString id = ids[i].trimmed();
        const int own = id.toInt(&ok, 10);
        // Digits only: "+5" or " 7 " inside an ID is no number of its own.
        const bool digits =
            ok && !id.isEmpty() && std::all_of(id.begin(), id.end(), [](QChar c) { return c.isDigit(); });
        if (digits && AdjustmentNumberProblem(own).isEmpty() && used.insert(own).second)
            numbers[std::size_t(i)] = own;
    }
    int next = 14;
    for (int &n : numbers) {
        if (n != 0)
            continue;
        while (next <= 89 && used.count(next))
            ++next;
        if (next > 89)
            break;
        n = next;
        used.insert(next);
    }
    return numbers;
}

std::vector<std::pair<int, double>> AdjustmentLines(const std::vector<TypedAdjustment> &typed, QStringList *faults)
{
    std::vector<std::pair<int, double>> lines;
    QSet<int> used;
    for (const TypedAdjustment &t : typed) {
        bool ok = false;
        const int number = t.number.trimmed().toInt(&ok);
        QString fault = !ok ? QStringLiteral("no model number") : AdjustmentNumberProblem(number);
        if (fault.isEmpty() && used.contains(number))
            fault = QStringLiteral("the model number %1 is given twice").arg(number);
        if (!fault.isEmpty()) {
            *faults << QStringLiteral("%1: %2").arg(t.id, fault);
            continue;
        }
        used.insert(number);
        lines.emplace_back(number, t.factor);
    }
    return lines;
}
