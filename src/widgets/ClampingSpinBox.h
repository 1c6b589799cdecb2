#pragma once

#include <QDoubleSpinBox>

// A number box where a number typed above the maximum is taken as the maximum, shown so once
// the box is left (or Enter pressed), instead of the key that made it too large being dropped
// unseen: "300" typed where 99 is the most reads 99.0, not 30.0.
class ClampingSpinBox : public QDoubleSpinBox
{
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &text) const override;

private:
    bool aboveMaximum(const QString &text) const;
};
