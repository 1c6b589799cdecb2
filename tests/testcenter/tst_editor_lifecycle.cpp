// The editor opened on a library model: loading, reference choice, Save and the ways it closes.
#include "support/EditorFixture.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

class EditorLifecycle : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<FakeTuners> tuners;
    std::unique_ptr<frmEditModel> editor;

    void open(const std::shared_ptr<FuelModel> &fm)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->setTuners(tuners.get());
        editor->Open(fm, true);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        tuners = std::make_unique<FakeTuners>();
    }
    void cleanup()
    {
        editor.reset();
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void loadShowsTheModelAndTheFirstSet()
    {
        auto blank =
            TestLibrary::add(*gFMSets->Item(1)->FuelModels(), "", "", 1, 0.3333, 0, 0, 0, 0, 3500, 0, 0, 12.5, 2, 2);
        open(blank);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Fuel Model"));
        QCOMPARE(editor->EntryText(0), QStringLiteral("??"));
        QCOMPARE(editor->EntryText(1), QStringLiteral("Please Enter a Description"));
        QCOMPARE(editor->EntryText(2), QStringLiteral("0.3333"));
        QCOMPARE(editor->EntryText(7), QStringLiteral("3500"));
        QCOMPARE(editor->EntryText(14), QStringLiteral("12.5"));
        const QStringList env = {"5", "6", "7", "75", "90", "10"};
        for (int i = 20; i <= 25; ++i)
            QCOMPARE(editor->EntryText(i), env[i - 20]);
        for (int i : {0, 1, 2, 7, 8, 20})
            QCOMPARE(editor->EntryColour(i), QColor(Qt::white));
        QCOMPARE(editor->txtFuelModelSet()->text(), QStringLiteral("Grass Models"));
        QCOMPARE(editor->cboFireCarry()->currentText(), QStringLiteral("2 - Brush"));
        QCOMPARE(editor->cboHerbType()->currentText(), QStringLiteral("2 - Dynamic"));
        QCOMPARE(editor->cboWindReduce()->count(), 11);
        QCOMPARE(editor->cboWindReduce()->currentText(), QStringLiteral(" .7"));
        QCOMPARE(editor->cboSlope()->itemText(10), QStringLiteral(" 100"));
        QCOMPARE(editor->cboSlope()->currentText(), QStringLiteral("0"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("7.0"));
        QCOMPARE(editor->cboFMSet()->count(), 3);
        QCOMPARE(editor->cboFM()->count(), 4);
        QCOMPARE(editor->cboFM()->currentText(), QStringLiteral("1 - Short grass"));
        QCOMPARE(editor->cmdTest()->text().remove(QLatin1Char('&')), QStringLiteral("Test Center >>"));
        QCOMPARE(editor->RowLabelText(12), QStringLiteral(" Heat Content Live Woody (btu/lb)"));
        QStringList tabs;
        for (int k = 0; k < editor->tabResults()->count(); ++k)
            tabs << editor->tabResults()->tabText(k);
        // The five tabs of the test panel come first; analysis tabs follow them.
        QCOMPARE(tabs.mid(0, 5), (QStringList{"ROS", "FLI", "FL", "Size", "Reference Fuel Model"}));

        // Save keeps the placeholder description unless it is edited.
        typeInto(*editor, 0, QStringLiteral("NEW"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(blank->Description(), QStringLiteral("Please Enter a Description"));
        QCOMPARE(blank->FuelModelID(), QStringLiteral("NEW"));
    }

    void saveWritesTheModelAndRenamesItsOwnNode()
    {
        QTemporaryDir dir;
        owner->libraryPath = dir.filePath(QStringLiteral("OrlaFuelModels.FFM"));
        open(lib->timberGrass);
        typeInto(*editor, 0, QStringLiteral("2b"));
        typeInto(*editor, 1, QStringLiteral("Timber grass, wet"));
        typeInto(*editor, 3, QStringLiteral("1.25"));
        typeInto(*editor, 14, QStringLiteral("25"));
        typeInto(*editor, 20, QStringLiteral("9"));
        editor->cboFireCarry()->setCurrentIndex(3);
        double loadingAtWrite = -1;
        owner->onSave = [&] { loadingAtWrite = lib->timberGrass->Loading10Hour(); };

        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        const QString key = lib->timberGrass->Key();
        QCOMPARE(owner->calls,
                 (QStringList{"SetNodeText " + key + " 2b - Timber grass, wet", "RefreshFMs", "SaveLibrary"}));
        QCOMPARE(loadingAtWrite, 1.25);
        QCOMPARE(lib->timberGrass->FuelModelID(), QStringLiteral("2b"));
        QCOMPARE(lib->timberGrass->Description(), QStringLiteral("Timber grass, wet"));
        QCOMPARE(lib->timberGrass->MoistureOfExtinction(), 25.0);
        QCOMPARE(lib->timberGrass->Loading1Hour(), 2.0);
        QCOMPARE(lib->timberGrass->FuelCat(), 4.0);
        QCOMPARE(lib->timberGrass->Key(), key);
        QCOMPARE(gFMSets->Item(1)->FuelModels()->Item(key), lib->timberGrass);
        QVERIFY(editor->isVisible());
        QVERIFY(editor->EntriesValid());
        QFile file(owner->libraryPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\r\n\"2b\",\"Timber grass, wet\",1,2,1.25,0.5,0.5,0,3000,1500,1500,0.25,8000,"
                                        "8000,8000,4,1\r\n"));

        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(owner->calls.mid(3),
                 (QStringList{"SetNodeText " + key + " 2b - Timber grass, wet", "RefreshFMs", "SaveLibrary",
                              "EditorClosed"}));
        QCOMPARE(tuners->calls.last(), QStringLiteral("CloseAll"));
    }

    void refusedSaveWritesNothingAndKeepsTheWindowOpen()
    {
        open(lib->shortGrass);
        const FuelModel before = *lib->shortGrass;
        const QString rangeMessage =
            QStringLiteral("You have entries that are outside the \racceptable range and are in highlighted in red.");
        editor->SetEntryText(2, QStringLiteral("31"));
        QVERIFY(isRed(*editor, 2)); // checked as soon as it is written
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QVERIFY(isRed(*editor, 2));
        prompts->ExpectMessage(rangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(editor->isVisible());

        typeInto(*editor, 2, QStringLiteral("3"));
        typeInto(*editor, 0, QStringLiteral("G\"1"));
        prompts->ExpectMessage({}, QStringLiteral("Fuel Model ID"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QCOMPARE(prompts->LastIcon(), IPrompts::Icon::Exclamation);
        typeInto(*editor, 0, QStringLiteral("G1"));
        editor->SetEntryText(1, QString::fromUtf8("Grass \xe2\x98\x83"));
        prompts->ExpectMessage({}, QStringLiteral("Description"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QCOMPARE(owner->calls, QStringList());
        QCOMPARE(lib->shortGrass->FuelModelID(), before.FuelModelID());
        QCOMPARE(lib->shortGrass->Loading1Hour(), before.Loading1Hour());

        QTest::mouseClick(editor->cmdCancel(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(owner->calls, QStringList{QStringLiteral("EditorClosed")});
        QCOMPARE(lib->shortGrass->FuelModelID(), before.FuelModelID());
        QCOMPARE(lib->shortGrass->Description(), before.Description());
        QCOMPARE(lib->shortGrass->Loading1Hour(), before.Loading1Hour());
    }

    void failedWriteRestoresTheModelAndSaysWhy()
    {
        QTemporaryDir dir;
        owner->libraryPath = dir.filePath(QStringLiteral("no such folder/OrlaFuelModels.FFM"));
        open(lib->shortGrass);
        typeInto(*editor, 2, QStringLiteral("1.5"));
        typeInto(*editor, 0, QStringLiteral("1x"));
        const QString key = lib->shortGrass->Key();
        prompts->ExpectMessage({}, QStringLiteral("Save Fuel Model"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        const QString shown = prompts->Log().last();
        QVERIFY2(shown.contains(QStringLiteral("could not be saved:\r")) &&
                     shown.contains(QStringLiteral("no such folder")),
                 qPrintable(shown));
        QVERIFY(editor->isVisible());
        QVERIFY(!editor->EntriesValid());
        QCOMPARE(lib->shortGrass->Loading1Hour(), 0.74);
        QCOMPARE(lib->shortGrass->FuelModelID(), QStringLiteral("1"));
        QCOMPARE(owner->calls.last(), QStringLiteral("RefreshFMs"));
        QCOMPARE(owner->calls.at(owner->calls.size() - 2), "SetNodeText " + key + " 1 - Short grass");
        QCOMPARE(editor->EntryText(2), QStringLiteral("1.5"));

        owner->libraryPath = dir.filePath(QStringLiteral("OrlaFuelModels.FFM"));
        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(QFile::exists(owner->libraryPath));
        QVERIFY(!editor->isVisible());
        QCOMPARE(lib->shortGrass->Loading1Hour(), 1.5);
    }

    void referenceChoiceRefillsAndNeverLeavesAStaleReference()
    {
        open(lib->shortGrass);
        QSignalSpy chosen(editor.get(), &frmEditModel::referenceModelChosen);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);

        editor->cboFMSet()->setCurrentIndex(1);
        emit editor->cboFMSet()->activated(1);
        QCOMPARE(editor->cboFM()->count(), 0);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.last().at(0).toString(), QStringLiteral("Ref: "));
        for (QLineEdit *box : {editor->txtRefROS(), editor->txtRefFLI(), editor->txtRefHeat(), editor->txtRefFL()})
            QCOMPARE(box->text(), QStringLiteral("0.0"));
        QCOMPARE(ReferenceFireSpread->Loading1Hour(), 0.0);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(editor->txtRefROS()->text(), QStringLiteral("0.0"));

        editor->cboFMSet()->setCurrentIndex(2);
        emit editor->cboFMSet()->activated(2);
        QCOMPARE(editor->cboFM()->count(), 1);
        QCOMPARE(chosen.last().at(0).toString(), QStringLiteral("Ref: TL1 - Low load compact conifer litter"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(ReferenceFireSpread->Loading100Hour(), 3.6);
        QCOMPARE(ReferenceFireSpread->MoistureOfExtinction(), 0.30);
    }

    void testCenterToggleAndTunerButtons()
    {
        open(lib->shortGrass);
        QVERIFY(editor->TestPanelShown());
        const int wide = editor->width();
        QTest::mouseClick(editor->cmdTest(), Qt::LeftButton);
        QCOMPARE(editor->cmdTest()->text().remove(QLatin1Char('&')), QStringLiteral("<< Test Center"));
        QVERIFY(editor->TestPanelShown());
        QTest::mouseClick(editor->cmdTest(), Qt::LeftButton);
        QCOMPARE(editor->cmdTest()->text().remove(QLatin1Char('&')), QStringLiteral("Test Center >>"));
        QVERIFY(!editor->TestPanelShown());
        QVERIFY(editor->width() < wide);
        QTest::mouseClick(editor->cmdTest(), Qt::LeftButton);
        QVERIFY(editor->TestPanelShown());

        tuners->calls.clear();
        QTest::mouseClick(editor->cmdTuner(0), Qt::LeftButton);
        QTest::mouseClick(editor->cmdTuner(13), Qt::LeftButton);
        typeInto(*editor, 13, QStringLiteral("2"));
        typeInto(*editor, 25, QStringLiteral("4")); // this fake tuner throws; the editor goes on
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("2.8"));
        QCOMPARE(tuners->calls, (QStringList{"Open 0", "Open 13", "EntryChanged 13 2", "EntryChanged 25 4"}));

        // The depth typed is not saved: the window's close button asks first; No drops it.
        prompts->ExpectYesNoCancel({}, IPrompts::Answer::No);
        editor->close();
        QCOMPARE(owner->calls, QStringList{QStringLiteral("EditorClosed")});
        QCOMPARE(tuners->calls.last(), QStringLiteral("CloseAll"));
    }
};

QTEST_MAIN(EditorLifecycle)
#include "tst_editor_lifecycle.moc"
