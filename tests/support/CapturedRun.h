#pragma once

// Runs an fmtool command with its output and error streams captured, and small file helpers,
// for the command tests.

#include "fmtool/Commands.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdio>

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

inline QString capturedContents(std::FILE *f)
{
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, qsizetype(n));
    std::fclose(f);
    return QString::fromUtf8(bytes);
}

inline Outcome run(int (*command)(const QStringList &, const FmtoolStreams &), const QStringList &args)
{
    FmtoolStreams io;
    io.out = std::tmpfile();
    io.err = std::tmpfile();
    Outcome r;
    r.status = command(args, io);
    r.out = capturedContents(io.out);
    r.err = capturedContents(io.err);
    return r;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
