// The library session without a window: every action, its undo and its redo leave the library,
// the tree and the file holding the same thing; a file changed by another program is read again
// (the change made again in it) or kept aside; the one reset leaves nothing of a run behind.

#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"
#include "support/LibraryFileSupport.h"
#include "support/LibraryInvariant.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using libraryfiletest::fileBytes;
using libraryfiletest::putFile;

const QByteArray kLibrary = "\"[FuelModelSet:Master,Count:2, Locked]\"\r\n"
                            "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"FM2\",\"Timber grass\",1,2,1,0.5,0.5,0,3000,1500,1500,0.15,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:Mine,Count:1]\"\r\n"
                            "\"X1\",\"Mine one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"[FuelModelSet:Other,Count:0]\"\r\n"
                            "\"[End]\"\r\n";

// The same library as another program left it: a set of its own added at the end.
const QByteArray kTheirs =
    QByteArray(kLibrary).replace("\"[End]\"",
                                 "\"[FuelModelSet:Theirs,Count:1]\"\r\n"
                                 "\"T1\",\"Their one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                                 "\"[End]\"");

class Session : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LibrarySession::ResetProgram();
        ASSERT_TRUE(m_dir.isValid());
        SetLibraryFolderForTesting(m_dir.path());
        m_path = m_dir.filePath(QString::fromLatin1(kLibraryFileName));
        ASSERT_TRUE(putFile(m_path, kLibrary));
        m_session = std::make_unique<LibrarySession>(m_tree, m_prompts);
        m_session->Store().SetBackupFolder(m_dir.filePath("backups"));
        ASSERT_EQ(m_session->Load().kind, LibraryStore::LoadResult::Read);
    }
    void TearDown() override
    {
        m_session.reset();
        SetLibraryFolderForTesting(QString());
    }

    // What holds after every step: the tree shows the library node for node, the file holds it
    // byte for byte, and every answer scripted for the step was asked for.
    void expectOneTruth(const char *step)
    {
        EXPECT_EQ(TreeAndLibraryDiffer(m_tree, *gFMSets), QString()) << step;
        EXPECT_EQ(fileBytes(m_path), SerializeLibrary(*gFMSets, nullptr)) << step;
        EXPECT_TRUE(m_prompts.Finished()) << "unused answers after " << step;
    }

    QString setKey(const QString &name) const
    {
        for (int i = 1; i <= m_tree.Count(); ++i) {
            const QString key = m_tree.KeyAt(i);
            if (m_tree.ParentKey(key).isEmpty() && m_tree.Text(key) == name)
                return key;
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
    QStringList setNames() const
    {
        QStringList names;
        for (const auto &set : *gFMSets)
            names << set->Name();
        return names;
    }
    void addSet(const QString &name)
    {
        m_prompts.ExpectInput({}, name);
        m_session->Run(QStringLiteral("ADDSET"));
    }
    // The files in the folder (backups included) that hold exactly bytes.
    int filesHolding(const QByteArray &bytes) const
    {
        int n = 0;
        for (const QString &dir : {m_dir.path(), m_dir.filePath("backups")})
            for (const QFileInfo &f : QDir(dir).entryInfoList(QDir::Files))
                if (f.absoluteFilePath() != QFileInfo(m_path).absoluteFilePath() &&
                    fileBytes(f.absoluteFilePath()) == bytes)
                    ++n;
        return n;
    }

    QTemporaryDir m_dir;
    QString m_path;
    MemoryTree m_tree;
    ScriptedPrompts m_prompts;
    std::unique_ptr<LibrarySession> m_session;
};

// Each action is one step named as Edit's menu shows it; undoing the steps one by one gives back
// the file each step started from, down to the file as it was read, and redoing them gives back
// the file of the last step. A fault in the pictures (a model lost on undo, a set put back under
// another key, the file not written after a step) breaks one of the comparisons.
TEST_F(Session, EveryActionIsUndoneAndRedoneWithLibraryTreeAndFileAgreeing)
{
    LibraryUndoStack &history = m_session->History();
    QList<QByteArray> files{fileBytes(m_path)};
    ASSERT_EQ(files.front(), kLibrary);

    addSet("Ours");
    expectOneTruth("new set");
    files << fileBytes(m_path);

    m_tree.SetSelectedKey(modelKey("Mine", "X1"));
    m_session->Run(QStringLiteral("COPY"));
    m_session->PasteMode() = QStringLiteral("Copy");
    m_tree.SetSelectedKey(setKey("Ours"));
    m_prompts.ExpectPaste("X2", "Mine two");
    m_session->Run(QStringLiteral("PASTE"));
    expectOneTruth("paste");
    files << fileBytes(m_path);

    m_tree.SetSelectedKey(modelKey("Master", "FM2"));
    m_prompts.ExpectYesNo("Are you sure you want to delete fuel model: FM2 - Timber grass?", true);
    m_session->Run(QStringLiteral("DELETE"));
    expectOneTruth("delete model");
    files << fileBytes(m_path);

    m_session->RenameSet(setKey("Other"), QStringLiteral("Renamed"));
    expectOneTruth("rename");
    files << fileBytes(m_path);

    // Copying changes nothing and is no step.
    ASSERT_EQ(history.count(), 4);
    EXPECT_EQ(history.undoText(), QString("Rename Set 'Other' to 'Renamed'"));
    EXPECT_EQ(setNames(), QStringList({"Master", "Mine", "Renamed", "Ours"}));
    EXPECT_EQ(gFMSets->Item(setKey("Ours"))->FuelModels()->Count(), 1);

    const QStringList names{"Rename Set 'Other' to 'Renamed'", "Delete Model 'FM2 - Timber grass'",
                            "Paste Model 'X2 - Mine two'", "New Set 'Ours'"};
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(history.undoText(), names[step]);
        m_session->Undo();
        expectOneTruth(qPrintable(QStringLiteral("undo ") + names[step]));
        EXPECT_EQ(fileBytes(m_path), files[3 - step]) << qPrintable(names[step]);
    }
    EXPECT_EQ(fileBytes(m_path), kLibrary);
    EXPECT_FALSE(history.canUndo());

    for (int step = 3; step >= 0; --step) {
        EXPECT_EQ(history.redoText(), names[step]);
        m_session->Redo();
        expectOneTruth(qPrintable(QStringLiteral("redo ") + names[step]));
        EXPECT_EQ(fileBytes(m_path), files[4 - step]) << qPrintable(names[step]);
    }
    EXPECT_FALSE(history.canRedo());

    // A change after an undo drops the steps undone.
    m_session->Undo();
    m_session->Undo();
    addSet("Later");
    EXPECT_EQ(history.count(), 3);
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoText(), QString("New Set 'Later'"));
}

// The editor's Save is one step from the values at its opening to those saved; its undo puts the
// values back in the very model object the editor holds.
TEST_F(Session, AnEditorSaveIsOneStepBackToTheValuesAtOpening)
{
    const auto model = gFMSets->Item(setKey("Mine"))->FuelModels()->Item(modelKey("Mine", "X1"));
    m_session->StartEdit(model);
    model->setLoading1Hour(4.5);
    QString error;
    ASSERT_TRUE(m_session->SaveEdit(&error)) << error.toStdString();
    expectOneTruth("save model");
    EXPECT_TRUE(fileBytes(m_path).contains("\"X1\",\"Mine one\",2.5,4.5,"));
    EXPECT_EQ(m_session->History().undoText(), QString("Save Model 'X1 - Mine one'"));

    // A second save without a change is no step of its own.
    ASSERT_TRUE(m_session->SaveEdit(&error));
    EXPECT_EQ(m_session->History().count(), 1);

    m_session->Undo();
    expectOneTruth("undo save model");
    EXPECT_EQ(model->Loading1Hour(), 1.0);
    EXPECT_EQ(fileBytes(m_path), kLibrary);
    m_session->EndEdit();
}

// Another program wrote the file after it was read. Read again: the file's version is shown with
// the change made again in it, the library shown before is kept aside, and Undo takes back the
// change alone, leaving the other program's file exactly as it wrote it.
TEST_F(Session, AnOutsideChangeReadAgainGetsTheChangeMadeAgainInIt)
{
    addSet("Before");
    ASSERT_TRUE(putFile(m_path, kTheirs));
    m_prompts.ExpectInput({}, QStringLiteral("Ours"));
    m_prompts.ExpectYesNo({}, true); // read the file again
    m_prompts.ExpectMessage({});     // what was done
    m_session->Run(QStringLiteral("ADDSET"));
    expectOneTruth("new set over an outside change");
    // The other program's set is in, ours is made again, the one made before is not in its file.
    EXPECT_EQ(setNames(), QStringList({"Master", "Mine", "Other", "Theirs", "Ours"}));
    EXPECT_EQ(m_session->History().count(), 1);
    EXPECT_EQ(m_session->History().undoText(), QString("New Set 'Ours'"));

    m_session->Undo();
    expectOneTruth("undo after reading again");
    EXPECT_EQ(fileBytes(m_path), kTheirs);
    EXPECT_FALSE(m_session->History().canUndo());
}

// Kept: the file gets the library shown here, and the other program's version is kept beside it
// byte for byte.
TEST_F(Session, AnOutsideChangeKeptOursLeavesTheirVersionAside)
{
    ASSERT_TRUE(putFile(m_path, kTheirs));
    m_prompts.ExpectInput({}, QStringLiteral("Ours"));
    m_prompts.ExpectYesNo({}, false); // keep the library shown
    m_prompts.ExpectMessage({});
    m_session->Run(QStringLiteral("ADDSET"));
    expectOneTruth("new set, ours kept");
    EXPECT_EQ(setNames(), QStringList({"Master", "Mine", "Other", "Ours"}));
    EXPECT_EQ(filesHolding(kTheirs), 1);
    EXPECT_EQ(m_session->History().undoText(), QString("New Set 'Ours'"));

    m_session->Undo();
    expectOneTruth("undo, ours kept");
    EXPECT_EQ(fileBytes(m_path), kLibrary);
}

// An undo that finds the file changed from outside and reads it again replaces the history while
// the undo step still runs; the new history is there once the step is over.
TEST_F(Session, AnUndoOverAnOutsideChangeReplacesTheHistoryAfterItsStep)
{
    addSet("Ours");
    addSet("Second");
    QByteArray theirs = fileBytes(m_path);
    theirs.replace("[FuelModelSet:Other,", "[FuelModelSet:Other changed,");
    ASSERT_TRUE(putFile(m_path, theirs));
    m_prompts.ExpectYesNo({}, true);
    m_prompts.ExpectMessage({});
    m_session->Undo();
    expectOneTruth("undo over an outside change");
    EXPECT_EQ(setNames(), QStringList({"Master", "Mine", "Other changed", "Ours"}));
    EXPECT_EQ(m_session->History().count(), 1);
    EXPECT_FALSE(m_session->History().canRedo());
}

// The editor's Save finds the file changed by another program and reads it again: the saved
// values are made again in the file's model of the same ID, the editor goes on with that model,
// and Undo gives back the values the file held.
TEST_F(Session, AnEditorSaveOverAnOutsideChangeIsMadeAgainInTheFileRead)
{
    std::shared_ptr<FuelModel> followed;
    LibrarySession::Host host;
    host.editorFollows = [&](const std::shared_ptr<FuelModel> &model) {
        followed = model;
        return true;
    };
    m_session.reset(); // its lock goes with it
    m_tree.Clear();
    m_session = std::make_unique<LibrarySession>(m_tree, m_prompts, host);
    ASSERT_EQ(m_session->Load().kind, LibraryStore::LoadResult::Read);

    const auto model = gFMSets->Item(setKey("Mine"))->FuelModels()->Item(modelKey("Mine", "X1"));
    m_session->StartEdit(model);
    ASSERT_TRUE(putFile(m_path, kTheirs));
    model->setLoading1Hour(4.5);
    m_prompts.ExpectYesNo({}, true);
    m_prompts.ExpectMessage({});
    QString error;
    ASSERT_TRUE(m_session->SaveEdit(&error)) << error.toStdString();
    expectOneTruth("editor save over an outside change");
    ASSERT_TRUE(followed);
    EXPECT_NE(followed, model);
    EXPECT_EQ(followed->Loading1Hour(), 4.5);
    EXPECT_EQ(setNames(), QStringList({"Master", "Mine", "Other", "Theirs"}));
    EXPECT_EQ(m_session->History().undoText(), QString("Save Model 'X1 - Mine one'"));
    // The editor's next Save starts from the model it goes on with.
    ASSERT_TRUE(m_session->SaveEdit(&error)) << error.toStdString();
    EXPECT_EQ(m_session->History().count(), 1);

    m_session->Undo();
    expectOneTruth("undo of the editor save made again");
    EXPECT_EQ(followed->Loading1Hour(), 1.0);
    EXPECT_EQ(fileBytes(m_path), kTheirs);
}

// A cut that is not made (the deletion answered No) leaves the clipboard as it was.
TEST_F(Session, ACutNotMadeKeepsTheClipboard)
{
    m_tree.SetSelectedKey(modelKey("Mine", "X1"));
    m_session->Run(QStringLiteral("COPY"));
    m_session->PasteMode() = QStringLiteral("Copy");
    const auto copied = m_session->ModelOnClipboard();
    ASSERT_TRUE(copied);

    m_tree.SetSelectedKey(modelKey("Master", "1"));
    m_prompts.ExpectYesNo({}, false);
    m_session->Cut();
    EXPECT_EQ(m_session->ModelOnClipboard(), copied);
    EXPECT_EQ(m_session->PasteMode(), QString("Copy"));
    EXPECT_EQ(m_session->History().count(), 0);

    m_prompts.ExpectYesNo({}, true);
    m_session->Cut();
    expectOneTruth("cut");
    EXPECT_EQ(m_session->PasteMode(), QString("Cut"));
    EXPECT_EQ(m_session->ModelOnClipboard()->FuelModelID(), QString("1"));
    EXPECT_EQ(m_session->History().undoText(), QString("Cut Model '1 - Short grass'"));
}

// The one reset leaves nothing of a run: no sets, no clipboard, no notes, keys drawn from the
// start again.
TEST_F(Session, TheOneResetLeavesNothingOfARun)
{
    m_tree.SetSelectedKey(modelKey("Mine", "X1"));
    m_session->Run(QStringLiteral("COPY"));
    m_session->PasteMode() = QStringLiteral("Copy");
    gLibraryNotes.Record(gFMSets->Item(setKey("Mine"))->FuelModels()->Item(1), QJsonObject{{"kind", "note"}});
    m_session.reset();

    LibrarySession::ResetProgram();
    const QString first = NewNodeKey(false);
    EXPECT_EQ(LibrarySession::Sets().Count(), 0);
    EXPECT_FALSE(LibrarySession::CopiedNodeOnClipboard());
    EXPECT_FALSE(LibrarySession::ModelOnClipboard());
    EXPECT_TRUE(LibrarySession::PasteMode().isEmpty());
    EXPECT_EQ(gLibraryNotes, LibraryNotes());

    NewNodeKey(false);
    LibrarySession::ResetProgram();
    EXPECT_EQ(NewNodeKey(false), first);
}

} // namespace
