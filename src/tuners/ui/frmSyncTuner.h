#pragma once

#include "tuners/ui/TunerWindow.h"

// The synchronized tuner: one percentage slider (0..300) scaling the six fuel bed entries
// (1-h, 10-h, 100-h, live herb and live woody loadings, fuel bed depth) together. The
// percentage applies to the values the model being edited holds, so 100 % writes the stored
// values. Tag is the change gate: while it reads "Skip" (the slider has no focus) a change of
// the slider writes nothing, so code moving the slider never writes the boxes a second time.
class frmSyncTuner : public TunerWindow
{
    Q_OBJECT

public:
    explicit frmSyncTuner(ITunerHost &host, QWidget *parent = nullptr);

public slots:
    void sldTune_Scroll(int position) override;
    void sldTune_Change(int value) override;
    void sldTune_GotFocus() override;
    void sldTune_LostFocus() override;
    void cmdReset_Click() override;

private:
    void Form_Load();
    void WriteScaled(int percent);
};
