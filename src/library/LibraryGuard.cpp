#include "library/LibraryGuard.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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

LibraryLock::LibraryLock(const QString &libraryPath)
    : m_lockPath(libraryPath + QStringLiteral(".lock")), m_lock(std::make_unique<QLockFile>(m_lockPath))
{
    m_lock->setStaleLockTime(0);
}

LibraryLock::~LibraryLock()
{
    Release();
}

bool LibraryLock::Acquire()
{
    if (m_held)
        return true;
    // tryLock takes over a lock whose process has ended on this host.
    m_held = m_lock->tryLock(0);
    return m_held;
}

bool LibraryLock::HeldByAnother() const
{
    return !m_held && m_lock->error() == QLockFile::LockFailedError;
}

QString LibraryLock::Holder() const
{
    qint64 pid = 0;
    QString host;
    QString app;
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
