#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

// What the program knows of the library file as it last read or wrote it: whether it existed,
// its size, its modification time and a hash of its bytes. A write first checks that the file
// on disk still matches, so that a change made from outside is never overwritten unseen.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray hash; // SHA-256 of the bytes

    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && size == o.size && modified == o.modified && hash == o.hash;
    }
};

// The stamp of the file at path now (exists false when there is none or it cannot be read).
FileStamp StampOfFile(const QString &path);

// One writer at a time: a lock file beside the library ("<library>.lock"), held for the whole
// run. A lock left by a program that is no longer running is taken over; a lock never goes
// stale by age, since the program may run for days.
class LibraryLock
{
public:
    explicit LibraryLock(const QString &libraryPath);
    ~LibraryLock();

    // True when this program now holds the lock (also when it already did).
    bool Acquire();
    bool Held() const { return m_held; }
    // After a failed Acquire: true when another running program holds the lock (false when
    // the lock file could not be made at all, as in a folder that cannot be written).
    bool HeldByAnother() const;
    // Who holds the lock, for the user: "process 1234 on host", or why it could not be taken.
    QString Holder() const;
    QString LockPath() const { return m_lockPath; }
    void Release();

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

// A free name beside path for a copy of it: "<path>.<tag>-yyyyMMdd-hhmmss.bak", with a number
// added when that exists.
QString FreeCopyPath(const QString &path, const QString &tag);
