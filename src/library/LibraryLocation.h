#pragma once

#include <QString>

// Where the library file lives, and why there. Normally beside the program: its folder +
// "/OrlaFuelModels.FFM". The per-user data folder (QStandardPaths::AppDataLocation) holds it
// instead for an installed program (one in the bin/ folder of an installation, beside
// ../share/varrow/OrlaFuelModels.FFM, which also holds for an administrator, who can write
// /usr/bin) and for a program whose folder cannot be written. On first use that file is seeded
// with a copy of the program folder's file, or else of the installation's shared one.
//
// The choice is made per program folder: each folder's copies of the program remember (in the
// program's settings) which file they used last. A program folder that can be written uses the
// file beside the program, unless its copies used the per-user copy before (once they work on
// the copy they keep it, also when the folder can be written again: switching back would make
// everything done in the copy seem lost). A per-user copy made for another program folder is
// never taken up silently. Whenever the file chosen differs from the one this program folder
// used last time, the window asks before using it (previousPath). The choice is made once per
// run and never changes while the program runs after that; its reason is given in words for
// the user, so that every place that names the library tells the same story. The file is not
// created here: a missing file is the caller's to create (the default library).

inline constexpr char kLibraryFileName[] = "OrlaFuelModels.FFM";

struct LibraryLocation
{
    enum Kind {
        ProgramFolder, // the file beside the program
        UserCopy,      // the user's own file in the data folder
        TestFolder     // a folder set by a test or tool
    };
    Kind kind = ProgramFolder;
    QString path;
    // Which file and why, in one or two sentences for the user.
    QString reason;
    // The why in a few words, for the status line: "beside the program", "your own copy: ...".
    QString summary;
    // True when this run made the per-user copy from the file beside the program: the program
    // has just moved from one file to another, which the user must be told.
    bool copiedNow = false;
    // Why the per-user copy could not be made (path is then the program folder's file).
    QString error;
    // The file this program folder used last time, when it is another file and still there:
    // the user is asked before path is used instead of it. Empty otherwise.
    QString previousPath;
    // Nothing is remembered for this program folder, and both files exist: previousPath is then
    // the other one, not a file known to have been used.
    bool nothingRemembered = false;
};

// The choice with the places given. dataFolder's file is used when it exists; otherwise
// programFolder's file when the program keeps its library there (programFolderWritable); else
// dataFolder's file (folder created, seeded from programFolder's file or else from
// sharedLibrary when that file exists). When the data folder cannot be made or seeded, path is
// empty and error says why.
// notWritableCause: why the program folder's file cannot be written, when it is not the folder
// (a sentence start, "The library file ... is read-only").
// lastUsed: the file the program's copies in programFolder used last time (empty: none
// remembered); it decides whether the data folder's existing file is this folder's library, and
// sets previousPath.
LibraryLocation ResolveLibraryLocation(const QString &programFolder, bool programFolderWritable,
                                       const QString &dataFolder, const QString &sharedLibrary = QString(),
                                       const QString &notWritableCause = QString(),
                                       const QString &lastUsed = QString());

// The choice for a program in programFolder, with its folder and file looked at as they are now
// (what CurrentLibraryLocation decides for this program).
LibraryLocation LibraryLocationFor(const QString &programFolder, const QString &dataFolder);

// ResolveLibraryLocation's path, with *error (when given) set on failure.
QString ResolveLibraryFilePath(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                               QString *error, const QString &sharedLibrary = QString());

// The library location of this run, decided at the first call and kept until the program ends.
const LibraryLocation &CurrentLibraryLocation();

// The user chose to keep the file used last time (CurrentLibraryLocation().previousPath): it
// becomes this run's library, its reason said so.
void KeepPreviousLibrary();

// The file the program's copies in programFolder used last, as remembered in the program's
// settings (empty when nothing is), and remembering it.
QString LastLibraryUsed(const QString &programFolder);
void RememberLibraryUsed(const QString &programFolder, const QString &path);
// This run's program folder (the one CurrentLibraryLocation decides for); empty while a test
// folder is set.
QString CurrentProgramFolder();

// One line on a library file for a choice between two: "12.3 KB, changed 2026-12-09 14:02,
// 9 sets, 412 models" (or why it cannot be read, or that it does not exist yet).
QString DescribeLibraryFile(const QString &path);

// The library file of this run: CurrentLibraryLocation().path.
QString LibraryFilePath();

// The library an installation ships for a program in programFolder:
// programFolder + "/../share/varrow/OrlaFuelModels.FFM", cleaned.
QString SharedLibraryPath(const QString &programFolder);

// Tests and tools: every library path of the program goes to folder + "/OrlaFuelModels.FFM"
// while set; an empty folder returns to the normal places, chosen afresh.
void SetLibraryFolderForTesting(const QString &folder);
// Tests: the program folder and data folder to decide between as for a real run (with the
// remembered choice), instead of the program's own; empty strings return to the normal places.
void SetLibraryPlacesForTesting(const QString &programFolder, const QString &dataFolder);
