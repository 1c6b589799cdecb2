// Every library action keeps the notes in step with the library and the tree, and every
// picture for undo and redo brings back the notes of its moment: the library, the tree and the
// notes file agree after each step, backwards and forwards.

#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibraryHistory.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"
#include "library/ModelNotes.h"
#include "library/NotesFile.h"
#include "support/LibraryInvariant.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kLibrary = "\"[FuelModelSet:Master,Count:1, Locked]\"\r\n"
                            "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:Mine,Count:2]\"\r\n"
                            "\"X1\",\"Mine one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"X2\",\"Mine two\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"[FuelModelSet:Other,Count:0]\"\r\n"
                            "\"[End]\"\r\n";

const QDateTime kNow(QDate(2026, 12, 10), QTime(8, 30, 0), Qt::OffsetFromUTC, 3600);

class NotesActions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LibrarySession::ResetProgram();
        SetNotesClock([] { return kNow; });
        const LibraryReadResult read = ReadLibrary(kLibrary, m_tree);
        ASSERT_TRUE(read.ok);
        gFMSets = read.sets;
        ModelNotes &x1 = gLibraryNotes.Edit(model("X1"));
        x1.source = "Field campaign 2019";
        x1.author = "Ana";
        x1.notes = "grazed\nplots 3-9";
        x1.history << CreatedBlankEntry(kNow.addDays(-30));
        gLibraryNotes.Edit(model("X2")).author = "Bo";
        gLibraryNotes.Edit(set("Mine")).owner = "Ana";
    }
    void TearDown() override { SetNotesClock(nullptr); }

    QString keyOf(const QString &text) const
    {
        for (int i = 1; i <= m_tree.Count(); ++i)
            if (m_tree.Text(m_tree.KeyAt(i)) == text)
                return m_tree.KeyAt(i);
        return {};
    }
    std::shared_ptr<FuelModel> model(const QString &id, const QString &inSet = {}) const
    {
        for (const auto &s : *gFMSets)
            if (inSet.isEmpty() || s->Name() == inSet)
                for (const auto &fm : *s->FuelModels())
                    if (fm->FuelModelID() == id)
                        return fm;
        return nullptr;
    }
    std::shared_ptr<FuelModelSet> set(const QString &name) const
    {
        for (const auto &s : *gFMSets)
            if (s->Name() == name)
                return s;
        return nullptr;
    }
    void act(const QString &word, const QString &selectText)
    {
        m_tree.SetSelectedKey(keyOf(selectText));
        EditAction(m_ctx, word);
        ASSERT_TRUE(m_prompts.Finished()) << word.toStdString();
    }
    // What the notes file would hold now (its bytes are the notes' agreement with the library).
    QByteArray notesBytes() const { return SerializeNotes(DetachNotes(gLibraryNotes, *gFMSets)); }
    QByteArray libraryBytes() const { return SerializeLibrary(*gFMSets, nullptr); }

    MemoryTree m_tree;
    ScriptedPrompts m_prompts;
    EditContext m_ctx{m_tree, m_prompts, [] {}, [] {}, {}};
};

TEST_F(NotesActions, EveryActionAndItsUndoAndRedoKeepTheNotesTheTreeAndTheFileInAgreement)
{
    std::vector<LibrarySnapshot> pictures{CaptureLibrary(*gFMSets, m_tree)};
    std::vector<QByteArray> libraries{libraryBytes()};
    std::vector<QByteArray> notes{notesBytes()};
    const auto step = [&](const char *what) {
        EXPECT_EQ(TreeAndLibraryDiffer(m_tree, *gFMSets), QString()) << what;
        pictures.push_back(CaptureLibrary(*gFMSets, m_tree));
        libraries.push_back(libraryBytes());
        notes.push_back(notesBytes());
        EXPECT_NE(notes.back(), notes[notes.size() - 2]) << what << " left the notes as they were";
    };

    // Copy and paste: the copy takes the texts and starts its own history.
    act("COPY", "X1 - Mine one");
    gPasteMode = "Copy";
    m_prompts.ExpectPaste("P1", "Pasted one");
    act("PASTE", "Other");
    const ModelNotes *pasted = gLibraryNotes.Of(model("P1").get());
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->source, "Field campaign 2019");
    EXPECT_EQ(pasted->notes, "grazed\nplots 3-9");
    EXPECT_EQ(pasted->history, QList<QJsonObject>({CopiedFromEntry(kNow, "Mine", "X1")}));
    EXPECT_EQ(gLibraryNotes.Of(model("X1").get())->history.size(), 1); // the original's history is its own
    step("paste of a copy");

    // Cut and paste: the model's own notes and history go along, nothing is added.
    act("COPY", "X1 - Mine one");
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X1 - Mine one?", true);
    act("DELETE", "X1 - Mine one");
    gPasteMode = "Cut";
    ASSERT_EQ(gLibraryNotes.OrphanedModels(*gFMSets).size(), 1);
    EXPECT_EQ(gLibraryNotes.OrphanedModels(*gFMSets)[0].notes.set, "Mine");
    step("cut");
    act("PASTE", "Other");
    const ModelNotes *moved = gLibraryNotes.Of(model("X1", "Other").get());
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->history, QList<QJsonObject>({CreatedBlankEntry(kNow.addDays(-30))}));
    EXPECT_EQ(moved->author, "Ana");
    EXPECT_TRUE(gLibraryNotes.OrphanedModels(*gFMSets).isEmpty());
    step("paste of a cut model");

    // Delete: the notes stay, orphaned, and are written so.
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X2 - Mine two?", true);
    act("DELETE", "X2 - Mine two");
    ASSERT_EQ(gLibraryNotes.OrphanedModels(*gFMSets).size(), 1);
    EXPECT_TRUE(notesBytes().contains("  \"orphans\": [\n    {\n      \"set\": \"Mine\",\n      \"id\": \"X2\",\n"));
    step("delete");

    // A new blank model and a set renamed are in the histories.
    act("ADDMODEL", "Mine");
    EXPECT_EQ(gLibraryNotes.Of(model("New").get())->history, QList<QJsonObject>({CreatedBlankEntry(kNow)}));
    step("new blank model");
    const QString otherKey = keyOf("Other");
    gFMSets->Item(otherKey)->setName("Grasses");
    m_tree.SetText(otherKey, "Grasses");
    RecordSetRename(gLibraryNotes, *gFMSets->Item(otherKey), "Other", "Grasses");
    EXPECT_EQ(gLibraryNotes.Of(model("P1").get())->history.last(), SetRenamedEntry(kNow, "Other", "Grasses"));
    EXPECT_EQ(gLibraryNotes.Of(model("X1").get())->history.last(), SetRenamedEntry(kNow, "Other", "Grasses"));
    step("set renamed");

    // A whole set pasted: each model's copy has its own history; the set's notes come along.
    act("COPY", "Mine");
    gPasteMode = "Copy";
    m_prompts.ExpectInput("Enter the copy's set name", QString("Mine again"));
    act("PASTE", "Mine");
    EXPECT_EQ(gLibraryNotes.Of(set("Mine again").get())->owner, "Ana");
    EXPECT_EQ(gLibraryNotes.Of(model("New", "Mine again").get())->history,
              QList<QJsonObject>({CopiedFromEntry(kNow, "Mine", "New")}));
    step("paste of a set");

    // An import brings the notes it is given.
    ImportedSet imported;
    imported.name = "From file";
    auto fm = std::make_shared<FuelModel>(*model("1"));
    fm->setFuelModelID("F1");
    imported.models << fm;
    ModelNotes from;
    from.history << ImportedEntry(kNow, "/data/custom.fmd", 3, "00ff");
    imported.notes << from;
    AddImportedSets(m_ctx, {imported});
    EXPECT_EQ(gLibraryNotes.Of(model("F1").get())->history, from.history);
    step("import");

    // Back through every step and forward again: library, tree and notes of each moment.
    for (int i = int(pictures.size()) - 1; i >= 0; --i) {
        RestoreLibrary(pictures[std::size_t(i)], m_tree);
        EXPECT_EQ(libraryBytes(), libraries[std::size_t(i)]) << "back to step " << i;
        EXPECT_EQ(notesBytes(), notes[std::size_t(i)]) << "back to step " << i;
        EXPECT_EQ(TreeAndLibraryDiffer(m_tree, *gFMSets), QString()) << "back to step " << i;
    }
    EXPECT_EQ(gLibraryNotes.Of(model("X2").get())->author, "Bo"); // the deleted model's notes are back
    EXPECT_TRUE(gLibraryNotes.OrphanedModels(*gFMSets).isEmpty());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        RestoreLibrary(pictures[i], m_tree);
        EXPECT_EQ(notesBytes(), notes[i]) << "forward to step " << i;
    }
}

// A change of the notes alone is a change of the library for the history.
TEST_F(NotesActions, APictureDiffersWhenOnlyTheNotesDiffer)
{
    const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree);
    EXPECT_TRUE(SameLibrary(before, CaptureLibrary(*gFMSets, m_tree)));
    gLibraryNotes.Edit(model("X2")).notes = "typed in the notes box";
    EXPECT_FALSE(SameLibrary(before, CaptureLibrary(*gFMSets, m_tree)));
    gLibraryNotes.Edit(model("X2")).notes.clear();
    EXPECT_TRUE(SameLibrary(before, CaptureLibrary(*gFMSets, m_tree)));
}

} // namespace
