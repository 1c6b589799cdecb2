#pragma once

#include "library/ITree.h"

#include <QHash>
#include <QIcon>
#include <QTreeWidget>

#include <functional>
#include <vector>

// The five tree images of the main window (1 closed book, 2 open book, 3 page of text,
// 4 and 5 the books with a padlock), drawn from the SVG resources at every size a screen asks
// for. objectName "imlIcons".
class ImageList : public QObject
{
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);
    // Image by its 1-based number; a null icon for any other number.
    QIcon Image(int number) const;

private:
    QList<QIcon> m_icons;
};

// The library tree of the main window: a QTreeWidget that is also the ITree the library code
// drives. It keeps every node's key, tag and images, and the order in which nodes were added
// (the order positions refer to), which can differ from the order shown once a model is pasted
// into an earlier set. Nodes are never sorted.
//
// User actions reach the window as signals (a node shown by click or keyboard, a collapse, the
// right button); changing the selection from code raises none of them. Renaming in place asks
// the window first (beforeLabelEdit) and afterwards (afterLabelEdit) whether to keep the new
// text. Unknown keys throw std::out_of_range, as the interface says.
class FMTree : public QTreeWidget, public ITree
{
    Q_OBJECT
public:
    explicit FMTree(ImageList *images, QWidget *parent = nullptr);

    int Count() const override;
    QString KeyAt(int position) const override;
    bool Contains(const QString &key) const override;
    void AddRoot(const QString &key, const QString &text, int image) override;
    void AddChild(const QString &parentKey, const QString &key, const QString &text, int image) override;
    void Remove(const QString &key) override;
    QString Text(const QString &key) const override;
    void SetText(const QString &key, const QString &text) override;
    QString Tag(const QString &key) const override;
    void SetTag(const QString &key, const QString &tag) override;
    QString ParentKey(const QString &key) const override;
    int Image(const QString &key) const override;
    int ExpandedImage(const QString &key) const override;
    void SetExpandedImage(const QString &key, int image) override;
    void EnsureVisible(const QString &key) override;
    QString SelectedKey() const override;
    void SetSelectedKey(const QString &key) override;
    void SetLabelEditAutomatic(bool automatic) override;
    void StartLabelEdit() override;
    // Starts editing the selected node's label with text in place of the node's own (a refused
    // name offered again for mending).
    void StartLabelEdit(const QString &text);
    void SetFocus() override;
    void Reserve(int n) override;
    void Clear() override { ClearNodes(); }
    bool IsExpanded(const QString &key) const override;
    void SetExpanded(const QString &key, bool expanded) override;

    // Removes every node.
    void ClearNodes();
    // The node's row, for tests and screenshots that click on it.
    QTreeWidgetItem *Node(const QString &key) const;
    bool LabelEditAutomatic() const { return m_labelEditAutomatic; }
    bool IsEditingLabel() const { return state() == EditingState; }

    // Return false to cancel: before an edit of the key's text starts, and with the new text
    // once the user ends it (the old text then stays).
    std::function<bool(const QString &key)> beforeLabelEdit;
    std::function<bool(const QString &key, const QString &newText)> afterLabelEdit;

signals:
    void NodeClick(const QString &key);
    void Collapse(const QString &key);
    // Right button pressed, or the context-menu key; position in global coordinates.
    void RightMouseDown(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    QTreeWidgetItem *item(const QString &key) const;
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text, int image);
    void updateIcon(QTreeWidgetItem *node);
    void selectQuietly(QTreeWidgetItem *node);
    void onCurrentItemChanged(QTreeWidgetItem *current);
    void onItemCollapsed(QTreeWidgetItem *node);

    ImageList *m_images;
    QAbstractItemDelegate *m_delegate = nullptr;
    std::vector<QString> m_order;
    QHash<QString, QTreeWidgetItem *> m_items;
    bool m_quiet = false;
    bool m_mouseDown = false;
    bool m_labelEditAutomatic = false;
};
