#pragma once

#include "library/LibraryBackups.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// Fills list with the backups, newest first: when kept, sets, models and file (a backup that
// does not read as a library is listed greyed out). The path of each is its item's user data.
void FillBackupList(QTreeWidget *list, const QList<BackupInfo> &backups);

// File > Restore from backup...: the library's backups, newest first, with their dates, set and
// model counts and files. A backup that does not read as a library is listed but cannot be
// chosen. Accepting gives the chosen backup's path.
class RestoreBackupDialog : public QDialog
{
    Q_OBJECT
public:
    RestoreBackupDialog(const QList<BackupInfo> &backups, QWidget *parent);

    QString ChosenPath() const;
    QTreeWidget *List() const { return lstBackups; }

    QTreeWidget *lstBackups;
    QPushButton *cmdRestore;
    QPushButton *cmdCancel;

private:
    void updateButtons();
};
