#include "data/WholeFileWrite.h"
#include "library/LibraryBackups.h"

#include "support/AsOrdinaryUser.h"
#include "support/LibraryFileSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace libraryfiletest;

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A process number no process can have (beyond the largest the system hands out).
constexpr qint64 kEndedProcess = 99999999;

TEST(WholeFileWrite, NeverReplacesAPipeOrAFolderWithAFile)
{
    // An export aimed at a device (an administrator's /dev/null) must not take the device away;
    // a named pipe stands in for it here.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath("out.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(WriteFileWhole(pipe, "a,b\r\n", &error));
    EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
    struct stat after
    { };
    ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(WriteFileWhole(dir.filePath("folder"), "x", &error));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_EQ(filesIn(dir.path()), QStringList({"folder", "out.csv"}));
}

TEST(WholeFileWrite, ReplacesTheFileThroughALinkKeepingItsPermissionsAndLeavesNothingBeside)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    const QString real = dir.filePath("real/OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(real, "old"));
    const auto shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(real, shared));
    const QString link = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(QFile::link("real/OrlaFuelModels.FFM", link));

    QString error;
    ASSERT_TRUE(WriteFileWhole(link, "new bytes", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(real), "new bytes");
    EXPECT_EQ(QFile::permissions(real) & 0x7077, shared);
    EXPECT_EQ(filesIn(dir.filePath("real")), QStringList({"OrlaFuelModels.FFM"}));
    EXPECT_EQ(filesIn(dir.path()), QStringList({"OrlaFuelModels.FFM", "real"}));

    // A new file, and an empty one.
    const QString fresh = dir.filePath("Fresh.FFM");
    ASSERT_TRUE(WriteFileWhole(fresh, "", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(fresh).isFile());
    EXPECT_EQ(QFileInfo(fresh).size(), 0);
}

// Only the temporary files of writes whose process has ended, named exactly as the writer
// names them beside this library, are taken; everything that merely looks like one stays.
TEST(WholeFileWrite, LeftoversOfEndedWritesAreRemovedAndNothingElse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(library, kWorkedExample));
    const QString ended = QString::number(kEndedProcess);
    const QStringList leftovers = {
        "OrlaFuelModels.FFM.saving-" + ended + "-Ab3xQz",
        "OrlaFuelModels.FFM.saving-" + ended + "-000000",
    };
    // Backups of this library being written when the kill came, beside it and in the fallback
    // folder.
    const QStringList backupLeftovers = {
        "OrlaFuelModels.backup-20261209-101500.FFM.saving-" + ended + "-zzZZ99",
        "OrlaFuelModels.backup-20261209-101500-2.FFM.saving-" + ended + "-zzZZ99",
        "fallback/OrlaFuelModels.backup-20261209-101500.FFM.saving-" + ended + "-zzZZ98",
    };
    const QStringList kept = {
        "OrlaFuelModels.FFM.lock",
        "OrlaFuelModels.FFM.backup",                                            // six letters, but a user's own copy
        "OrlaFuelModels.backup-20261209-101500.FFM",                            // a backup
        "OrlaFuelModels.backup-2026120-101500.FFM.saving-" + ended + "-zzZZ99", // not a backup's name
        "OrlaFuelModels.FFM.backup-20261209-101500.FFM.saving-" + ended + "-zzZZ99",
        "Other.backup-20261209-101500.FFM.saving-" + ended + "-zzZZ99",
        "OrlaFuelModels.FFM.saving-" + ended + "-Ab3xQ",   // five characters
        "OrlaFuelModels.FFM.saving-" + ended + "-Ab3xQzz", // seven
        "OrlaFuelModels.FFM.saving-" + ended + "-Ab3x-z",
        "OrlaFuelModels.FFM.saving-" + ended + "-Ab3xQz.txt",
        "OrlaFuelModels.FFM.saving--Ab3xQz",
        "OrlaFuelModels.FFM.saving-12a-Ab3xQz",
        "OrlaFuelModels.FFMX.saving-" + ended + "-Ab3xQz", // another library's name
        "Other.FFM.saving-" + ended + "-Ab3xQz",
        "orlafuelmodels.ffm.saving-" + ended + "-Ab3xQz",
        // Being written right now by a running program (this one).
        "OrlaFuelModels.FFM.saving-" + QString::number(::getpid()) + "-Ab3xQz",
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("fallback"));
    for (const QString &name : leftovers + backupLeftovers + kept)
        ASSERT_TRUE(putFile(dir.filePath(name), "\"[FuelModelSet:Part"));
    // Not files: a folder and a link with a leftover's name (the link's target stays too).
    ASSERT_TRUE(QDir(dir.path()).mkdir("OrlaFuelModels.FFM.saving-" + ended + "-folder"));
    ASSERT_TRUE(putFile(dir.filePath("elsewhere"), "keep"));
    ASSERT_TRUE(QFile::link("elsewhere", dir.filePath("OrlaFuelModels.FFM.saving-" + ended + "-linkAA")));

    const auto sortedPaths = [&](const QStringList &names) {
        QStringList paths;
        for (const QString &name : names)
            paths << dir.filePath(name);
        paths.sort();
        return paths;
    };
    QStringList removed = RemoveWriteLeftovers(library);
    removed.sort();
    EXPECT_EQ(removed, sortedPaths(leftovers));
    removed = RemoveBackupWriteLeftovers(library, dir.filePath("fallback"));
    removed.sort();
    EXPECT_EQ(removed, sortedPaths(backupLeftovers));
    EXPECT_TRUE(filesIn(dir.filePath("fallback")).isEmpty());
    QStringList remaining = kept;
    remaining << "OrlaFuelModels.FFM"
              << "OrlaFuelModels.FFM.saving-" + ended + "-folder"
              << "elsewhere"
              << "OrlaFuelModels.FFM.saving-" + ended + "-linkAA"
              << "fallback";
    remaining.sort();
    EXPECT_EQ(filesIn(dir.path()), remaining);
    EXPECT_EQ(fileBytes(library), kWorkedExample);
    EXPECT_EQ(fileBytes(dir.filePath("elsewhere")), "keep");

    // A second start finds nothing more to take.
    EXPECT_TRUE(RemoveWriteLeftovers(library).isEmpty());
    EXPECT_TRUE(RemoveBackupWriteLeftovers(library, dir.filePath("fallback")).isEmpty());
}

TEST(WholeFileWrite, LeftoversInAFolderThatCannotBeWrittenAreLeftQuietly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.filePath("OrlaFuelModels.FFM");
    const QString leftover = WholeWriteTemporaryPath(library, kEndedProcess, "Ab3xQz");
    ASSERT_TRUE(putFile(library, kWorkedExample) && putFile(leftover, "part"));
    // Root writes every folder: the start is made as the user nobody, for whom the folder is
    // only readable (an ordinary user's own folder is made so for the moment).
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        const bool own = QFileInfo(dir.path()).ownerId() == ::getuid();
        if (own)
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QStringList removed = RemoveWriteLeftovers(library);
        if (own)
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return removed.isEmpty() ? std::string() : "removed " + removed.join(", ").toStdString();
    });
    EXPECT_EQ(failed, "");
    EXPECT_TRUE(QFileInfo::exists(leftover));
}

} // namespace

namespace {

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// What another program writes between the check and the rename.
QByteArray g_theirs;
bool g_inPlace = false;
void anotherProgramWrites(const QString &path)
{
    if (g_inPlace) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(g_theirs);
        return;
    }
    // As an editor saves: a new file renamed over the old one.
    const QString temp = path + ".editor";
    QFile f(temp);
    if (f.open(QIODevice::WriteOnly))
        f.write(g_theirs);
    f.close();
    QFile::remove(path);
    QFile::rename(temp, path);
}

struct HookGuard
{
    explicit HookGuard(void (*hook)(const QString &)) { SetBetweenCheckAndRenameForTesting(hook); }
    ~HookGuard() { SetBetweenCheckAndRenameForTesting(nullptr); }
};

// The check and the rename are one step: another program's version that lands between them is
// never written over, whether it replaces the file or writes into it; and a rewrite of the very
// bytes expected is no change at all.
TEST(WholeFileWrite, AChangeBetweenTheCheckAndTheRenameIsNeverLost)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    QString error, aside;

    for (const bool inPlace : {false, true}) {
        ASSERT_TRUE(putFile(path, "ours as read"));
        g_theirs = inPlace ? "their edit in place" : "their new file";
        g_inPlace = inPlace;
        {
            const HookGuard hook(anotherProgramWrites);
            EXPECT_EQ(WriteFileWholeIfUnchanged(path, "our change", sha256("ours as read"), &error, &aside),
                      CheckedWrite::ChangedOutside);
        }
        EXPECT_EQ(fileBytes(path), g_theirs) << (inPlace ? "in place" : "replaced");
        EXPECT_TRUE(aside.isEmpty());
        EXPECT_EQ(filesIn(dir.path()), QStringList({"OrlaFuelModels.FFM"}));
    }

    // A change made before the check is seen by the check itself.
    ASSERT_TRUE(putFile(path, "changed earlier"));
    EXPECT_EQ(WriteFileWholeIfUnchanged(path, "our change", sha256("ours as read"), &error),
              CheckedWrite::ChangedOutside);
    EXPECT_EQ(fileBytes(path), "changed earlier");

    // The same bytes written again by another program: nothing to lose, the write goes on.
    ASSERT_TRUE(putFile(path, "ours as read"));
    EXPECT_EQ(WriteFileWholeIfUnchanged(path, "our change", sha256("ours as read"), &error), CheckedWrite::Written)
        << error.toStdString();
    EXPECT_EQ(fileBytes(path), "our change");
    EXPECT_EQ(filesIn(dir.path()), QStringList({"OrlaFuelModels.FFM"}));

    // No file expected: one made meanwhile by another program stays.
    const QString fresh = dir.filePath("Fresh.FFM");
    g_theirs = "made meanwhile";
    g_inPlace = false;
    {
        const HookGuard hook(anotherProgramWrites);
        EXPECT_EQ(WriteFileWholeIfUnchanged(fresh, "ours", QByteArray(), &error), CheckedWrite::ChangedOutside);
    }
    EXPECT_EQ(fileBytes(fresh), "made meanwhile");
    QFile::remove(fresh);
    EXPECT_EQ(WriteFileWholeIfUnchanged(fresh, "ours", QByteArray(), &error), CheckedWrite::Written);
    EXPECT_EQ(fileBytes(fresh), "ours");
}

// A link to a link: the save reaches the real file and both links stay links.
TEST(WholeFileWrite, ALinkToALinkIsWrittenThroughToTheRealFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("shared/data"));
    const QString real = dir.filePath("shared/data/OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(real, "old"));
    const QString middle = dir.filePath("shared/current.FFM");
    const QString outer = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(QFile::link("data/OrlaFuelModels.FFM", middle)); // relative to its own folder
    ASSERT_TRUE(QFile::link(middle, outer));
    EXPECT_EQ(FinalFilePath(outer), real);

    QString error;
    ASSERT_TRUE(WriteFileWhole(outer, "new", &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(real), "new");
    EXPECT_TRUE(QFileInfo(outer).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    ASSERT_EQ(WriteFileWholeIfUnchanged(outer, "newer", sha256("new"), &error), CheckedWrite::Written)
        << error.toStdString();
    EXPECT_EQ(fileBytes(real), "newer");
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(filesIn(dir.filePath("shared/data")), QStringList({"OrlaFuelModels.FFM"}));
}

// In a folder shared by a group, the library keeps its owner and group across a save, so that
// the next user can still write it. (Root gives both; a member of the group gives the group.)
TEST(WholeFileWrite, ASaveKeepsTheFilesOwnerAndGroup)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a file to another user takes an administrator";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(path, "old"));
    constexpr uid_t kOwner = 65534;
    constexpr gid_t kGroup = 65533;
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kOwner, kGroup), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0664), 0);

    QString error;
    ASSERT_TRUE(WriteFileWhole(path, "new", &error)) << error.toStdString();
    struct stat after;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_uid, kOwner);
    EXPECT_EQ(after.st_gid, kGroup);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    ASSERT_EQ(WriteFileWholeIfUnchanged(path, "newer", sha256("new"), &error), CheckedWrite::Written);
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_uid, kOwner);
    EXPECT_EQ(after.st_gid, kGroup);
}

} // namespace
