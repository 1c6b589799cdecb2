#include "data/WholeFileWrite.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr char kMark[] = ".saving-";

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

void (*g_betweenCheckAndRename)(const QString &) = nullptr;

QString targetOf(const QString &path)
{
    return FinalFilePath(path);
}

// rename(2) with flags: exchanging two files, or not replacing one. -1 with errno EINVAL or
// ENOSYS where the file system or the kernel cannot.
int renameWithFlags(const QString &from, const QString &to, unsigned flags)
{
#ifdef SYS_renameat2
    return int(::syscall(SYS_renameat2, AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                         QFile::encodeName(to).constData(), flags));
#else
    (void)from;
    (void)to;
    (void)flags;
    errno = ENOSYS;
    return -1;
#endif
}

constexpr unsigned kNoReplace = 1; // RENAME_NOREPLACE
constexpr unsigned kExchange = 2;  // RENAME_EXCHANGE

// A name beside path that no file has, for a version kept aside.
QString freeAsidePath(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QStringLiteral(".outside-") + stamp + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".outside-%1-%2.bak").arg(stamp).arg(n);
    return candidate;
}

QString randomTag()
{
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return tag;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool processRunning(qint64 pid)
{
    if (pid <= 0 || pid > 0x7fffffff)
        return false;
    // EPERM: it runs, under another user.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

QString WholeWriteTemporaryPath(const QString &path, qint64 pid, const QString &tag)
{
    return path + QLatin1String(kMark) + QString::number(pid) + QLatin1Char('-') + tag;
}

QString FinalFilePath(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    // As the system does: a chain longer than 40 links is taken for a loop.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        const QByteArray link = QFile::encodeName(current);
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(link.constData(), target.data(), std::size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return current;
        target.truncate(n);
        const QString next = QFile::decodeName(target);
        current = QDir::cleanPath(QDir::isAbsolutePath(next) ? next : info.absolutePath() + QLatin1Char('/') + next);
    }
    return QFileInfo(path).absoluteFilePath();
}

QByteArray HashOfFile(const QString &path, bool *readable)
{
    if (readable)
        *readable = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (readable)
            *readable = !file.exists();
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        if (readable)
            *readable = false;
        return {};
    }
    return hash.result();
}

void SetBetweenCheckAndRenameForTesting(void (*hook)(const QString &))
{
    g_betweenCheckAndRename = hook;
}

namespace {

// Writes bytes to a new temporary file beside target with target's permissions, owner and
// group (as far as they can be given), synced; its name in *tempPath. False with *error.
bool writeTemporary(const QString &target, QByteArrayView bytes, QString *tempPath, QString *error)
{
    QFile temp;
    for (int attempt = 0;; ++attempt) {
        temp.setFileName(WholeWriteTemporaryPath(target, QCoreApplication::applicationPid(), randomTag()));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (temp.error() != QFileDevice::OpenError || !temp.exists() || attempt == 20)
            return fail(error, temp.errorString());
    }
    const auto abandon = [&](const QString &why) {
        temp.close();
        temp.remove();
        return fail(error, why);
    };
    struct stat old;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0) {
        // A device, a pipe or a folder is never replaced by a file of its own name (an
        // administrator's export to /dev/null would otherwise take the device away).
        if (!S_ISREG(old.st_mode))
            return abandon(QStringLiteral("%1 is not a regular file").arg(QDir::toNativeSeparators(target)));
        // In a folder shared by a group the file keeps its group, so that the others can
        // still write it; and its owner, where the writer may give it (an administrator).
        if (::fchown(temp.handle(), old.st_uid, old.st_gid) != 0)
            (void)!::fchown(temp.handle(), uid_t(-1), old.st_gid);
        // After the owner: a change of owner can clear the set-group bit.
        if (!temp.setPermissions(QFile::permissions(target)))
            return abandon(temp.errorString());
    }
    // Unbuffered, so that a short write (a disk filling up part-way) shows in write()'s count.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = temp.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return abandon(temp.errorString());
        done += n;
    }
    if (::fsync(temp.handle()) != 0)
        return abandon(QString::fromLocal8Bit(std::strerror(errno)));
    temp.close();
    if (temp.error() != QFileDevice::NoError)
        return abandon(temp.errorString());
    *tempPath = temp.fileName();
    return true;
}

QString lastSystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool WriteFileWhole(const QString &path, QByteArrayView bytes, QString *error)
{
    const QString target = targetOf(path);
    QString temp;
    if (!writeTemporary(target, bytes, &temp, error))
        return false;
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = lastSystemError();
        QFile::remove(temp);
        return fail(error, why);
    }
    // The rename itself reaches the disk with the folder; the file is in place either way.
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

CheckedWrite WriteFileWholeIfUnchanged(const QString &path, QByteArrayView bytes, const QByteArray &expectedHash,
                                       QString *error, QString *keptAside)
{
    const QString target = targetOf(path);
    QString temp;
    if (!writeTemporary(target, bytes, &temp, error))
        return CheckedWrite::Failed;
    const auto drop = [&](CheckedWrite outcome) {
        QFile::remove(temp);
        return outcome;
    };
    const auto holdsExpected = [&](const QString &file) {
        bool readable = false;
        const QByteArray hash = HashOfFile(file, &readable);
        return readable && hash == expectedHash;
    };
    if (!holdsExpected(target))
        return drop(CheckedWrite::ChangedOutside);
    if (g_betweenCheckAndRename)
        g_betweenCheckAndRename(target);

    if (expectedHash.isEmpty()) {
        // There was no file: put this one in place only while there still is none.
        if (renameWithFlags(temp, target, kNoReplace) == 0) {
            syncFolder(QFileInfo(target).absolutePath());
            return CheckedWrite::Written;
        }
        if (errno == EEXIST)
            return drop(CheckedWrite::ChangedOutside);
        if (errno != EINVAL && errno != ENOSYS) {
            fail(error, lastSystemError());
            return drop(CheckedWrite::Failed);
        }
    } else if (renameWithFlags(temp, target, kExchange) == 0) {
        // The old file now has the temporary name: it must be the one that was checked.
        if (holdsExpected(temp)) {
            QFile::remove(temp);
            syncFolder(QFileInfo(target).absolutePath());
            return CheckedWrite::Written;
        }
        // Another program's version arrived in between: it goes back in place.
        if (renameWithFlags(temp, target, kExchange) != 0) {
            // It stays whole under the temporary name; kept aside so that nothing is lost.
            const QString aside = freeAsidePath(target);
            if (QFile::rename(temp, aside) && keptAside)
                *keptAside = aside;
            syncFolder(QFileInfo(target).absolutePath());
            return CheckedWrite::ChangedOutside;
        }
        // What came back is this program's file, unless a third version replaced it meanwhile.
        if (HashOfFile(temp) == QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)) {
            QFile::remove(temp);
        } else {
            const QString aside = freeAsidePath(target);
            if (QFile::rename(temp, aside) && keptAside)
                *keptAside = aside;
        }
        syncFolder(QFileInfo(target).absolutePath());
        return CheckedWrite::ChangedOutside;
    } else if (errno != EINVAL && errno != ENOSYS && errno != ENOENT) {
        fail(error, lastSystemError());
        return drop(CheckedWrite::Failed);
    }

    // No exchange here (or the file went away meanwhile): a check just before a plain rename.
    if (!holdsExpected(target))
        return drop(CheckedWrite::ChangedOutside);
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        fail(error, lastSystemError());
        return drop(CheckedWrite::Failed);
    }
    syncFolder(QFileInfo(target).absolutePath());
    return CheckedWrite::Written;
}

QStringList RemoveWriteLeftovers(const QString &path)
{
    const QFileInfo target(targetOf(path));
    return RemoveWriteLeftovers(target.absolutePath(), QRegularExpression::escape(target.fileName()));
}

QStringList RemoveWriteLeftovers(const QString &folderPath, const QString &targetNames)
{
    QStringList removed;
    if (folderPath.isEmpty())
        return removed;
    const QDir folder(folderPath);
    const QRegularExpression pattern(QStringLiteral("^(?:%1)%2(?<pid>[0-9]{1,10})-[A-Za-z0-9]{6}$")
                                         .arg(targetNames, QRegularExpression::escape(QLatin1String(kMark))));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QString leftover = folder.filePath(name);
        const QFileInfo info(leftover);
        if (info.isSymLink() || !info.isFile())
            continue;
        if (processRunning(match.captured(QStringLiteral("pid")).toLongLong()))
            continue;
        if (QFile::remove(leftover))
            removed << leftover;
    }
    return removed;
}

bool SaveFileWhole(const QString &path, QByteArrayView bytes, QString *error)
{
    QString why;
    if (WriteFileWhole(path, bytes, &why))
        return true;
    if (error)
        *error = QStringLiteral("Could not write %1: %2").arg(QFileInfo(path).fileName(), why);
    return false;
}
