// The main window's menu bar: its menus open from the keyboard, every item reaches the same
// command as its button and follows the button's enabled state, the keys belong to exactly one
// command each, and Help shows the guide and the program's version and library.

#include "support/ManagerFixture.h"

#include "manager/UserGuideWindow.h"
#include "testcenter/ui/frmEditModel.h"

#include "units/UnitSetting.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTextDocument>

class TestMenuBar : public QObject, public ManagerFixture
{
    Q_OBJECT

    void activateMain()
    {
        win().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win()));
    }

    // Opens a menu with Alt + its letter and picks an item with its letter, as a user would.
    void pick(Qt::Key menuKey, QMenu *menu, Qt::Key itemKey)
    {
        (void)menuKey;
        QMenuBar *bar = win().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, itemKey);
        QTRY_VERIFY(!menu->isVisible());
        QCoreApplication::processEvents();
    }

    QString enabledItems(QMenu *menu)
    {
        QStringList on;
        for (QAction *a : menu->actions())
            if (!a->isSeparator() && a->isEnabled())
                on << a->objectName();
        return on.join(' ');
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void theMenusAreFileEditToolsHelpInThisOrder()
    {
        start();
        QStringList titles;
        for (QAction *a : win().menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Tools", "&Help"}));
        // Alt and a title's letter opens its menu (no button of the window shares the letter).
        win().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win()));
        QTest::keyClick(&win(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(win().mnuEdit->isVisible());
        QTest::keyClick(win().mnuEdit, Qt::Key_Escape);
        // The buttons stay beside the menus.
        QVERIFY(win().cmdNewSet->isVisible());
        QVERIFY(win().cmdClose->isVisible());
    }

    void editItemsFollowTheCommandsTheSelectionAllows()
    {
        start();
        // A model of the locked set: only copying and opening it.
        click(modelKey("Orla Master", "GR2"));
        QCOMPARE(enabledItems(win().mnuEdit), QString("actCopy actNewSet"));
        QVERIFY(win().actEditor->isEnabled());
        // The unlocked set: delete, rename, new model; paste only once something was copied.
        click(setKey("Custom"));
        QCOMPARE(enabledItems(win().mnuEdit), QString("actDelete actRename actNewSet actNewModel"));
        QVERIFY(!win().actEditor->isEnabled());
        click(modelKey("Custom", "C1"));
        QCOMPARE(enabledItems(win().mnuEdit), QString("actCut actCopy actDelete actNewSet actNewModel"));
        win().cmdCopy->click();
        click(setKey("Spare"));
        QCOMPARE(enabledItems(win().mnuEdit), QString("actPaste actDelete actRename actNewSet actNewModel"));
        // The default set can be chosen for any selection.
        click(modelKey("Orla Master", "1"));
        QVERIFY(win().actDefaultSet->isEnabled());
    }

    void editMenuItemsRunTheLibraryCommands()
    {
        start();
        activateMain();
        click(modelKey("Custom", "C1"));
        pick(Qt::Key_E, win().mnuEdit, Qt::Key_C); // Copy Model
        QCOMPARE(gPasteMode, QString("Copy"));

        click(setKey("Spare"));
        m_prompts->ExpectPaste("M1", "Pasted from the menu");
        pick(Qt::Key_E, win().mnuEdit, Qt::Key_P);
        QVERIFY(!modelKey("Spare", "M1").isEmpty());
        checkAfterAction("Edit > Paste Model");

        // Delete stands for both delete buttons: here the selected set goes.
        click(setKey("Spare"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model set: Spare?", true);
        pick(Qt::Key_E, win().mnuEdit, Qt::Key_D);
        QVERIFY(setKey("Spare").isEmpty());
        checkAfterAction("Edit > Delete on a set");

        click(setKey("Custom"));
        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("From the menu"));
        pick(Qt::Key_E, win().mnuEdit, Qt::Key_N);
        QVERIFY(!setKey("From the menu").isEmpty());
        checkAfterAction("Edit > New Set");

        // A disabled item does nothing: the locked set cannot be deleted from the menu.
        click(setKey("Orla Master"));
        QTest::mouseClick(win().menuBar(), Qt::LeftButton, {},
                          win().menuBar()->actionGeometry(win().mnuEdit->menuAction()).center());
        QTRY_VERIFY(win().mnuEdit->isVisible());
        QTest::keyClick(win().mnuEdit, Qt::Key_D);
        QTest::keyClick(win().mnuEdit, Qt::Key_Escape);
        QVERIFY(!setKey("Orla Master").isEmpty());
        QVERIFY2(m_prompts->Finished(), "a disabled item asked something");
    }

    void toolsOpenTheEditorAndAskForTheDefaultSet()
    {
        start();
        activateMain();
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo("Do you wish to make Custom\rthe default Larkfield fuel model set?", false);
        pick(Qt::Key_T, win().mnuTools, Qt::Key_D);
        QVERIFY(m_prompts->Finished());

        pick(Qt::Key_T, win().mnuTools, Qt::Key_E);
        QVERIFY(win().Editor());
        QCOMPARE(win().Editor()->EditFM().get(),
                 gFMSets->Item(setKey("Custom"))->FuelModels()->Item(modelKey("Custom", "C1")).get());
    }

    void unitsFromTheToolsMenuAreTheProgramsOneSetting()
    {
        start();
        activateMain();
        QMenuBar *bar = win().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(win().mnuTools->menuAction()).center());
        QTRY_VERIFY(win().mnuTools->isVisible());
        QTest::keyClick(win().mnuTools, Qt::Key_U);
        QTRY_VERIFY(win().mnuUnits->isVisible());
        QTest::keyClick(win().mnuUnits, Qt::Key_M);
        QTRY_VERIFY(!win().mnuTools->isVisible());
        const bool metric = Units::UnitSetting::instance().system() == Units::System::Metric;
        // Back to English before anything can fail, so no later test starts in metric.
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY(metric);

        // Chosen elsewhere (the Units box), the menu shows it too, and the panel follows both.
        QComboBox *box = win().findChild<QComboBox *>("cboUnits");
        QVERIFY(box);
        QVERIFY(win().actUnitsEnglish->isChecked());
        QVERIFY(!win().actUnitsMetric->isChecked());
        box->setCurrentIndex(1);
        emit box->activated(1);
        const bool menuFollowed = win().actUnitsMetric->isChecked() && !win().actUnitsEnglish->isChecked();
        auto *caption = win().findChild<QLabel *>("lblFuels_2");
        const QString captionText = caption ? caption->text() : QString();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY(menuFollowed);
        QCOMPARE(captionText, QString("1 Hour Loading (t/ha)"));
    }

    void eachKeyReachesOneCommand()
    {
        // Two enabled actions on one key in a window make Qt run neither; every key of the menu
        // bar must be the only one of its window, and the popup's keys only work inside it.
        start();
        QHash<QKeySequence, QString> seen;
        QStringList clashes;
        for (QAction *a : win().findChildren<QAction *>()) {
            if (a->shortcutContext() == Qt::WidgetShortcut || a->associatedObjects().isEmpty())
                continue;
            for (const QKeySequence &k : a->shortcuts()) {
                if (seen.contains(k))
                    clashes << seen[k] + " and " + a->objectName() + " share " + k.toString();
                seen.insert(k, a->objectName());
            }
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
        QCOMPARE(seen.value(QKeySequence(Qt::CTRL | Qt::Key_Z)), QString("actUndo"));
        QCOMPARE(seen.value(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)), QString("actRedo"));
        QCOMPARE(seen.value(QKeySequence(Qt::CTRL | Qt::Key_Y)), QString("actRedo"));
        QCOMPARE(seen.value(QKeySequence(Qt::CTRL | Qt::Key_Q)), QString("actQuit"));
    }

    void quitWritesTheLibraryAndCloses()
    {
        start();
        activateMain();
        QFile::remove(libraryPath());
        pick(Qt::Key_F, win().mnuFile, Qt::Key_Q);
        QTRY_VERIFY(!win().isVisible());
        QCOMPARE(libraryBytes(), SerializeLibrary(*gFMSets, nullptr));
    }

    void helpShowsTheGuideWithItsPicturesAndTheAboutBox()
    {
        start();
        activateMain();
        pick(Qt::Key_H, win().mnuHelp, Qt::Key_U);
        auto *guide = win().findChild<UserGuideWindow *>();
        QVERIFY(guide);
        QTRY_VERIFY(guide->isVisible());
        QTextDocument *doc = guide->Browser()->document();
        // The analysts' guide, not the developers' page: no build or test instructions.
        QVERIFY(doc->toPlainText().startsWith("Varrow User Guide"));
        QVERIFY(doc->toPlainText().contains("The Edit and Test Center"));
        QVERIFY(doc->toPlainText().contains("Printing a report"));
        QVERIFY(!doc->toPlainText().contains("ctest"));
        QVERIFY(!doc->toPlainText().contains("Building by hand"));
        // A picture of the guide is found inside the program, not left as a broken image.
        const QVariant picture = doc->resource(QTextDocument::ImageResource, QUrl("images/manager-model.png"));
        QVERIFY(!picture.isNull());
        guide->close();

        const QString version = QRegularExpression(R"(\d+\.\d+\.\d+$)").match(win().windowTitle()).captured(0);
        m_prompts->ExpectMessage("Varrow " + version +
                                     "\r\rKeeps, edits and tests surface fire behavior fuel models.\r\r"
                                     "Library file (the folder given for tests):\r" +
                                     QDir::toNativeSeparators(libraryPath()) +
                                     "\r\rFile > Library... tells more about it.",
                                 "About Varrow");
        pick(Qt::Key_H, win().mnuHelp, Qt::Key_A);
        QVERIFY(m_prompts->Finished());
    }
};

QTEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"
