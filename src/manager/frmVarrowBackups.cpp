#include "manager/frmVarrow.h"

#include "data/FuelModelSets.h"
#include "data/ProgramState.h"
#include "library/EditActions.h"
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

// File > Library... shows the library file, why it is the one, what it holds, its backups and
// the orphaned notes, which it attaches to a model or deletes (each one step of the history).
// File > Restore from backup...: the library is replaced by one of its backups as one step of
// the history, so that Undo brings back the library as it was before the restore.

void frmVarrow::restoreFromBackup()
{
    if (m_session->Store().ReadOnly()) {
        m_prompts->Message(QStringLiteral("The library is open read-only here: nothing can be restored into it."),
                           AppTitle(), IPrompts::Icon::Exclamation);
        return;
    }
    if (!canUseHistory())
        return;
    RestoreBackupDialog dialog(ListBackups(m_session->Store().Path(), m_session->Store().BackupFolder()), this);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenPath().isEmpty())
        return;
    const QString path = dialog.ChosenPath();
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    MemoryTree read;
    const LibraryReadResult result =
        file.error() == QFileDevice::NoError ? ReadLibrary(bytes, read) : LibraryReadResult{};
    if (!result.ok || !result.sets) {
        m_prompts->Message(
            QStringLiteral("The backup %1 could not be read: %2\rThe library is left as it is.")
                .arg(QDir::toNativeSeparators(path),
                     file.error() != QFileDevice::NoError ? file.errorString() : result.problem.toString()),
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
    for (const BackupInfo &b : ListBackups(m_session->Store().Path(), m_session->Store().BackupFolder()))
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
    const QFileInfo file(m_session->Store().Path());
    info.location.path = m_session->Store().Path();
    info.exists = file.exists();
    info.size = info.exists ? file.size() : 0;
    // The library in memory is the file's: every change is written at once.
    if (gFMSets) {
        info.sets = gFMSets->Count();
        info.models = gFMSets->ModelCount();
        for (const auto &set : *gFMSets)
            info.lockedSets += set->Locked() ? 1 : 0;
    }
    info.readOnly = m_session->Store().ReadOnly();
    info.holder = m_session->LoadOutcome().holder;
    const QFileInfo folder(file.absolutePath());
    info.folderWritable = folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
    info.cannotWrite =
        m_session->LoadOutcome().openElsewhere ? QString() : LibraryWriteProblem(m_session->Store().Path());
    info.backupFolder = m_session->Store().BackupFolder();
    info.backups = ListBackups(m_session->Store().Path(), info.backupFolder);
    std::vector<std::shared_ptr<FuelModel>> models;
    std::vector<std::shared_ptr<FuelModelSet>> sets;
    if (gFMSets)
        for (const auto &set : *gFMSets) {
            sets.push_back(set);
            info.setTargets << set->Name();
            for (const auto &fm : *set->FuelModels()) {
                models.push_back(fm);
                info.modelTargets << QStringLiteral("%1: %2").arg(set->Name(), ModelNodeText(*fm));
            }
        }
    info.notesChangeable = !m_session->Store().ReadOnly();
    info.orphans = orphanNotesItems();
    LibraryInfoDialog dialog(info, this);
    // Each attach or delete is one step of the library's history, saved at once.
    connect(&dialog, &LibraryInfoDialog::attachRequested, this, [&](int row, int target) {
        const QList<LibraryNotes::Orphan> orphanModels = gLibraryNotes.OrphanedModels(*gFMSets);
        const QList<LibraryNotes::OrphanSet> orphanSets = gLibraryNotes.OrphanedSetEntries(*gFMSets);
        QString done;
        if (row < orphanModels.size() && target >= 0 && target < int(models.size())) {
            const LibraryNotes::Orphan orphan = orphanModels[row];
            const auto &model = models[size_t(target)];
            if (ApplyLibraryChange(
                    QStringLiteral("Attach Notes of '%1' to '%2'").arg(orphan.notes.id, model->FuelModelID()),
                    [&] { return gLibraryNotes.AttachOrphan(orphan, model); }))
                done = QStringLiteral("The notes of %1 were attached to %2.")
                           .arg(orphan.notes.id, info.modelTargets[target]);
        } else if (row >= orphanModels.size() && row - orphanModels.size() < orphanSets.size() && target >= 0 &&
                   target < int(sets.size())) {
            const LibraryNotes::OrphanSet orphan = orphanSets[row - orphanModels.size()];
            const auto &set = sets[size_t(target)];
            if (ApplyLibraryChange(
                    QStringLiteral("Attach Notes of Set '%1' to '%2'").arg(orphan.notes.name, set->Name()),
                    [&] { return gLibraryNotes.AttachOrphanSet(orphan, set); }))
                done = QStringLiteral("The notes of the set \"%1\" were attached to \"%2\".")
                           .arg(orphan.notes.name, set->Name());
        }
        dialog.SetOrphans(orphanNotesItems(), done);
    });
    connect(&dialog, &LibraryInfoDialog::deleteRequested, this, [&](int row) {
        const QList<LibraryNotes::Orphan> orphanModels = gLibraryNotes.OrphanedModels(*gFMSets);
        const QList<LibraryNotes::OrphanSet> orphanSets = gLibraryNotes.OrphanedSetEntries(*gFMSets);
        QString done;
        if (row < orphanModels.size()) {
            const LibraryNotes::Orphan orphan = orphanModels[row];
            if (ApplyLibraryChange(QStringLiteral("Delete Notes of '%1'").arg(orphan.notes.id),
                                   [&] { return gLibraryNotes.DeleteOrphan(orphan); }))
                done =
                    QStringLiteral("The notes of %1 were deleted (Edit > Undo brings them back).").arg(orphan.notes.id);
        } else if (row - orphanModels.size() < orphanSets.size()) {
            const LibraryNotes::OrphanSet orphan = orphanSets[row - orphanModels.size()];
            if (ApplyLibraryChange(QStringLiteral("Delete Notes of Set '%1'").arg(orphan.notes.name),
                                   [&] { return gLibraryNotes.DeleteOrphanSet(orphan); }))
                done = QStringLiteral("The notes of the set \"%1\" were deleted (Edit > Undo brings them back).")
                           .arg(orphan.notes.name);
        }
        dialog.SetOrphans(orphanNotesItems(), done);
    });
    dialog.exec();
}

QList<OrphanNotesItem> frmVarrow::orphanNotesItems() const
{
    QList<OrphanNotesItem> items;
    if (!gFMSets)
        return items;
    const auto lines = [](const QString &a, const QString &b, const QString &notes, const QList<QJsonObject> &history,
                          const char *first, const char *second) {
        QStringList out;
        if (!a.isEmpty())
            out << QStringLiteral("%1: %2").arg(QLatin1String(first), a);
        if (!b.isEmpty())
            out << QStringLiteral("%1: %2").arg(QLatin1String(second), b);
        if (!notes.isEmpty())
            out << notes;
        if (!history.isEmpty())
            out << DescribeEntry(history.last());
        return out.join(QLatin1Char('\n'));
    };
    for (const LibraryNotes::Orphan &o : gLibraryNotes.OrphanedModels(*gFMSets))
        items.append({false, QStringLiteral("Model %1 (was in set \"%2\")").arg(o.notes.id, o.notes.set),
                      lines(o.notes.source, o.notes.author, o.notes.notes, o.notes.history, "Source", "Author")});
    for (const LibraryNotes::OrphanSet &o : gLibraryNotes.OrphanedSetEntries(*gFMSets))
        items.append({true, QStringLiteral("Set \"%1\"").arg(o.notes.name),
                      lines(o.notes.description, o.notes.owner, o.notes.notes, {}, "Description", "Owner")});
    return items;
}
