#include "library/LibraryGuard.h"

#include "data/WholeFileWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

FileStamp StampOfFile(const QString &path)
{
    FileStamp stamp;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return stamp;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return stamp;
    const QFileInfo info(path);
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.hash = hash.result();
    return stamp;
}

FileStamp StampOfBytes(QByteArrayView bytes)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = bytes.size();
    stamp.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return stamp;
}

LibraryLock::LibraryLock(const QString &libraryPath)
    : m_lockPath(FinalFilePath(libraryPath) + QStringLiteral(".lock")), m_lock(std::make_unique<QLockFile>(m_lockPath))
{
    m_lock->setStaleLockTime(0);
}

LibraryLock::~LibraryLock()
{
    Release();
}

bool LibraryLock::Acquire(int waitMs)
{
    if (m_held)
        return true;
    // tryLock takes over a lock whose process has ended on this host.
    m_held = m_lock->tryLock(std::max(0, waitMs));
    return m_held;
}

bool LibraryLock::HeldByAnother() const
{
    return !m_held && m_lock->error() == QLockFile::LockFailedError;
}

bool LibraryLock::Stale() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_held || m_lock->error() != QLockFile::LockFailedError || !m_lock->getLockInfo(&pid, &host, &app))
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    return pid > 0 && pid <= 0x7fffffff && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QString LibraryLock::Holder() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (Stale() && m_lock->getLockInfo(&pid, &host, &app)) {
        const QString owner = QFileInfo(m_lockPath).owner();
        return QStringLiteral("a stale lock left by %1 (process %2, which no longer runs) that cannot be removed "
                              "here: %3; its owner or an administrator can delete it")
            .arg(owner.isEmpty() ? QStringLiteral("another user") : QStringLiteral("the user ") + owner)
            .arg(pid)
            .arg(QDir::toNativeSeparators(m_lockPath));
    }
    if (m_lock->getLockInfo(&pid, &host, &app))
        return QStringLiteral("process %1 on %2").arg(pid).arg(host.isEmpty() ? QStringLiteral("this computer") : host);
    switch (m_lock->error()) {
    case QLockFile::PermissionError:
        return QStringLiteral("the lock file %1 cannot be made in this folder").arg(m_lockPath);
    default:
        return QStringLiteral("another program");
    }
}

void LibraryLock::Release()
{
    if (m_held)
        m_lock->unlock();
    m_held = false;
}

QString FreeCopyPath(const QString &path, const QString &tag)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QLatin1Char('.') + tag + QLatin1Char('-') + stamp + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".%1-%2-%3.bak").arg(tag, stamp).arg(n);
    return candidate;
}

namespace {

QString userName(uid_t uid)
{
    if (const passwd *p = ::getpwuid(uid))
        return QString::fromLocal8Bit(p->pw_name);
    return QStringLiteral("user %1").arg(uid);
}

QString groupName(gid_t gid)
{
    if (const group *g = ::getgrgid(gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QStringLiteral("group %1").arg(gid);
}

bool memberOf(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int n = ::getgroups(count, groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(n, 0), gid) != groups.begin() + std::max(n, 0);
}

} // namespace

QString LibraryShareWarning(const QString &path)
{
    const QString file = FinalFilePath(path);
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    QStringList said;
    if (st.st_nlink > 1) {
        const auto others = qulonglong(st.st_nlink - 1);
        said << QStringLiteral("the file has %1 other %2 (hard %3), which a save does not reach: %4 the library "
                               "as it is now")
                    .arg(others)
                    .arg(QLatin1String(others == 1 ? "name" : "names"), QLatin1String(others == 1 ? "link" : "links"),
                         QLatin1String(others == 1 ? "it keeps" : "they keep"));
    }
    // An administrator gives the new file the old one's owner and group.
    if (::geteuid() != 0) {
        if (st.st_uid != ::geteuid())
            said << QStringLiteral("the file belongs to %1, and a save makes it yours").arg(userName(st.st_uid));
        if (st.st_gid != ::getegid() && !memberOf(st.st_gid) && (st.st_mode & S_IWGRP))
            said << QStringLiteral("its group %1 cannot be kept (you are not a member), so the other members of "
                                   "that group can no longer write it")
                        .arg(groupName(st.st_gid));
    }
    if (said.isEmpty())
        return {};
    return QStringLiteral("Saving the library file %1 puts a new file in its place: %2.")
        .arg(QDir::toNativeSeparators(file), said.join(QStringLiteral("; ")));
}

QString LibraryWriteProblem(const QString &path)
{
    const QString file = FinalFilePath(path);
    const QString folder = QFileInfo(file).absolutePath();
    const QByteArray folderName = QFile::encodeName(folder);
    const auto why = [] { return QString::fromLocal8Bit(std::strerror(errno)); };
    struct statvfs disk;
    if (::statvfs(folderName.constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY))
        return QStringLiteral("the file system holding %1 is read-only").arg(QDir::toNativeSeparators(folder));
    if (QFileInfo::exists(file) && ::access(QFile::encodeName(file).constData(), W_OK) != 0)
        return errno == EROFS
            ? QStringLiteral("the file system holding %1 is read-only").arg(QDir::toNativeSeparators(folder))
            : QStringLiteral("the library file %1 is read-only (%2)").arg(QDir::toNativeSeparators(file), why());
    if (::access(folderName.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("its folder %1 cannot be written (%2)").arg(QDir::toNativeSeparators(folder), why());
    return {};
}
