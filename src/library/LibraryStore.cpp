#include "library/LibraryStore.h"

#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryBackups.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "library/MemoryTree.h"
#include "library/NotesFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// "OrlaFuelModels.FFM" -> "OrlaFuelModels.FFM.unreadable-20240131-154500.bak", never an
// existing file.
QString freeBackupPath(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QStringLiteral(".unreadable-") + stamp + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".unreadable-%1-%2.bak").arg(stamp).arg(n);
    return candidate;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

LibraryStore::LoadResult LibraryStore::Load(ITree &tree)
{
    m_path = LibraryFilePath();
    m_backedUp = false;
    m_runBackup.clear();
    m_backupError.clear();
    m_backupErrorShown.clear();
    m_found = QByteArray();
    m_readCleanly = false;
    m_changed = false;
    m_changedOutside = false;
    LoadResult result;

    // One writer at a time. A folder where no lock can be made cannot be written either, so
    // only a lock held by another running copy counts as the library being open elsewhere.
    m_lock = std::make_unique<LibraryLock>(m_path);
    if (!m_lock->Acquire() && m_lock->HeldByAnother()) {
        result.openElsewhere = true;
        result.staleLock = m_lock->Stale();
        result.holder = m_lock->Holder();
    }
    // A write killed midway (a crash, a power cut) can leave its temporary file beside the
    // library. Only the lock's holder clears them: no other copy of the program writes here.
    if (m_lock->Held()) {
        RemoveWriteLeftovers(m_path);
        RemoveBackupWriteLeftovers(m_path, BackupFolder());
    }

    if (!QFileInfo::exists(m_path)) {
        QString error;
        if (!WriteDefaultLibrary(m_path, &error)) {
            // Shown from memory; the next save tries the folder again.
            gFMSets = ReadLibrary(DefaultLibraryBytes(), tree).sets;
            loadNotes(result);
            m_changed = true;
            result.kind = LoadResult::CreateFailed;
            result.message = QStringLiteral("There was no library file, and a new one could not be created.\r%1\r\r"
                                            "The standard fuel models are shown; changes are saved once the "
                                            "folder can be written.")
                                 .arg(error);
            return result;
        }
        result.kind = LoadResult::Created;
        result.message = QStringLiteral("No library file was found; a new one with the standard fuel models was "
                                        "created: %1")
                             .arg(nativePath(m_path));
    }

    // A library that cannot be written is only looked at: every change would fail.
    result.cannotWrite = LibraryWriteProblem(m_path);
    m_cannotWrite = result.cannotWrite;
    if (!result.cannotWrite.isEmpty())
        m_readOnly = true;
    else
        result.shareWarning = LibraryShareWarning(m_path);

    LibraryProblem problem;
    m_stamp = StampOfFile(m_path);
    if (!ReadBoundedFile(m_path, kLargestLibraryFile, &m_found, nullptr))
        m_found = QByteArray();
    const bool clean = ReadFMs(tree, &problem);
    loadNotes(result);
    if (clean) {
        m_readCleanly = true;
        result.warning = Utf8Warning(m_found);
        return result;
    }

    result.kind = LoadResult::Failed;
    const QString where =
        problem.line > 0 ? QStringLiteral("%1, line %2").arg(nativePath(m_path)).arg(problem.line) : nativePath(m_path);
    QString text =
        QStringLiteral("The library file could not be read completely.\r%1:\r%2\r\r").arg(where, problem.message);
    QFile original(m_path);
    if (problem.line == 0) {
        // Not even the bytes could be read: there is nothing to keep a copy of, so the file is
        // left alone for good.
        text += QStringLiteral("Changes made now cannot be saved into it.");
    } else if (const QString backup = freeBackupPath(m_path); original.copy(backup)) {
        AllowLibraryOverwrite();
        result.backupPath = backup;
        text += QStringLiteral("The sets and models read before the problem are shown. The original file is kept "
                               "unchanged as\r%1\rThe next save writes the library as shown here.")
                    .arg(nativePath(backup));
    } else {
        text += QStringLiteral("The sets and models read before the problem are shown. A copy of the original file "
                               "could not be made (%1), so changes made now are not saved into it.")
                    .arg(original.errorString());
    }
    result.message = text;
    return result;
}

bool LibraryStore::Save(QString *reason)
{
    if (m_readOnly) {
        if (reason)
            *reason = m_cannotWrite.isEmpty()
                ? QStringLiteral("The library is open read-only here; another copy of the program writes it.")
                : QStringLiteral("The library is open read-only here: it cannot be written (%1).").arg(m_cannotWrite);
        return false;
    }
    m_changed = true;
    // A notes file changed from outside is not written over unseen; one that is gone holds
    // nothing to lose and is written again.
    if (notesChangedOutside()) {
        m_changedOutside = true;
        if (reason)
            *reason = QStringLiteral("The notes file %1 was changed by another program.")
                          .arg(nativePath(NotesFilePath(m_path)));
        return false;
    }
    return write(reason);
}

void LibraryStore::backUpBeforeSave()
{
    if (m_backedUp)
        return;
    if (m_found.isNull()) {
        // There was no file to keep.
        m_backedUp = true;
        return;
    }
    // The library as this run found it, kept before the run first changes it, and tried again
    // before every save until it is made. A backup never takes the space the save needs.
    QString error;
    m_runBackup = MakeRunBackup(m_path, m_found, BackupFolder(), m_found.size() + 65536, &error);
    m_backedUp = !m_runBackup.isEmpty();
    m_backupError = m_backedUp ? QString() : error;
    // The notes as this run found them go with it.
    if (m_backedUp && !WriteNotesBeside(m_path, m_runBackup, m_notesFound, &error))
        m_backupError = QStringLiteral("The notes could not be backed up: %1").arg(error);
}

bool LibraryStore::write(QString *reason)
{
    backUpBeforeSave();
    // A file changed from outside is not written over unseen: the check is made by the write,
    // in one step with the rename. A file that is gone holds nothing to lose and is written
    // again.
    const QByteArray expected = m_stamp.exists && QFileInfo::exists(m_path) ? m_stamp.hash : QByteArray();
    QString error, keptAside;
    QByteArray written;
    switch (WriteFMsIfUnchanged(expected, &error, &written, &keptAside)) {
    case CheckedWrite::Written:
        // The bytes this program wrote, never what is on disk a moment later.
        m_stamp = StampOfBytes(written);
        m_changedOutside = false;
        // The notes after the library: a program stopped between the two leaves the notes as
        // they were, which the next start matches to the library again and reports.
        if (betweenWrites)
            betweenWrites();
        return writeNotes(reason);
    case CheckedWrite::ChangedOutside:
        m_changedOutside = true;
        if (reason) {
            *reason = QStringLiteral("The library file %1 was changed by another program.").arg(nativePath(m_path));
            if (!keptAside.isEmpty())
                *reason +=
                    QStringLiteral(" A version written at the same moment is kept as %1.").arg(nativePath(keptAside));
        }
        return false;
    case CheckedWrite::Failed:
        break;
    }
    if (reason)
        *reason = error;
    return false;
}

QString LibraryStore::KeepOurs(QString *reason)
{
    const QString aside = FreeCopyPath(m_path, QStringLiteral("outside"));
    QFile current(m_path);
    if (current.exists()) {
        // The other program's bytes, kept; the save then replaces exactly those.
        QByteArray bytes;
        if (current.open(QIODevice::ReadOnly))
            bytes = current.readAll();
        QString error;
        if (current.error() != QFileDevice::NoError || !WriteLibraryBytes(aside, bytes, &error)) {
            if (reason)
                *reason = QStringLiteral("The other program's version could not be kept as %1: %2")
                              .arg(nativePath(aside), error.isEmpty() ? current.errorString() : error);
            return {};
        }
        m_stamp = StampOfBytes(bytes);
    } else {
        m_stamp = {};
    }
    // The other program's notes, kept beside its library; the save then replaces exactly those.
    QByteArray notesBytes;
    QString notesError;
    const QString notesPath = NotesFilePath(m_path);
    if (QFileInfo::exists(notesPath) && !ReadBoundedFile(notesPath, kLargestLibraryFile, &notesBytes, &notesError)) {
        if (reason)
            *reason = QStringLiteral("The other program's notes %1 %2.").arg(nativePath(notesPath), notesError);
        return {};
    }
    if (QFileInfo::exists(notesPath) && notesBytes.isNull())
        notesBytes = QByteArray("");
    if (!notesBytes.isNull() && !WriteFileWhole(NotesFilePath(aside), notesBytes, &notesError)) {
        if (reason)
            *reason = QStringLiteral("The other program's notes could not be kept as %1: %2")
                          .arg(nativePath(NotesFilePath(aside)), notesError);
        return {};
    }
    m_notesStamp = notesBytes.isNull() ? FileStamp() : StampOfBytes(notesBytes);
    m_notesBlocked = false;
    if (!write(reason))
        return {};
    return aside;
}

QString LibraryStore::KeepShownAside(QString *reason)
{
    QString error;
    const QByteArray bytes = SerializeLibrary(*gFMSets, &error);
    const QString aside = FreeCopyPath(m_path, BackupCopyTag(BackupInfo::ReplacedCopy));
    if (bytes.isEmpty() || !WriteLibraryBytes(aside, bytes, &error)) {
        if (reason)
            *reason =
                QStringLiteral("The library shown here could not be kept as %1: %2").arg(nativePath(aside), error);
        return {};
    }
    // Its notes beside it, so that restoring the copy brings them back too.
    if (!gLibraryNotes.IsEmpty() &&
        !WriteNotesBeside(
            m_path, aside,
            NotesBytes(aside, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256), gLibraryNotes, *gFMSets),
            &error)) {
        if (reason)
            *reason = QStringLiteral("The notes shown here could not be kept as %1: %2")
                          .arg(nativePath(NotesFilePath(aside)), error);
        return {};
    }
    return aside;
}

std::optional<LibrarySnapshot> LibraryStore::ReadCurrentFile(QString *reason)
{
    QByteArray bytes;
    if (QString why; !ReadBoundedFile(m_path, kLargestLibraryFile, &bytes, &why)) {
        if (reason)
            *reason = QStringLiteral("the file %1").arg(why);
        return std::nullopt;
    }
    const FileStamp stamp = StampOfBytes(bytes);
    MemoryTree tree;
    const LibraryReadResult read = ReadLibrary(bytes, tree);
    if (!read.ok) {
        if (reason)
            *reason = read.problem.toString();
        return std::nullopt;
    }
    m_stamp = stamp;
    m_changedOutside = false;
    AllowLibraryOverwrite();
    LibrarySnapshot snapshot = CaptureLibrary(*read.sets, tree);
    // The notes file as it is now, with the library read.
    const NotesLoad notes = LoadNotes(m_path, *read.sets, false);
    snapshot.notes = notes.notes;
    m_notesStamp = notes.stamp;
    m_notesBlocked = notes.writeBlocked;
    return snapshot;
}

void LibraryStore::loadNotes(LoadResult &result)
{
    // A copy that may not write leaves an unusable notes file as it is.
    NotesLoad notes = LoadNotes(m_path, *gFMSets, !result.openElsewhere);
    gLibraryNotes = notes.notes;
    m_notesStamp = notes.stamp;
    m_notesBlocked = notes.writeBlocked;
    m_notesFound = notes.bytes;
    result.notesMessage = notes.message;
}

bool LibraryStore::notesChangedOutside() const
{
    // A notes file that appeared or holds other bytes since it was read or written (a rewrite
    // of the very same bytes is no change). One that is gone holds nothing to lose and is
    // written again.
    if (m_notesBlocked)
        return false; // left as it is: never written
    const FileStamp now = StampOfFile(NotesFilePath(m_path));
    if (!now.exists)
        return false;
    return !now.SameContent(m_notesStamp);
}

bool LibraryStore::writeNotes(QString *reason)
{
    if (m_notesBlocked || !NotesWanted(m_path, gLibraryNotes))
        return true;
    // Checked in one step with the rename, as the library is: a notes file written by another
    // program meanwhile is never replaced unseen.
    const QString notesPath = NotesFilePath(m_path);
    const QByteArray expected = m_notesStamp.exists && QFileInfo::exists(notesPath) ? m_notesStamp.hash : QByteArray();
    QString error, keptAside;
    QByteArray written;
    switch (
        WriteNotesIfUnchanged(m_path, m_stamp.hash, gLibraryNotes, *gFMSets, expected, &error, &written, &keptAside)) {
    case CheckedWrite::Written:
        m_notesStamp = StampOfBytes(written);
        return true;
    case CheckedWrite::ChangedOutside:
        m_changedOutside = true;
        if (reason) {
            *reason = QStringLiteral("The library was saved, but not its notes: the notes file %1 was changed by "
                                     "another program.")
                          .arg(nativePath(notesPath));
            if (!keptAside.isEmpty())
                *reason +=
                    QStringLiteral(" A version written at the same moment is kept as %1.").arg(nativePath(keptAside));
        }
        return false;
    case CheckedWrite::Failed:
        break;
    }
    if (reason)
        *reason = QStringLiteral("The library was saved, but not its notes.\r") + error;
    return false;
}

QString LibraryStore::BackupFolder() const
{
    return m_backupFolder.isEmpty() ? DefaultBackupFolder() : m_backupFolder;
}

QString LibraryStore::TakeBackupError()
{
    if (m_backupError.isEmpty() || m_backupError == m_backupErrorShown)
        return {};
    m_backupErrorShown = m_backupError;
    return m_backupError;
}
