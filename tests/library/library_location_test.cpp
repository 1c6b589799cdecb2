#include "library/LibraryLocation.h"

#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QByteArray kLibrary = "\"[FuelModelSet:Mine,Count:0]\"\r\n\"[End]\"\r\n";

TEST(LibraryLocation, AWritableProgramFolderHoldsTheFile)
{
    QTemporaryDir program, data;
    QString error;
    EXPECT_EQ(ResolveLibraryFilePath(program.path(), true, data.filePath("app"), &error),
              program.path() + "/OrlaFuelModels.FFM");
    EXPECT_FALSE(QFileInfo::exists(data.filePath("app"))); // nothing made in the data folder
}

TEST(LibraryLocation, AnInstalledProgramKeepsTheLibraryInTheUsersDataFolder)
{
    QTemporaryDir program, data;
    const QString dataFolder = data.filePath("share/Varrow");
    const QString shipped = program.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(shipped, kLibrary));
    QString error;

    // First use: the folder is made and seeded with the program folder's copy.
    const QString path = ResolveLibraryFilePath(program.path(), false, dataFolder, &error);
    EXPECT_EQ(path, dataFolder + "/OrlaFuelModels.FFM");
    EXPECT_EQ(fileBytes(path), kLibrary);

    // Later: the user's own library is kept, whatever the program folder holds now.
    ASSERT_TRUE(putFile(path, "user's own"));
    ASSERT_TRUE(putFile(shipped, "newer program copy"));
    EXPECT_EQ(ResolveLibraryFilePath(program.path(), false, dataFolder, &error), path);
    EXPECT_EQ(fileBytes(path), "user's own");

    // No copy to seed from: the place is given, the file is left for the caller to create.
    QTemporaryDir emptyProgram, otherData;
    const QString fresh = ResolveLibraryFilePath(emptyProgram.path(), false, otherData.filePath("x"), &error);
    EXPECT_EQ(fresh, otherData.filePath("x") + "/OrlaFuelModels.FFM");
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST(LibraryLocation, OnceTheProgramWorksOnACopyItKeepsItAndAlwaysSaysWhy)
{
    QTemporaryDir program, data;
    const QString dataFolder = data.filePath("share/Varrow");
    const QString beside = program.filePath("OrlaFuelModels.FFM");
    const QString copy = dataFolder + "/OrlaFuelModels.FFM";
    ASSERT_TRUE(putFile(beside, kLibrary));

    const LibraryLocation writable = ResolveLibraryLocation(program.path(), true, dataFolder);
    EXPECT_EQ(writable.kind, LibraryLocation::ProgramFolder);
    EXPECT_EQ(writable.path, beside);
    EXPECT_TRUE(writable.reason.contains(QDir::toNativeSeparators(beside))) << writable.reason.toStdString();
    EXPECT_FALSE(writable.copiedNow);

    // The folder cannot be written: the program moves to a copy, and says so.
    const LibraryLocation moved = ResolveLibraryLocation(program.path(), false, dataFolder);
    EXPECT_EQ(moved.path, copy);
    EXPECT_EQ(moved.kind, LibraryLocation::UserCopy);
    EXPECT_TRUE(moved.copiedNow);
    EXPECT_TRUE(moved.reason.contains("cannot be written")) << moved.reason.toStdString();
    EXPECT_TRUE(moved.reason.contains("copied there now from " + QDir::toNativeSeparators(beside)))
        << moved.reason.toStdString();
    EXPECT_EQ(fileBytes(copy), kLibrary);

    // Work done in the copy; later the folder can be written again: the copy stays the library.
    ASSERT_TRUE(putFile(copy, "work done in the copy"));
    const LibraryLocation later = ResolveLibraryLocation(program.path(), true, dataFolder);
    EXPECT_EQ(later.path, copy);
    EXPECT_FALSE(later.copiedNow);
    EXPECT_TRUE(later.reason.contains(QDir::toNativeSeparators(copy))) << later.reason.toStdString();
    EXPECT_TRUE(later.reason.contains(QDir::toNativeSeparators(beside) + ", is not used"))
        << later.reason.toStdString();
    EXPECT_FALSE(later.reason.contains("changed after"));
    EXPECT_EQ(fileBytes(copy), "work done in the copy");
    EXPECT_EQ(fileBytes(beside), kLibrary);

    // The file beside the program changed since: the user hears of it.
    QFile touched(beside);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QFileInfo(copy).lastModified().addSecs(60), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_TRUE(ResolveLibraryLocation(program.path(), true, dataFolder).reason.contains("changed after the copy"));
}

// The choice is made per program folder: a per-user copy made for another program folder is
// not taken up by a folder whose copies used the file beside them, and whenever the file chosen
// differs from the one used last time, the other one is named for the question.
TEST(LibraryLocation, EachProgramFolderKeepsItsOwnLibraryAndAnotherFileIsNeverTakenUnasked)
{
    QTemporaryDir mine, other, data;
    const QString dataFolder = data.filePath("share/Varrow");
    const QString beside = mine.filePath("OrlaFuelModels.FFM");
    const QString copy = dataFolder + "/OrlaFuelModels.FFM";
    ASSERT_TRUE(putFile(beside, kLibrary));
    // Another program folder that cannot be written made the per-user copy.
    ASSERT_TRUE(putFile(other.filePath("OrlaFuelModels.FFM"), kLibrary));
    const LibraryLocation theirs = ResolveLibraryLocation(other.path(), false, dataFolder);
    ASSERT_EQ(theirs.path, copy);
    ASSERT_TRUE(QFileInfo::exists(copy));

    // This folder's copies used the file beside them: they still do, and nothing is asked.
    LibraryLocation l = ResolveLibraryLocation(mine.path(), true, dataFolder, {}, {}, beside);
    EXPECT_EQ(l.path, beside);
    EXPECT_EQ(l.kind, LibraryLocation::ProgramFolder);
    EXPECT_TRUE(l.previousPath.isEmpty());

    // Nothing remembered (an earlier version): the copy as before, but the file beside the
    // program is named for the question.
    l = ResolveLibraryLocation(mine.path(), true, dataFolder);
    EXPECT_EQ(l.path, copy);
    EXPECT_EQ(l.previousPath, beside);
    EXPECT_TRUE(l.nothingRemembered);

    // Used the copy last time: kept, nothing to ask.
    l = ResolveLibraryLocation(mine.path(), true, dataFolder, {}, {}, copy);
    EXPECT_EQ(l.path, copy);
    EXPECT_TRUE(l.previousPath.isEmpty());

    // This folder can no longer be written: the copy, with the file used last time named.
    l = ResolveLibraryLocation(mine.path(), false, dataFolder, {}, {}, beside);
    EXPECT_EQ(l.path, copy);
    EXPECT_EQ(l.previousPath, beside);
    EXPECT_FALSE(l.nothingRemembered);

    // A file used last time that is gone is nothing to ask about.
    l = ResolveLibraryLocation(mine.path(), true, dataFolder, {}, {}, mine.filePath("gone/OrlaFuelModels.FFM"));
    EXPECT_EQ(l.path, beside);
    EXPECT_TRUE(l.previousPath.isEmpty());
}

TEST(LibraryLocation, ALibraryFileIsDescribedBySizeDateSetsAndModels)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("L.FFM");
    const QByteArray bytes = "\"[FuelModelSet:A,Count:2]\"\r\n"
                             "\"1\",\"one\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"2\",\"two\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"[FuelModelSet:B,Count:1]\"\r\n"
                             "\"3\",\"three\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                             "\"[End]\"\r\n";
    ASSERT_TRUE(putFile(path, bytes));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6)), QFileDevice::FileModificationTime));
    f.close();
    // 262 bytes: 0.3 KB.
    ASSERT_EQ(bytes.size(), 262);
    EXPECT_EQ(DescribeLibraryFile(path), "0.3 KB, changed 2026-03-04 05:06, 2 sets, 3 models");
    EXPECT_TRUE(DescribeLibraryFile(dir.filePath("none.FFM")).startsWith("does not exist yet"));
}

TEST(LibraryLocation, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir program, data;
    ASSERT_TRUE(putFile(data.filePath("blocker"), "a file where the folder should go"));
    QString error;
    EXPECT_EQ(ResolveLibraryFilePath(program.path(), false, data.filePath("blocker/Varrow"), &error), "");
    EXPECT_TRUE(error.contains("cannot be created")) << error.toStdString();
}

TEST(LibraryLocation, TheTestFolderRedirectsReadingAndWriting)
{
    LibrarySession::ResetProgram();
    QTemporaryDir dir;
    SetLibraryFolderForTesting(dir.path());
    EXPECT_EQ(LibraryFilePath(), dir.filePath("OrlaFuelModels.FFM"));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.FFM"), kLibrary));
    MemoryTree tree;
    LibraryProblem problem;
    ASSERT_TRUE(ReadFMs(tree, &problem));
    EXPECT_EQ(gFMSets->Item(1)->Name(), "Mine");
    gFMSets->Item(1)->setName("Renamed");
    QString error;
    ASSERT_TRUE(WriteFMs(&error)) << error.toStdString();
    EXPECT_EQ(fileBytes(dir.filePath("OrlaFuelModels.FFM")), "\"[FuelModelSet:Renamed,Count:0]\"\r\n\"[End]\"\r\n");
    SetLibraryFolderForTesting({});
    EXPECT_NE(LibraryFilePath(), dir.filePath("OrlaFuelModels.FFM"));
}

} // namespace

#include "support/AsOrdinaryUser.h"

namespace {

// A program folder that can be written holding a library file that cannot: the user is told
// that the file is read-only, not that the folder cannot be written.
TEST(LibraryLocation, AReadOnlyLibraryFileBesideTheProgramIsNamedAsTheCause)
{
    QTemporaryDir program, data;
    ASSERT_TRUE(program.isValid() && data.isValid());
    const QString file = program.filePath("OrlaFuelModels.FFM");
    ASSERT_TRUE(putFile(file, kLibrary));
    // The folders are everybody's; the file is root's own and read-only to the others (and read-only to
    // its owner too, for a test run by an ordinary user).
    ASSERT_TRUE(QFile::setPermissions(program.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(data.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));

    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        const LibraryLocation l = LibraryLocationFor(program.path(), data.filePath("app"));
        std::string wrong;
        if (l.kind != LibraryLocation::UserCopy)
            wrong += "not the user's copy; ";
        if (!l.reason.contains("The library file " + file + " beside the program is read-only"))
            wrong += "reason: " + l.reason.toStdString() + "; ";
        if (l.reason.contains("folder") && l.reason.contains("cannot be written"))
            wrong += "blames the folder: " + l.reason.toStdString() + "; ";
        if (l.summary.contains("folder"))
            wrong += "summary: " + l.summary.toStdString() + "; ";
        return wrong;
    });
    EXPECT_EQ(failed, "");

    // A folder that cannot be written is still named as such.
    ASSERT_TRUE(QFile::setPermissions(program.path(), QFileDevice::Permissions(0x7755)));
    QFile::remove(data.filePath("app/OrlaFuelModels.FFM"));
    const std::string folder = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        const LibraryLocation l = LibraryLocationFor(program.path(), data.filePath("app2"));
        return l.reason.contains("The program's folder " + program.path() + " cannot be written")
            ? std::string()
            : "reason: " + l.reason.toStdString();
    });
    EXPECT_EQ(folder, "");
}

} // namespace
