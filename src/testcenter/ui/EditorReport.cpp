#include "testcenter/ui/EditorReport.h"

#include "library/IPrompts.h"
#include "testcenter/EntryRules.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/FireChartView.h"
#include "testcenter/ui/frmEditModel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QUrl>

#ifndef VARROW_VERSION
#define VARROW_VERSION ""
#endif

EditorReport::EditorReport(frmEditModel *editor) : QObject(editor), m_editor(editor)
{
    setObjectName(QStringLiteral("EditorReport"));
    cmdPrint = new QPushButton(QStringLiteral("Pri&nt..."), editor);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setToolTip(QStringLiteral("Print a report of the model, its results and charts"));
    cmdExportPdf = new QPushButton(QStringLiteral("Export P&DF..."), editor);
    cmdExportPdf->setObjectName(QStringLiteral("cmdExportPdf"));
    cmdExportPdf->setToolTip(QStringLiteral("Write a report of the model, its results and charts as PDF"));
    // Below the editor's "Test" button, in the column of the model's commands: the row of test
    // commands beside "Compute" is full.
    QBoxLayout *column = nullptr;
    for (QBoxLayout *l : editor->findChildren<QBoxLayout *>())
        if (l->indexOf(editor->cmdTest()) >= 0)
            column = l;
    auto *row = new QHBoxLayout;
    row->addWidget(cmdPrint);
    row->addWidget(cmdExportPdf);
    if (column)
        column->insertLayout(column->indexOf(editor->cmdTest()) + 1, row);
    else
        editor->testCommandsLayout()->addLayout(row);
    connect(cmdPrint, &QPushButton::clicked, this, &EditorReport::print);
    connect(cmdExportPdf, &QPushButton::clicked, this, &EditorReport::exportPdf);
}

EditorReport *EditorReport::Of(frmEditModel *editor)
{
    return editor->findChild<EditorReport *>(QStringLiteral("EditorReport"), Qt::FindDirectChildrenOnly);
}

ModelReport EditorReport::Content() const
{
    const frmEditModel &e = *m_editor;
    ModelReport r;
    r.setName = e.txtFuelModelSet()->text();
    r.id = e.EntryText(0);
    r.description = e.EntryText(1);
    for (int i = 2; i <= kLastModelEntry; ++i)
        r.parameters << ModelReport::Line{e.RowLabelText(i).trimmed(), e.EntryText(i), {}};
    r.parameters << ModelReport::Line{QStringLiteral("Primary Fire Carrier"), e.cboFireCarry()->currentText(), {}};
    r.parameters << ModelReport::Line{QStringLiteral("Herb Type"), e.cboHerbType()->currentText(), {}};
    for (int i = kFirstEnvEntry; i <= kLastEnvEntry; ++i)
        r.environment << ModelReport::Line{e.RowLabelText(i).trimmed(), e.EntryText(i), {}};
    r.environment << ModelReport::Line{QStringLiteral("Wind Adjustment Factor"), e.cboWindReduce()->currentText().trimmed(), {}};
    r.environment << ModelReport::Line{QStringLiteral("Midflame Wind Speed (mph)"), e.txtMidFlameWind()->text(), {}};
    r.environment << ModelReport::Line{QStringLiteral("Slope Steepness (%)"), e.cboSlope()->currentText().trimmed(), {}};
    r.results << ModelReport::Line{QStringLiteral("ROS (Ch/Hr)"), e.txtROS()->text(), e.txtRefROS()->text()}
              << ModelReport::Line{QStringLiteral("Fireline Intensity (BTU/Ft/Sec)"), e.txtFLI()->text(), e.txtRefFLI()->text()}
              << ModelReport::Line{QStringLiteral("Flame Length (Feet)"), e.txtFL()->text(), e.txtRefFL()->text()}
              << ModelReport::Line{QStringLiteral("Size After 1 Hour (Ac)"), e.txtHeat()->text(), e.txtRefHeat()->text()}
              << ModelReport::Line{QStringLiteral("Char Surface Area to Volume Ratio (ft2/ft3)"),
                                   e.txtCharSurfVolRatio()->text(), {}}
              << ModelReport::Line{QStringLiteral("Relative Packing Ratio"), e.txtPackRatio()->text(), {}};
    if (e.cboFM()->currentIndex() >= 0)
        r.referenceModel = e.cboFMSet()->currentText() + QStringLiteral(": ") + e.cboFM()->currentText();
    r.conventions = e.cboConventions()->currentText();
    r.version = QStringLiteral(VARROW_VERSION);
    r.date = QDate::currentDate().toString(Qt::ISODate);
    return r;
}

void EditorReport::Paint(QPrinter *printer)
{
    ModelReport content = Content();
    QTextDocument doc;
    // The charts as the editor shows them: each tab shown in turn so that it is laid out.
    if (EditorCharts *charts = m_editor->findChild<EditorCharts *>()) {
        QTabWidget *tabs = m_editor->tabResults();
        const int shown = tabs->currentIndex();
        for (int k = 0; k < ChartCount; ++k) {
            tabs->setCurrentIndex(k);
            QCoreApplication::processEvents();
            doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("chart%1").arg(k)),
                            charts->Chart(k)->ChartArea()->grab().toImage());
        }
        tabs->setCurrentIndex(shown);
        content.charts = ChartCount;
    }
    doc.setHtml(ModelReportHtml(content));
    doc.print(printer);
}

bool EditorReport::ExportPdf(const QString &path, QString *error)
{
    // The user chose to replace the file; a stale one must not pass for a written one.
    QFile::remove(path);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(QStringLiteral("Fuel model ") + m_editor->EntryText(0));
    Paint(&printer);
    // QPrinter says nothing when the file cannot be written: look for it.
    QFile written(path);
    if (!written.exists() || written.size() == 0) {
        if (error)
            *error = QStringLiteral("The PDF file could not be written: %1").arg(path);
        return false;
    }
    return true;
}

void EditorReport::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, m_editor);
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &EditorReport::Paint);
    preview.exec();
}

void EditorReport::exportPdf()
{
    QString path = m_chooser ? m_chooser()
                             : QFileDialog::getSaveFileName(m_editor, QStringLiteral("Export PDF"),
                                                            m_editor->EntryText(0).trimmed() + QStringLiteral(".pdf"),
                                                            QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!ExportPdf(path, &error))
        m_editor->Prompts().Message(error, QStringLiteral("Export PDF"), IPrompts::Icon::Exclamation);
}

EditorReport *AttachEditorReport(frmEditModel *editor)
{
    return new EditorReport(editor);
}
