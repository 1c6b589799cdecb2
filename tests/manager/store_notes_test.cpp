// The notes file beside the store's library: written after the library under the same checks,
// kept with the backups, and a program killed between the two writes loses nothing saved before.

#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "library/LibrarySession.h"
#include "library/LibraryStore.h"
#include "library/MemoryTree.h"
#include "library/NotesFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kLibrary = "\"[FuelModelSet:Mine,Count:2]\"\r\n"
                            "\"X1\",\"Mine one\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"X2\",\"Mine two\",2.5,1,1,1,0,3,2000,1800,1600,0.3,8100,8200,8300,2,2\r\n"
                            "\"[End]\"\r\n";

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class StoreNotes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        LibrarySession::ResetProgram();
        SetLibraryFolderForTesting(dir.path());
        library = dir.filePath("OrlaFuelModels.FFM");
        notes = NotesFilePath(library);
        ASSERT_TRUE(put(library, kLibrary));
    }
    void TearDown() override { SetLibraryFolderForTesting({}); }

    // Notes for X1 and X2 as a save of this library writes them.
    void writeNotes()
    {
        MemoryTree tree;
        ASSERT_TRUE(ReadFMs(library, tree, nullptr));
        LibraryNotes n;
        for (const auto &fm : *gFMSets->Item(1)->FuelModels())
            n.Edit(fm).author = fm->FuelModelID() == "X1" ? "Ana" : "Bo";
        ASSERT_TRUE(
            WriteNotes(library, QCryptographicHash::hash(kLibrary, QCryptographicHash::Sha256), n, *gFMSets, nullptr));
        ResetProgramState();
    }
    LibraryStore::LoadResult load(LibraryStore &store)
    {
        store.SetBackupFolder(dir.filePath("backups"));
        tree.Clear();
        return store.Load(tree);
    }
    const ModelNotes *notesOf(const QString &id) const
    {
        for (const auto &fm : *gFMSets->Item(1)->FuelModels())
            if (fm->FuelModelID() == id)
                return gLibraryNotes.Of(fm.get());
        return nullptr;
    }

    QTemporaryDir dir;
    QString library;
    QString notes;
    MemoryTree tree;
};

TEST_F(StoreNotes, ALibraryWithoutNotesIsSavedAsBeforeAndTheFileComesWithTheFirstNote)
{
    LibraryStore store;
    const LibraryStore::LoadResult loaded = load(store);
    EXPECT_EQ(loaded.notesMessage, QString());
    QString reason;
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_EQ(bytesOf(library), kLibrary);
    EXPECT_FALSE(QFile::exists(notes));
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.notes"}, QDir::Files).isEmpty()); // no backup notes either

    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).source = "Handbook, table 4";
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_EQ(bytesOf(library), kLibrary);
    const NotesParse written = ParseNotes(bytesOf(notes));
    ASSERT_TRUE(written.ok);
    EXPECT_EQ(written.document.models.value(0).source, "Handbook, table 4");
    EXPECT_EQ(written.document.librarySha256.toLatin1(),
              QCryptographicHash::hash(kLibrary, QCryptographicHash::Sha256).toHex());
}

TEST_F(StoreNotes, NotesChangedOutsideAreNotWrittenOverAndBackupsKeepTheNotes)
{
    writeNotes();
    const QByteArray original = bytesOf(notes);
    LibraryStore store;
    EXPECT_EQ(load(store).notesMessage, QString());
    EXPECT_EQ(notesOf("X1")->author, "Ana");

    // The first save of the run keeps the library and its notes as found.
    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).notes = "first";
    QString reason;
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    ASSERT_FALSE(store.RunBackup().isEmpty());
    EXPECT_EQ(bytesOf(NotesFilePath(store.RunBackup())), original);

    // Another program writes the notes file: the next save writes neither file.
    const QByteArray theirs = QByteArray(bytesOf(notes)).replace("\"first\"", "\"theirs\"");
    ASSERT_TRUE(put(notes, theirs));
    const QByteArray libraryNow = bytesOf(library);
    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).notes = "second";
    EXPECT_FALSE(store.Save(&reason));
    EXPECT_TRUE(store.ChangedOutside());
    EXPECT_EQ(reason,
              QStringLiteral("The notes file %1 was changed by another program.").arg(QDir::toNativeSeparators(notes)));
    EXPECT_EQ(bytesOf(notes), theirs);
    EXPECT_EQ(bytesOf(library), libraryNow);

    // Keeping ours keeps theirs aside, beside the library's copy.
    const QString aside = store.KeepOurs(&reason);
    ASSERT_FALSE(aside.isEmpty()) << reason.toStdString();
    EXPECT_EQ(bytesOf(NotesFilePath(aside)), theirs);
    EXPECT_TRUE(bytesOf(notes).contains("\"notes\": \"second\""));
}

// The notes are checked as the library is: by content (the same bytes written again are no
// change), and in one step with their rename, so that a write landing between the check and
// the rename is never replaced unseen.
TEST_F(StoreNotes, TheNotesAreCheckedByContentInOneStepWithTheirRename)
{
    writeNotes();
    const QByteArray original = bytesOf(notes);
    LibraryStore store;
    load(store);

    // Rewritten with the very same bytes, an hour later.
    ASSERT_TRUE(put(notes, original));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QFileInfo(notes).lastModified().addSecs(3600), QFileDevice::FileModificationTime));
    }
    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).notes = "mine";
    QString reason;
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_TRUE(bytesOf(notes).contains("\"notes\": \"mine\""));

    // Another program writes the notes between their check and their rename.
    SetBetweenCheckAndRenameForTesting([](const QString &path) {
        if (path.endsWith(".notes"))
            put(path, "theirs\n");
    });
    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).notes = "mine again";
    const bool saved = store.Save(&reason);
    SetBetweenCheckAndRenameForTesting(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(store.ChangedOutside());
    EXPECT_EQ(bytesOf(notes), "theirs\n");
    EXPECT_TRUE(reason.startsWith("The library was saved, but not its notes: the notes file")) << reason.toStdString();
    EXPECT_TRUE(reason.contains("was changed by another program")) << reason.toStdString();

    // Kept ours: theirs aside, ours written, and the next save goes through.
    const QString aside = store.KeepOurs(&reason);
    ASSERT_FALSE(aside.isEmpty()) << reason.toStdString();
    EXPECT_EQ(bytesOf(NotesFilePath(aside)), "theirs\n");
    EXPECT_TRUE(bytesOf(notes).contains("\"notes\": \"mine again\""));
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
}

// The library shown, kept aside before a reload replaces it, keeps its notes beside it.
TEST_F(StoreNotes, TheLibraryShownKeptAsideKeepsItsNotes)
{
    LibraryStore store;
    load(store);
    gLibraryNotes.Edit(gFMSets->Item(1)->FuelModels()->Item(2)).source = "Handbook";
    QString reason;
    const QString aside = store.KeepShownAside(&reason);
    ASSERT_FALSE(aside.isEmpty()) << reason.toStdString();
    const NotesParse kept = ParseNotes(bytesOf(NotesFilePath(aside)));
    ASSERT_TRUE(kept.ok) << kept.problem.toStdString();
    ASSERT_EQ(kept.document.models.size(), 1);
    EXPECT_EQ(kept.document.models[0].id, "X2");
    EXPECT_EQ(kept.document.models[0].source, "Handbook");
    EXPECT_EQ(kept.document.library, QFileInfo(aside).fileName());
}

// The program is killed after writing the library and before its notes: the notes file is the
// one saved before, whole; the next start says what it found and keeps the deleted model's notes.
TEST_F(StoreNotes, AKillBetweenTheTwoWritesLosesNothingSavedBeforeAndTheNextStartSaysSo)
{
    writeNotes();
    const QByteArray notesBefore = bytesOf(notes);
    QProcess writer;
    writer.start(NOTES_CRASH_WRITER, {dir.path(), "X2 - Mine two"});
    ASSERT_TRUE(writer.waitForFinished(20000));
    ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << writer.readAllStandardError().toStdString();
    EXPECT_FALSE(bytesOf(library).contains("X2"));
    EXPECT_EQ(bytesOf(notes), notesBefore);

    LibraryStore store;
    const LibraryStore::LoadResult loaded = load(store);
    EXPECT_TRUE(loaded.notesMessage.contains("changed after its notes were last saved"))
        << loaded.notesMessage.toStdString();
    EXPECT_TRUE(loaded.notesMessage.contains("Mine / X2")) << loaded.notesMessage.toStdString();
    EXPECT_EQ(notesOf("X1")->author, "Ana");
    const QList<LibraryNotes::Orphan> orphans = gLibraryNotes.OrphanedModels(*gFMSets);
    ASSERT_EQ(orphans.size(), 1);
    EXPECT_EQ(orphans[0].notes.author, "Bo");

    // The next save writes both in step; the start after it has nothing to say.
    QString reason;
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    LibraryStore next;
    ResetProgramState();
    EXPECT_EQ(load(next).notesMessage, QString());
    EXPECT_EQ(gLibraryNotes.OrphanedModels(*gFMSets).value(0).notes.author, "Bo");
}

} // namespace
