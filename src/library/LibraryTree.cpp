#include "library/LibraryTree.h"

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/UserMessage.h"
#include "library/EditActions.h"
#include "library/ITree.h"
#include "library/LibraryFile.h"

bool FillLibraryTree(FuelModelSets &sets, ITree &tree, QString *error)
{
    int set = 1;
    int model = 0; // models of the current set with a node
    try {
        tree.Reserve(sets.ModelCount() + sets.Count());
        for (; set <= sets.Count(); ++set) {
            const auto &s = sets.Item(set);
            const QString &key = sets.KeyAt(set);
            const bool locked = IsLockedKey(key);
            model = 0;
            tree.AddRoot(key, s->Name(), locked ? ImgLockedClosed : ImgSetClosed);
            tree.SetExpandedImage(key, locked ? ImgLockedOpen : ImgSetOpen);
            tree.SetTag(key, kSetTag);
            const auto &models = *s->FuelModels();
            for (const auto &fm : models) {
                tree.AddChild(key, fm->Key(), ModelNodeText(*fm), ImgModel);
                ++model;
            }
        }
        return true;
    } catch (const std::exception &e) {
        if (error)
            *error = UserMessageOf(e);
    }
    if (set > sets.Count())
        return false;
    // What has no node goes: the models of the set being filled past the last node, and every
    // later set (a set whose root could not be made goes whole).
    if (!tree.Contains(sets.KeyAt(set))) {
        sets.Remove(set);
    } else {
        auto &models = *sets.Item(set)->FuelModels();
        while (models.Count() > model)
            models.Remove(models.Count());
        ++set;
    }
    while (sets.Count() >= set)
        sets.Remove(sets.Count());
    return false;
}

LibraryReadResult ReadLibrary(QByteArrayView bytes, ITree &tree)
{
    LibraryReadResult result = ReadLibrary(bytes);
    QString error;
    if (!FillLibraryTree(*result.sets, tree, &error) && result.ok) {
        result.ok = false;
        result.problem.line = 0;
        result.problem.message = error;
    }
    return result;
}
