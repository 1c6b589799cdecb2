#pragma once

#include "testcenter/ITuners.h"
#include "tuners/TunerRules.h"

#include <array>
#include <memory>

class ITunerHost;
class frmSyncTuner;
class frmTuner;

// The tuner windows of one editor: 31 slots of single tuners (one per tuner button index)
// and the synchronized tuner. Opening a tuner (the editor's cmdTuner_Click) creates its
// window, sets it up and shows it above all windows; the editor's tuner buttons follow the
// open windows: a button stays disabled while its entry has an open tuner or is driven by the
// open synchronized tuner, and the synchronized button while any tuner is open.
//
// A slot keeps its closed window until the next launch for the same index replaces it. The
// windows talk to the editor only through the host, which must outlive this object;
// destroying it destroys the windows without unloading them.
class Tuners : public ITuners
{
public:
    explicit Tuners(ITunerHost &host);
    ~Tuners() override;
    Tuners(const Tuners &) = delete;
    Tuners &operator=(const Tuners &) = delete;

    // cmdTuner_Click(index): index 0 the synchronized tuner, 2..14 and 20..25 a single tuner.
    // Any other index, and a tuner whose button the open tuners keep disabled, is refused
    // (nothing opens). An already open tuner is brought forward.
    void Open(int index) override;
    void EntryChanged(int index, const QString &text) override;
    void CloseAll() override;
    void UnitsChanged() override;

    // The window in slot index (open or closed), null when none was launched.
    frmTuner *Tuner(int index) const;
    frmSyncTuner *SyncWindow() const { return m_sync.get(); }

private:
    void OpenSync();
    void OpenSingle(int index);
    void Unloaded(int index);
    void UpdateButtons(int index);

    ITunerHost &m_host;
    std::array<std::unique_ptr<frmTuner>, kTunerSlots> m_slots;
    std::unique_ptr<frmSyncTuner> m_sync;
    OpenTuners m_open;
};
