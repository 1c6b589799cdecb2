#include "testcenter/ui/ConsistencyWarningsView.h"

#include "data/FuelModelSet.h"
#include "data/ProgramState.h"
#include "engine/FireSpread.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>

namespace {

// The grid layout (at any depth below root) that holds w.
QGridLayout *gridHolding(QLayout *root, QWidget *w)
{
    if (!root)
        return nullptr;
    if (auto *grid = qobject_cast<QGridLayout *>(root); grid && grid->indexOf(w) >= 0)
        return grid;
    for (int i = 0; i < root->count(); ++i)
        if (QGridLayout *found = gridHolding(root->itemAt(i)->layout(), w))
            return found;
    return nullptr;
}

QBoxLayout *boxHolding(QLayout *root, QWidget *w, int *index)
{
    if (!root)
        return nullptr;
    if (auto *box = qobject_cast<QBoxLayout *>(root)) {
        if (const int i = box->indexOf(w); i >= 0) {
            *index = i;
            return box;
        }
    }
    for (int i = 0; i < root->count(); ++i)
        if (QBoxLayout *found = boxHolding(root->itemAt(i)->layout(), w, index))
            return found;
    return nullptr;
}

QString markerName(int entry)
{
    if (entry == kCharSurfVolEntry)
        return QStringLiteral("lblWarning_CharSurfVolRatio");
    if (entry == kPackRatioEntry)
        return QStringLiteral("lblWarning_PackRatio");
    return QStringLiteral("lblWarning_%1").arg(entry);
}

} // namespace

ConsistencyWarningsView::ConsistencyWarningsView(frmEditModel *editor) : QObject(editor), m_editor(editor)
{
    for (int entry : {2, 5, 6, 14})
        placeMarker(entry, editor->txtFuels(entry));
    placeMarker(kCharSurfVolEntry, editor->txtCharSurfVolRatio());
    placeMarker(kPackRatioEntry, editor->txtPackRatio());
    placeSummary();

    m_pending = new QTimer(this);
    m_pending->setSingleShot(true);
    m_pending->setInterval(0);
    connect(m_pending, &QTimer::timeout, this, &ConsistencyWarningsView::Refresh);
    for (int i = 0; i < 26; ++i)
        if (QLineEdit *box = editor->txtFuels(i))
            connect(box, &QLineEdit::textChanged, m_pending, qOverload<>(&QTimer::start));
    connect(editor->cboHerbType(), &QComboBox::currentIndexChanged, m_pending, qOverload<>(&QTimer::start));
    connect(&Units::UnitSetting::instance(), &Units::UnitSetting::changed, m_pending, qOverload<>(&QTimer::start));
    m_pending->start();
}

void ConsistencyWarningsView::placeMarker(int entry, QWidget *box)
{
    if (!box)
        return;
    // The entry's own frame holds the grid of its row (a frame's layout is not part of the
    // window's layout tree).
    QWidget *frame = box->parentWidget();
    QGridLayout *grid = frame ? gridHolding(frame->layout(), box) : nullptr;
    auto *marker = new QLabel(box->parentWidget());
    marker->setObjectName(markerName(entry));
    const int size = marker->style()->pixelMetric(QStyle::PM_SmallIconSize);
    marker->setPixmap(marker->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    marker->setFixedSize(size + 2, size + 2);
    // Showing or hiding a sign must not move the entries (nor the charts beside them).
    QSizePolicy keep = marker->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    marker->setSizePolicy(keep);
    marker->hide();
    if (grid) {
        int row = 0, col = 0, rowSpan = 0, colSpan = 0;
        grid->getItemPosition(grid->indexOf(box), &row, &col, &rowSpan, &colSpan);
        grid->addWidget(marker, row, 4);
    }
    m_markers[entry] = marker;
}

void ConsistencyWarningsView::placeSummary()
{
    QWidget *frame = m_editor->findChild<QGroupBox *>(QStringLiteral("fraModel"));
    m_summary = new QTextBrowser(m_editor);
    m_summary->setObjectName(QStringLiteral("txtConsistencyWarnings"));
    m_summary->setAccessibleName(QStringLiteral("Consistency warnings"));
    m_summary->setFocusPolicy(Qt::NoFocus);
    // A box of its own size whatever it holds, so that the window keeps its layout.
    m_summary->setFixedHeight(m_summary->fontMetrics().lineSpacing() * 4 + 8);
    m_summary->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    int index = -1;
    if (QBoxLayout *box = frame ? boxHolding(m_editor->layout(), frame, &index) : nullptr)
        box->insertWidget(index + 1, m_summary);
}

QLabel *ConsistencyWarningsView::Marker(int entry) const
{
    const auto it = m_markers.find(entry);
    return it == m_markers.end() ? nullptr : it->second;
}

void ConsistencyWarningsView::Refresh()
{
    m_pending->stop();
    FireSpread entries;
    SetCalculatorInputs(entries, m_editor->CurrentEntries());
    const FireEnvironment env = EnvironmentOf(entries);
    Envelope envelope;
    if (gFMSets) {
        if (const int position = DefaultComparisonSetPosition(*gFMSets); position > 0) {
            std::vector<FuelBed> beds;
            for (const auto &m : ModelsOf(*gFMSets->Item(position)))
                beds.push_back(FuelBedOf(*m));
            envelope = EnvelopeOf(beds, env);
        }
    }
    m_warnings = ConsistencyWarnings(FuelBedOf(entries), env, envelope, Units::UnitSetting::instance().system());

    std::map<int, QStringList> byEntry;
    QStringList lines;
    for (const ConsistencyWarning &w : m_warnings) {
        byEntry[w.entry] << w.text;
        lines << QStringLiteral("&#9888; ") + w.text.toHtmlEscaped();
    }
    for (const auto &[entry, marker] : m_markers) {
        const auto it = byEntry.find(entry);
        const QString text = it == byEntry.end() ? QString() : it->second.join(QLatin1Char('\n'));
        marker->setToolTip(text);
        marker->setAccessibleName(text.isEmpty() ? QString() : QStringLiteral("Warning"));
        marker->setAccessibleDescription(text);
        marker->setVisible(!text.isEmpty());
    }
    if (lines.isEmpty())
        m_summary->setHtml(QStringLiteral("<span style=\"color:#707070\">No consistency warnings.</span>"));
    else
        m_summary->setHtml(QStringLiteral("<span style=\"color:#8a5a00\">") + lines.join(QStringLiteral("<br>")) +
                           QStringLiteral("</span>"));
}

ConsistencyWarningsView *AttachConsistencyWarnings(frmEditModel *editor)
{
    return new ConsistencyWarningsView(editor);
}
