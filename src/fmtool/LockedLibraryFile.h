#pragma once

#include "fmtool/Commands.h"

#include <QByteArray>
#include <QString>

#include <memory>

class FuelModelSets;
class ITree;
class LibraryLock;

// A library file that an fmtool command changes, as the window changes its own: its lock is
// taken first (the one the window holds while it runs, waited for up to kLockWaitMs), the file
// is read once under it, and it is written back only while it still holds the bytes read, the
// check and the rename as one step (another program that takes no lock may still write it).
// The notes file beside it goes the same way: read with it into gLibraryNotes, checked for
// changes from outside before anything is written, and written after the library (with the
// new library's SHA-256), checked in one step with its rename.
class LockedLibraryFile
{
public:
    // How long a command waits for another program's lock before it gives up.
    static int LockWaitMs;

    LockedLibraryFile(const QString &path, const FmtoolStreams &io, const char *command);
    ~LockedLibraryFile();

    // Takes the lock. 0 when held; otherwise the exit status, with the message printed:
    // kExitLibraryInUse while another program holds it.
    int Lock();
    // Reads the file into gFMSets and tree, and its notes into gLibraryNotes; false (problem
    // printed) unless the read is clean.
    // A file that does not exist reads as no file when missingIsEmpty, else as a problem.
    bool Read(ITree &tree, bool missingIsEmpty = false);
    // Notes what the file and its notes file hold now, without reading them (a file only
    // written).
    bool Stamp();
    // Writes sets over the file, then gLibraryNotes beside it (when there are notes or a notes
    // file); false with the message printed. Nothing is written while either file was changed
    // by another program since it was read or stamped.
    bool Write(const FuelModelSets &sets);

private:
    QString m_path;
    const FmtoolStreams &m_io;
    QString m_command;
    std::unique_ptr<LibraryLock> m_lock;
    bool notesUnchanged();
    bool writeNotes(const FuelModelSets &sets);

    QByteArray m_readHash;       // SHA-256 of the bytes read; empty: there was no file
    QByteArray m_notesHash;      // the same of the notes file
    bool m_notesBlocked = false; // a notes file that cannot be read is left as it is
};
