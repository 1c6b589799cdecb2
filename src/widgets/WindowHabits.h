#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// Habits of every window of the program. Window places and sizes, and other window layout, kept in the program's settings (the
// "Varrow" store of the unit choice) under "Windows/<name>".

// Stores the window's place and size under "Windows/<name>Geometry".
void SaveWindowGeometry(const QWidget *window, const QString &name);
// Gives the window its stored place and size. A place on a screen that is no longer there (or
// no longer that large) is moved onto the primary screen, and the size kept within it. False
// when nothing was stored.
bool RestoreWindowGeometry(QWidget *window, const QString &name);

// Keeps the window inside the available area of its screen (a 1366x768 screen less its panel)
// every time it is shown: no larger than the area less the window's frame, and moved in where
// its frame would stand out of it.
void KeepInsideScreen(QWidget *window);
// The same once, now.
void FitInsideScreen(QWidget *window);

// Any other layout state (a splitter's) under "Windows/<key>".
void SaveWindowState(const QString &key, const QByteArray &state);
QByteArray ReadWindowState(const QString &key);

class QComboBox;
class QLineEdit;

// Names that a narrow box can cut show in full as a tooltip: the box's (its current text) and,
// in a list, each item's. Kept up to date as the text or the items change.
void ShowFullTextAsToolTip(QComboBox *box);
void ShowFullTextAsToolTip(QLineEdit *box);
