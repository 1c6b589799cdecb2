#include "library/MemoryTree.h"

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"

#include <QHash>

#include <stdexcept>
#include <unordered_set>

QString MemoryTree::KeyAt(int position) const
{
    if (position < 1 || position > Count())
        throw std::out_of_range("Index out of bounds");
    return m_nodes[std::size_t(position - 1)].key;
}

MemoryTree::Node &MemoryTree::node(const QString &key)
{
    const auto it = m_index.find(key);
    if (it == m_index.end())
        throw std::out_of_range("Element not found");
    return m_nodes[std::size_t(it->second)];
}

const MemoryTree::Node &MemoryTree::node(const QString &key) const
{
    return const_cast<MemoryTree *>(this)->node(key);
}

void MemoryTree::append(Node n)
{
    if (n.key.isEmpty() || !m_index.try_emplace(n.key, int(m_nodes.size())).second)
        throw std::invalid_argument("Key is not unique in collection");
    const QString key = n.key;
    try {
        m_nodes.push_back(std::move(n));
    } catch (...) {
        m_index.erase(key); // out of memory: the tree stays as it was
        throw;
    }
}

void MemoryTree::AddRoot(const QString &key, const QString &text, int image)
{
    append(Node{key, text, {}, {}, image, 0, false});
}

void MemoryTree::AddChild(const QString &parentKey, const QString &key, const QString &text, int image)
{
    // Children arrive in runs under one parent: look it up by key only when it changes.
    if (m_lastParent < 0 || std::size_t(m_lastParent) >= m_nodes.size() ||
        m_nodes[std::size_t(m_lastParent)].key != parentKey)
        m_lastParent = int(&node(parentKey) - m_nodes.data()); // throws for an unknown parent
    append(Node{key, text, {}, m_nodes[std::size_t(m_lastParent)].key, image, 0, false});
}

void MemoryTree::Remove(const QString &key)
{
    const std::size_t first = std::size_t(&node(key) - m_nodes.data());
    // The node and everything below it; a child always comes after its parent.
    std::unordered_set<QString, KeyHash> gone{key};
    std::size_t out = first;
    for (std::size_t i = first; i < m_nodes.size(); ++i) {
        Node &n = m_nodes[i];
        if (i == first || gone.count(n.parent)) {
            gone.insert(n.key);
            m_index.erase(n.key);
        } else {
            m_index[n.key] = int(out);
            if (out != i)
                m_nodes[out] = std::move(n);
            ++out;
        }
    }
    m_nodes.erase(m_nodes.begin() + std::ptrdiff_t(out), m_nodes.end());
    m_lastParent = -1;
    if (gone.count(m_selected))
        m_selected.clear();
}

void MemoryTree::EnsureVisible(const QString &key)
{
    for (QString p = node(key).parent; !p.isEmpty(); p = node(p).parent)
        node(p).expanded = true;
}

void MemoryTree::SetSelectedKey(const QString &key)
{
    if (!key.isEmpty())
        node(key);
    m_selected = key;
}

void MemoryTree::Reserve(int n)
{
    m_nodes.reserve(std::size_t(n));
    m_index.reserve(std::size_t(n));
}

QStringList MemoryTree::ChildKeys(const QString &parentKey) const
{
    QStringList out;
    for (const Node &n : m_nodes)
        if (n.parent == parentKey)
            out.append(n.key);
    return out;
}

void MemoryTree::Clear()
{
    *this = MemoryTree();
}

QString TreeMismatch(const ITree &tree, const FuelModelSets &sets)
{
    // Children in insertion order, grouped by parent.
    QHash<QString, QStringList> children;
    for (int i = 1; i <= tree.Count(); ++i) {
        const QString key = tree.KeyAt(i);
        children[tree.ParentKey(key)].append(key);
    }
    const QStringList roots = children.value(QString());
    if (roots.size() != sets.Count())
        return QStringLiteral("%1 root nodes for %2 sets").arg(roots.size()).arg(sets.Count());
    int total = roots.size();
    for (int s = 1; s <= sets.Count(); ++s) {
        const auto &set = sets.Item(s);
        const QString key = roots[s - 1];
        const QString where = QStringLiteral("set %1 (%2)").arg(s).arg(key);
        if (sets.PositionOf(key) != s)
            return where + QStringLiteral(": node key is not the key of set %1 in the library").arg(s);
        if (tree.Text(key) != set->Name())
            return where + QStringLiteral(": node text \"%1\", set name \"%2\"").arg(tree.Text(key), set->Name());
        if (tree.Tag(key) != QLatin1String("Set"))
            return where + QStringLiteral(": tag \"%1\"").arg(tree.Tag(key));
        const bool lockedKey = IsLockedKey(key);
        if (tree.Image(key) != (lockedKey ? 4 : 1) || tree.ExpandedImage(key) != (lockedKey ? 5 : 2))
            return where + QStringLiteral(": images %1/%2").arg(tree.Image(key)).arg(tree.ExpandedImage(key));
        const QStringList kids = children.value(key);
        const auto &models = *set->FuelModels();
        if (kids.size() != models.Count())
            return where + QStringLiteral(": %1 model nodes for %2 models").arg(kids.size()).arg(models.Count());
        total += kids.size();
        for (int m = 1; m <= models.Count(); ++m) {
            const auto &fm = models.Item(m);
            const QString mk = kids[m - 1];
            const QString at = where + QStringLiteral(", model %1 (%2)").arg(m).arg(mk);
            if (models.PositionOf(mk) != m || fm->Key() != mk)
                return at + QStringLiteral(": node key is not the key of model %1 of the set").arg(m);
            const QString text = ModelNodeText(*fm);
            if (tree.Text(mk) != text)
                return at + QStringLiteral(": node text \"%1\", expected \"%2\"").arg(tree.Text(mk), text);
            if (tree.Image(mk) != 3 || !tree.Tag(mk).isEmpty())
                return at + QStringLiteral(": image %1, tag \"%2\"").arg(tree.Image(mk)).arg(tree.Tag(mk));
        }
    }
    if (total != tree.Count())
        return QStringLiteral("%1 nodes below models or under unknown parents").arg(tree.Count() - total);
    return {};
}
