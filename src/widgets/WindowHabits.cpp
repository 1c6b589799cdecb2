#include "widgets/WindowHabits.h"

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

// Runs FitInsideScreen whenever the window it watches is shown.
class InsideScreenKeeper : public QObject
{
public:
    explicit InsideScreenKeeper(QWidget *window) : QObject(window), m_window(window) { }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous())
            FitInsideScreen(m_window);
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

// The closed box's tooltip is its current text, as it is when the tooltip is asked for (the
// box may be refilled with its signals blocked).
class CurrentTextTip : public QObject
{
public:
    explicit CurrentTextTip(QComboBox *box) : QObject(box), m_box(box) { }
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

void FitInsideScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame once the window system has given it one; before that, room for a title bar.
    const QRect frameRect = window->frameGeometry();
    const QRect inner = window->geometry();
    QMargins frame(inner.left() - frameRect.left(), inner.top() - frameRect.top(), frameRect.right() - inner.right(),
                   frameRect.bottom() - inner.bottom());
    if (frame.isNull())
        frame = QMargins(4, 30, 4, 4);
    const QSize most(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());
    if (window->width() > most.width() || window->height() > most.height())
        window->resize(window->size().boundedTo(most).expandedTo(window->minimumSize()));
    // Where the frame would stand out of the area, the window moves in (its top-left corner
    // first, so that a title bar too large for the area can still be grabbed).
    const QRect outer = window->geometry().marginsAdded(frame);
    int x = outer.left();
    int y = outer.top();
    if (outer.right() > area.right())
        x = area.right() - outer.width() + 1;
    if (outer.bottom() > area.bottom())
        y = area.bottom() - outer.height() + 1;
    x = qMax(x, area.left());
    y = qMax(y, area.top());
    if (x != outer.left() || y != outer.top())
        window->move(x, y);
}

void KeepInsideScreen(QWidget *window)
{
    window->installEventFilter(new InsideScreenKeeper(window));
    FitInsideScreen(window);
}

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
