#include "support/FakeTunerHost.h"

#include "data/ProgramState.h"
#include "tuners/ui/Tuners.h"
#include "tuners/ui/frmSyncTuner.h"
#include "tuners/ui/frmTuner.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// The synchronized tuner scaling the six fuel bed entries, driven through a fake editor.
class TstSyncTuner : public QObject
{
    Q_OBJECT

private:
    using Writes = QList<QPair<int, QString>>;
    std::unique_ptr<FakeTunerHost> host;
    std::unique_ptr<Tuners> tuners;
    frmSyncTuner *sync = nullptr;

    static void focusSlider(TunerWindow *t)
    {
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t));
        t->sldTune->setFocus();
        QCOMPARE(QApplication::focusWidget(), t->sldTune);
    }
    QStringList six() const
    {
        QStringList out;
        for (int i : SyncTuner::kEntries)
            out << host->text[std::size_t(i)];
        return out;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ResetProgramState();
        host = std::make_unique<FakeTunerHost>();
        tuners = std::make_unique<Tuners>(*host);
        host->follow = tuners.get();
        // The model being edited; the boxes show something else, typed before the tuner opened.
        const double stored[] = {2, 1.5, 3.794076, 0.25, 4, 0.6};
        for (std::size_t k = 0; k < SyncTuner::kEntries.size(); ++k) {
            host->stored[std::size_t(SyncTuner::kEntries[k])] = stored[k];
            host->text[std::size_t(SyncTuner::kEntries[k])] = QStringLiteral("3");
        }
        tuners->Open(0);
        sync = tuners->SyncWindow();
        QVERIFY(sync && sync->isVisible());
    }

    void cleanup()
    {
        tuners.reset();
        host.reset();
    }

    void loadsAtOneHundredPercentWithoutWriting()
    {
        QCOMPARE(sync->windowTitle(), QStringLiteral("Adjustment(1, 10, 100 hr, Live and Fuelbed Depth)"));
        QCOMPARE(sync->sldTune->minimum(), 0);
        QCOMPARE(sync->sldTune->maximum(), 300);
        QCOMPARE(sync->sldTune->tickInterval(), 30);
        QCOMPARE(sync->sldTune->pageStep(), 30);
        QCOMPARE(sync->sldTune->value(), 100);
        QCOMPARE(sync->lblMin->text(), QStringLiteral("0%"));
        QCOMPARE(sync->lblMax->text(), QStringLiteral("300%"));
        QCOMPARE(sync->lblVal->text(), QStringLiteral("100"));
        QVERIFY(sync->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(host->writes.isEmpty());
        QVERIFY(!host->autoCompute); // only single tuners switch it on
    }

    void percentageScalesTheStoredValuesInOrder()
    {
        focusSlider(sync);
        QCOMPARE(sync->Tag(), QString());
        sync->sldTune->setValue(150);
        QCOMPARE(host->writes, (Writes{{2, "3."}, {3, "2.25"}, {4, "5.69"}, {5, "0.38"}, {6, "6."}, {13, "0.9"}}));
        QCOMPARE(sync->lblVal->text(), QStringLiteral("150"));
        sync->sldTune->setValue(0);
        QCOMPARE(six(), QStringList(6, QStringLiteral("0.")));

        // Dragging shows the percentage only; the release writes the six boxes once.
        host->writes.clear();
        sync->sldTune->setSliderDown(true);
        sync->sldTune->setSliderPosition(250);
        QCOMPARE(sync->lblVal->text(), QStringLiteral("250"));
        QVERIFY(host->writes.isEmpty());
        sync->sldTune->setSliderDown(false);
        QCOMPARE(host->writes.size(), 6);
        QCOMPARE(host->text[2], QStringLiteral("5."));
    }

    void changesWithoutFocusWriteNothing()
    {
        focusSlider(sync);
        sync->cmdClose->setFocus();
        QCOMPARE(sync->Tag(), QStringLiteral("Skip"));
        sync->sldTune->setValue(200);
        QVERIFY(host->writes.isEmpty());
    }

    void resetWritesTheStoredValuesOnce()
    {
        focusSlider(sync);
        sync->sldTune->setValue(30);
        host->writes.clear();
        QTest::mouseClick(sync->cmdReset, Qt::LeftButton);
        QCOMPARE(sync->sldTune->value(), 100);
        QCOMPARE(sync->lblVal->text(), QStringLiteral("100"));
        QCOMPARE(host->writes, (Writes{{2, "2."}, {3, "1.5"}, {4, "3.79"}, {5, "0.25"}, {6, "4."}, {13, "0.6"}}));
    }

    void focusPaintsTheSixBoxes()
    {
        host->Type(4, QStringLiteral("31"));
        QCOMPARE(host->background[4], kEntryOutOfRange);
        focusSlider(sync);
        for (int i : {2, 3, 5, 6, 13})
            QCOMPARE(host->background[std::size_t(i)], kEntryTunedYellow);
        QCOMPARE(host->background[4], kEntryOutOfRange); // out of range shows through
        QCOMPARE(host->background[7], kEntryWhite);
        sync->cmdPlot->setFocus();
        for (int i : {2, 3, 5, 6, 13})
            QCOMPARE(host->background[std::size_t(i)], kEntryWhite);
        QCOMPARE(host->background[4], kEntryOutOfRange); // not written: still out of range
        focusSlider(sync);
        sync->sldTune->setValue(110);
        QCOMPARE(host->background[4], kEntryTunedYellow);
        sync->cmdPlot->setFocus();
        QCOMPARE(host->background[4], kEntryWhite);
    }

    void buttonsWhileOpenAndAfterClose()
    {
        for (int i : {0, 2, 3, 4, 5, 6, 13})
            QVERIFY2(!host->enabled[std::size_t(i)], qPrintable(QString::number(i)));
        for (int i : {7, 12, 14, 20, 25})
            QVERIFY(host->enabled[std::size_t(i)]);
        tuners->Open(2); // its button is off: refused
        QVERIFY(!tuners->Tuner(2));

        // A single tuner of another entry may open and close meanwhile.
        tuners->Open(7);
        QVERIFY(tuners->Tuner(7)->isVisible());
        tuners->Tuner(7)->close();
        QVERIFY(host->enabled[7]);
        QVERIFY(!host->enabled[0]);
        QVERIFY(!host->enabled[2]);

        QTest::mouseClick(sync->cmdClose, Qt::LeftButton);
        QVERIFY(!sync->isVisible());
        for (int i : {0, 2, 3, 4, 5, 6, 13})
            QVERIFY(host->enabled[std::size_t(i)]);
    }

    void editorClosingClosesItWithTheSingleTuners()
    {
        tuners->Open(20);
        focusSlider(sync);
        tuners->CloseAll();
        QVERIFY(!sync->isVisible());
        QVERIFY(!tuners->Tuner(20)->isVisible());
        for (int i : {0, 2, 3, 4, 5, 6, 13, 20})
            QVERIFY(host->enabled[std::size_t(i)]);
        for (int i : SyncTuner::kEntries)
            QCOMPARE(host->background[std::size_t(i)], kEntryWhite);

        // Opened again it starts afresh at 100 %.
        tuners->Open(0);
        QVERIFY(tuners->SyncWindow()->isVisible());
        QCOMPARE(tuners->SyncWindow()->sldTune->value(), 100);
    }
};

QTEST_MAIN(TstSyncTuner)
#include "tst_synctuner.moc"
