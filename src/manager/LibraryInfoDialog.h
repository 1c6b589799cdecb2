#pragma once

#include "library/LibraryBackups.h"
#include "library/LibraryLocation.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Notes of a model or set no longer in the library, as File > Library... lists them.
struct OrphanNotesItem
{
    bool isSet = false;
    QString what;    // "Model 101 (was in set "Grass")", "Set "Grass""
    QString details; // source, author, notes and the last history entry, for the tool tip
};

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
    // Orphaned notes, and what they can be attached to ("set: model" texts, set names).
    QList<OrphanNotesItem> orphans;
    QStringList modelTargets;
    QStringList setTargets;
    bool notesChangeable = true; // false when the library cannot be changed here
};

// File > Library...: the library file in use and why, its size and contents, whether this copy
// may change it, its backups (newest first, with dates and counts), and a button that shows its
// folder in the file manager. Below them the orphaned notes (of models and sets no longer in
// the library), each of which can be attached to a model (or set) or deleted: the dialog only
// asks, the main window makes the change and gives the list back through SetOrphans.
class LibraryInfoDialog : public QDialog
{
    Q_OBJECT
public:
    LibraryInfoDialog(const LibraryInfo &info, QWidget *parent);

    // Fills the list of orphaned notes (hidden when empty); message says what was just done.
    void SetOrphans(const QList<OrphanNotesItem> &orphans, const QString &message = QString());

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
    QLabel *lblOrphanNotes;
    QTreeWidget *lstOrphanNotes;
    QComboBox *cboAttachNotesTo;
    QPushButton *cmdAttachNotes;
    QPushButton *cmdDeleteNotes;

signals:
    // Row of the orphan list; target: position in the info's modelTargets (setTargets for a set).
    void attachRequested(int row, int target);
    void deleteRequested(int row);

private:
    void openFolder();
    void orphanChosen();

    QString m_folder;
    QWidget *m_orphanCommands = nullptr;
    QList<OrphanNotesItem> m_orphans;
    QStringList m_modelTargets;
    QStringList m_setTargets;
    bool m_notesChangeable = true;
};

// The sizes and counts in words: "12.3 KB (12,345 bytes)", "3 sets (1 locked), 14 models".
QString LibrarySizeText(const LibraryInfo &info);
QString LibraryContentsText(const LibraryInfo &info);
