#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
    // The same bytes (or both no file): a rewrite of identical bytes is no change.
    bool SameContent(const FileStamp &o) const { return exists == o.exists && hash == o.hash; }
};

// The stamp of bytes this program has just written to a file (time left unset): what the file
// holds after the write, whatever lands there a moment later.
FileStamp StampOfBytes(QByteArrayView bytes);

// The stamp of the file at path now (exists false when there is none or it cannot be read).
FileStamp StampOfFile(const QString &path);

// One writer at a time: a lock file beside the library ("<library>.lock"), held by the window
// for the whole run and by every fmtool command that writes a library while it runs. A library
// that is a symbolic link is locked beside the file it finally names, so that every link to one
// file shares one lock. A lock left by a program that is no longer running is taken over; a
// lock never goes stale by age, since the program may run for days.
class LibraryLock
{
public:
    explicit LibraryLock(const QString &libraryPath);
    ~LibraryLock();

    // True when this program now holds the lock (also when it already did). A lock held by
    // another running program is waited for up to waitMs milliseconds.
    bool Acquire(int waitMs = 0);
    bool Held() const { return m_held; }
    // After a failed Acquire: true when another running program holds the lock (false when
    // the lock file could not be made at all, as in a folder that cannot be written).
    bool HeldByAnother() const;
    // After a failed Acquire: true when the lock was left by a process that no longer runs on
    // this computer and cannot be taken over (another user's lock file in a folder with the
    // sticky bit, where only its owner may remove it).
    bool Stale() const;
    // Who holds the lock, for the user: "process 1234 on host", or why it could not be taken
    // (a stale lock: by whom it was left).
    QString Holder() const;
    QString LockPath() const { return m_lockPath; }
    void Release();

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

// Why the library file at path cannot be written here, in words for the user ("the library
// file ... is read-only", "its folder ... cannot be written", "the file system holding ... is
// read-only"); empty when it can. A save puts a new file in place of the old one, so the folder
// must be writable too, even when the file is.
QString LibraryWriteProblem(const QString &path);

// What a save of the library file at path takes from others, in words for the user, to be said
// before the first save; empty when nothing. A save puts a new file in place of the old one:
// other names of the file (hard links) keep the old library, and an owner or a group the saver
// cannot give the new file is lost (the group's members can then no longer write it).
QString LibraryShareWarning(const QString &path);

// A free name beside path for a copy of it: "<path>.<tag>-yyyyMMdd-hhmmss.bak", with a number
// added when that exists.
QString FreeCopyPath(const QString &path, const QString &tag);
