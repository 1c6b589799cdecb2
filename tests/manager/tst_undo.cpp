// Undo and redo of the library commands in the main window: each step brings back the file,
// the tree and the library of its moment, names itself in the Edit menu, answers the standard
// keys, and waits while the Edit and Test Center is open.

#include "support/ManagerFixture.h"

#include "testcenter/ui/frmEditModel.h"

namespace {

const QByteArray kUndoLibrary = "\"[FuelModelSet:Orla Master,Count:1, Locked]\"\r\n"
                                "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                "\"[FuelModelSet:Field set,Count:2]\"\r\n"
                                "\"F1\",\"Field one\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                "\"F2\",\"Field two\",2,1.5,1,0,0,0,2000,1500,1500,0.25,8000,8000,8000,2,1\r\n"
                                "\"[FuelModelSet:Spare,Count:0]\"\r\n"
                                "\"[End]\"\r\n";

} // namespace

class TestUndo : public QObject, public ManagerFixture
{
    Q_OBJECT

    void activateMain()
    {
        win().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win()));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QTest::keyClick(&tree(), k, mods);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void undoingADeletedSetBringsItBackInItsPlace()
    {
        start(kUndoLibrary);
        activateMain();
        const QByteArray original = libraryBytes();
        const QString field = setKey("Field set");
        click(field);
        QVERIFY(!win().actUndo->isEnabled()); // nothing done yet
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model set: Field set?", true);
        win().cmdDelete[0]->click();
        QVERIFY(setKey("Field set").isEmpty());
        checkAfterAction("delete set");
        QCOMPARE(win().actUndo->text(), QString("&Undo Delete Set 'Field set'"));

        key(Qt::Key_Z);
        QCOMPARE(libraryBytes(), original);
        checkAfterAction("undo");
        // The same node, second among the sets, selected and shown again.
        QCOMPARE(tree().KeyAt(tree().Count() - 3), field);
        QCOMPARE(tree().SelectedKey(), field);
        QCOMPARE(win().txtFuelModelSet->text(), QString("Field set"));
        QCOMPARE(win().actRedo->text(), QString("&Redo Delete Set 'Field set'"));

        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(setKey("Field set").isEmpty());
        checkAfterAction("redo by Ctrl+Shift+Z");
        key(Qt::Key_Z);
        key(Qt::Key_Y);
        QVERIFY(setKey("Field set").isEmpty());
        checkAfterAction("redo by Ctrl+Y");
    }

    void everyCommandIsOneStepBackAndForth()
    {
        start(kUndoLibrary);
        activateMain();
        QList<QByteArray> files{libraryBytes()};
        QStringList names;
        auto done = [&](const char *what) {
            checkAfterAction(what);
            files << libraryBytes();
            names << win().UndoStack()->undoText();
        };

        click(setKey("Spare"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Burn plots"));
        win().cmdNewSet->click();
        done("new set");
        click(modelKey("Field set", "F2"));
        win().cmdCopy->click();
        click(setKey("Burn plots"));
        m_prompts->ExpectPaste("B1", "Burn one");
        win().cmdPaste->click();
        done("paste");
        click(modelKey("Field set", "F1"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: F1 - Field one?", true);
        win().cmdCut->click();
        done("cut");
        click(setKey("Burn plots"));
        win().cmdRename->click();
        auto *line = tree().findChild<QLineEdit *>();
        QVERIFY(line);
        line->setText("Burn plots 2024");
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!setKey("Burn plots 2024").isEmpty());
        done("rename");
        click(modelKey("Burn plots 2024", "B1"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: B1 - Burn one?", true);
        win().cmdDelete[1]->click();
        done("delete model");

        QCOMPARE(names,
                 QStringList({"New Set 'Burn plots'", "Paste Model 'B1 - Burn one'", "Cut Model 'F1 - Field one'",
                              "Rename Set 'Burn plots' to 'Burn plots 2024'", "Delete Model 'B1 - Burn one'"}));
        for (int i = files.size() - 2; i >= 0; --i) {
            win().actUndo->trigger();
            QCOMPARE(libraryBytes(), files[i]);
            checkAfterAction("undo");
        }
        QVERIFY(!win().actUndo->isEnabled());
        for (int i = 1; i < files.size(); ++i) {
            win().actRedo->trigger();
            QCOMPARE(libraryBytes(), files[i]);
            checkAfterAction("redo");
        }
        QVERIFY(!win().actRedo->isEnabled());
    }

    void theEditorsSaveIsOneStepAndHistoryWaitsWhileItIsOpen()
    {
        start(kUndoLibrary);
        activateMain();
        const QByteArray original = libraryBytes();
        const auto f2 = gFMSets->Item(setKey("Field set"))->FuelModels()->Item(modelKey("Field set", "F2"));
        click(modelKey("Field set", "F2"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: F1 - Field one?", true);
        click(modelKey("Field set", "F1"));
        win().cmdDelete[1]->click();
        const QByteArray withoutF1 = libraryBytes();

        click(modelKey("Field set", "F2"));
        win().cmdEditSave->click();
        frmEditModel *editor = win().Editor();
        QVERIFY(editor);
        QVERIFY(!win().actUndo->isEnabled());
        editor->txtFuels(0)->setText("F2b");
        editor->txtFuels(2)->setText("0.5");
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QTRY_VERIFY(!win().Editor());
        QVERIFY(libraryBytes().contains("\"F2b\",\"Field two\",2,0.5,"));
        QCOMPARE(win().UndoStack()->undoText(), QString("Save Model 'F2b - Field two'"));

        win().actUndo->trigger();
        QCOMPARE(libraryBytes(), withoutF1);
        checkAfterAction("undo of the editor's save");
        QCOMPARE(f2->FuelModelID(), QString("F2"));
        QCOMPARE(tree().Text(f2->Key()), QString("F2 - Field two"));
        // The model is still the library's own record, not a copy.
        QCOMPARE(gFMSets->Item(setKey("Field set"))->FuelModels()->Item(f2->Key()), f2);
        win().actUndo->trigger();
        QCOMPARE(libraryBytes(), original);
        win().actRedo->trigger();
        win().actRedo->trigger();
        QVERIFY(libraryBytes().contains("\"F2b\",\"Field two\",2,0.5,"));
        checkAfterAction("redo of the editor's save");
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
