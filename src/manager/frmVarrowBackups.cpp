#include "manager/frmVarrow.h"

#include "data/FuelModelSets.h"
#include "data/ProgramState.h"
#include "library/LibraryBackups.h"
#include "library/LibraryFile.h"
#include "library/LibraryGuard.h"
#include "library/MemoryTree.h"
#include "library/NotesFile.h"
#include "manager/FMTree.h"
#include "manager/LibraryInfoDialog.h"
#include "manager/RestoreBackupDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStatusBar>

// File > Library... shows the library file, why it is the one, what it holds and its backups.
// File > Restore from backup...: the library is replaced by one of its backups as one step of
// the history, so that Undo brings back the library as it was before the restore.

void frmVarrow::restoreFromBackup()
{
    if (m_store->ReadOnly()) {
        m_prompts->Message(QStringLiteral("The library is open read-only here: nothing can be restored into it."),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    if (!canUseHistory())
        return;
    RestoreBackupDialog dialog(ListBackups(m_store->Path(), m_store->BackupFolder()), this);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenPath().isEmpty())
        return;
    const QString path = dialog.ChosenPath();
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    MemoryTree read;
    const LibraryReadResult result = file.error() == QFileDevice::NoError ? ReadLibrary(bytes, read) : LibraryReadResult{};
    if (!result.ok || !result.sets) {
        m_prompts->Message(QStringLiteral("The backup %1 could not be read: %2\rThe library is left as it is.")
                               .arg(QDir::toNativeSeparators(path),
                                    file.error() != QFileDevice::NoError ? file.errorString()
                                                                         : result.problem.toString()),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    LibrarySnapshot backup = CaptureLibrary(*result.sets, read);
    // The notes kept with the backup; a backup without notes keeps today's, found by set and ID.
    if (QFileInfo::exists(NotesFilePath(path)))
        backup.notes = LoadNotes(path, *result.sets, false).notes;
    else
        backup.notes = AttachNotes(DetachNotes(gLibraryNotes, *gFMSets), *result.sets, nullptr);
    QString when;
    for (const BackupInfo &b : ListBackups(m_store->Path(), m_store->BackupFolder()))
        if (b.path == path)
            when = QLocale().toString(b.when, QLocale::ShortFormat);
    const QString name = QStringLiteral("Restore Backup of %1").arg(when.isEmpty() ? QFileInfo(path).fileName() : when);
    ApplyLibraryChange(name, [&] {
        RestoreLibrary(backup, *treeFMs);
        return true;
    });
    statusBar()->showMessage(QStringLiteral("The library was restored from %1; Undo brings back the library as it "
                                            "was.")
                                 .arg(QDir::toNativeSeparators(path)));
}

void frmVarrow::showLibraryInfo()
{
    LibraryInfo info;
    info.location = CurrentLibraryLocation();
    const QFileInfo file(m_store->Path());
    info.location.path = m_store->Path();
    info.exists = file.exists();
    info.size = info.exists ? file.size() : 0;
    // The library in memory is the file's: every change is written at once.
    if (gFMSets) {
        info.sets = gFMSets->Count();
        info.models = gFMSets->ModelCount();
        for (const auto &set : *gFMSets)
            info.lockedSets += set->Locked() ? 1 : 0;
    }
    info.readOnly = m_store->ReadOnly();
    info.holder = m_load.holder;
    const QFileInfo folder(file.absolutePath());
    info.folderWritable = folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
    info.cannotWrite = m_load.openElsewhere ? QString() : LibraryWriteProblem(m_store->Path());
    info.backupFolder = m_store->BackupFolder();
    info.backups = ListBackups(m_store->Path(), info.backupFolder);
    LibraryInfoDialog dialog(info, this);
    dialog.exec();
}
