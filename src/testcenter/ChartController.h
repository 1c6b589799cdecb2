#pragma once

#include "testcenter/IChartHost.h"
#include "testcenter/PlotHistory.h"

#include <QString>

// The behaviour of the fire behavior charts: Plot from the editor or a tuner, PlotCharts with
// the growing axis maxima and the ten rows, paging with the scroll bars kept in step, the
// reference line switch, Clear Graphs, and restoring the entries of a clicked bar. It works on
// a ChartState (normally gChartState) and drives the window through IChartHost. Nothing here
// throws; an entry check that fails stops Plot after the editor has shown its message.
class ChartController
{
public:
    ChartController(ChartState &state, IChartHost &host);

    // The editor has loaded: both histories start empty, the axes and scroll bars fresh.
    void EditorLoaded();

    // The editor's Plot button: both entry checks, Compute, append, show the newest ten,
    // leave the reference model tab for the first chart.
    void cmdPlot_Click();
    // A tuner's Plot button: both entry checks, Compute, append, show the newest ten; no tab
    // change.
    void PlotFromTuner();
    // Redraws all four charts for history positions first to last.
    void PlotCharts(int first, int last, bool fromScroll);

    void hscChart_Change(int k, int value);
    void chkPlotRefFM_Click(bool checked);
    // Clear Graphs; also run whenever a reference model is chosen. Empties both histories and
    // sets the axis maxima and the scroll bars back to a fresh start, whatever was plotted.
    void cmdClearGraph_Click();
    // A bar of the edited model was clicked (row 0-based within the shown ten).
    void EditedBarClicked(int row);
    // Restores the editor from history entry k (1-based).
    void RefreshEntries(int k);
    // The program switched units: the axis maxima are grown again over the whole history in the
    // new units and the shown plots redrawn.
    void UnitsChanged();

    const ChartState &State() const { return m_state; }

private:
    void appendComputed();
    void ClearAll();

    ChartState &m_state;
    IChartHost &m_host;
};
