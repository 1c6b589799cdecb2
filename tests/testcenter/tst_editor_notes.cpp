// The Notes tab of the Edit and Test Center through its boxes: the model's notes shown, typed
// and written by Save with the values (a failed write takes both back), the close button asking
// about typed notes, a locked model's notes read-only, an applied calibration recorded at Save,
// and the printed report's Notes section.
#include "support/EditorFixture.h"

#include "library/ModelNotes.h"
#include "testcenter/ui/EditorReport.h"

#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

class EditorNotesTest : public QObject
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
        QCoreApplication::processEvents();
    }
    void showNotesTab()
    {
        QTabWidget *tabs = editor->tabResults();
        const int tab = tabs->indexOf(editor->findChild<QWidget *>(QStringLiteral("pagNotes")));
        QVERIFY(tab >= 5); // after the chart tabs and "Reference Fuel Model"
        QCOMPARE(tabs->tabText(tab), QStringLiteral("Notes"));
        tabs->setCurrentIndex(tab);
    }
    static void retype(QWidget *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static QDateTime at(int hour) { return QDateTime(QDate(2026, 12, 9), QTime(hour, 40, 5), Qt::OffsetFromUTC, 3600); }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        ResetLibraryNotes();
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        SetNotesClock([] { return at(11); });
    }
    void cleanup()
    {
        editor.reset();
        ResetTestCenterState();
        ResetLibraryNotes();
        SetNotesClock(nullptr);
    }

    void theNotesAreShownAndSavedWithTheValues()
    {
        ModelNotes &n = gLibraryNotes.Edit(lib->timberGrass);
        n.source = "Handbook table 4";
        n.author = "Ana";
        n.history << CreatedBlankEntry(at(9)) << SavedEntry(at(10), {{"depth", 0.5, 1.0}});
        open(lib->timberGrass);
        showNotesTab();
        QCOMPARE(editor->txtNotesSource()->text(), QStringLiteral("Handbook table 4"));
        QCOMPARE(editor->txtNotesAuthor()->text(), QStringLiteral("Ana"));
        QCOMPARE(editor->txtNotes()->toPlainText(), QString());
        // The whole history, oldest first.
        QCOMPARE(editor->txtNotesHistory()->toPlainText(),
                 QStringLiteral("2026-12-09 09:40 created as a new blank model\n"
                                "2026-12-09 10:40 saved: Fuel bed depth 0.5 -> 1"));
        QVERIFY(editor->txtNotesHistory()->isReadOnly());
        QVERIFY(!editor->HasUnsavedEdits());

        retype(editor->txtNotesAuthor(), "Ana Reyes");
        QTest::mouseClick(editor->txtNotes(), Qt::LeftButton);
        QTest::keyClicks(editor->txtNotes(), "Grazed plots.");
        QTest::keyClick(editor->txtNotes(), Qt::Key_Return);
        QTest::keyClicks(editor->txtNotes(), "Depth in May.");
        QVERIFY(editor->NotesChanged());
        QVERIFY(editor->HasUnsavedEdits()); // notes alone count
        // Not in the library until Save.
        QCOMPARE(gLibraryNotes.Of(lib->timberGrass.get())->author, QStringLiteral("Ana"));

        typeInto(*editor, 13, QStringLiteral("1.5")); // the depth too: one Save writes both
        bool notesAtWrite = false;
        owner->onSave = [&] {
            const ModelNotes *at = gLibraryNotes.Of(lib->timberGrass.get());
            notesAtWrite = at && at->author == "Ana Reyes" && at->notes == "Grazed plots.\nDepth in May." &&
                lib->timberGrass->BulkDensityDepth() == 1.5;
        };
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QVERIFY(notesAtWrite);
        const ModelNotes *saved = gLibraryNotes.Of(lib->timberGrass.get());
        QCOMPARE(saved->source, QStringLiteral("Handbook table 4"));
        QCOMPARE(saved->history.size(), 2); // the owner records the values' changes, not the editor
        QVERIFY(!editor->NotesChanged());
        QVERIFY(!editor->HasUnsavedEdits());
    }

    void aFailedWriteTakesTheNotesBack()
    {
        open(lib->shortGrass);
        showNotesTab();
        retype(editor->txtNotesSource(), "Campaign 2019");
        CalibrationRecord fit;
        fit.observationsFile = "fires.csv";
        fit.observationsSha256 = "ab";
        fit.fires = 4;
        fit.objective = "log";
        fit.freeParameters = {"depth"};
        editor->SetAppliedCalibration(fit);
        owner->saveOk = false;
        owner->saveError = QStringLiteral("disk full");
        prompts->ExpectMessage({}, QStringLiteral("Save Fuel Model"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QVERIFY(prompts->Finished());
        // The model had no notes: it has none again; the boxes and the fit wait for the next Save.
        QVERIFY(!gLibraryNotes.Of(lib->shortGrass.get()) || gLibraryNotes.Of(lib->shortGrass.get())->IsEmpty());
        QCOMPARE(editor->txtNotesSource()->text(), QStringLiteral("Campaign 2019"));
        QVERIFY(editor->AppliedCalibration().has_value());

        // A model with notes gets exactly its old notes back (no calibration entry left).
        editor.reset();
        ModelNotes &n = gLibraryNotes.Edit(lib->timberGrass);
        n.notes = "old";
        n.history << CreatedBlankEntry(at(9));
        const ModelNotes before = n;
        open(lib->timberGrass);
        retype(editor->txtNotes(), "new");
        editor->SetAppliedCalibration(fit);
        prompts->ExpectMessage({}, QStringLiteral("Save Fuel Model"));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(*gLibraryNotes.Of(lib->timberGrass.get()), before);

        // Written at last: the calibration is in the history once, and the fit is done with.
        owner->saveOk = true;
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        const ModelNotes *saved = gLibraryNotes.Of(lib->timberGrass.get());
        QCOMPARE(saved->notes, QStringLiteral("new"));
        QCOMPARE(saved->history.size(), 2);
        QCOMPARE(saved->history[1], CalibratedEntry(at(11), fit));
        QVERIFY(!editor->AppliedCalibration());
        QVERIFY(editor->txtNotesHistory()->toPlainText().endsWith(
            QStringLiteral("2026-12-09 11:40 calibrated against fires.csv (4 fires, log; free: depth)")));
        QTest::mouseClick(editor->cmdApply(), Qt::LeftButton);
        QCOMPARE(gLibraryNotes.Of(lib->timberGrass.get())->history.size(), 2); // not again
    }

    void theCloseButtonAsksAboutTypedNotes()
    {
        open(lib->shortGrass);
        retype(editor->txtNotesAuthor(), "Bo");
        prompts->ExpectYesNoCancel({}, IPrompts::Answer::Cancel, QStringLiteral("Close the Edit and Test Center"));
        editor->close();
        QVERIFY(editor->isVisible());
        prompts->ExpectYesNoCancel({}, IPrompts::Answer::Yes, QStringLiteral("Close the Edit and Test Center"));
        editor->close();
        QVERIFY(!editor->isVisible());
        QCOMPARE(gLibraryNotes.Of(lib->shortGrass.get())->author, QStringLiteral("Bo"));
        QVERIFY(prompts->Finished());
    }

    void aLockedModelsNotesAreReadOnly()
    {
        gLibraryNotes.Edit(lib->timberLitter).source = "Standard set";
        open(lib->timberLitter, false);
        QCOMPARE(editor->txtNotesSource()->text(), QStringLiteral("Standard set"));
        QVERIFY(editor->txtNotesSource()->isReadOnly());
        QVERIFY(editor->txtNotesAuthor()->isReadOnly());
        QVERIFY(editor->txtNotes()->isReadOnly());
        QVERIFY(!editor->HasUnsavedEdits());
    }

    void theReportHasANotesSectionWithTheHistory()
    {
        ModelNotes &n = gLibraryNotes.Edit(lib->shortGrass);
        n.source = "Plots <3-9> & more";
        n.history << CopiedFromEntry(at(9), "Orla Master", "1");
        open(lib->shortGrass);
        retype(editor->txtNotesAuthor(), "Ana");
        retype(editor->txtNotes(), "line one");
        QTest::keyClick(editor->txtNotes(), Qt::Key_Return);
        QTest::keyClicks(editor->txtNotes(), "line two");
        EditorReport *report = EditorReport::Of(editor.get());
        QVERIFY(report);
        const ModelReport content = report->Content();
        QCOMPARE(content.source, QStringLiteral("Plots <3-9> & more"));
        QCOMPARE(content.author, QStringLiteral("Ana")); // the boxes as they stand
        QCOMPARE(content.history, QStringList{"2026-12-09 09:40 copied from 1 of set \"Orla Master\""});
        const QString html = ModelReportHtml(content);
        const QString heading = QStringLiteral("<h3 style=\"page-break-before: always\">Notes</h3>");
        QVERIFY2(html.contains(heading), qPrintable(html));
        QVERIFY(html.contains("<td>Source</td><td align=\"right\">Plots &lt;3-9&gt; &amp; more</td>"));
        QVERIFY(html.contains("<p>line one<br>line two</p>"));
        QVERIFY(html.contains("<li>2026-12-09 09:40 copied from 1 of set &quot;Orla Master&quot;</li>"));
        // The notes come last, on a page of their own.
        QVERIFY(html.indexOf(heading) > html.indexOf("<h3>Results"));

        ModelReport none = content;
        none.history.clear();
        QVERIFY(ModelReportHtml(none).contains("<p>History: none recorded.</p>"));
    }
};

QTEST_MAIN(EditorNotesTest)
#include "tst_editor_notes.moc"
