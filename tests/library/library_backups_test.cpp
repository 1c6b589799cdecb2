// Backups of the library made before the first write of a run: which are kept, what they
// hold, where they go when the library's folder cannot be written, and how they are listed.

#include "library/LibraryBackups.h"

#include "support/AsOrdinaryUser.h"
#include "support/LibraryFileSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <limits>

using namespace libraryfiletest;

namespace {

// Two sets, three models.
const QByteArray kTwoSets = "\"[FuelModelSet:A,Count:1]\"\r\n"
                            "\"1\",\"One\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"[FuelModelSet:B,Count:2]\"\r\n"
                            "\"2\",\"Two\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"3\",\"Three\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                            "\"[End]\"\r\n";

QStringList backupNames(const QString &folder)
{
    return QDir(folder).entryList({"OrlaFuelModels.backup-*"}, QDir::Files, QDir::Name);
}

class LibraryBackups : public LibraryFileTest
{
protected:
    QTemporaryDir dir;
    QTemporaryDir fallback;
    QString library() const { return dir.filePath("OrlaFuelModels.FFM"); }
};

TEST_F(LibraryBackups, KeepsTheLibraryAsFoundAndOnlyTheTenNewestRuns)
{
    // Ten older runs; two of them within the same second, told apart by "-2" (the later one).
    QStringList old{"20260101-120000", "20260101-120000-2"};
    for (int day = 2; day <= 9; ++day)
        old << QString("202601%1-120000").arg(day, 2, 10, QChar('0'));
    for (const QString &stamp : old)
        ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.backup-" + stamp + ".FFM"), kWorkedExample));
    // Not backups of this library: left alone and not counted.
    ASSERT_TRUE(putFile(dir.filePath("Other.backup-20250101-120000.FFM"), kWorkedExample));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.backup-notes.FFM"), "notes"));
    ASSERT_TRUE(putFile(library(), kTwoSets));

    QString error;
    const QString made = MakeRunBackup(library(), fallback.path(), &error);
    ASSERT_FALSE(made.isEmpty()) << qPrintable(error);
    EXPECT_EQ(QFileInfo(made).absolutePath(), QFileInfo(library()).absolutePath());
    EXPECT_EQ(fileBytes(made), kTwoSets);
    EXPECT_EQ(fileBytes(library()), kTwoSets);

    // Eleven backups of this library: the oldest goes, the same second's later one stays.
    const QStringList left = backupNames(dir.path());
    EXPECT_FALSE(left.contains("OrlaFuelModels.backup-20260101-120000.FFM"));
    EXPECT_TRUE(left.contains("OrlaFuelModels.backup-20260101-120000-2.FFM"));
    EXPECT_TRUE(left.contains("OrlaFuelModels.backup-notes.FFM"));
    EXPECT_EQ(left.size(), kBackupsKept + 1); // the notes file
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Other.backup-20250101-120000.FFM")));
    EXPECT_TRUE(backupNames(fallback.path()).isEmpty());
}

TEST_F(LibraryBackups, ARunWithTheSameBytesAsTheNewestBackupMakesNoNewOne)
{
    ASSERT_TRUE(putFile(library(), kWorkedExample));
    QString error;
    const QString first = MakeRunBackup(library(), fallback.path(), &error);
    ASSERT_FALSE(first.isEmpty()) << qPrintable(error);
    EXPECT_EQ(MakeRunBackup(library(), fallback.path(), &error), first);
    EXPECT_EQ(backupNames(dir.path()).size(), 1);

    // Changed since: a second backup within the same second gets a name of its own.
    ASSERT_TRUE(putFile(library(), kTwoSets));
    const QString second = MakeRunBackup(library(), fallback.path(), &error);
    ASSERT_FALSE(second.isEmpty()) << qPrintable(error);
    EXPECT_NE(second, first);
    EXPECT_EQ(fileBytes(first), kWorkedExample);
    EXPECT_EQ(fileBytes(second), kTwoSets);

    // No library, nothing to keep and nothing wrong.
    QFile::remove(library());
    error.clear();
    EXPECT_TRUE(MakeRunBackup(library(), fallback.path(), &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(LibraryBackups, ListsBothFoldersNewestFirstWithWhatEachHolds)
{
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.backup-20260301-080000.FFM"), kTwoSets));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.backup-20260101-080000.FFM"), "\"[FuelModelSet:A,Count:3]\"\r\n"));
    ASSERT_TRUE(putFile(fallback.filePath("OrlaFuelModels.backup-20260201-093015.FFM"), kWorkedExample));

    const QList<BackupInfo> list = ListBackups(library(), fallback.path());
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].when, QDateTime(QDate(2026, 3, 1), QTime(8, 0)));
    EXPECT_TRUE(list[0].readable);
    EXPECT_EQ(list[0].sets, 2);
    EXPECT_EQ(list[0].models, 3);
    EXPECT_EQ(list[0].size, kTwoSets.size());
    EXPECT_EQ(list[1].path, fallback.filePath("OrlaFuelModels.backup-20260201-093015.FFM"));
    EXPECT_EQ(list[1].when, QDateTime(QDate(2026, 2, 1), QTime(9, 30, 15)));
    EXPECT_EQ(list[1].models, 1);
    // A truncated backup is listed but holds nothing to restore.
    EXPECT_FALSE(list[2].readable);
    EXPECT_EQ(list[2].models, 0);
}

TEST_F(LibraryBackups, AFolderThatCannotBeWrittenSendsTheBackupToTheFallback)
{
    ASSERT_TRUE(putFile(library(), kTwoSets));
    // The library's folder only readable for the ordinary user (root writes every folder, so
    // the backup is made as the user nobody then); the fallback open to it.
    const auto mode = [](const QString &path, mode_t m) {
        return ::chmod(QFile::encodeName(path).constData(), m) == 0;
    };
    ASSERT_TRUE(mode(dir.path(), 0755) && mode(library(), 0644) && mode(fallback.path(), 0777));
    const QString backups = fallback.filePath("made/backups");
    const std::string failed = ordinaryuser::RunAsOrdinaryUser([&]() -> std::string {
        const bool own = QFileInfo(dir.path()).ownerId() == ::getuid();
        if (own)
            mode(dir.path(), 0555);
        QString error;
        const QString made = MakeRunBackup(library(), backups, &error);
        if (own)
            mode(dir.path(), 0755);
        if (made.isEmpty())
            return "no backup: " + error.toStdString();
        std::string wrong;
        if (QFileInfo(made).absolutePath() != backups)
            wrong += "made in " + made.toStdString() + "; ";
        if (fileBytes(made) != kTwoSets)
            wrong += "other bytes; ";
        if (ListBackups(library(), backups).size() != 1)
            wrong += "not listed; ";
        return wrong;
    });
    EXPECT_EQ(failed, "");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*backup*"}, QDir::Files).isEmpty());
}

} // namespace

namespace {

void setMadeTime(const QString &path, const QDateTime &when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

// Ten backups made while the clock ran ahead (named and dated 2099): the backup a run makes now
// is kept, and so is the next run's; the skewed ones go first.
TEST_F(LibraryBackups, BackupsOfAClockThatRanAheadNeverPushOutNewOnes)
{
    const QDateTime ahead(QDate(2099, 1, 1), QTime(12, 0));
    for (int n = 0; n < kBackupsKept; ++n) {
        const QString path =
            dir.filePath(QString("OrlaFuelModels.backup-209901%1-120000.FFM").arg(n + 1, 2, 10, QChar('0')));
        ASSERT_TRUE(putFile(path, kWorkedExample + QByteArray::number(n)));
        setMadeTime(path, ahead.addDays(n));
    }
    ASSERT_TRUE(putFile(library(), kTwoSets));
    QString error;
    const QString first = MakeRunBackup(library(), fallback.path(), &error);
    ASSERT_FALSE(first.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(fileBytes(first), kTwoSets);
    EXPECT_EQ(backupNames(dir.path()).size(), kBackupsKept);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("OrlaFuelModels.backup-20990101-120000.FFM"))); // the earliest skewed

    // The next run, with another library.
    ASSERT_TRUE(putFile(library(), kWorkedExample));
    const QString second = MakeRunBackup(library(), fallback.path(), &error);
    ASSERT_FALSE(second.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(backupNames(dir.path()).size(), kBackupsKept);
}

// The copies kept beside the library are listed with the backups, each saying what it is.
TEST_F(LibraryBackups, CopiesKeptBesideTheLibraryAreListedToo)
{
    ASSERT_TRUE(putFile(library(), kTwoSets));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.backup-20260301-080000.FFM"), kTwoSets));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.FFM.outside-20260302-080000.bak"), kWorkedExample));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.FFM.replaced-20260303-080000.bak"), kTwoSets));
    ASSERT_TRUE(putFile(dir.filePath("OrlaFuelModels.FFM.replaced-20260303-080000-2.bak"), kWorkedExample));
    ASSERT_TRUE(putFile(dir.filePath("Other.FFM.outside-20260302-080000.bak"), kWorkedExample)); // not ours
    const QList<BackupInfo> list = ListBackups(library(), fallback.path());
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].kind, BackupInfo::ReplacedCopy);
    EXPECT_EQ(list[0].path, dir.filePath("OrlaFuelModels.FFM.replaced-20260303-080000-2.bak"));
    EXPECT_EQ(list[0].models, 1);
    EXPECT_EQ(list[1].kind, BackupInfo::ReplacedCopy);
    EXPECT_EQ(list[1].models, 3);
    EXPECT_EQ(list[2].kind, BackupInfo::OutsideCopy);
    EXPECT_EQ(list[2].when, QDateTime(QDate(2026, 3, 2), QTime(8, 0)));
    EXPECT_EQ(list[3].kind, BackupInfo::RunBackup);
}

// A backup never takes the space the save needs: with less free space than that, none is made
// and the reason says so.
TEST_F(LibraryBackups, NoBackupWhereTheSaveNeedsTheSpace)
{
    ASSERT_TRUE(putFile(library(), kTwoSets));
    QString error;
    EXPECT_TRUE(
        MakeRunBackup(library(), kTwoSets, fallback.path(), std::numeric_limits<qint64>::max() / 2, &error).isEmpty());
    EXPECT_TRUE(error.contains("which the library's own save needs")) << qPrintable(error);
    EXPECT_TRUE(backupNames(dir.path()).isEmpty());
    EXPECT_FALSE(MakeRunBackup(library(), kTwoSets, fallback.path(), 1, &error).isEmpty());
}

} // namespace
