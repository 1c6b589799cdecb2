#pragma once

#include <QString>

// What the library code needs of the main window's tree: nodes identified by their key
// (unique in the tree), kept in insertion order and reachable by 1-based position; removing a
// node moves every later node down by one. Text, tag, images and parent are stored per node;
// a root node has an empty parent key. Implemented by the Qt tree of the main window and by
// MemoryTree for tests and tools.
//
// Selecting a node through this interface never raises the window's node-click handling.
// Operations on a key that is not in the tree throw std::out_of_range.
class ITree
{
public:
    virtual ~ITree() = default;

    virtual int Count() const = 0;
    // Key of the node at 1-based position (insertion order over the whole tree).
    virtual QString KeyAt(int position) const = 0;
    virtual bool Contains(const QString &key) const = 0;

    // Appends a root node after every existing root node.
    virtual void AddRoot(const QString &key, const QString &text, int image) = 0;
    // Appends a node as the last child of parentKey.
    virtual void AddChild(const QString &parentKey, const QString &key, const QString &text, int image) = 0;
    // Removes the node (and, for a root, its children, which callers remove first).
    virtual void Remove(const QString &key) = 0;

    virtual QString Text(const QString &key) const = 0;
    virtual void SetText(const QString &key, const QString &text) = 0;
    virtual QString Tag(const QString &key) const = 0;
    virtual void SetTag(const QString &key, const QString &tag) = 0;
    virtual QString ParentKey(const QString &key) const = 0;
    virtual int Image(const QString &key) const = 0;
    virtual int ExpandedImage(const QString &key) const = 0;
    virtual void SetExpandedImage(const QString &key, int image) = 0;

    // Expands the node's parent and scrolls the node into view.
    virtual void EnsureVisible(const QString &key) = 0;
    // Key of the selected node, empty when nothing is selected.
    virtual QString SelectedKey() const = 0;
    virtual void SetSelectedKey(const QString &key) = 0;

    // Automatic: a click on the selected node's text starts editing; manual: only StartLabelEdit.
    virtual void SetLabelEditAutomatic(bool automatic) = 0;
    virtual void StartLabelEdit() = 0;
    virtual void SetFocus() = 0;

    // Optional hint before a bulk load of n nodes.
    virtual void Reserve(int n) { (void)n; }

    // Removes every node (without a node click); by default root by root, children first.
    virtual void Clear()
    {
        for (int i = Count(); i >= 1; --i)
            Remove(KeyAt(i));
    }
    // Whether a node shows its children; trees that do not show any say no.
    virtual bool IsExpanded(const QString &key) const
    {
        (void)key;
        return false;
    }
    virtual void SetExpanded(const QString &key, bool expanded)
    {
        (void)key;
        (void)expanded;
    }
};
