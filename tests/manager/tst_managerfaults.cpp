// The main window where a new user lost work or was misled: the model open in the editor, a
// cut answered No, a rename ended by a click elsewhere, settings that cannot be written, Enter
// on a delete question, the library file the status line names, and every popup menu item
// driven through the menu itself.

#include "support/ManagerFixture.h"

#include "manager/DefaultSet.h"
#include "testcenter/ui/frmEditModel.h"

#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

class TestManagerFaults : public QObject, public ManagerFixture
{
    Q_OBJECT

    void press(QPushButton *b)
    {
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // Opens the popup menu with the right button over the tree, as a user does, and chooses
    // the item with the mouse.
    void choose(QAction *item)
    {
        QMenu *menu = win().PopupMenu();
        const QString sel = tree().SelectedKey();
        QTest::mousePress(tree().viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(menu->isVisible());
        QCOMPARE(tree().SelectedKey(), sel);
        QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QCoreApplication::processEvents();
        QVERIFY(!menu->isVisible());
    }

    // A new blank model of set, open in the editor; its key.
    QString openBlankModel(const QString &set)
    {
        click(setKey(set));
        QTest::mouseClick(win().cmdNewFM, Qt::LeftButton);
        if (!win().Editor())
            return {};
        // A blank model has no SA/V yet, which Save refuses.
        for (int box : {7, 8, 9})
            win().Editor()->SetEntryText(box, "1500");
        return win().Editor()->EditFM()->Key();
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void theModelOpenInTheEditorCannotBeCutOrDeletedNorItsSet()
    {
        start();
        const QString blank = openBlankModel("Custom");
        QVERIFY(!blank.isEmpty());
        QVERIFY(win().isEnabled());
        const QByteArray before = libraryBytes();

        // Cut: refused before anything is asked, and nothing is left on the clipboard.
        m_prompts->ExpectMessage({}, AppTitle());
        press(win().cmdCut);
        QVERIFY(m_prompts->Log().last().contains("open in the Edit and Test Center"));
        QCOMPARE(m_prompts->LastIcon(), IPrompts::Icon::Exclamation);
        QVERIFY(tree().Contains(blank));
        QVERIFY(gPasteMode.isEmpty());
        m_prompts->ExpectMessage({});
        press(win().cmdDelete[1]);
        click(setKey("Custom"));
        m_prompts->ExpectMessage({});
        press(win().cmdDelete[0]);
        QVERIFY(m_prompts->Log().last().contains("\"Custom\" cannot be deleted now"));
        QVERIFY(tree().Contains(blank));
        QCOMPARE(libraryBytes(), before);
        QVERIFY(m_prompts->Finished());

        // The other model of that set is deleted as always.
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo({}, true);
        press(win().cmdDelete[1]);
        checkAfterAction("delete beside the edited model");

        // The editor's Save reaches the library.
        win().Editor()->SetEntryText(0, "NB1");
        QTest::mouseClick(win().Editor()->cmdApply(), Qt::LeftButton);
        QVERIFY(m_prompts->Finished());
        QVERIFY(libraryBytes().contains("\"NB1\",\"New Model\""));
        QCOMPARE(tree().Text(blank), QString("NB1 - New Model"));

        // Closed, the model is free to go.
        win().Editor()->close();
        QCoreApplication::processEvents();
        click(blank);
        m_prompts->ExpectYesNo({}, true);
        press(win().cmdDelete[1]);
        QVERIFY(!tree().Contains(blank));
    }

    void saveInTheEditorSaysSoWhenItsModelIsGone()
    {
        start();
        const QString blank = openBlankModel("Custom");
        // Taken out of the library behind the editor's back (as a reload or an undo could).
        gFMSets->Item(setKey("Custom"))->FuelModels()->Remove(blank);
        tree().Remove(blank);
        const QByteArray before = libraryBytes();
        win().Editor()->SetEntryText(0, "LOST");
        m_prompts->ExpectMessage({}, "Save Fuel Model");
        QTest::mouseClick(win().Editor()->cmdSave(), Qt::LeftButton); // Close and Save
        QVERIFY(m_prompts->Finished());
        QVERIFY(m_prompts->Log().last().contains("\"New - New Model\" is no longer in the library"));
        QVERIFY(m_prompts->Log().last().contains("Nothing was saved"));
        QCOMPARE(libraryBytes(), before);
        QVERIFY(win().Editor() && win().Editor()->isVisible()); // the entries are not thrown away
        QCOMPARE(win().Editor()->EntryText(0), QString("LOST"));
    }

    void aCutAnsweredNoCutsNothingAndAPasteChecksTheIdInTheTargetSet()
    {
        // Spare holds a model whose ID differs from Custom's C1 only in case and blanks.
        QByteArray library = kTestLibrary;
        library.replace("\"[FuelModelSet:Spare,Count:0]\"\r\n",
                        "\"[FuelModelSet:Spare,Count:1]\"\r\n"
                        "\"c1 \",\"Spare one\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,1,1\r\n");
        start(library);
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo({}, false);
        press(win().cmdCut);
        QCOMPARE(gFMSets->Item(setKey("Custom"))->FuelModels()->Count(), 1);
        QVERIFY(gPasteMode.isEmpty());
        click(setKey("Custom"));
        QVERIFY(!win().cmdPaste->isEnabled()); // nothing was cut, nothing to paste
        QVERIFY(!win().mnuPasteModelPU->isEnabled());

        // A copy made before survives a cut answered No.
        click(modelKey("Orla Master", "GR2"));
        press(win().cmdCopy);
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo({}, false);
        press(win().cmdCut);
        QCOMPARE(gPasteMode, QString("Copy"));
        QCOMPARE(gClipFM->FuelModelID(), QString("GR2"));

        // A real cut into a set that has the ID: told, and asked for a new one.
        m_prompts->ExpectYesNo({}, true);
        press(win().cmdCut);
        click(setKey("Spare"));
        m_prompts
            ->ExpectMessage("The fuel model set \"Spare\" already holds a fuel model with the ID C1.\r"
                            "Please give the pasted model a new ID and description.",
                            "Fuel Model ID")
            .ExpectPaste("C2", "Moved one");
        press(win().cmdPaste);
        const auto spare = gFMSets->Item(setKey("Spare"))->FuelModels();
        QCOMPARE(spare->Count(), 2);
        QCOMPARE(spare->Item(2)->FuelModelID(), QString("C2"));
        QCOMPARE(spare->Item(2)->Loading1Hour(), 12000.0);
        checkAfterAction("cut and paste into a set with the ID");
    }

    void thePanelShowsTheNodeSelectedWhenARenameEndsByAClickElsewhere()
    {
        start();
        const QString custom = setKey("Custom");
        click(custom);
        press(win().cmdRename);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Field set");
        click(setKey("Spare")); // ends the edit
        QCoreApplication::processEvents();
        QCOMPARE(tree().Text(custom), QString("Field set"));
        QCOMPARE(gFMSets->Item(custom)->Name(), QString("Field set"));
        QCOMPARE(tree().SelectedKey(), setKey("Spare"));
        QCOMPARE(win().txtFuelModelSet->text(), QString("Spare"));
        QVERIFY(libraryBytes().contains("\"[FuelModelSet:Field set,Count:1]\""));
        m_prompts->ExpectYesNo("Do you wish to make Spare\rthe default Larkfield fuel model set?", false);
        press(win().cmdDefault);
        QVERIFY(m_prompts->Finished());

        // Ended on a model of the set renamed before: the panel shows that model.
        tree().Node(custom)->setExpanded(true);
        press(win().cmdRename);
        editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->deselect();
        editor->end(false);
        QTest::keyClicks(editor, " too");
        const QString c1 = modelKey("Field set", "C1");
        click(c1);
        QCoreApplication::processEvents();
        QCOMPARE(tree().SelectedKey(), c1);
        QCOMPARE(tree().Text(setKey("Spare too")), QString("Spare too"));
        QCOMPARE(win().txtFuelModelSet->text(), QString("Field set"));
        QCOMPARE(win().PanelText(0), QString("C1"));
    }

    void aDefaultSetThatCannotBeStoredIsReported()
    {
        start();
        // The settings folder is a file: nothing can be written there, not even by root.
        QTemporaryDir home;
        QFile blocker(home.filePath("config"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
        click(setKey("Custom"));
        m_prompts->ExpectYesNo({}, true).ExpectMessage({}, AppTitle());
        press(win().cmdDefault);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QVERIFY(m_prompts->Finished());
        QVERIFY(m_prompts->Log().last().contains("could not be stored"));
        QVERIFY(m_prompts->Log().last().contains(QDir::toNativeSeparators(home.filePath("config"))));
        QCOMPARE(m_prompts->LastIcon(), IPrompts::Icon::Exclamation);

        // Stored, it says nothing.
        m_prompts->ExpectYesNo({}, true);
        press(win().cmdDefault);
        QVERIFY(m_prompts->Finished());
        QCOMPARE(ReadDefaultSetName(), QString("Custom"));
    }

    void enterOnTheRealDeleteQuestionKeepsTheSet()
    {
        writeLibrary(kTestLibrary);
        m_window = std::make_unique<frmVarrow>(); // the real message boxes
        m_window->show();
        QCoreApplication::processEvents();
        click(setKey("Custom"));
        QString question;
        QTimer::singleShot(0, [&question] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            question = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::mouseClick(win().cmdDelete[0], Qt::LeftButton);
        QCOMPARE(question, QString("Are you sure you want to delete fuel model set: Custom?"));
        QVERIFY(!setKey("Custom").isEmpty());
        QCOMPARE(gFMSets->Count(), 3);
    }

    void theStatusLineNamesTheLibraryFileAndWhy()
    {
        start();
        auto *label = win().statusBar()->findChild<QLabel *>("lblLibraryFile");
        QVERIFY(label);
        QVERIFY(label->isVisible());
        QVERIFY2(label->text().contains(QDir::toNativeSeparators(libraryPath())), qPrintable(label->text()));
        QCOMPARE(label->toolTip(), CurrentLibraryLocation().reason);
        QVERIFY(!label->toolTip().isEmpty());
        // Still there after a save, which clears the status line's passing messages.
        m_prompts->ExpectInput({}, QString("Another"));
        press(win().cmdNewSet);
        QVERIFY(label->isVisible());
        QVERIFY(label->text().contains(QDir::toNativeSeparators(libraryPath())));
    }

    void everyPopupItemWorksThroughTheMenu()
    {
        start();
        const QString c1 = modelKey("Custom", "C1");
        click(c1);
        choose(win().mnuCopyModelPU);
        QCOMPARE(gPasteMode, QString("Copy"));
        QCOMPARE(gClipFM, gFMSets->Item(setKey("Custom"))->FuelModels()->Item(c1));

        // Paste: the real dialog, modal, in its own event loop.
        click(setKey("Spare"));
        m_prompts->fillModalPaste = [this](frmPasteModel &dialog) {
            QVERIFY(dialog.isModal());
            QTest::keyClicks(dialog.txtFuels[0], "c1");
            QTest::keyClicks(dialog.txtFuels[1], "Copied");
            m_prompts->ExpectMessage("ERROR: Fuel model ID c1  already exists", "Fuel Model ID");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            dialog.txtFuels[0]->selectAll();
            QTest::keyClicks(dialog.txtFuels[0], "P1");
            QTest::keyClick(dialog.txtFuels[0], Qt::Key_Return); // OK is the default button
        };
        choose(win().mnuPasteModelPU);
        m_prompts->fillModalPaste = nullptr;
        QCOMPARE(m_prompts->pasteDialogs, 1);
        QVERIFY(!QApplication::activeModalWidget());
        const QString pasted = modelKey("Spare", "P1");
        QVERIFY(!pasted.isEmpty());
        QCOMPARE(tree().Text(pasted), QString("P1 - Copied"));
        checkAfterAction("paste through the menu");

        click(c1);
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: C1 - Custom one?", true);
        choose(win().mnuCutModelPU);
        QVERIFY(!tree().Contains(c1));
        QCOMPARE(gPasteMode, QString("Cut"));
        click(setKey("Spare"));
        choose(win().mnuPasteModelPU);
        QVERIFY(!modelKey("Spare", "C1").isEmpty());

        click(pasted);
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: P1 - Copied?", true);
        choose(win().mnuDeleteModelPU);
        QVERIFY(!tree().Contains(pasted));
        checkAfterAction("delete through the menu");

        click(setKey("Custom"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("From the menu"));
        choose(win().mnuNewSetPU);
        const QString made = setKey("From the menu");
        QVERIFY(!made.isEmpty());

        click(made);
        choose(win().mnuRenameSetPU);
        QVERIFY(tree().IsEditingLabel());
        auto *editor = tree().viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Renamed");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(gFMSets->Item(made)->Name(), QString("Renamed"));

        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model set: Renamed?", true);
        choose(win().mnuDeleteSetPU);
        QVERIFY(!tree().Contains(made));
        checkAfterAction("set commands through the menu");

        click(modelKey("Orla Master", "GR2"));
        choose(win().mnuEditPU);
        QVERIFY(win().Editor());
        QCOMPARE(win().Editor()->EditFM()->FuelModelID(), QString("GR2"));
        QVERIFY(!win().isEnabled());
        win().Editor()->close();
        QCoreApplication::processEvents();

        click(setKey("Custom"));
        choose(win().mnuNewModelPU);
        QVERIFY(win().Editor());
        QCOMPARE(win().Editor()->EditFM()->FuelModelID(), QString("New"));
        QVERIFY(win().isEnabled());
        QCOMPARE(gFMSets->Item(setKey("Custom"))->FuelModels()->Count(), 1);
        checkAfterAction("new model through the menu");
    }
};

QTEST_MAIN(TestManagerFaults)
#include "tst_managerfaults.moc"
