#include "library/LibraryBackups.h"
#include "library/WholeFileWrite.h"

#include "LibraryFileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace libraryfiletest;

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A process number no process can have (beyond the largest the system hands out).
constexpr qint64 kEndedProcess = 99999999;

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
        "OrlaFuelModels.FFM.backup",                      // six letters, but a user's own copy
        "OrlaFuelModels.backup-20261209-101500.FFM",      // a backup
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
    remaining << "OrlaFuelModels.FFM" << "OrlaFuelModels.FFM.saving-" + ended + "-folder" << "elsewhere"
              << "OrlaFuelModels.FFM.saving-" + ended + "-linkAA" << "fallback";
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
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.filePath("OrlaFuelModels.FFM");
    const QString leftover = WholeWriteTemporaryPath(library, kEndedProcess, "Ab3xQz");
    ASSERT_TRUE(putFile(library, kWorkedExample) && putFile(leftover, "part"));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QStringList removed = RemoveWriteLeftovers(library);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(removed.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(leftover));
}

} // namespace
