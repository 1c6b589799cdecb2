#include "library/WholeFileWrite.h"

#include <QCoreApplication>
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
#include <unistd.h>

namespace {

constexpr char kMark[] = ".saving-";

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The file a path names: through a symbolic link to its target.
QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    return info.symLinkTarget();
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

bool WriteFileWhole(const QString &path, QByteArrayView bytes, QString *error)
{
    const QString target = targetOf(path);
    const QFileInfo targetInfo(target);

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
    if (targetInfo.exists() && !temp.setPermissions(QFile::permissions(target)))
        return abandon(temp.errorString());
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
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        temp.remove();
        return fail(error, why);
    }
    // The rename itself reaches the disk with the folder; the file is in place either way.
    syncFolder(targetInfo.absolutePath());
    return true;
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
