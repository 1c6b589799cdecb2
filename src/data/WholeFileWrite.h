#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Replacing a file whole or not at all. The new bytes go to a temporary file beside the
// target, "<file name>.saving-<process id>-<six letters or digits>", which is written (every
// write checked), synced to disk and only then renamed over the target in one atomic step; the
// folder is synced after. A writer stopped at any moment, even killed, leaves the target either
// as it was or complete with the new bytes, and at worst its temporary file beside it.
// A target that is a symbolic link, also a link to a link, is written through to the file it
// finally names; the permissions of an existing target are kept, and so are its owner and group
// as far as the writer may set them (a user can give the file its group when a member of it).
// An existing target that is no regular file (a device, a pipe, a folder) is refused.
// On failure the target is untouched, the temporary file is gone and *error (when given) says
// why.
// Every whole file the program writes goes through here: the library, its notes and backups,
// and every export (CSV, pictures, reports, custom model and adjustment files).
bool WriteFileWhole(const QString &path, QByteArrayView bytes, QString *error);

// WriteFileWhole for an export: on failure *error names the file for the user, "Could not
// write <file name>: <reason>".
bool SaveFileWhole(const QString &path, QByteArrayView bytes, QString *error);

// The file path finally names: every symbolic link followed (also a link to a link, and a link
// whose target does not exist yet), as an absolute path. A path that is no link comes back
// absolute. A loop of links comes back as it is.
QString FinalFilePath(const QString &path);

// What WriteFileWholeIfUnchanged found.
enum class CheckedWrite {
    Written,        // the new bytes are in place
    ChangedOutside, // the file no longer held what was expected; nothing of it was replaced
    Failed          // nothing written; see *error
};

// WriteFileWhole that replaces the file only while it still holds the bytes whose SHA-256 is
// expectedHash (an empty expectedHash: while there is no file). The check and the replacement
// are one step: the new file is exchanged with the old one in a single atomic rename and the
// old one is checked after the exchange, so that another program's write landing between the
// check and the rename is never lost: the exchange is undone and ChangedOutside returned. Should
// a third version arrive in that instant too, it is kept beside the file and *keptAside names
// it. Where the file system cannot exchange two files, the check is made just before a plain
// rename.
CheckedWrite WriteFileWholeIfUnchanged(const QString &path, QByteArrayView bytes, const QByteArray &expectedHash,
                                       QString *error, QString *keptAside = nullptr);

// SHA-256 of the file's bytes; empty when there is no file or it cannot be read (*readable
// false then, when given, unless there is simply no file).
QByteArray HashOfFile(const QString &path, bool *readable = nullptr);

// Tests: every checked write calls hook between its check and its rename, where another
// program's write could land; nullptr for none.
void SetBetweenCheckAndRenameForTesting(void (*hook)(const QString &path));

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
