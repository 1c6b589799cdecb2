// The Notes tab of the main window, through its real controls: a model's and a set's notes
// typed and saved at once, one undoable step each, and a pasted copy's history shown; the
// editor's Save of values and notes as one step; orphaned notes attached and deleted from
// File > Library..., each undoable.
#include "support/ManagerFixture.h"

#include "manager/LibraryInfoDialog.h"
#include "testcenter/ui/frmEditModel.h"

#include <QComboBox>
#include <QTreeWidget>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>

class TestNotes : public QObject, public ManagerFixture
{
    Q_OBJECT

    QByteArray notesBytes() const
    {
        QFile f(NotesFilePath(libraryPath()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void openNotesTab()
    {
        QTabBar *bar = win().tabPanel->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(win().tabPanel->currentIndex(), 1);
    }
    void retype(QWidget *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    // File > Library... as the menu opens it; check runs inside the dialog's own event loop,
    // then its Close button closes it.
    void withLibraryDialog(const std::function<void(LibraryInfoDialog &)> &check)
    {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<LibraryInfoDialog *>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            poll.stop();
            check(*dialog);
            QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
        });
        poll.start();
        win().actLibraryInfo->trigger();
        QVERIFY(seen);
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void aModelsNotesAreSavedAtOnceAndUndoneAsOneStep()
    {
        start();
        win().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win()));
        QVERIFY(!QFile::exists(NotesFilePath(libraryPath()))); // no notes, no notes file
        click(modelKey("Custom", "C1"));
        openNotesTab();
        QCOMPARE(win().lblNotesSource->text(), QString("Source"));
        retype(win().txtNotesSource, "Field campaign 2019");
        retype(win().txtNotesAuthor, "Ana Reyes");
        retype(win().txtNotes, "Grazed plots.");
        QTest::keyClick(win().txtNotes, Qt::Key_Return);
        QTest::keyClicks(win().txtNotes, "Depth in May.");
        QTest::mouseClick(win().cmdSaveNotes, Qt::LeftButton);
        checkAfterAction("save notes");
        QCOMPARE(libraryBytes(), kTestLibrary); // the library file is as it was, byte for byte
        const QByteArray saved = notesBytes();
        QVERIFY(
            saved.contains("      \"id\": \"C1\",\n      \"source\": \"Field campaign 2019\",\n"
                           "      \"author\": \"Ana Reyes\",\n      \"notes\": \"Grazed plots.\\nDepth in May.\",\n"));
        QCOMPARE(win().actUndo->text(), QString("&Undo Notes of Model 'C1 - Custom one'"));

        // Another model shows its own (empty) notes; coming back shows these.
        click(modelKey("Orla Master", "1"));
        QCOMPARE(win().txtNotesSource->text(), QString());
        click(modelKey("Custom", "C1"));
        QCOMPARE(win().txtNotesAuthor->text(), QString("Ana Reyes"));

        QTest::keyClick(&tree(), Qt::Key_Z, Qt::ControlModifier);
        checkAfterAction("undo");
        QVERIFY(!notesBytes().contains("Ana Reyes"));
        QCOMPARE(win().txtNotesAuthor->text(), QString());
        QTest::keyClick(&tree(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        checkAfterAction("redo");
        QCOMPARE(notesBytes(), saved);
        QCOMPARE(win().txtNotes->toPlainText(), QString("Grazed plots.\nDepth in May."));
    }

    void aSetShowsItsDescriptionOwnerAndNotes()
    {
        start();
        click(setKey("Custom"));
        openNotesTab();
        QCOMPARE(win().lblNotesSource->text(), QString("Description"));
        QCOMPARE(win().lblNotesAuthor->text(), QString("Owner"));
        retype(win().txtNotesSource, "Models of the coastal plain");
        retype(win().txtNotesAuthor, "Bo");
        QTest::mouseClick(win().cmdSaveNotes, Qt::LeftButton);
        checkAfterAction("save set notes");
        QVERIFY(notesBytes().contains("{\"name\": \"Custom\", \"description\": \"Models of the coastal plain\", "
                                      "\"owner\": \"Bo\", \"notes\": \"\"}"));
    }

    void aPastedCopyShowsWhereItCameFrom()
    {
        start();
        click(modelKey("Custom", "C1"));
        win().cmdCopy->click();
        click(setKey("Spare"));
        m_prompts->fillPaste = [](frmPasteModel &dialog) {
            QTest::keyClicks(dialog.txtFuels[0], "C2");
            QTest::keyClicks(dialog.txtFuels[1], "Custom two");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        };
        win().cmdPaste->click();
        checkAfterAction("paste");
        openNotesTab();
        QVERIFY2(win().txtNotesHistory->toPlainText().endsWith("copied from C1 of set \"Custom\""),
                 qPrintable(win().txtNotesHistory->toPlainText()));
        QVERIFY(notesBytes().contains("\"kind\": \"copied-from\", \"set\": \"Custom\", \"id\": \"C1\"}"));
    }

    void theEditorsSaveWritesValuesNotesAndHistoryAsOneStep()
    {
        start();
        const QByteArray original = libraryBytes();
        click(modelKey("Custom", "C1"));
        win().cmdEditSave->click();
        frmEditModel *editor = win().Editor();
        QVERIFY(editor);
        QVERIFY(!win().cmdSaveNotes->isEnabled()); // the editor holds the model's notes now
        retype(editor->txtNotesSource(), "Plots 3-9");
        retype(editor->txtFuels(2), "1.2");   // the 1-h load, 12000 in the file, out of range
        retype(editor->txtFuels(13), "0.75"); // depth 0.5 ft
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QTRY_VERIFY(!win().Editor());
        checkAfterAction("the editor's save");
        const QByteArray saved = notesBytes();
        QVERIFY2(saved.contains("      \"source\": \"Plots 3-9\",\n"), saved.constData());
        // Exactly the values that changed, old and new, in the editor's order.
        QVERIFY(
            saved.contains("\"kind\": \"saved\", \"changes\": [{\"field\": \"load-1h\", \"old\": 12000, \"new\": 1.2}, "
                           "{\"field\": \"depth\", \"old\": 0.5, \"new\": 0.75}]}"));
        QCOMPARE(win().actUndo->text(), QString("&Undo Save Model 'C1 - Custom one'"));

        win().actUndo->trigger();
        checkAfterAction("undo of the editor's save");
        QCOMPARE(libraryBytes(), original);
        QVERIFY(!notesBytes().contains("Plots 3-9"));
        win().actRedo->trigger();
        checkAfterAction("redo of the editor's save");
        QCOMPARE(notesBytes(), saved);
    }

    void orphanedNotesAreAttachedOrDeletedFromTheLibraryDialog()
    {
        // Notes of a model and a set that are not in the library (edited by another program).
        {
            QFile f(NotesFilePath(libraryPath()));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\"format\": \"varrow-notes\", \"version\": 1, \"library\": \"OrlaFuelModels.FFM\",\r\n"
                    " \"sets\": [{\"name\": \"Old set\", \"description\": \"Shrubs of 2019\", \"owner\": \"Bo\"}],\r\n"
                    " \"models\": [{\"set\": \"Gone\", \"id\": \"X9\", \"source\": \"Old campaign\",\r\n"
                    "   \"history\": [{\"date\": \"2026-12-01T08:00:00+01:00\", \"kind\": \"created-blank\"}]}]}\r\n");
        }
        m_prompts->ExpectMessage({}); // what the start found: orphaned notes, listed in File > Library...
        start();
        QVERIFY(m_prompts->Finished());
        const auto c1 = gFMSets->Item(setKey("Custom"))->FuelModels()->Item(modelKey("Custom", "C1"));

        withLibraryDialog([&](LibraryInfoDialog &d) {
            QCOMPARE(d.lstOrphanNotes->topLevelItemCount(), 2);
            QCOMPARE(d.lstOrphanNotes->topLevelItem(0)->text(0), QString("Model X9 (was in set \"Gone\")"));
            QCOMPARE(d.lstOrphanNotes->topLevelItem(1)->text(0), QString("Set \"Old set\""));
            QVERIFY(d.lstOrphanNotes->topLevelItem(0)->toolTip(0).startsWith("Source: Old campaign"));
            // The model's notes onto C1: the list offers the library's models.
            d.lstOrphanNotes->setCurrentItem(d.lstOrphanNotes->topLevelItem(0));
            QCOMPARE(d.cboAttachNotesTo->count(), 3);
            d.cboAttachNotesTo->setCurrentIndex(d.cboAttachNotesTo->findText("Custom: C1 - Custom one"));
            QTest::mouseClick(d.cmdAttachNotes, Qt::LeftButton);
            QCOMPARE(d.lstOrphanNotes->topLevelItemCount(), 1);
            QVERIFY(d.lblOrphanNotes->text().startsWith("The notes of X9 were attached to Custom: C1 - Custom one."));
            // The set's notes deleted; for a set the list offers the sets.
            d.lstOrphanNotes->setCurrentItem(d.lstOrphanNotes->topLevelItem(0));
            QCOMPARE(d.cboAttachNotesTo->count(), 3);
            QCOMPARE(d.cboAttachNotesTo->itemText(2), QString("Spare"));
            QTest::mouseClick(d.cmdDeleteNotes, Qt::LeftButton);
            QVERIFY(d.lstOrphanNotes->isHidden());
            QVERIFY(!d.cmdAttachNotes->isVisible());
        });
        checkAfterAction("attach and delete");
        const ModelNotes *attached = gLibraryNotes.Of(c1.get());
        QVERIFY(attached);
        QCOMPARE(attached->source, QString("Old campaign"));
        QCOMPARE(attached->history.size(), 1);
        QVERIFY(!notesBytes().contains("Old set"));
        QCOMPARE(win().actUndo->text(), QString("&Undo Delete Notes of Set 'Old set'"));

        // Each is one step: undone, the notes are orphaned again, nothing lost.
        win().actUndo->trigger();
        checkAfterAction("undo of the delete");
        QVERIFY(notesBytes().contains(
            "\"orphan-sets\": [\n    {\"name\": \"Old set\", \"description\": \"Shrubs of 2019\""));
        QCOMPARE(win().actUndo->text(), QString("&Undo Attach Notes of 'X9' to 'C1'"));
        win().actUndo->trigger();
        checkAfterAction("undo of the attach");
        QVERIFY(!gLibraryNotes.Of(c1.get()) || gLibraryNotes.Of(c1.get())->IsEmpty());
        QCOMPARE(gLibraryNotes.OrphanedModels(*gFMSets).size(), 1);
        withLibraryDialog([](LibraryInfoDialog &d) { QCOMPARE(d.lstOrphanNotes->topLevelItemCount(), 2); });
        win().actRedo->trigger();
        checkAfterAction("redo of the attach");
        QCOMPARE(gLibraryNotes.Of(c1.get())->source, QString("Old campaign"));
    }

    void aDeletedModelsNotesAreListedUntilUndoBringsItBack()
    {
        start();
        click(modelKey("Custom", "C1"));
        openNotesTab();
        retype(win().txtNotesAuthor, "Ana");
        QTest::mouseClick(win().cmdSaveNotes, Qt::LeftButton);
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: C1 - Custom one?", true);
        win().cmdDelete[1]->click();
        checkAfterAction("delete");
        withLibraryDialog([](LibraryInfoDialog &d) {
            QCOMPARE(d.lstOrphanNotes->topLevelItemCount(), 1);
            QCOMPARE(d.lstOrphanNotes->topLevelItem(0)->text(0), QString("Model C1 (was in set \"Custom\")"));
        });
        win().actUndo->trigger();
        checkAfterAction("undo of the delete");
        withLibraryDialog([](LibraryInfoDialog &d) {
            QVERIFY(d.lstOrphanNotes->isHidden());
            QVERIFY(d.lblOrphanNotes->text().startsWith("No orphaned notes"));
        });
    }
};

QTEST_MAIN(TestNotes)
#include "tst_notes.moc"
