// The printed report of the Edit and Test Center, written as PDF through the real button and
// read back with a PDF tool; and the computation setting with its mark.
#include "support/EditorFixture.h"

#include "analysis/ui/frmAnalysis.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QTimer>

#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/EditorReport.h"
#include <functional>

#include <QComboBox>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

class EditorReportTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<FakeTuners> tuners;
    std::unique_ptr<frmEditModel> editor;

    void open(const std::shared_ptr<FuelModel> &fm)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->setTuners(tuners.get());
        editor->Open(fm, true);
        editor->show();
    }

    static QString pdfText(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QStringLiteral("(pdftotext failed: %1)").arg(QString::fromLocal8Bit(p.readAllStandardError()));
        // Compatibility normalisation undoes the typesetter's ligatures ("fi" set as one glyph).
        return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        tuners = std::make_unique<FakeTuners>();
    }
    void cleanup()
    {
        editor.reset();
        ResetTestCenterState();
    }

    void exportPdfHoldsTheModelItsResultsAndTheReferences()
    {
        open(lib->shortGrass);
        editor->cboFM()->setCurrentIndex(1); // reference: "2 - Timber grass"
        editor->cboFM()->activated(1);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        const QString ros = editor->txtROS()->text();
        const QString refRos = editor->txtRefROS()->text();
        QVERIFY(ros.toDouble() > 0);
        QVERIFY(refRos.toDouble() > 0 && refRos != ros);

        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        EditorReport *report = EditorReport::Of(editor.get());
        QVERIFY(report);
        prompts->AnswerFiles(path);
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        // A file to save to, named after the model.
        QCOMPARE(prompts->FileChoices().size(), std::size_t(1));
        QVERIFY(prompts->FileChoices().front().save);
        QCOMPARE(prompts->FileChoices().front().suggested, QStringLiteral("1.pdf"));
        QVERIFY(QFile::exists(path));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Fuel model 1 - Short grass")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Fuel model set: Grass Models")));
        // The rate of spread of the model and of the reference, on one line.
        QVERIFY2(QRegularExpression(QStringLiteral("ROS \\(Ch/Hr\\)\\s+%1\\s+%2")
                                        .arg(QRegularExpression::escape(ros), QRegularExpression::escape(refRos)))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("1 Hour Loading (t/ac)")));
        QVERIFY(text.contains(QStringLiteral("as the library's core")));
        QVERIFY(text.contains(QStringLiteral("Varrow ")));

        // Computed as the simulators, the report says so.
        editor->cboConventions()->setCurrentIndex(1);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        const QString simulators = pdfText(path);
        QVERIFY2(simulators.contains(QStringLiteral("as the fire growth simulators")), qPrintable(simulators));
    }

    void theComputationSettingMarksTheResults()
    {
        open(lib->dynamicGrass);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        const QString core = editor->txtROS()->text();
        QCOMPARE(editor->fraResults()->title(), QStringLiteral("Results"));
        editor->cboConventions()->setCurrentIndex(1);
        QCOMPARE(gSpreadConventions, SpreadConventions::Simulators);
        QCOMPARE(editor->fraResults()->title(), QStringLiteral("Results (as the fire growth simulators)"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        // GR2's cured herb (1800 1/ft) shares a size subclass with its 1-h class (2000 1/ft).
        QVERIFY(editor->txtROS()->text() != core);
        editor->cboConventions()->setCurrentIndex(0);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(editor->txtROS()->text(), core);
    }

    void theOpenAnalysisPanelIsInTheReportAndAClosedOneIsNot()
    {
        open(lib->shortGrass);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        EditorReport *report = EditorReport::Of(editor.get());
        prompts->AnswerFiles(path);

        QTest::mouseClick(editor->findChild<QPushButton *>("cmdAnalysis"), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor.get());
        QVERIFY(analysis && analysis->isVisible());
        analysis->Tabs()->setCurrentIndex(1);
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        const QString open = pdfText(path);
        QVERIFY2(open.contains(QStringLiteral("Analysis: Sensitivity")), qPrintable(open));
        QVERIFY(!open.contains(QStringLiteral("Response Curves")));
        // Four pages (pdftotext ends each with a form feed): the model, the charts, the panel
        // on a page of its own, the model's notes.
        QCOMPARE(open.count(QLatin1Char('\f')), 4);
        QVERIFY(open.section(QLatin1Char('\f'), 2, 2).contains(QStringLiteral("Analysis: Sensitivity")));
        QVERIFY(open.section(QLatin1Char('\f'), 3, 3).contains(QStringLiteral("History: none recorded.")));

        analysis->close();
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        QVERIFY(!pdfText(path).contains(QStringLiteral("Analysis:")));
        QCOMPARE(pdfText(path).count(QLatin1Char('\f')), 3);
    }

    // The print preview opens large enough to read a page, inside the screen.
    void printPreviewOpensLargeEnoughToRead()
    {
        open(lib->shortGrass);
        QSize size;
        QRect area;
        qreal zoom = 0;
        // The report lays out the charts (events run) before the preview's own loop starts: look
        // again until the preview is up.
        std::function<void()> look;
        look = [&] {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (!preview || !preview->isVisible()) {
                QTimer::singleShot(20, look);
                return;
            }
            size = preview->size();
            area = preview->screen()->availableGeometry();
            if (auto *pages = preview->findChild<QPrintPreviewWidget *>())
                zoom = pages->zoomFactor();
            preview->reject();
        };
        QTimer::singleShot(0, look);
        QTest::mouseClick(EditorReport::Of(editor.get())->cmdPrint, Qt::LeftButton);
        QVERIFY2(size.height() >= area.height() - 100 && size.width() >= qMin(area.width() - 40, 1000),
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        QVERIFY(size.width() <= area.width() && size.height() <= area.height());
        QVERIFY2(zoom >= 0.5 || size.width() < 900, qPrintable(QString::number(zoom)));
    }

    void anOldFileIsReplacedWholeAndAFolderThatIsNotThereIsReported()
    {
        open(lib->shortGrass);
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older report");
        }
        EditorReport *report = EditorReport::Of(editor.get());
        prompts->AnswerFiles(path);
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith("%PDF"));
        QVERIFY(written.permissions() & QFileDevice::ReadOther); // not left as a private temporary file
        // Nothing but the report is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});

        const QString nowhere = dir.filePath("no such folder/report.pdf");
        prompts->AnswerFiles(nowhere);
        prompts->ExpectMessage({}, QStringLiteral("Export PDF"));
        QTest::mouseClick(report->cmdExportPdf, Qt::LeftButton);
        QVERIFY(prompts->Finished());
        QVERIFY(prompts->Log().last().contains(QStringLiteral("could not be written")));
        QVERIFY(!QFile::exists(nowhere));
    }
};

QTEST_MAIN(EditorReportTest)
#include "tst_editor_report.moc"
