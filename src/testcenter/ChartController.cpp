#include "testcenter/ChartController.h"

#include "units/UnitSetting.h"

#include "data/NumberText.h"

#include <algorithm>

ChartController::ChartController(ChartState &state, IChartHost &host) : m_state(state), m_host(host) { }

void ChartController::EditorLoaded()
{
    // A new editor session starts with fresh axes: a maximum left from the last session would
    // flatten the new bars.
    ClearAll();
}

void ChartController::appendComputed()
{
    // Copies, so that an entry keeps the inputs and outputs it was plotted with even if the
    // editor ever reused its calculator objects.
    auto keep = [](const std::shared_ptr<FireSpread> &fs) {
        return fs ? std::make_shared<FireSpread>(*fs) : std::make_shared<FireSpread>();
    };
    m_state.CurrentPlotHistory.push_back(keep(m_host.CurrentFireSpread()));
    m_state.ReferencePlotHistory.push_back(keep(m_host.ReferenceFireSpread()));
    m_state.WindReduceTexts.resize(m_state.CurrentPlotHistory.size() - 1);
    m_state.WindReduceTexts.push_back(m_host.WindReduceText());
    m_host.HistoryChanged(m_state.Count());
}

void ChartController::cmdPlot_Click()
{
    // Both checks run so that each shows its own message.
    const bool entries = m_host.EntriesOK();
    const bool env = m_host.EnvEntriesOK();
    if (!entries || !env)
        return;
    m_host.Compute();
    appendComputed();
    const int n = m_state.Count();
    PlotCharts(n - 9, n, false);
    if (m_host.CurrentTab() == 4)
        m_host.SetCurrentTab(0);
}

void ChartController::PlotFromTuner()
{
    // A tuner can leave a value out of range in a box (Reset to a starting value the slider
    // cannot show); such entries are refused here as in the editor's Plot.
    const bool entries = m_host.EntriesOK();
    const bool env = m_host.EnvEntriesOK();
    if (!entries || !env)
        return;
    m_host.Compute();
    appendComputed();
    const int n = m_state.Count();
    PlotCharts(n - 9, n, false);
}

void ChartController::PlotCharts(int first, int last, bool fromScroll)
{
    if (m_state.CurrentPlotHistory.empty())
        return;

    const std::shared_ptr<FireSpread> current = m_host.CurrentFireSpread();
    const std::shared_ptr<FireSpread> reference = m_host.ReferenceFireSpread();
    for (int k = 0; k < ChartCount; ++k) {
        std::optional<double> c, r;
        if (current)
            c = ChartValue(*current, k);
        if (k == 1)
            r = ParseLeadingNumber(m_host.RefFLIText());
        else if (k == 2)
            r = ParseLeadingNumber(m_host.RefFLText());
        else if (reference)
            r = ChartValue(*reference, k);
        m_state.ChartMax[std::size_t(k)] = GrowChartMax(m_state.ChartMax[std::size_t(k)], c, r);
    }

    first = std::max(first, 1);
    last = std::max(last, ChartRowCount);
    m_state.ChartFirstPoint = first;

    const bool plotReference = m_host.PlotReferenceChecked();
    for (int k = 0; k < ChartCount; ++k) {
        m_host.ShowChart(k, ChartRows(m_state, k, first, last, plotReference),
                         DisplayedAxisMax(m_state.ChartMax[std::size_t(k)]));
    }

    if (!fromScroll) {
        m_state.SuppressScrollSync = true;
        if (const auto scroll = ScrollAfterPlot(m_state.Count())) {
            m_state.SuppressScrollPlot = true;
            for (int k = 0; k < ChartCount; ++k) {
                m_host.SetScrollRange(k, scroll->minimum, scroll->maximum);
                m_host.SetScrollValue(k, scroll->value);
            }
        }
        m_state.SuppressScrollSync = false;
        m_state.SuppressScrollPlot = false;
    }
}

void ChartController::hscChart_Change(int k, int value)
{
    if (!m_state.SuppressScrollPlot)
        PlotCharts(value, value + 9, true);
    if (!m_state.SuppressScrollSync) {
        // The charts are drawn already: the other bars only follow.
        const bool plot = m_state.SuppressScrollPlot;
        m_state.SuppressScrollSync = true;
        m_state.SuppressScrollPlot = true;
        for (int other = 0; other < ChartCount; ++other) {
            if (other != k)
                m_host.SetScrollValue(other, value);
        }
        m_state.SuppressScrollPlot = plot;
        m_state.SuppressScrollSync = false;
    }
}

void ChartController::chkPlotRefFM_Click(bool checked)
{
    const int n = m_state.Count();
    PlotCharts(n - 9, n, false);
    m_host.ShowReferenceLegends(checked);
}

void ChartController::cmdClearGraph_Click()
{
    ClearAll();
}

void ChartController::ClearAll()
{
    // Always, also with an empty history: the maxima and the scroll range may be left from
    // plots that are gone, and a new plot must start on fresh axes on the only page there is.
    m_state.SuppressScrollPlot = true;
    m_state.SuppressScrollSync = true;
    for (int k = 0; k < ChartCount; ++k) {
        m_host.SetScrollValue(k, 1);
        m_host.SetScrollRange(k, 1, 1);
        m_host.ClearChart(k);
    }
    m_state.SuppressScrollPlot = false;
    m_state.SuppressScrollSync = false;
    m_state.CurrentPlotHistory.clear();
    m_state.ReferencePlotHistory.clear();
    m_state.WindReduceTexts.clear();
    m_state.ChartMax = {};
    m_state.ChartFirstPoint = 0;
    m_host.HistoryChanged(0);
}

void ChartController::EditedBarClicked(int row)
{
    if (const auto k = HistoryEntryForBar(m_state.ChartFirstPoint, row, m_state.Count()))
        RefreshEntries(*k);
}

void ChartController::RefreshEntries(int k)
{
    if (const FireSpread *fs = m_state.Current(k))
        m_host.WriteEntries(
            RefreshEntriesWrites(*fs, m_state.WindReduceText(k), Units::UnitSetting::instance().system()));
}

void ChartController::UnitsChanged()
{
    const Units::System s = Units::UnitSetting::instance().system();
    for (int k = 0; k < ChartCount; ++k)
        m_state.ChartMax[std::size_t(k)] = ChartMaxOverHistory(m_state, k, s);
    if (m_state.Count() > 0)
        PlotCharts(m_state.ChartFirstPoint, m_state.ChartFirstPoint + ChartRowCount - 1, true);
}
