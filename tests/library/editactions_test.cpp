#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"
#include "support/LibraryInvariant.h"
#include "support/ScriptedPrompts.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kLibrary = "\"[FuelModelSet:Master,Count:2, Locked]\"\r\n"
                            "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"FM2\",\"Timber grass\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:Mine,Count:1]\"\r\n"
                            "\"X1\",\"Mine one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"[FuelModelSet:Other,Count:0]\"\r\n"
                            "\"[End]\"\r\n";

class EditActions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LibrarySession::ResetProgram();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("OrlaFuelModels.FFM");
        const LibraryReadResult read = ReadLibrary(kLibrary, m_tree);
        ASSERT_TRUE(read.ok);
        gFMSets = read.sets;
    }

    // Runs the action, then checks what must hold after every action: the tree and the
    // library agree, and the file holds the library whenever the action saved.
    void act(const QString &word)
    {
        const int before = m_saves;
        EditAction(m_ctx, word);
        EXPECT_EQ(TreeAndLibraryDiffer(m_tree, *gFMSets), QString()) << word.toStdString();
        if (m_saves > before) {
            QFile f(m_path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), SerializeLibrary(*gFMSets, nullptr)) << word.toStdString();
        }
        EXPECT_TRUE(m_prompts.Finished()) << "unused answers after " << word.toStdString();
    }

    QString setKey(const QString &name) const
    {
        for (int i = 1; i <= gFMSets->Count(); ++i)
            if (gFMSets->Item(i)->Name() == name)
                return keyOfSet(i);
        return {};
    }
    QString keyOfSet(int position) const
    {
        for (int i = 1; i <= m_tree.Count(); ++i) {
            const QString k = m_tree.KeyAt(i);
            if (m_tree.ParentKey(k).isEmpty() && gFMSets->PositionOf(k) == position)
                return k;
        }
        return {};
    }
    QString modelKey(const QString &set, const QString &id) const
    {
        for (const auto &fm : *gFMSets->Item(setKey(set))->FuelModels())
            if (fm->FuelModelID() == id)
                return fm->Key();
        return {};
    }
    std::shared_ptr<FuelModels> models(const QString &set) const { return gFMSets->Item(setKey(set))->FuelModels(); }
    void select(const QString &key) { m_tree.SetSelectedKey(key); }

    QTemporaryDir m_dir;
    QString m_path;
    MemoryTree m_tree;
    ScriptedPrompts m_prompts;
    int m_saves = 0;
    int m_pasteEnables = 0;
    EditContext m_ctx{m_tree,
                      m_prompts,
                      [this] { ++m_pasteEnables; },
                      [this] {
                          ++m_saves;
                          QString error;
                          ASSERT_TRUE(WriteFMs(m_path, *gFMSets, &error)) << error.toStdString();
                      },
                      {}};
};

TEST_F(EditActions, CopyOfAModelPastedIntoAnotherSetTakesTheNewTextsAndTheValuesAtPasteTime)
{
    const QString source = modelKey("Master", "1");
    select(source);
    act("copy");
    EXPECT_EQ(gClipFM, models("Master")->Item(source)) << "the clipboard refers to the library's record";
    EXPECT_EQ(m_pasteEnables, 1);
    EXPECT_EQ(m_saves, 0);

    gClipFM->setLoading1Hour(0.9); // as if saved in the editor after the copy
    gPasteMode = "Copy";
    select(setKey("Mine"));
    m_prompts.ExpectPaste("99", "X");
    act("PASTE");

    ASSERT_EQ(models("Mine")->Count(), 2);
    const auto pasted = models("Mine")->Item(2);
    EXPECT_EQ(pasted->FuelModelID(), "99");
    EXPECT_EQ(pasted->Description(), "X");
    EXPECT_EQ(pasted->Loading1Hour(), 0.9);
    EXPECT_EQ(pasted->SurfaceToVolume1Hour(), 3500);
    EXPECT_DOUBLE_EQ(pasted->MoistureOfExtinction(), 12);
    EXPECT_EQ(m_tree.Text(pasted->Key()), "99 - X");
    EXPECT_EQ(m_tree.SelectedKey(), pasted->Key());
    EXPECT_TRUE(m_tree.IsExpanded(setKey("Mine")));
    EXPECT_EQ(models("Master")->Item(source)->FuelModelID(), "1");
    EXPECT_EQ(m_saves, 1);
}

TEST_F(EditActions, PasteRefusesWhatTheDialogMustRefuseAndCancelChangesNothing)
{
    select(modelKey("Mine", "X1"));
    act("COPY");
    gPasteMode = "Copy";
    select(setKey("Other"));
    // An ID of another set differing in case and blanks, then a description the file cannot hold.
    m_prompts.ExpectPaste(" fm2", "Copy")
        .ExpectMessage("ERROR: Fuel model ID  fm2  already exists", "Fuel Model ID")
        .ExpectPaste("Z9", "say \"hi\"")
        .ExpectMessage({}, "Fuel Model ID")
        .ExpectPaste({}, {});
    const int keys = NodeKeyCounter();
    act("PASTE");
    EXPECT_EQ(models("Other")->Count(), 0);
    EXPECT_EQ(m_saves, 0);
    EXPECT_EQ(NodeKeyCounter(), keys + 1) << "the key is drawn before the dialog";
}

TEST_F(EditActions, CutModelPastesWithItsOwnTextsUnlessTheTargetSetHasItsID)
{
    const QString source = modelKey("Mine", "X1");
    select(source);
    act("COPY");
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X1 - Mine one?", true, "");
    act("DELETE");
    EXPECT_EQ(models("Mine")->Count(), 0);
    EXPECT_EQ(m_prompts.LastIcon(), IPrompts::Icon::Question);
    gPasteMode = "Cut";
    select(setKey("Other"));
    act("paste");
    ASSERT_EQ(models("Other")->Count(), 1);
    const auto pasted = models("Other")->Item(1);
    EXPECT_EQ(pasted->FuelModelID(), "X1");
    EXPECT_EQ(pasted->Description(), "Mine one");
    EXPECT_EQ(pasted->HeatContentLiveWoody(), 8300);
    EXPECT_NE(pasted->Key(), source);
    EXPECT_EQ(m_saves, 2);

    // The model is still in the set it goes into (a cut answered No): no second X1 there. The
    // user is told why and asked for a new ID as for a copy, and the ID is compared as the
    // paste dialog compares it.
    select(pasted->Key());
    act("COPY");
    m_prompts.ExpectYesNo({}, false);
    act("DELETE");
    EXPECT_EQ(m_saves, 3) << "a delete answered No still saves";
    gPasteMode = "Cut";
    pasted->setFuelModelID(" x1 ");
    m_tree.SetText(pasted->Key(), ModelNodeText(*pasted));
    m_prompts
        .ExpectMessage("The fuel model set \"Other\" already holds a fuel model with the ID x1.\r"
                       "Please give the pasted model a new ID and description.",
                       "Fuel Model ID")
        .ExpectPaste("X1", "Taken elsewhere") // the dialog's own check, library-wide
        .ExpectMessage("ERROR: Fuel model ID X1  already exists", "Fuel Model ID")
        .ExpectPaste("X2", "Second one");
    act("PASTE");
    ASSERT_EQ(models("Other")->Count(), 2);
    EXPECT_EQ(models("Other")->Item(2)->FuelModelID(), "X2");
    EXPECT_EQ(models("Other")->Item(2)->Description(), "Second one");
    EXPECT_EQ(models("Other")->Item(2)->HeatContentLiveWoody(), 8300);

    // Cancelled there: nothing pasted, nothing saved.
    m_prompts.ExpectMessage({}).ExpectPaste({}, {});
    act("PASTE");
    EXPECT_EQ(models("Other")->Count(), 2);
    EXPECT_EQ(m_saves, 4);
}

TEST_F(EditActions, CopyOfALockedSetIsAnUnlockedSetWithEveryModelAndAFreeName)
{
    select(setKey("Master"));
    act("Copy");
    EXPECT_FALSE(gClipFM) << "a set copy leaves the model clipboard alone";
    gPasteMode = "Copy";
    select(setKey("Other"));
    m_prompts.ExpectInput("Enter the copy's set name", QString("Mine"), "Fuel Model Set Name")
        .ExpectBeep()
        .ExpectInput("The fuel model set already exist! \rPlease change the name.", QString("Bad,Count:1"))
        .ExpectMessage({}, "Fuel Model Set Name")
        .ExpectInput("The fuel model set already exist! \rPlease change the name.", QString("mine"));
    act("PASTE");
    // A refused name comes back as typed, so that only the offending part needs mending.
    EXPECT_EQ(m_prompts.InputDefaults(), QStringList({"Copy of Master", "Mine", "Bad,Count:1"}));

    ASSERT_EQ(gFMSets->Count(), 4);
    const auto copy = gFMSets->Item(4);
    const QString copyKey = keyOfSet(4);
    EXPECT_EQ(copy->Name(), "mine") << "set names differing in case only are accepted here";
    EXPECT_FALSE(copy->Locked());
    EXPECT_TRUE(copyKey.startsWith('n'));
    ASSERT_EQ(copy->FuelModels()->Count(), 2);
    EXPECT_EQ(copy->FuelModels()->Item(2)->FuelModelID(), "FM2");
    EXPECT_EQ(copy->FuelModels()->Item(2)->Loading10Hour(), 1);
    EXPECT_NE(copy->FuelModels()->Item(2), models("Master")->Item(2)) << "new records, not shared ones";
    EXPECT_EQ(m_tree.SelectedKey(), copy->FuelModels()->Item(2)->Key());
    EXPECT_EQ(m_saves, 1);

    // The name box cancelled: nothing at all.
    m_prompts.ExpectInput({}, std::nullopt);
    act("PASTE");
    EXPECT_EQ(gFMSets->Count(), 4);
    EXPECT_EQ(m_saves, 1);
}

TEST_F(EditActions, PasteOfASetDeletedSinceTheCopyChangesNothing)
{
    const QString other = setKey("Other");
    select(other);
    act("COPY");
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model set: Other?", true);
    act("DELETE");
    const int saves = m_saves;
    gPasteMode = "Copy";
    select(setKey("Mine"));
    m_prompts.ExpectMessage({}, AppTitle());
    act("PASTE");
    EXPECT_EQ(gFMSets->Count(), 2);
    EXPECT_EQ(m_saves, saves);
    EXPECT_TRUE(m_prompts.Log().last().contains("no longer exists"));
}

TEST_F(EditActions, BlankModelsAreAddedWithTheFixedValuesAndTheSameId)
{
    select(modelKey("Mine", "X1"));
    act("addmodel");
    select(setKey("Mine"));
    act("AddModel");
    ASSERT_EQ(models("Mine")->Count(), 3);
    for (int i : {2, 3}) {
        const auto fm = models("Mine")->Item(i);
        EXPECT_EQ(fm->FuelModelID(), "New");
        EXPECT_EQ(m_tree.Text(fm->Key()), "New Model");
        EXPECT_EQ(fm->BulkDensityDepth(), 1);
        EXPECT_EQ(fm->HeatContentLiveHerb(), 8000);
        EXPECT_EQ(fm->MoistureOfExtinction(), 25);
        EXPECT_EQ(fm->Loading1Hour(), 0);
        EXPECT_EQ(fm->SurfaceToVolumeLiveWoody(), 0);
        EXPECT_EQ(fm->FuelCat(), 1);
        EXPECT_EQ(fm->HerbType(), 1);
    }
    EXPECT_EQ(m_tree.SelectedKey(), models("Mine")->Item(3)->Key());
    EXPECT_EQ(m_saves, 2);
}

TEST_F(EditActions, NewSetGoesAtTheEndWithoutMovingTheSelection)
{
    const QString sel = modelKey("Master", "FM2");
    select(sel);
    m_prompts.ExpectInput("Enter the name for the new fuel model set", std::nullopt);
    act("ADDSET");
    EXPECT_EQ(m_saves, 0);
    m_prompts.ExpectInput("Enter the name for the new fuel model set", QString("Other"))
        .ExpectBeep()
        .ExpectInput({}, QString("Brand new"));
    act("AddSet");
    EXPECT_EQ(m_prompts.InputDefaults(), QStringList({"New Fuel Model Set", "New Fuel Model Set", "Other"}));
    ASSERT_EQ(gFMSets->Count(), 4);
    EXPECT_EQ(gFMSets->Item(4)->Name(), "Brand new");
    EXPECT_EQ(gFMSets->Item(4)->FuelModels()->Count(), 0);
    EXPECT_EQ(m_tree.SelectedKey(), sel);
    EXPECT_EQ(m_saves, 1);
}

TEST_F(EditActions, DeletingASetAnsweredNoKeepsItAndYesRemovesItWithModelsAddedLater)
{
    // A model pasted into the first set sits after every other node in the tree's order.
    select(modelKey("Mine", "X1"));
    act("COPY");
    gPasteMode = "Cut";
    select(setKey("Mine"));
    m_prompts.ExpectMessage({}).ExpectPaste("X2", "Twin");
    act("PASTE");
    const QString mine = setKey("Mine");
    select(mine);
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model set: Mine?", false);
    act("DELETE");
    EXPECT_EQ(gFMSets->Count(), 3);
    EXPECT_EQ(models("Mine")->Count(), 2);

    m_prompts.ExpectYesNo({}, true);
    act("DELETE");
    EXPECT_EQ(gFMSets->Count(), 2);
    EXPECT_FALSE(m_tree.Contains(mine));
    EXPECT_EQ(m_tree.Count(), 4);
    EXPECT_EQ(m_saves, 3);
}

TEST_F(EditActions, EmptyLibraryAndUnknownWordsChangeNothing)
{
    act("RENAME");
    EXPECT_EQ(m_saves, 0);
    m_tree.Clear();
    gFMSets = std::make_shared<FuelModelSets>();
    gPasteMode = "Cut";
    const int keys = NodeKeyCounter();
    for (const char *word : {"PASTE", "ADDMODEL", "DELETE", "COPY"})
        act(word);
    EXPECT_EQ(m_saves, 0);
    EXPECT_EQ(NodeKeyCounter(), keys + 1) << "ADDMODEL draws its key before it looks at the tree";
    EXPECT_EQ(SelectedSetKey(m_tree), QString());

    m_prompts.ExpectInput({}, QString("First"));
    act("ADDSET");
    EXPECT_EQ(gFMSets->Count(), 1);
}

TEST_F(EditActions, SelectedSetKeyIsTheSetOfTheSelection)
{
    select(modelKey("Mine", "X1"));
    EXPECT_EQ(SelectedSetKey(m_tree), setKey("Mine"));
    select(setKey("Master"));
    EXPECT_EQ(SelectedSetKey(m_tree), setKey("Master"));
}

TEST_F(EditActions, RenameCheckComparesEverySetWithoutRegardToCase)
{
    const QString mine = setKey("Mine");
    EXPECT_EQ(CheckSetRename(m_tree, mine, "OTHER").outcome, SetRenameCheck::Taken);
    EXPECT_EQ(CheckSetRename(m_tree, mine, "MINE").outcome, SetRenameCheck::Taken);
    EXPECT_EQ(CheckSetRename(m_tree, mine, "OTHER").message, "Fuel model set already exists!\rPlease change the name.");
    EXPECT_EQ(CheckSetRename(m_tree, mine, "").outcome, SetRenameCheck::Unchanged);
    EXPECT_EQ(CheckSetRename(m_tree, mine, "Mine").outcome, SetRenameCheck::Unchanged);
    EXPECT_EQ(CheckSetRename(m_tree, mine, "A,Count:2").outcome, SetRenameCheck::Unstorable);
    EXPECT_EQ(CheckSetRename(m_tree, mine, QString::fromUtf8("Ω set")).outcome, SetRenameCheck::Unstorable);
    EXPECT_EQ(CheckSetRename(m_tree, mine, "Mine, renamed").outcome, SetRenameCheck::Accept);
}

TEST_F(EditActions, PasteEntriesAreCheckedInTheDialogsOrder)
{
    EXPECT_EQ(CheckPasteEntries(*gFMSets, "x1 ", "")->text, "ERROR: Fuel model ID x1   already exists");
    EXPECT_EQ(CheckPasteEntries(*gFMSets, "", "d")->text, "ERROR: Fuel model ID may not be blank");
    EXPECT_EQ(CheckPasteEntries(*gFMSets, "ok", "")->text, "ERROR: Fuel model Description may not be blank");
    EXPECT_EQ(CheckPasteEntries(*gFMSets, "ok", "")->box, 1);
    EXPECT_EQ(CheckPasteEntries(*gFMSets, "o\"k", "d")->box, 0);
    EXPECT_FALSE(CheckPasteEntries(*gFMSets, "LONGER THAN SIX", "   "));
}

} // namespace

TEST_F(EditActions, DeleteRefusesTheModelAnEditorHoldsAndTheSetThatHoldsIt)
{
    const QString held = modelKey("Mine", "X1");
    m_ctx.modelInEditor = held;
    select(held);
    m_prompts.ExpectMessage("The fuel model \"X1 - Mine one\" cannot be cut or deleted now: it is open in the Edit "
                            "and Test Center.\rClose the Edit and Test Center first.",
                            AppTitle());
    act("DELETE");
    select(setKey("Mine"));
    m_prompts.ExpectMessage("The fuel model set \"Mine\" cannot be deleted now: its fuel model \"X1 - Mine one\" is "
                            "open in the Edit and Test Center.\rClose the Edit and Test Center first.");
    act("DELETE");
    EXPECT_TRUE(m_tree.Contains(held));
    EXPECT_EQ(models("Mine")->Item(held)->FuelModelID(), "X1");
    EXPECT_EQ(m_saves, 0) << "a refused delete saves nothing";

    // Everything else is deleted as before.
    select(modelKey("Master", "FM2"));
    m_prompts.ExpectYesNo({}, true);
    act("DELETE");
    select(setKey("Other"));
    m_prompts.ExpectYesNo({}, true);
    act("DELETE");
    EXPECT_EQ(gFMSets->Count(), 2);
    EXPECT_EQ(models("Master")->Count(), 1);

    // Once the editor has let go, the model goes like any other.
    m_ctx.modelInEditor.clear();
    select(held);
    m_prompts.ExpectYesNo({}, true);
    act("DELETE");
    EXPECT_EQ(models("Mine")->Count(), 0);
}
