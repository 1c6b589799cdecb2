#pragma once

#include <QString>

// Where the library file lives. Normally beside the program: its folder + "/OrlaFuelModels.FFM".
// An installed program keeps it in the per-user data folder (QStandardPaths::AppDataLocation)
// instead: one whose folder is not writable, and one that sits in the bin/ folder of an
// installation (beside ../share/varrow/OrlaFuelModels.FFM, which also holds for an
// administrator, who can write /usr/bin). On first use that file is seeded with a copy of the
// program folder's file, or else of the installation's shared one. The file is not created
// here: a missing file is the caller's to create (the default library).

inline constexpr char kLibraryFileName[] = "OrlaFuelModels.FFM";

// The library file of this run.
QString LibraryFilePath();

// The choice behind LibraryFilePath, with the places given: programFolder's file when the
// program keeps its library there (programFolderWritable), else dataFolder's file (created
// folder, seeded when dataFolder has none yet from programFolder's file, or else from
// sharedLibrary when that file exists). Returns an empty path and sets *error (when given)
// when the data folder cannot be made or seeded.
QString ResolveLibraryFilePath(const QString &programFolder, bool programFolderWritable, const QString &dataFolder,
                               QString *error, const QString &sharedLibrary = QString());

// The library an installation ships for a program in programFolder:
// programFolder + "/../share/varrow/OrlaFuelModels.FFM", cleaned.
QString SharedLibraryPath(const QString &programFolder);

// Tests and tools: every library path of the program goes to folder + "/OrlaFuelModels.FFM"
// while set; an empty folder returns to the normal places.
void SetLibraryFolderForTesting(const QString &folder);
