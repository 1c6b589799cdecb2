#pragma once

#include "data/FuelModelSets.h"
#include "library/ITree.h"

#include <QHash>
#include <QStringList>

// Empty when the tree and the library hold the same sets and models in the same order, by the
// node scheme (set: its key, name, tag "Set", images 1/2 or 4/5 by the key's lock letter;
// model: child of its set under its Key, "ID - Description", image 3, no tag); otherwise the
// first difference. A blank model just added shows its description alone until it is edited.
inline QString TreeAndLibraryDiffer(const ITree &tree, const FuelModelSets &sets)
{
    QHash<QString, QStringList> children;
    for (int i = 1; i <= tree.Count(); ++i)
        children[tree.ParentKey(tree.KeyAt(i))] << tree.KeyAt(i);
    const QStringList roots = children.value(QString());
    if (roots.size() != sets.Count())
        return QStringLiteral("%1 set nodes, %2 sets").arg(roots.size()).arg(sets.Count());
    int nodes = roots.size();
    for (int s = 1; s <= sets.Count(); ++s) {
        const auto &set = sets.Item(s);
        const QString &key = roots[s - 1];
        const bool locked = key.startsWith(QLatin1Char('l'));
        if (sets.PositionOf(key) != s || tree.Text(key) != set->Name() || tree.Tag(key) != QLatin1String("Set") ||
            tree.Image(key) != (locked ? 4 : 1) || tree.ExpandedImage(key) != (locked ? 5 : 2))
            return QStringLiteral("set %1 (%2, \"%3\") differs from its node").arg(s).arg(key, set->Name());
        const QStringList kids = children.value(key);
        const auto &models = *set->FuelModels();
        if (kids.size() != models.Count())
            return QStringLiteral("set \"%1\": %2 model nodes, %3 models")
                .arg(set->Name())
                .arg(kids.size())
                .arg(models.Count());
        nodes += kids.size();
        for (int m = 1; m <= models.Count(); ++m) {
            const auto &fm = models.Item(m);
            const QString &mk = kids[m - 1];
            const QString text = tree.Text(mk);
            const bool blankModel = fm->FuelModelID() == QLatin1String("New") && text == fm->Description();
            if (fm->Key() != mk || models.PositionOf(mk) != m ||
                (text != fm->FuelModelID() + QLatin1String(" - ") + fm->Description() && !blankModel) ||
                tree.Image(mk) != 3 || !tree.Tag(mk).isEmpty())
                return QStringLiteral("set \"%1\", model %2 (%3, node \"%4\") differs from its node")
                    .arg(set->Name())
                    .arg(m)
                    .arg(mk, text);
        }
    }
    if (nodes != tree.Count())
        return QStringLiteral("%1 nodes outside the scheme").arg(tree.Count() - nodes);
    return {};
}
