#pragma once

#include "library/LibraryGuard.h"
#include "library/LibraryHistory.h"

#include <QString>

#include <functional>

#include <memory>
#include <optional>

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
        QString message;    // for the user; empty after a clean read
        QString backupPath; // copy of the original bytes after a failed read, when one was made
        // Another copy of the program holds the library's lock: who, for the user.
        bool openElsewhere = false;
        QString holder;
        // What was found of the notes file beside the library, for the user; empty when all is well.
        QString notesMessage;
        // The lock was left by a process that has ended and cannot be taken over; holder says by
        // whom (openElsewhere is then true as well: the library is not written here).
        bool staleLock = false;
        // Why the library cannot be written here (a read-only file, folder or file system);
        // empty when it can. The store is then read-only.
        QString cannotWrite;
        // What a save takes from others (hard links, an owner or group that cannot be kept),
        // said before the first save; empty when nothing.
        QString shareWarning;
        // A library that read cleanly but looks like UTF-8 text (Utf8Warning); empty otherwise.
        QString warning;
    };

    // Reads the library file into gFMSets and tree.
    LoadResult Load(ITree &tree);
    // Writes gFMSets to the library file; false with the reason for the user (what went wrong
    // only: what it means for the changes depends on what the caller does next).
    bool Save(QString *reason);
    // Whether closing the window should write the library: always after a clean start, after a
    // failed read only once something was changed.
    bool NeedsSaveOnClose() const { return !m_readOnly && (m_readCleanly || m_changed); }
    const QString &Path() const { return m_path; }

    // Read-only: nothing is ever written (another copy of the program writes the library).
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool ReadOnly() const { return m_readOnly; }

    // True after a Save that found the file changed by another program since this one last
    // read or wrote it; that Save wrote nothing. Cleared by KeepOurs and ReadCurrentFile. The
    // check compares the file's bytes with those this program last read or wrote, as one step
    // with the rename that puts the new file in place; a rewrite of the same bytes is no change.
    bool ChangedOutside() const { return m_changedOutside; }
    // Keeps the library shown (gFMSets) beside the file as a copy of its own before it is
    // replaced by the file's version (BackupInfo::ReplacedCopy); its path, or empty and *reason.
    QString KeepShownAside(QString *reason);
    // Keeps this program's library: the file as it is now is first copied aside (the copy's
    // path is returned), then the library is written. Empty and *reason on failure.
    QString KeepOurs(QString *reason);
    // The file as it is now, read into a picture of its own (gFMSets and the window's tree are
    // not touched); the next Save may replace it. Nothing and *reason when it cannot be read.
    std::optional<LibrarySnapshot> ReadCurrentFile(QString *reason);

    // Backups: before the first write of a run the file as found is kept (see MakeRunBackup).
    // The folder used when the library's own cannot be written (DefaultBackupFolder() unless set).
    QString BackupFolder() const;
    void SetBackupFolder(const QString &folder) { m_backupFolder = folder; }
    // This run's backup once made, and why none could be made (each empty otherwise).
    const QString &RunBackup() const { return m_runBackup; }
    const QString &BackupError() const { return m_backupError; }
    // Says a backup problem once: returns BackupError() the first time it is this text, empty
    // after. A backup that failed is tried again before every save until one is made.
    QString TakeBackupError();

    // Notes: read into gLibraryNotes with the library, written after it (see NotesFile.h).
    // Called after the library is written and before its notes (tests stop the program there).
    std::function<void()> betweenWrites;

private:
    bool write(QString *reason);
    void loadNotes(LoadResult &result);
    bool notesChangedOutside() const;
    bool writeNotes(QString *reason);
    void backUpBeforeSave();

    FileStamp m_notesStamp;
    bool m_notesBlocked = false;
    QByteArray m_notesFound; // the notes file as this run found it (null: none), for the backup
    QString m_cannotWrite;   // why the library cannot be written here; empty when it can

    QByteArray m_found; // the file's bytes as this run found it, for its backup
    bool m_backedUp = false;
    QString m_backupFolder;
    QString m_runBackup;
    QString m_backupError;
    QString m_backupErrorShown;

    QString m_path;
    bool m_readCleanly = false;
    bool m_changed = false;
    bool m_readOnly = false;
    bool m_changedOutside = false;
    FileStamp m_stamp;
    std::unique_ptr<LibraryLock> m_lock;
};
