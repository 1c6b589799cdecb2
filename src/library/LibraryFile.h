#pragma once

#include "data/FuelModelSets.h"
#include "data/WholeFileWrite.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

class ITree;

// The library file: every set with its models and lock flag, in one Windows-1252 text file.
//
//   "[FuelModelSet:Grass,Count:1]"                       one quoted header per set; a locked
//   "1","Short grass",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1     set ends its
//   "[End]"                                              header with ", Locked]"
//
// Model fields in file order: ID, description, depth, 1-h, 10-h, 100-h, live herb and live
// woody loadings, 1-h, live herb and live woody SA/V, moisture of extinction (as a fraction),
// dead, live herb and live woody heat contents, fuel carrier code, herb type code. Numbers have
// at most 15 significant digits and "." as decimal point; lines end with CR LF.
//
// Reading is strict about what it cannot understand and lenient about layout: CR LF, LF or CR
// line ends, blank lines and line breaks anywhere between fields, blanks around fields. The
// set name runs up to the last ",Count:" of the header, and only the text after the count
// decides the lock (so names such as "Unlocked Models" or "a,Count:b" survive). "[End]" ends
// the library; so does an empty header, but only when nothing follows it. A file that ends
// before either (cut short, or empty) is a problem like any other. Anything else (a
// header without a count, a missing, empty or non-numeric number, a number whose value in
// memory is beyond 1.79769313486231e+308, a quote that is not closed on its line, a quote
// inside unquoted text, a UTF-8 byte order mark) stops the reading with the line and what was
// expected there. Memory grows with the models read, never with a count the file claims or
// with its length; running out of memory is a problem reported like the others. Every clean
// read can be written back.
//
// Writing never produces a file it could not read back: a text holding a double quote, a line
// break or a character outside Windows-1252, or a number beyond the reader's bound, refuses
// the whole write and names the set and model.

struct LibraryProblem
{
    QString path;    // the file, empty when reading bytes
    int line = 0;    // 1-based line of the problem, 0 when it is not about a line (open failed)
    QString message; // what went wrong, and what was expected there

    // "PATH:LINE: message", leaving out what is unknown.
    QString toString() const;
};

struct LibraryReadResult
{
    // The sets read, also those read before a failure (with the models read so far).
    std::shared_ptr<FuelModelSets> sets;
    bool ok = false;
    LibraryProblem problem; // set when !ok
};

// The largest library file read: far more than the 32767 sets and models a run can hold.
inline constexpr qint64 kLargestLibraryFile = 32LL * 1024 * 1024;

// Reads at most largest bytes of the file at path into *bytes, a piece at a time (also from a
// device or a pipe that never ends, whose size says nothing). False with *problem (what is
// wrong, without the path) when it cannot be opened or read, is larger than largest, or does
// not fit in memory.
bool ReadBoundedFile(const QString &path, qint64 largest, QByteArray *bytes, QString *problem);

// A warning for bytes that read cleanly but look like UTF-8 text (valid UTF-8 with letters
// beyond ASCII and no byte order mark), whose accented letters then read as two Windows-1252
// characters each; empty otherwise.
QString Utf8Warning(QByteArrayView bytes);

// Parses a whole library into a new FuelModelSets, drawing keys with NewNodeKey. On failure the
// sets read so far stay (the last one with the models read before the problem). Never throws.
// Nothing but data: the tree is filled from it (FillLibraryTree).
LibraryReadResult ReadLibrary(QByteArrayView bytes);

// ReadLibrary, then the tree's nodes of every set and model appended (see FillLibraryTree); the
// sets and the nodes agree also when either fails.
LibraryReadResult ReadLibrary(QByteArrayView bytes, ITree &tree);

// Reads the file at path (see ReadLibrary) and makes gFMSets the sets read, also when the read
// fails: the caller sees what could be read and decides what to do with it. Returns true for a
// clean read; otherwise fills *problem (when given).
bool ReadFMs(const QString &path, ITree &tree, LibraryProblem *problem);
// The same without a tree, for readers that only need the data (the command line, other
// libraries, backups).
bool ReadFMs(const QString &path, LibraryProblem *problem);

// ReadFMs of the program's library file (LibraryFilePath()). After a failed read of an
// existing file, every write of it (each WriteFMs, WriteFMsIfUnchanged, WriteLibraryBytes; by
// any name or link of the file) refuses to replace it with the partial library until
// AllowLibraryOverwrite() is called (the user chose to) or a later read succeeds.
bool ReadFMs(ITree &tree, LibraryProblem *problem);

// The bytes of the library file for sets; an empty array and *error (when given) when a text
// or number cannot be stored.
QByteArray SerializeLibrary(const FuelModelSets &sets, QString *error);

// Writes the library to path safely: everything goes to a temporary file in the same folder,
// every write is checked, the file is synced and then atomically put in place of the old one.
// On any failure the old file is untouched and *error (when given) says why.
bool WriteFMs(const QString &path, const FuelModelSets &sets, QString *error);

// WriteFMs of gFMSets to the program's library file (LibraryFilePath()).
bool WriteFMs(QString *error);

// WriteFMs(QString*) that replaces the file only while it still holds the bytes whose SHA-256
// is expectedHash (empty: while there is no file), the check and the rename made as one step
// (WriteFileWholeIfUnchanged). *written (when given) gets the bytes now in the file.
CheckedWrite WriteFMsIfUnchanged(const QByteArray &expectedHash, QString *error, QByteArray *written = nullptr,
                                 QString *keptAside = nullptr);

// The safe write under WriteFMs, for bytes already made (the default library, seeding).
bool WriteLibraryBytes(const QString &path, QByteArrayView bytes, QString *error);

// True while the writes refuse to overwrite a library file that failed to read.
bool LibraryOverwriteBlocked();
void AllowLibraryOverwrite();
// Back to a fresh start (tests).
void ResetLibraryFileState();
