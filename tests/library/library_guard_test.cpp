// The library's lock and the stamp that tells whether the file changed since it was read.

#include "library/LibraryGuard.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(FileStamp, AnEditThatKeepsSizeAndTimeIsStillSeen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lib.FFM");
    writeFile(path, "\"[FuelModelSet:A,Count:0]\"\r\n\"[End]\"\r\n");
    const FileStamp read = StampOfFile(path);
    ASSERT_TRUE(read.exists);
    EXPECT_EQ(read.size, 37);
    EXPECT_EQ(StampOfFile(path), read);

    // Another program changes one letter and puts the time back.
    const QDateTime time = QFileInfo(path).lastModified();
    writeFile(path, "\"[FuelModelSet:B,Count:0]\"\r\n\"[End]\"\r\n");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    f.close();
    const FileStamp now = StampOfFile(path);
    EXPECT_EQ(now.size, read.size);
    EXPECT_EQ(now.modified, read.modified);
    EXPECT_FALSE(now == read);

    // A file that is gone has no stamp.
    QFile::remove(path);
    EXPECT_FALSE(StampOfFile(path).exists);
}

TEST(LibraryLock, OneHolderAtATimeAndTheLockIsFreedWithIt)
{
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.FFM");
    auto first = std::make_unique<LibraryLock>(library);
    ASSERT_TRUE(first->Acquire());
    EXPECT_TRUE(QFile::exists(library + ".lock"));

    LibraryLock second(library);
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.HeldByAnother());
    EXPECT_EQ(second.Holder(),
              QString("process %1 on %2").arg(QCoreApplication::applicationPid()).arg(QSysInfo::machineHostName()));

    first.reset();
    EXPECT_FALSE(QFile::exists(library + ".lock"));
    EXPECT_TRUE(second.Acquire());
}

TEST(LibraryLock, ALockLeftByAProgramThatEndedIsTakenOver)
{
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.FFM");
    // The process id of a program that has ended, as a crashed copy leaves it.
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    writeFile(library + ".lock",
              QString("%1\nVarrow\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
    LibraryLock lock(library);
    EXPECT_TRUE(lock.Acquire());
}

TEST(LibraryLock, AFolderWithoutWriteAccessIsNotOpenElsewhere)
{
    LibraryLock lock("/proc/no-such-folder/lib.FFM");
    EXPECT_FALSE(lock.Acquire());
    EXPECT_FALSE(lock.HeldByAnother());
}

TEST(FreeCopyPath, NeverNamesAnExistingFile)
{
    QTemporaryDir dir;
    const QString library = dir.filePath("lib.FFM");
    const QString first = FreeCopyPath(library, "outside");
    EXPECT_TRUE(first.startsWith(library + ".outside-"));
    EXPECT_TRUE(first.endsWith(".bak"));
    writeFile(first, "x");
    const QString second = FreeCopyPath(library, "outside");
    EXPECT_NE(second, first);
    EXPECT_FALSE(QFile::exists(second));
}

} // namespace
