#pragma once

#include "data/WholeFileWrite.h"
#include "library/LibraryGuard.h"
#include "library/ModelNotes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The notes file: "<library file>.notes" beside the library ("OrlaFuelModels.FFM.notes"), so
// that it sorts, copies and moves with the library and one library's notes never meet another's.
// UTF-8 JSON written with a fixed key order, one line per set and per history entry, so that a
// change shows as a few changed lines under version control. docs/notes-format.md describes it.
//
// The file names the library it belongs to and the SHA-256 of the library's bytes it was
// written with; models are found by set name and ID (by ID alone when the model moved to
// another set), sets by name. Notes that find no model or set are kept as orphaned notes, never
// dropped. A file that cannot be read is kept aside whole before anything is written over it.

// Beside the file the library's path finally names (links followed, as for the lock), so that
// every link to one library shares its notes.
QString NotesFilePath(const QString &libraryPath);

// The notes as the file holds them: detached from the library's objects.
struct NotesDocument
{
    QString library;       // file name of the library the notes were written for
    QString librarySha256; // hexadecimal SHA-256 of the library's bytes at that write
    QList<SetNotes> sets;
    QList<ModelNotes> models;
    QList<SetNotes> orphanSets;
    QList<ModelNotes> orphans;
    QJsonObject extra; // top-level fields of a later version
    int version = 1;
};

struct NotesParse
{
    bool ok = false;
    NotesDocument document;
    int line = 0;    // of the problem, when it is about a place in the file
    QString problem; // what is wrong, for the user
};

// Reads the bytes of a notes file (UTF-8, with or without a byte order mark). Nothing of a
// readable file is lost: unknown fields and entry kinds are kept for writing back.
NotesParse ParseNotes(QByteArrayView bytes);
QByteArray SerializeNotes(const NotesDocument &document);

// The document of the running library's notes: set and model notes in library order with the
// names and IDs they have now, then the orphaned ones.
NotesDocument DetachNotes(const LibraryNotes &notes, const FuelModelSets &sets);

struct AttachReport
{
    int models = 0;       // model notes found in the library
    int moved = 0;        // of those, found by ID in another set
    QStringList orphaned; // "set / ID" of model notes found nowhere (newly orphaned)
    QStringList orphanedSets;
};

// The document's notes attached to sets. Each model of the library gets at most one entry.
LibraryNotes AttachNotes(const NotesDocument &document, const FuelModelSets &sets, AttachReport *report);

// The notes of a library found at start.
struct NotesLoad
{
    enum Kind {
        None,        // no notes file: the library has no notes yet
        Read,        // read (messages may still tell of orphaned notes)
        Empty,       // the file holds nothing
        Unreadable,  // kept aside (or left alone); the library opens without notes
        OtherLibrary // written for another library file; kept aside, its notes read
    };
    Kind kind = None;
    LibraryNotes notes;
    QString message;   // for the user; empty when there is nothing to say
    QString asidePath; // where the file as found was copied
    // The file could not be read nor kept aside: it must not be written over.
    bool writeBlocked = false;
    // The library changed since the notes were written (a save stopped between the two files,
    // or another program): the notes should be written again to agree.
    bool libraryChanged = false;
    FileStamp stamp;  // of the notes file as read (of the very bytes read)
    QByteArray bytes; // the notes file as read; null when there was none
};

// Reads the notes of the library at libraryPath, whose sets are read already. keepAside: copy a
// file that cannot be used as it is aside (a reader that never writes, as fmtool, says no).
NotesLoad LoadNotes(const QString &libraryPath, const FuelModelSets &sets, bool keepAside = true);

// One model's or set's notes as one line of JSON (the notes file's keys and order), for tools.
QString NotesJson(const ModelNotes &notes);
QString NotesJson(const SetNotes &notes);

// Whether notes must be written: there are notes, or there is a notes file to keep in step.
bool NotesWanted(const QString &libraryPath, const LibraryNotes &notes);

// Writes the notes of sets beside the library (WriteFileWhole's safety), naming the library and
// the SHA-256 of its bytes (librarySha256, raw bytes). False with *error on failure; the old
// notes file is then untouched.
bool WriteNotes(const QString &libraryPath, const QByteArray &librarySha256, const LibraryNotes &notes,
                const FuelModelSets &sets, QString *error);

// WriteNotes that replaces the notes file only while it still holds the bytes whose SHA-256 is
// expectedHash (empty: while there is none), the check and the rename as one step (see
// WriteFileWholeIfUnchanged). *written gets the bytes written, for the stamp of what this
// program wrote.
CheckedWrite WriteNotesIfUnchanged(const QString &libraryPath, const QByteArray &librarySha256,
                                   const LibraryNotes &notes, const FuelModelSets &sets, const QByteArray &expectedHash,
                                   QString *error, QByteArray *written, QString *keptAside = nullptr);

// The notes beside a backup or a copy of the library (copyPath + ".notes"), written whole from
// bytes (nothing when bytes is null). Notes of the library's backups that are gone are removed.
// False with *error when they cannot be written.
bool WriteNotesBeside(const QString &libraryPath, const QString &copyPath, const QByteArray &bytes, QString *error);

// The bytes of the notes of sets as WriteNotes writes them for the library at libraryPath.
QByteArray NotesBytes(const QString &libraryPath, const QByteArray &librarySha256, const LibraryNotes &notes,
                      const FuelModelSets &sets);

// Keeps the notes beside a backup of the library: the notes file as it is now is copied to
// "<backup>.notes" (nothing when there is none). Notes of backups that are gone are removed.
// False with *error when the copy fails.
bool BackUpNotes(const QString &libraryPath, const QString &backupPath, QString *error);

// Copies the notes file aside beside a copy of the library (asidePath + ".notes"), when there is
// one. False with *error when it cannot be copied.
bool CopyNotesAside(const QString &libraryPath, const QString &asidePath, QString *error);

// Gives the models and sets of sets that have no notes in into the notes they have in document
// (found as AttachNotes finds them): what was made here is kept when another version is read.
// Notes of document that find no model or set of sets are kept as orphaned notes (unless into
// has the very same ones already): a reload never drops them.
void AddMissingNotes(LibraryNotes &into, const NotesDocument &document, const FuelModelSets &sets);
