#include "manager/frmVarrow.h"

#include "library/LibraryBackups.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"
#include "manager/FMTree.h"
#include "manager/RestoreBackupDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStatusBar>

// File > Restore from backup...: the library is replaced by one of its backups as one step of
// the history, so that Undo brings back the library as it was before the restore.

void frmVarrow::restoreFromBackup()
{
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
    const LibrarySnapshot backup = CaptureLibrary(*result.sets, read);
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
