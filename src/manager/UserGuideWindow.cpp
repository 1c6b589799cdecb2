#include "manager/UserGuideWindow.h"

#include "widgets/WindowHabits.h"

#include <QFile>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

UserGuideWindow::UserGuideWindow(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmUserGuide"));
    setWindowTitle(QStringLiteral("Varrow User Guide"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtUserGuide"));
    m_browser->setAccessibleName(windowTitle());
    m_browser->setOpenExternalLinks(true);
    // The guide's pictures are named relative to the guide itself.
    m_browser->setSearchPaths({QStringLiteral(":/guide")});
    QFile guide(QStringLiteral(":/guide/guide.md"));
    if (guide.open(QIODevice::ReadOnly))
        m_browser->setMarkdown(QString::fromUtf8(guide.readAll()));
    else
        m_browser->setPlainText(QStringLiteral("The user guide is missing from this build."));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    auto *close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(760, 640);
    KeepInsideScreen(this);
}
