#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The printed report of the model in the Edit and Test Center, as HTML for a text document:
// the model (set, ID, description, every parameter with its unit), the environment, the results
// beside the reference model's, the charts (images the window supplies under the names
// "chart0" to "chart3"), the panel open in the analysis window (image "analysis"), the model's
// notes (source, author, notes) with its history on a last page of their own, how the
// results were computed, the program's version and the date.
struct ModelReport
{
    struct Line
    {
        QString caption; // with its unit, as the editor labels it
        QString value;
        QString reference; // results only; empty elsewhere
    };
    QString setName;
    QString id;
    QString description;
    QList<Line> parameters;
    QList<Line> environment;
    QList<Line> results;
    QString referenceModel; // "set: model", empty when none is chosen
    QString source;         // the model's notes
    QString author;
    QString notes;         // several lines
    QStringList history;   // one line an entry, oldest first
    QString conventions;   // "as the library's core" or "as the fire growth simulators"
    int charts = 0;        // images chart0 .. chart(charts-1)
    QString analysisPanel; // title of the open analysis panel (image "analysis"), empty when none
    QString units;         // "English" or "metric": the units of every value above
    QString version;
    QString date;
};

QString ModelReportHtml(const ModelReport &report);
