// fmtool as one writer among others: the library's lock, shared with the window, is taken by
// every command that writes a library; a cut library is refused; output that cannot be written
// and inputs that never end are failures with a message.

#include "fmtool/Commands.h"
#include "fmtool/LockedLibraryFile.h"
#include "support/CapturedRun.h"

#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"
#include "library/LibraryGuard.h"
#include "library/MemoryTree.h"
#include "library/NotesFile.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

namespace {

const QByteArray kLibrary = "\"[FuelModelSet:Grass,Count:1]\"\r\n"
                            "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"[End]\"\r\n";
const QByteArray kFmd = "30 A 1 0 0 0 0 static 3000 1500 1500 1 20 8000 8000 plain\n";

QStringList setNames(const QString &path)
{
    MemoryTree tree;
    const LibraryReadResult read = ReadLibrary(fileBytes(path), tree);
    QStringList names;
    if (read.ok)
        for (const auto &set : *read.sets)
            names << set->Name();
    return names;
}

class Writers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgramState();
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("OrlaFuelModels.FFM");
        fmd = dir.filePath("custom.fmd");
        putFile(library, kLibrary);
        putFile(fmd, kFmd);
        LockedLibraryFile::LockWaitMs = 300;
    }
    void TearDown() override { LockedLibraryFile::LockWaitMs = 5000; }
    QTemporaryDir dir;
    QString library;
    QString fmd;
};

// The window holds the lock for as long as it runs: an import or a resave waits for it, then
// gives up with the holder named, exit status 3, and the file as it was.
TEST_F(Writers, ACommandThatWritesALockedLibraryWaitsThenRefuses)
{
    LibraryLock window(library);
    ASSERT_TRUE(window.Acquire());

    QElapsedTimer waited;
    waited.start();
    Outcome r = run(fmtoolImportFmd, {fmd, library, "--set", "New", "--accept"});
    EXPECT_GE(waited.elapsed(), 250); // it waited for the lock before giving up
    EXPECT_EQ(r.status, kExitLibraryInUse);
    EXPECT_TRUE(r.err.contains("is in use by another program (process")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Nothing was written")) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("added")) << r.out.toStdString();
    EXPECT_EQ(fileBytes(library), kLibrary);

    r = run(fmtoolResave, {library, library});
    EXPECT_EQ(r.status, kExitLibraryInUse);
    EXPECT_EQ(fileBytes(library), kLibrary);
    // Another file written onto the locked one: refused the same.
    const QString other = dir.filePath("other.FFM");
    putFile(other, kLibrary);
    r = run(fmtoolResave, {other, library});
    EXPECT_EQ(r.status, kExitLibraryInUse);

    // A report without --accept writes nothing and needs no lock.
    r = run(fmtoolImportFmd, {fmd, library, "--set", "New"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    // Once the window has ended, the same import goes through.
    window.Release();
    r = run(fmtoolImportFmd, {fmd, library, "--set", "New", "--accept"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(setNames(library), QStringList({"Grass", "New"}));
    EXPECT_FALSE(QFileInfo::exists(library + ".lock"));
}

// A library reached through links is locked beside the file the links finally name, so that a
// command through one link sees the window's lock taken through another.
TEST_F(Writers, EveryLinkToALibrarySharesOneLock)
{
    const QString middle = dir.filePath("middle.FFM");
    const QString outer = dir.filePath("outer.FFM");
    ASSERT_TRUE(QFile::link(library, middle));
    ASSERT_TRUE(QFile::link(middle, outer));
    LibraryLock window(outer);
    ASSERT_TRUE(window.Acquire());
    EXPECT_EQ(window.LockPath(), library + ".lock");
    const Outcome r = run(fmtoolImportFmd, {fmd, middle, "--set", "New", "--accept"});
    EXPECT_EQ(r.status, kExitLibraryInUse) << r.err.toStdString();
    window.Release();

    // Written through both links: they stay links, the file gets the set.
    const Outcome done = run(fmtoolImportFmd, {fmd, outer, "--set", "New", "--accept"});
    ASSERT_EQ(done.status, 0) << done.err.toStdString();
    EXPECT_TRUE(QFileInfo(outer).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(setNames(library), QStringList({"Grass", "New"}));
}

// Two imports into one library at random moments, many rounds: every set a command reports
// added is in the file at the end, and a command that added nothing says why and fails.
TEST_F(Writers, TwoImportsAtOnceNeverLoseASet)
{
    std::mt19937 random(2107);
    QStringList reported;
    int refused = 0;
    constexpr int kRounds = 12;
    for (int round = 0; round < kRounds; ++round) {
        QList<QProcess *> running;
        for (int writer = 0; writer < 2; ++writer) {
            auto *p = new QProcess;
            p->setProperty("set", QString("Round %1 writer %2").arg(round).arg(writer));
            running << p;
        }
        running[0]->start(FMTOOL_BINARY,
                          {"import-fmd", fmd, library, "--set", running[0]->property("set").toString(), "--accept"});
        QThread::usleep(std::uniform_int_distribution<int>(0, 3000)(random));
        running[1]->start(FMTOOL_BINARY,
                          {"import-fmd", fmd, library, "--set", running[1]->property("set").toString(), "--accept"});
        for (QProcess *p : running) {
            ASSERT_TRUE(p->waitForFinished(20000));
            const QString out = QString::fromUtf8(p->readAllStandardOutput());
            const QString err = QString::fromUtf8(p->readAllStandardError());
            const QString set = p->property("set").toString();
            if (p->exitCode() == 0) {
                EXPECT_TRUE(out.contains(QString("Set \"%1\" with 1 models added").arg(set))) << out.toStdString();
                reported << set;
            } else {
                ++refused;
                EXPECT_FALSE(err.isEmpty()) << "a failed import says why";
                EXPECT_FALSE(out.contains("added")) << out.toStdString();
            }
            delete p;
        }
    }
    const QStringList names = setNames(library);
    ASSERT_FALSE(names.isEmpty()) << "the library reads cleanly";
    for (const QString &set : reported)
        EXPECT_TRUE(names.contains(set)) << set.toStdString() << " was reported added but is not in the file";
    EXPECT_EQ(names.size(), 1 + reported.size());
    // The notes agree: each set added has its model's "imported" entry, and the notes name the
    // library's last bytes.
    const NotesParse notes = ParseNotes(fileBytes(NotesFilePath(library)));
    ASSERT_TRUE(notes.ok) << notes.problem.toStdString();
    EXPECT_EQ(notes.document.librarySha256.toLatin1(),
              QCryptographicHash::hash(fileBytes(library), QCryptographicHash::Sha256).toHex());
    QStringList withHistory;
    for (const ModelNotes &m : notes.document.models)
        if (!m.history.isEmpty() && m.history.first().value("kind").toString() == "imported")
            withHistory << m.set;
    for (const QString &set : reported)
        EXPECT_TRUE(withHistory.contains(set)) << set.toStdString() << " has no notes of its import";
    EXPECT_TRUE(notes.document.orphans.isEmpty());
    // The lock is waited for: a short import never makes the other fail.
    EXPECT_EQ(refused, 0);
    std::printf("%lld sets added by %d pairs of imports\n", static_cast<long long>(reported.size()), kRounds);
}

TEST_F(Writers, ARewriteOfTheSameBytesIsNoChangeAndACutLibraryIsRefused)
{
    // resave onto itself: the same bytes, written under the lock.
    Outcome r = run(fmtoolResave, {library, library});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(fileBytes(library), kLibrary);

    // Cut short before its "[End]": no longer a clean, smaller library.
    QByteArray cut = kLibrary;
    cut.chop(9);
    putFile(library, cut);
    r = run(fmtoolCheck, {library});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("the file may have been cut short")) << r.err.toStdString();
    r = run(fmtoolImportFmd, {fmd, library, "--set", "New", "--accept"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(fileBytes(library), cut);
    putFile(library, "");
    r = run(fmtoolCheck, {library});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("the file is empty")) << r.err.toStdString();
}

// A command whose output does not reach its file fails, also when the command itself went well.
TEST_F(Writers, OutputThatCannotBeWrittenIsAFailure)
{
    std::FILE *full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    FmtoolStreams io;
    io.out = full;
    io.err = std::tmpfile();
    const int status = fmtoolFinish(fmtoolList({library}, io), io);
    std::fclose(full);
    EXPECT_EQ(status, 1);
    const QString err = capturedContents(io.err);
    EXPECT_TRUE(err.contains("the output could not be written")) << err.toStdString();

    // The program itself, its output sent to a full device.
    for (const QStringList &args : {QStringList{"list", library}, QStringList{"check", library}}) {
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(FMTOOL_BINARY, args);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 1) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains("the output could not be written"));
    }
}

// Inputs that never end: a bound, read a piece at a time, and a failure with a message.
TEST_F(Writers, InputsThatNeverEndAreRefusedQuickly)
{
    struct Case
    {
        QStringList args;
        const char *says;
    };
    const Case cases[] = {
        {{"import-fmd", "/dev/zero", library, "--set", "Zero"}, "is larger than 4 MB"},
        {{"table", "/dev/zero"}, "is larger than 32 MB"},
        {{"check", "/dev/zero"}, "is larger than 32 MB"},
    };
    for (const Case &c : cases) {
        QProcess p;
        p.start(FMTOOL_BINARY, c.args);
        ASSERT_TRUE(p.waitForFinished(60000)) << c.args.join(' ').toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1) << c.args.join(' ').toStdString();
        const QByteArray err = p.readAllStandardError();
        EXPECT_TRUE(err.contains(c.says)) << err.toStdString();
    }
    EXPECT_EQ(fileBytes(library), kLibrary);
}

} // namespace

namespace {

// A library saved as UTF-8 by another program reads cleanly but shows "é" as two letters: check
// and list say that it looks like UTF-8; a Windows-1252 file with the same letter does not.
TEST_F(Writers, ALibraryThatLooksLikeUtf8IsSaidToBeSo)
{
    putFile(library, "\"[FuelModelSet:Caf\xc3\xa9,Count:0]\"\r\n\"[End]\"\r\n");
    for (auto command : {fmtoolCheck, fmtoolList}) {
        const Outcome r = run(command, {library});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.err.startsWith("warning: " + library +
                                     ": the file looks like UTF-8 text: its letters beyond plain ASCII"))
            << r.err.toStdString();
    }
    putFile(library, "\"[FuelModelSet:Caf\xe9,Count:0]\"\r\n\"[End]\"\r\n");
    EXPECT_EQ(run(fmtoolCheck, {library}).err, "");
    putFile(library, kLibrary);
    EXPECT_EQ(run(fmtoolCheck, {library}).err, "");
}

// The notes beside a library go with every writer: kept by a resave onto itself, carried to
// another file by a resave, given the import's history by an import, and never written over
// when another program changed them meanwhile.
TEST_F(Writers, TheNotesGoWithEveryWriter)
{
    {
        MemoryTree tree;
        ASSERT_TRUE(ReadFMs(library, tree, nullptr));
        LibraryNotes n;
        n.Edit(gFMSets->Item(1)->FuelModels()->Item(1)).author = "Ana";
        n.orphanModels << ModelNotes{"Gone", "9", "A field campaign", {}, {}, {}, {}};
        ASSERT_TRUE(
            WriteNotes(library, QCryptographicHash::hash(kLibrary, QCryptographicHash::Sha256), n, *gFMSets, nullptr));
    }
    const QString notesPath = NotesFilePath(library);
    const auto notesOf = [](const QString &path) { return ParseNotes(fileBytes(NotesFilePath(path))); };
    const auto sha = [](const QByteArray &bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    };

    // resave onto itself keeps them, the orphaned ones too.
    Outcome r = run(fmtoolResave, {library, library});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    NotesParse notes = notesOf(library);
    ASSERT_TRUE(notes.ok);
    EXPECT_EQ(notes.document.models.value(0).author, "Ana");
    EXPECT_EQ(notes.document.orphans.value(0).source, "A field campaign");

    // resave to another file carries them there, for that file; what the other file had for
    // models it no longer holds stays as orphaned notes.
    const QString copy = dir.filePath("Copy.FFM");
    putFile(copy, kLibrary);
    {
        MemoryTree tree;
        ASSERT_TRUE(ReadFMs(copy, tree, nullptr));
        LibraryNotes n;
        n.orphanModels << ModelNotes{"Elsewhere", "7", {}, "Bo", {}, {}, {}};
        ASSERT_TRUE(WriteNotes(copy, sha(kLibrary), n, *gFMSets, nullptr));
    }
    r = run(fmtoolResave, {library, copy});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    notes = notesOf(copy);
    ASSERT_TRUE(notes.ok);
    EXPECT_EQ(notes.document.library, "Copy.FFM");
    EXPECT_EQ(notes.document.librarySha256.toLatin1(), sha(fileBytes(copy)));
    EXPECT_EQ(notes.document.models.value(0).author, "Ana");
    QStringList orphanAuthors;
    for (const ModelNotes &m : notes.document.orphans)
        orphanAuthors << m.author + "/" + m.source;
    EXPECT_TRUE(orphanAuthors.contains("Bo/")) << orphanAuthors.join(", ").toStdString();
    EXPECT_TRUE(orphanAuthors.contains("/A field campaign")) << orphanAuthors.join(", ").toStdString();

    // An import adds its models' history and keeps the rest, the notes naming the new bytes.
    r = run(fmtoolImportFmd, {fmd, library, "--set", "New", "--accept"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    notes = notesOf(library);
    ASSERT_TRUE(notes.ok);
    EXPECT_EQ(notes.document.librarySha256.toLatin1(), sha(fileBytes(library)));
    ASSERT_EQ(notes.document.models.size(), 2);
    EXPECT_EQ(notes.document.models[0].author, "Ana");
    EXPECT_EQ(notes.document.models[1].set, "New");
    ASSERT_EQ(notes.document.models[1].history.size(), 1);
    const QJsonObject imported = notes.document.models[1].history[0];
    EXPECT_EQ(imported.value("kind").toString(), "imported");
    EXPECT_EQ(imported.value("line").toInt(), 1);
    EXPECT_EQ(imported.value("sha256").toString().toLatin1(), sha(kFmd));

    // Another program writes the notes file between the check and the rename of the notes:
    // its version stays, and the command says that the notes were not written.
    const QByteArray libraryBefore = fileBytes(library);
    SetBetweenCheckAndRenameForTesting([](const QString &path) {
        if (path.endsWith(".notes"))
            putFile(path, "theirs\n");
    });
    r = run(fmtoolImportFmd, {fmd, library, "--set", "Newer", "--accept"});
    SetBetweenCheckAndRenameForTesting(nullptr);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("The library was written, but not its notes")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("changed by another program")) << r.err.toStdString();
    EXPECT_EQ(fileBytes(notesPath), "theirs\n");
    EXPECT_NE(fileBytes(library), libraryBefore);

    // A notes file that cannot be read is said and left as it is; the library is written.
    putFile(notesPath, "not notes at all\n");
    r = run(fmtoolImportFmd, {fmd, library, "--set", "Newest", "--accept"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("It is left as it is")) << r.err.toStdString();
    EXPECT_EQ(fileBytes(notesPath), "not notes at all\n");
    EXPECT_TRUE(setNames(library).contains("Newest"));
}

} // namespace
