// The Compare tab and the consistency warnings of the Edit and Test Center, through their
// controls, over the shipped library (the 53 standard models in the locked master set).
#include "support/EditorFixture.h"

#include "library/DefaultLibrary.h"
#include "library/MemoryTree.h"
#include "testcenter/ui/ComparisonPanel.h"
#include "testcenter/ui/ConsistencyWarningsView.h"
#include "units/UnitSetting.h"
#include "widgets/ChartExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cmath>

class tst_Compare : public QObject
{
    Q_OBJECT

    ScriptedPrompts prompts;
    FakeOwner owner;
    std::unique_ptr<frmEditModel> editor;
    std::shared_ptr<FuelModel> copyOfFm1; // FM1 copied unchanged into "Custom Fuel Models"

    ComparisonPanel *panel() const { return editor->findChild<ComparisonPanel *>(); }
    QTableView *table() const { return editor->findChild<QTableView *>(QStringLiteral("tblComparison")); }
    QString cell(int row, int column) const { return table()->model()->index(row, column).data().toString(); }
    QLabel *label(const char *name) const { return editor->findChild<QLabel *>(QString::fromLatin1(name)); }

    void open(const std::shared_ptr<FuelModel> &fm)
    {
        editor = std::make_unique<frmEditModel>(&owner, &prompts);
        editor->Open(fm, true);
        QCoreApplication::processEvents();
    }

    void showCompareTab()
    {
        QTabWidget *tabs = editor->tabResults();
        const int tab = tabs->indexOf(panel());
        QVERIFY(tab >= 5); // after the chart tabs and "Reference Fuel Model"
        QCOMPARE(tabs->tabText(tab), QStringLiteral("Compare"));
        tabs->setCurrentIndex(tab);
    }

    std::shared_ptr<FuelModel> addToCustomSet(const char *id, std::function<void(FuelModel &)> change)
    {
        auto set = gFMSets->Item(2); // "Custom Fuel Models"
        auto m = set->FuelModels()->AddCopy(*gFMSets->Item(1)->FuelModels()->Item(1), QString::fromLatin1(id),
                                            QStringLiteral("copy"), NewNodeKey(false));
        change(*m);
        return m;
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        ResetProgramState();
        ResetTestCenterState();
        MemoryTree tree;
        gFMSets = ReadLibrary(DefaultLibraryBytes(), tree).sets;
        QCOMPARE(gFMSets->Item(1)->FuelModels()->Count(), 53);
        copyOfFm1 = addToCustomSet("MY1", [](FuelModel &) {});
    }
    void cleanup()
    {
        editor.reset();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY(prompts.Finished());
    }

    void comparesWithTheMasterSetAndFindsAnUnchangedCopyFirst()
    {
        open(copyOfFm1);
        showCompareTab();
        QCOMPARE(panel()->SetList()->currentText(), QStringLiteral("Orla Master"));
        QCOMPARE(table()->model()->rowCount(), 54);
        QCOMPARE(cell(0, ComparisonPanel::ColId), QStringLiteral("MY1"));
        QVERIFY(table()->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        // The edited model's results are those of the editor's result box.
        editor->Compute();
        QCOMPARE(cell(0, ComparisonPanel::ColRos), editor->txtROS()->text().trimmed());
        QCOMPARE(cell(1, ComparisonPanel::ColId), QStringLiteral("1"));
        QCOMPARE(cell(1, ComparisonPanel::ColDRos), QStringLiteral("0.0"));
        // The unchanged copy of FM1 comes first, by its ID and distance alone.
        QVERIFY2(
            label("lblNearestBehaviour")->text().startsWith(QStringLiteral("<b>Nearest by behaviour:</b> 1 (0.000), ")),
            qPrintable(label("lblNearestBehaviour")->text()));
        QVERIFY2(label("lblNearestParameters")
                     ->text()
                     .startsWith(QStringLiteral("<b>Nearest by parameters:</b> 1 (0.000), ")),
                 qPrintable(label("lblNearestParameters")->text()));
    }

    void sortingKeepsTheEditedModelOnTop()
    {
        open(copyOfFm1);
        showCompareTab();
        QHeaderView *header = table()->horizontalHeader();
        const int x = header->sectionViewportPosition(ComparisonPanel::ColRos) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        const Qt::SortOrder first = header->sortIndicatorOrder();
        for (int click = 0; click < 2; ++click) {
            QCOMPARE(cell(0, ComparisonPanel::ColId), QStringLiteral("MY1"));
            const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
            for (int r = 2; r < table()->model()->rowCount(); ++r) {
                const double a = cell(r - 1, ComparisonPanel::ColRos).toDouble();
                const double b = cell(r, ComparisonPanel::ColRos).toDouble();
                QVERIFY2(ascending ? a <= b : a >= b, qPrintable(QStringLiteral("row %1").arg(r)));
            }
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        }
        QCOMPARE(header->sortIndicatorOrder(), first);
    }

    void followsTheEntriesAndTheChosenSet()
    {
        open(copyOfFm1);
        editor->chkAuto()->setChecked(true);
        showCompareTab();
        typeInto(*editor, 2, QStringLiteral("2.5")); // 1-h loading of FM1 0.74 -> 2.5
        QVERIFY(!label("lblNearestParameters")->text().contains(QStringLiteral("(0.000)")));
        QCOMPARE(cell(1, ComparisonPanel::ColId), QStringLiteral("1"));
        QVERIFY2(cell(1, ComparisonPanel::ColDRos) != QStringLiteral("0.0"),
                 qPrintable(cell(1, ComparisonPanel::ColDRos)));
        QCOMPARE(cell(0, ComparisonPanel::ColRos), editor->txtROS()->text().trimmed());

        // The custom set holds the unchanged copy, which is now the nearest model there.
        QComboBox *sets = panel()->SetList();
        const int custom = sets->findText(QStringLiteral("Custom Fuel Models"));
        QVERIFY(custom >= 0);
        sets->setCurrentIndex(custom);
        emit sets->activated(custom);
        QCOMPARE(table()->model()->rowCount(), 2);
        QCOMPARE(cell(1, ComparisonPanel::ColId), QStringLiteral("MY1"));
        QVERIFY(cell(1, ComparisonPanel::ColBehaviour).toDouble() > 0);
    }

    void showsTheChosenUnits()
    {
        open(copyOfFm1);
        showCompareTab();
        editor->Compute();
        const double rosEnglish = cell(1, ComparisonPanel::ColRos).toDouble(); // FM1, ch/h
        QVERIFY(rosEnglish > 1);
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        QCoreApplication::processEvents();
        const QString title = table()->model()->headerData(ComparisonPanel::ColRos, Qt::Horizontal).toString();
        QVERIFY2(title.contains(QStringLiteral("(m/min)")), qPrintable(title));
        // 1 ch/h = 20.1168 m / 60 min; the English cell itself is rounded to 0.05 ch/h.
        QVERIFY2(std::abs(cell(1, ComparisonPanel::ColRos).toDouble() - rosEnglish * 20.1168 / 60) < 0.02,
                 qPrintable(cell(1, ComparisonPanel::ColRos)));
        editor->Compute();
        QCOMPARE(cell(0, ComparisonPanel::ColRos), editor->txtROS()->text().trimmed());
        // The rule under the table names its winds in km/h too: 2, 5 and 10 mi/h are
        // 3.2, 8 and 16.1 km/h (1 mi = 1.609344 km).
        const QString rule = editor->findChild<QLabel *>(QStringLiteral("lblComparisonRule"))->text();
        QVERIFY2(rule.contains(QStringLiteral("0, 3.2, 8 and 16.1 km/h")) && !rule.contains(QStringLiteral("mi/h")),
                 qPrintable(rule));
    }

    void exportsTheTableWithUnitsAndIds()
    {
        open(copyOfFm1);
        showCompareTab();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("compare.csv"));
        prompts.AnswerFiles(path);
        editor->findChild<QPushButton *>(QStringLiteral("cmdExportComparison"))->click();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        QVERIFY(lines[0].startsWith(QStringLiteral("Set,ID,Description,Rate of spread (ch/h),Difference (ch/h),")));
        // The edited model's row names the set it belongs to, as every other row does.
        QVERIFY(lines[1].startsWith(owner.setName + QStringLiteral(",MY1,(edited model),")));
        QVERIFY(lines[2].startsWith(QStringLiteral("Orla Master,1,")));
        QCOMPARE(lines.size(), 56); // header, 54 rows, empty after the last line end
    }

    void warningsStandBesideTheEntriesAndNeverBlockSave()
    {
        // A dynamic model without herb load: a warning beside the herb load, not beside the
        // moisture of extinction.
        auto dynamic = addToCustomSet("DYN", [](FuelModel &m) { m.setHerbType(2); });
        open(dynamic);
        auto *view = editor->findChild<ConsistencyWarningsView *>();
        QVERIFY(view);
        QLabel *herb = view->Marker(5);
        QVERIFY(herb && herb->isVisibleTo(editor.get()));
        QVERIFY(herb->toolTip().contains(QStringLiteral("Dynamic herb type")));
        // The sign stands in the herb load's row, right of its Tune button.
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        const auto rectIn = [this](const QWidget *w) { return QRect(w->mapTo(editor.get(), QPoint()), w->size()); };
        const QRect box = rectIn(editor->txtFuels(5));
        const QRect sign = rectIn(herb);
        const QRect tune = rectIn(editor->findChild<QWidget *>(QStringLiteral("cmdTuner_5")));
        QVERIFY2(
            sign.center().y() >= box.top() && sign.center().y() <= box.bottom(),
            qPrintable(
                QStringLiteral("sign at y %1, box %2..%3").arg(sign.center().y()).arg(box.top()).arg(box.bottom())));
        QVERIFY2(sign.left() > tune.right(),
                 qPrintable(QStringLiteral("sign at x %1, Tune ends at %2").arg(sign.left()).arg(tune.right())));
        QVERIFY(!view->Marker(14)->isVisibleTo(editor.get()));
        QVERIFY(view->Summary()->toPlainText().contains(QStringLiteral("Dynamic herb type")));

        // Save writes the model whatever the warnings say.
        editor->cmdApply()->click();
        QVERIFY(owner.calls.contains(QStringLiteral("SaveLibrary")));

        // A herb load ends the warning; a 1-h moisture above the extinction of 12 % starts one.
        typeInto(*editor, 5, QStringLiteral("0.5"));
        QTRY_VERIFY(!herb->isVisibleTo(editor.get()));
        typeInto(*editor, 20, QStringLiteral("13"));
        QTRY_VERIFY(view->Marker(14)->isVisibleTo(editor.get()));
        QVERIFY(view->Marker(14)->toolTip().contains(QStringLiteral("12.0 %")));
        typeInto(*editor, 20, QStringLiteral("11"));
        QTRY_VERIFY(!view->Marker(14)->isVisibleTo(editor.get()));
        QCOMPARE(view->Summary()->toPlainText(), QStringLiteral("No consistency warnings."));

        // The same happens through the herb type list.
        editor->cboHerbType()->setCurrentIndex(0);
        QTRY_VERIFY(herb->isVisibleTo(editor.get())); // now herb load in a static model
        QVERIFY(herb->toolTip().contains(QStringLiteral("static")));
    }

    // A model that cannot burn is told so beside its 1-h load: every load 0, or loads only in
    // classes without surface (SA/V 0). Any load with a surface ends the warning.
    void aModelWithoutFuelToBurnIsWarnedOf()
    {
        open(copyOfFm1); // 0.74 t/ac of 1-h fuel, nothing else
        auto *view = editor->findChild<ConsistencyWarningsView *>();
        view->Refresh();
        QLabel *load = view->Marker(2);
        QVERIFY(load && !load->isVisibleTo(editor.get()));
        typeInto(*editor, 2, QStringLiteral("0"));
        QTRY_VERIFY(load->isVisibleTo(editor.get()));
        QVERIFY2(load->toolTip().contains(QStringLiteral("Every fuel load is 0")), qPrintable(load->toolTip()));
        QVERIFY(view->Summary()->toPlainText().contains(QStringLiteral("cannot burn")));
        // A 10-h load has its surface fixed by the model: it burns.
        typeInto(*editor, 3, QStringLiteral("0.5"));
        QTRY_VERIFY(!load->isVisibleTo(editor.get()));
        typeInto(*editor, 3, QStringLiteral("0"));
        typeInto(*editor, 2, QStringLiteral("0.74"));
        typeInto(*editor, 7, QStringLiteral("0"));
        QTRY_VERIFY(load->isVisibleTo(editor.get()));
        QVERIFY2(load->toolTip().contains(QStringLiteral("SA/V is 0")), qPrintable(load->toolTip()));
        typeInto(*editor, 7, QStringLiteral("3500"));
        QTRY_VERIFY(!load->isVisibleTo(editor.get()));
    }

    void anUnchangedStandardModelRaisesNoEnvelopeWarning()
    {
        open(copyOfFm1);
        auto *view = editor->findChild<ConsistencyWarningsView *>();
        view->Refresh();
        QVERIFY(view->Warnings().empty());
        // FM1's 3500 ft2/ft3 is the finest of the standard models; 4000 is finer than all.
        typeInto(*editor, 7, QStringLiteral("4000"));
        QTRY_VERIFY(view->Marker(kCharSurfVolEntry)->isVisibleTo(editor.get()));
        QVERIFY(view->Marker(kCharSurfVolEntry)->toolTip().contains(QStringLiteral("4000 ft2/ft3")));
        QVERIFY(!view->Marker(kPackRatioEntry)->isVisibleTo(editor.get()));
        // In metric the warning speaks metric: 4000 / 0.3048 = 13123 and 3500 / 0.3048 = 11483 m2/m3.
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        QTRY_VERIFY2(view->Marker(kCharSurfVolEntry)->toolTip().contains(QStringLiteral("13123 m2/m3")),
                     qPrintable(view->Marker(kCharSurfVolEntry)->toolTip()));
        QVERIFY(view->Marker(kCharSurfVolEntry)->toolTip().contains(QStringLiteral("11483 m2/m3")));
    }

    // With VARROW_SCREENSHOT_DIR set: the Compare tab over a custom shrub model, and a model
    // with warnings beside its entries.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to save the pictures");
        auto shrub = addToCustomSet("SHX", [](FuelModel &m) {
            m.setDescription(QStringLiteral("Mixed shrub, moderate load"));
            m.setLoading1Hour(1.1);
            m.setLoading10Hour(1.9);
            m.setLoading100Hour(0.3);
            m.setLoadingLiveWoody(4.2);
            m.setSurfaceToVolume1Hour(2000);
            m.setSurfaceToVolumeLiveWoody(1600);
            m.setBulkDensityDepth(1.4);
            m.setMoistureOfExtinction(20);
        });
        open(shrub);
        editor->resize(1380, 940);
        editor->chkAuto()->setChecked(true);
        editor->Compute();
        showCompareTab();
        QTest::qWait(50);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(editor->grab().save(QDir(dir).filePath("editor-compare.png")));
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        QTest::qWait(50);
        QVERIFY(editor->grab().save(QDir(dir).filePath("editor-compare-metric.png")));
        Units::UnitSetting::instance().setSystem(Units::System::English);

        auto odd = addToCustomSet("ODD", [](FuelModel &m) {
            m.setDescription(QStringLiteral("Dynamic, no herb, wet extinction"));
            m.setHerbType(2);
            m.setSurfaceToVolume1Hour(3900);
            m.setLoadingLiveWoody(3.0);
            m.setMoistureOfExtinction(6);
        });
        open(odd);
        editor->resize(1380, 940);
        QTest::qWait(50);
        QVERIFY(editor->grab().save(QDir(dir).filePath("editor-warnings.png")));
    }
};

QTEST_MAIN(tst_Compare)
#include "tst_compare.moc"
