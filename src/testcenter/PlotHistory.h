#pragma once

#include "engine/FireSpread.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

// The program-wide state of the fire behavior charts: one calculator object per plot for the
// edited model and for the reference model (same positions, counted from 1 on screen), the
// growing y-axis maximum of each of the four charts, the history position of the first row
// shown, and the two flags that keep the scroll bars from re-plotting or re-syncing while code
// moves them. The histories own their entries; nothing here can fail.
struct ChartState
{
    std::vector<std::shared_ptr<FireSpread>> CurrentPlotHistory;
    std::vector<std::shared_ptr<FireSpread>> ReferencePlotHistory;
    // The wind adjustment factor's text of each plot, same positions: a typed factor is no
    // list position, and a restored plot must show the factor it was computed with.
    std::vector<QString> WindReduceTexts;
    std::array<double, 4> ChartMax{};
    int ChartFirstPoint = 0;
    bool SuppressScrollPlot = false;
    bool SuppressScrollSync = false;

    int Count() const { return int(CurrentPlotHistory.size()); }
    // History entry at position (1-based), or null when the position is outside the history.
    const FireSpread *Current(int position) const;
    const FireSpread *Reference(int position) const;
    // Factor text of the plot at position; empty when none was kept.
    QString WindReduceText(int position) const;
};

// The charts' state of the running program (shared by the editor and the tuner windows).
extern ChartState gChartState;

// Empty histories, maxima 0, flags cleared: the state of a fresh start.
void ResetChartState();
