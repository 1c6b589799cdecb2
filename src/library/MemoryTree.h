#pragma once

#include "data/KeyedCollection.h"
#include "library/ITree.h"

#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

class FuelModelSets;

// ITree held in memory, for tests and the command-line tools. Nodes live in a vector in
// insertion order with a key -> position index, so lookups by key and by position are constant
// time; a removal renumbers the nodes after it. Besides the contract it records what a window
// would show (expanded nodes, focus, label-edit requests) so that tests can observe it.
//
// Fails as the contract says: an unknown key or a position outside 1..Count() throws
// std::out_of_range; adding a key already in the tree throws std::invalid_argument and adds
// nothing. Removing the selected node leaves no node selected.
//
// The index is a std::unordered_map rather than a QHash: inserting into it is several times
// faster, which shows when a whole library is loaded.
class MemoryTree : public ITree
{
public:
    int Count() const override { return int(m_nodes.size()); }
    QString KeyAt(int position) const override;
    bool Contains(const QString &key) const override { return m_index.count(key) != 0; }

    void AddRoot(const QString &key, const QString &text, int image) override;
    void AddChild(const QString &parentKey, const QString &key, const QString &text, int image) override;
    void Remove(const QString &key) override;

    QString Text(const QString &key) const override { return node(key).text; }
    void SetText(const QString &key, const QString &text) override { node(key).text = text; }
    QString Tag(const QString &key) const override { return node(key).tag; }
    void SetTag(const QString &key, const QString &tag) override { node(key).tag = tag; }
    QString ParentKey(const QString &key) const override { return node(key).parent; }
    int Image(const QString &key) const override { return node(key).image; }
    int ExpandedImage(const QString &key) const override { return node(key).expandedImage; }
    void SetExpandedImage(const QString &key, int image) override { node(key).expandedImage = image; }

    void EnsureVisible(const QString &key) override;
    QString SelectedKey() const override { return m_selected; }
    void SetSelectedKey(const QString &key) override;

    void SetLabelEditAutomatic(bool automatic) override { m_labelEditAutomatic = automatic; }
    void StartLabelEdit() override { ++m_labelEditStarts; }
    void SetFocus() override { ++m_focusRequests; }

    void Reserve(int n) override;

    // What tests observe beyond the contract.
    // Keys of the children of parentKey (empty: the root nodes), in the order they were added.
    QStringList ChildKeys(const QString &parentKey) const;
    bool IsExpanded(const QString &key) const override { return node(key).expanded; }
    bool LabelEditAutomatic() const { return m_labelEditAutomatic; }
    int LabelEditStarts() const { return m_labelEditStarts; }
    int FocusRequests() const { return m_focusRequests; }
    void Clear() override;

private:
    struct Node
    {
        QString key;
        QString text;
        QString tag;
        QString parent;
        int image = 0;
        int expandedImage = 0;
        bool expanded = false;
    };

    Node &node(const QString &key);
    const Node &node(const QString &key) const;
    void append(Node n);

    using KeyHash = QStringKeyHash;

    std::vector<Node> m_nodes;
    std::unordered_map<QString, int, KeyHash> m_index; // key -> index into m_nodes
    int m_lastParent = -1;                             // index of the last parent found, as children come in runs
    QString m_selected;
    bool m_labelEditAutomatic = true;
    int m_labelEditStarts = 0;
    int m_focusRequests = 0;
};

// Empty when tree holds exactly the library's nodes, in library order and by the node scheme
// (set: key, name, tag "Set", images 1/2 or 4/5 by the key's lock letter; model: child of its
// set, its Key, FuelModelID + " - " + Description, image 3, no tag); otherwise the first
// difference, for test failure messages.
QString TreeMismatch(const ITree &tree, const FuelModelSets &sets);
