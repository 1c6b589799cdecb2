#pragma once
// Small makers the editor's layout files share: labels, read-only boxes, indexed names.

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QString>

namespace EditorLayout {

// buddy: the control the label names, for the accessibility tools.
inline QLabel *makeLabel(const QString &text, const QString &name, QWidget *parent, QWidget *buddy = nullptr)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

// A read-only box for a derived value, in the button-face colour of every read-only box.
inline QLineEdit *derivedBox(const char *name, QWidget *parent, bool result = false)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QGuiApplication::palette().color(QPalette::Button));
    box->setPalette(p);
    if (result)
        box->setAlignment(Qt::AlignRight);
    return box;
}

// name + "_" + index, the name of an array member's control.
inline QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

} // namespace EditorLayout
