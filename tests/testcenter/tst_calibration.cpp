// The calibration window through its controls, opened from the Edit and Test Center over the
// shipped library: fires computed from FM1 (1 ft deep) are imported through the file dialog
// and its report, the library is ranked against them, and the edited copy of FM1 (made 2 ft
// deep) is fitted back, applied and the apply undone.
#include "support/EditorFixture.h"

#include "analysis/ui/UncertaintyPanel.h"
#include "analysis/ui/frmAnalysis.h"
#include "calibration/CalibrationReport.h"
#include "calibration/ui/frmCalibration.h"
#include "data/ModelComputation.h"
#include "library/DefaultLibrary.h"
#include "library/MemoryTree.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "testcenter/ui/EditorCalibration.h"
#include "units/UnitSetting.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

class tst_Calibration : public QObject
{
    Q_OBJECT

    ScriptedPrompts prompts;
    FakeOwner owner;
    std::unique_ptr<frmEditModel> editor;
    std::shared_ptr<FuelModel> deepCopy; // FM1 copied into "Custom Fuel Models", 2 ft deep
    QTemporaryDir dir;
    QString firesPath;

    frmCalibration *window() const { return EditorCalibrationWindow(editor.get()); }
    template <typename T> T *control(const char *name) const
    {
        T *w = window()->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }

    // Answers the next modal dialogs in turn from a timer (each runs its own event loop).
    void answerModals(QList<std::function<bool(QWidget *)>> answers)
    {
        if (answers.isEmpty())
            return;
        QTimer::singleShot(50, this, [this, answers]() mutable {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal) {
                answerModals(answers); // not shown yet
                return;
            }
            const auto answer = answers.takeFirst();
            answerModals(answers);
            if (!answer(modal)) {
                qWarning("unexpected modal window %s", qPrintable(modal->objectName()));
                modal->close();
            }
        });
    }

    void importFires()
    {
        prompts.AnswerFiles([this](const IPrompts::FileChoice &c) {
            // Qt's own dialog, a file that exists.
            return !c.save && c.qtDialog && c.dialogName == QLatin1String("dlgObservationFile") ? firesPath : QString();
        });
        answerModals({[](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || box->objectName() != QLatin1String("msgObservationReport"))
                return false;
            // The report says what was refused and which columns are only kept.
            if (!box->detailedText().contains(QStringLiteral("Line 5")) ||
                !box->detailedText().contains(QStringLiteral("otherwise ignored: crew")))
                return false;
            box->button(QMessageBox::Ok)->click();
            return true;
        }});
        click("cmdImportObservations");
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        ResetProgramState();
        ResetTestCenterState();
        ResetLibraryNotes();
        MemoryTree tree;
        gFMSets = ReadLibrary(DefaultLibraryBytes(), tree).sets;
        auto set = gFMSets->Item(2);
        const auto &fm1 = *gFMSets->Item(1)->FuelModels()->Item(1);
        QCOMPARE(fm1.BulkDensityDepth(), 1.0);
        deepCopy = set->FuelModels()->AddCopy(fm1, QStringLiteral("MY1"), QStringLiteral("copy"), NewNodeKey(false));
        deepCopy->setBulkDensityDepth(2);

        // Ten fires of FM1 in English units; line 5 is refused (no rate of spread).
        QByteArray csv = "id,moist-1h,moist-10h,moist-100h,moist-herb,moist-woody,midflame-wind,slope,ros,crew\r\n";
        for (int i = 0; i < 10; ++i) {
            const double oneHour = 4.0 + i * 0.8;
            const FireEnvironment e{{oneHour / 100, 0.06, 0.08, 0.60, 0.90}, 1.0 + i * 0.7, double(i % 3) * 10, 0};
            const ModelFire f = ComputeModelFire(fm1, e);
            csv += QStringLiteral("B%1,%2,6,8,60,90,%3,%4,%5,red\r\n")
                       .arg(i)
                       .arg(oneHour, 0, 'g', 17)
                       .arg(e.midflameWind, 0, 'g', 17)
                       .arg(e.slope)
                       .arg(f.spread.UnroundedRateOfSpread(), 0, 'g', 17)
                       .toUtf8();
            if (i == 2)
                csv += "X,5,6,8,60,90,3,0,,blue\r\n";
        }
        firesPath = dir.filePath(QStringLiteral("fires.csv"));
        QFile file(firesPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(csv);
        file.close();

        editor = std::make_unique<frmEditModel>(&owner, &prompts);
        editor->Open(deepCopy, true);
        QCoreApplication::processEvents();
        auto *open = editor->findChild<QPushButton *>(QStringLiteral("cmdCalibration"));
        QVERIFY(open);
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(window()->isVisible());
    }
    void cleanup()
    {
        editor.reset();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY(prompts.Finished());
    }

    void importThroughTheReportRemembersTheFileAndSendsAnEnvironment()
    {
        importFires();
        QTableWidget *table = control<QTableWidget>("grdObservations");
        QTRY_COMPARE(table->rowCount(), 10);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("B0"));
        QCOMPARE(table->horizontalHeaderItem(table->columnCount() - 1)->text(), QStringLiteral("crew"));
        QVERIFY(control<QLabel>("lblObservationStatus")->text().startsWith(QStringLiteral("10 observed fires")));
        // The file is remembered in the user's settings and offered again.
        QCOMPARE(RecentObservationFiles().value(0), firesPath);
        QCOMPARE(control<QComboBox>("cboRecentObservations")->itemData(0).toString(), firesPath);

        // The third fire's environment into the editor's boxes.
        table->setCurrentCell(2, 0);
        click("cmdSendEnvironment");
        QCOMPARE(editor->EntryEnglish(20), 5.6);
        QCOMPARE(editor->EntryEnglish(22), 8.0);

        // Rows are edited, added and deleted in the table; a bad cell leaves its row out.
        table->item(1, 8)->setText(QStringLiteral("fast"));
        QVERIFY(control<QLabel>("lblObservationStatus")->text().contains(QStringLiteral("1 rows not used")));
        click("cmdAddObservation");
        QCOMPARE(table->rowCount(), 11);
        table->selectRow(1);
        click("cmdDeleteObservation");
        table->selectRow(9);
        click("cmdDeleteObservation");
        QCOMPARE(table->rowCount(), 9);
        QVERIFY(control<QLabel>("lblObservationStatus")->text().startsWith(QStringLiteral("9 observed fires")));
    }

    void pasteFromASpreadsheetAddsRowsInTheTablesOrder()
    {
        QApplication::clipboard()->setText(
            QStringLiteral("P1\t5\t6\t7\t60\t90\t2\t0\t12\t\t1\nP2\t6\t7\t8\t70\t90\t3,5\t0\t20\t\t1\n"));
        click("cmdPasteObservations");
        QTableWidget *table = control<QTableWidget>("grdObservations");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 6)->text(), QStringLiteral("3.5"));
        QCOMPARE(window()->TableObservations().observations.size(), 2);
    }

    void rankingShowsTheTrueModelFirstAndSendsItAsOneUndoableChange()
    {
        importFires();
        QTRY_COMPARE(control<QTableWidget>("grdObservations")->rowCount(), 10);
        window()->Tabs()->setCurrentIndex(1);
        click("cmdRank");
        QTableWidget *ranking = control<QTableWidget>("grdRanking");
        QCOMPARE(ranking->rowCount(), 54); // the edited model and the 53 of the master set
        QCOMPARE(ranking->item(0, 0)->text(), QStringLiteral("(edited)"));
        QCOMPARE(ranking->item(1, 1)->text(), QStringLiteral("1")); // FM1 made the fires
        QCOMPARE(ranking->item(1, 3)->data(Qt::DisplayRole).toDouble(), 0.0);
        // Sorting the other way keeps the edited model on top.
        ranking->sortItems(3, Qt::DescendingOrder);
        QCOMPARE(ranking->item(0, 0)->text(), QStringLiteral("(edited)"));
        ranking->sortItems(3, Qt::AscendingOrder);
        // The chart shows the selected models against the 1:1 line and the band.
        ranking->selectRow(1);
        QChart *chart = control<QChartView>("chtRanking")->chart();
        QCOMPARE(chart->series().size(), 4);
        QCOMPARE(chart->series().last()->name(), QStringLiteral("Orla Master 1"));

        click("cmdSendModel");
        QCOMPARE(editor->EntryEnglish(13), 1.0);
        click("cmdUndoSend");
        QCOMPARE(editor->EntryEnglish(13), 2.0);
    }

    void fitRunsOffTheWindowThreadCancelsAndApplies()
    {
        importFires();
        QTRY_COMPARE(control<QTableWidget>("grdObservations")->rowCount(), 10);
        window()->Tabs()->setCurrentIndex(2);
        QTableWidget *parameters = control<QTableWidget>("grdParameters");
        const int depth = FindFuelParameter("depth")->entryIndex - 2;
        parameters->item(depth, 0)->setCheckState(Qt::Checked);
        parameters->item(depth, 1)->setText(QStringLiteral("0.5"));
        parameters->item(depth, 2)->setText(QStringLiteral("3"));

        // A long fit, cancelled while the window goes on handling events.
        control<QSpinBox>("spnStarts")->setValue(50);
        control<QSpinBox>("spnFolds")->setValue(10);
        QSignalSpy finished(window(), &frmCalibration::fitFinished);
        click("cmdFit");
        QVERIFY(window()->FitRunning());
        QVERIFY(control<QPushButton>("cmdCancelFit")->isEnabled());
        QVERIFY(!control<QPushButton>("cmdFit")->isEnabled());
        click("cmdCancelFit");
        QVERIFY(finished.wait(30000));
        QCOMPARE(window()->Report()->toPlainText(), QStringLiteral("The fit was cancelled.\n"));
        QVERIFY(!control<QPushButton>("cmdApplyFit")->isEnabled());

        control<QSpinBox>("spnStarts")->setValue(2);
        control<QSpinBox>("spnFolds")->setValue(0);
        click("cmdFit");
        QVERIFY(finished.wait(30000));
        QCOMPARE(control<QProgressBar>("prgFit")->value(), 1000);
        const QString report = window()->Report()->toPlainText();
        QVERIFY2(report.contains(QStringLiteral("depth = 1 ft (2; 0.5 to 3)")), qPrintable(report));
        QCOMPARE(control<QChartView>("chtFit")->chart()->series().size(), 5); // 1:1, band twice, before, after

        // Apply plots the editor's model before and after on its charts.
        const size_t plots = gChartState.CurrentPlotHistory.size();
        click("cmdApplyFit");
        QVERIFY(std::fabs(editor->EntryEnglish(13) - 1.0) < 1e-3);
        QCOMPARE(gChartState.CurrentPlotHistory.size(), plots + 2);
        QCOMPARE(gChartState.CurrentPlotHistory[plots]->BulkDensityDepth(), 2.0);
        QVERIFY(std::fabs(gChartState.CurrentPlotHistory[plots + 1]->BulkDensityDepth() - 1.0) < 1e-3);
        // The depth box's own undo gives its value before back.
        QLineEdit *depthBox = editor->txtFuels(13);
        depthBox->setFocus();
        QTest::keyClick(depthBox, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->EntryEnglish(13), 2.0);
        // Applied again, the window's Undo Apply takes the whole change back.
        click("cmdApplyFit");
        QVERIFY(std::fabs(editor->EntryEnglish(13) - 1.0) < 1e-3);
        // The fit waits in the editor for its Save, with what it was made against.
        QVERIFY(editor->AppliedCalibration().has_value());
        const CalibrationRecord applied = *editor->AppliedCalibration();
        QCOMPARE(applied.observationsFile, QDir::toNativeSeparators(firesPath));
        QFile fires(firesPath);
        QVERIFY(fires.open(QIODevice::ReadOnly));
        QCOMPARE(applied.observationsSha256,
                 QString::fromLatin1(QCryptographicHash::hash(fires.readAll(), QCryptographicHash::Sha256).toHex()));
        QCOMPARE(applied.fires, 10);
        QCOMPARE(applied.objective, QStringLiteral("log"));
        QCOMPARE(applied.freeParameters, QStringList{"depth"});
        QCOMPARE(applied.before.value(0).first, QStringLiteral("objective"));
        QCOMPARE(applied.after.value(0).first, QStringLiteral("objective"));
        QVERIFY(applied.after.value(0).second < applied.before.value(0).second);
        click("cmdUndoApply");
        QCOMPARE(editor->EntryEnglish(13), 2.0);
        QVERIFY(!editor->AppliedCalibration().has_value());

        // Applied again and saved: the model's history records the calibration, then nothing more.
        click("cmdApplyFit");
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        const ModelNotes *notes = gLibraryNotes.Of(deepCopy.get());
        QVERIFY(notes);
        QCOMPARE(notes->history.size(), 1);
        QCOMPARE(notes->history[0].value("kind").toString(), QStringLiteral("calibrated"));
        QCOMPARE(notes->history[0].value("fires").toInt(), 10);
        QCOMPARE(notes->history[0].value("free").toArray().size(), 1);
        QVERIFY(!editor->AppliedCalibration().has_value());
    }

    void adjustmentFileOfTheSelectedModelsWithTheNumbersChosen()
    {
        importFires();
        QTRY_COMPARE(control<QTableWidget>("grdObservations")->rowCount(), 10);
        window()->Tabs()->setCurrentIndex(1);
        click("cmdRank");
        QTableWidget *ranking = control<QTableWidget>("grdRanking");
        QCOMPARE(ranking->item(1, 1)->text(), QStringLiteral("1"));
        // The edited model and FM1 selected with the mouse (Ctrl adds the second row).
        QTest::mouseClick(ranking->viewport(), Qt::LeftButton, {},
                          ranking->visualItemRect(ranking->item(0, 1)).center());
        QTest::mouseClick(ranking->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          ranking->visualItemRect(ranking->item(1, 1)).center());
        QCOMPARE(ranking->selectionModel()->selectedRows().size(), 2);

        // The factors worked apart: FM1 made the fires, so 1; the 2-ft deep copy's is the
        // geometric mean of observed over predicted.
        const Observations fires = ReadObservationFile(firesPath, Units::System::English).observations;
        QCOMPARE(fires.size(), 10);
        double logs = 0;
        for (const Observation &o : fires)
            logs += std::log(o.ros / ComputeModelFire(*deepCopy, o.environment).spread.UnroundedRateOfSpread());
        const double deepFactor = std::exp(logs / 10);
        QVERIFY(deepFactor > 1.05 || deepFactor < 0.95);

        const QString path = dir.filePath(QStringLiteral("models.adj"));
        QString dialogText;
        answerModals({[&](QWidget *w) {
            if (w->objectName() != QLatin1String("dlgAdjustmentExport"))
                return false;
            auto *table = w->findChild<QTableWidget *>(QStringLiteral("grdAdjustmentNumbers"));
            // Proposed: the edited MY1 takes 14, FM1 keeps its own number 1.
            dialogText = table->item(0, 1)->text() + " " + table->item(0, 3)->text() + " " + table->item(1, 1)->text() +
                " " + table->item(1, 3)->text();
            const auto type = [&](const QString &text) {
                const QPoint at = table->visualItemRect(table->item(0, 3)).center();
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
                // The cell's open editor (the dialog's window need not be the active
                // one; an editor closed before may not be deleted yet).
                QLineEdit *box = nullptr;
                for (QLineEdit *e : table->viewport()->findChildren<QLineEdit *>())
                    if (e->isVisible())
                        box = e;
                if (!box)
                    return;
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(box, text);
                // Tab commits the cell (Return would also press the default button).
                QTest::keyClick(box, Qt::Key_Tab);
            };
            auto *buttons = w->findChild<QDialogButtonBox *>();
            // A reserved number is refused with its reason; the window stays.
            type(QStringLiteral("95"));
            buttons->button(QDialogButtonBox::Ok)->click();
            dialogText += " | " + w->findChild<QLabel *>(QStringLiteral("lblAdjustmentProblem"))->text();
            type(QStringLiteral("30"));
            buttons->button(QDialogButtonBox::Ok)->click();
            return true;
        }});
        prompts.AnswerFiles([&](const IPrompts::FileChoice &c) {
            return c.save && c.qtDialog && c.dialogName == QLatin1String("dlgAdjustmentFile") &&
                    c.suffix == QLatin1String("adj")
                ? path
                : QString();
        });
        click("cmdExportAdjustments");
        QVERIFY2(dialogText.startsWith(QStringLiteral("MY1 14 1 1 | MY1: the model number 95 is reserved")),
                 qPrintable(dialogText));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3); // two lines, each ended by CR LF
        QVERIFY(lines[0].startsWith("30 ") && lines[0].endsWith('\r'));
        QVERIFY(std::fabs(lines[0].mid(3).trimmed().toDouble() - deepFactor) < 1e-4);
        QCOMPARE(lines[1], QByteArray("1 1\r"));
    }

    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to save the pictures");
        // The fires again, scattered by up to 30 % as observed fires are.
        Observations fires = ReadObservationFile(firesPath, Units::System::English).observations;
        const double scatter[] = {1.3, 0.8, 1.1, 0.75, 1.2, 0.9, 1.25, 0.85, 1.05, 0.7};
        for (qsizetype i = 0; i < fires.size(); ++i)
            fires[i].ros *= scatter[i % 10];
        window()->SetObservations(fires, {QStringLiteral("crew")});
        window()->resize(1180, 720);
        QVERIFY(QDir().mkpath(dir));
        QTest::qWait(50);
        QVERIFY(window()->grab().save(QDir(dir).filePath("calibration-observations.png")));
        window()->Tabs()->setCurrentIndex(1);
        click("cmdRank");
        QTableWidget *ranking = control<QTableWidget>("grdRanking");
        ranking->setSelectionMode(QAbstractItemView::MultiSelection);
        ranking->selectRow(2);
        QTest::qWait(50);
        QVERIFY(window()->grab().save(QDir(dir).filePath("calibration-ranking.png")));
        window()->Tabs()->setCurrentIndex(2);
        QTableWidget *parameters = control<QTableWidget>("grdParameters");
        for (const char *name : {"load-1h", "sav-1h", "depth"})
            parameters->item(FindFuelParameter(name)->entryIndex - 2, 0)->setCheckState(Qt::Checked);
        QSignalSpy finished(window(), &frmCalibration::fitFinished);
        click("cmdFit");
        QVERIFY(finished.wait(60000));
        QTest::qWait(50);
        QVERIFY(window()->grab().save(QDir(dir).filePath("calibration-fit.png")));
    }

    void analysisCountsTheObservedFiresInsideItsBand()
    {
        // Three fires at 4 mi/h midflame on the flat: the first burns as the edited model
        // predicts (rate and flame), the second three times as fast, the third at 0.3 times.
        // With the 20-ft wind within +/- 25 % the model's band spans well under a factor of 2,
        // so only the first fire is inside it.
        const FireEnvironment e{{0.05, 0.06, 0.07, 0.60, 0.90}, 4, 0, 0};
        const ModelFire f = ComputeModelFire(*deepCopy, e);
        QVERIFY(f.computed);
        const double ros = f.spread.UnroundedRateOfSpread(), flame = f.spread.FlameLength();
        QApplication::clipboard()->setText(QStringLiteral("A\t5\t6\t7\t60\t90\t4\t0\t%1\t%2\t1\n"
                                                          "B\t5\t6\t7\t60\t90\t4\t0\t%3\t\t1\n"
                                                          "C\t5\t6\t7\t60\t90\t4\t0\t%4\t\t1\n")
                                               .arg(ros, 0, 'g', 17)
                                               .arg(flame, 0, 'g', 17)
                                               .arg(3 * ros, 0, 'g', 17)
                                               .arg(0.3 * ros, 0, 'g', 17));
        click("cmdPasteObservations");
        QCOMPARE(window()->TableObservations().observations.size(), 3);

        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("cmdAnalysis")), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor.get());
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        QTabBar *bar = analysis->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        UncertaintyPanel *panel = analysis->Uncertainty();
        QComboBox *preset = panel->PresetBox();
        preset->setFocus();
        QTest::keyClick(preset, Qt::Key_Home);
        while (preset->currentText() != QStringLiteral("wind +/- 25 %") && preset->currentIndex() < preset->count() - 1)
            QTest::keyClick(preset, Qt::Key_Down);
        QCOMPARE(preset->currentText(), QStringLiteral("wind +/- 25 %"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel->IsComputing() && !panel->IsStale() && panel->Coverage(), 20000);
        QCOMPARE(panel->Coverage()->fires, 3);
        QCOMPARE(panel->Coverage()->rosInside, 1);
        QCOMPARE(panel->Coverage()->flameFires, 1);
        QCOMPARE(panel->Coverage()->flameInside, 1);
        QVERIFY2(panel->SummaryLabel()->text().contains(QStringLiteral("rate of spread 1 of 3 (33 %)")),
                 qPrintable(panel->SummaryLabel()->text()));
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("flame length 1 of 1 (100 %)")));

        // A fire deleted in the calibration window is counted no more.
        QTableWidget *table = control<QTableWidget>("grdObservations");
        table->selectRow(1);
        click("cmdDeleteObservation");
        QTRY_VERIFY_WITH_TIMEOUT(
            !panel->IsComputing() && !panel->IsStale() && panel->Coverage() && panel->Coverage()->fires == 2, 20000);
        QVERIFY(panel->SummaryLabel()->text().contains(QStringLiteral("rate of spread 1 of 2 (50 %)")));
    }

    void setupProblemIsReportedWithoutAFit()
    {
        window()->Tabs()->setCurrentIndex(2);
        click("cmdFit");
        QVERIFY(!window()->FitRunning());
        QVERIFY(window()->Report()->toPlainText().startsWith(QStringLiteral("Not fitted: no parameter is free")));
    }
};

QTEST_MAIN(tst_Calibration)
#include "tst_calibration.moc"
