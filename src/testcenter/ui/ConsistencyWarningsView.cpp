#include "testcenter/ui/ConsistencyWarningsView.h"

#include "data/FuelModelSet.h"
#include "data/ProgramState.h"
#include "engine/FireSpread.h"
#include "testcenter/TestComputation.h"
#include "testcenter/ui/frmEditModel.h"
#include "units/UnitSetting.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>

namespace {

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
    connect(&editor->Entries(), &EditorEntryModel::entryChanged, m_pending, qOverload<>(&QTimer::start));
    connect(&editor->Entries(), &EditorEntryModel::unitsChanged, m_pending, qOverload<>(&QTimer::start));
    connect(editor->cboHerbType(), &QComboBox::currentIndexChanged, m_pending, qOverload<>(&QTimer::start));
    m_pending->start();
}

void ConsistencyWarningsView::placeMarker(int entry, QWidget *box)
{
    if (!box)
        return;
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
    m_editor->PlaceRowSign(box, marker);
    m_markers[entry] = marker;
}

void ConsistencyWarningsView::placeSummary()
{
    m_summary = new QTextBrowser(m_editor);
    m_summary->setObjectName(QStringLiteral("txtConsistencyWarnings"));
    m_summary->setAccessibleName(QStringLiteral("Consistency warnings"));
    m_summary->setFocusPolicy(Qt::NoFocus);
    // A box of its own size whatever it holds, so that the window keeps its layout.
    m_summary->setFixedHeight(m_summary->fontMetrics().lineSpacing() * 4 + 8);
    m_summary->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_editor->PlaceBelowModelFrame(m_summary);
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
