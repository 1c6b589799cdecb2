#pragma once

#include <QWidget>

class QTextBrowser;

// The user guide (the README shipped inside the program, with its pictures) in a window of its
// own, beside the main window.
class UserGuideWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget *owner);
    QTextBrowser *Browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
