// Every window as a keyboard or screen reader user meets it: each control a user can reach has
// an accessible name of its own (its caption, its label or an explicit name), the tab order
// follows the layout, mnemonics are unique in each window, and the library commands, the tree
// rename and the tuners answer their keys.

#include "support/ManagerFixture.h"

#include "manager/AccessibleWindows.h"
#include "testcenter/ui/frmEditModel.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QTabBar>

class TestAccessibility : public QObject, public ManagerFixture
{
    Q_OBJECT

    static bool isInteractive(QAccessible::Role role)
    {
        switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::Slider:
        case QAccessible::ScrollBar:
        case QAccessible::SpinBox:
        case QAccessible::Tree:
        case QAccessible::Table:
        case QAccessible::List:
            return true;
        default:
            return false;
        }
    }

    // Parts of Qt's own composite controls, named through their owner: the line of an
    // editable combo box, the scroll bars of scroll areas, the scroll arrows of a tab bar.
    static bool isInnerPart(const QWidget *w)
    {
        for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
            if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QTabBar *>(p))
                return true;
            if (p->objectName().startsWith(QLatin1String("qt_scrollarea")))
                return true;
        }
        return false;
    }

    static bool hasBuddy(const QWidget *w)
    {
        for (const QLabel *label : w->window()->findChildren<QLabel *>())
            if (label->buddy() == w)
                return true;
        return false;
    }

    // "objectName (role): problem" for every reachable control without a name of its own.
    static QStringList unnamedControls(QWidget *window)
    {
        QStringList problems;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(window) || isInnerPart(w))
                continue;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
            if (!iface || !isInteractive(iface->role()))
                continue;
            const QString name = iface->text(QAccessible::Name).trimmed();
            const auto *button = qobject_cast<const QAbstractButton *>(w);
            // Qt falls back on the title of the enclosing group box, which names the group, not
            // the control; only an own caption, a buddy label or an explicit name count.
            const bool own = !w->accessibleName().isEmpty() || (button && !button->text().isEmpty()) || hasBuddy(w);
            if (name.isEmpty() || !own)
                problems << QString("%1 (%2): %3")
                                .arg(w->objectName(), w->metaObject()->className(),
                                     name.isEmpty() ? QString("no name") : "only the group's name \"" + name + "\"");
        }
        return problems;
    }

    // The widgets Tab moves through, in order, from the window's first one.
    static QStringList tabChain(QWidget *window)
    {
        QStringList names;
        QWidget *w = window;
        for (int guard = 0; guard < 1000; ++guard) {
            w = w->nextInFocusChain();
            if (w == window)
                break;
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && !isInnerPart(w) &&
                !w->objectName().isEmpty())
                names << w->objectName();
        }
        return names;
    }

    // Fails unless the names appear in the chain in this order.
    static bool inOrder(const QStringList &chain, const QStringList &names, QString *why)
    {
        int at = -1;
        for (const QString &n : names) {
            const int next = chain.indexOf(n);
            if (next <= at) {
                *why = n + (next < 0 ? " is not in the tab order: " : " comes too early: ") + chain.join(' ');
                return false;
            }
            at = next;
        }
        return true;
    }

    static QStringList mnemonicClashes(QWidget *window)
    {
        QStringList clashes;
        QHash<QKeySequence, QString> seen;
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            const QKeySequence key = QKeySequence::mnemonic(b->text());
            if (key.isEmpty())
                continue;
            if (seen.contains(key))
                clashes << seen[key] + " and " + b->objectName() + " share " + key.toString();
            seen.insert(key, b->objectName());
        }
        // A label's letter moves the focus to its box, in the same window as the buttons.
        for (QLabel *l : window->findChildren<QLabel *>()) {
            const QKeySequence key = QKeySequence::mnemonic(l->text());
            if (key.isEmpty() || !l->buddy())
                continue;
            if (seen.contains(key))
                clashes << seen[key] + " and " + l->objectName() + " share " + key.toString();
            seen.insert(key, l->objectName());
        }
        // The titles of a menu bar answer Alt + their letter in the same window as the buttons.
        for (QMenuBar *bar : window->findChildren<QMenuBar *>())
            for (QAction *menu : bar->actions()) {
                const QKeySequence key = QKeySequence::mnemonic(menu->text());
                if (key.isEmpty())
                    continue;
                if (seen.contains(key))
                    clashes << seen[key] + " and menu " + menu->text() + " share " + key.toString();
                seen.insert(key, menu->text());
            }
        return clashes;
    }

    static QWidget *topLevel(const char *name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return w;
        return nullptr;
    }

    frmEditModel *openEditorOn(const QString &set, const QString &id)
    {
        click(modelKey(set, id));
        QTest::mouseClick(win().cmdEditSave, Qt::LeftButton);
        frmEditModel *editor = win().Editor();
        if (editor) {
            editor->activateWindow();
            // Offscreen windows may never report active; the callers check what they need.
            (void)QTest::qWaitForWindowActive(editor);
        }
        return editor;
    }

    void activateMain()
    {
        win().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win()));
    }

private slots:
    void initTestCase()
    {
        setUpSuite();
        InstallAccessibleWindows();
    }
    void init() { setUp(); }
    void cleanup()
    {
        if (m_window && win().Editor())
            win().Editor()->close();
        tearDown();
    }

    void everyWindowNamesEveryControlAndHasUniqueMnemonics()
    {
        start();
        QStringList problems = unnamedControls(&win());
        QVERIFY2(problems.isEmpty(), qPrintable("main window: " + problems.join("; ")));
        QVERIFY2(mnemonicClashes(&win()).isEmpty(), qPrintable(mnemonicClashes(&win()).join("; ")));
        for (QAbstractButton *b : win().findChildren<QAbstractButton *>())
            if (b->isVisibleTo(&win())) // the menu bar's hidden overflow button aside
                QVERIFY2(!QKeySequence::mnemonic(b->text()).isEmpty(),
                         qPrintable(b->objectName() + " has no mnemonic"));

        frmEditModel *editor = openEditorOn("Custom", "C1");
        QVERIFY(editor);
        QCOMPARE(QAccessible::queryAccessibleInterface(editor)->role(), QAccessible::Window);
        problems = unnamedControls(editor);
        QVERIFY2(problems.isEmpty(), qPrintable("editor: " + problems.join("; ")));
        QVERIFY2(mnemonicClashes(editor).isEmpty(), qPrintable(mnemonicClashes(editor).join("; ")));
        // The thirteen "Tune" buttons say which entry each one tunes.
        QCOMPARE(QAccessible::queryAccessibleInterface(editor->cmdTuner(2))->text(QAccessible::Name),
                 QString("Tune 1 Hour Loading (t/ac)"));

        QTest::mouseClick(editor->cmdTuner(2), Qt::LeftButton);
        QWidget *tuner = topLevel("frmTuner");
        QVERIFY(tuner);
        QCOMPARE(QAccessible::queryAccessibleInterface(tuner)->role(), QAccessible::Window);
        problems = unnamedControls(tuner);
        QVERIFY2(problems.isEmpty(), qPrintable("tuner: " + problems.join("; ")));
        QCOMPARE(tuner->findChild<QAbstractSlider *>("sldTune")->accessibleName(), QString("1 Hour Loading (t/ac)"));
        tuner->close();

        QTest::mouseClick(editor->cmdTuner(0), Qt::LeftButton);
        QWidget *sync = topLevel("frmSyncTuner");
        QVERIFY(sync);
        problems = unnamedControls(sync);
        QVERIFY2(problems.isEmpty(), qPrintable("synchronized tuner: " + problems.join("; ")));
        sync->close();

        frmPasteModel paste(*m_prompts);
        paste.show();
        problems = unnamedControls(&paste);
        QVERIFY2(problems.isEmpty(), qPrintable("paste dialog: " + problems.join("; ")));
    }

    void tabFollowsTheLayoutOfEveryWindow()
    {
        start();
        QString why;
        QStringList main = {"treeFMs", "cmdNewSet", "cmdDelete_0", "cmdRename",       "cmdCopy",   "cmdPaste",
                            "cmdCut",  "cmdNewFM",  "cmdDelete_1", "txtFuelModelSet", "cmdDefault"};
        for (int i = 0; i < 17; ++i)
            main << QString("txtFuels_%1").arg(i);
        // The parameters and notes tabs: the tab widget hands its focus to its tab bar.
        main << "cmdEditSave"
             << "tabPanel"
             << "qt_tabwidget_tabbar"
             << "cboUnits"
             << "cmdClose";
        QCOMPARE(tabChain(&win()), main);

        frmEditModel *editor = openEditorOn("Custom", "C1");
        QVERIFY(editor);
        QStringList editorOrder = {"txtFuels_0", "txtFuels_1", "cboFireCarry", "cboHerbType"};
        for (int i = 2; i <= 14; ++i)
            editorOrder << QString("txtFuels_%1").arg(i);
        editorOrder << "cmdApply"
                    << "cmdSave"
                    << "cmdCancel"
                    << "cmdTest";
        for (int i = 20; i <= 25; ++i)
            editorOrder << QString("txtFuels_%1").arg(i);
        editorOrder << "cboWindReduce"
                    << "cboSlope"
                    << "txtROS"
                    << "txtFLI"
                    << "txtFL"
                    << "txtHeat"
                    << "cmdComp"
                    << "chkAuto"
                    << "cmdPlot"
                    << "cmdClearGraph"
                    << "chkPlotRefFM"
                    << "tabResults";
        QVERIFY2(inOrder(tabChain(editor), editorOrder, &why), qPrintable(why));

        QTest::mouseClick(editor->cmdTuner(2), Qt::LeftButton);
        QWidget *tuner = topLevel("frmTuner");
        QVERIFY(tuner);
        QCOMPARE(tabChain(tuner), QStringList({"sldTune", "cmdPlot", "cmdReset", "cmdClose"}));

        frmPasteModel paste(*m_prompts);
        paste.show();
        QCOMPARE(tabChain(&paste), QStringList({"txtFuels_0", "txtFuels_1", "cmdOK", "cmdCancel"}));
    }

    void libraryCommandsAnswerTheirKeys()
    {
        start();
        activateMain();
        click(modelKey("Orla Master", "GR2"));
        QTest::keyClick(&tree(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(gPasteMode, QString("Copy"));

        click(setKey("Spare"));
        m_prompts->ExpectPaste("K1", "Pasted by key");
        QTest::keyClick(&tree(), Qt::Key_V, Qt::ControlModifier);
        const QString pasted = modelKey("Spare", "K1");
        QVERIFY(!pasted.isEmpty());
        QCOMPARE(tree().SelectedKey(), pasted);
        checkAfterAction("Ctrl+V");

        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: K1 - Pasted by key?", true);
        QTest::keyClick(&tree(), Qt::Key_Delete);
        QVERIFY(modelKey("Spare", "K1").isEmpty());
        checkAfterAction("Delete");

        // Alt+U is the mnemonic of Cut Model: a model of the unlocked set is cut.
        click(modelKey("Custom", "C1"));
        m_prompts->ExpectYesNo("Are you sure you want to delete fuel model: C1 - Custom one?", true);
        QTest::keyClick(&win(), Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(gPasteMode, QString("Cut")); // a mnemonic presses its button for a moment
        QVERIFY(modelKey("Custom", "C1").isEmpty());
        checkAfterAction("Alt+U");

        m_prompts->ExpectInput("Enter the name for the new fuel model set", QString("Keyed Set"));
        QTest::keyClick(&tree(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!setKey("Keyed Set").isEmpty());
        checkAfterAction("Ctrl+Shift+N");

        // Keys of the locked set's commands do nothing: its models cannot be deleted or cut.
        click(modelKey("Orla Master", "1"));
        QTest::keyClick(&tree(), Qt::Key_Delete);
        QTest::keyClick(&tree(), Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!modelKey("Orla Master", "1").isEmpty());
        QVERIFY2(m_prompts->Finished(), "a key on the locked set asked something");
    }

    void f2RenamesTheSetAndTheEditorKeepsItsEditingKeys()
    {
        start();
        activateMain();
        click(setKey("Spare"));
        QTest::keyClick(&tree(), Qt::Key_F2);
        QVERIFY(tree().IsEditingLabel());
        auto *line = tree().findChild<QLineEdit *>();
        QVERIFY(line);
        QTRY_VERIFY(line->hasFocus());
        // Delete and Ctrl+X edit the name; they delete or cut nothing (no question is scripted).
        QTest::keyClick(line, Qt::Key_Home);
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClicks(line, "Renamed by F2");
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!setKey("Renamed by F2").isEmpty());
        QCOMPARE(gFMSets->Item(setKey("Renamed by F2"))->Name(), QString("Renamed by F2"));
        QVERIFY(libraryBytes().contains("[FuelModelSet:Renamed by F2,Count:0]"));
        QVERIFY2(m_prompts->Finished(), "renaming asked something");

        // The locked set is not renamed by its key either.
        click(setKey("Orla Master"));
        QTest::keyClick(&tree(), Qt::Key_F2);
        QVERIFY(!tree().IsEditingLabel());
    }

    void ctrlTOpensTheTunerOfTheEntryWithTheFocus()
    {
        start();
        frmEditModel *editor = openEditorOn("Custom", "C1");
        QVERIFY(editor);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        editor->txtFuels(3)->setFocus();
        QTest::keyClick(editor->txtFuels(3), Qt::Key_T, Qt::ControlModifier);
        QWidget *tuner = topLevel("frmTuner");
        QVERIFY(tuner);
        QCOMPARE(tuner->windowTitle(), QString("10 Hour Loading (t/ac)"));
        QCOMPARE(editor->txtFuels(3)->text(), QString("1")); // the key typed nothing into the box
        tuner->close();

        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        editor->txtFuels(3)->setFocus();
        QTest::keyClick(editor->txtFuels(3), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(topLevel("frmSyncTuner"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
