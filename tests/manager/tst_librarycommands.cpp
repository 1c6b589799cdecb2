// The library commands of the main window as the user gives them: copy, cut and paste of
// models (with the real paste dialog), copying a set, deleting, new sets and renaming in place.
// After each one the tree and the library agree and the file holds the library.

#include "support/ManagerFixture.h"

class TestLibraryCommands : public QObject, public ManagerFixture
{
    Q_OBJECT

    void press(QPushButton *b)
    {
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // Ends the in-place edit of the selected set with text, as typed.
    void typeNewName(const QString &text)
    {
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        if (text.isEmpty())
            QTest::keyClick(editor, Qt::Key_Delete);
        else
            QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void copiedModelIsPastedThroughTheDialogWhichRefusesTakenIds()
    {
        start();
        const QString source = modelKey("Orla Master", "1");
        click(source);
        press(win().cmdCopy);
        QCOMPARE(tree().SelectedKey(), source);
        QCOMPARE(gPasteMode, QString("Copy"));
        click(setKey("Custom"));

        m_prompts->fillPaste = [this](frmPasteModel &dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Paste Model"));
            QVERIFY(dialog.IdText().isEmpty());
            // GR2 lives in another set; typed in other case with blanks around it.
            QTest::keyClicks(dialog.txtFuels[0], " gr2 ");
            QTest::keyClicks(dialog.txtFuels[1], "Mine");
            m_prompts->ExpectMessage("ERROR: Fuel model ID  gr2   already exists", "Fuel Model ID");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            dialog.txtFuels[0]->setText("99");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        };
        press(win().cmdPaste);
        QCOMPARE(m_prompts->pasteDialogs, 1);
        const auto pasted = gFMSets->Item(setKey("Custom"))->FuelModels()->Item(2);
        QCOMPARE(pasted->FuelModelID(), QString("99"));
        QCOMPARE(pasted->Description(), QString("Mine"));
        QCOMPARE(pasted->Loading1Hour(), 0.74);
        QCOMPARE(tree().Text(pasted->Key()), QString("99 - Mine"));
        QCOMPARE(tree().SelectedKey(), pasted->Key());
        QCOMPARE(win().PanelText(0), QString("99"));
        // The copy stays on the clipboard until the next Copy or Cut: it pastes again.
        QVERIFY(win().cmdPaste->isEnabled());
        QVERIFY(win().mnuPasteModelPU->isEnabled());
        QCOMPARE(gPasteMode, QString("Copy"));
        checkAfterAction("paste");
        click(setKey("Spare"));
        QVERIFY(win().cmdPaste->isEnabled());
        m_prompts->fillPaste = [](frmPasteModel &dialog) {
            QTest::keyClicks(dialog.txtFuels[0], "98");
            QTest::keyClicks(dialog.txtFuels[1], "Again");
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        };
        press(win().cmdPaste);
        QCOMPARE(m_prompts->pasteDialogs, 2);
        QCOMPARE(gFMSets->Item(setKey("Spare"))->FuelModels()->Count(), 1);
        const auto again = gFMSets->Item(setKey("Spare"))->FuelModels()->Item(1);
        QCOMPARE(again->FuelModelID(), QString("98"));
        QCOMPARE(again->Loading1Hour(), 0.74);
        QCOMPARE(gFMSets->Item(setKey("Custom"))->FuelModels()->Count(), 2);

        // Cancelling the dialog pastes nothing, and the copy stays to be pasted.
        press(win().cmdCopy);
        click(setKey("Spare"));
        m_prompts->fillPaste = [](frmPasteModel &dialog) {
            QTest::keyClicks(dialog.txtFuels[0], "77");
            QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
        };
        const QByteArray before = libraryBytes();
        press(win().cmdPaste);
        QCOMPARE(gFMSets->Item(setKey("Spare"))->FuelModels()->Count(), 1);
        QCOMPARE(libraryBytes(), before);
        QVERIFY(win().cmdPaste->isEnabled());
    }

    void cutModelMovesToTheSetItIsPastedInto()
    {
        start();
        const QString source = modelKey("Custom", "C1");
        click(source);
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: C1 - Custom one?", true);
        press(win().cmdCut);
        QVERIFY(!tree().Contains(source));
        QCOMPARE(gPasteMode, QString("Cut"));
        // The selection moved to the set: what is offered now is what the set allows.
        QCOMPARE(tree().SelectedKey(), setKey("Custom"));
        QVERIFY(!win().cmdCut->isEnabled());
        checkAfterAction("cut");

        click(setKey("Spare"));
        press(win().cmdPaste);
        const auto moved = gFMSets->Item(setKey("Spare"))->FuelModels()->Item(1);
        QCOMPARE(moved->FuelModelID(), QString("C1"));
        QCOMPARE(moved->Description(), QString("Custom one"));
        QVERIFY(moved->Key() != source);
        QCOMPARE(m_prompts->pasteDialogs, 0);
        QVERIFY(!win().cmdPaste->isEnabled());
        checkAfterAction("paste after cut");
    }

    void cutAnsweredNoKeepsTheModelAndLeavesNothingToPaste()
    {
        start();
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo({}, false);
        press(win().cmdCut);
        QCOMPARE(gFMSets->Item(setKey("Custom"))->FuelModels()->Count(), 1);
        QVERIFY(gPasteMode.isEmpty());
        checkAfterAction("cut answered No");
        click(setKey("Custom"));
        QVERIFY(!win().cmdPaste->isEnabled());
        QVERIFY(!win().mnuPasteModelPU->isEnabled());
    }

    void aCopiedLockedSetPastesAsAnUnlockedCopyUnderAFreeName()
    {
        start();
        // The set commands offer no copy of a set; the window's copy handles one all the same.
        tree().SetSelectedKey(setKey("Orla Master"));
        win().cmdCopy_Click();
        click(setKey("Spare"));
        m_prompts->ExpectInput("Enter the copy's set name", QString("Custom"), "Fuel Model Set Name")
            .ExpectBeep()
            .ExpectInput("The fuel model set already exist! \rPlease change the name.", QString("Master copy"));
        press(win().cmdPaste);
        QCOMPARE(m_prompts->InputDefaults(), QStringList({"Copy of Orla Master", "Custom"}));
        const QString copy = setKey("Master copy");
        QVERIFY(copy.startsWith('n'));
        QCOMPARE(tree().Image(copy), 1);
        QVERIFY(!gFMSets->Item(copy)->Locked());
        QCOMPARE(gFMSets->Item(copy)->FuelModels()->Count(), 2);
        // The copy is unlocked: its models may be cut.
        click(modelKey("Master copy", "GR2"));
        QVERIFY(win().cmdCut->isEnabled());
        QVERIFY(libraryBytes().contains("\"[FuelModelSet:Master copy,Count:2]\"\r\n\"1\",\"Short grass\""));
        checkAfterAction("set copy");
    }

    void deletingAskedFirstAndNoKeepsEverything()
    {
        start();
        click(setKey("Custom"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model set: Custom?", false, "");
        press(win().cmdDelete[0]);
        QVERIFY(tree().Contains(setKey("Custom")));
        QCOMPARE(m_prompts->LastIcon(), IPrompts::Icon::Question);
        checkAfterAction("delete set answered No");

        m_prompts->ExpectYesNo({}, true);
        press(win().cmdDelete[0]);
        QVERIFY(setKey("Custom").isEmpty());
        QCOMPARE(gFMSets->Count(), 2);
        QVERIFY(!tree().SelectedKey().isEmpty());
        QCOMPARE(win().txtFuelModelSet->text(), tree().Text(tree().SelectedKey()));
        checkAfterAction("delete set answered Yes");

        click(modelKey("Orla Master", "GR2"));
        QVERIFY(!win().cmdDelete[1]->isEnabled()); // locked
    }

    void newSetNamesAreCheckedAndTheSetGoesLast()
    {
        start();
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Spare"))
            .ExpectBeep()
            .ExpectInput({}, QString("Say \"when\""))
            .ExpectMessage({}, "Fuel Model Set Name")
            .ExpectInput({}, QString("Third"));
        press(win().cmdNewSet);
        QCOMPARE(tree().Text(tree().KeyAt(tree().Count())), QString("Third"));
        QCOMPARE(tree().SelectedKey(), modelKey("Custom", "C1"));
        checkAfterAction("new set");
    }

    void renameInPlaceRefusesTakenAndEmptyNamesAndSavesAtOnce()
    {
        start();
        const QString custom = setKey("Custom");
        click(custom);
        press(win().cmdRename);
        QVERIFY(tree().IsEditingLabel());
        m_prompts->ExpectBeep().ExpectMessage("Fuel model set already exists!\rPlease change the name.", AppTitle());
        typeNewName("orla MASTER");
        QCOMPARE(tree().Text(custom), QString("Custom"));
        QCOMPARE(gFMSets->Item(custom)->Name(), QString("Custom"));
        QCOMPARE(win().txtFuelModelSet->text(), QString("Custom"));
        QVERIFY(m_prompts->Finished());

        press(win().cmdRename);
        m_prompts->ExpectBeep().ExpectMessage("Fuel model set already exists!\rPlease change the name.");
        typeNewName("CUSTOM"); // its own name in other letter case
        QCOMPARE(tree().Text(custom), QString("Custom"));

        press(win().cmdRename);
        typeNewName(QString()); // refused without a word
        QCOMPARE(tree().Text(custom), QString("Custom"));
        QVERIFY(m_prompts->Finished());

        // A name the file cannot hold: told why, and asked again.
        press(win().cmdRename);
        m_prompts->ExpectMessage({}, AppTitle());
        typeNewName("a,Count:3");
        QCOMPARE(tree().Text(custom), QString("Custom"));
        QTRY_VERIFY(tree().IsEditingLabel());
        // Offered again as typed, for mending.
        auto *again = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(again);
        QCOMPARE(again->text(), QString("a,Count:3"));
        typeNewName("Field set");
        QCOMPARE(tree().Text(custom), QString("Field set"));
        QCOMPARE(gFMSets->Item(custom)->Name(), QString("Field set"));
        QCOMPARE(win().txtFuelModelSet->text(), QString("Field set"));
        QVERIFY(libraryBytes().contains("\"[FuelModelSet:Field set,Count:1]\""));
        checkAfterAction("rename");

        // Locked sets keep their names, also when an edit is asked for.
        tree().SetSelectedKey(setKey("Orla Master"));
        tree().StartLabelEdit();
        QVERIFY(!tree().IsEditingLabel());
    }

    void closeWritesTheLibrary()
    {
        start();
        gFMSets->Item(setKey("Spare"))->setName("Changed behind the window");
        press(win().cmdClose);
        QVERIFY(!win().isVisible());
        QVERIFY(libraryBytes().contains("Changed behind the window"));
    }
};

QTEST_MAIN(TestLibraryCommands)
#include "tst_librarycommands.moc"
