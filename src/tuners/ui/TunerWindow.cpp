#include "tuners/ui/TunerWindow.h"

#include "tuners/ITunerHost.h"
#include "tuners/TunerRules.h"
#include "widgets/WindowHabits.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

TunerWindow::TunerWindow(ITunerHost &host, QWidget *parent)
    : QWidget(parent, Qt::Window), sldTune(new QSlider(Qt::Horizontal, this)), lblMin(new QLabel(this)),
      lblMax(new QLabel(this)), lblVal(new QLabel(this)), cmdPlot(new QPushButton(QStringLiteral("&Plot"), this)),
      cmdReset(new QPushButton(QStringLiteral("&Reset"), this)),
      cmdClose(new QPushButton(QStringLiteral("&Close"), this)), m_host(host)
{
    // A tuner left open never keeps the program running once its other windows are closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    KeepInsideScreen(this);
    sldTune->setObjectName(QStringLiteral("sldTune"));
    lblMin->setObjectName(QStringLiteral("lblMin"));
    lblMax->setObjectName(QStringLiteral("lblMax"));
    lblVal->setObjectName(QStringLiteral("lblVal"));
    cmdPlot->setObjectName(QStringLiteral("cmdPlot"));
    cmdReset->setObjectName(QStringLiteral("cmdReset"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    sldTune->setTracking(false);
    sldTune->setTickPosition(QSlider::TicksBelow);
    sldTune->setFocusPolicy(Qt::StrongFocus);
    sldTune->setMinimumWidth(300);
    sldTune->installEventFilter(this);
    lblMax->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVal->setAlignment(Qt::AlignCenter);
    QFont valueFont = lblVal->font();
    valueFont.setBold(true);
    lblVal->setFont(valueFont);

    auto *grid = new QGridLayout(this);
    grid->addWidget(sldTune, 0, 0, 1, 3);
    grid->addWidget(lblMin, 1, 0);
    grid->addWidget(lblVal, 1, 1);
    grid->addWidget(lblMax, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPlot);
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 2, 0, 1, 3);
    setTabOrder(sldTune, cmdPlot);
    setTabOrder(cmdPlot, cmdReset);
    setTabOrder(cmdReset, cmdClose);

    connect(sldTune, &QSlider::sliderMoved, this, &TunerWindow::sldTune_Scroll);
    connect(sldTune, &QSlider::valueChanged, this, [this](int value) {
        // A value set while the thumb is still held is reported again on release.
        if (!m_suppressWrites && !sldTune->isSliderDown())
            sldTune_Change(value);
    });
    connect(cmdPlot, &QPushButton::clicked, this, &TunerWindow::cmdPlot_Click);
    connect(cmdReset, &QPushButton::clicked, this, &TunerWindow::cmdReset_Click);
    connect(cmdClose, &QPushButton::clicked, this, &TunerWindow::cmdClose_Click);
}

void TunerWindow::cmdPlot_Click()
{
    m_host.TunerPlot();
}

void TunerWindow::cmdClose_Click()
{
    close();
}

void TunerWindow::SetSliderRange(int min, int max, int step)
{
    const bool was = m_suppressWrites;
    m_suppressWrites = true;
    sldTune->setRange(min, max);
    sldTune->setTickInterval(step);
    sldTune->setPageStep(step);
    m_suppressWrites = was;
}

void TunerWindow::SetSliderQuietly(int value)
{
    const bool was = m_suppressWrites;
    m_suppressWrites = true;
    sldTune->setValue(value);
    m_suppressWrites = was;
}

void TunerWindow::Highlight(int index)
{
    if (m_host.EntryBackground(index) != kEntryOutOfRange)
        m_host.SetEntryBackground(index, kEntryTunedYellow);
}

void TunerWindow::HighlightEntries(const std::vector<int> &indexes)
{
    if (!m_highlighted.empty())
        return;
    m_highlighted = indexes;
    for (int index : indexes)
        Highlight(index);
}

void TunerWindow::UnhighlightEntries()
{
    for (int index : m_highlighted)
        m_host.CheckEntryRange(index);
    m_highlighted.clear();
}

void TunerWindow::WriteEntry(int index, const QString &text)
{
    m_host.SetEntryText(index, text);
    if (std::find(m_highlighted.begin(), m_highlighted.end(), index) != m_highlighted.end())
        Highlight(index);
}

void TunerWindow::showEvent(QShowEvent *event)
{
    m_open = true;
    QWidget::showEvent(event);
    // The first activation may come late or not at all (another window keeps the focus);
    // being shown counts as the first one.
    Form_Activate();
}

void TunerWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!m_open)
        return;
    m_open = false;
    UnhighlightEntries();
    Form_Unload();
    emit Unloaded();
}

bool TunerWindow::event(QEvent *event)
{
    // The slider is named by the window's title, the entry it tunes.
    if (event->type() == QEvent::WindowTitleChange)
        sldTune->setAccessibleName(windowTitle());
    if (event->type() == QEvent::WindowActivate && m_open)
        Form_Activate();
    return QWidget::event(event);
}

bool TunerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sldTune && m_open) {
        if (event->type() == QEvent::FocusIn)
            sldTune_GotFocus();
        else if (event->type() == QEvent::FocusOut)
            sldTune_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void SetTopmost(QWidget *window)
{
    if (!window)
        return;
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool visible = window->isVisible();
        const QRect geometry = window->geometry();
        // Changing the flags of a shown window hides and re-creates it; put it back where it was.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (visible) {
            window->setGeometry(geometry);
            window->show();
        }
    }
    QCoreApplication::processEvents();
}
