#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"
#include "support/CrashSupport.h"

#include "support/LibraryFileSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace libraryfiletest;
using LibraryCrash = LibraryFileTest;

// A writer killed with SIGKILL at seeded random moments, over many writes of a large library:
// the file is after every kill exactly one of the two generations it can be (the last the
// writer reported, or the one it was writing), never a mix or a part, and the next start's
// cleanup takes every temporary file the killed writes left, and nothing else.
TEST_F(LibraryCrash, AKilledWriterLeavesTheOldFileOrTheNewOneWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    const auto bytesOf = [](int generation) {
        return SerializeLibrary(crashtest::generationLibrary(generation), nullptr);
    };
    ASSERT_GT(bytesOf(0).size(), 30000);
    ASSERT_TRUE(putFile(path, bytesOf(0)));

    constexpr int kRounds = 60;
    std::mt19937 random(20261209);
    int onDisk = 0;
    int killedMidway = 0;
    int filesBefore = 1;
    for (int round = 0; round < kRounds; ++round) {
        const crashtest::Round r =
            crashtest::runAndKill(LIBRARY_CRASH_WRITER, {path, QString::number(onDisk + 1)}, random, 40);
        ASSERT_GE(r.completed, 0) << "round " << round << ": " << r.errors.toStdString();
        ASSERT_TRUE(r.killed) << "round " << round << ": the writer ended by itself: " << r.errors.toStdString();
        const int reported = onDisk + r.completed;
        const QByteArray now = fileBytes(path);
        if (now == bytesOf(reported + 1)) {
            onDisk = reported + 1;
        } else {
            ASSERT_EQ(now, bytesOf(reported))
                << "round " << round << ": neither generation " << reported << " nor " << reported + 1;
            onDisk = reported;
        }
        const int files = int(QDir(dir.path()).entryList(QDir::Files).size());
        killedMidway += files - filesBefore;
        filesBefore = files;
    }
    // How often the kill came in the middle of a write (the temporary file was still there).
    RecordProperty("killed_midway", killedMidway);
    std::printf("%d of %d writers were killed in the middle of a write; %d generations written\n", killedMidway,
                kRounds, onDisk);

    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    const QStringList removed = RemoveWriteLeftovers(path);
    EXPECT_EQ(removed.size(), before.size() - 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"OrlaFuelModels.FFM"}));
    EXPECT_EQ(fileBytes(path), bytesOf(onDisk));
}

} // namespace
