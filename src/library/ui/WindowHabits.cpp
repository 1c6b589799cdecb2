#include "library/ui/WindowHabits.h"

#include "data/ProgramSettings.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

QSettings settings()
{
    return ProgramSettings();
}

QString geometryKey(const QString &name)
{
    return QStringLiteral("Windows/") + name + QStringLiteral("Geometry");
}

// The window's frame must stand on one of the screens with enough of it to be grabbed: its
// title bar at least. Otherwise it goes onto the primary screen, as large as fits.
void keepOnScreen(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), qMax(1, frame.height() - window->height())));
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect grab = screen->availableGeometry().intersected(titleBar.isEmpty() ? frame : titleBar);
        if (grab.width() >= qMin(100, frame.width()) && screen->availableGeometry().contains(frame.topLeft()))
            return;
    }
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    const QRect area = primary->availableGeometry();
    const QSize size = window->size().boundedTo(area.size() - (frame.size() - window->size()));
    window->resize(size.expandedTo(window->minimumSize()));
    const QSize outer = window->frameGeometry().size();
    window->move(area.left() + qMax(0, (area.width() - outer.width()) / 2),
                 area.top() + qMax(0, (area.height() - outer.height()) / 2));
}

// The closed box's tooltip is its current text, as it is when the tooltip is asked for (the
// box may be refilled with its signals blocked).
class CurrentTextTip : public QObject
{
public:
    explicit CurrentTextTip(QComboBox *box) : QObject(box), m_box(box) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_box && event->type() == QEvent::ToolTip)
            m_box->setToolTip(m_box->currentText());
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox *m_box;
};

} // namespace

void SaveWindowGeometry(const QWidget *window, const QString &name)
{
    QSettings s = settings();
    s.setValue(geometryKey(name), window->saveGeometry());
}

bool RestoreWindowGeometry(QWidget *window, const QString &name)
{
    const QByteArray stored = settings().value(geometryKey(name)).toByteArray();
    if (stored.isEmpty() || !window->restoreGeometry(stored))
        return false;
    keepOnScreen(window);
    return true;
}

void SaveWindowState(const QString &key, const QByteArray &state)
{
    QSettings s = settings();
    s.setValue(QStringLiteral("Windows/") + key, state);
}

QByteArray ReadWindowState(const QString &key)
{
    return settings().value(QStringLiteral("Windows/") + key).toByteArray();
}

void ShowFullTextAsToolTip(QComboBox *box)
{
    const auto itemTips = [box](const QModelIndex &, int first, int last) {
        for (int i = first; i <= last && i < box->count(); ++i)
            box->setItemData(i, box->itemText(i), Qt::ToolTipRole);
    };
    itemTips({}, 0, box->count() - 1);
    QObject::connect(box->model(), &QAbstractItemModel::rowsInserted, box, itemTips);
    QObject::connect(box->model(), &QAbstractItemModel::dataChanged, box,
                     [itemTips](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                         if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                             itemTips({}, from.row(), to.row());
                     });
    box->installEventFilter(new CurrentTextTip(box));
}

void ShowFullTextAsToolTip(QLineEdit *box)
{
    box->setToolTip(box->text());
    QObject::connect(box, &QLineEdit::textChanged, box, &QWidget::setToolTip);
}
