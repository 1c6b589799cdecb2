// Pictures of the library for undo and redo: putting one back restores the library, the tree
// and the file bytes of that moment, with the very objects other holders keep.

#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/LibraryFile.h"
#include "library/LibraryHistory.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"
#include "support/LibraryInvariant.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kLibrary = "\"[FuelModelSet:Master,Count:2, Locked]\"\r\n"
                            "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"FM2\",\"Timber grass\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:Mine,Count:2]\"\r\n"
                            "\"X1\",\"Mine one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"X2\",\"Mine two\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"[FuelModelSet:Other,Count:0]\"\r\n"
                            "\"[End]\"\r\n";

class LibraryHistory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LibrarySession::ResetProgram();
        m_tree.Clear();
        const LibraryReadResult read = ReadLibrary(kLibrary, m_tree);
        ASSERT_TRUE(read.ok);
        gFMSets = read.sets;
        m_tree.SetSelectedKey(keyOf("Master"));
    }

    QString keyOf(const QString &text) const
    {
        for (int i = 1; i <= m_tree.Count(); ++i)
            if (m_tree.Text(m_tree.KeyAt(i)) == text)
                return m_tree.KeyAt(i);
        return {};
    }
    void act(const QString &word, const QString &selectText)
    {
        m_tree.SetSelectedKey(keyOf(selectText));
        EditAction(m_ctx, word);
        if (word == "COPY")
            gPasteMode = "Copy"; // as the window marks the clipboard
        ASSERT_TRUE(m_prompts.Finished()) << word.toStdString();
    }
    QByteArray bytes() const { return SerializeLibrary(*gFMSets, nullptr); }
    void expectAgreement(const char *when) const
    {
        EXPECT_EQ(TreeAndLibraryDiffer(m_tree, *gFMSets), QString()) << when;
    }

    MemoryTree m_tree;
    ScriptedPrompts m_prompts;
    EditContext m_ctx{m_tree, m_prompts, [] {}, [] {}, {}};
};

TEST_F(LibraryHistory, EachPictureBringsBackTheLibraryTreeAndSelectionOfItsMoment)
{
    // A run of changes of every kind, then back through all of them and forward again.
    std::vector<LibrarySnapshot> pictures{CaptureLibrary(*gFMSets, m_tree)};
    std::vector<QByteArray> files{bytes()};
    auto step = [&] {
        pictures.push_back(CaptureLibrary(*gFMSets, m_tree));
        files.push_back(bytes());
    };
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X1 - Mine one?", true);
    act("DELETE", "X1 - Mine one");
    step();
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model set: Mine?", true);
    act("DELETE", "Mine");
    step();
    m_prompts.ExpectInput("Enter the name for the new fuel model set", QString("Fresh"));
    act("ADDSET", "Other");
    step();
    act("COPY", "FM2 - Timber grass");
    m_prompts.ExpectPaste("P1", "Pasted");
    act("PASTE", "Fresh");
    step();
    gFMSets->Item(keyOf("Fresh"))->setName("Renamed");
    m_tree.SetText(keyOf("Fresh"), "Renamed");
    step();
    ASSERT_EQ(files.size(), 6u);
    for (std::size_t i = 1; i < files.size(); ++i)
        ASSERT_NE(files[i], files[i - 1]) << "step " << i << " changed nothing";

    for (int i = int(pictures.size()) - 1; i >= 0; --i) {
        RestoreLibrary(pictures[std::size_t(i)], m_tree);
        EXPECT_EQ(bytes(), files[std::size_t(i)]) << "back to step " << i;
        expectAgreement("after going back");
        // A moment without a selection (its node had just gone) shows the first set.
        const QString selected = pictures[std::size_t(i)].selectedKey;
        EXPECT_EQ(m_tree.SelectedKey(), selected.isEmpty() ? m_tree.KeyAt(1) : selected) << "step " << i;
    }
    EXPECT_EQ(bytes(), kLibrary);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        RestoreLibrary(pictures[i], m_tree);
        EXPECT_EQ(bytes(), files[i]) << "forward to step " << i;
        expectAgreement("after going forward");
    }
}

TEST_F(LibraryHistory, RestoringKeepsTheObjectsAndKeysThatOthersHold)
{
    const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree);
    const QString x1Key = keyOf("X1 - Mine one");
    const QString mineKey = keyOf("Mine");
    const auto x1 = gFMSets->Item(mineKey)->FuelModels()->Item(x1Key);
    act("COPY", "X1 - Mine one");
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model set: Mine?", true);
    act("DELETE", "Mine");
    ASSERT_FALSE(gFMSets->Contains(mineKey));

    RestoreLibrary(before, m_tree);
    // The same record under the same key in the same place: the clipboard's model is the
    // library's own again, and the set is second as before.
    EXPECT_EQ(gFMSets->PositionOf(mineKey), 2);
    EXPECT_EQ(gFMSets->Item(mineKey)->FuelModels()->Item(x1Key), x1);
    EXPECT_EQ(gClipFM, x1);
    EXPECT_EQ(gFMSets->Item(mineKey)->FuelModels()->PositionOf(x1Key), 1);
    EXPECT_TRUE(gFMSets->Item(1)->Locked());
    EXPECT_FALSE(gFMSets->Item(2)->Locked());
    expectAgreement("after restore");
}

TEST_F(LibraryHistory, KeptValuesOfAnEditedModelComeBackWithItsNodeText)
{
    const QString key = keyOf("X2 - Mine two");
    const auto fm = gFMSets->Item(keyOf("Mine"))->FuelModels()->Item(key);
    const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree, {fm});
    fm->setFuelModelID("X9");
    fm->setLoading1Hour(3.25);
    m_tree.SetText(key, ModelNodeText(*fm));
    const LibrarySnapshot after = CaptureLibrary(*gFMSets, m_tree, {fm});
    EXPECT_FALSE(SameLibrary(before, after));

    RestoreLibrary(before, m_tree);
    EXPECT_EQ(bytes(), kLibrary);
    EXPECT_EQ(m_tree.Text(key), QString("X2 - Mine two"));
    EXPECT_EQ(gFMSets->Item(keyOf("Mine"))->FuelModels()->Item(key), fm);
    RestoreLibrary(after, m_tree);
    EXPECT_EQ(fm->Loading1Hour(), 3.25);
    EXPECT_EQ(m_tree.Text(key), QString("X9 - Mine two"));
}

TEST_F(LibraryHistory, APictureOfAnUnchangedLibraryIsTheSame)
{
    // Copying changes nothing, so the window records no step for it; a rename does.
    const LibrarySnapshot a = CaptureLibrary(*gFMSets, m_tree);
    act("COPY", "X1 - Mine one");
    EXPECT_TRUE(SameLibrary(a, CaptureLibrary(*gFMSets, m_tree)));
    gFMSets->Item(keyOf("Other"))->setName("Other ");
    EXPECT_FALSE(SameLibrary(a, CaptureLibrary(*gFMSets, m_tree)));
}

} // namespace

namespace {

// The same library as another program wrote it meanwhile, read into a picture of its own.
struct OtherCopy
{
    MemoryTree tree;
    LibrarySnapshot snap;
    explicit OtherCopy(const QByteArray &bytes)
    {
        const LibraryReadResult read = ReadLibrary(bytes, tree);
        EXPECT_TRUE(read.ok);
        snap = CaptureLibrary(*read.sets, tree);
    }
};

QByteArray bytesOf(const LibrarySnapshot &snap)
{
    MemoryTree tree;
    RestoreLibrary(snap, tree);
    return SerializeLibrary(*gFMSets, nullptr);
}

} // namespace

TEST_F(LibraryHistory, AChangeIsMadeAgainInTheLibraryAsTheFileNowHoldsIt)
{
    // Meanwhile another program added a model to "Other" and a set at the end.
    QByteArray outside = kLibrary;
    outside.replace("\"[FuelModelSet:Other,Count:0]\"\r\n",
                    "\"[FuelModelSet:Other,Count:1]\"\r\n"
                    "\"O1\",\"Outside\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,1,1\r\n");
    outside.replace("\"[End]\"", "\"[FuelModelSet:Later,Count:0]\"\r\n\"[End]\"");

    // Here: X1 deleted, "Mine" renamed, a model pasted into "Other".
    const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree);
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X1 - Mine one?", true);
    act("DELETE", "X1 - Mine one");
    gFMSets->Item(keyOf("Mine"))->setName("Mine 2");
    m_tree.SetText(keyOf("Mine"), "Mine 2");
    act("COPY", "FM2 - Timber grass");
    m_prompts.ExpectPaste("P1", "Pasted");
    act("PASTE", "Other");
    const LibrarySnapshot after = CaptureLibrary(*gFMSets, m_tree);

    OtherCopy other(outside);
    QString why;
    ASSERT_TRUE(ReplayChange(before, after, other.snap, &why)) << why.toStdString();
    const QByteArray expected = "\"[FuelModelSet:Master,Count:2, Locked]\"\r\n"
                                "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                                "\"FM2\",\"Timber grass\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                                "\"[FuelModelSet:Mine 2,Count:1]\"\r\n"
                                "\"X2\",\"Mine two\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                                "\"[FuelModelSet:Other,Count:2]\"\r\n"
                                "\"O1\",\"Outside\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,1,1\r\n"
                                "\"P1\",\"Pasted\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                                "\"[FuelModelSet:Later,Count:0]\"\r\n"
                                "\"[End]\"\r\n";
    EXPECT_EQ(bytesOf(other.snap), expected);
}

TEST_F(LibraryHistory, AChangeThatNoLongerAppliesIsRefusedAndChangesNothing)
{
    const auto replay = [&](const QByteArray &outside, const std::function<void()> &change, const char *reason) {
        SetUp();
        const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree);
        change();
        const LibrarySnapshot after = CaptureLibrary(*gFMSets, m_tree);
        OtherCopy other(outside);
        const QByteArray untouched = bytesOf(other.snap);
        QString why;
        EXPECT_FALSE(ReplayChange(before, after, other.snap, &why)) << reason;
        EXPECT_TRUE(why.contains(reason)) << why.toStdString();
        EXPECT_EQ(bytesOf(other.snap), untouched) << reason;
    };
    QByteArray mineGone = kLibrary;
    mineGone.replace("Mine,Count", "Yours,Count");
    replay(
        mineGone,
        [&] {
            m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: X1 - Mine one?", true);
            act("DELETE", "X1 - Mine one");
        },
        "'Mine' is no longer");

    QByteArray idTaken = kLibrary;
    idTaken.replace("\"[FuelModelSet:Other,Count:0]\"\r\n",
                    "\"[FuelModelSet:Other,Count:1]\"\r\n"
                    "\"P1\",\"Outside\",1,1,0,0,0,0,2000,1500,1500,0.2,8000,8000,8000,1,1\r\n");
    replay(
        idTaken,
        [&] {
            act("COPY", "FM2 - Timber grass");
            m_prompts.ExpectPaste("P1", "Pasted");
            act("PASTE", "Mine");
        },
        "ID 'P1' is already");

    QByteArray nameTaken = kLibrary;
    nameTaken.replace("Other,Count", "Fresh,Count");
    replay(
        nameTaken,
        [&] {
            m_prompts.ExpectInput("Enter the name for the new fuel model set", QString("Fresh"));
            act("ADDSET", "Mine");
        },
        "'Fresh' is already");
}

TEST_F(LibraryHistory, AnEditedModelTakesItsNewValuesInTheOtherCopy)
{
    const QString key = keyOf("X2 - Mine two");
    const auto fm = gFMSets->Item(keyOf("Mine"))->FuelModels()->Item(key);
    const LibrarySnapshot before = CaptureLibrary(*gFMSets, m_tree, {fm});
    fm->setFuelModelID("X2b");
    fm->setBulkDensityDepth(0.75);
    const LibrarySnapshot after = CaptureLibrary(*gFMSets, m_tree, {fm});

    QByteArray outside = kLibrary;
    outside.replace("\"X1\",\"Mine one\"", "\"X1\",\"Changed outside\"");
    OtherCopy other(outside);
    QString why;
    ASSERT_TRUE(ReplayChange(before, after, other.snap, &why)) << why.toStdString();
    QByteArray expected = outside;
    expected.replace("\"X2\",\"Mine two\",2.5,", "\"X2b\",\"Mine two\",0.75,");
    EXPECT_EQ(bytesOf(other.snap), expected);
}
