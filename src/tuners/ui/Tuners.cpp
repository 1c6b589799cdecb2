#include "tuners/ui/Tuners.h"

#include "tuners/ITunerHost.h"
#include "tuners/ui/frmSyncTuner.h"
#include "tuners/ui/frmTuner.h"

#include <QtGlobal>

namespace {

void ShowOnTop(QWidget *window)
{
    SetTopmost(window);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

Tuners::Tuners(ITunerHost &host) : m_host(host) { }

Tuners::~Tuners()
{
    // Deleting a shown window does not close it: nothing reaches the host from here on.
    if (m_sync)
        m_sync->disconnect();
    for (auto &tuner : m_slots) {
        if (tuner)
            tuner->disconnect();
    }
}

frmTuner *Tuners::Tuner(int index) const
{
    return index >= 0 && index < kTunerSlots ? m_slots[std::size_t(index)].get() : nullptr;
}

void Tuners::Open(int index)
{
    if (index == 0) {
        OpenSync();
        return;
    }
    if (!TunerRangeOf(index)) {
        qWarning("No tuner for entry %d", index);
        return;
    }
    OpenSingle(index);
}

void Tuners::OpenSync()
{
    if (m_sync && m_sync->IsOpen()) {
        ShowOnTop(m_sync.get());
        return;
    }
    if (!m_open.ButtonFree(0))
        return;
    m_sync = std::make_unique<frmSyncTuner>(m_host);
    QObject::connect(m_sync.get(), &TunerWindow::Unloaded, [this] { Unloaded(0); });
    m_open.sync = true;
    UpdateButtons(0);
    ShowOnTop(m_sync.get());
}

void Tuners::OpenSingle(int index)
{
    auto &slot = m_slots[std::size_t(index)];
    if (slot && slot->IsOpen()) {
        ShowOnTop(slot.get());
        return;
    }
    if (!m_open.ButtonFree(index))
        return;
    slot = std::make_unique<frmTuner>(m_host);
    QObject::connect(slot.get(), &TunerWindow::Unloaded, [this, index] { Unloaded(index); });
    m_open.singles.set(std::size_t(index));
    UpdateButtons(index);
    slot->SetUp(index);
    m_host.CheckAutoCompute();
    slot->setWindowTitle(m_host.RowLabel(index));
    ShowOnTop(slot.get());
}

void Tuners::EntryChanged(int index, const QString &text)
{
    if (frmTuner *tuner = Tuner(index))
        tuner->FollowEntry(text);
}

void Tuners::UnitsChanged()
{
    for (int index = 0; index < kTunerSlots; ++index) {
        frmTuner *tuner = Tuner(index);
        if (tuner && tuner->IsOpen()) {
            tuner->UnitsChanged();
            tuner->setWindowTitle(m_host.RowLabel(index));
        }
    }
}

void Tuners::CloseAll()
{
    for (auto &tuner : m_slots) {
        if (tuner && tuner->IsOpen())
            tuner->close();
    }
    if (m_sync && m_sync->IsOpen())
        m_sync->close();
}

void Tuners::Unloaded(int index)
{
    if (index == 0)
        m_open.sync = false;
    else
        m_open.singles.reset(std::size_t(index));
    UpdateButtons(index);
}

void Tuners::UpdateButtons(int index)
{
    // Only the buttons this tuner touches: its own (or the six it drives) and the
    // synchronized one.
    if (index == 0) {
        for (int driven : SyncTuner::kEntries)
            m_host.SetTunerEnabled(driven, m_open.ButtonFree(driven));
    } else {
        m_host.SetTunerEnabled(index, m_open.ButtonFree(index));
    }
    m_host.SetTunerEnabled(0, m_open.ButtonFree(0));
}
