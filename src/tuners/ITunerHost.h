#pragma once

#include "units/Units.h"

#include <QString>

// The editor as the tuner windows see it, so that they are tested with a fake editor and the
// real one is reached through one small adapter. Indexes are the editor's entry (and tuner
// button) indexes 0..30.
class ITunerHost
{
public:
    virtual ~ITunerHost() = default;

    // Text of entry box index.
    virtual QString EntryText(int index) const = 0;
    // Writes entry box index; the editor then runs its own change handling: the range check
    // that paints the box light red or white, and recomputation when "Auto Compute" is on.
    virtual void SetEntryText(int index, const QString &text) = 0;

    // Background colour of entry box index, 0xRRGGBB.
    virtual quint32 EntryBackground(int index) const = 0;
    virtual void SetEntryBackground(int index, quint32 rgb) = 0;
    // Gives box index the colour of the editor's range check of its text again (light red
    // out of range, white within), after a tuner painted it.
    virtual void CheckEntryRange(int index) = 0;

    // Enables or disables the editor's tuner button index. The editor keeps the buttons of
    // entries it shows read-only disabled whatever it is asked here.
    virtual void SetTunerEnabled(int index, bool enabled) = 0;

    // Switches the editor's "Auto Compute" on.
    virtual void CheckAutoCompute() = 0;

    // Caption of the editor's row label of entry index ("1 Hour Loading (t/ac)").
    virtual QString RowLabel(int index) const = 0;

    // The value the model being edited holds for entry index (2..14), whatever the box shows,
    // in the units the editor shows.
    virtual double StoredValue(int index) const = 0;

    // The units the editor shows its entries in.
    virtual Units::System ShownUnits() const { return Units::System::English; }

    // The tuners' Plot: the editor's entry checks (a refused entry plots nothing), its Compute,
    // both calculators appended to the plot histories, the charts showing the newest ten plots.
    virtual void TunerPlot() = 0;
};
