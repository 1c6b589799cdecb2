#include "calibration/AdjustmentFile.h"

#include <QString>

#include <cmath>

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
