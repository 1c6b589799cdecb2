#include "manager/AccessibleWindows.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QMainWindow>

namespace {

QAccessibleInterface *windowFactory(const QString &className, QObject *object)
{
    // Only the most derived class is answered, so that Qt's own interfaces (dialogs, main
    // windows, every control) stay as they are.
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow() || widget->windowType() != Qt::Window || qobject_cast<QMainWindow *>(widget) ||
        qobject_cast<QDialog *>(widget))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void InstallAccessibleWindows()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(windowFactory);
}
