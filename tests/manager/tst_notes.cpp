// The Notes tab of the main window, through its real controls: a model's and a set's notes
// typed and saved at once, one undoable step each, and a pasted copy's history shown.
#include "ManagerFixture.h"

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
        QVERIFY(saved.contains("      \"id\": \"C1\",\n      \"source\": \"Field campaign 2019\",\n"
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
};

QTEST_MAIN(TestNotes)
#include "tst_notes.moc"
