// What the Edit and Test Center does with entries its computations must refuse, with a
// dynamic reference model, and with unsaved edits when its window is closed, through the real
// controls: Auto Compute with a red entry, the midflame wind beyond its range, the close
// button, the environment names, the stale-results note and the Tune buttons' names.
#include "support/EditorFixture.h"

#include "analysis/Sweep.h"
#include "analysis/ui/ResponseCurvesPanel.h"
#include "analysis/ui/frmAnalysis.h"
#include "data/FuelModel.h"
#include "data/NumberText.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/ui/ComparisonPanel.h"
#include "testcenter/ui/EditorAnalysis.h"
#include "units/UnitSetting.h"
#include "units/UserEnvironments.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>

#include <cmath>

namespace {

const QString kRangeMessage =
    QStringLiteral("You have entries that are outside the \racceptable range and are in highlighted in red.");
const QString kCloseQuestion =
    QStringLiteral("The fuel model %1 has changes that are not saved.\rSave them before closing?");

} // namespace

class tst_EditorRefusals : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<frmEditModel> editor;

    void open(const std::shared_ptr<FuelModel> &fm)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(fm, true);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }
    QPushButton *button(const char *name) { return editor->findChild<QPushButton *>(QString::fromLatin1(name)); }
    ComparisonPanel *compare() { return editor->findChild<ComparisonPanel *>(); }
    void showCompareTab() { editor->tabResults()->setCurrentWidget(compare()); }
    void autoCompute()
    {
        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(editor->chkAuto()->isChecked());
    }
    void chooseUnits(int index)
    {
        editor->cboUnits()->setCurrentIndex(index);
        emit editor->cboUnits()->activated(index);
    }
    // Types a factor into the editable wind adjustment list, as a user would.
    void typeFactor(const QString &text)
    {
        QLineEdit *edit = editor->cboWindReduce()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QStringList resultTexts() const
    {
        return {editor->txtROS()->text(),   editor->txtFLI()->text(),    editor->txtFL()->text(),
                editor->txtHeat()->text(),  editor->txtRefROS()->text(), editor->txtRefFLI()->text(),
                editor->txtRefFL()->text(), editor->txtRefHeat()->text()};
    }
    static void settle()
    {
        QTest::qWait(1);
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        ResetChartState();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
    }

    void cleanup()
    {
        editor.reset();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    // A red entry under Auto Compute: no results, no comparison, no new curves; the entry at
    // fault is named; mending it brings everything back.
    void autoComputeShowsNothingFromARedEntry()
    {
        open(lib->timberGrass);
        showCompareTab();
        QTest::mouseClick(button("cmdAnalysis"), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor.get());
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        autoCompute();
        typeInto(*editor, 2, QStringLiteral("3"));
        settle();
        QVERIFY(!editor->txtROS()->text().isEmpty());
        QVERIFY(compare()->TableView()->model()->rowCount() > 1);
        QVERIFY(editor->lblResultsNote()->isHidden());
        const auto curveBefore = analysis->Curves()->Curves()[0].points;
        QVERIFY(analysis->RefusedNote()->isHidden());

        typeInto(*editor, 2, QStringLiteral("40")); // 1-h load of 40 t/ac: red
        settle();
        QVERIFY(isRed(*editor, 2));
        for (const QString &text : resultTexts())
            QVERIFY2(text.isEmpty(), qPrintable(text));
        QVERIFY(editor->txtPackRatio()->text().isEmpty());
        const QString fault = QStringLiteral("1 Hour Loading (t/ac): 40 is outside its range (0 - 30.49)");
        QVERIFY(editor->lblResultsNote()->isVisible());
        QCOMPARE(editor->lblResultsNote()->text(), QStringLiteral("No results: ") + fault + QLatin1Char('.'));
        QCOMPARE(compare()->TableView()->model()->rowCount(), 0);
        QVERIFY(compare()->NearestByBehaviourLabel()->text().contains(fault));
        // The curves stay as computed from the last valid entries, marked as such.
        QVERIFY(analysis->RefusedNote()->isVisible());
        QVERIFY(analysis->RefusedNote()->text().contains(fault));
        QCOMPARE(analysis->Curves()->Curves()[0].points.size(), curveBefore.size());
        for (std::size_t i = 0; i < curveBefore.size(); i += 40)
            QCOMPARE(analysis->Curves()->Curves()[0].points[i].rateOfSpread, curveBefore[i].rateOfSpread);
        // Compute and Plot refuse as before.
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->txtROS()->text().isEmpty());

        // A moisture of absurd size is refused the same way, by name.
        typeInto(*editor, 2, QStringLiteral("3"));
        typeInto(*editor, 20, QStringLiteral("567891011121314"));
        settle();
        QVERIFY(editor->txtROS()->text().isEmpty());
        QVERIFY(editor->lblResultsNote()->text().startsWith(
            QStringLiteral("No results: 1 Hour Fuel Moisture (%): 567891011121314 is outside its range (1-60%)")));

        typeInto(*editor, 20, QStringLiteral("6"));
        settle();
        QVERIFY(!editor->txtROS()->text().isEmpty());
        QVERIFY(editor->lblResultsNote()->isHidden());
        QVERIFY(compare()->TableView()->model()->rowCount() > 1);
        QVERIFY(analysis->RefusedNote()->isHidden());
        QVERIFY(analysis->Curves()->Curves()[0].points[100].rateOfSpread !=
                curveBefore[100].rateOfSpread); // 6 % 1-h moisture, not 5 %
    }

    // A dynamic reference computes with its own herb type everywhere: the Reference tab, the
    // charts and the curves give what the same model gives as the edited one.
    void dynamicReferenceCuresItsHerbLikeTheEditedModel()
    {
        open(lib->dynamicGrass); // GR2, dynamic
        editor->cboFM()->setCurrentIndex(2);
        emit editor->cboFM()->activated(2);
        QVERIFY(editor->cboFM()->currentText().startsWith(QStringLiteral("GR2")));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(ParseLeadingNumber(editor->txtROS()->text()) > 0);
        QCOMPARE(editor->txtRefROS()->text(), editor->txtROS()->text());
        QCOMPARE(editor->txtRefFL()->text(), editor->txtFL()->text());
        QCOMPARE(editor->txtRefFLI()->text(), editor->txtFLI()->text());
        QCOMPARE(editor->txtRefHeat()->text(), editor->txtHeat()->text());

        // The chart's reference point stands on the bar of the same model.
        editor->findChild<QCheckBox *>(QStringLiteral("chkPlotRefFM"))->click();
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 1);
        QCOMPARE(gChartState.Reference(1)->RateOfSpread(), gChartState.Current(1)->RateOfSpread());

        // The response curves: the reference curve lies on the edited one.
        QTest::mouseClick(button("cmdAnalysis"), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor.get());
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        settle();
        const auto &curves = analysis->Curves()->Curves();
        QCOMPARE(curves.size(), std::size_t(2));
        for (std::size_t i = 0; i < curves[0].points.size(); i += 25)
            QCOMPARE(curves[1].points[i].rateOfSpread, curves[0].points[i].rateOfSpread);

        // The same model edited as static differs: the reference did not follow the editor's list.
        editor->cboHerbType()->setCurrentIndex(0);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->txtRefROS()->text() != editor->txtROS()->text());
    }

    // The midflame wind beyond its stated range: marked, and refused by name by Compute, Plot
    // and Save Environment, in both unit systems.
    void midflameWindAboveItsRangeIsMarkedAndRefusedByName()
    {
        open(lib->shortGrass);
        const QColor face = editor->txtMidFlameWind()->palette().color(QPalette::Base);
        QVERIFY(face != frmEditModel::LightRed());
        typeInto(*editor, 25, QStringLiteral("99")); // x 0.7 = 69.3 mi/h, above 60
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("69.3"));
        QVERIFY(!isRed(*editor, 25)); // the 20-ft wind itself is in its range
        QCOMPARE(editor->txtMidFlameWind()->palette().color(QPalette::Base), frmEditModel::LightRed());
        const QString english = QStringLiteral("Midflame Wind Speed (mph): 69.3 is outside its range (0-60 mph).\r"
                                               "Lower the 20-ft wind speed or the wind adjustment factor.");
        prompts->ExpectMessage(english, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->txtROS()->text().isEmpty());
        prompts->ExpectMessage(english, QStringLiteral("Error in entries"));
        QTest::mouseClick(button("cmdPlot"), Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 0);
        prompts->ExpectMessage(english, QStringLiteral("Error in entries"));
        QTest::mouseClick(button("cmdSaveEnvironment"), Qt::LeftButton);

        // Metric: 99 mi/h is 159.3 km/h; 69.3 mi/h is 111.5 km/h beside "(0-96.6 km/h)".
        chooseUnits(1);
        QCOMPARE(editor->EntryText(25), QStringLiteral("159.3"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("111.5"));
        QCOMPARE(editor->txtMidFlameWind()->palette().color(QPalette::Base), frmEditModel::LightRed());
        prompts->ExpectMessage(QStringLiteral("Midflame Wind Speed (km/h): 111.5 is outside its range (0-96.6 km/h).\r"
                                              "Lower the 20-ft wind speed or the wind adjustment factor."),
                               QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        autoCompute();
        QVERIFY(editor->lblResultsNote()->text().contains(QStringLiteral("Midflame Wind Speed (km/h): 111.5")));

        // A smaller factor brings the wind back into its range: 99 x 0.6 = 59.4 mi/h.
        typeFactor(QStringLiteral("0.6"));
        QCOMPARE(editor->txtMidFlameWind()->palette().color(QPalette::Base), face);
        QVERIFY(!editor->txtROS()->text().isEmpty());
        QVERIFY(editor->lblResultsNote()->isHidden());
        // Exactly at the limit still holds: 60 mi/h.
        chooseUnits(0);
        typeInto(*editor, 25, QStringLiteral("60"));
        typeFactor(QStringLiteral("1"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("60.0"));
        QVERIFY(editor->lblResultsNote()->isHidden());
        typeFactor(QStringLiteral("1.01"));
        QVERIFY(editor->lblResultsNote()->isVisible());
    }

    // The window's close button (a QCloseEvent, as Alt+F4 sends) with unsaved edits asks as a
    // desktop program does: Cancel keeps the window, No drops the edits, Yes saves them the
    // way Close and Save does.
    void closeButtonAsksAboutUnsavedEdits()
    {
        open(lib->timberGrass);
        // Nothing changed: closes without a question.
        {
            QCloseEvent close;
            QApplication::sendEvent(editor.get(), &close);
            QVERIFY(close.isAccepted());
        }
        QVERIFY(owner->calls.contains(QStringLiteral("EditorClosed")));
        owner->calls.clear();

        open(lib->timberGrass);
        typeInto(*editor, 2, QStringLiteral("3"));
        prompts->ExpectYesNoCancel(kCloseQuestion.arg(QStringLiteral("2")), IPrompts::Answer::Cancel);
        {
            QCloseEvent close;
            QApplication::sendEvent(editor.get(), &close);
            QVERIFY(!close.isAccepted());
        }
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->EntryText(2), QStringLiteral("3"));
        QVERIFY(!owner->calls.contains(QStringLiteral("EditorClosed")));

        // Yes with an entry out of range: the Save refuses and the window stays.
        typeInto(*editor, 3, QStringLiteral("31"));
        prompts->ExpectYesNoCancel(kCloseQuestion.arg(QStringLiteral("2")), IPrompts::Answer::Yes);
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QVERIFY(!editor->close());
        QVERIFY(editor->isVisible());
        QCOMPARE(lib->timberGrass->Loading10Hour(), 1.0);

        // Yes: saved into the library as Close and Save does.
        typeInto(*editor, 3, QStringLiteral("1.5"));
        prompts->ExpectYesNoCancel(kCloseQuestion.arg(QStringLiteral("2")), IPrompts::Answer::Yes);
        QVERIFY(editor->close());
        QCOMPARE(lib->timberGrass->Loading1Hour(), 3.0);
        QCOMPARE(lib->timberGrass->Loading10Hour(), 1.5);
        QVERIFY(owner->calls.contains(QStringLiteral("SaveLibrary")));
        QVERIFY(owner->calls.contains(QStringLiteral("EditorClosed")));
        owner->calls.clear();

        // No: the edits are dropped, nothing is written.
        open(lib->timberGrass);
        editor->cboHerbType()->setCurrentIndex(1); // a list counts like a box
        prompts->ExpectYesNoCancel(kCloseQuestion.arg(QStringLiteral("2")), IPrompts::Answer::No);
        QVERIFY(editor->close());
        QCOMPARE(lib->timberGrass->HerbType(), 1.0);
        QVERIFY(!owner->calls.contains(QStringLiteral("SaveLibrary")));

        // Cancel and Close and Save are the editor's own answers: no question.
        open(lib->timberGrass);
        typeInto(*editor, 2, QStringLiteral("4"));
        QTest::mouseClick(editor->cmdCancel(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(lib->timberGrass->Loading1Hour(), 3.0);
        open(lib->timberGrass);
        typeInto(*editor, 2, QStringLiteral("4"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(lib->timberGrass->Loading1Hour(), 4.0);

        // A read-only model has nothing to save: the environment may differ freely.
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(lib->timberLitter, false);
        typeInto(*editor, 20, QStringLiteral("9"));
        QVERIFY(editor->close());
    }

    // Results on screen after an entry or scenario change without Auto Compute say they are
    // from earlier entries until Compute runs again.
    void resultsFromEarlierEntriesAreMarked()
    {
        open(lib->shortGrass);
        QVERIFY(editor->lblResultsNote()->isHidden()); // nothing computed: nothing to mark
        typeInto(*editor, 20, QStringLiteral("7"));
        QVERIFY(editor->lblResultsNote()->isHidden());
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->lblResultsNote()->isHidden());

        // A unit switch shows the same results in the other units: they still answer the entries.
        // 1 ch/h is 20.1168 m an hour, 0.33528 m/min.
        const QString englishRate = editor->txtROS()->text();
        editor->cboUnits()->setCurrentIndex(1);
        emit editor->cboUnits()->activated(1);
        QVERIFY(editor->lblResultsNote()->isHidden());
        const double metricRate = editor->txtROS()->text().toDouble();
        QVERIFY2(std::abs(metricRate - englishRate.toDouble() * 0.33528) <= 0.01 * metricRate,
                 qPrintable(englishRate + QStringLiteral(" ch/h shown as ") + editor->txtROS()->text()));
        editor->cboUnits()->setCurrentIndex(0);
        emit editor->cboUnits()->activated(0);
        QVERIFY(editor->lblResultsNote()->isHidden());
        QCOMPARE(editor->txtROS()->text(), englishRate);

        // The note takes the room kept for it: the Compute button stays where it was clicked.
        QCoreApplication::processEvents();
        const QPoint computeAt = editor->cmdComp()->mapTo(editor.get(), QPoint());
        QComboBox *scenario = editor->cboMoistureScenario();
        scenario->setCurrentIndex(3);
        emit scenario->activated(3);
        QVERIFY(editor->lblResultsNote()->isVisible());
        QVERIFY(editor->lblResultsNote()->text().contains(QStringLiteral("earlier entries")));
        QCoreApplication::processEvents();
        QCOMPARE(editor->cmdComp()->mapTo(editor.get(), QPoint()), computeAt);
        // Results from earlier entries stay marked through a unit switch.
        editor->cboUnits()->setCurrentIndex(1);
        emit editor->cboUnits()->activated(1);
        QVERIFY(editor->lblResultsNote()->isVisible());
        editor->cboUnits()->setCurrentIndex(0);
        emit editor->cboUnits()->activated(0);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->lblResultsNote()->isHidden());
        editor->cboSlope()->setCurrentIndex(4);
        emit editor->cboSlope()->activated(4);
        QVERIFY(editor->lblResultsNote()->isVisible());
        // A slope typed into the box counts as one chosen from its list.
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->lblResultsNote()->isHidden());
        QLineEdit *slope = editor->cboSlope()->lineEdit();
        slope->selectAll();
        QTest::keyClicks(slope, QStringLiteral("35"));
        QVERIFY(editor->lblResultsNote()->isVisible());
        // With Auto Compute the herb type list recomputes at once.
        autoCompute();
        const QString steep = editor->txtROS()->text();
        slope->selectAll();
        QTest::keyClicks(slope, QStringLiteral("0"));
        QVERIFY2(editor->txtROS()->text() != steep, qPrintable(steep));
        QVERIFY(editor->lblResultsNote()->isHidden());
        editor->cboHerbType()->setCurrentIndex(1);
        emit editor->cboHerbType()->activated(1);
        QVERIFY(editor->lblResultsNote()->isHidden());
    }

    // A saved environment cannot be called "Custom"; a refused name asks again with the name
    // as it was typed.
    void refusedEnvironmentNameAsksAgain()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, Units::SettingsOrganization(),
                  Units::SettingsOrganization())
            .clear();
        open(lib->shortGrass);
        const QString prompt = QStringLiteral("Name for these moistures, wind and slope:");
        prompts->ExpectInput(prompt, QStringLiteral("custom "), QStringLiteral("Save Environment"));
        prompts->ExpectMessage(QStringLiteral("\"custom\" stands for the entries as they are typed in the list.\r"
                                              "Choose another name."),
                               QStringLiteral("Save Environment"));
        prompts->ExpectInput(prompt, QStringLiteral("D1L1"));
        prompts->ExpectMessage(
            QStringLiteral("\"D1L1\" is the name of a standard moisture scenario.\rChoose another name."));
        prompts->ExpectInput(prompt, QStringLiteral("My dry day"));
        QTest::mouseClick(button("cmdSaveEnvironment"), Qt::LeftButton);
        QCOMPARE(prompts->InputDefaults(), QStringList({QString(), QStringLiteral("custom "), QStringLiteral("D1L1")}));
        QComboBox *list = editor->cboMoistureScenario();
        QCOMPARE(list->currentText(), QStringLiteral("My dry day"));
        int customs = 0;
        for (int i = 0; i < list->count(); ++i)
            customs += list->itemText(i).compare(QStringLiteral("Custom"), Qt::CaseInsensitive) == 0;
        QCOMPARE(customs, 1);
        Units::RemoveUserEnvironment(u"My dry day");
    }

    // Keys in the entries and the analysis window's sweep box do what they say: Ctrl+A selects
    // all, Ctrl+Y redoes, "Close and Save" and "Test Center >>" have letters of their own, and
    // a "To:" value above its maximum becomes the maximum instead of losing a digit.
    void keysDoWhatTheySay()
    {
        open(lib->shortGrass);
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        QLineEdit *box = editor->txtFuels(20);
        box->setFocus();
        box->deselect();
        box->setCursorPosition(int(box->text().size()));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QStringLiteral("9"));
        QCOMPARE(box->text(), QStringLiteral("9")); // not "59"
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("5"));
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("9"));

        // Each letter belongs to one control of the window.
        QMap<QKeySequence, QStringList> owners;
        for (QAbstractButton *b : editor->findChildren<QAbstractButton *>())
            if (!b->text().isEmpty())
                owners[QKeySequence::mnemonic(b->text())] << b->objectName();
        for (QLabel *l : editor->findChildren<QLabel *>())
            if (l->buddy())
                owners[QKeySequence::mnemonic(l->text())] << l->objectName();
        QCOMPARE(owners.value(QKeySequence(Qt::ALT | Qt::Key_V)), QStringList{QStringLiteral("cmdSave")});
        QCOMPARE(owners.value(QKeySequence(Qt::ALT | Qt::Key_E)), QStringList{QStringLiteral("cmdTest")});
        QTest::mouseClick(button("cmdAnalysis"), Qt::LeftButton);
        frmAnalysis *analysis = EditorAnalysisWindow(editor.get());
        QVERIFY(QTest::qWaitForWindowExposed(analysis));
        auto *to = analysis->findChild<QDoubleSpinBox *>(QStringLiteral("spnSweepTo"));
        QCOMPARE(to->maximum(), 99.0); // the 20-ft wind, mi/h
        to->setFocus();
        to->selectAll();
        QTest::keyClicks(to, QStringLiteral("300"));
        QTest::keyClick(to, Qt::Key_Return);
        QCOMPARE(to->value(), 99.0);
        QCOMPARE(to->text(), QStringLiteral("99.0 mi/h"));
        to->selectAll();
        QTest::keyClicks(to, QStringLiteral("45"));
        QTest::keyClick(to, Qt::Key_Return);
        QCOMPARE(to->value(), 45.0);
    }

    // The Tune buttons say their entry in the units shown, from the start and after a switch.
    void tuneButtonsNameTheirEntryInTheShownUnits()
    {
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        open(lib->shortGrass);
        QCOMPARE(editor->cmdTuner(2)->accessibleName(), QStringLiteral("Tune 1 Hour Loading (t/ha)"));
        QVERIFY(editor->cmdTuner(10)->toolTip().startsWith(QStringLiteral("Tune Heat Content Dead (kJ/kg)")));
        QCOMPARE(editor->cmdTuner(25)->accessibleName(), QStringLiteral("Tune 6.1 m Wind Speed (km/h)"));
        chooseUnits(0);
        QCOMPARE(editor->cmdTuner(2)->accessibleName(), QStringLiteral("Tune 1 Hour Loading (t/ac)"));
        QCOMPARE(editor->cmdTuner(13)->accessibleName(), QStringLiteral("Tune Fuelbed Bulk Depth (ft)"));
    }
};

QTEST_MAIN(tst_EditorRefusals)
#include "tst_editor_refusals.moc"
