// The library of an installed program: the per-user data folder, seeded on first use from the
// library the installation ships in share/varrow.
#include "library/LibraryLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kProgramCopy = "\"[FuelModelSet:Beside the program,Count:0]\"\r\n\"[End]\"\r\n";
const QByteArray kSharedCopy = "\"[FuelModelSet:Shipped,Count:0]\"\r\n\"[End]\"\r\n";

// An installation under a temporary prefix, and a home with its data folder.
struct Installation
{
    QTemporaryDir dir;
    QString bin = dir.path() + "/usr/bin";
    QString shared = SharedLibraryPath(bin);
    QString data = dir.path() + "/home/.local/share/Varrow";

    Installation() { QDir().mkpath(bin); }
    QString resolve(bool programFolderWritable) const
    {
        QString error;
        return ResolveLibraryFilePath(bin, programFolderWritable, data, &error, shared);
    }
};

TEST(InstalledLibrary, TheShippedLibraryIsFoundBesideTheProgramsBinFolder)
{
    EXPECT_EQ(SharedLibraryPath("/opt/varrow/bin"), "/opt/varrow/share/varrow/OrlaFuelModels.FFM");
    EXPECT_EQ(SharedLibraryPath("/usr/bin/"), "/usr/share/varrow/OrlaFuelModels.FFM");
}

TEST(InstalledLibrary, TheShippedLibrarySeedsTheDataFolderOnceAndIsNeverWrittenItself)
{
    Installation p;
    writeFile(p.shared, kSharedCopy);
    const QString path = p.resolve(false);
    EXPECT_EQ(path, p.data + "/OrlaFuelModels.FFM");
    EXPECT_EQ(readAll(path), kSharedCopy);

    writeFile(path, "the user's own library");
    EXPECT_EQ(p.resolve(false), path);
    EXPECT_EQ(readAll(path), "the user's own library");
    EXPECT_EQ(readAll(p.shared), kSharedCopy);
}

TEST(InstalledLibrary, ALibraryBesideTheProgramIsTheSeedBeforeTheShippedOne)
{
    Installation p;
    writeFile(p.shared, kSharedCopy);
    writeFile(p.bin + "/OrlaFuelModels.FFM", kProgramCopy);
    EXPECT_EQ(readAll(p.resolve(false)), kProgramCopy);
}

TEST(InstalledLibrary, AProgramFolderOfItsOwnIgnoresTheShippedLibrary)
{
    Installation p;
    writeFile(p.shared, kSharedCopy);
    EXPECT_EQ(p.resolve(true), p.bin + "/OrlaFuelModels.FFM");
    EXPECT_FALSE(QFileInfo::exists(p.data));
}

} // namespace
