// The main window at start-up and while the user moves through the tree: caption, first and
// default set, the commands each kind of node allows, the parameter panel, the default-set
// question, the popup menu and the editor it opens.

#include "support/ManagerFixture.h"

#include "manager/DefaultSet.h"
#include "testcenter/ui/frmEditModel.h"

#include <QPlainTextEdit>
#include <QRegularExpression>

class TestFrmVarrow : public QObject, public ManagerFixture
{
    Q_OBJECT

    // Enabled state of every command, in one text: "cmdNewSet=1 cmdDelete_0=0 ...".
    QString commandStates()
    {
        QStringList out;
        for (QPushButton *b : {win().cmdNewSet, win().cmdDelete[0], win().cmdRename, win().cmdCopy, win().cmdCut,
                               win().cmdPaste, win().cmdNewFM, win().cmdDelete[1], win().cmdEditSave})
            out << QString("%1=%2").arg(b->objectName()).arg(b->isEnabled());
        for (QAction *a :
             {win().mnuCutModelPU, win().mnuCopyModelPU, win().mnuPasteModelPU, win().mnuDeleteModelPU,
              win().mnuNewModelPU, win().mnuNewSetPU, win().mnuDeleteSetPU, win().mnuRenameSetPU, win().mnuEditPU})
            out << QString("%1=%2").arg(a->objectName()).arg(a->isEnabled());
        return out.join(' ');
    }

    // The expected states in the same order, as a string of 0 and 1.
    static QString states(const char *bits)
    {
        static const char *names[] = {
            "cmdNewSet",        "cmdDelete_0",   "cmdRename",   "cmdCopy",        "cmdCut",         "cmdPaste",
            "cmdNewFM",         "cmdDelete_1",   "cmdEditSave", "mnuCutModelPU",  "mnuCopyModelPU", "mnuPasteModelPU",
            "mnuDeleteModelPU", "mnuNewModelPU", "mnuNewSetPU", "mnuDeleteSetPU", "mnuRenameSetPU", "mnuEditPU"};
        QStringList out;
        for (int i = 0; i < 18; ++i)
            out << QString("%1=%2").arg(names[i]).arg(bits[i] == '1');
        return out.join(' ');
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void startShowsTheFirstSetAndHighlightsTheDefaultSet()
    {
        WriteDefaultSetName("Custom");
        start();
        QVERIFY(QRegularExpression(R"(^Manage Orla Fuel Models, Version - \d+\.\d+\.\d+$)")
                    .match(win().windowTitle())
                    .hasMatch());
        QCOMPARE(tree().Count(), 6);
        QCOMPARE(tree().Text(tree().KeyAt(1)), QString("Orla Master"));
        QCOMPARE(tree().SelectedKey(), setKey("Custom"));
        // The panel shows the selected set, so that "Default ..." and the set commands name it.
        QCOMPARE(win().txtFuelModelSet->text(), QString("Custom"));
        QVERIFY(win().txtFuelModelSet->isReadOnly());
        QVERIFY(!win().cmdPaste->isEnabled());
        QVERIFY(!win().cmdCut->isEnabled());
        for (int i = 0; i < 17; ++i) {
            QVERIFY(win().PanelText(i).isEmpty());
            QCOMPARE(win().txtFuels[i]->palette().color(QPalette::Base), win().palette().color(QPalette::Button));
        }
        // The highlighted set is unlocked: its commands are offered.
        QVERIFY(win().cmdDelete[0]->isEnabled());
        m_prompts->ExpectYesNo("Do you wish to make Custom\rthe default Larkfield fuel model set?", false);
        QTest::mouseClick(win().cmdDefault, Qt::LeftButton);
        QVERIFY(m_prompts->Finished());
    }

    void aDefaultSetNameMatchingNoSetKeepsTheFirstSetSelected()
    {
        WriteDefaultSetName("custom"); // compared exactly
        start();
        QCOMPARE(tree().SelectedKey(), tree().KeyAt(1));
        QVERIFY(!win().cmdDelete[0]->isEnabled());
    }

    void commandsFollowTheLockOfTheSelection()
    {
        start();
        click(setKey("Orla Master"));
        QCOMPARE(commandStates(), states("100000000000001000"));
        QVERIFY(!win().Editable());
        click(setKey("Custom"));
        QCOMPARE(commandStates(), states("111000100000011110"));
        QVERIFY(win().Editable());
        QVERIFY(tree().LabelEditAutomatic());
        click(modelKey("Orla Master", "GR2"));
        QCOMPARE(commandStates(), states("100100001010000001"));
        QVERIFY(!win().Editable());
        QVERIFY(!tree().LabelEditAutomatic());
        click(modelKey("Custom", "C1"));
        QCOMPARE(commandStates(), states("100110111110110001"));
        QVERIFY(win().cmdDefault->isEnabled());
        QVERIFY(win().cmdClose->isEnabled());

        // With something on the clipboard, paste is offered on unlocked sets and their models.
        QTest::mouseClick(win().cmdCopy, Qt::LeftButton);
        QCOMPARE(commandStates(), states("100111111111110001"));
        click(modelKey("Orla Master", "1"));
        QVERIFY(!win().cmdPaste->isEnabled());
        click(setKey("Spare"));
        QVERIFY(win().cmdPaste->isEnabled());
        QVERIFY(win().mnuPasteModelPU->isEnabled());

        // The keyboard moves the selection like a click.
        QTest::keyClick(&tree(), Qt::Key_Up);
        QCoreApplication::processEvents();
        QCOMPARE(win().txtFuelModelSet->text(), QString("Custom"));
        QCOMPARE(win().PanelText(0), QString("C1"));
    }

    void thePanelShowsEveryFieldOfAModelAndEmptiesForASet()
    {
        start();
        click(modelKey("Custom", "C1"));
        const QStringList expected = {"C1",   "Custom one", "12000", "1",         "1",         "0",
                                      "3",    "2000",       "1800",  "1600",      "8100",      "8200",
                                      "8300", "0.5",        "30",    "2 - Brush", "1 - Static"};
        for (int i = 0; i < 17; ++i)
            QCOMPARE(win().PanelText(i), expected[i]);
        QCOMPARE(win().txtFuelModelSet->text(), QString("Custom"));
        QVERIFY(qobject_cast<QPlainTextEdit *>(win().txtFuels[1]));

        click(modelKey("Orla Master", "GR2"));
        QCOMPARE(win().PanelText(2), QString("0.1"));
        QCOMPARE(win().PanelText(16), QString("2 - Dynamic"));
        QCOMPARE(win().PanelText(14), QString("15"));

        // A code outside the table leaves the box as it was: empty after a set.
        gFMSets->Item(setKey("Custom"))->FuelModels()->Item(1)->setFuelCat(7);
        click(setKey("Spare"));
        for (int i = 0; i < 17; ++i)
            QVERIFY(win().PanelText(i).isEmpty());
        QCOMPARE(win().txtFuelModelSet->text(), QString("Spare"));
        click(modelKey("Custom", "C1"));
        QCOMPARE(win().PanelText(15), QString());
        QCOMPARE(win().PanelText(0), QString("C1"));
    }

    void theDefaultButtonStoresTheSetOfTheSelection()
    {
        start();
        click(modelKey("Orla Master", "GR2"));
        m_prompts->ExpectYesNo("Do you wish to make Orla Master\rthe default Larkfield fuel model set?", false);
        QTest::mouseClick(win().cmdDefault, Qt::LeftButton);
        QCOMPARE(ReadDefaultSetName(), QString("Orla Master")); // nothing stored: the default
        QVERIFY(!QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillon", "Quillon")
                     .contains("General/LF Fuelmodel Set"));
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo("Do you wish to make Custom\rthe default Larkfield fuel model set?", true, AppTitle());
        QTest::mouseClick(win().cmdDefault, Qt::LeftButton);
        QCOMPARE(ReadDefaultSetName(), QString("Custom"));
        QVERIFY(m_prompts->Finished());

        // The next start highlights it.
        m_window.reset();
        LibrarySession::ResetProgram(); // a new run
        start(QByteArray());
        QCOMPARE(tree().Text(tree().SelectedKey()), QString("Custom"));
    }

    void theRightButtonOpensThePopupWithoutMovingTheSelection()
    {
        start();
        click(modelKey("Custom", "C1"));
        const QList<QAction *> items = win().PopupMenu()->actions();
        QStringList texts;
        for (QAction *a : items)
            texts << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(texts,
                 QStringList({"Cut Model", "Copy Model", "Paste Model", "Delete Model", "New Blank Model", "-",
                              "New Fuel Model Set", "Delete Fuel Model Set", "Rename Fuel Model Set", "-",
                              "Edit and Test Center"}));
        QCOMPARE(win().PopupMenu()->title(), QString("Fuel Model"));
        const QRect other = tree().visualItemRect(tree().Node(setKey("Spare")));
        QTest::mousePress(tree().viewport(), Qt::RightButton, {}, other.center());
        QVERIFY(win().PopupMenu()->isVisible());
        QCOMPARE(tree().SelectedKey(), modelKey("Custom", "C1"));
        win().PopupMenu()->hide();
    }

    void collapsingASetMovesTheSelectionUpAndShowsIt()
    {
        start();
        click(modelKey("Custom", "C1"));
        const auto shown = [this](const QString &key) { return tree().Node(key)->icon(0).cacheKey(); };
        const auto image = [this](int n) { return win().imlIcons->Image(n).cacheKey(); };
        QCOMPARE(shown(setKey("Custom")), image(2)); // open book while expanded
        QCOMPARE(shown(modelKey("Custom", "C1")), image(3));
        QCOMPARE(shown(setKey("Orla Master")), image(4));
        tree().Node(setKey("Orla Master"))->setExpanded(true);
        QCOMPARE(shown(setKey("Orla Master")), image(5));
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!win().imlIcons->Image(n).pixmap(QSize(32, 32)).toImage().isNull());
        tree().Node(setKey("Custom"))->setExpanded(false);
        QCoreApplication::processEvents();
        QCOMPARE(tree().SelectedKey(), setKey("Custom"));
        QVERIFY(win().PanelText(0).isEmpty());
        QCOMPARE(shown(setKey("Custom")), image(1));
    }

    void theEditorOpensOnTheLibrarysOwnModel()
    {
        start();
        click(modelKey("Orla Master", "GR2"));
        QTest::mouseClick(win().cmdEditSave, Qt::LeftButton);
        QVERIFY(win().Editor());
        QCOMPARE(win().Editor()->EditFM(), gFMSets->Item(setKey("Orla Master"))->FuelModels()->Item(2));
        QVERIFY(!win().Editor()->Editable());
        QVERIFY(!win().isEnabled());
        win().Editor()->close();
        QCoreApplication::processEvents();
        QVERIFY(win().isEnabled());
        QVERIFY(!win().Editor());

        // A new blank model opens editable, with the main window left enabled.
        click(setKey("Custom"));
        QTest::mouseClick(win().cmdNewFM, Qt::LeftButton);
        QVERIFY(win().Editor());
        QCOMPARE(win().Editor()->EditFM()->FuelModelID(), QString("New"));
        QVERIFY(win().Editor()->Editable());
        QVERIFY(!win().Editor()->cmdCancel()->isEnabled());
        QVERIFY(win().isEnabled());
        checkAfterAction("new blank model");
        // A second one would take the open editor's place: refused while it is open.
        m_prompts->ExpectMessage({});
        QTest::mouseClick(win().cmdNewFM, Qt::LeftButton);
        QCOMPARE(gFMSets->Item(setKey("Custom"))->FuelModels()->Count(), 2);
        win().close();
        QCoreApplication::processEvents();
        QVERIFY(!win().Editor());
    }
};

QTEST_MAIN(TestFrmVarrow)
#include "tst_frmvarrow.moc"
