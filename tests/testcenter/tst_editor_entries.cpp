// The editor's entry boxes driven by keyboard: filter, range colours, checks and computations.
#include "support/EditorFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>

namespace {
const QString kRangeMessage = QStringLiteral("You have entries that are outside the \racceptable range and are in "
                                             "highlighted in red.");
}

class EditorEntries : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<frmEditModel> editor;

    void open(const std::shared_ptr<FuelModel> &fm, bool editable = true)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(fm, editable);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
    }
    void cleanup()
    {
        editor.reset();
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void keyFilterKeepsNumberBoxesNumeric()
    {
        open(lib->timberGrass);
        typeInto(*editor, 2, QStringLiteral("12abc"));
        QCOMPARE(editor->EntryText(2), QStringLiteral("12"));
        typeInto(*editor, 3, QStringLiteral("-1 2.5e"));
        QCOMPARE(editor->EntryText(3), QStringLiteral("12.5"));
        QTest::keyClick(editor->txtFuels(3), Qt::Key_Backspace);
        QCOMPARE(editor->EntryText(3), QStringLiteral("12."));

        QApplication::clipboard()->setText(QStringLiteral("99"));
        editor->txtFuels(4)->selectAll();
        QTest::keyClick(editor->txtFuels(4), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->EntryText(4), QStringLiteral("0.5"));

        // Seven characters can be typed into the ID, not eight; backspace still works.
        typeInto(*editor, 0, QStringLiteral("ABCDEFGHI"));
        QCOMPARE(editor->EntryText(0), QStringLiteral("ABCDEFG"));
        QTest::keyClick(editor->txtFuels(0), Qt::Key_Backspace);
        QCOMPARE(editor->EntryText(0), QStringLiteral("ABCDEF"));

        // A box selects its whole text when it gets the focus, also by a mouse click.
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        QTest::mouseClick(editor->txtFuels(8), Qt::LeftButton);
        QTRY_COMPARE(editor->txtFuels(8)->selectedText(), QStringLiteral("1500"));
        QTest::keyClicks(editor->txtFuels(8), QStringLiteral("1200"));
        QCOMPARE(editor->EntryText(8), QStringLiteral("1200"));

        typeInto(*editor, 1, QStringLiteral("Tall, \"wet\" grass - 2"));
        QCOMPARE(editor->EntryText(1), QStringLiteral("Tall, \"wet\" grass - 2"));

        // Text put there by code is not filtered, but it is checked at once by its leading number.
        editor->SetEntryText(7, QStringLiteral("50 per foot"));
        QVERIFY(isRed(*editor, 7));
        editor->SetEntryText(7, QStringLiteral("1500 per foot"));
        QVERIFY(!isRed(*editor, 7));
    }

    // X11 delivers Delete with the text DEL (0x7F); it must edit like Backspace does, in the
    // number boxes and in an ID that already holds seven characters.
    void deleteKeyAsX11SendsItEditsEveryBox()
    {
        open(lib->timberGrass);
        const auto pressDelete = [](QWidget *box) {
            QTest::sendKeyEvent(QTest::Press, box, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, box, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
        };
        struct
        {
            int index;
            const char *before;
            const char *after;
        } cases[] = {{2, "31", "1"}, {7, "1500", "500"}, {25, "10", "0"}, {0, "ABCDEFG", "BCDEFG"}};
        for (const auto &c : cases) {
            QLineEdit *box = editor->txtFuels(c.index);
            typeInto(*editor, c.index, QString::fromLatin1(c.before));
            QTest::keyClick(box, Qt::Key_Home);
            pressDelete(box);
            QVERIFY2(editor->EntryText(c.index) == QString::fromLatin1(c.after),
                     qPrintable(editor->EntryText(c.index)));
        }
        QVERIFY(!isRed(*editor, 2)); // 31 was out of range, 1 is not
        // Backspace still edits, and Delete removes a selection.
        QTest::keyClick(editor->txtFuels(7), Qt::Key_End);
        QTest::keyClick(editor->txtFuels(7), Qt::Key_Backspace);
        QCOMPARE(editor->EntryText(7), QStringLiteral("50"));
        editor->txtFuels(7)->selectAll();
        pressDelete(editor->txtFuels(7));
        QCOMPARE(editor->EntryText(7), QString());
        QVERIFY(!isRed(*editor, 7)); // an empty SA/V reads 0, which the SA/V boxes accept
    }

    // A number too long for a double is out of range, also where the range includes 0: it
    // must not read as 0, pass the checks and be saved as 0.
    void numberTooLongForADoubleIsRefused()
    {
        owner->calls.clear();
        open(lib->shortGrass);
        const QString nines(320, QLatin1Char('9'));
        for (int i : {2, 7, 25}) {
            typeInto(*editor, i, nines);
            QCOMPARE(editor->EntryText(i), nines);
            QVERIFY2(isRed(*editor, i), qPrintable(QString::number(i)));
        }
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(editor->focusWidget(), editor->txtFuels(2));
        QCOMPARE(lib->shortGrass->Loading1Hour(), 0.74);
        QVERIFY(!owner->calls.contains(QStringLiteral("SaveLibrary")));

        typeInto(*editor, 2, QStringLiteral("1"));
        typeInto(*editor, 7, QStringLiteral("0"));
        QVERIFY(!isRed(*editor, 2) && !isRed(*editor, 7));
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(editor->focusWidget(), editor->txtFuels(25));
        QCOMPARE(editor->txtROS()->text(), QString());
    }

    // The commands read the values, not only the colours: a box repainted white still holds
    // its out-of-range value.
    void commandsCheckTheValuesNotOnlyTheColours()
    {
        owner->calls.clear();
        open(lib->shortGrass);
        typeInto(*editor, 25, QStringLiteral("150"));
        editor->SetEntryColour(25, Qt::white);
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(editor->txtROS()->text(), QString());
        QVERIFY(isRed(*editor, 25));

        typeInto(*editor, 25, QStringLiteral("10"));
        typeInto(*editor, 4, QStringLiteral("36"));
        editor->SetEntryColour(4, Qt::white);
        prompts->ExpectMessage(kRangeMessage, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(lib->shortGrass->Loading100Hour(), 0.0);
        QVERIFY(!owner->calls.contains(QStringLiteral("SaveLibrary")));
    }

    void rangeColoursFollowEachKeyRelease()
    {
        open(lib->shortGrass);
        for (int i : {0, 1, 2, 7, 13, 14, 20, 25})
            QCOMPARE(editor->EntryColour(i), QColor(Qt::white));

        const struct
        {
            int index;
            const char *text;
            bool red;
        } steps[] = {{7, "0", false},     {7, "50", true},     {7, "109", false},   {7, "4000", false},
                     {7, "4000.5", true}, {13, "0.05", false}, {13, "0.04", true},  {14, "4.9", true},
                     {14, "5", false},    {2, "30.5", true},   {2, "30.49", false}, {20, "0", true},
                     {25, "99", false},   {25, "100", true},   {0, "", true},       {0, "X", false},
                     {1, "", true}};
        for (const auto &s : steps) {
            typeInto(*editor, s.index, QString::fromLatin1(s.text));
            QVERIFY2(isRed(*editor, s.index) == s.red,
                     qPrintable(QStringLiteral("box %1 '%2'").arg(s.index).arg(s.text)));
        }
        // While typing 4000.5 the box went through 4000 (white) to 4000. and then red.
        typeInto(*editor, 9, QStringLiteral("4"));
        QVERIFY(isRed(*editor, 9));
        QTest::keyClicks(editor->txtFuels(9), QStringLiteral("00"));
        QVERIFY(!isRed(*editor, 9));
    }

    void duplicateIdIsRefusedButTheOwnIdIsNot()
    {
        open(lib->timberGrass);
        const QString before = editor->txtROS()->text();
        typeInto(*editor, 0, QStringLiteral(" gr2 "));
        prompts->ExpectMessage(QStringLiteral("ERROR: Fuel model ID  gr2   already exists"),
                               QStringLiteral("Fuel Model ID"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(prompts->LastIcon(), IPrompts::Icon::Exclamation);
        QCOMPARE(editor->txtROS()->text(), before);
        QCOMPARE(editor->focusWidget(), editor->txtFuels(0));

        typeInto(*editor, 0, QStringLiteral("2"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(!editor->txtROS()->text().isEmpty());
        QCOMPARE(prompts->Log().size(), 1);
    }

    void duplicateIdAndRedBoxesGiveTwoMessages()
    {
        open(lib->shortGrass);
        typeInto(*editor, 0, QStringLiteral("2"));
        typeInto(*editor, 9, QStringLiteral("50"));
        typeInto(*editor, 3, QStringLiteral("31"));
        prompts
            ->ExpectMessage(QStringLiteral("ERROR: Fuel model ID 2  already exists"), QStringLiteral("Fuel Model ID"))
            .ExpectMessage(QStringLiteral("You have entries that are outside the \racceptable range and are in "
                                          "highlighted in red."),
                           QStringLiteral("Error in entries"));
        QVERIFY(!editor->EntriesOK());
        QCOMPARE(editor->focusWidget(), editor->txtFuels(3));
    }

    void redEnvironmentBoxStopsCompute()
    {
        open(lib->shortGrass);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        const auto computed = CurrentFireSpread;
        const QString ros = editor->txtROS()->text();
        QVERIFY(!ros.isEmpty());
        typeInto(*editor, 22, QStringLiteral("61"));
        prompts->ExpectMessage({}, QStringLiteral("Error in entries"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(CurrentFireSpread, computed);
        QCOMPARE(editor->txtROS()->text(), ros);
        QCOMPARE(editor->focusWidget(), editor->txtFuels(22));
    }

    void midflameWindFollowsWindAndFactor()
    {
        open(lib->shortGrass);
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("7.0"));
        typeInto(*editor, 25, QStringLiteral("15"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("10.5"));
        editor->cboWindReduce()->setCurrentIndex(3);
        emit editor->cboWindReduce()->activated(3);
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("4.5"));
        // A typed factor counts at once, and the computation uses it.
        editor->cboWindReduce()->lineEdit()->selectAll();
        QTest::keyClicks(editor->cboWindReduce()->lineEdit(), QStringLiteral(".45"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("6.8")); // 6.75
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(CurrentFireSpread->WindSpeed(), 6.8);
        typeInto(*editor, 25, QStringLiteral("2"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("0.9"));

        // With "Auto Compute" on, typing a factor recomputes the results.
        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton);
        typeInto(*editor, 25, QStringLiteral("20"));
        editor->cboWindReduce()->lineEdit()->selectAll();
        QTest::keyClicks(editor->cboWindReduce()->lineEdit(), QStringLiteral(".2"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("4.0"));
        QCOMPARE(CurrentFireSpread->WindSpeed(), 4.0);
    }

    void lockedEditorComputesOnItsEnvironmentOnly()
    {
        FakeTuners tuners;
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->setTuners(&tuners);
        editor->Open(lib->timberLitter, false);
        const QColor face = QGuiApplication::palette().color(QPalette::Button);
        for (int i = 0; i <= 14; ++i) {
            QCOMPARE(editor->EntryColour(i), face);
            if (i != 1)
                QVERIFY(editor->cmdTuner(i)->isEnabled() == false);
        }
        for (int i = 20; i <= 25; ++i)
            QVERIFY(editor->cmdTuner(i)->isEnabled());
        QVERIFY(!editor->cmdApply()->isEnabled());
        QCOMPARE(editor->cmdSave()->text().remove(QLatin1Char('&')), QStringLiteral("Close"));
        QVERIFY(!editor->cboFireCarry()->isEnabled());

        typeInto(*editor, 2, QStringLiteral("9"));
        QCOMPARE(editor->EntryText(2), QStringLiteral("1"));
        QCOMPARE(editor->EntryColour(2), face);
        typeInto(*editor, 20, QStringLiteral("12"));
        QTest::mouseClick(editor->cmdTuner(20), Qt::LeftButton);
        QTest::mouseClick(editor->cmdTuner(2), Qt::LeftButton);
        QCOMPARE(tuners.calls.filter(QStringLiteral("Open")), QStringList{QStringLiteral("Open 20")});
        QVERIFY(tuners.calls.contains(QStringLiteral("EntryChanged 20 12")));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(CurrentFireSpread->FuelMoisture1Hour(), 0.12);
        QCOMPARE(CurrentFireSpread->Loading10Hour(), 2.2);

        QTest::mouseClick(editor->cmdSave(), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(owner->calls, QStringList{QStringLiteral("EditorClosed")});
        QCOMPARE(tuners.calls.last(), QStringLiteral("CloseAll"));
        QCOMPARE(lib->timberLitter->Loading1Hour(), 1.0);
    }

    void autoComputeDecidesWhatTypingRecomputes()
    {
        open(lib->shortGrass);
        QVERIFY(!editor->chkAuto()->isChecked());
        const QString pack = editor->txtPackRatio()->text();
        QVERIFY(pack != QStringLiteral("0.000"));
        typeInto(*editor, 23, QStringLiteral("120"));
        QCOMPARE(editor->txtROS()->text(), QString());
        typeInto(*editor, 2, QStringLiteral("2"));
        QVERIFY(editor->txtPackRatio()->text() != pack);
        QCOMPARE(editor->txtROS()->text(), QString());

        QTest::mouseClick(editor->chkAuto(), Qt::LeftButton);
        typeInto(*editor, 20, QStringLiteral("9"));
        const QString ros = editor->txtROS()->text();
        QVERIFY(!ros.isEmpty() && ros != QStringLiteral("0.0"));
        // An entry out of range is not computed: the results are cleared.
        typeInto(*editor, 20, QStringLiteral("70"));
        QVERIFY(isRed(*editor, 20));
        QCOMPARE(editor->txtROS()->text(), QString());
        QCOMPARE(CurrentFireSpread->FuelMoisture1Hour(), 0.07); // the "7" typed on the way held
    }

    void dynamicReferenceComputesWithItsOwnHerbType()
    {
        open(lib->dynamicGrass);
        editor->cboFM()->setCurrentIndex(2);
        emit editor->cboFM()->activated(2);
        QCOMPARE(editor->RefLabelText(), QStringLiteral("Ref: GR2 - Low load dry climate grass"));
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QCOMPARE(editor->txtROS()->text(), editor->txtRefROS()->text());
        QCOMPARE(editor->txtFL()->text(), editor->txtRefFL()->text());
        QCOMPARE(editor->txtHeat()->text(), editor->txtRefHeat()->text());
        editor->cboHerbType()->setCurrentIndex(0);
        QTest::mouseClick(editor->cmdComp(), Qt::LeftButton);
        QVERIFY(editor->txtROS()->text() != editor->txtRefROS()->text());
    }
};

QTEST_MAIN(EditorEntries)
#include "tst_editor_entries.moc"
