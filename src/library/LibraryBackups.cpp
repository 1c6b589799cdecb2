#include "library/LibraryBackups.h"

#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

// The bytes free to this user on the file system holding folder when it also holds
// libraryFolder; -1 when they are on different file systems or either cannot be looked at.
// Asked of the file system itself, not of the mount table, which a container or a changed root
// may not show.
qint64 freeBytesBeside(const QString &folder, const QString &libraryFolder)
{
    struct stat a
    {
    }, b{};
    if (::stat(QFile::encodeName(folder).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(libraryFolder).constData(), &b) != 0 || a.st_dev != b.st_dev)
        return -1;
    struct statvfs fs
    { };
    if (::statvfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return -1;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

const QString kStampFormat = QStringLiteral("yyyyMMdd-hhmmss");

// "OrlaFuelModels.FFM" -> "OrlaFuelModels.backup-"
QString prefixOf(const QString &libraryPath)
{
    return QFileInfo(libraryPath).completeBaseName() + QStringLiteral(".backup-");
}

// The names of the library's backups, a regular expression without anchors: the stamp is the
// first capture, the number within a second the second.
QString backupNames(const QString &libraryPath)
{
    return QStringLiteral("%1(\\d{8}-\\d{6})(?:-(\\d+))?\\.FFM").arg(QRegularExpression::escape(prefixOf(libraryPath)));
}

int g_failBackupWrites = 0;

struct Found
{
    QString path;
    QDateTime when;
    int number = 1;         // 2, 3, ... for a second backup within the same second
    QDateTime made;         // the file's own time
    bool madeLater = false; // made "after now": by a clock that ran ahead, so of no known age
    BackupInfo::Kind kind = BackupInfo::RunBackup;
};

// Oldest first by the time each file was made, then by the name's time. A file made by a clock
// that ran ahead comes first: its time says nothing, and it must not outlive every backup
// made after the clock was put right.
bool madeEarlier(const Found &a, const Found &b)
{
    if (a.madeLater != b.madeLater)
        return a.madeLater;
    if (a.made != b.made)
        return a.made < b.made;
    return a.when != b.when ? a.when < b.when : a.number < b.number;
}

// The backups of the library in folder, oldest first.
QList<Found> backupsIn(const QString &libraryPath, const QString &folder)
{
    QList<Found> out;
    if (folder.isEmpty())
        return out;
    const QString prefix = prefixOf(libraryPath);
    const QRegularExpression pattern(QLatin1Char('^') + backupNames(libraryPath) + QLatin1Char('$'));
    const QDir dir(folder);
    const QDateTime now = QDateTime::currentDateTime().addSecs(60);
    for (const QString &name : dir.entryList({prefix + QStringLiteral("*.FFM")}, QDir::Files)) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (!m.hasMatch())
            continue;
        Found f;
        f.path = dir.filePath(name);
        f.when = QDateTime::fromString(m.captured(1), kStampFormat);
        f.number = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
        f.made = QFileInfo(f.path).lastModified();
        f.madeLater = f.made > now;
        if (f.when.isValid())
            out << f;
    }
    std::sort(out.begin(), out.end(), madeEarlier);
    return out;
}

// The copies kept beside the library: "<file name>.<tag>-yyyyMMdd-hhmmss[-n].bak".
QList<Found> copiesBeside(const QString &libraryPath)
{
    QList<Found> out;
    const QFileInfo library(libraryPath);
    const QDir dir(library.absolutePath());
    for (const BackupInfo::Kind kind :
         {BackupInfo::OutsideCopy, BackupInfo::ReplacedCopy, BackupInfo::UnreadableCopy}) {
        const QString prefix = library.fileName() + QLatin1Char('.') + BackupCopyTag(kind) + QLatin1Char('-');
        const QRegularExpression pattern(
            QStringLiteral("^%1(\\d{8}-\\d{6})(?:-(\\d+))?\\.bak$").arg(QRegularExpression::escape(prefix)));
        for (const QString &name : dir.entryList({prefix + QStringLiteral("*.bak")}, QDir::Files)) {
            const QRegularExpressionMatch m = pattern.match(name);
            if (!m.hasMatch())
                continue;
            Found f;
            f.path = dir.filePath(name);
            f.when = QDateTime::fromString(m.captured(1), kStampFormat);
            f.number = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
            f.made = QFileInfo(f.path).lastModified();
            f.kind = kind;
            if (f.when.isValid())
                out << f;
        }
    }
    return out;
}

bool writable(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QByteArray bytesOf(const QString &path, bool *ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    QByteArray bytes = f.readAll();
    *ok = f.error() == QFileDevice::NoError;
    return bytes;
}

} // namespace

QStringList RemoveBackupWriteLeftovers(const QString &libraryPath, const QString &fallbackFolder)
{
    const QString libraryFolder = QFileInfo(libraryPath).absolutePath();
    QStringList removed = RemoveWriteLeftovers(libraryFolder, backupNames(libraryPath));
    if (!fallbackFolder.isEmpty() && QFileInfo(fallbackFolder).absoluteFilePath() != libraryFolder)
        removed += RemoveWriteLeftovers(fallbackFolder, backupNames(libraryPath));
    return removed;
}

QString DefaultBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

QString BackupCopyTag(BackupInfo::Kind kind)
{
    switch (kind) {
    case BackupInfo::OutsideCopy:
        return QStringLiteral("outside");
    case BackupInfo::ReplacedCopy:
        return QStringLiteral("replaced");
    case BackupInfo::UnreadableCopy:
        return QStringLiteral("unreadable");
    case BackupInfo::RunBackup:
        break;
    }
    return QStringLiteral("backup");
}

void FailBackupWritesForTesting(int count)
{
    g_failBackupWrites = count;
}

QString MakeRunBackup(const QString &libraryPath, const QString &fallbackFolder, QString *error)
{
    if (!QFileInfo::exists(libraryPath))
        return {};
    bool ok = false;
    const QByteArray bytes = bytesOf(libraryPath, &ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("The library %1 could not be read to back it up.")
                         .arg(QDir::toNativeSeparators(libraryPath));
        return {};
    }
    return MakeRunBackup(libraryPath, bytes, fallbackFolder, 0, error);
}

QString MakeRunBackup(const QString &libraryPath, const QByteArray &bytes, const QString &fallbackFolder,
                      qint64 keepFree, QString *error)
{
    QString folder = QFileInfo(libraryPath).absolutePath();
    if (!writable(folder)) {
        folder = fallbackFolder;
        if (!QDir().mkpath(folder) || !writable(folder)) {
            if (error)
                *error = QStringLiteral("No folder for a backup of the library can be written (%1 nor %2).")
                             .arg(QDir::toNativeSeparators(QFileInfo(libraryPath).absolutePath()),
                                  QDir::toNativeSeparators(folder));
            return {};
        }
    }

    QList<Found> all = backupsIn(libraryPath, folder);
    if (!all.isEmpty()) {
        bool read = false;
        if (bytesOf(all.last().path, &read) == bytes && read)
            return all.last().path;
    }

    const QDir dir(folder);
    const QString stamp = QDateTime::currentDateTime().toString(kStampFormat);
    QString target = dir.filePath(prefixOf(libraryPath) + stamp + QStringLiteral(".FFM"));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = dir.filePath(prefixOf(libraryPath) + stamp + QStringLiteral("-%1.FFM").arg(n));
    if (keepFree > 0) {
        const qint64 available = freeBytesBeside(folder, QFileInfo(libraryPath).absolutePath());
        if (available >= 0 && available < bytes.size() + keepFree) {
            if (error)
                *error = QStringLiteral("No backup of the library was made: the disk holding %1 has %2 bytes free, "
                                        "which the library's own save needs.")
                             .arg(QDir::toNativeSeparators(folder))
                             .arg(available);
            return {};
        }
    }
    QString writeError;
    if (g_failBackupWrites > 0) {
        --g_failBackupWrites;
        if (error)
            *error = QStringLiteral("The library could not be backed up to %1: No space left on device")
                         .arg(QDir::toNativeSeparators(target));
        return {};
    }
    if (!WriteLibraryBytes(target, bytes, &writeError)) {
        if (error)
            *error = QStringLiteral("The library could not be backed up to %1: %2")
                         .arg(QDir::toNativeSeparators(target), writeError);
        return {};
    }
    // The oldest go, by the time each was made; never the one just made.
    all = backupsIn(libraryPath, folder);
    const QString made = QFileInfo(target).absoluteFilePath();
    for (qsizetype i = 0; all.size() > kBackupsKept && i < all.size();) {
        if (QFileInfo(all[i].path).absoluteFilePath() == made) {
            ++i;
            continue;
        }
        QFile::remove(all.takeAt(i).path);
    }
    return target;
}

QList<BackupInfo> ListBackups(const QString &libraryPath, const QString &fallbackFolder)
{
    const QString own = QFileInfo(libraryPath).absolutePath();
    QList<Found> files = backupsIn(libraryPath, own);
    if (!fallbackFolder.isEmpty() && QFileInfo(fallbackFolder).absoluteFilePath() != own)
        files += backupsIn(libraryPath, fallbackFolder);
    files += copiesBeside(libraryPath);
    std::sort(files.begin(), files.end(),
              [](const Found &a, const Found &b) { return a.when != b.when ? a.when > b.when : a.number > b.number; });
    QList<BackupInfo> out;
    for (const Found &found : files) {
        BackupInfo info;
        info.kind = found.kind;
        info.path = found.path;
        info.when = found.when;
        info.size = QFileInfo(found.path).size();
        bool ok = false;
        const QByteArray bytes = bytesOf(found.path, &ok);
        if (ok) {
            const LibraryReadResult read = ReadLibrary(bytes);
            info.readable = read.ok;
            if (read.ok && read.sets) {
                info.sets = read.sets->Count();
                info.models = read.sets->ModelCount();
            }
        }
        out << info;
    }
    return out;
}
