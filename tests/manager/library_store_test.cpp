// The window's library store without the window: what counts as a change from outside, the
// run's backup tried again until it is made, and a library that cannot be written opened
// read-only.

#include "support/LibraryFileSupport.h"

#include "data/ProgramState.h"
#include "library/LibraryBackups.h"
#include "library/LibraryLocation.h"
#include "library/LibraryStore.h"
#include "library/MemoryTree.h"
#include "support/AsOrdinaryUser.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace libraryfiletest;

class Store : public LibraryFileTest
{
protected:
    void SetUp() override
    {
        LibraryFileTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        SetLibraryFolderForTesting(dir.path());
        path = dir.filePath("OrlaFuelModels.FFM");
        ASSERT_TRUE(putFile(path, kWorkedExample));
    }
    void TearDown() override
    {
        FailBackupWritesForTesting(0);
        SetLibraryFolderForTesting(QString());
    }
    void addSet(const QString &name) { gFMSets->Add(name, false, std::make_shared<FuelModels>(), NewNodeKey(false)); }
    QStringList backups() const { return QDir(dir.path()).entryList({"OrlaFuelModels.backup-*"}, QDir::Files); }

    QTemporaryDir dir;
    QString path;
};

// Another program that writes the very bytes the file holds (a resave of the library onto
// itself) has changed nothing: the window's next save goes through. Different bytes are a change.
TEST_F(Store, TheSameBytesWrittenAgainAreNoChangeFromOutside)
{
    LibraryStore store;
    ASSERT_EQ(store.Load(tree).kind, LibraryStore::LoadResult::Read);
    const QByteArray same = fileBytes(path);
    QFile::remove(path); // a new file, another time, the same bytes
    ASSERT_TRUE(putFile(path, same));
    addSet("Ours");
    QString reason;
    EXPECT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_FALSE(store.ChangedOutside());
    EXPECT_TRUE(fileBytes(path).contains("[FuelModelSet:Ours,Count:0]"));

    // Our own write is what the store remembers: a second save goes through as well.
    addSet("Ours again");
    EXPECT_TRUE(store.Save(&reason)) << reason.toStdString();

    QByteArray theirs = fileBytes(path);
    theirs.replace("Ours again", "Theirs too");
    ASSERT_TRUE(putFile(path, theirs));
    addSet("Third");
    EXPECT_FALSE(store.Save(&reason));
    EXPECT_TRUE(store.ChangedOutside());
    EXPECT_EQ(fileBytes(path), theirs);
}

// The run's backup that fails (a full disk) is tried again before each later save until it is
// made; it never stops the save, and it keeps the library as the run found it.
TEST_F(Store, AFailedBackupIsTriedAgainBeforeEverySave)
{
    LibraryStore store;
    store.SetBackupFolder(dir.filePath("fallback"));
    ASSERT_EQ(store.Load(tree).kind, LibraryStore::LoadResult::Read);
    FailBackupWritesForTesting(2);
    QString reason;
    addSet("One");
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_TRUE(store.RunBackup().isEmpty());
    EXPECT_TRUE(store.BackupError().contains("No space left on device")) << store.BackupError().toStdString();
    EXPECT_EQ(store.TakeBackupError(), store.BackupError());
    EXPECT_TRUE(backups().isEmpty());

    addSet("Two");
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    EXPECT_TRUE(store.RunBackup().isEmpty());
    EXPECT_TRUE(store.TakeBackupError().isEmpty()); // the same trouble is told once

    addSet("Three");
    ASSERT_TRUE(store.Save(&reason)) << reason.toStdString();
    ASSERT_EQ(backups().size(), 1);
    EXPECT_EQ(store.RunBackup(), dir.filePath(backups().front()));
    EXPECT_EQ(fileBytes(store.RunBackup()), kWorkedExample); // as found, not as last saved
    EXPECT_TRUE(store.BackupError().isEmpty());
}

// A library whose folder an ordinary user cannot write (while the file itself can be written)
// opens read-only, says why, and is never written.
TEST_F(Store, ALibraryThatCannotBeWrittenOpensReadOnly)
{
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
    ASSERT_TRUE(ordinaryuser::GiveToOrdinaryUser(path));
    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        // The folder is the user's own when the test itself runs as an ordinary user: take its write
        // permission away then.
        if (::getuid() != 0)
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        LibraryStore store;
        const LibraryStore::LoadResult loaded = store.Load(tree);
        std::string wrong;
        if (loaded.kind != LibraryStore::LoadResult::Read)
            wrong += "not read: " + loaded.message.toStdString() + "; ";
        if (!loaded.cannotWrite.startsWith("its folder " + dir.path() + " cannot be written"))
            wrong += "cause: " + loaded.cannotWrite.toStdString() + "; ";
        if (!store.ReadOnly())
            wrong += "opened writable; ";
        if (store.NeedsSaveOnClose())
            wrong += "would save on close; ";
        QString reason;
        if (store.Save(&reason))
            wrong += "saved; ";
        if (::getuid() != 0)
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return wrong;
    });
    EXPECT_EQ(failed, "");
    EXPECT_EQ(fileBytes(path), kWorkedExample);
}

} // namespace

#include <QProcess>
#include <QThread>

#include <random>

namespace {

// The window's store and fmtool writing one library at random moments, round after round:
// every set either reports added is in the file at the end, or its writer failed and said why.
TEST_F(Store, TheWindowsStoreAndFmtoolNeverLoseEachOthersSets)
{
    const QString fmd = dir.filePath("custom.fmd");
    ASSERT_TRUE(putFile(fmd, "30 A 1 0 0 0 0 static 3000 1500 1500 1 20 8000 8000 plain\n"));
    std::mt19937 random(2111);
    QStringList reported;
    int failed = 0;
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        QProcess window, tool;
        const QString toolSet = QString("Fmtool round %1").arg(round);
        const bool toolFirst = random() % 2;
        const auto startTool = [&] {
            tool.start(FMTOOL_BINARY, {"import-fmd", fmd, path, "--set", toolSet, "--accept"});
        };
        if (toolFirst)
            startTool();
        window.start(STORE_CRASH_WRITER, {dir.path(), QString::number(round), "3"});
        QThread::usleep(std::uniform_int_distribution<int>(0, 20000)(random));
        if (!toolFirst)
            startTool();
        ASSERT_TRUE(window.waitForFinished(30000));
        ASSERT_TRUE(tool.waitForFinished(30000));
        const QStringList said = QString::fromUtf8(window.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : said)
            if (line != "ready")
                reported << QString("Round %1 action %2").arg(round).arg(line);
        if (window.exitCode() != 0) {
            ++failed;
            EXPECT_FALSE(window.readAllStandardError().isEmpty()) << "the store says why it stopped";
        }
        if (tool.exitCode() == 0) {
            reported << toolSet;
        } else {
            ++failed;
            EXPECT_FALSE(tool.readAllStandardError().isEmpty()) << "fmtool says why it wrote nothing";
        }
    }
    tree.Clear();
    const LibraryReadResult back = ReadLibrary(fileBytes(path), tree);
    ASSERT_TRUE(back.ok) << back.problem.toString().toStdString();
    QStringList names;
    for (const auto &set : *back.sets)
        names << set->Name();
    for (const QString &set : reported)
        EXPECT_TRUE(names.contains(set)) << set.toStdString() << " was reported added but is not in the file";
    EXPECT_EQ(names.size(), 1 + reported.size());
    EXPECT_GT(reported.size(), kRounds); // most writes went through
    std::printf("%lld sets added, %d writers refused over %d rounds\n", static_cast<long long>(reported.size()), failed,
                kRounds);
}

// The same with a third program that takes no lock replacing the file between the check and
// the rename of the store's saves: its sets, the store's and fmtool's all end up in the file,
// or their writer failed and said why.
TEST_F(Store, AThirdProgramReplacingTheFileBetweenCheckAndRenameLosesNothing)
{
    const QString fmd = dir.filePath("custom.fmd");
    ASSERT_TRUE(putFile(fmd, "30 A 1 0 0 0 0 static 3000 1500 1500 1 20 8000 8000 plain\n"));
    std::mt19937 random(2112);
    QStringList reported;
    int thirds = 0, refused = 0;
    constexpr int kRounds = 6;
    for (int round = 0; round < kRounds; ++round) {
        QProcess window, tool;
        const QString toolSet = QString("Fmtool round %1").arg(round);
        window.start(STORE_CRASH_WRITER, {dir.path(), QString::number(round), "4", "third"});
        QThread::usleep(std::uniform_int_distribution<int>(0, 20000)(random));
        tool.start(FMTOOL_BINARY, {"import-fmd", fmd, path, "--set", toolSet, "--accept"});
        ASSERT_TRUE(window.waitForFinished(30000));
        ASSERT_TRUE(tool.waitForFinished(30000));
        for (const QString &line : QString::fromUtf8(window.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith("third ")) {
                reported << line.mid(6);
                ++thirds;
            } else if (line != "ready") {
                reported << QString("Round %1 action %2").arg(round).arg(line);
            }
        }
        if (window.exitCode() != 0) {
            ++refused;
            const QString err = QString::fromUtf8(window.readAllStandardError());
            // The third program's change caught, or fmtool held the lock at the store's start.
            EXPECT_TRUE(err.contains("was changed by another program") || err.startsWith("load:")) << err.toStdString();
        }
        if (tool.exitCode() == 0) {
            reported << toolSet;
        } else {
            ++refused;
            EXPECT_FALSE(tool.readAllStandardError().isEmpty()) << "fmtool says why it wrote nothing";
        }
    }
    tree.Clear();
    const LibraryReadResult back = ReadLibrary(fileBytes(path), tree);
    ASSERT_TRUE(back.ok) << back.problem.toString().toStdString();
    QStringList names;
    for (const auto &set : *back.sets)
        names << set->Name();
    for (const QString &set : reported)
        EXPECT_TRUE(names.contains(set)) << set.toStdString() << " was reported added but is not in the file";
    EXPECT_EQ(names.size(), 1 + reported.size());
    EXPECT_GE(thirds, kRounds / 2); // the third program got in most rounds
    std::printf("%lld sets added (%d by the third program), %d writers refused over %d rounds\n",
                static_cast<long long>(reported.size()), thirds, refused, kRounds);
}

} // namespace
