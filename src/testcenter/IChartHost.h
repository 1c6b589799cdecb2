#pragma once

#include "engine/FireSpread.h"
#include "testcenter/ChartData.h"

#include <QString>

#include <memory>
#include <vector>

// What the chart logic needs of the Edit and Test Center and of the chart widgets: the entry
// checks and computation of the editor, its last calculator objects and reference result
// boxes, the restoring of entries, the result tabs, and the four charts with their scroll
// bars and reference legends. The window implements it; tests use a fake.
class IChartHost
{
public:
    virtual ~IChartHost() = default;

    // Editor
    virtual bool EntriesOK() = 0;
    virtual bool EnvEntriesOK() = 0;
    virtual void Compute() = 0;
    virtual std::shared_ptr<FireSpread> CurrentFireSpread() const = 0;
    virtual std::shared_ptr<FireSpread> ReferenceFireSpread() const = 0;
    // Texts of the reference fireline intensity and flame length boxes (txtRefFLI, txtRefFL).
    virtual QString RefFLIText() const = 0;
    virtual QString RefFLText() const = 0;
    // Text of the wind adjustment factor (cboWindReduce), kept with each plot; empty when the
    // host has none, and a restored plot then chooses the factor by its list position.
    virtual QString WindReduceText() const { return {}; }
    // Writes the restored entries into the editor's controls, in order.
    virtual void WriteEntries(const std::vector<EntryWrite> &writes) = 0;
    virtual int CurrentTab() const = 0;
    virtual void SetCurrentTab(int tab) = 0;

    // Charts
    virtual bool PlotReferenceChecked() const = 0;
    virtual void ShowChart(int k, const std::vector<ChartRow> &rows, double axisMax) = 0;
    // Back to ten empty rows with the axis up to 10.
    virtual void ClearChart(int k) = 0;
    virtual void SetScrollRange(int k, int minimum, int maximum) = 0;
    // Setting a new value reports it through ChartController::hscChart_Change, like a user's
    // move; setting the value a bar already has reports nothing.
    virtual void SetScrollValue(int k, int value) = 0;
    virtual void ShowReferenceLegends(bool shown) = 0;
    // Whether there is anything to export (the window enables its export command).
    virtual void HistoryChanged(int count) = 0;
};
