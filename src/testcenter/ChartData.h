#pragma once

#include "engine/FireSpread.h"
#include "testcenter/PlotHistory.h"
#include "units/Units.h"

#include <QString>

#include <optional>
#include <vector>

// The rules behind the four fire behavior charts, as plain data: which value each chart
// shows, how its y-axis maximum grows, the ten rows of a plot, where the scroll bars go after
// a plot, which history entry a clicked bar stands for, and which editor boxes a restored
// entry writes. Chart k: 0 rate of spread, 1 fireline intensity, 2 flame length, 3 size.

inline constexpr int ChartCount = 4;
inline constexpr int ChartRowCount = 10;

// "Rate of Spread (Ch/Hr)", "Fireline Intensity (BTU/Ft/Sec)", "Flame Length (feet)",
// "Size After 1 Hour (Acres)".
// Without a system: in the units the program shows (the unit setting).
QString ChartTitle(int k);
QString ChartTitle(int k, Units::System s);

// The calculator output chart k plots, converted to the system (without one: the units the
// program shows).
double ChartValue(const FireSpread &fs, int k);
double ChartValue(const FireSpread &fs, int k, Units::System s);

// The axis maximum of chart k grown over every plot of the history in the system, as if all
// had been plotted in it (the charts after a switch of units).
double ChartMaxOverHistory(const ChartState &state, int k, Units::System s);

// A value as a bar or line point shows it: rounded to one decimal through "####0.0".
double PlotValue(double value);

// The axis maximum after a plot whose edited value is c and reference value r (either may be
// missing): each one above the maximum raises it to 110 % of itself; the result is rounded up
// to a whole number and, above 1, made even, so that every bar and reference point stands
// inside its chart. It never shrinks (only Clear Graphs sets it back to 0).
double GrowChartMax(double chartMax, std::optional<double> c, std::optional<double> r);

// The maximum the axis is drawn with: a maximum of 0 (every value below 1) shows up to 1, so
// that small bars stay visible.
double DisplayedAxisMax(double chartMax);

// Tick count and label format that put the labels of an axis from 0 to max on round numbers.
struct AxisTicks
{
    int count;
    QString labelFormat;
};
AxisTicks AxisTicksFor(double max);

struct ChartRow
{
    int position = 0;                // history position (row label)
    QString label;                   // the position as text
    std::optional<double> value;     // edited model; empty beyond the history
    std::optional<double> reference; // reference model; empty unless plotted and in the history
};

// The ten rows of chart k starting at history position first; positions beyond last or
// beyond a history are empty, the reference only when plotReference is set.
std::vector<ChartRow> ChartRows(const ChartState &state, int k, int first, int last, bool plotReference);

struct ScrollSetting
{
    int minimum;
    int maximum;
    int value;
};

// Where the scroll bars go after a plot that was not made by scrolling: with more than ten
// entries they page 1 .. count - 9 and show the newest ten; otherwise they stay as they are.
std::optional<ScrollSetting> ScrollAfterPlot(int count);

// History position of the bar in row (0-based) while the rows start at firstPoint; empty when
// that position holds no entry.
std::optional<int> HistoryEntryForBar(int firstPoint, int row, int count);

// One write into an editor control when a plotted entry is restored, in the order they must
// happen. Text boxes and the slope combo get text, the herb type and wind adjustment combos a
// list position.
struct EntryWrite
{
    enum class Kind { Text, ListIndex };
    QString control; // objectName: "txtFuels_2", "cboSlope", "txtROS", ...
    Kind kind = Kind::Text;
    QString text;
    int index = -1;
    std::optional<double> english;
};
// windReduceText is the factor's text kept with the plot; when it is empty the factor is
// chosen by the list position the calculator holds. The restored boxes agree with the plot:
// the midflame wind in its "##0.0" form, the results and both fuel bed descriptors as the
// plot computed them, all in the system the editor shows; a write of a number box carries the
// English value too, so the editor can remember it (english is then set).
std::vector<EntryWrite> RefreshEntriesWrites(const FireSpread &fs, const QString &windReduceText = {},
                                             Units::System s = Units::System::English);
