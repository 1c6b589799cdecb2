#include "fmtool/LockedLibraryFile.h"

#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"
#include "library/LibraryGuard.h"
#include "library/NotesFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

int LockedLibraryFile::LockWaitMs = 5000;

namespace {

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

} // namespace

LockedLibraryFile::LockedLibraryFile(const QString &path, const FmtoolStreams &io, const char *command)
    : m_path(path), m_io(io), m_command(QString::fromLatin1(command)), m_lock(std::make_unique<LibraryLock>(path))
{ }

LockedLibraryFile::~LockedLibraryFile() = default;

int LockedLibraryFile::Lock()
{
    if (m_lock->Acquire(LockWaitMs))
        return 0;
    if (m_lock->HeldByAnother()) {
        print(m_io.err,
              QStringLiteral("fmtool %1: %2 is in use by another program (%3): its lock %4 was not "
                             "freed within %5 seconds. Nothing was written; close the library there "
                             "(or wait for the other command) and run this again.\n")
                  .arg(m_command, QDir::toNativeSeparators(m_path), m_lock->Holder(),
                       QDir::toNativeSeparators(m_lock->LockPath()))
                  .arg(LockWaitMs / 1000.0));
        return kExitLibraryInUse;
    }
    // No lock file can be made there (a folder that cannot be written, or none at all): no
    // other program can write there either, and the write itself says why it fails.
    return 0;
}

bool LockedLibraryFile::Read(ITree &tree, bool missingIsEmpty)
{
    gFMSets = std::make_shared<FuelModelSets>();
    ResetLibraryNotes();
    m_readHash.clear();
    m_notesHash.clear();
    m_notesBlocked = false;
    if (missingIsEmpty && !QFileInfo::exists(m_path))
        return Stamp();
    const auto problem = [&](const QString &text) {
        print(m_io.err, QStringLiteral("fmtool %1: %2\n").arg(m_command, text));
        return false;
    };
    try {
        QByteArray bytes;
        if (QString why; !ReadBoundedFile(m_path, kLargestLibraryFile, &bytes, &why))
            return problem(QStringLiteral("%1: The library file %2").arg(m_path, why));
        m_readHash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        LibraryReadResult result = ReadLibrary(bytes, tree);
        gFMSets = result.sets;
        if (!result.ok) {
            result.problem.path = m_path;
            return problem(result.problem.toString());
        }
        // Its notes, kept in agreement with what is written. A notes file that cannot be used
        // is said and left as it is.
        const NotesLoad notes = LoadNotes(m_path, *gFMSets, false);
        gLibraryNotes = notes.notes;
        m_notesHash = notes.stamp.hash;
        m_notesBlocked = notes.writeBlocked;
        if (notes.kind == NotesLoad::Unreadable || notes.kind == NotesLoad::OtherLibrary)
            print(m_io.err,
                  QStringLiteral("fmtool %1: %2 It is left as it is.\n")
                      .arg(m_command, QString(notes.message).replace(QLatin1Char('\r'), QLatin1Char(' '))));
        return true;
    } catch (const std::bad_alloc &) {
        return problem(QStringLiteral("%1: There is not enough memory to read the library file.").arg(m_path));
    }
}

bool LockedLibraryFile::Stamp()
{
    bool readable = false;
    m_readHash = HashOfFile(m_path, &readable);
    if (!readable) {
        print(m_io.err, QStringLiteral("fmtool %1: %2 cannot be read\n").arg(m_command, m_path));
        return false;
    }
    const QString notesPath = NotesFilePath(m_path);
    m_notesHash = HashOfFile(notesPath, &readable);
    m_notesBlocked = !readable;
    if (!readable)
        print(m_io.err,
              QStringLiteral("fmtool %1: the notes file %2 cannot be read; it is left as it is\n")
                  .arg(m_command, notesPath));
    return true;
}

bool LockedLibraryFile::notesUnchanged()
{
    if (m_notesBlocked)
        return true;
    const QString notesPath = NotesFilePath(m_path);
    bool readable = false;
    if (HashOfFile(notesPath, &readable) == m_notesHash && readable)
        return true;
    print(m_io.err,
          QStringLiteral("fmtool %1: the notes file %2 was changed by another program while this command "
                         "ran; nothing was written.\n")
              .arg(m_command, QDir::toNativeSeparators(notesPath)));
    return false;
}

bool LockedLibraryFile::Write(const FuelModelSets &sets)
{
    QString why;
    const QByteArray bytes = SerializeLibrary(sets, &why);
    if (bytes.isEmpty()) {
        print(m_io.err, QStringLiteral("fmtool %1: The library was not saved. %2\n").arg(m_command, why));
        return false;
    }
    // Both files are checked before either is written: a library written without the notes
    // that belong to it is what this avoids.
    if (!notesUnchanged())
        return false;
    QString aside;
    switch (WriteFileWholeIfUnchanged(m_path, bytes, m_readHash, &why, &aside)) {
    case CheckedWrite::Written:
        m_readHash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        return writeNotes(sets);
    case CheckedWrite::ChangedOutside:
        print(m_io.err,
              QStringLiteral("fmtool %1: %2 was changed by another program while this command ran; "
                             "nothing was written.%3\n")
                  .arg(m_command, QDir::toNativeSeparators(m_path),
                       aside.isEmpty() ? QString()
                                       : QStringLiteral(" A version written at the same moment is kept "
                                                        "as %1.")
                                             .arg(QDir::toNativeSeparators(aside))));
        return false;
    case CheckedWrite::Failed:
        break;
    }
    print(m_io.err,
          QStringLiteral("fmtool %1: The library file \"%2\" could not be written: %3\n").arg(m_command, m_path, why));
    return false;
}

bool LockedLibraryFile::writeNotes(const FuelModelSets &sets)
{
    if (m_notesBlocked || !NotesWanted(m_path, gLibraryNotes))
        return true;
    QString why, aside;
    QByteArray written;
    switch (WriteNotesIfUnchanged(m_path, m_readHash, gLibraryNotes, sets, m_notesHash, &why, &written, &aside)) {
    case CheckedWrite::Written:
        m_notesHash = QCryptographicHash::hash(written, QCryptographicHash::Sha256);
        return true;
    case CheckedWrite::ChangedOutside:
        why = QStringLiteral("the notes file %1 was changed by another program meanwhile").arg(NotesFilePath(m_path));
        if (!aside.isEmpty())
            why += QStringLiteral(" (a version written at the same moment is kept as %1)").arg(aside);
        break;
    case CheckedWrite::Failed:
        break;
    }
    print(m_io.err, QStringLiteral("fmtool %1: The library was written, but not its notes: %2\n").arg(m_command, why));
    return false;
}
