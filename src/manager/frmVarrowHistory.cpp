#include "manager/frmVarrow.h"

#include "data/ProgramState.h"
#include "manager/FMTree.h"
#include "library/NotesFile.h"
#include "manager/LibraryUndo.h"
#include "testcenter/ui/frmEditModel.h"

#include <QAction>

#include <algorithm>
#include <QDir>
#include <QLineEdit>
#include <QUndoStack>

// The window's history of library changes: every command that changes the library is pushed
// onto one undo stack as the library before and after it. Undo and redo write the library at
// once, like the commands themselves. While the Edit and Test Center is open they wait: the
// editor works on one of the library's models, which an undo could take out of the library.

namespace {

// The set or model node key in a picture: its set's name, or its model's node text.
QString nameIn(const LibrarySnapshot &snap, const QString &key, bool *isSet)
{
    for (const LibrarySnapshot::Set &set : snap.sets) {
        if (set.key == key) {
            *isSet = true;
            return set.name;
        }
        for (const LibrarySnapshot::Model &m : set.models)
            if (m.model->Key() == key) {
                *isSet = false;
                return m.nodeText;
            }
    }
    *isSet = false;
    return {};
}

QString quoted(const QString &name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// The node of to that stands where key stands in from: the set of the same name, or the model
// of the same ID in it; empty when to has none.
QString sameNodeIn(const LibrarySnapshot &from, const QString &key, const LibrarySnapshot &to)
{
    for (const LibrarySnapshot::Set &set : from.sets) {
        const LibrarySnapshot::Model *model = nullptr;
        if (set.key != key) {
            for (const LibrarySnapshot::Model &m : set.models)
                if (m.model->Key() == key)
                    model = &m;
            if (!model)
                continue;
        }
        for (const LibrarySnapshot::Set &other : to.sets) {
            if (other.name != set.name)
                continue;
            if (!model)
                return other.key;
            for (const LibrarySnapshot::Model &m : other.models)
                if (m.model->FuelModelID() == model->model->FuelModelID())
                    return m.model->Key();
        }
        return {};
    }
    return {};
}

// What the library shown holds that the file's does not: sets by name, models by set name and
// ID.
void countMissing(const LibrarySnapshot &shown, const LibrarySnapshot &file, int *sets, int *models)
{
    *sets = 0;
    *models = 0;
    for (const LibrarySnapshot::Set &set : shown.sets) {
        const auto other = std::find_if(file.sets.begin(), file.sets.end(),
                                        [&](const LibrarySnapshot::Set &f) { return f.name == set.name; });
        if (other == file.sets.end()) {
            ++*sets;
            *models += int(set.models.size());
            continue;
        }
        for (const LibrarySnapshot::Model &m : set.models)
            if (std::none_of(other->models.begin(), other->models.end(), [&](const LibrarySnapshot::Model &f) {
                    return f.model->FuelModelID() == m.model->FuelModelID();
                }))
                ++*models;
    }
}

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

void frmVarrow::buildHistory()
{
    connect(m_undoStack, &QUndoStack::indexChanged, this, &frmVarrow::updateUndoActions);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, &frmVarrow::updateUndoActions);
    connect(actUndo, &QAction::triggered, this, [this] {
        if (canUseHistory())
            m_undoStack->undo();
    });
    connect(actRedo, &QAction::triggered, this, [this] {
        if (canUseHistory())
            m_undoStack->redo();
    });
    updateUndoActions();
}

bool frmVarrow::ApplyLibraryChange(const QString &name, const std::function<bool()> &change)
{
    if (m_store->ReadOnly())
        return false;
    LibrarySnapshot before = captureLibrary();
    if (!change())
        return false;
    saveLibrary(true);
    recordChange(name, std::move(before), captureLibrary());
    afterLibraryReplaced();
    return true;
}

bool frmVarrow::canUseHistory() const
{
    return !m_editor && !m_store->ReadOnly();
}

void frmVarrow::updateUndoActions()
{
    const bool usable = canUseHistory();
    actUndo->setEnabled(usable && m_undoStack->canUndo());
    actRedo->setEnabled(usable && m_undoStack->canRedo());
    // Read-only, the command stays at hand and says why it cannot restore.
    actRestoreBackup->setEnabled(usable || (!m_editor && m_store->ReadOnly()));
    actUndo->setText(m_undoStack->canUndo() ? QStringLiteral("&Undo ") + m_undoStack->undoText()
                                            : QStringLiteral("&Undo"));
    actRedo->setText(m_undoStack->canRedo() ? QStringLiteral("&Redo ") + m_undoStack->redoText()
                                            : QStringLiteral("&Redo"));
}

LibrarySnapshot frmVarrow::captureLibrary(const std::vector<std::shared_ptr<FuelModel>> &valuesOf) const
{
    return CaptureLibrary(*gFMSets, *treeFMs, valuesOf);
}

void frmVarrow::recordChange(const QString &name, LibrarySnapshot before, LibrarySnapshot after)
{
    if (m_outsidePending) {
        // The change could not be written: the file was changed from outside meanwhile.
        if (!resolveOutsideChange(name, &before, &after))
            return;
    }
    if (SameLibrary(before, after))
        return;
    m_undoStack->push(new LibraryChange(name, std::move(before), std::move(after), *treeFMs,
                                        [this](const LibrarySnapshot &from, const LibrarySnapshot &to) {
                                            historyStepDone(from, to);
                                        }));
}

bool frmVarrow::resolveOutsideChange(const QString &name, const LibrarySnapshot *before, const LibrarySnapshot *after)
{
    m_outsidePending = false;
    const QString path = QDir::toNativeSeparators(m_store->Path());
    const QString change = name.isEmpty() ? QStringLiteral("your last change") : QStringLiteral("\"%1\"").arg(name);
    const bool reload = m_prompts->AskYesNo(
        QStringLiteral("The library file\r%1\rwas changed by another program since Varrow last read or wrote it, so "
                       "%2 was not saved.\r\r"
                       "Yes: read the file again and make %2 in it again.\r"
                       "No: keep the library shown here; the other program's version is first kept as a backup.")
            .arg(path, change),
        AppTitle(), IPrompts::Icon::Exclamation);
    QString reason;
    if (reload) {
        const NotesDocument ourNotes = DetachNotes(gLibraryNotes, *gFMSets);
        std::optional<LibrarySnapshot> fresh = m_store->ReadCurrentFile(&reason);
        // The library shown is kept beside the file before the file's version replaces it, so
        // that nothing made in this run is lost, whatever the file holds now.
        const QString shownAside = fresh ? m_store->KeepShownAside(&reason) : QString();
        if (fresh && !shownAside.isEmpty()) {
            const LibrarySnapshot shown = captureLibrary();
            LibrarySnapshot base = *fresh;
            QString why;
            const bool replayed = before && after && ReplayChange(*before, *after, *fresh, &why);
            // Undo of the change made again puts back the values the file held.
            for (const auto &[model, value] : fresh->values)
                base.values.emplace_back(model, *model);
            int lostSets = 0, lostModels = 0;
            countMissing(shown, *fresh, &lostSets, &lostModels);
            // The selection stays on the same set or model where the file has it.
            fresh->selectedKey = sameNodeIn(shown, shown.selectedKey, *fresh);
            if (fresh->selectedKey.isEmpty() && !fresh->sets.empty())
                fresh->selectedKey = fresh->sets.front().key;
            for (const QString &key : shown.expandedKeys)
                if (const QString same = sameNodeIn(shown, key, *fresh); !same.isEmpty())
                    fresh->expandedKeys.push_back(same);
            base.selectedKey = fresh->selectedKey;
            base.expandedKeys = fresh->expandedKeys;
            RestoreLibrary(*fresh, *treeFMs);
            // Notes made here are kept: with their models where the file has them, as orphaned
            // notes where it has not; Undo of the change made again keeps them too.
            AddMissingNotes(gLibraryNotes, ourNotes, *gFMSets);
            AddMissingNotes(base.notes, ourNotes, *gFMSets);
            QString message = QStringLiteral("The library was read again from the file.");
            if (lostSets > 0 || lostModels > 0)
                message += QStringLiteral(" The file does not hold %1 and %2 that were shown here.")
                               .arg(counted(lostSets, "set", "sets"), counted(lostModels, "model", "models"));
            message += QStringLiteral("\rThe library as it was shown is kept as\r%1\r(File > Restore from backup... "
                                      "brings it back).")
                           .arg(QDir::toNativeSeparators(shownAside));
            if (replayed) {
                saveLibrary(true);
                message += QStringLiteral("\r%1 was made in it again.").arg(change.at(0).toUpper() + change.mid(1));
            } else {
                message += QStringLiteral("\r%1 was dropped: %2")
                               .arg(change.at(0).toUpper() + change.mid(1),
                                    why.isEmpty() ? QStringLiteral("it cannot be made again.") : why);
            }
            // The history belongs to the library as it was before: its steps would undo the
            // other program's changes too. It is left once this change is done (not from
            // inside an undo step, which is still running); the change made again is its
            // first step.
            message += replayed ? QStringLiteral("\rThe earlier steps of Undo are cleared; Undo now takes back %1.")
                                      .arg(change)
                                : QStringLiteral("\rUndo is cleared: its steps belong to the library as it was.");
            const QString stepName = name.isEmpty() ? QStringLiteral("Change") : name;
            const LibrarySnapshot madeIn = captureLibrary();
            QMetaObject::invokeMethod(
                m_undoStack,
                [this, replayed, stepName, base = std::move(base), madeIn]() mutable {
                    m_undoStack->clear();
                    if (replayed && !SameLibrary(base, madeIn))
                        m_undoStack->push(new LibraryChange(stepName, std::move(base), madeIn, *treeFMs,
                                                            [this](const LibrarySnapshot &from, const LibrarySnapshot &to) {
                                                                historyStepDone(from, to);
                                                            }));
                },
                Qt::QueuedConnection);
            m_prompts->Message(message, AppTitle(), IPrompts::Icon::Information);
            afterLibraryReplaced();
            return false;
        }
        m_prompts->Message(fresh ? QStringLiteral("%1\rThe file is not read again; the library shown here is kept.")
                                       .arg(reason)
                                 : QStringLiteral("The changed file could not be read (%1).\rThe library shown here "
                                                  "is kept.")
                                       .arg(reason),
                           AppTitle(), IPrompts::Icon::Exclamation);
    }
    const QString aside = m_store->KeepOurs(&reason);
    if (aside.isEmpty()) {
        m_prompts->Message(reason, AppTitle(), IPrompts::Icon::Exclamation);
        return true;
    }
    m_prompts->Message(QStringLiteral("The other program's version of the library is kept as\r%1\r"
                                      "The library file now holds the library shown here.")
                           .arg(QDir::toNativeSeparators(aside)),
                       AppTitle(), IPrompts::Icon::Information);
    return true;
}

void frmVarrow::afterLibraryReplaced()
{
    if (treeFMs->Count() == 0) {
        txtFuelModelSet->clear();
        clearPanel();
        applyCommandStates(QString());
    } else {
        RefreshFMs();
    }
}

QString frmVarrow::changeName(const QString &word, const LibrarySnapshot &before, const LibrarySnapshot &after) const
{
    bool isSet = false;
    if (word == QLatin1String("DELETE")) {
        const QString name = nameIn(before, before.selectedKey, &isSet);
        if (isSet)
            return QStringLiteral("Delete Set ") + quoted(name);
        return (m_cutting ? QStringLiteral("Cut Model ") : QStringLiteral("Delete Model ")) + quoted(name);
    }
    // What came: a set, or a model in a set that was there.
    QString addedSet, addedModel;
    for (const LibrarySnapshot::Set &set : after.sets) {
        const auto old = std::find_if(before.sets.begin(), before.sets.end(),
                                      [&](const LibrarySnapshot::Set &b) { return b.set == set.set; });
        if (old == before.sets.end()) {
            addedSet = set.name;
            continue;
        }
        for (const LibrarySnapshot::Model &m : set.models)
            if (std::none_of(old->models.begin(), old->models.end(),
                             [&](const LibrarySnapshot::Model &b) { return b.model == m.model; }))
                addedModel = m.nodeText;
    }
    if (word == QLatin1String("PASTE"))
        return QStringLiteral("Paste Model ") + quoted(addedModel);
    if (word == QLatin1String("ADDSET"))
        return QStringLiteral("New Set ") + quoted(addedSet);
    if (word == QLatin1String("ADDMODEL"))
        return QStringLiteral("New Blank Model");
    return word;
}

void frmVarrow::historyStepDone(const LibrarySnapshot &from, const LibrarySnapshot &to)
{
    saveLibrary(true);
    if (m_outsidePending)
        resolveOutsideChange(m_undoStack->undoText(), &from, &to);
    afterLibraryReplaced();
    treeFMs->SetFocus();
}

void frmVarrow::startEditBaseline(const std::shared_ptr<FuelModel> &fm)
{
    m_editModel = fm;
    m_editBaseline = *fm;
    m_editBaselineText = treeFMs->Contains(fm->Key()) ? treeFMs->Text(fm->Key()) : ModelNodeText(*fm);
    m_editNotesBaseline = gLibraryNotes;
    updateUndoActions();
}

void frmVarrow::editorPictures(LibrarySnapshot &before, LibrarySnapshot &after) const
{
    after = captureLibrary({m_editModel});
    before = after;
    before.values.front().second = m_editBaseline;
    before.notes = m_editNotesBaseline;
    for (LibrarySnapshot::Set &set : before.sets)
        for (LibrarySnapshot::Model &m : set.models)
            if (m.model == m_editModel)
                m.nodeText = m_editBaselineText;
}

void frmVarrow::recordEditorSave()
{
    if (!m_editModel)
        return;
    LibrarySnapshot before, after;
    editorPictures(before, after);
    recordChange(QStringLiteral("Save Model ") + quoted(ModelNodeText(*m_editModel)), std::move(before),
                 std::move(after));
    m_editBaseline = *m_editModel;
    m_editBaselineText = treeFMs->Contains(m_editModel->Key()) ? treeFMs->Text(m_editModel->Key())
                                                                : ModelNodeText(*m_editModel);
    m_editNotesBaseline = gLibraryNotes;
}

bool frmVarrow::resolveEditorSaveOutside()
{
    if (!m_editModel)
        return resolveOutsideChange(QString(), nullptr, nullptr);
    LibrarySnapshot before, after;
    editorPictures(before, after);
    const QString id = m_editModel->FuelModelID();
    const QString name = QStringLiteral("Save Model ") + quoted(ModelNodeText(*m_editModel));
    m_outsidePending = true;
    if (resolveOutsideChange(name, &before, &after)) {
        recordEditorSave();
        return true;
    }
    // Read again: the editor goes on with the model of that name in the library read.
    for (const auto &set : *gFMSets)
        for (const auto &fm : *set->FuelModels())
            if (fm->FuelModelID() == id && m_editor) {
                m_editModel = fm;
                m_editBaseline = *fm;
                m_editBaselineText = treeFMs->Contains(fm->Key()) ? treeFMs->Text(fm->Key()) : ModelNodeText(*fm);
                m_editNotesBaseline = gLibraryNotes;
                m_editor->setEditFM(fm);
                return true;
            }
    return false;
}
