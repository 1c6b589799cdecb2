#pragma once

#include "data/CsvTable.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class IPrompts;
class QAction;
class QChartView;
class QWidget;

// Export of one chart or table: CSV (the table with units and model IDs), PNG or SVG (the
// chart as shown), chosen by the file's extension, and a copy to the clipboard that holds the
// picture, the table as tab-separated text and the CSV (text/csv). Files are written whole or
// not at all.

// The picture is the widget as shown: one chart view, or a panel holding several charts.
bool SaveChartPng(QWidget *view, const QString &path, QString *error);
bool SaveChartSvg(QWidget *view, const QString &path, QString *error);
// Picture (when view is not null), tab-separated text and text/csv.
void CopyChartToClipboard(QWidget *view, const CsvTable &table);

// The Export... and Copy commands of one panel. The table is asked for when needed, so it
// always holds what the panel shows. Without a chart view only CSV is offered. The file
// dialog and the error message go through the window's prompts (Qt's dialogs over the parent
// until SetPrompts is given them).
class ChartExporter : public QObject
{
    Q_OBJECT
public:
    // view: the chart view (or the panel of charts) to draw; null for a table only.
    ChartExporter(QWidget *parent, QWidget *view, std::function<CsvTable()> table, QString baseName);
    ~ChartExporter() override;

    // Writes the file named, its kind from the extension (.csv, .png, .svg; anything else is
    // written as CSV with ".csv" appended). False, with the error reported, on failure.
    bool ExportTo(const QString &path);
    // Asks for a file name, then ExportTo. False when cancelled or failed.
    bool ExportWithDialog();
    void Copy();

    QString BaseName() const { return m_baseName; }
    // What a picture shows: the charts with their legend, without the panel's controls.
    QWidget *View() const { return m_view; }
    void SetBaseName(const QString &name) { m_baseName = name; }

    // The prompts that choose the file and report a failure; they outlive the exporter.
    void SetPrompts(IPrompts *prompts) { m_prompts = prompts; }

private:
    QWidget *m_parent;
    QWidget *m_view;
    std::function<CsvTable()> m_table;
    QString m_baseName;
    QString m_lastFolder;
    IPrompts *m_prompts = nullptr;
    std::unique_ptr<IPrompts> m_ownPrompts;

    IPrompts &prompts();
};
