#include "library/LibraryHistory.h"

#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/EditActions.h"
#include "library/ITree.h"

#include <algorithm>

namespace {

bool sameValues(const FuelModel &a, const FuelModel &b)
{
    return a.Key() == b.Key() && a.FuelModelID() == b.FuelModelID() && a.Description() == b.Description() &&
        a.HerbType() == b.HerbType() && a.FuelCat() == b.FuelCat() && a.LoadingLiveHerb() == b.LoadingLiveHerb() &&
        a.MoistureOfExtinction() == b.MoistureOfExtinction() && a.BulkDensityDepth() == b.BulkDensityDepth() &&
        a.HeatContentLiveWoody() == b.HeatContentLiveWoody() && a.HeatContentLiveHerb() == b.HeatContentLiveHerb() &&
        a.HeatContentDead() == b.HeatContentDead() && a.SurfaceToVolumeLiveWoody() == b.SurfaceToVolumeLiveWoody() &&
        a.SurfaceToVolumeLiveHerb() == b.SurfaceToVolumeLiveHerb() &&
        a.SurfaceToVolume1Hour() == b.SurfaceToVolume1Hour() && a.LoadingLiveWoody() == b.LoadingLiveWoody() &&
        a.Loading1000Hour() == b.Loading1000Hour() && a.Loading100Hour() == b.Loading100Hour() &&
        a.Loading10Hour() == b.Loading10Hour() && a.Loading1Hour() == b.Loading1Hour();
}

} // namespace

int LibrarySnapshot::ModelCount() const
{
    int n = 0;
    for (const Set &s : sets)
        n += int(s.models.size());
    return n;
}

LibrarySnapshot CaptureLibrary(const FuelModelSets &sets, const ITree &tree,
                               const std::vector<std::shared_ptr<FuelModel>> &valuesOf)
{
    LibrarySnapshot snap;
    snap.sets.reserve(std::size_t(sets.Count()));
    for (int s = 1; s <= sets.Count(); ++s) {
        const auto &set = sets.Item(s);
        // The set's key is the key of its root node at the same place.
        LibrarySnapshot::Set entry;
        entry.set = set;
        entry.name = set->Name();
        entry.locked = set->Locked();
        snap.sets.push_back(std::move(entry));
    }
    // Keys of the sets, read from the tree in order (the collection does not hand them out).
    std::size_t root = 0;
    for (int i = 1; i <= tree.Count(); ++i) {
        const QString key = tree.KeyAt(i);
        if (!tree.ParentKey(key).isEmpty())
            continue;
        if (root < snap.sets.size())
            snap.sets[root].key = key;
        ++root;
        if (tree.IsExpanded(key))
            snap.expandedKeys.push_back(key);
    }
    for (LibrarySnapshot::Set &entry : snap.sets) {
        const auto &models = *entry.set->FuelModels();
        entry.models.reserve(std::size_t(models.Count()));
        for (const auto &fm : models)
            entry.models.push_back({fm, tree.Contains(fm->Key()) ? tree.Text(fm->Key()) : ModelNodeText(*fm)});
    }
    for (const auto &fm : valuesOf)
        if (fm)
            snap.values.emplace_back(fm, *fm);
    snap.selectedKey = tree.SelectedKey();
    if (&sets == gFMSets.get())
        snap.notes = gLibraryNotes;
    return snap;
}

void RestoreLibrary(const LibrarySnapshot &snapshot, ITree &tree)
{
    gLibraryNotes = snapshot.notes;
    for (const auto &[model, values] : snapshot.values)
        *model = values;

    auto sets = std::make_shared<FuelModelSets>();
    sets->Reserve(int(snapshot.sets.size()));
    for (const LibrarySnapshot::Set &entry : snapshot.sets) {
        auto models = std::make_shared<FuelModels>();
        models->Reserve(int(entry.models.size()));
        for (const LibrarySnapshot::Model &m : entry.models)
            models->Append(m.model, m.model->Key());
        entry.set->setName(entry.name);
        entry.set->setLocked(entry.locked);
        entry.set->setFuelModels(models);
        sets->Append(entry.set, entry.key);
    }
    gFMSets = sets;

    tree.Clear();
    tree.Reserve(snapshot.ModelCount() + int(snapshot.sets.size()));
    for (const LibrarySnapshot::Set &entry : snapshot.sets) {
        const bool locked = IsLockedKey(entry.key);
        tree.AddRoot(entry.key, entry.name, locked ? ImgLockedClosed : ImgSetClosed);
        tree.SetTag(entry.key, kSetTag);
        tree.SetExpandedImage(entry.key, locked ? ImgLockedOpen : ImgSetOpen);
        for (const LibrarySnapshot::Model &m : entry.models)
            tree.AddChild(entry.key, m.model->Key(), m.nodeText, ImgModel);
    }
    for (const QString &key : snapshot.expandedKeys)
        if (tree.Contains(key))
            tree.SetExpanded(key, true);
    if (tree.Contains(snapshot.selectedKey)) {
        tree.SetSelectedKey(snapshot.selectedKey);
        tree.EnsureVisible(snapshot.selectedKey);
    } else if (tree.Count() > 0) {
        tree.SetSelectedKey(tree.KeyAt(1));
    }
}

bool SameLibrary(const LibrarySnapshot &a, const LibrarySnapshot &b)
{
    if (a.sets.size() != b.sets.size() || a.values.size() != b.values.size())
        return false;
    for (std::size_t s = 0; s < a.sets.size(); ++s) {
        const auto &x = a.sets[s];
        const auto &y = b.sets[s];
        if (x.key != y.key || x.set != y.set || x.name != y.name || x.locked != y.locked ||
            x.models.size() != y.models.size())
            return false;
        for (std::size_t m = 0; m < x.models.size(); ++m)
            if (x.models[m].model != y.models[m].model || x.models[m].nodeText != y.models[m].nodeText)
                return false;
    }
    for (std::size_t v = 0; v < a.values.size(); ++v)
        if (a.values[v].first != b.values[v].first || !sameValues(a.values[v].second, b.values[v].second))
            return false;
    return a.notes == b.notes;
}

namespace {

const LibrarySnapshot::Set *findSet(const LibrarySnapshot &snap, const std::shared_ptr<FuelModelSet> &set)
{
    for (const auto &s : snap.sets)
        if (s.set == set)
            return &s;
    return nullptr;
}

bool holdsModel(const LibrarySnapshot::Set &set, const std::shared_ptr<FuelModel> &fm)
{
    for (const auto &m : set.models)
        if (m.model == fm)
            return true;
    return false;
}

LibrarySnapshot::Set *setNamed(LibrarySnapshot &snap, const QString &name)
{
    for (auto &s : snap.sets)
        if (s.name == name)
            return &s;
    return nullptr;
}

bool idTaken(const LibrarySnapshot &snap, const QString &id)
{
    const QString wanted = id.trimmed().toUpper();
    for (const auto &s : snap.sets)
        for (const auto &m : s.models)
            if (m.model->FuelModelID().trimmed().toUpper() == wanted)
                return true;
    return false;
}

LibrarySnapshot::Model freshCopy(const LibrarySnapshot::Model &m)
{
    auto fm = std::make_shared<FuelModel>(*m.model);
    fm->setKey(NewNodeKey(false));
    return {fm, m.nodeText};
}

QString quotedName(const QString &s)
{
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace

bool ReplayChange(const LibrarySnapshot &before, const LibrarySnapshot &after, LibrarySnapshot &target, QString *why)
{
    LibrarySnapshot result = target;
    auto fail = [&](const QString &text) {
        if (why)
            *why = text;
        return false;
    };

    // Sets that went.
    for (const auto &old : before.sets) {
        if (findSet(after, old.set))
            continue;
        LibrarySnapshot::Set *there = setNamed(result, old.name);
        if (!there)
            return fail(QStringLiteral("The set %1 is no longer in the library.").arg(quotedName(old.name)));
        if (there->locked)
            return fail(QStringLiteral("The set %1 is now locked.").arg(quotedName(old.name)));
        result.sets.erase(result.sets.begin() + (there - result.sets.data()));
    }
    // Sets that stayed: their names and models.
    for (const auto &now : after.sets) {
        const LibrarySnapshot::Set *old = findSet(before, now.set);
        if (!old)
            continue;
        LibrarySnapshot::Set *there = setNamed(result, old->name);
        const bool touched = old->name != now.name || old->models.size() != now.models.size() || [&] {
            for (std::size_t i = 0; i < now.models.size(); ++i)
                if (old->models[i].model != now.models[i].model)
                    return true;
            return false;
        }();
        if (!touched)
            continue;
        if (!there)
            return fail(QStringLiteral("The set %1 is no longer in the library.").arg(quotedName(old->name)));
        if (there->locked)
            return fail(QStringLiteral("The set %1 is now locked.").arg(quotedName(old->name)));
        if (old->name != now.name) {
            if (setNamed(result, now.name))
                return fail(QStringLiteral("A set named %1 is already in the library.").arg(quotedName(now.name)));
            there->name = now.name;
        }
        for (const auto &m : old->models) {
            if (holdsModel(now, m.model))
                continue;
            const auto it = std::find_if(there->models.begin(), there->models.end(), [&](const auto &t) {
                return t.model->FuelModelID() == m.model->FuelModelID();
            });
            if (it == there->models.end())
                return fail(QStringLiteral("The model %1 is no longer in the set %2.")
                                .arg(quotedName(m.nodeText), quotedName(now.name)));
            there->models.erase(it);
        }
        for (const auto &m : now.models) {
            if (holdsModel(*old, m.model))
                continue;
            if (idTaken(result, m.model->FuelModelID()))
                return fail(QStringLiteral("A model with the ID %1 is already in the library.")
                                .arg(quotedName(m.model->FuelModelID())));
            there->models.push_back(freshCopy(m));
        }
    }
    // Sets that came.
    for (const auto &now : after.sets) {
        if (findSet(before, now.set))
            continue;
        if (setNamed(result, now.name))
            return fail(QStringLiteral("A set named %1 is already in the library.").arg(quotedName(now.name)));
        LibrarySnapshot::Set added;
        added.key = NewNodeKey(now.locked);
        added.set = std::make_shared<FuelModelSet>();
        added.name = now.name;
        added.locked = now.locked;
        for (const auto &m : now.models) {
            if (idTaken(result, m.model->FuelModelID()))
                return fail(QStringLiteral("A model with the ID %1 is already in the library.")
                                .arg(quotedName(m.model->FuelModelID())));
            added.models.push_back(freshCopy(m));
        }
        result.sets.push_back(std::move(added));
    }
    // Values of an edited model, found by its ID before the edit.
    for (std::size_t v = 0; v < after.values.size() && v < before.values.size(); ++v) {
        const FuelModel &oldValues = before.values[v].second;
        const FuelModel &newValues = after.values[v].second;
        const LibrarySnapshot::Set *home = nullptr;
        for (const auto &s : after.sets)
            if (holdsModel(s, after.values[v].first))
                home = &s;
        LibrarySnapshot::Set *there = home ? setNamed(result, home->name) : nullptr;
        if (!there)
            return fail(
                QStringLiteral("The model %1 is no longer in the library.").arg(quotedName(ModelNodeText(oldValues))));
        const auto it = std::find_if(there->models.begin(), there->models.end(),
                                     [&](const auto &t) { return t.model->FuelModelID() == oldValues.FuelModelID(); });
        if (it == there->models.end())
            return fail(QStringLiteral("The model %1 is no longer in the set %2.")
                            .arg(quotedName(ModelNodeText(oldValues)), quotedName(there->name)));
        if (there->locked)
            return fail(QStringLiteral("The set %1 is now locked.").arg(quotedName(there->name)));
        auto edited = std::make_shared<FuelModel>(newValues);
        edited->setKey(it->model->Key());
        // The record read from the file takes the values, so a new object is not needed.
        result.values.emplace_back(it->model, *edited);
        it->nodeText = ModelNodeText(newValues);
    }
    target = std::move(result);
    return true;
}
