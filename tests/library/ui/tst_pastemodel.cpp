// The paste dialog: its texts, the checks of OK in their order, and that every way out other
// than an accepted OK leaves both boxes empty.

#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"
#include "library/ui/frmPasteModel.h"
#include "support/ScriptedPrompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

class TestPasteModel : public QObject
{
    Q_OBJECT

    MemoryTree m_tree;

    void type(frmPasteModel &d, const QString &id, const QString &description)
    {
        d.txtFuels[0]->setText(id);
        d.txtFuels[1]->setText(description);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ResetProgramState();
        m_tree.Clear();
        const QByteArray library = "\"[FuelModelSet:A,Count:1, Locked]\"\r\n"
                                   "\"FM1\",\"One\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                   "\"[FuelModelSet:B,Count:1]\"\r\n"
                                   "\"b7\",\"Seven\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                   "\"[End]\"\r\n";
        const LibraryReadResult read = ReadLibrary(library, m_tree);
        QVERIFY(read.ok);
        gFMSets = read.sets;
    }

    void showsItsTextsWithEmptyBoxes()
    {
        ScriptedPrompts prompts;
        frmPasteModel d(prompts);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Paste Model"));
        QCOMPARE(d.findChild<QLabel *>("Label2")->text(),
                 QString("Please enter a new ID and Description for the parameters being pasted"));
        QCOMPARE(d.findChild<QLabel *>("Label5_0")->text(), QString("Fuel model ID"));
        QCOMPARE(d.findChild<QLabel *>("Label1_0")->text(), QString("(1 to 6 characters)"));
        QCOMPARE(d.findChild<QLabel *>("Label5_1")->text(), QString("Description"));
        QCOMPARE(d.findChild<QPushButton *>("cmdOK")->text(), QString("OK"));
        QCOMPARE(d.findChild<QPushButton *>("cmdCancel")->text(), QString("Cancel Paste"));
        QVERIFY(d.findChild<QLineEdit *>("txtFuels_0")->text().isEmpty());
        QVERIFY(d.findChild<QLineEdit *>("txtFuels_1")->text().isEmpty());
    }

    void okRefusesTakenIdsAndEmptyOrUnstorableTextsAndStaysOpen()
    {
        ScriptedPrompts prompts;
        frmPasteModel d(prompts);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // The ID of another set, typed in other case with a leading blank.
        type(d, " B7", "x");
        prompts.ExpectMessage("ERROR: Fuel model ID  B7  already exists", "Fuel Model ID");
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(prompts.LastIcon(), IPrompts::Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), d.txtFuels[0]);

        type(d, "", "x");
        prompts.ExpectMessage("ERROR: Fuel model ID may not be blank", "Fuel Model ID");
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), d.txtFuels[0]);

        type(d, "N1", "");
        prompts.ExpectMessage("ERROR: Fuel model Description may not be blank", "Fuel Model ID");
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), d.txtFuels[1]);

        type(d, "N1", "6\" deep");
        prompts.ExpectMessage({}, "Fuel Model ID");
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(prompts.Log().last().contains("double quote"));
        QCOMPARE(QApplication::focusWidget(), d.txtFuels[1]);
        QVERIFY(d.isVisible());

        // Longer than the hint and a description of blanks: both taken as typed.
        type(d, " LONGID7 ", "   ");
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.IdText(), QString(" LONGID7 "));
        QCOMPARE(d.DescriptionText(), QString("   "));
        QVERIFY(prompts.Finished());
    }

    void cancelEscapeAndTheCloseBoxEmptyBothBoxes()
    {
        ScriptedPrompts prompts;
        for (int way = 0; way < 3; ++way) {
            frmPasteModel d(prompts);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            type(d, "N9", "Nine");
            if (way == 0)
                QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
            QVERIFY(!d.isVisible());
            QVERIFY(d.IdText().isEmpty());
            QVERIFY(d.DescriptionText().isEmpty());
        }
        QVERIFY(prompts.Log().isEmpty());
    }

    void enteringABoxSelectsItsText()
    {
        ScriptedPrompts prompts;
        frmPasteModel d(prompts);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        type(d, "OLD", "Old text");
        QTest::mouseClick(d.txtFuels[1], Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(d.txtFuels[1]->selectedText(), QString("Old text"));
        QTest::keyClicks(d.txtFuels[1], "New");
        QCOMPARE(d.DescriptionText(), QString("New"));
    }
};

QTEST_MAIN(TestPasteModel)
#include "tst_pastemodel.moc"
