// The main window when the library file is missing, unreadable or cannot be written, when the
// library is empty, and when a paste finds its source gone: nothing the user made is lost.

#include "support/ManagerFixture.h"

#include "library/DefaultLibrary.h"

#include <QDir>
#include <QStatusBar>

namespace {

// A clean first set, then a header without its count on line 4.
const QByteArray kBroken = "\"[FuelModelSet:Good,Count:1]\"\r\n"
                           "\"G1\",\"Good one\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                           "\r\n"
                           "\"[FuelModelSet:Broken]\"\r\n"
                           "\"B1\",\"Lost one\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                           "\"[End]\"\r\n";

} // namespace

class TestLibraryFaults : public QObject, public ManagerFixture
{
    Q_OBJECT

    QStringList backups() const { return QDir(m_libraryDir->path()).entryList({"*.bak"}, QDir::Files); }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void aMissingLibraryIsCreatedAndTheStatusLineSaysWhere()
    {
        start(QByteArray());
        QCOMPARE(libraryBytes(), DefaultLibraryBytes());
        // The whole message, path and all, is the line's tooltip and what a screen reader reads;
        // the line itself shows as much as fits beside the library's name.
        QVERIFY(!win().statusBar()->currentMessage().isEmpty());
        QVERIFY(win().statusBar()->toolTip().contains(QDir::toNativeSeparators(libraryPath())));
        QVERIFY(win().statusBar()->accessibleName().contains(QDir::toNativeSeparators(libraryPath())));
        QCOMPARE(gFMSets->Count(), 2);
        QCOMPARE(gFMSets->Item(1)->Name(), QString("Orla Master"));
        QVERIFY(gFMSets->Item(1)->Locked());
        QCOMPARE(tree().SelectedKey(), tree().KeyAt(1)); // the stored default, "Orla Master"
        QVERIFY(m_prompts->Log().isEmpty());
        // Told once: the next successful save clears the line.
        click(setKey("Custom Fuel Models"));
        m_prompts->ExpectInput({}, QString("Mine"));
        QTest::mouseClick(win().cmdNewSet, Qt::LeftButton);
        QVERIFY(win().statusBar()->currentMessage().isEmpty());
    }

    void aLibraryThatCannotBeCreatedIsShownFromMemoryAndSavedLater()
    {
        const QString folder = m_libraryDir->filePath("not yet");
        SetLibraryFolderForTesting(folder);
        m_prompts->ExpectMessage({}, AppTitle());
        start(QByteArray());
        QCoreApplication::processEvents();
        QVERIFY(m_prompts->Finished());
        QVERIFY(m_prompts->Log().value(0).contains("could not be created"));
        QCOMPARE(gFMSets->Item(1)->FuelModels()->Count(), 53);
        // Once the folder is there, closing saves what is shown.
        QVERIFY(QDir().mkpath(folder));
        win().close();
        QFile f(folder + "/OrlaFuelModels.FFM");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), DefaultLibraryBytes());
    }

    void aLibraryThatFailsToReadIsCopiedAsideBeforeAnythingIsWritten()
    {
        m_prompts->ExpectMessage({}, AppTitle());
        start(kBroken);
        QCoreApplication::processEvents();
        QVERIFY(m_prompts->Finished());
        const QString message = m_prompts->Log().value(0);
        QVERIFY2(message.contains(QDir::toNativeSeparators(libraryPath()) + ", line 4"), qPrintable(message));
        QCOMPARE(backups().size(), 1);
        QVERIFY2(message.contains(backups().value(0)), qPrintable(message));
        QFile backup(m_libraryDir->filePath(backups().value(0)));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), kBroken);

        // What was read is on screen and can be worked with; saving it replaces the file only
        // now that the original is safe.
        QCOMPARE(tree().Count(), 2);
        QCOMPARE(tree().Text(tree().KeyAt(2)), QString("G1 - Good one"));
        QCOMPARE(libraryBytes(), kBroken);
        m_prompts->ExpectInput({}, QString("Rescued"));
        QTest::mouseClick(win().cmdNewSet, Qt::LeftButton);
        checkAfterAction("new set after a failed read");
        QVERIFY(libraryBytes().contains("Rescued"));
    }

    void aLibraryThatFailedToReadIsNotRewrittenByClosingWithoutChanges()
    {
        m_prompts->ExpectMessage({});
        start(kBroken);
        QCoreApplication::processEvents();
        win().close();
        QCOMPARE(libraryBytes(), kBroken);
    }

    void aFailedWriteKeepsTheChangeAndTheOldFileUntilTheNextWrite()
    {
        start();
        click(setKey("Spare"));
        m_prompts->ExpectInput({}, QString("Kept in memory")).ExpectMessage({}, AppTitle());
        {
            FullDisk full;
            QTest::mouseClick(win().cmdNewSet, Qt::LeftButton);
        }
        QVERIFY(m_prompts->Log().last().contains("could not be written"));
        QCOMPARE(m_prompts->LastIcon(), IPrompts::Icon::Exclamation);
        QCOMPARE(libraryBytes(), kTestLibrary);
        QVERIFY(!setKey("Kept in memory").isEmpty());
        QCOMPARE(gFMSets->Count(), 4);
        // No temporary file is left; the lock beside the library is the window's own.
        QCOMPARE(QDir(m_libraryDir->path()).entryList(QDir::Files),
                 QStringList({"OrlaFuelModels.FFM", "OrlaFuelModels.FFM.lock"}));

        // Closing by the window's close box writes it all.
        win().close();
        QVERIFY(libraryBytes().contains("Kept in memory"));
        checkAfterAction("close after a failed write");
    }

    void closingWhileTheDiskIsFullAsksBeforeLosingChanges()
    {
        start();
        FullDisk full;
        m_prompts->ExpectYesNo({}, false);
        win().close();
        QVERIFY(win().isVisible());
        QVERIFY(m_prompts->Log().last().contains("Close anyway? The changes not saved will be lost."));
        // One thing, and a true one: nothing is saved later once the program has closed.
        QVERIFY(!m_prompts->Log().last().contains("next successful save"));
        m_prompts->ExpectYesNo({}, true);
        win().close();
        QVERIFY(!win().isVisible());
        QCOMPARE(libraryBytes(), kTestLibrary);
    }

    void pastingASetDeletedSinceItWasCopiedChangesNothing()
    {
        start();
        tree().SetSelectedKey(setKey("Spare"));
        win().cmdCopy_Click();
        m_prompts->ExpectYesNo({}, true);
        win().cmdDelete_Click(0);
        click(setKey("Custom"));
        const QByteArray before = libraryBytes();
        m_prompts->ExpectMessage({}, AppTitle());
        QTest::mouseClick(win().cmdPaste, Qt::LeftButton);
        QVERIFY(m_prompts->Log().last().contains("no longer exists"));
        QCOMPARE(gFMSets->Count(), 2);
        QCOMPARE(libraryBytes(), before);
        checkAfterAction("paste of a deleted set");
    }

    void anEmptyLibraryOffersANewSetOnly()
    {
        start("\"[End]\"\r\n");
        QCOMPARE(tree().Count(), 0);
        for (QPushButton *b : {win().cmdDelete[0], win().cmdRename, win().cmdCopy, win().cmdCut, win().cmdPaste,
                               win().cmdNewFM, win().cmdDelete[1], win().cmdEditSave, win().cmdDefault})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(win().cmdNewSet->isEnabled());
        QVERIFY(win().cmdClose->isEnabled());
        m_prompts->ExpectInput({}, QString("First"));
        QTest::mouseClick(win().cmdNewSet, Qt::LeftButton);
        QCOMPARE(tree().Text(tree().SelectedKey()), QString("First"));
        QCOMPARE(win().txtFuelModelSet->text(), QString("First"));
        QVERIFY(win().cmdNewFM->isEnabled());
        checkAfterAction("first set");

        m_prompts->ExpectYesNo({}, true);
        QTest::mouseClick(win().cmdDelete[0], Qt::LeftButton);
        QCOMPARE(tree().Count(), 0);
        QVERIFY(win().txtFuelModelSet->text().isEmpty());
        QVERIFY(!win().cmdDelete[0]->isEnabled());
        checkAfterAction("last set deleted");
    }
};

QTEST_MAIN(TestLibraryFaults)
#include "tst_libraryfaults.moc"
