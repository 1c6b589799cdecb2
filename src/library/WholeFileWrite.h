#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Replacing a file whole or not at all. The new bytes go to a temporary file beside the
// target, "<file name>.saving-<process id>-<six letters or digits>", which is written (every
// write checked), synced to disk and only then renamed over the target in one atomic step; the
// folder is synced after. A writer stopped at any moment, even killed, leaves the target either
// as it was or complete with the new bytes, and at worst its temporary file beside it.
// A target that is a symbolic link is written through the link; the permissions of an existing
// target are kept. On failure the target is untouched, the temporary file is gone and *error
// (when given) says why.
bool WriteFileWhole(const QString &path, QByteArrayView bytes, QString *error);

// The temporary file a write of path by process pid uses, with tag as its last six characters.
QString WholeWriteTemporaryPath(const QString &path, qint64 pid, const QString &tag);

// Removes the temporary files that writes killed midway left beside path: regular files in its
// folder named "<file name>.saving-<pid>-XXXXXX" whose process is no longer running. Another
// program's file, a link, a folder, or a write of a process still running (it may be writing
// right now) is never touched. Call it while holding the library's lock, so that no other copy
// of the program writes there. Returns the files removed; one that cannot be removed (a
// read-only folder) is left without an error.
QStringList RemoveWriteLeftovers(const QString &path);

// The same for the writes of every file in folder whose whole name matches targetNames (a
// regular expression without anchors), as the backups of a library.
QStringList RemoveWriteLeftovers(const QString &folder, const QString &targetNames);
