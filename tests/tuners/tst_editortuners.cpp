// The tuners installed into the real Edit and Test Center: slider moves recompute the editor,
// Reset and the percentages use the model being edited, the editor's buttons follow the open
// windows, and closing the editor closes every tuner.
//
// With VARROW_SCREENSHOT_DIR set, the screenshot case also writes tuner.png there:
//   VARROW_SCREENSHOT_DIR=docs/images build/tests/tuners/tuners_tst_editortuners screenshot

#include "data/FuelModelSets.h"
#include "data/FuelModels.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "support/ScriptedPrompts.h"
#include "testcenter/IEditorOwner.h"
#include "testcenter/PlotHistory.h"
#include "testcenter/TestCenterState.h"
#include "testcenter/ui/frmEditModel.h"
#include "tuners/ui/EditorTuners.h"
#include "tuners/ui/Tuners.h"
#include "tuners/ui/frmSyncTuner.h"
#include "tuners/ui/frmTuner.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class NullOwner : public IEditorOwner
{
public:
    QString SetNameText() const override { return QStringLiteral("Custom Fuel Models"); }
    void SetNodeText(const QString &, const QString &) override { }
    void RefreshFMs() override { }
    bool SaveLibrary(QString *) override { return true; }
    void EditorClosed() override { }
};

// One window of the picture with a plain title bar, as a window manager would frame it.
QImage framed(QWidget *window)
{
    const QPixmap client = window->grab();
    const int bar = 24;
    QImage out(client.width() + 2, client.height() + bar + 1, QImage::Format_RGB32);
    out.fill(QColor(70, 80, 95));
    QPainter p(&out);
    p.drawPixmap(1, bar, client);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(8, 0, out.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft, window->windowTitle());
    return out;
}

} // namespace

class TstEditorTuners : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<FuelModel> fm;
    std::unique_ptr<NullOwner> owner;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<frmEditModel> editor;
    Tuners *tuners = nullptr;

    void open(bool editable)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        tuners = InstallTuners(*editor);
        editor->Open(fm, editable);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }
    frmTuner *clickTuner(int index)
    {
        QTest::mouseClick(editor->cmdTuner(index), Qt::LeftButton);
        return tuners->Tuner(index);
    }
    static void focusSlider(TunerWindow *t)
    {
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t));
        t->sldTune->setFocus();
    }
    void type(int index, const QString &text)
    {
        editor->txtFuels(index)->selectAll();
        QTest::keyClicks(editor->txtFuels(index), text);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ResetProgramState();
        ResetTestCenterState();
        ResetChartState();
        auto models = std::make_shared<FuelModels>();
        gFMSets->Add(QStringLiteral("Custom Fuel Models"), false, models, NewNodeKey(false));
        const QString key = NewNodeKey(false);
        fm = models->Add(QStringLiteral("TU2X"), QStringLiteral("Timber grass and understory, tuned"), 1, 3.794076, 1,
                         0.5, 0.5, 0.2, 3000, 1500, 1500, 15, 8000, 8000, 8000, 1, 1, key, key);
        owner = std::make_unique<NullOwner>();
        prompts = std::make_unique<ScriptedPrompts>();
    }

    void cleanup()
    {
        editor.reset();
        tuners = nullptr;
    }

    void sliderDrivesTheEditorAndItsResults()
    {
        open(true);
        editor->chkAuto()->setChecked(false);
        frmTuner *t = clickTuner(2);
        QVERIFY(t && t->isVisible());
        QCOMPARE(t->windowTitle(), editor->RowLabelText(2));
        QCOMPARE(t->windowTitle(), QStringLiteral("1 Hour Loading (t/ac)"));
        QCOMPARE(t->sldTune->value(), 379); // the box reads 3.794076
        // The tuner shows the value the box holds, not the slider's hundredths.
        QCOMPARE(editor->EntryText(2), QStringLiteral("3.794076"));
        QCOMPARE(t->lblVal->text(), QStringLiteral("3.794076"));
        QVERIFY(editor->chkAuto()->isChecked());
        QVERIFY(!editor->cmdTuner(2)->isEnabled());
        QVERIFY(!editor->cmdTuner(0)->isEnabled());

        const QString rosBefore = editor->txtROS()->text();
        t->sldTune->setValue(150);
        QCOMPARE(editor->EntryText(2), QStringLiteral("1.5"));
        QVERIFY(editor->txtROS()->text() != rosBefore);

        type(2, QStringLiteral("2.25"));
        QCOMPARE(t->sldTune->value(), 225);
        QCOMPARE(editor->EntryText(2), QStringLiteral("2.25"));
        QCOMPARE(t->lblVal->text(), QStringLiteral("2.25"));
        // A depth typed to the thousandth: tuner and box show the same 0.914 (slider at 0.91).
        type(13, QStringLiteral("0.914"));
        frmTuner *depth = clickTuner(13);
        QVERIFY(depth);
        QCOMPARE(depth->sldTune->value(), 91);
        QCOMPARE(depth->lblVal->text(), QStringLiteral("0.914"));
        type(13, QStringLiteral("1.237"));
        QCOMPARE(depth->sldTune->value(), 124);
        QCOMPARE(depth->lblVal->text(), QStringLiteral("1.237"));
        depth->close();

        QTest::mouseClick(t->cmdPlot, Qt::LeftButton);
        QTest::mouseClick(t->cmdPlot, Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 2);

        QTest::mouseClick(t->cmdReset, Qt::LeftButton);
        QCOMPARE(t->sldTune->value(), 379);
        QCOMPARE(editor->EntryText(2), QStringLiteral("3.79"));

        t->close();
        QVERIFY(editor->cmdTuner(2)->isEnabled());
        QVERIFY(editor->cmdTuner(0)->isEnabled());
    }

    void eachSliderReleaseIsOneStepOfTheBoxUndo()
    {
        // The box keeps its own history through tuning: what was typed before the tuner stays
        // undoable, and each value the slider set comes off with one Ctrl+Z, recomputed.
        open(true);
        QLineEdit *box = editor->txtFuels(2);
        editor->chkAuto()->setChecked(true);
        type(2, QStringLiteral("2"));
        QVERIFY(!editor->txtROS()->text().isEmpty());
        const QString rosAtTwo = editor->txtROS()->text();
        frmTuner *t = clickTuner(2);
        t->sldTune->setValue(150);
        t->sldTune->setValue(90);
        QCOMPARE(box->text(), QStringLiteral("0.9"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("1.5"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("2"));
        QCOMPARE(editor->txtROS()->text(), rosAtTwo);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("3.794076"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(box->text(), QStringLiteral("2"));
    }

    void heatContentResetsToTheModelBeingEdited()
    {
        open(true);
        type(10, QStringLiteral("9000"));
        frmTuner *t = clickTuner(10);
        QCOMPARE(t->sldTune->value(), 9000);
        t->sldTune->setValue(11000);
        QCOMPARE(editor->EntryText(10), QStringLiteral("11000"));
        t->cmdReset_Click();
        QCOMPARE(t->sldTune->value(), 8000);
        QCOMPARE(editor->EntryText(10), QStringLiteral("8000"));
    }

    void synchronizedPercentagesOfTheStoredModel()
    {
        open(true);
        type(2, QStringLiteral("7"));
        QTest::mouseClick(editor->cmdTuner(0), Qt::LeftButton);
        frmSyncTuner *sync = tuners->SyncWindow();
        QVERIFY(sync && sync->isVisible());
        for (int i : {0, 2, 3, 4, 5, 6, 13})
            QVERIFY(!editor->cmdTuner(i)->isEnabled());
        QVERIFY(editor->cmdTuner(7)->isEnabled());

        focusSlider(sync);
        for (int i : SyncTuner::kEntries)
            QCOMPARE(editor->EntryColour(i), QColor(255, 255, 0));
        sync->sldTune->setValue(150);
        const QStringList at150 = {"5.69", "1.5", "0.75", "0.75", "0.3", "1.5"};
        for (std::size_t k = 0; k < SyncTuner::kEntries.size(); ++k)
            QCOMPARE(editor->EntryText(SyncTuner::kEntries[k]), at150[qsizetype(k)]);
        sync->sldTune->setValue(0);
        for (int i : SyncTuner::kEntries)
            QCOMPARE(editor->EntryText(i), QStringLiteral("0."));

        QTest::mouseClick(sync->cmdReset, Qt::LeftButton);
        const QStringList stored = {"3.79", "1.", "0.5", "0.5", "0.2", "1."};
        for (std::size_t k = 0; k < SyncTuner::kEntries.size(); ++k)
            QCOMPARE(editor->EntryText(SyncTuner::kEntries[k]), stored[qsizetype(k)]);
        for (int i : SyncTuner::kEntries)
            QCOMPARE(editor->EntryColour(i), QColor(Qt::white));

        sync->close();
        for (int i : {0, 2, 3, 4, 5, 6, 13})
            QVERIFY(editor->cmdTuner(i)->isEnabled());
    }

    // Values a tuner writes out of range get the editor's range check and colour, and every
    // command refuses them: Reset to a starting wind of 150 mi/h, 300 % of a 12 t/ac loading.
    void tunedValuesOutOfRangeAreRefused()
    {
        const QString rangeMessage = QStringLiteral("You have entries that are outside the \racceptable range and "
                                                    "are in highlighted in red.");
        const QColor lightRed(255, 192, 192);
        fm->setLoading100Hour(12);
        open(true);
        type(25, QStringLiteral("150"));
        QCOMPARE(editor->EntryColour(25), lightRed);
        frmTuner *wind = clickTuner(25);
        focusSlider(wind);
        QTest::keyClick(wind->sldTune, Qt::Key_Left);
        QCOMPARE(editor->EntryText(25), QStringLiteral("98.99"));
        QTest::mouseClick(wind->cmdReset, Qt::LeftButton);
        QCOMPARE(editor->EntryText(25), QStringLiteral("150"));
        QCOMPARE(editor->EntryColour(25), lightRed);
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(wind->cmdPlot, Qt::LeftButton);
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 0);
        QVERIFY(prompts->Finished());
        wind->close();
        type(25, QStringLiteral("10"));

        QTest::mouseClick(editor->cmdTuner(0), Qt::LeftButton);
        frmSyncTuner *sync = tuners->SyncWindow();
        focusSlider(sync);
        sync->sldTune->setValue(300);
        QCOMPARE(editor->EntryText(4), QStringLiteral("36."));
        QCOMPARE(editor->EntryColour(4), lightRed);
        QCOMPARE(editor->EntryColour(2), QColor(255, 255, 0)); // 11.38 t/ac: in range, tuned
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(sync->cmdPlot, Qt::LeftButton);
        QCOMPARE(gChartState.Count(), 0);
        QCOMPARE(editor->EntryColour(4), lightRed);
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(fm->Loading100Hour(), 12.0);
        QVERIFY(prompts->Finished());
        sync->close();
    }

    void readOnlyEditorKeepsModelButtonsOff()
    {
        open(false);
        QVERIFY(!editor->cmdTuner(0)->isEnabled());
        frmTuner *wind = clickTuner(25);
        QVERIFY(wind && wind->isVisible());
        wind->close();
        QVERIFY(editor->cmdTuner(25)->isEnabled());
        QVERIFY(!editor->cmdTuner(0)->isEnabled());
        QVERIFY(!editor->cmdTuner(2)->isEnabled());
    }

    void closingTheEditorClosesEveryTuner()
    {
        open(true);
        frmTuner *a = clickTuner(2);
        frmTuner *b = clickTuner(20);
        focusSlider(b);
        QCOMPARE(editor->EntryColour(20), QColor(255, 255, 0));
        editor->close();
        QVERIFY(!a->isVisible() && !b->isVisible());
        QVERIFY(editor->cmdTuner(0)->isEnabled());
        QVERIFY(editor->cmdTuner(2)->isEnabled());
        QCOMPARE(editor->EntryColour(20), QColor(Qt::white));
    }

    void screenshot()
    {
        open(true);
        editor->move(0, 0);
        frmTuner *t = clickTuner(2);
        for (int v : {150, 250, 379, 500})
            t->sldTune->setValue(v), t->cmdPlot_Click();
        t->sldTune->setValue(450);
        focusSlider(t);
        QCoreApplication::processEvents();

        const QImage back = framed(editor.get());
        const QImage front = framed(t);
        QImage shot(back.width() + 40, back.height() + 40, QImage::Format_RGB32);
        shot.fill(QColor(200, 205, 210));
        QPainter p(&shot);
        p.drawImage(20, 20, back);
        const QPoint at(20 + editor->txtFuels(2)->mapTo(editor.get(), QPoint(0, 0)).x() + 150,
                        20 + editor->txtFuels(2)->mapTo(editor.get(), QPoint(0, 0)).y() + 10);
        p.fillRect(QRect(at + QPoint(5, 5), front.size()), QColor(0, 0, 0, 70));
        p.drawImage(at, front);
        p.end();
        QVERIFY(shot.width() > 400 && shot.height() > 300);

        QTemporaryDir tmp;
        QVERIFY(shot.save(tmp.filePath(QStringLiteral("tuner.png"))));
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            QVERIFY(shot.save(QDir(dir).filePath(QStringLiteral("tuner.png"))));
        }
    }
};

QTEST_MAIN(TstEditorTuners)
#include "tst_editortuners.moc"
