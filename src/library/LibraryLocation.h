#pragma once

#include <QString>

// Where the library file lives. Normally beside the program: its folder + "/OrlaFuelModels.FFM".
// When the program's folder is not writable (an installed program), the per-user data folder
// (QStandardPaths::AppDataLocation) holds the file instead; on first use it is seeded with a
// copy of the program folder's file, when there is one. The file is not created here: a
// missing file is the caller's to create (the default library).

inline constexpr char kLibraryFileName[] = "OrlaFuelModels.FFM";

// The library file of this run.
QString LibraryFilePath();

// The choice behind LibraryFilePath, with the places given: programFolder's file when the
// folder is writable, else dataFolder's file (created folder, seeded from programFolder's file
// when dataFolder has none yet). Returns an empty path and sets *error (when given) when the
// data folder cannot be made or seeded.
QString ResolveLibraryFilePath(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                               QString *error);

// Tests and tools: every library path of the program goes to folder + "/OrlaFuelModels.FFM"
// while set; an empty folder returns to the normal places.
void SetLibraryFolderForTesting(const QString &folder);
