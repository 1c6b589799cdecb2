#include "tuners/ui/frmSyncTuner.h"

#include "tuners/ITunerHost.h"
#include "tuners/TunerRules.h"

#include <QLabel>
#include <QSlider>

namespace {
const QString kSkip = QStringLiteral("Skip");
}

frmSyncTuner::frmSyncTuner(ITunerHost &host, QWidget *parent) : TunerWindow(host, parent)
{
    setObjectName(QStringLiteral("frmSyncTuner"));
    Form_Load();
}

void frmSyncTuner::Form_Load()
{
    SetTag(kSkip);
    SetSliderRange(SyncTuner::kMin, SyncTuner::kMax, SyncTuner::kStep);
    SetSliderQuietly(SyncTuner::kStart);
    lblMax->setText(QStringLiteral("300%"));
    lblMin->setText(QStringLiteral("0%"));
    lblVal->setText(QString::number(SyncTuner::kStart));
    setWindowTitle(SyncTuner::Title());
    SetTag(QStringLiteral("0"));
}

void frmSyncTuner::WriteScaled(int percent)
{
    for (int index : SyncTuner::kEntries)
        WriteEntry(index, SyncTuner::ScaledText(percent, m_host.StoredValue(index)));
}

void frmSyncTuner::sldTune_Scroll(int position)
{
    lblVal->setText(QString::number(position));
}

void frmSyncTuner::sldTune_Change(int value)
{
    if (Tag() == kSkip)
        return;
    WriteScaled(value);
    lblVal->setText(QString::number(value));
}

void frmSyncTuner::sldTune_GotFocus()
{
    SetTag(QString());
    HighlightEntries({SyncTuner::kEntries.begin(), SyncTuner::kEntries.end()});
}

void frmSyncTuner::sldTune_LostFocus()
{
    SetTag(kSkip);
    UnhighlightEntries();
}

void frmSyncTuner::cmdReset_Click()
{
    SetSliderQuietly(SyncTuner::kStart);
    lblVal->setText(QString::number(SyncTuner::kStart));
    WriteScaled(SyncTuner::kStart);
}
