#include "manager/FMTree.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>

#include <algorithm>
#include <optional>
#include <stdexcept>

// Resources of a static library are registered explicitly (outside any namespace).
static void initManagerResources()
{
    Q_INIT_RESOURCE(manager);
}

namespace {

enum Role { KeyRole = Qt::UserRole + 1, TagRole, ImageRole, ExpandedImageRole };

const char *const kImageFiles[] = {":/manager/icons/set-closed.svg", ":/manager/icons/set-open.svg",
                                   ":/manager/icons/model.svg", ":/manager/icons/set-locked-closed.svg",
                                   ":/manager/icons/set-locked-open.svg"};

QIcon renderIcon(const QString &file)
{
    QSvgRenderer renderer(file);
    QIcon icon;
    // Rendered from the vector drawing at each size, so the icons stay sharp on high-DPI screens.
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Hands the edited text to the tree instead of storing it: the tree asks the window first.
// The answer is given from the event loop, because the window may show a message box, and a
// modal box inside a commit would make the editor lose its focus and commit a second time.
class LabelDelegate : public QStyledItemDelegate
{
public:
    LabelDelegate(FMTree *tree, std::function<void(QString, QString)> finish)
        : QStyledItemDelegate(tree), m_finish(std::move(finish))
    { }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        const auto *line = qobject_cast<QLineEdit *>(editor);
        if (!line)
            return;
        const QString key = index.data(KeyRole).toString();
        const QString text = line->text();
        QMetaObject::invokeMethod(
            parent(), [finish = m_finish, key, text] { finish(key, text); }, Qt::QueuedConnection);
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (line && m_pendingText) {
            line->setText(*m_pendingText);
            m_pendingText.reset();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    // The text the next edit starts with instead of the node's own.
    void setPendingText(const QString &text) { m_pendingText = text; }
    void clearPendingText() { m_pendingText.reset(); }

private:
    std::function<void(QString, QString)> m_finish;
    mutable std::optional<QString> m_pendingText;
};

} // namespace

ImageList::ImageList(QObject *parent) : QObject(parent)
{
    initManagerResources();
    setObjectName(QStringLiteral("imlIcons"));
    for (const char *file : kImageFiles)
        m_icons << renderIcon(QString::fromLatin1(file));
}

QIcon ImageList::Image(int number) const
{
    return number >= 1 && number <= m_icons.size() ? m_icons[number - 1] : QIcon();
}

FMTree::FMTree(ImageList *images, QWidget *parent) : QTreeWidget(parent), m_images(images)
{
    setObjectName(QStringLiteral("treeFMs"));
    setColumnCount(1);
    setHeaderHidden(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setExpandsOnDoubleClick(true);
    header()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_delegate = new LabelDelegate(this, [this](const QString &key, const QString &text) {
        if (!Contains(key))
            return;
        if (afterLabelEdit && !afterLabelEdit(key, text))
            return;
        SetText(key, text);
    });
    setItemDelegate(m_delegate);

    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *) { onCurrentItemChanged(current); });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node, int) {
        if (node)
            emit NodeClick(node->data(0, KeyRole).toString());
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *node) { updateIcon(node); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *node) { onItemCollapsed(node); });
}

QTreeWidgetItem *FMTree::item(const QString &key) const
{
    const auto it = m_items.constFind(key);
    if (it == m_items.constEnd())
        throw std::out_of_range("No tree node has the key " + key.toStdString());
    return *it;
}

QTreeWidgetItem *FMTree::Node(const QString &key) const
{
    return m_items.value(key, nullptr);
}

int FMTree::Count() const
{
    return int(m_order.size());
}

QString FMTree::KeyAt(int position) const
{
    if (position < 1 || position > Count())
        throw std::out_of_range("Tree node position out of range");
    return m_order[std::size_t(position - 1)];
}

bool FMTree::Contains(const QString &key) const
{
    return m_items.contains(key);
}

QTreeWidgetItem *FMTree::addNode(QTreeWidgetItem *parent, const QString &key, const QString &text, int image)
{
    if (m_items.contains(key))
        throw std::invalid_argument("Key is not unique in the tree: " + key.toStdString());
    auto *node = new QTreeWidgetItem;
    node->setText(0, text);
    // A narrow tree cuts long names: the tooltip holds the whole.
    node->setToolTip(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, ImageRole, image);
    node->setIcon(0, m_images->Image(image));
    if (parent)
        parent->addChild(node);
    else
        addTopLevelItem(node);
    m_items.insert(key, node);
    m_order.push_back(key);
    return node;
}

void FMTree::AddRoot(const QString &key, const QString &text, int image)
{
    addNode(nullptr, key, text, image);
}

void FMTree::AddChild(const QString &parentKey, const QString &key, const QString &text, int image)
{
    addNode(item(parentKey), key, text, image);
}

void FMTree::Remove(const QString &key)
{
    QTreeWidgetItem *node = item(key);
    // Removing the selected node selects its neighbour (the next one, else the previous one,
    // else its parent) without raising a node click.
    QTreeWidgetItem *current = currentItem();
    if (current && (current == node || current->parent() == node)) {
        QTreeWidgetItem *parent = node->parent();
        const int index = parent ? parent->indexOfChild(node) : indexOfTopLevelItem(node);
        const int siblings = parent ? parent->childCount() : topLevelItemCount();
        auto sibling = [&](int i) { return parent ? parent->child(i) : topLevelItem(i); };
        QTreeWidgetItem *next = index + 1 < siblings ? sibling(index + 1) : index > 0 ? sibling(index - 1) : parent;
        selectQuietly(next);
    }
    QList<QTreeWidgetItem *> gone{node};
    for (int i = 0; i < node->childCount(); ++i)
        gone << node->child(i);
    for (QTreeWidgetItem *n : gone) {
        const QString k = n->data(0, KeyRole).toString();
        m_items.remove(k);
        m_order.erase(std::find(m_order.begin(), m_order.end(), k));
    }
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    delete node;
    m_quiet = wasQuiet;
}

void FMTree::ClearNodes()
{
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    clear();
    m_quiet = wasQuiet;
    m_items.clear();
    m_order.clear();
}

QString FMTree::Text(const QString &key) const
{
    return item(key)->text(0);
}

void FMTree::SetText(const QString &key, const QString &text)
{
    item(key)->setText(0, text);
    item(key)->setToolTip(0, text);
}

QString FMTree::Tag(const QString &key) const
{
    return item(key)->data(0, TagRole).toString();
}

void FMTree::SetTag(const QString &key, const QString &tag)
{
    QTreeWidgetItem *node = item(key);
    node->setData(0, TagRole, tag);
    // Set nodes are the ones renamed in place; whether an edit may start is asked each time.
    if (tag == QLatin1String("Set"))
        node->setFlags(node->flags() | Qt::ItemIsEditable);
}

QString FMTree::ParentKey(const QString &key) const
{
    QTreeWidgetItem *parent = item(key)->parent();
    return parent ? parent->data(0, KeyRole).toString() : QString();
}

int FMTree::Image(const QString &key) const
{
    return item(key)->data(0, ImageRole).toInt();
}

int FMTree::ExpandedImage(const QString &key) const
{
    return item(key)->data(0, ExpandedImageRole).toInt();
}

void FMTree::SetExpandedImage(const QString &key, int image)
{
    QTreeWidgetItem *node = item(key);
    node->setData(0, ExpandedImageRole, image);
    updateIcon(node);
}

void FMTree::updateIcon(QTreeWidgetItem *node)
{
    const int expanded = node->data(0, ExpandedImageRole).toInt();
    const int image = node->isExpanded() && expanded ? expanded : node->data(0, ImageRole).toInt();
    node->setIcon(0, m_images->Image(image));
}

bool FMTree::IsExpanded(const QString &key) const
{
    return item(key)->isExpanded();
}

void FMTree::SetExpanded(const QString &key, bool expanded)
{
    QTreeWidgetItem *node = item(key);
    node->setExpanded(expanded);
    updateIcon(node);
}

void FMTree::EnsureVisible(const QString &key)
{
    QTreeWidgetItem *node = item(key);
    if (QTreeWidgetItem *parent = node->parent())
        parent->setExpanded(true);
    scrollToItem(node);
}

QString FMTree::SelectedKey() const
{
    QTreeWidgetItem *node = currentItem();
    return node ? node->data(0, KeyRole).toString() : QString();
}

void FMTree::SetSelectedKey(const QString &key)
{
    selectQuietly(key.isEmpty() ? nullptr : item(key));
}

void FMTree::selectQuietly(QTreeWidgetItem *node)
{
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    setCurrentItem(node);
    if (node)
        node->setSelected(true);
    m_quiet = wasQuiet;
}

void FMTree::SetLabelEditAutomatic(bool automatic)
{
    m_labelEditAutomatic = automatic;
    setEditTriggers(automatic ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                              : QAbstractItemView::NoEditTriggers);
}

void FMTree::StartLabelEdit()
{
    if (QTreeWidgetItem *node = currentItem()) {
        scrollToItem(node);
        editItem(node, 0);
    }
}

void FMTree::StartLabelEdit(const QString &text)
{
    static_cast<LabelDelegate *>(m_delegate)->setPendingText(text);
    StartLabelEdit();
    // An edit that did not start must not hand the text to a later one.
    static_cast<LabelDelegate *>(m_delegate)->clearPendingText();
}

void FMTree::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void FMTree::Reserve(int n)
{
    m_order.reserve(std::size_t(n));
    m_items.reserve(n);
}

bool FMTree::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool wouldStart = index.isValid() && (index.flags() & Qt::ItemIsEditable) &&
        (trigger == AllEditTriggers || (trigger & editTriggers())) && state() != EditingState;
    if (wouldStart && beforeLabelEdit && !beforeLabelEdit(index.data(KeyRole).toString()))
        return false;
    return QTreeWidget::edit(index, trigger, event);
}

void FMTree::mousePressEvent(QMouseEvent *event)
{
    // The right button only opens the popup menu; the menu acts on the node selected before.
    if (event->button() == Qt::RightButton) {
        emit RightMouseDown(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    m_mouseDown = true;
    QTreeWidget::mousePressEvent(event);
    m_mouseDown = false;
}

void FMTree::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse)
        return; // already handled on the button press
    QTreeWidgetItem *node = currentItem();
    const QPoint local = node ? visualItemRect(node).bottomLeft() : QPoint(0, 0);
    emit RightMouseDown(viewport()->mapToGlobal(local));
}

void FMTree::onCurrentItemChanged(QTreeWidgetItem *current)
{
    // A mouse click reports itself through itemClicked; this catches the keyboard.
    if (m_quiet || m_mouseDown || !current)
        return;
    emit NodeClick(current->data(0, KeyRole).toString());
}

void FMTree::onItemCollapsed(QTreeWidgetItem *node)
{
    updateIcon(node);
    // A hidden selection is no selection: it moves up to the collapsed set.
    QTreeWidgetItem *current = currentItem();
    if (current && current->parent() == node)
        selectQuietly(node);
    emit Collapse(node->data(0, KeyRole).toString());
}
