#include "library/LibrarySession.h"

#include "data/AppError.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "data/UserMessage.h"
#include "library/ITree.h"
#include "library/LibraryFile.h"
#include "library/LibraryLocation.h"
#include "library/ModelNotes.h"
#include "library/NotesFile.h"

#include <QDir>

#include <algorithm>

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

LibrarySession::LibrarySession(ITree &tree, IPrompts &prompts, Host host)
    : m_tree(tree), m_prompts(prompts), m_host(std::move(host)), m_store(std::make_unique<LibraryStore>())
{ }

LibrarySession::~LibrarySession()
{
    m_history.changed = nullptr;
}

void LibrarySession::ResetProgram()
{
    ResetProgramState();
    ResetEditActions();
    ResetLibraryNotes();
    ResetLibraryFileState();
}

FuelModelSets &LibrarySession::Sets()
{
    return *gFMSets;
}

void LibrarySession::ChooseLibraryFile()
{
    const LibraryLocation &where = CurrentLibraryLocation();
    if (where.previousPath.isEmpty())
        return;
    const auto described = [](const QString &path) {
        return QStringLiteral("%1\r(%2)").arg(QDir::toNativeSeparators(path), DescribeLibraryFile(path));
    };
    const QString lastTime = where.nothingRemembered
        ? QStringLiteral("This program has no record of the library file it used before. "
                         "Two library files could be its own:\r\rThe file beside the "
                         "program:\r%1")
        : QStringLiteral("The library file this program used last time is another one than "
                         "it would use now.\r\rUsed last time:\r%1");
    const bool useNew = m_prompts.AskYesNo(
        lastTime.arg(described(where.previousPath)) +
            QStringLiteral("\r\rTo be used now:\r%1\r%2\r\rYes: use the file to be used now.\rNo: keep using %3.")
                .arg(described(where.path), where.reason,
                     where.nothingRemembered ? QStringLiteral("the file beside the program")
                                             : QStringLiteral("the file used last time")),
        AppTitle(), IPrompts::Icon::Question);
    if (!useNew)
        KeepPreviousLibrary();
}

const LibraryStore::LoadResult &LibrarySession::Load()
{
    m_load = m_store->Load(m_tree);
    RememberLibraryUsed(CurrentProgramFolder(), m_store->Path());
    return m_load;
}

bool LibrarySession::AskOpenElsewhere()
{
    const QString question = m_load.staleLock
        ? QStringLiteral("The library file\r%1\rcannot be locked for this copy of Varrow: its lock file is %2.\r\r"
                         "Yes: open it here read-only (nothing can be changed or saved).\rNo: quit.")
        : QStringLiteral("The library file\r%1\ris open in another copy of Varrow (%2), which saves every change "
                         "to it.\r\rYes: open it here read-only (nothing can be changed or saved).\rNo: quit.");
    const bool readOnly = m_prompts.AskYesNo(question.arg(QDir::toNativeSeparators(m_store->Path()), m_load.holder),
                                             AppTitle(), IPrompts::Icon::Question);
    m_store->SetReadOnly(true);
    return readOnly;
}

void LibrarySession::ReportLoad()
{
    // Moving to another file is never silent.
    if (CurrentLibraryLocation().copiedNow)
        m_prompts.Message(CurrentLibraryLocation().reason, AppTitle(), IPrompts::Icon::Information);
    if (m_load.kind == LibraryStore::LoadResult::Failed || m_load.kind == LibraryStore::LoadResult::CreateFailed)
        m_prompts.Message(m_load.message, AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.warning.isEmpty())
        m_prompts.Message(QStringLiteral("The library file\r%1\rwas read, but %2")
                              .arg(QDir::toNativeSeparators(m_store->Path()), m_load.warning),
                          AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.openElsewhere && !m_load.cannotWrite.isEmpty())
        m_prompts.Message(QStringLiteral("The library file\r%1\rcannot be written here: %2.\r\rIt is open read-only: "
                                         "the sets and models can be looked at and copied, but nothing can be "
                                         "changed or saved.")
                              .arg(QDir::toNativeSeparators(m_store->Path()), m_load.cannotWrite),
                          AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.openElsewhere && !m_load.shareWarning.isEmpty())
        m_prompts.Message(m_load.shareWarning +
                              QStringLiteral("\r\rChanges are saved all the same; to keep the file "
                                             "shared, close the program and ask its owner or an "
                                             "administrator."),
                          AppTitle(), IPrompts::Icon::Exclamation);
    if (!m_load.notesMessage.isEmpty())
        m_prompts.Message(m_load.notesMessage, AppTitle(), IPrompts::Icon::Information);
}

LibrarySnapshot LibrarySession::Capture(const std::vector<std::shared_ptr<FuelModel>> &valuesOf) const
{
    return CaptureLibrary(*gFMSets, m_tree, valuesOf);
}

bool LibrarySession::Save(bool tellUser)
{
    QString reason;
    const bool ok = m_store->Save(&reason);
    if (!ok && m_store->ChangedOutside()) {
        // Settled by the action's caller, which knows what the change was.
        m_outsidePending = true;
        return false;
    }
    if (!ok && tellUser && !m_store->ReadOnly())
        m_prompts.Message(reason +
                              QStringLiteral("\r\rYour changes are kept in the program and are saved with "
                                             "the next successful save."),
                          AppTitle(), IPrompts::Icon::Exclamation);
    if (ok && m_host.showStatus)
        m_host.showStatus(QString());
    // Only what happened: the backup's trouble, and whether the library itself was saved.
    if (const QString backup = m_store->TakeBackupError(); !backup.isEmpty() && m_host.showStatus)
        m_host.showStatus(backup +
                          (ok ? QStringLiteral(" The library itself was saved; the backup is tried "
                                               "again before the next save.")
                              : QStringLiteral(" The library could not be saved either.")));
    return ok;
}

std::unique_ptr<LibraryChange> LibrarySession::change(const QString &name, LibrarySnapshot before,
                                                      LibrarySnapshot after)
{
    return std::make_unique<LibraryChange>(
        name, std::move(before), std::move(after), m_tree,
        [this](const LibrarySnapshot &from, const LibrarySnapshot &to) { stepDone(from, to); });
}

void LibrarySession::Record(const QString &name, LibrarySnapshot before, LibrarySnapshot after)
{
    if (m_outsidePending) {
        // The change could not be written: the file was changed from outside meanwhile.
        if (!ResolveOutsideChange(name, &before, &after))
            return;
    }
    if (SameLibrary(before, after))
        return;
    m_history.push(change(name, std::move(before), std::move(after)));
}

bool LibrarySession::Apply(const QString &name, const std::function<bool()> &change)
{
    if (m_store->ReadOnly())
        return false;
    LibrarySnapshot before = Capture();
    if (!change())
        return false;
    Save(true);
    Record(name, std::move(before), Capture());
    replaced();
    return true;
}

void LibrarySession::Run(const QString &action, const QString &modelInEditor)
{
    // Every action that changes the library becomes one step of the history.
    const QString word = action.toUpper();
    const bool changes = word != QLatin1String("COPY");
    LibrarySnapshot before;
    if (changes)
        before = Capture();
    EditContext ctx{m_tree, m_prompts,
                    [this] {
                        if (m_host.enablePaste)
                            m_host.enablePaste();
                    },
                    [this] { Save(true); }, modelInEditor};
    try {
        EditAction(ctx, action);
    } catch (const std::exception &e) {
        m_prompts.Message(QStringLiteral("The command could not be completed. ") + UserMessageOf(e), AppTitle(),
                          IPrompts::Icon::Critical);
    }
    if (changes) {
        LibrarySnapshot after = Capture();
        const QString name = ChangeName(word, before, after, m_cutting);
        Record(name, std::move(before), std::move(after));
    }
}

void LibrarySession::Cut(const QString &modelInEditor)
{
    const QString cut = m_tree.SelectedKey();
    const auto copyNode = gCopyNode;
    const auto clipFM = gClipFM;
    const QString mode = gPasteMode;
    Run(QStringLiteral("COPY"), modelInEditor);
    m_cutting = true;
    Run(QStringLiteral("DELETE"), modelInEditor);
    m_cutting = false;
    if (!cut.isEmpty() && m_tree.Contains(cut)) {
        // Not deleted (answered No, or refused): nothing was cut, and the clipboard holds what
        // it held before.
        gCopyNode = copyNode;
        gClipFM = clipFM;
        gPasteMode = mode;
    } else {
        gPasteMode = QStringLiteral("Cut");
    }
}

void LibrarySession::RenameSet(const QString &key, const QString &name)
{
    LibrarySnapshot before = Capture();
    const auto set = gFMSets->Item(key);
    const QString oldName = set->Name();
    set->setName(name);
    RecordSetRename(gLibraryNotes, *set, oldName, name);
    m_tree.SetText(key, name);
    // The click that ended the edit may have selected another node by now: the host shows
    // whatever is selected, never merely the set just renamed.
    replaced();
    // Saved at once, so that no way of leaving the program loses the new name.
    Save(true);
    Record(QStringLiteral("Rename Set '%1' to '%2'").arg(oldName, name), std::move(before), Capture());
}

QString LibrarySession::ChangeName(const QString &word, const LibrarySnapshot &before, const LibrarySnapshot &after,
                                   bool cutting)
{
    bool isSet = false;
    if (word == QLatin1String("DELETE")) {
        const QString name = nameIn(before, before.selectedKey, &isSet);
        if (isSet)
            return QStringLiteral("Delete Set ") + quoted(name);
        return (cutting ? QStringLiteral("Cut Model ") : QStringLiteral("Delete Model ")) + quoted(name);
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

void LibrarySession::stepDone(const LibrarySnapshot &from, const LibrarySnapshot &to)
{
    Save(true);
    if (m_outsidePending)
        ResolveOutsideChange(m_history.undoText(), &from, &to);
    replaced();
    m_tree.SetFocus();
}

void LibrarySession::replaced()
{
    if (m_host.libraryReplaced)
        m_host.libraryReplaced();
}

bool LibrarySession::ResolveOutsideChange(const QString &name, const LibrarySnapshot *before,
                                          const LibrarySnapshot *after)
{
    m_outsidePending = false;
    const QString path = QDir::toNativeSeparators(m_store->Path());
    const QString change = name.isEmpty() ? QStringLiteral("your last change") : QStringLiteral("\"%1\"").arg(name);
    const bool reload = m_prompts.AskYesNo(
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
            const LibrarySnapshot shown = Capture();
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
            RestoreLibrary(*fresh, m_tree);
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
                Save(true);
                message += QStringLiteral("\r%1 was made in it again.").arg(change.at(0).toUpper() + change.mid(1));
            } else {
                message += QStringLiteral("\r%1 was dropped: %2")
                               .arg(change.at(0).toUpper() + change.mid(1),
                                    why.isEmpty() ? QStringLiteral("it cannot be made again.") : why);
            }
            // The history belongs to the library as it was before: its steps would undo the
            // other program's changes too. It is left once a running undo step is over; the
            // change made again is its first step.
            message += replayed
                ? QStringLiteral("\rThe earlier steps of Undo are cleared; Undo now takes back %1.").arg(change)
                : QStringLiteral("\rUndo is cleared: its steps belong to the library as it was.");
            const QString stepName = name.isEmpty() ? QStringLiteral("Change") : name;
            LibrarySnapshot madeIn = Capture();
            m_history.replaceWith(replayed && !SameLibrary(base, madeIn)
                                      ? this->change(stepName, std::move(base), std::move(madeIn))
                                      : nullptr);
            m_prompts.Message(message, AppTitle(), IPrompts::Icon::Information);
            replaced();
            return false;
        }
        m_prompts.Message(
            fresh ? QStringLiteral("%1\rThe file is not read again; the library shown here is kept.").arg(reason)
                  : QStringLiteral("The changed file could not be read (%1).\rThe library shown here "
                                   "is kept.")
                        .arg(reason),
            AppTitle(), IPrompts::Icon::Exclamation);
    }
    const QString aside = m_store->KeepOurs(&reason);
    if (aside.isEmpty()) {
        m_prompts.Message(reason, AppTitle(), IPrompts::Icon::Exclamation);
        return true;
    }
    m_prompts.Message(QStringLiteral("The other program's version of the library is kept as\r%1\r"
                                     "The library file now holds the library shown here.")
                          .arg(QDir::toNativeSeparators(aside)),
                      AppTitle(), IPrompts::Icon::Information);
    return true;
}

void LibrarySession::StartEdit(const std::shared_ptr<FuelModel> &model)
{
    m_editModel = model;
    m_editBaseline = *model;
    m_editBaselineText = m_tree.Contains(model->Key()) ? m_tree.Text(model->Key()) : ModelNodeText(*model);
    m_editNotesBaseline = gLibraryNotes;
}

void LibrarySession::editPictures(LibrarySnapshot &before, LibrarySnapshot &after) const
{
    after = Capture({m_editModel});
    before = after;
    before.values.front().second = m_editBaseline;
    before.notes = m_editNotesBaseline;
    for (LibrarySnapshot::Set &set : before.sets)
        for (LibrarySnapshot::Model &m : set.models)
            if (m.model == m_editModel)
                m.nodeText = m_editBaselineText;
}

void LibrarySession::recordEditSave()
{
    if (!m_editModel)
        return;
    LibrarySnapshot before, after;
    editPictures(before, after);
    Record(QStringLiteral("Save Model ") + quoted(ModelNodeText(*m_editModel)), std::move(before), std::move(after));
    StartEdit(m_editModel);
}

bool LibrarySession::resolveEditSaveOutside()
{
    if (!m_editModel)
        return ResolveOutsideChange(QString(), nullptr, nullptr);
    LibrarySnapshot before, after;
    editPictures(before, after);
    const QString id = m_editModel->FuelModelID();
    const QString name = QStringLiteral("Save Model ") + quoted(ModelNodeText(*m_editModel));
    m_outsidePending = true;
    if (ResolveOutsideChange(name, &before, &after)) {
        recordEditSave();
        return true;
    }
    // Read again: the editor goes on with the model of that name in the library read.
    for (const auto &set : *gFMSets)
        for (const auto &fm : *set->FuelModels())
            if (fm->FuelModelID() == id && m_host.editorFollows && m_host.editorFollows(fm)) {
                StartEdit(fm);
                return true;
            }
    return false;
}

bool LibrarySession::SaveEdit(QString *error)
{
    // The model's history lists exactly what this Save changed.
    if (m_editModel)
        if (const QList<ValueChange> changes = ModelChanges(m_editBaseline, *m_editModel); !changes.isEmpty())
            gLibraryNotes.Record(m_editModel, SavedEntry(NotesNow(), changes));
    QString reason;
    bool ok = m_store->Save(&reason);
    if (ok)
        recordEditSave();
    else if (m_store->ChangedOutside())
        ok = resolveEditSaveOutside();
    if (!ok && error)
        *error = reason;
    return ok;
}

bool LibrarySession::SaveOnClose()
{
    // However the program is closed, the file is left holding every change.
    QString reason;
    if (!m_store->NeedsSaveOnClose() || m_store->Save(&reason))
        return true;
    if (m_store->ChangedOutside()) {
        // Nothing of this run is unsaved but what the other program's version lacks.
        return !(
            m_prompts.AskYesNo(QStringLiteral("The library file\r%1\rwas changed by another program. Keep the "
                                              "library shown here in it? (The other version is first kept as "
                                              "a backup.)\r\rNo leaves the file as the other program wrote it.")
                                   .arg(QDir::toNativeSeparators(m_store->Path())),
                               AppTitle(), IPrompts::Icon::Question) &&
            m_store->KeepOurs(&reason).isEmpty() &&
            !m_prompts.AskYesNo(reason + QStringLiteral("\r\rClose anyway?"), AppTitle(), IPrompts::Icon::Exclamation));
    }
    return m_prompts.AskYesNo(reason + QStringLiteral("\r\rClose anyway? The changes not saved will be lost."),
                              AppTitle(), IPrompts::Icon::Exclamation);
}
