#pragma once

#include "library/LibraryBackups.h"
#include "library/LibraryLocation.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// What File > Library... tells about the library of this run.
struct LibraryInfo
{
    LibraryLocation location; // which file and why that one
    bool exists = false;
    qint64 size = 0;
    int sets = 0;
    int lockedSets = 0;
    int models = 0;
    // Open read-only because another copy of the program holds the library (holder: who).
    bool readOnly = false;
    QString holder;
    // The library's folder cannot be written: changes are not saved.
    bool folderWritable = true;
    // Why the library cannot be written (LibraryWriteProblem), when it cannot.
    QString cannotWrite;
    QList<BackupInfo> backups;
    QString backupFolder; // where backups go when the library's folder cannot be written
};

// File > Library...: the library file in use and why, its size and contents, whether this copy
// may change it, its backups (newest first, with dates and counts), and a button that shows its
// folder in the file manager.
class LibraryInfoDialog : public QDialog
{
    Q_OBJECT
public:
    LibraryInfoDialog(const LibraryInfo &info, QWidget *parent);

    // The folder the button opens (the library file's folder).
    QString Folder() const { return m_folder; }

    QLineEdit *txtLibraryPath;
    QLabel *lblLibraryReason;
    QLabel *lblLibrarySize;
    QLabel *lblLibraryContents;
    QLabel *lblLibraryAccess;
    QLabel *lblBackups;
    QTreeWidget *lstBackups;
    QLabel *lblOpenFolderProblem;
    QPushButton *cmdOpenFolder;
    QPushButton *cmdClose;

private:
    void openFolder();

    QString m_folder;
};

// The sizes and counts in words: "12.3 KB (12,345 bytes)", "3 sets (1 locked), 14 models".
QString LibrarySizeText(const LibraryInfo &info);
QString LibraryContentsText(const LibraryInfo &info);
