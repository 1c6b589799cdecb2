#include "widgets/ClampingSpinBox.h"

QValidator::State ClampingSpinBox::validate(QString &text, int &pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(text, pos);
    if (state == QValidator::Invalid && aboveMaximum(text))
        return QValidator::Intermediate;
    return state;
}

void ClampingSpinBox::fixup(QString &text) const
{
    if (aboveMaximum(text))
        text = prefix() + textFromValue(maximum()) + suffix();
    else
        QDoubleSpinBox::fixup(text);
}

bool ClampingSpinBox::aboveMaximum(const QString &text) const
{
    QString number = text;
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    bool ok = false;
    const double value = locale().toDouble(number.trimmed(), &ok);
    return ok && value > maximum();
}
