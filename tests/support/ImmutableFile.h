#pragma once

// A file nobody may change, rename over or remove while this lives, an administrator included:
// the file system's immutable flag (setting it takes an administrator, which is how CI runs).
// Made() is false where the flag cannot be set (an ordinary user, a file system without it).

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path) : m_path(path) { m_made = setFlag(true); }
    ~ImmutableFile()
    {
        if (m_made)
            setFlag(false);
    }
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;

    bool Made() const { return m_made; }

private:
    bool setFlag(bool on)
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString m_path;
    bool m_made = false;
};
