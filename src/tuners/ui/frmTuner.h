#pragma once

#include "tuners/TunerRules.h"
#include "tuners/ui/TunerWindow.h"

#include <optional>

// The single-parameter tuner: one slider driving one entry box of the editor, whose own
// change handling then recomputes. Tag holds the entry index. The starting value (the box
// text when the window is first activated, taken again at later activations while it is not
// above 0) is what Reset returns a scaled entry to; a whole entry (SA/V, heat content) is
// reset to the value the model being edited holds.
//
// An entry value outside the slider's range starts the slider at the nearest end and leaves
// the box as it is until the slider moves.
class frmTuner : public TunerWindow
{
    Q_OBJECT

public:
    explicit frmTuner(ITunerHost &host, QWidget *parent = nullptr);

    // Tag, slider range, ticks, start value and labels for editor entry index (2..14, 20..25).
    // Writes nothing into the editor.
    void SetUp(int index);

    // The editor's box of this entry now reads text: the slider follows it without writing
    // the box back. A value outside the slider's range leaves the slider where it is.
    void FollowEntry(const QString &text);
    // The editor switched units (its box already converted): range, labels, slider and the
    // starting value in the new units.
    void UnitsChanged();

    int Index() const { return Tag().toInt(); }
    const QString &StartingValue() const { return m_startingValue; }

public slots:
    void sldTune_Scroll(int position) override;
    void sldTune_Change(int value) override;
    void sldTune_GotFocus() override;
    void sldTune_LostFocus() override;
    void cmdReset_Click() override;

protected:
    void Form_Activate() override;

private:
    std::optional<TunerRange> m_range;
    QString m_startingValue;
    Units::System m_system = Units::System::English;
};
