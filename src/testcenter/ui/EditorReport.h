#pragma once

#include "testcenter/ModelReport.h"

#include <QObject>

class frmEditModel;
class QPrinter;
class QPushButton;

// "Print..." and "Export PDF..." of the Edit and Test Center: the report of the model being
// edited (see ModelReport) with the four charts as the editor shows them, through Qt's print
// preview (with its page set-up) or straight to a PDF file chosen through the editor's prompts.
class EditorReport : public QObject
{
    Q_OBJECT
public:
    explicit EditorReport(frmEditModel *editor);

    // The report's content from the editor's boxes as they stand.
    ModelReport Content() const;
    // Lays the report out on the printer's pages.
    void Paint(QPrinter *printer);
    // Writes the report as PDF; false and *error when the file cannot be written.
    bool ExportPdf(const QString &path, QString *error);

    static EditorReport *Of(frmEditModel *editor);

    QPushButton *cmdPrint;
    QPushButton *cmdExportPdf;

private:
    void print();
    void chooseFileAndExportPdf();

    frmEditModel *m_editor;
};

EditorReport *AttachEditorReport(frmEditModel *editor);
