#pragma once

#include "units/Units.h"

#include <QString>
#include <QStringView>

#include <array>
#include <bitset>
#include <optional>

// Slider scales of the tuner windows and the texts they write into the editor's entry boxes.
//
// A single tuner drives one entry box (editor index 2..14 or 20..25). Its slider counts whole
// units for the SA/V ratios and heat contents (7..12, "whole" entries) and hundredths of the
// entry's unit for every other entry ("scaled" entries: position = 100 x value). The
// synchronized tuner scales six fuel bed entries together by a percentage of their stored
// values. Everything here is pure: no windows, no editor.

// Number of tuner slots: one per editor tuner button index 0..30.
inline constexpr int kTunerSlots = 31;

// Background colours the tuners give the editor's boxes, as 0xRRGGBB.
inline constexpr quint32 kEntryWhite = 0xFFFFFF;
inline constexpr quint32 kEntryTunedYellow = 0xFFFF00; // the box a focused slider drives
inline constexpr quint32 kEntryOutOfRange = 0xFFC0C0;  // the editor's failed range check

struct TunerRange
{
    int min = 0;
    int max = 0;
    QString minLabel;
    QString maxLabel;
    bool whole = false; // slider counts whole units instead of hundredths
    int scale = 100;    // slider positions per unit of the entry (1 for whole entries)

    // Tick frequency and large change of the slider.
    int step() const { return max / 10; }
};

// The range of the single tuner of editor entry index; nothing for an index without one
// (0 is the synchronized tuner; 1 and 15..19 have no tuner button).
std::optional<TunerRange> TunerRangeOf(int index);
// The same range in the units the editor shows: in metric it spans the metric values whose
// English value is in the English range, counting hundredths (tenths for the wind, whole units
// for SA/V and heat contents) of the metric unit, with the labels in that unit.
std::optional<TunerRange> TunerRangeOf(int index, Units::System s);

// Slider position of a value on the entry's scale: the value (x 100 for scaled entries)
// rounded half to even. Not clamped; may lie outside the range. A huge value gives a
// position far outside every range rather than overflowing.
long long SliderPositionOf(const TunerRange &range, double value);
// The same for an entry text, read by its leading number ("12abc" reads 12).
long long SliderPositionOf(const TunerRange &range, QStringView text);

// Where the slider starts for an entry text: SliderPositionOf clamped into the range, so an
// editor value the slider cannot show (an SA/V of 0) starts it at the nearest end.
int SliderStart(const TunerRange &range, QStringView text);

// Text of a slider position: position / scale as plain number text for scaled entries
// ("3.79", "0.05", "30"), the position itself for whole entries ("1500").
QString ValueText(const TunerRange &range, long long position);

class FuelModel;

// The value a model holds for editor entry index 2..14 (0 for any other index), in the units
// the entry box shows.
double StoredEntryValue(const FuelModel &fm, int index);

// The synchronized tuner.
namespace SyncTuner {
inline constexpr std::array<int, 6> kEntries{2, 3, 4, 5, 6, 13}; // written in this order
inline constexpr int kMin = 0;
inline constexpr int kMax = 300;
inline constexpr int kStep = kMax / 10;
inline constexpr int kStart = 100;
QString Title();

// Text written for a stored value at percentage p: (p / 100) x stored, "#0.##"
// (150 % of 2 gives "3.", 150 % of 0.6 gives "0.9", 0 % gives "0.").
QString ScaledText(int percent, double stored);
} // namespace SyncTuner

// Which tuner windows are open, and whether the editor's tuner button of an index may be
// pressed: an entry with an open tuner, and an entry the open synchronized tuner drives, are
// locked out; the synchronized button only while no tuner at all is open.
struct OpenTuners
{
    std::bitset<kTunerSlots> singles;
    bool sync = false;

    bool ButtonFree(int index) const;
};
