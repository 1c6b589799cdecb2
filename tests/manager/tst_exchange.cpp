// The main window's custom fuel model file commands, driven as a user would: the command, the
// modal dialog through its own event loop, its controls.
#include "support/ManagerFixture.h"

#include "exchange/ui/FmdExportDialog.h"
#include "exchange/ui/FmdImportDialog.h"
#include "exchange/ui/OtherLibraryDialog.h"
#include "units/UnitSetting.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>

namespace {

// Runs f on the modal dialog of type T as soon as it is shown.
template <typename T> void whenShown(std::function<void(T &)> f)
{
    QTimer::singleShot(0, [f] {
        T *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog) {
            whenShown<T>(f);
            return;
        }
        f(*dialog);
    });
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestExchange : public QObject, private ManagerFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpSuite(); }
    void init()
    {
        setUp();
        QSettings().clear();
    }
    void cleanup() { tearDown(); }

    void exportChecksNumbersAsTheyAreTypedAndRemembersThem()
    {
        start();
        const QString out = m_libraryDir->filePath("custom.fmd");
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &c) { return c.save ? out : QString(); });
        click(setKey("Custom"));
        bool seen = false;
        whenShown<FmdExportDialog>([&](FmdExportDialog &d) {
            seen = true;
            QTableWidgetItem *number = d.tblModels->item(0, 1);
            QCOMPARE(number->text(), QStringLiteral("14")); // "C1" is no number: the first free one
            // C1's live herb (8200) and live woody (8300) heat contents differ; woody has the larger load.
            QVERIFY(d.txtProblems->toPlainText().contains("Warning: \"C1\""));
            QVERIFY(d.txtProblems->toPlainText().contains("8300 btu/lb"));
            number->setText("5");
            QVERIFY(!d.cmdExport->isEnabled());
            QVERIFY(d.txtProblems->toPlainText().contains("Refused: \"C1\""));
            number->setText("42");
            d.tblModels->item(0, 2)->setText("C 1");
            QVERIFY(!d.cmdExport->isEnabled());
            d.tblModels->item(0, 2)->setText("C1");
            QVERIFY(d.cmdExport->isEnabled());
            d.cboUnits->setCurrentIndex(1);
            QTest::mouseClick(d.cmdExport, Qt::LeftButton);
        });
        win().ExportCustomModels();
        QVERIFY(seen);
        // 0.5 ft = 15.24 cm; 8100 btu/lb = 18840.6 kJ/kg; 8300 btu/lb = 19305.8 kJ/kg.
        const QByteArray bytes = readAll(out);
        QVERIFY2(bytes.startsWith("METRIC\r\n42 C1 "), bytes.constData());
        QVERIFY(bytes.contains(" 15.24 30 18840.6 19305.8 Custom one\r\n"));
        // The model's history keeps its number and code in that file (one step of the history).
        const QString sha = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        const ModelNotes *notes =
            gLibraryNotes.Of(gFMSets->Item(setKey("Custom"))->FuelModels()->Item(modelKey("Custom", "C1")).get());
        QVERIFY(notes);
        QCOMPARE(notes->history.size(), 1);
        QCOMPARE(notes->history[0].value("kind").toString(), QStringLiteral("exported"));
        QCOMPARE(notes->history[0].value("file").toString(), QDir::toNativeSeparators(out));
        QCOMPARE(notes->history[0].value("number").toInt(), 42);
        QCOMPARE(notes->history[0].value("code").toString(), QStringLiteral("C1"));
        QCOMPARE(notes->history[0].value("sha256").toString(), sha);
        QCOMPARE(win().actUndo->text(), QStringLiteral("&Undo Export to 'custom.fmd'"));
        checkAfterAction("export");

        // The number chosen is proposed again next time (it is kept outside the library file).
        const QByteArray library = libraryBytes();
        whenShown<FmdExportDialog>([](FmdExportDialog &d) {
            QCOMPARE(d.tblModels->item(0, 1)->text(), QStringLiteral("42"));
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        win().ExportCustomModels();
        QCOMPARE(libraryBytes(), library);
    }

    void importShowsTheReportAndAddsNothingUntilAccepted()
    {
        start();
        const QString in = m_libraryDir->filePath("from sim.fmd");
        {
            QFile f(in);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("ENGLISH\n"
                    "30 GRz 0.5 0 0 1 0 dynamic 2000 1800 1500 1 15 8000 8000 Tuned grass\n"
                    "3 FM3 3 0 0 0 0 static 1500 1500 1500 2.5 25 8000 8000 a standard number\n");
        }
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &c) { return c.save ? QString() : in; });
        const QByteArray before = libraryBytes();
        whenShown<FmdImportDialog>([](FmdImportDialog &d) {
            QVERIFY(d.txtReport->toPlainText().contains("Line 2: taken (30 GRz)"));
            QVERIFY(d.txtReport->toPlainText().contains("Line 3: refused (3 FM3)"));
            QCOMPARE(d.cmdAdd->text(), QStringLiteral("&Add 1 Model"));
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        win().ImportCustomModels();
        QCOMPARE(libraryBytes(), before);
        QVERIFY(setKey("from sim").isEmpty());

        whenShown<FmdImportDialog>([](FmdImportDialog &d) {
            QCOMPARE(d.txtSetName->text(), QStringLiteral("from sim"));
            d.txtSetName->setText("custom"); // taken in another letter case
            QVERIFY(!d.cmdAdd->isEnabled());
            QVERIFY(d.lblNameProblem->text().contains("exists already"));
            d.txtSetName->setText("From the simulator");
            QVERIFY(d.cmdAdd->isEnabled());
            QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        });
        win().ImportCustomModels();
        const QString key = setKey("From the simulator");
        QVERIFY(!key.isEmpty());
        QCOMPARE(tree().SelectedKey(), key);
        const auto models = gFMSets->Item(key)->FuelModels();
        QCOMPARE(models->Count(), 1);
        QCOMPARE(models->Item(1)->FuelModelID(), QStringLiteral("GRz"));
        QCOMPARE(models->Item(1)->LoadingLiveHerb(), 1.0);
        QVERIFY(libraryBytes().contains(
            "\"[FuelModelSet:From the simulator,Count:1]\"\r\n"
            "\"GRz\",\"Tuned grass\",1,0.5,0,0,1,0,2000,1800,1500,0.15,8000,8000,8000,1,2\r\n"));
        checkAfterAction("import");

        // The import is one step of the history: undo takes the whole set out again.
        QCOMPARE(win().actUndo->text(), QStringLiteral("&Undo Import 'From the simulator'"));
        win().actUndo->trigger();
        QVERIFY(setKey("From the simulator").isEmpty());
        QCOMPARE(libraryBytes(), before);
        checkAfterAction("undo of the import");
        win().actRedo->trigger();
        QCOMPARE(gFMSets->Item(setKey("From the simulator"))->FuelModels()->Count(), 1);
        checkAfterAction("redo of the import");
    }

    // A file whose code another set has: the model comes in under a free ID, said in the
    // report; the guessed fire carrier is changed in the window before adding; the file's
    // numbers come back at the next export. In metric the export window's heat warning speaks
    // kJ/kg.
    void importGivesFreeIdsTakesTheChosenCarrierAndKeepsTheNumbers()
    {
        start();
        const QString in = m_libraryDir->filePath("sim.fmd");
        {
            QFile f(in);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("28 C1 0.74 0 0 0 0 S 3500 1500 1500 1 12 8000 8000 short grass\r\r\n"
                    "29 GRx 0.1 0 0 1 0 D 2200 2000 1500 1 15 8000 8000 grass\r\r\n");
        }
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &c) { return c.save ? QString() : in; });
        whenShown<FmdImportDialog>([](FmdImportDialog &d) {
            const QString report = d.txtReport->toPlainText();
            QVERIFY2(report.contains("Line 1: changed (28 C1): the ID \"C1\" is taken in the library: the model's ID "
                                     "is \"C1_2\""),
                     qPrintable(report));
            QVERIFY(report.contains("fire carrier guessed: 1 - Grass"));
            QCOMPARE(d.tblFireCarriers->rowCount(), 2);
            auto *carrier = d.findChild<QComboBox *>(QStringLiteral("cboFireCarrier_0"));
            QVERIFY(carrier);
            QCOMPARE(carrier->currentText(), QStringLiteral("1 - Grass"));
            carrier->setCurrentIndex(2); // 3 - Timber Litter
            d.txtSetName->setText("Sim");
            QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        });
        win().ImportCustomModels();
        const QString key = setKey("Sim");
        QVERIFY(!key.isEmpty());
        const auto models = gFMSets->Item(key)->FuelModels();
        QCOMPARE(models->Count(), 2);
        QCOMPARE(models->Item(1)->FuelModelID(), QStringLiteral("C1_2"));
        QCOMPARE(models->Item(1)->FuelCat(), 3.0);
        QCOMPARE(models->Item(2)->FuelCat(), 1.0);

        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        click(key);
        bool seen = false;
        whenShown<FmdExportDialog>([&](FmdExportDialog &d) {
            seen = true;
            QCOMPARE(d.tblModels->item(0, 1)->text(), QStringLiteral("28"));
            QCOMPARE(d.tblModels->item(1, 1)->text(), QStringLiteral("29"));
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        win().ExportCustomModels();
        QVERIFY(seen);
        // C1's live heat contents differ (8200 and 8300 btu/lb = 19073 and 19306 kJ/kg).
        click(setKey("Custom"));
        whenShown<FmdExportDialog>([](FmdExportDialog &d) {
            const QString problems = d.txtProblems->toPlainText();
            QVERIFY2(problems.contains("19306 kJ/kg"), qPrintable(problems));
            QVERIFY(!problems.contains("btu"));
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        win().ExportCustomModels();
        Units::UnitSetting::instance().setSystem(Units::System::English);
    }

    void setsFromAnotherLibraryAreCopiedUnderFreeNamesOnlyWhenConfirmed()
    {
        start();
        const QString other = m_libraryDir->filePath("colleague.FFM");
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\"[FuelModelSet:Custom,Count:1]\"\r\n"
                    "\"X1\",\"Theirs\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                    "\"[FuelModelSet:Shrubs,Count:0, Locked]\"\r\n\"[End]\"\r\n");
        }
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return other; });
        const QByteArray before = libraryBytes();
        whenShown<OtherLibraryDialog>([](OtherLibraryDialog &d) {
            QCOMPARE(d.tblSets->rowCount(), 2);
            QCOMPARE(d.tblSets->item(0, 1)->text(), QStringLiteral("1"));
            QCOMPARE(d.tblSets->item(0, 2)->text(), QStringLiteral("Custom (2)")); // "Custom" is taken here
            QVERIFY(!d.cmdImport->isEnabled());                                    // nothing ticked yet
            d.tblSets->item(0, 0)->setCheckState(Qt::Checked);
            QVERIFY(d.cmdImport->isEnabled());
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        win().ImportSetsFromLibrary();
        QCOMPARE(libraryBytes(), before);

        whenShown<OtherLibraryDialog>([](OtherLibraryDialog &d) {
            d.tblSets->item(0, 0)->setCheckState(Qt::Checked);
            d.tblSets->item(1, 0)->setCheckState(Qt::Checked);
            d.tblSets->item(1, 2)->setText("Custom (2)"); // the same name twice
            QVERIFY(!d.cmdImport->isEnabled());
            d.tblSets->item(1, 2)->setText("Their shrubs");
            QVERIFY(d.cmdImport->isEnabled());
            QTest::mouseClick(d.cmdImport, Qt::LeftButton);
        });
        win().ImportSetsFromLibrary();
        QVERIFY(libraryBytes().endsWith("\"[FuelModelSet:Custom (2),Count:1]\"\r\n"
                                        "\"X1\",\"Theirs\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                                        "\"[FuelModelSet:Their shrubs,Count:0, Locked]\"\r\n\"[End]\"\r\n"));
        checkAfterAction("import sets");

        // Both sets came in with one command, and go out with one undo.
        const int sets = gFMSets->Count();
        QCOMPARE(win().actUndo->text(), QStringLiteral("&Undo Import 2 Sets"));
        win().actUndo->trigger();
        QCOMPARE(gFMSets->Count(), sets - 2);
        QVERIFY(setKey("Custom (2)").isEmpty() && setKey("Their shrubs").isEmpty());
        QCOMPARE(libraryBytes(), before);
        checkAfterAction("undo of the sets' import");
    }

    // IDs are unique across the library: a set from another library whose model has an ID this
    // library has comes in with a free one, and a message says which; the model can then be
    // saved from the editor.
    void setsFromAnotherLibraryGetFreeIdsAndSaySo()
    {
        start();
        const QString other = m_libraryDir->filePath("theirs.FFM");
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\"[FuelModelSet:Theirs,Count:2]\"\r\n"
                    "\"c1\",\"Same ID\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                    "\"Y1\",\"Free ID\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                    "\"[End]\"\r\n");
        }
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return other; });
        whenShown<OtherLibraryDialog>([](OtherLibraryDialog &d) {
            d.tblSets->item(0, 0)->setCheckState(Qt::Checked);
            QTest::mouseClick(d.cmdImport, Qt::LeftButton);
        });
        m_prompts->ExpectMessage({});
        win().ImportSetsFromLibrary();
        QVERIFY(m_prompts->Finished());
        QVERIFY2(m_prompts->Log().last().contains("Set \"Theirs\": the ID \"c1\" is taken; the model's ID is \"c1_2\""),
                 qPrintable(m_prompts->Log().last()));
        const auto models = gFMSets->Item(setKey("Theirs"))->FuelModels();
        QCOMPARE(models->Item(1)->FuelModelID(), QStringLiteral("c1_2"));
        QCOMPARE(models->Item(2)->FuelModelID(), QStringLiteral("Y1"));
        checkAfterAction("import with a taken ID");
    }

    void theCommandsAreInTheFileMenuAndAReadOnlyLibraryTakesNoImport()
    {
        start();
        const QList<QAction *> file = win().mnuFile->actions();
        for (QAction *a :
             {win().actImportCustomModels, win().actImportSets, win().actExportCustomModels, win().actExportSetCsv})
            QVERIFY2(file.indexOf(a) >= 0 && file.indexOf(a) < file.indexOf(win().actQuit),
                     qPrintable(a->objectName()));

        // A second copy of the program has the library read-only: an import is refused before
        // any file is asked for.
        m_prompts->ExpectYesNo({}, true);
        frmVarrow second(m_prompts.get());
        QVERIFY(second.ReadOnly());
        bool asked = false;
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &) {
            asked = true;
            return QString();
        });
        const QByteArray before = libraryBytes();
        m_prompts->ExpectMessage({}).ExpectMessage({});
        second.actImportSets->trigger();
        second.actImportCustomModels->trigger();
        QVERIFY(m_prompts->Finished());
        QVERIFY(!asked);
        QVERIFY(m_prompts->Log().last().contains(QStringLiteral("read-only")));
        QCOMPARE(libraryBytes(), before);
    }

    void csvOfTheSelectedSetInTheUnitsShown()
    {
        start();
        const QString out = m_libraryDir->filePath("custom");
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &c) { return c.save ? out : QString(); });
        click(modelKey("Custom", "C1")); // a model: its set is exported
        win().actExportSetCsv->trigger();
        const QByteArray csv = readAll(out + ".csv");
        QVERIFY2(csv.contains("Fuel Model ID,Description,1 Hour Loading (t/ac),"), csv.constData());
        QVERIFY(csv.contains(
            "\r\nC1,Custom one,12000,1,1,0,3,2000,1800,1600,8100,8200,8300,0.5,30,2 - Brush,1 - Static,,,\r\n"));
        QVERIFY(csv.contains(",Herb Type,Source,Author,Notes\r\n"));

        // With notes, the last three columns hold them.
        ModelNotes &n =
            gLibraryNotes.Edit(gFMSets->Item(setKey("Custom"))->FuelModels()->Item(modelKey("Custom", "C1")));
        n.source = "Plots 3-9";
        n.author = "Ana";
        n.notes = "two\nlines";
        win().actExportSetCsv->trigger();
        QVERIFY(readAll(out + ".csv").contains(",2 - Brush,1 - Static,Plots 3-9,Ana,\"two\nlines\"\r\n"));
    }

    // Sets from a library that has a notes file bring their notes: the set's description, each
    // model's source and history, and where each came from; undone with the import.
    void setsFromAnotherLibraryBringTheirNotes()
    {
        start();
        const QString other = m_libraryDir->filePath("colleague.FFM");
        const QByteArray otherBytes = "\"[FuelModelSet:Coast,Count:1]\"\n"
                                      "\"X1\",\"Theirs\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\n"
                                      "\"[End]\"\n";
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(otherBytes);
            QFile n(other + ".notes");
            QVERIFY(n.open(QIODevice::WriteOnly));
            n.write(
                "\xEF\xBB\xBF{\"format\": \"varrow-notes\", \"version\": 1, \"library\": \"colleague.FFM\",\n"
                "\"sets\": [{\"name\": \"Coast\", \"description\": \"Coastal plain\", \"owner\": \"Bo\", \"notes\": "
                "\"\"}],\n"
                "\"models\": [{\"set\": \"Coast\", \"id\": \"x1\", \"source\": \"Campaign 2019\", \"author\": \"Bo\",\n"
                "\"notes\": \"\", \"history\": [{\"date\": \"2026-12-01T08:00:00+01:00\", \"kind\": "
                "\"created-blank\"}]}]}\n");
        }
        m_prompts->AnswerFiles([&](const IPrompts::FileChoice &) { return other; });
        whenShown<OtherLibraryDialog>([](OtherLibraryDialog &d) {
            d.tblSets->item(0, 0)->setCheckState(Qt::Checked);
            QTest::mouseClick(d.cmdImport, Qt::LeftButton);
        });
        win().ImportSetsFromLibrary();
        checkAfterAction("import with notes");
        const auto coast = gFMSets->Item(setKey("Coast"));
        const SetNotes *setNotes = gLibraryNotes.Of(coast.get());
        QVERIFY(setNotes);
        QCOMPARE(setNotes->description, QStringLiteral("Coastal plain"));
        const ModelNotes *notes = gLibraryNotes.Of(coast->FuelModels()->Item(modelKey("Coast", "X1")).get());
        QVERIFY(notes);
        QCOMPARE(notes->source, QStringLiteral("Campaign 2019")); // found by ID in any letter case
        QCOMPARE(notes->history.size(), 2);
        QCOMPARE(notes->history[0].value("kind").toString(), QStringLiteral("created-blank"));
        QCOMPARE(notes->history[1].value("kind").toString(), QStringLiteral("imported"));
        QCOMPARE(notes->history[1].value("sha256").toString(),
                 QString::fromLatin1(QCryptographicHash::hash(otherBytes, QCryptographicHash::Sha256).toHex()));
        win().actUndo->trigger();
        checkAfterAction("undo of the import");
        QVERIFY(gLibraryNotes.IsEmpty());
    }
};

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
