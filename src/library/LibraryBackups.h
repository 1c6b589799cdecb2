#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The library as it was at the start of each run: before the first write of a run the file is
// copied to "<name>.backup-yyyyMMdd-hhmmss.FFM" beside it (or into the fallback folder when the
// library's folder cannot be written), and only the newest ten such copies of a folder are kept.
// A run whose file is byte for byte the newest backup already makes no new one, so that ten
// runs without a change do not push out older, different libraries.

inline constexpr int kBackupsKept = 10;

struct BackupInfo
{
    enum Kind {
        RunBackup,     // the library as a run found it
        OutsideCopy,   // another program's version, kept when the window's library was saved over it
        ReplacedCopy,  // the window's library, kept when the file was read again in its place
        UnreadableCopy // a file that could not be read completely, kept before it was written over
    };
    Kind kind = RunBackup;
    QString path;
    QDateTime when; // from the name, local time
    qint64 size = 0;
    bool readable = false; // the file reads cleanly as a library
    int sets = 0;
    int models = 0;
};

// Keeps the library at libraryPath as a backup and deletes the oldest beyond kBackupsKept.
// Returns the backup's path (that of the newest backup when it already holds these bytes), or
// empty with *error set. A missing library has nothing to keep: empty, no error.
QString MakeRunBackup(const QString &libraryPath, const QString &fallbackFolder, QString *error);

// The same for bytes read from the library earlier (the file as the run found it, kept in
// memory). A backup is never made where it would leave less free space than keepFree bytes
// (what the library's own save needs, when the backup shares its disk): the save comes first.
// Which backups go beyond kBackupsKept is decided by the time each file was made, and the one
// just made is never among them, whatever its name says (a clock that ran ahead).
QString MakeRunBackup(const QString &libraryPath, const QByteArray &bytes, const QString &fallbackFolder,
                      qint64 keepFree, QString *error);

// "OrlaFuelModels.FFM" -> "OrlaFuelModels.FFM.<tag>-yyyyMMdd-hhmmss.bak" for the copies kept
// beside the library: tag "outside" (OutsideCopy), "replaced" (ReplacedCopy), "unreadable".
QString BackupCopyTag(BackupInfo::Kind kind);

// Tests: the next count backups fail to be written, as on a full disk.
void FailBackupWritesForTesting(int count);

// Every backup of the library, beside it and in the fallback folder, newest first, with what
// each holds; also the copies kept beside the library (BackupCopyTag).
QList<BackupInfo> ListBackups(const QString &libraryPath, const QString &fallbackFolder);

// Removes what backups being written when the program was killed left beside the library and
// in the fallback folder (see RemoveWriteLeftovers); returns the files removed.
QStringList RemoveBackupWriteLeftovers(const QString &libraryPath, const QString &fallbackFolder);

// The folder backups go to when the library's own folder cannot be written: "backups" in the
// per-user data folder.
QString DefaultBackupFolder();
