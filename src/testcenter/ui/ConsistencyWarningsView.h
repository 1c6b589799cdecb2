#pragma once

#include "analysis/ConsistencyWarnings.h"

#include <QObject>

#include <map>
#include <vector>

class QLabel;
class QTextBrowser;
class QTimer;
class frmEditModel;

// The consistency warnings of the Edit and Test Center: a warning sign beside each entry a
// warning concerns (its text as tool tip and accessible description) and the texts of all of
// them in a box below the model's parameters. They follow every change of an entry or of the
// herb type, once the change handling has run; the envelope is that of the library's master
// set (the first locked set) at the same moistures. Warnings only inform: Save never looks at
// them.
class ConsistencyWarningsView : public QObject
{
    Q_OBJECT
public:
    explicit ConsistencyWarningsView(frmEditModel *editor);

    // Checks the entries now (changes are otherwise checked once the event loop runs).
    void Refresh();
    const std::vector<ConsistencyWarning> &Warnings() const { return m_warnings; }
    // The sign beside an entry: a txtFuels index, kCharSurfVolEntry or kPackRatioEntry.
    QLabel *Marker(int entry) const;
    // Every warning's text, or "No consistency warnings."
    QTextBrowser *Summary() const { return m_summary; }

private:
    void placeMarker(int entry, QWidget *box);
    void placeSummary();

    frmEditModel *m_editor;
    std::map<int, QLabel *> m_markers;
    QTextBrowser *m_summary = nullptr;
    QTimer *m_pending = nullptr;
    std::vector<ConsistencyWarning> m_warnings;
};

ConsistencyWarningsView *AttachConsistencyWarnings(frmEditModel *editor);
