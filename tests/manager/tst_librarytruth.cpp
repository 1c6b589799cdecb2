// What the window tells and keeps when the file changes under it: a reload that would drop
// sets or models says so with the counts and keeps the library shown aside first; a file cut
// short is never taken for the library; the history is never cleared unsaid; backups that
// fail are said as they are; a read-only copy says why it cannot restore.

#include "support/ManagerFixture.h"

#include "library/LibraryBackups.h"
#include "library/NotesFile.h"
#include "manager/RestoreBackupDialog.h"
#include "support/ImmutableFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>

class TestLibraryTruth : public QObject, public ManagerFixture
{
    Q_OBJECT

    QStringList copies(const char *tag) const
    {
        return QDir(m_libraryDir->path()).entryList({QString("*.%1-*.bak").arg(tag)}, QDir::Files);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(m_libraryDir->filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The panel shows what the tree has selected: the set's name, and the model's ID.
    bool panelFollowsSelection()
    {
        const QString sel = tree().SelectedKey();
        if (sel.isEmpty())
            return false;
        if (tree().Tag(sel) == "Set")
            return win().txtFuelModelSet->text() == tree().Text(sel);
        const QString set = tree().Text(tree().ParentKey(sel));
        return win().txtFuelModelSet->text() == set && tree().Text(sel).startsWith(win().PanelText(0) + " - ");
    }
    // The paths the Restore from backup dialog lists, the dialog then cancelled.
    QStringList restoreList()
    {
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<RestoreBackupDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            for (int i = 0; i < dialog->lstBackups->topLevelItemCount(); ++i)
                listed << dialog->lstBackups->topLevelItem(i)->text(3);
            dialog->cmdCancel->click();
        });
        win().actRestoreBackup->trigger();
        return listed;
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup()
    {
        FailBackupWritesForTesting(0);
        tearDown();
    }

    // The other program's file lacks a set and its model shown here: the reload says so with the
    // counts, keeps the library shown beside the file first (listed for restoring), makes the
    // action again, and Undo takes back that action; tree and panel agree afterwards.
    void aReloadThatDropsSetsSaysSoAndKeepsTheLibraryShownAside()
    {
        start();
        click(modelKey("Orla Master", "GR2"));
        QByteArray outside = kTestLibrary;
        outside.replace("\"[FuelModelSet:Custom,Count:1]\"\r\n"
                        "\"C1\",\"Custom one\",0.5,12000,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,1\r\n",
                        "");
        QVERIFY(outside != kTestLibrary);
        writeLibrary(outside);
        const QByteArray shown = SerializeLibrary(*gFMSets, nullptr);

        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Ours"));
        m_prompts->ExpectYesNo({}, true); // read the file again
        m_prompts->ExpectMessage({});
        win().cmdNewSet->click();
        QVERIFY(m_prompts->Finished());
        const QString message = m_prompts->Log().last();
        QVERIFY2(message.contains("The file does not hold 1 set and 1 model that were shown here."),
                 qPrintable(message));
        QCOMPARE(copies("replaced").size(), 1);
        const QString aside = m_libraryDir->filePath(copies("replaced").front());
        QVERIFY2(message.contains(QDir::toNativeSeparators(aside)), qPrintable(message));
        QVERIFY2(message.contains("\"New Set 'Ours'\" was made in it again."), qPrintable(message));
        QVERIFY2(message.contains("Undo"), qPrintable(message));
        // The library as shown (with Custom and its model, and the new set) is kept whole.
        QByteArray shownWithOurs = shown;
        shownWithOurs.replace("\"[End]\"\r\n", "\"[FuelModelSet:Ours,Count:0]\"\r\n\"[End]\"\r\n");
        QCOMPARE(readFile(copies("replaced").front()), shownWithOurs);
        QVERIFY(setKey("Custom").isEmpty());
        QVERIFY(!setKey("Ours").isEmpty());
        checkAfterAction("new set after a reload");
        QVERIFY(panelFollowsSelection());

        // The action made again is the one step of Undo.
        QTRY_VERIFY(win().UndoStack()->canUndo());
        QCOMPARE(win().UndoStack()->undoText(), QString("New Set 'Ours'"));
        QCOMPARE(win().UndoStack()->count(), 1);
        win().actUndo->trigger();
        QVERIFY(setKey("Ours").isEmpty());
        QCOMPARE(libraryBytes(), outside);
        QVERIFY(panelFollowsSelection());
        win().actRedo->trigger();
        QVERIFY(!setKey("Ours").isEmpty());
        checkAfterAction("redo after a reload");

        // Restore from backup lists the copy kept.
        QVERIFY(restoreList().contains(QDir::toNativeSeparators(aside)));
    }

    // Notes made here survive a reload: those of a model the file no longer holds are kept as
    // orphaned notes (in the window and in the notes file written after), the others stay with
    // their models, and the copy of the library shown keeps them beside it.
    void aReloadKeepsTheNotesMadeHere()
    {
        start();
        const auto model = [](const QString &set, const QString &id) -> std::shared_ptr<FuelModel> {
            for (const auto &s : *gFMSets)
                if (s->Name() == set)
                    for (const auto &fm : *s->FuelModels())
                        if (fm->FuelModelID() == id)
                            return fm;
            return nullptr;
        };
        QVERIFY(model("Custom", "C1") && model("Orla Master", "GR2"));
        gLibraryNotes.Edit(model("Custom", "C1")).source = "Field campaign 2019";
        gLibraryNotes.Edit(model("Orla Master", "GR2")).author = "Ana";
        QByteArray outside = kTestLibrary;
        outside.replace("\"[FuelModelSet:Custom,Count:1]\"\r\n"
                        "\"C1\",\"Custom one\",0.5,12000,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,1\r\n",
                        "");
        writeLibrary(outside);

        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Ours"));
        m_prompts->ExpectYesNo({}, true); // read the file again
        m_prompts->ExpectMessage({});
        win().cmdNewSet->click();
        QVERIFY(m_prompts->Finished());
        QVERIFY(!model("Custom", "C1"));
        const ModelNotes *gr2 = gLibraryNotes.Of(model("Orla Master", "GR2").get());
        QVERIFY(gr2);
        QCOMPARE(gr2->author, QString("Ana"));
        const QList<LibraryNotes::Orphan> orphans = gLibraryNotes.OrphanedModels(*gFMSets);
        QCOMPARE(orphans.size(), 1);
        QCOMPARE(orphans[0].notes.source, QString("Field campaign 2019"));

        // Written with the action made again, and beside the copy kept.
        const NotesParse written = ParseNotes(readFile("OrlaFuelModels.FFM.notes"));
        QVERIFY2(written.ok, qPrintable(written.problem));
        QCOMPARE(written.document.orphans.size(), 1);
        QCOMPARE(written.document.orphans[0].id, QString("C1"));
        QCOMPARE(copies("replaced").size(), 1);
        const NotesParse aside = ParseNotes(readFile(copies("replaced").front() + ".notes"));
        QVERIFY2(aside.ok, qPrintable(aside.problem));
        QCOMPARE(aside.document.models.size(), 2);
    }

    // A library file that cannot be written opens read-only, and the window says why at start
    // (the file itself named as the cause, not its folder); nothing can be changed.
    void aLibraryThatCannotBeWrittenOpensReadOnlyAndSaysWhy()
    {
        writeLibrary(kTestLibrary);
        ImmutableFile immutable(libraryPath());
        if (!immutable.Made() && ::geteuid() == 0)
            QSKIP("an administrator writes a read-only file: this needs the immutable flag, which this file system "
                  "lacks");
        if (!immutable.Made())
            QVERIFY(QFile::setPermissions(libraryPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        const QString cause = "The library file\r" + QDir::toNativeSeparators(libraryPath()) +
            "\rcannot be written here: the library file " + QDir::toNativeSeparators(libraryPath()) + " is read-only (";
        m_prompts->ExpectMessage({});
        start(QByteArray());
        QVERIFY(m_prompts->Finished());
        const QString said = m_prompts->Log().last();
        QVERIFY2(said.contains(cause), qPrintable(said));
        QVERIFY2(said.contains("It is open read-only"), qPrintable(said));
        QVERIFY(!said.contains("folder"));
        QVERIFY(win().windowTitle().endsWith(" (read-only)"));
        QVERIFY(!win().cmdNewSet->isEnabled());
        QVERIFY(win().Store().ReadOnly());
        win().close();
        QCOMPARE(libraryBytes(), kTestLibrary);
        if (!immutable.Made())
            QFile::setPermissions(libraryPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // A lock left by a process that has ended and that cannot be removed here is said to be
    // stale, with who left it, not taken for another copy of the program at work.
    void aStaleLockThatCannotBeRemovedIsSaidAsSuch()
    {
        writeLibrary(kTestLibrary);
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString lockPath = libraryPath() + ".lock";
        {
            QFile lock(lockPath);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(QString("%1\nVarrow\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
        }
        ImmutableFile immutable(lockPath);
        if (!immutable.Made())
            QSKIP("an unremovable lock needs the immutable flag (an administrator, as CI runs)");
        m_prompts->ExpectYesNo({}, true);
        start(QByteArray());
        QVERIFY(m_prompts->Finished());
        const QString asked = m_prompts->Log().last();
        QVERIFY2(
            asked.contains(QString("its lock file is a stale lock left by the user %1 (process %2, which no longer "
                                   "runs) that cannot be removed here")
                               .arg(QFileInfo(lockPath).owner())
                               .arg(pid)),
            qPrintable(asked));
        QVERIFY2(!asked.contains("is open in another copy"), qPrintable(asked));
        QVERIFY(win().windowTitle().endsWith(" (read-only)"));
    }

    // A library file with another name (a hard link) is warned of before the first save: the
    // save would leave the other name with the old library.
    void aHardLinkIsWarnedOfBeforeTheFirstSave()
    {
        writeLibrary(kTestLibrary);
        const QString other = m_libraryDir->filePath("Shared.FFM");
        QVERIFY(::link(QFile::encodeName(libraryPath()).constData(), QFile::encodeName(other).constData()) == 0);
        m_prompts->ExpectMessage({});
        start(QByteArray());
        QVERIFY(m_prompts->Finished());
        const QString said = m_prompts->Log().last();
        QVERIFY2(said.contains("Saving the library file " + QDir::toNativeSeparators(libraryPath()) +
                               " puts a new file in its place: the file has 1 other name (hard link), which a save "
                               "does not reach"),
                 qPrintable(said));
        QVERIFY(!win().Store().ReadOnly());
    }

    // A file cut short appearing while the window runs is not read as the library: the library
    // shown is kept and written, the cut file kept aside; nothing made in the run is lost.
    void aFileCutShortIsNeverTakenForTheLibrary()
    {
        start();
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Made earlier"));
        win().cmdNewSet->click();
        checkAfterAction("a set made in this run");
        QByteArray cut = libraryBytes();
        cut.truncate(cut.indexOf("\"[FuelModelSet:Spare"));
        writeLibrary(cut);

        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Ours"));
        m_prompts->ExpectYesNo({}, true); // read the file again
        m_prompts->ExpectMessage({});     // it cannot be read
        m_prompts->ExpectMessage({});     // the other version kept aside
        win().cmdNewSet->click();
        QVERIFY(m_prompts->Finished());
        const QStringList log = m_prompts->Log();
        QVERIFY2(log[log.size() - 2].contains("cut short"), qPrintable(log[log.size() - 2]));
        QVERIFY2(log[log.size() - 2].contains("The library shown here is kept."), qPrintable(log[log.size() - 2]));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Made earlier,Count:0]"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Ours,Count:0]"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Spare,Count:0]"));
        QCOMPARE(copies("outside").size(), 1);
        QCOMPARE(readFile(copies("outside").front()), cut);
        checkAfterAction("new set over a cut file");
        QCOMPARE(win().UndoStack()->undoText(), QString("New Set 'Ours'"));
    }

    // A backup that fails is said as it is, with whether the library itself was saved.
    void aFailedBackupIsToldAsItIs()
    {
        start();
        FailBackupWritesForTesting(1);
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("One"));
        win().cmdNewSet->click();
        // The line may cut a long message in its middle; its tooltip holds the whole of it.
        const QString status = win().statusBar()->toolTip();
        QVERIFY2(status.contains("No space left on device"), qPrintable(status));
        QVERIFY2(status.contains("The library itself was saved"), qPrintable(status));
        QVERIFY(libraryBytes().contains("[FuelModelSet:One,Count:0]"));

        // The next save makes the backup after all.
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Two"));
        win().cmdNewSet->click();
        QCOMPARE(QDir(m_libraryDir->path()).entryList({"OrlaFuelModels.backup-*.FFM"}, QDir::Files).size(), 1);
        checkAfterAction("second save");

        // Both fail: the status line does not say the library was written.
        m_window.reset();
        setUp();
        start();
        FailBackupWritesForTesting(1);
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Lost?"));
        m_prompts->ExpectMessage({}); // the save failed; the changes are kept in the program
        {
            FullDisk full;
            win().cmdNewSet->click();
        }
        const QString both = win().statusBar()->toolTip();
        QVERIFY2(both.contains("could not be saved either"), qPrintable(both));
        QVERIFY2(!both.contains("saved;") && !both.contains("written all the same"), qPrintable(both));
        QVERIFY(m_prompts->Finished());
    }

    // In the read-only copy, Restore from backup says why it cannot restore.
    void theReadOnlyCopySaysWhyItCannotRestore()
    {
        start();
        m_prompts->ExpectYesNo({}, true); // open the second copy read-only
        auto second = std::make_unique<frmVarrow>(m_prompts.get());
        second->show();
        QVERIFY(second->ReadOnly());
        QVERIFY(second->actRestoreBackup->isEnabled());
        m_prompts->ExpectMessage("The library is open read-only here: nothing can be restored into it.");
        second->actRestoreBackup->trigger();
        QVERIFY(m_prompts->Finished());
        second.reset();
    }
};

QTEST_MAIN(TestLibraryTruth)
#include "tst_librarytruth.moc"
