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
    writeFile(library + ".lock", QString("%1\nVarrow\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
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

#include "data/WholeFileWrite.h"
#include "support/AsOrdinaryUser.h"

#include <QDir>

#include <sys/stat.h>

namespace {

// Why a library cannot be written, as an ordinary user meets it: the file read-only, the folder
// read-only while the file is not (a save puts a new file in the folder), or both writable.
TEST(LibraryWriteProblem, NamesTheRealCause)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    const QDir root(dir.path());
    for (const char *folder : {"closed", "open", "mine"})
        ASSERT_TRUE(root.mkdir(folder));
    // "closed": the folder is root's, the file the user's. "open": the folder everybody's, the
    // file root's and read-only. "mine": both the user's.
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("closed"), QFileDevice::Permissions(0x7755)));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("open"), QFileDevice::Permissions(0x7777)));
    for (const char *folder : {"closed", "open", "mine"})
        writeFile(dir.filePath(QString(folder) + "/OrlaFuelModels.FFM"), "\"[End]\"\r\n");
    ASSERT_TRUE(ordinaryuser::GiveToOrdinaryUser(dir.filePath("closed/OrlaFuelModels.FFM")));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("open/OrlaFuelModels.FFM"),
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(ordinaryuser::GiveToOrdinaryUser(dir.filePath("mine")));
    ASSERT_TRUE(ordinaryuser::GiveToOrdinaryUser(dir.filePath("mine/OrlaFuelModels.FFM")));

    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        std::string wrong;
        const QString closed = LibraryWriteProblem(dir.filePath("closed/OrlaFuelModels.FFM"));
        if (!closed.startsWith("its folder " + dir.filePath("closed") + " cannot be written"))
            wrong += "closed: " + closed.toStdString() + "; ";
        const QString open = LibraryWriteProblem(dir.filePath("open/OrlaFuelModels.FFM"));
        if (!open.startsWith("the library file " + dir.filePath("open/OrlaFuelModels.FFM") + " is read-only"))
            wrong += "open: " + open.toStdString() + "; ";
        const QString mine = LibraryWriteProblem(dir.filePath("mine/OrlaFuelModels.FFM"));
        if (!mine.isEmpty())
            wrong += "mine: " + mine.toStdString() + "; ";
        return wrong;
    });
    EXPECT_EQ(failed, "");
}

} // namespace

namespace {

// Another user's lock, left by a process that has ended, in a folder with the sticky bit: only
// its owner may remove it. It is said to be stale, with who left it, not "open elsewhere".
TEST(LibraryLockStale, AnotherUsersStaleLockIsSaidAsSuch)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const QString library = dir.filePath("OrlaFuelModels.FFM");
    writeFile(library, "\"[End]\"\r\n");
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    writeFile(library + ".lock", QString("%1\nVarrow\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
    const QString owner = QFileInfo(library + ".lock").owner();

    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        if (::getuid() == QFileInfo(library + ".lock").ownerId())
            return {}; // an ordinary user's own lock: taken over, nothing to tell
        LibraryLock lock(library);
        std::string wrong;
        if (lock.Acquire())
            wrong += "taken over; ";
        if (!lock.Stale())
            wrong += "not stale; ";
        const QString holder = lock.Holder();
        if (!holder.contains(
                QString("a stale lock left by the user %1 (process %2, which no longer runs)").arg(owner).arg(pid)))
            wrong += "holder: " + holder.toStdString();
        return wrong;
    });
    EXPECT_EQ(failed, "");
}

} // namespace

namespace {

// What a save takes from others is said before it: other names of the file (hard links), and
// an owner and a group shared with others that the saver cannot give the new file.
TEST(LibraryShareWarning, HardLinksAndAGroupTheSaverIsNotInAreSaid)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.filePath("OrlaFuelModels.FFM");
    writeFile(library, "\"[End]\"\r\n");
    EXPECT_EQ(LibraryShareWarning(library), QString());

    const QString second = dir.filePath("Second.FFM"), third = dir.filePath("Third.FFM");
    ASSERT_EQ(::link(QFile::encodeName(library).constData(), QFile::encodeName(second).constData()), 0);
    EXPECT_TRUE(LibraryShareWarning(library).contains("the file has 1 other name (hard link), which a save does not "
                                                      "reach: it keeps the library as it is now"))
        << LibraryShareWarning(library).toStdString();
    ASSERT_EQ(::link(QFile::encodeName(library).constData(), QFile::encodeName(third).constData()), 0);
    EXPECT_TRUE(LibraryShareWarning(library).contains("2 other names (hard links)"))
        << LibraryShareWarning(library).toStdString();
    QFile::remove(second);
    QFile::remove(third);

    // A file of the administrator's, writable by its group and everyone, in a folder everyone
    // may write: an ordinary user who saves it makes it their own and loses the group.
    if (::getuid() != 0)
        return; // giving files to another user takes an administrator
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(library).constData(), 0666), 0);
    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        const QString said = LibraryShareWarning(library);
        std::string wrong;
        if (!said.contains("the file belongs to root, and a save makes it yours"))
            wrong += "owner: " + said.toStdString() + "; ";
        if (!said.contains("its group root cannot be kept (you are not a member), so the other members of that group "
                           "can no longer write it"))
            wrong += "group: " + said.toStdString();
        return wrong;
    });
    EXPECT_EQ(failed, "");
}

} // namespace
