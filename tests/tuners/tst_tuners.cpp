#include "support/FakeTunerHost.h"

#include "data/ProgramState.h"
#include "tuners/ui/Tuners.h"
#include "tuners/ui/frmTuner.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// The single-parameter tuners and the tuner buttons, driven through a fake editor.
class TstTuners : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeTunerHost> host;
    std::unique_ptr<Tuners> tuners;

    frmTuner *open(int index, const QString &text)
    {
        host->text[std::size_t(index)] = text;
        tuners->Open(index);
        return tuners->Tuner(index);
    }
    static void focusSlider(frmTuner *t)
    {
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t));
        t->sldTune->setFocus();
        QCOMPARE(QApplication::focusWidget(), t->sldTune);
    }
    static void focusElsewhere(frmTuner *t)
    {
        t->cmdClose->setFocus();
        QCOMPARE(QApplication::focusWidget(), t->cmdClose);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ResetProgramState();
        host = std::make_unique<FakeTunerHost>();
        tuners = std::make_unique<Tuners>(*host);
        host->follow = tuners.get();
    }

    void cleanup()
    {
        tuners.reset();
        host.reset();
    }

    void startsFromTheEntryWithoutWritingIt()
    {
        frmTuner *t = open(2, QStringLiteral("3.79"));
        QVERIFY(t && t->isVisible());
        QCOMPARE(t->sldTune->value(), 379);
        QCOMPARE(t->lblVal->text(), QStringLiteral("3.79"));
        QCOMPARE(t->lblMin->text(), QStringLiteral("0"));
        QCOMPARE(t->lblMax->text(), QStringLiteral("30.49"));
        QCOMPARE(t->sldTune->minimum(), 0);
        QCOMPARE(t->sldTune->maximum(), 3049);
        QCOMPARE(t->sldTune->tickInterval(), 304);
        QCOMPARE(t->sldTune->pageStep(), 304);
        QCOMPARE(t->Tag(), QStringLiteral("2"));
        QCOMPARE(t->windowTitle(), QStringLiteral("Row 2"));
        QVERIFY(t->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(host->autoCompute);

        frmTuner *sav = open(7, QStringLiteral("1500"));
        QCOMPARE(sav->sldTune->value(), 1500);
        QCOMPARE(sav->lblVal->text(), QStringLiteral("1500"));
        QCOMPARE(sav->lblMin->text(), QStringLiteral("109"));

        QCOMPARE(open(3, QStringLiteral("12abc"))->sldTune->value(), 1200);
        // An SA/V of 0 is below the slider: it starts at the low end, the box keeps its 0.
        frmTuner *herb = open(8, QStringLiteral("0"));
        QCOMPARE(herb->sldTune->value(), 109);
        QCOMPARE(herb->lblVal->text(), QStringLiteral("109"));
        QCOMPARE(open(13, QStringLiteral("0.6"))->lblMin->text(), QStringLiteral(".05"));
        QVERIFY(host->writes.isEmpty());
        QCOMPARE(host->text[3], QStringLiteral("12abc"));
        QCOMPARE(host->text[8], QStringLiteral("0"));
    }

    void dragShowsTheValueAndReleaseWritesOnce()
    {
        frmTuner *t = open(2, QStringLiteral("3.79"));
        t->sldTune->setSliderDown(true);
        t->sldTune->setSliderPosition(400);
        t->sldTune->setSliderPosition(450);
        QCOMPARE(t->lblVal->text(), QStringLiteral("4.5"));
        QVERIFY(host->writes.isEmpty());
        t->sldTune->setSliderDown(false);
        QCOMPARE(host->writes, (QList<QPair<int, QString>>{{2, QStringLiteral("4.5")}}));
        QCOMPARE(t->lblVal->text(), QStringLiteral("4.5"));

        // Keyboard steps write at once; the large change is the tick step.
        host->writes.clear();
        focusSlider(t);
        QTest::keyClick(t->sldTune, Qt::Key_PageUp);
        QCOMPARE(host->text[2], QStringLiteral("7.54"));
        QCOMPARE(host->writes.size(), 1);
    }

    void resetReturnsToTheStartOrTheStoredModel()
    {
        frmTuner *t = open(2, QStringLiteral("3.79"));
        t->sldTune->setValue(1000);
        QCOMPARE(host->text[2], QStringLiteral("10"));
        host->writes.clear();
        QTest::mouseClick(t->cmdReset, Qt::LeftButton);
        QCOMPARE(t->sldTune->value(), 379);
        QCOMPARE(host->writes, (QList<QPair<int, QString>>{{2, QStringLiteral("3.79")}}));
        QCOMPARE(t->lblVal->text(), QStringLiteral("3.79"));
        // Reset also puts back the box when the slider has not moved ("12abc" reads 12).
        frmTuner *dead10 = open(3, QStringLiteral("12abc"));
        dead10->cmdReset_Click();
        QCOMPARE(host->text[3], QStringLiteral("12"));

        // A heat content goes back to the model's value, not to what was typed before.
        host->stored[10] = 8000;
        frmTuner *heat = open(10, QStringLiteral("9000"));
        QCOMPARE(heat->sldTune->value(), 9000);
        heat->sldTune->setValue(10000);
        heat->cmdReset_Click();
        QCOMPARE(heat->sldTune->value(), 8000);
        QCOMPARE(host->text[10], QStringLiteral("8000"));

        // A stored value the slider cannot show comes back in the box; the slider sits at its end.
        host->stored[9] = 0;
        frmTuner *woody = open(9, QStringLiteral("1200"));
        woody->sldTune->setValue(2000);
        woody->cmdReset_Click();
        QCOMPARE(host->text[9], QStringLiteral("0"));
        QCOMPARE(woody->sldTune->value(), 109);
    }

    void startingValueIsTakenAgainWhileNotAboveZero()
    {
        frmTuner *t = open(5, QStringLiteral("0"));
        QCOMPARE(t->StartingValue(), QStringLiteral("0"));
        host->Type(5, QStringLiteral("2.5"));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(t, &activate);
        QCOMPARE(t->StartingValue(), QStringLiteral("2.5"));
        host->Type(5, QStringLiteral("4"));
        QApplication::sendEvent(t, &activate);
        QCOMPARE(t->StartingValue(), QStringLiteral("2.5"));
        t->sldTune->setValue(0);
        t->cmdReset_Click();
        QCOMPARE(host->text[5], QStringLiteral("2.5"));
    }

    void sliderFollowsTypingWithoutWritingBack()
    {
        frmTuner *t = open(2, QStringLiteral("3.79"));
        host->Type(2, QStringLiteral("5.5"));
        QCOMPARE(t->sldTune->value(), 550);
        QCOMPARE(t->lblVal->text(), QStringLiteral("5.5"));
        host->Type(2, QStringLiteral(".5")); // half typed: the box keeps what the user typed
        QCOMPARE(t->sldTune->value(), 50);
        host->Type(2, QStringLiteral("31")); // beyond the slider: it stays
        QCOMPARE(t->sldTune->value(), 50);
        QVERIFY(host->writes.isEmpty());

        frmTuner *sav = open(7, QStringLiteral("1500"));
        host->Type(7, QStringLiteral("2000.5"));
        QCOMPARE(sav->sldTune->value(), 2000);

        t->close();
        host->Type(2, QStringLiteral("1"));
        QCOMPARE(t->sldTune->value(), 50);
        tuners->EntryChanged(17, QStringLiteral("1")); // no tuner there: nothing happens
    }

    void plotAsksTheEditorWithoutTouchingEntries()
    {
        frmTuner *t = open(20, QStringLiteral("5"));
        QTest::mouseClick(t->cmdPlot, Qt::LeftButton);
        QTest::mouseClick(t->cmdPlot, Qt::LeftButton);
        QCOMPARE(host->plots, 2);
        QVERIFY(host->writes.isEmpty());
    }

    void buttonsFollowTheOpenTuners()
    {
        frmTuner *loading = open(2, QStringLiteral("3.79"));
        QVERIFY(!host->enabled[2]);
        QVERIFY(!host->enabled[0]);
        frmTuner *wind = open(25, QStringLiteral("10"));
        QVERIFY(!host->enabled[25]);
        QTest::mouseClick(loading->cmdClose, Qt::LeftButton);
        QVERIFY(!loading->isVisible());
        QVERIFY(host->enabled[2]);
        QVERIFY(!host->enabled[0]); // the wind tuner is still open
        tuners->Open(0);            // refused while a single tuner is open
        QVERIFY(!tuners->SyncWindow());
        wind->close();
        QVERIFY(host->enabled[25]);
        QVERIFY(host->enabled[0]);
        QCOMPARE(tuners->Tuner(2), loading); // the closed window stays in its slot

        // Indexes without a tuner open nothing.
        for (int none : {1, 15, 19, 26, 31, -1})
            tuners->Open(none);
        for (int i = 0; i < kTunerSlots; ++i)
            QVERIFY(!tuners->Tuner(i) || !tuners->Tuner(i)->IsOpen());

        // A read-only editor keeps its model parameter buttons off when a tuner closes.
        for (int i = 0; i <= 14; ++i) {
            host->readOnly[std::size_t(i)] = true;
            host->enabled[std::size_t(i)] = false;
        }
        open(21, QStringLiteral("6"))->close();
        QVERIFY(host->enabled[21]);
        QVERIFY(!host->enabled[0]);
    }

    void openingAnOpenTunerAgainBringsItForward()
    {
        frmTuner *t = open(4, QStringLiteral("1"));
        tuners->Open(4);
        QCOMPARE(tuners->Tuner(4), t);
        QVERIFY(t->isVisible());
    }

    void editorClosingClosesEveryTuner()
    {
        frmTuner *a = open(2, QStringLiteral("1"));
        frmTuner *b = open(11, QStringLiteral("8000"));
        frmTuner *c = open(24, QStringLiteral("90"));
        focusSlider(b);
        QCOMPARE(host->background[11], kEntryTunedYellow);
        tuners->CloseAll();
        for (frmTuner *t : {a, b, c})
            QVERIFY(!t->isVisible() && !t->IsOpen());
        for (int i : {0, 2, 11, 24})
            QVERIFY(host->enabled[std::size_t(i)]);
        QCOMPARE(host->background[11], kEntryWhite);
        tuners->CloseAll(); // nothing left to close
    }

    void focusPaintsTheDrivenBox()
    {
        frmTuner *t = open(2, QStringLiteral("3.79"));
        focusSlider(t);
        QCOMPARE(host->background[2], kEntryTunedYellow);
        QCOMPARE(host->background[2], quint32(0xFFFF00));
        focusElsewhere(t);
        QCOMPARE(host->background[2], kEntryWhite);

        // An out-of-range box shows its light red, also while the slider has the focus; once the
        // slider writes a value of its range it is highlighted, and white afterwards.
        host->Type(3, QStringLiteral("31"));
        QCOMPARE(host->background[3], kEntryOutOfRange);
        frmTuner *red = open(3, QStringLiteral("31"));
        focusSlider(red);
        QCOMPARE(host->background[3], kEntryOutOfRange);
        focusElsewhere(red);
        QCOMPARE(host->background[3], kEntryOutOfRange);
        focusSlider(red);
        QTest::keyClick(red->sldTune, Qt::Key_Left);
        QCOMPARE(host->text[3], QStringLiteral("30.48"));
        QCOMPARE(host->background[3], kEntryTunedYellow);
        focusElsewhere(red);
        QCOMPARE(host->background[3], kEntryWhite);

        // Closed with the focus on the slider: the box is white afterwards.
        focusSlider(t);
        QCOMPARE(host->background[2], kEntryTunedYellow);
        t->close();
        QCOMPARE(host->background[2], kEntryWhite);
    }

    void topmostKeepsPlaceAndSize()
    {
        QWidget w;
        w.setGeometry(120, 140, 320, 110);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect before = w.geometry();
        SetTopmost(&w);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.isVisible());
        QCOMPARE(w.geometry(), before);
    }
};

QTEST_MAIN(TstTuners)
#include "tst_tuners.moc"
