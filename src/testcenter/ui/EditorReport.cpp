#include "testcenter/ui/EditorReport.h"

#include "analysis/ui/frmAnalysis.h"
#include "data/IPrompts.h"
#include "data/WholeFileWrite.h"
#include "library/ModelNotes.h"
#include "testcenter/EntryRules.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/EditorCharts.h"
#include "testcenter/ui/FireChartView.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>

#ifndef VARROW_VERSION
#define VARROW_VERSION ""
#endif

EditorReport::EditorReport(frmEditModel *editor) : QObject(editor), m_editor(editor)
{
    setObjectName(QStringLiteral("EditorReport"));
    cmdPrint = new QPushButton(QStringLiteral("Pr&int..."), editor);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setToolTip(QStringLiteral("Print a report of the model, its results and charts"));
    cmdExportPdf = new QPushButton(QStringLiteral("Export P&DF..."), editor);
    cmdExportPdf->setObjectName(QStringLiteral("cmdExportPdf"));
    cmdExportPdf->setToolTip(QStringLiteral("Write a report of the model, its results and charts as PDF"));
    // At the end of the units row, in the column of the model's commands: the row of test
    // commands is full, and a row of their own would cost the charts height.
    if (QHBoxLayout *row = editor->unitsRowLayout()) {
        row->addSpacing(12);
        row->addWidget(cmdPrint);
        row->addWidget(cmdExportPdf);
    } else {
        editor->testCommandsLayout()->addWidget(cmdPrint);
        editor->testCommandsLayout()->addWidget(cmdExportPdf);
    }
    connect(cmdPrint, &QPushButton::clicked, this, &EditorReport::print);
    connect(cmdExportPdf, &QPushButton::clicked, this, &EditorReport::chooseFileAndExportPdf);
}

EditorReport *EditorReport::Of(frmEditModel *editor)
{
    return editor->Report();
}

namespace {

// A caption as the editor shows it, without its mnemonic.
QString plainCaption(QString caption)
{
    return caption.remove(QLatin1Char('&')).trimmed();
}

} // namespace

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
    r.environment << ModelReport::Line{
        QStringLiteral("Wind Adjustment Factor"), e.cboWindReduce()->currentText().trimmed(), {}};
    r.environment << ModelReport::Line{
        plainCaption(MidFlameWindCaption(e.ShownUnits())), e.txtMidFlameWind()->text(), {}};
    r.environment << ModelReport::Line{
        QStringLiteral("Slope Steepness (%)"), e.cboSlope()->currentText().trimmed(), {}};
    const std::pair<QLineEdit *, QLineEdit *> results[] = {{e.txtROS(), e.txtRefROS()},
                                                           {e.txtFLI(), e.txtRefFLI()},
                                                           {e.txtFL(), e.txtRefFL()},
                                                           {e.txtHeat(), e.txtRefHeat()}};
    // The captions the editor shows beside the boxes, in its units.
    const char16_t *captions[] = {u"ros", u"fli", u"fl", u"heat"};
    for (std::size_t k = 0; k < std::size(results); ++k)
        r.results << ModelReport::Line{plainCaption(ResultCaption(captions[k], e.ShownUnits())),
                                       results[k].first->text(), results[k].second->text()};
    r.results << ModelReport::Line{plainCaption(ResultCaption(u"charSurfVol", e.ShownUnits())),
                                   e.txtCharSurfVolRatio()->text(),
                                   {}}
              << ModelReport::Line{QStringLiteral("Relative Packing Ratio"), e.txtPackRatio()->text(), {}};
    if (e.cboFM()->currentIndex() >= 0)
        r.referenceModel = e.cboFMSet()->currentText() + QStringLiteral(": ") + e.cboFM()->currentText();
    r.conventions = e.cboConventions()->currentText();
    r.source = e.txtNotesSource()->text();
    r.author = e.txtNotesAuthor()->text();
    r.notes = e.txtNotes()->toPlainText();
    if (const ModelNotes *notes = e.EditFM() ? gLibraryNotes.Of(e.EditFM().get()) : nullptr)
        for (const QJsonObject &entry : notes->history)
            r.history << DescribeEntry(entry);
    r.units = Units::UnitSetting::instance().system() == Units::System::Metric ? QStringLiteral("metric")
                                                                               : QStringLiteral("English");
    if (const frmAnalysis *analysis = EditorAnalysisWindow(m_editor);
        analysis && analysis->isVisible() && analysis->Tabs()->currentIndex() >= 0)
        r.analysisPanel = analysis->Tabs()->tabText(analysis->Tabs()->currentIndex()).remove(QLatin1Char('&'));
    r.version = QStringLiteral(VARROW_VERSION);
    r.date = QDate::currentDate().toString(Qt::ISODate);
    return r;
}

void EditorReport::Paint(QPrinter *printer)
{
    ModelReport content = Content();
    QTextDocument doc;
    // The charts as the editor shows them: each tab shown in turn so that it is laid out.
    if (EditorCharts *charts = m_editor->Charts()) {
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
    // The charts of the panel open in the analysis window with their legend, as its Export
    // draws them (not the panel's buttons and lists).
    if (!content.analysisPanel.isEmpty()) {
        frmAnalysis *analysis = EditorAnalysisWindow(m_editor);
        QWidget *panel = analysis->Tabs()->currentWidget();
        ChartExporter *exporter =
            panel ? panel->findChild<ChartExporter *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
        if (QWidget *charts = exporter && exporter->View() ? exporter->View() : panel) {
            analysis->RefreshNow();
            doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("analysis")), charts->grab().toImage());
        } else {
            content.analysisPanel.clear();
        }
    }
    doc.setHtml(ModelReportHtml(content));
    doc.print(printer);
}

bool EditorReport::ExportPdf(const QString &path, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error =
                QStringLiteral("The PDF file could not be written:\n%1\n%2").arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    // QPrinter writes only to a file by name: the pages are made in a folder of their own, then
    // put in place whole (a file that cannot be written leaves the one there untouched).
    QTemporaryDir pages;
    if (!pages.isValid())
        return fail(pages.errorString());
    const QString made = pages.filePath(QStringLiteral("report.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(made);
        printer.setDocName(QStringLiteral("Fuel model ") + m_editor->EntryText(0));
        Paint(&printer);
    }
    // QPrinter says nothing when the file cannot be written: look at it.
    QFile pdf(made);
    if (!pdf.open(QIODevice::ReadOnly) || pdf.size() == 0)
        return fail(QStringLiteral("The pages could not be made."));
    QString why;
    if (!WriteFileWhole(path, pdf.readAll(), &why))
        return fail(why);
    return true;
}

void EditorReport::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, m_editor);
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &EditorReport::Paint);
    // Large enough to read a page: most of the screen, the page as wide as the window.
    if (const QScreen *screen = m_editor->screen()) {
        const QRect area = screen->availableGeometry();
        preview.resize(qMin(area.width() - 40, 1000), area.height() - 60);
    }
    if (auto *pages = preview.findChild<QPrintPreviewWidget *>())
        pages->fitToWidth();
    preview.exec();
}

void EditorReport::chooseFileAndExportPdf()
{
    QString path = m_editor->Prompts().ChooseSaveFile(QStringLiteral("Export PDF"), QStringLiteral("PDF files (*.pdf)"),
                                                      m_editor->EntryText(0).trimmed() + QStringLiteral(".pdf"));
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
