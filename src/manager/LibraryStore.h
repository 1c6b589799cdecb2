#pragma once

#include <QString>

class ITree;

// The library file as the main window uses it: read once at start (created from the standard
// fuel models when missing), written after every change and on close.
//
// A file that fails to read leaves on screen what was read of it, and its original bytes are
// first copied beside it, so that a later save cannot lose anything; when no copy can be made
// the file is never written over. A failed write leaves the old file as it was and is retried,
// with the whole library, at the next save. Nothing is shown here: the outcome texts are for
// the window to show.
class LibraryStore
{
public:
    struct LoadResult
    {
        enum Kind {
            Read,         // read cleanly
            Created,      // there was no file; one was made from the standard fuel models
            CreateFailed, // there was no file and none could be made; the standard models are shown
            Failed        // the file could not be read completely; see message
        };
        Kind kind = Read;
        QString message; // for the user; empty after a clean read
        QString backupPath; // copy of the original bytes after a failed read, when one was made
    };

    // Reads the library file into gFMSets and tree.
    LoadResult Load(ITree &tree);
    // Writes gFMSets to the library file; false with the reason for the user (what went wrong
    // only: what it means for the changes depends on what the caller does next).
    bool Save(QString *reason);
    // Whether closing the window should write the library: always after a clean start, after a
    // failed read only once something was changed.
    bool NeedsSaveOnClose() const { return m_readCleanly || m_changed; }
    const QString &Path() const { return m_path; }

private:
    QString m_path;
    bool m_readCleanly = false;
    bool m_changed = false;
};
