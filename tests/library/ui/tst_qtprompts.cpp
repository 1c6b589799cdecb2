// The real prompts as a user meets them: each box runs its own modal event loop, and the keys a
// user types ahead (Enter, Escape) never answer a question with Yes.

#include "widgets/QtPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

class TestQtPrompts : public QObject
{
    Q_OBJECT

    // Runs act on the modal box once it is up, from inside its own event loop.
    static void whenBoxShows(std::function<void(QMessageBox &)> act)
    {
        QTimer::singleShot(0, [act] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                QFAIL("no message box is shown");
                return;
            }
            act(*box);
        });
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void enterAndEscapeAnswerAQuestionWithNo()
    {
        QWidget owner;
        QtPrompts prompts(&owner);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QString defaultText;
            whenBoxShows([&defaultText, key](QMessageBox &box) {
                defaultText = box.defaultButton() ? box.defaultButton()->text() : QString();
                QTest::keyClick(&box, key);
            });
            QVERIFY2(!prompts.AskYesNo("Are you sure you want to delete fuel model set: Custom?", QString(),
                                       IPrompts::Icon::Question),
                     qPrintable(QString("key %1").arg(int(key))));
            QCOMPARE(defaultText.remove('&'), QString("No"));
        }
        // Yes is still one deliberate click away.
        whenBoxShows([](QMessageBox &box) { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); });
        QVERIFY(prompts.AskYesNo("Close anyway?", "Varrow", IPrompts::Icon::Exclamation));
    }

    void textsBreakAtCarriageReturnsAndAnEmptyTitleIsTheProgramsName()
    {
        QWidget owner;
        QtPrompts prompts(&owner);
        QString text, title;
        whenBoxShows([&](QMessageBox &box) {
            text = box.text();
            title = box.windowTitle();
            box.button(QMessageBox::No)->click();
        });
        prompts.AskYesNo("first\rsecond", QString(), IPrompts::Icon::Question);
        QCOMPARE(text, QString("first\nsecond"));
        QCOMPARE(title, AppTitle());
    }

    // A box stands over the window the user works in, not over the one the prompts were made
    // for: a message of the editor must not raise the main window over it. Escape cancels a
    // question with three answers.
    void boxesStandOverTheActiveWindow()
    {
        QWidget main;
        QWidget editor;
        main.show();
        editor.show();
        QtPrompts prompts(&main);
        editor.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &editor);
        QWidget *shownOver = nullptr;
        whenBoxShows([&](QMessageBox &box) {
            shownOver = box.parentWidget();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        QCOMPARE(prompts.AskYesNoCancel("Save them before closing?", QString(), IPrompts::Icon::Question),
                 IPrompts::Answer::Cancel);
        QCOMPARE(shownOver, &editor);
        whenBoxShows([&](QMessageBox &box) { box.button(QMessageBox::No)->click(); });
        QCOMPARE(prompts.AskYesNoCancel("Save them before closing?", QString(), IPrompts::Icon::Question),
                 IPrompts::Answer::No);
    }

    // Qt's own file dialog, as the calibration window asks for it: named, opening only a file
    // that exists, saving with the suffix added to a name typed without one, starting from the
    // name suggested; Escape cancels.
    void fileDialogsTakeWhatIsTypedIntoThem()
    {
        QWidget owner;
        QtPrompts prompts(&owner);
        QTemporaryDir dir;
        const QString fires = dir.filePath("fires.csv");
        {
            QFile f(fires);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        struct Seen
        {
            QString name, typedBefore;
            bool existingOnly = false, saves = false;
        } seen;
        const auto typeIn = [&seen](const QString &text, Qt::Key key) {
            QTimer::singleShot(0, [&seen, text, key] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
                QVERIFY(name);
                seen = {dialog->objectName(), name->text(), dialog->fileMode() == QFileDialog::ExistingFile,
                        dialog->acceptMode() == QFileDialog::AcceptSave};
                name->setText(text);
                QTest::keyClick(name, key);
            });
        };

        typeIn(fires, Qt::Key_Return);
        QCOMPARE(prompts.ChooseFile({false,
                                     "Import Observed Fires",
                                     "CSV files (*.csv *.txt);;All files (*)",
                                     {},
                                     {},
                                     true,
                                     "dlgObservationFile"}),
                 fires);
        QCOMPARE(seen.name, QString("dlgObservationFile"));
        QVERIFY(seen.existingOnly && !seen.saves);

        typeIn(dir.filePath("adjusted"), Qt::Key_Return);
        QCOMPARE(prompts.ChooseFile({true, "Export Adjustment File", "Adjustment files (*.adj);;All files (*)",
                                     dir.filePath("report.adj"), "adj", true, "dlgAdjustmentFile"}),
                 dir.filePath("adjusted.adj"));
        QVERIFY(seen.saves);
        QCOMPARE(seen.typedBefore, QString("report.adj"));

        typeIn(QString(), Qt::Key_Escape);
        QCOMPARE(prompts.ChooseSaveFile("Export", "CSV table (*.csv)", dir.path()), QString());
    }
};

QTEST_MAIN(TestQtPrompts)
#include "tst_qtprompts.moc"
