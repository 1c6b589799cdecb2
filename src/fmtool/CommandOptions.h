#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The options of one fmtool command: --name VALUE or --name=VALUE for the valued names, bare
// --name for the flags; everything else is positional. problem names the first option that is
// unknown or lacks its value.
struct CommandOptions
{
    QStringList positional;
    QList<QPair<QString, QString>> options;
    QStringList flags;
    QString problem;

    // The last value given for name (empty when none).
    QString value(const char *name) const;
    // True when name was given, as a valued option or a flag.
    bool given(const char *name) const;
};

CommandOptions ParseCommandOptions(const QStringList &args, const QStringList &valued, const QStringList &flags);
