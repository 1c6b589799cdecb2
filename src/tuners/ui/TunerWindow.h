#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class ITunerHost;
class QLabel;
class QPushButton;
class QSlider;

// What the single and the synchronized tuner windows share: a small top-level window with
// the slider sldTune, its end labels lblMin and lblMax, the value label lblVal and the buttons
// "Plot", "Reset" and "Close", talking to the editor through ITunerHost.
//
// The slider does not track: dragging the thumb only reports positions (sldTune_Scroll), the
// value changes once when the thumb is released (sldTune_Change). While the slider has the
// focus the boxes it drives are yellow, except a box whose value is out of range: the
// editor's light red always shows. When the slider loses the focus each box gets the colour
// of the editor's range check of its text back.
//
// Closing (Close button, close box, or the editor closing every tuner) runs Form_Unload once
// and then reports Unloaded; the window object itself stays until its owner replaces it.
// The host must outlive the window.
class TunerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TunerWindow(ITunerHost &host, QWidget *parent = nullptr);

    // Small window state kept as text: the entry index of a single tuner, the change gate of
    // the synchronized one.
    const QString &Tag() const { return m_tag; }
    void SetTag(const QString &tag) { m_tag = tag; }

    // Shown and not yet unloaded.
    bool IsOpen() const { return m_open; }

    QSlider *sldTune;
    QLabel *lblMin;
    QLabel *lblMax;
    QLabel *lblVal;
    QPushButton *cmdPlot;
    QPushButton *cmdReset;
    QPushButton *cmdClose;

signals:
    void Unloaded();

public slots:
    virtual void sldTune_Scroll(int position) = 0;
    virtual void sldTune_Change(int value) = 0;
    virtual void sldTune_GotFocus() = 0;
    virtual void sldTune_LostFocus() = 0;
    virtual void cmdReset_Click() = 0;
    void cmdPlot_Click();
    void cmdClose_Click();

protected:
    // Sets up the slider range, tick frequency and large change.
    void SetSliderRange(int min, int max, int step);
    // Moves the slider by code without running sldTune_Change.
    void SetSliderQuietly(int value);
    bool WritesSuppressed() const { return m_suppressWrites; }

    // Focus colours of the driven boxes (see the class comment).
    void HighlightEntries(const std::vector<int> &indexes);
    void UnhighlightEntries();
    // Writes a driven box (the editor checks the value) and keeps its highlight unless the
    // value is out of range.
    void WriteEntry(int index, const QString &text);

    virtual void Form_Activate() { }
    virtual void Form_Unload() { }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    ITunerHost &m_host;

private:
    void Highlight(int index);

    QString m_tag;
    bool m_open = false;
    bool m_suppressWrites = false;
    std::vector<int> m_highlighted;
};

// Keeps a window above all other windows without moving or resizing it, then lets pending
// window events run once.
void SetTopmost(QWidget *window);
