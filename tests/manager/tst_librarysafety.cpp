// One writer at a time and changes from outside: a second window on the same library reads it
// only, and a file changed by another program is never written over unseen.

#include "support/ManagerFixture.h"

#include "manager/RestoreBackupDialog.h"
#include "testcenter/ui/frmEditModel.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>

class TestLibrarySafety : public QObject, public ManagerFixture
{
    Q_OBJECT

    QStringList asideCopies() const { return QDir(m_libraryDir->path()).entryList({"*.outside-*.bak"}, QDir::Files); }
    QByteArray readFile(const QString &name) const
    {
        QFile f(m_libraryDir->filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Another program writes the library: Spare renamed to "Outside set".
    QByteArray changeOutside()
    {
        QByteArray outside = libraryBytes();
        outside.replace("Spare,Count:0", "Outside set,Count:0");
        writeLibrary(outside);
        return outside;
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void aSecondCopyReadsTheLibraryOnlyOrQuits()
    {
        start();
        const QByteArray original = libraryBytes();
        const QString holder =
            QString("process %1 on %2").arg(QCoreApplication::applicationPid()).arg(QSysInfo::machineHostName());
        const QString question = "The library file\r" + QDir::toNativeSeparators(libraryPath()) +
            "\ris open in another copy of Varrow (" + holder +
            "), which saves every change to it.\r\r"
            "Yes: open it here read-only (nothing can be changed or saved).\rNo: quit.";
        {
            m_prompts->ExpectYesNo(question, false);
            frmVarrow second(m_prompts.get());
            QVERIFY(second.QuitAtStart());
        }
        QVERIFY(m_prompts->Finished());

        m_prompts->ExpectYesNo(question, true);
        auto second = std::make_unique<frmVarrow>(m_prompts.get());
        second->show();
        QVERIFY(!second->QuitAtStart());
        QVERIFY(second->windowTitle().endsWith(" (read-only)"));
        // Every library command is off, for sets and for models; copying and looking stay.
        second->treeFMs->SetSelectedKey(second->treeFMs->KeyAt(4)); // the unlocked set "Custom"
        second->RefreshFMs();
        for (QPushButton *b : {second->cmdNewSet, second->cmdDelete[0], second->cmdRename, second->cmdNewFM})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        second->treeFMs->SetSelectedKey(second->treeFMs->KeyAt(5)); // its model C1
        second->RefreshFMs();
        for (QPushButton *b : {second->cmdCut, second->cmdDelete[1], second->cmdPaste})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(second->cmdCopy->isEnabled());
        QVERIFY(!second->actUndo->isEnabled());
        QVERIFY(!second->actDelete->isEnabled());
        // The editor opens read-only.
        second->cmdEditSave->click();
        QVERIFY(second->Editor());
        QVERIFY(!second->Editor()->Editable());
        second->Editor()->close();
        second->close();
        second.reset();
        QCOMPARE(libraryBytes(), original);
        QVERIFY(m_prompts->Finished());

        // Once the first copy has ended, the library is free again.
        m_window.reset();
        frmVarrow third(m_prompts.get());
        QVERIFY(!third.ReadOnly());
        QVERIFY(m_prompts->Log().size() == 2);
    }

    void aLockLeftByACrashedCopyIsTakenOver()
    {
        // A copy killed while it ran leaves its lock; its process is gone.
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QFile lock(libraryPath() + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QString("%1\nVarrow\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
        lock.close();
        start();
        QVERIFY(!win().ReadOnly());
        QVERIFY(m_prompts->Log().isEmpty());
    }

    void anOutsideChangeIsReadAgainWithTheActionMadeInIt()
    {
        start();
        changeOutside();
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: C1 - Custom one?", true);
        m_prompts->ExpectYesNo({}, true); // read the file again
        m_prompts->ExpectMessage({});
        win().cmdDelete[1]->click();
        const QString message = m_prompts->Log().last();
        QVERIFY2(message.contains("The library was read again from the file."), qPrintable(message));
        QVERIFY2(message.contains("\"Delete Model 'C1 - Custom one'\" was made in it again."), qPrintable(message));
        checkAfterAction("delete after an outside change");
        QVERIFY(!setKey("Outside set").isEmpty());
        QVERIFY(modelKey("Custom", "C1").isEmpty());
        QVERIFY(libraryBytes().contains("[FuelModelSet:Custom,Count:0]"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Outside set,Count:0]"));
        // The history was of the library before; it starts again, with the action made again,
        // and the message says so.
        QVERIFY2(message.contains("The earlier steps of Undo are cleared"), qPrintable(message));
        QTRY_COMPARE(win().UndoStack()->count(), 1);
        QCOMPARE(win().UndoStack()->undoText(), QString("Delete Model 'C1 - Custom one'"));
        QVERIFY(asideCopies().isEmpty());
    }

    void keepingOursSavesTheOutsideVersionAsideFirst()
    {
        start();
        const QByteArray outside = changeOutside();
        click(setKey("Custom"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Ours"));
        m_prompts->ExpectYesNo({}, false); // keep this library
        m_prompts->ExpectMessage({});
        win().cmdNewSet->click();
        checkAfterAction("new set, ours kept");
        QVERIFY(libraryBytes().contains("[FuelModelSet:Spare,Count:0]"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Ours,Count:0]"));
        QCOMPARE(asideCopies().size(), 1);
        QCOMPARE(readFile(asideCopies().first()), outside);
        QVERIFY(
            m_prompts->Log().last().contains(QDir::toNativeSeparators(m_libraryDir->filePath(asideCopies().first()))));
        // Our change stays undoable.
        QCOMPARE(win().UndoStack()->undoText(), QString("New Set 'Ours'"));
    }

    void anActionThatNoLongerAppliesIsDroppedAndTheFileKept()
    {
        start();
        const QByteArray outside = changeOutside();
        click(setKey("Spare"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model set: Spare?", true);
        m_prompts->ExpectYesNo({}, true);
        m_prompts->ExpectMessage({});
        win().cmdDelete[0]->click();
        const QString message = m_prompts->Log().last();
        QVERIFY2(message.contains("\r\"Delete Set 'Spare'\" was dropped: The set 'Spare' is no longer in the library."),
                 qPrintable(message));
        QVERIFY2(message.contains("Undo is cleared"), qPrintable(message));
        QCOMPARE(libraryBytes(), outside);
        QVERIFY(TreeAndLibraryDiffer(tree(), *gFMSets).isEmpty());
        QVERIFY(!setKey("Outside set").isEmpty());
        QVERIFY(m_prompts->Finished());
    }

    void anEditOfTheSameSizeAndTimeIsSeenToo()
    {
        start();
        QByteArray outside = libraryBytes();
        const QDateTime time = QFileInfo(libraryPath()).lastModified();
        outside.replace("Custom one", "Custom 1ne");
        writeLibrary(outside);
        QFile f(libraryPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
        f.close();
        click(setKey("Custom"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Ours"));
        m_prompts->ExpectYesNo({}, true);
        m_prompts->ExpectMessage({});
        win().cmdNewSet->click();
        checkAfterAction("new set after a same-size edit");
        QVERIFY(libraryBytes().contains("Custom 1ne"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Ours,Count:0]"));
    }

    void closingOverAnOutsideChangeAsksFirst()
    {
        start();
        const QByteArray outside = changeOutside();
        m_prompts->ExpectYesNo({}, false); // leave the file as the other program wrote it
        win().close();
        QCOMPARE(libraryBytes(), outside);
        QVERIFY(asideCopies().isEmpty());
        QVERIFY(m_prompts->Finished());
    }
    void theLibraryAsFoundIsKeptOnceAndRestoringItIsOneUndoableStep()
    {
        start();
        const QByteArray found = libraryBytes();
        const auto backups = [this] {
            return QDir(m_libraryDir->path()).entryList({"OrlaFuelModels.backup-*.FFM"}, QDir::Files);
        };
        QVERIFY(backups().isEmpty()); // reading writes nothing

        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Run one"));
        win().cmdNewSet->click();
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Run two"));
        win().cmdNewSet->click();
        checkAfterAction("two new sets");
        QCOMPARE(backups().size(), 1); // before the first write only
        QCOMPARE(readFile(backups().front()), found);

        int listed = -1;
        QString models;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<RestoreBackupDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            listed = dialog->lstBackups->topLevelItemCount();
            if (listed > 0)
                models = dialog->lstBackups->topLevelItem(0)->text(2);
            dialog->cmdRestore->click();
        });
        win().actRestoreBackup->trigger();
        QCOMPARE(listed, 1);
        QCOMPARE(models, QString("3"));
        QCOMPARE(libraryBytes(), found);
        QVERIFY(setKey("Run one").isEmpty());
        QVERIFY(setKey("Run two").isEmpty());
        checkAfterAction("restore");
        QVERIFY2(win().actUndo->text().startsWith("&Undo Restore Backup of "), qPrintable(win().actUndo->text()));

        win().actUndo->trigger();
        QVERIFY(!setKey("Run two").isEmpty());
        checkAfterAction("undo restore");
        win().actRedo->trigger();
        QCOMPARE(libraryBytes(), found);
        checkAfterAction("redo restore");
        QCOMPARE(backups().size(), 1);
    }
};

QTEST_MAIN(TestLibrarySafety)
#include "tst_librarysafety.moc"
