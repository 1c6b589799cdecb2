#pragma once

#include "engine/FireSpread.h"
#include "testcenter/ChartController.h"
#include "testcenter/IChartHost.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class IPrompts;
class QBoxLayout;
class QCheckBox;
class QPushButton;
class QTabWidget;
class FireChartView;
class frmEditModel;

// What the charts call on the editor beyond the controls and entries they read.
struct ChartEditorHooks
{
    std::function<bool()> EntriesOK;
    std::function<bool()> EnvEntriesOK;
    std::function<void()> Compute;
    std::function<std::shared_ptr<FireSpread>()> CurrentFireSpread;
    std::function<std::shared_ptr<FireSpread>()> ReferenceFireSpread;
    // Writes a number box (control by objectName) with its shown text and the English value
    // behind it; false when the control is not such a box (then the text is set as usual).
    std::function<bool(const QString &control, const QString &text, double english)> WriteNumber;
    IPrompts *Prompts = nullptr; // the export's file dialog and failure message; Qt's dialogs without it
    // Where the chart commands go; without it they go below tabResults.
    QBoxLayout *CommandsLayout = nullptr;
};

// The fire behavior charts of the Edit and Test Center. Built into an editor window that has
// a QTabWidget `tabResults` whose tabs 0 to 3 are empty pages: a FireChartView in each, and
// the commands `cmdPlot` "Plot", `cmdClearGraph` "Clear Graphs", `chkPlotRefFM` "Plot
// Reference Model", `cmdExport` "Export..." and `cmdCopyChart` "Copy Chart" below the tabs.
// The editor's entries are read and written through its entry model; its other controls
// through its accessors: the reference result boxes txtRefFLI and txtRefFL, the reference
// lists cboFMSet and cboFM, and the boxes and lists that RefreshEntries writes by name
// (txtMidFlameWind, cboHerbType, cboSlope, cboWindReduce, txtROS, txtFLI, txtHeat, txtFL,
// txtCharSurfVolRatio, txtPackRatio); any other name is skipped. The behaviour lives in ChartController on gChartState; this class is its window
// side. The last EditorCharts created is the one the tuners' Plot buttons reach through
// PlotCharts and PlotFromTuner below.
class EditorCharts : public QObject, public IChartHost
{
    Q_OBJECT
public:
    EditorCharts(frmEditModel *editor, ChartEditorHooks hooks);
    ~EditorCharts() override;

    // The open editor's charts, or null.
    static EditorCharts *Active();

    ChartController &Controller() { return m_controller; }
    FireChartView *Chart(int k) const { return m_charts[std::size_t(k)]; }
    // The chart commands, for the editor's other panels that follow a plot.
    QPushButton *PlotButton() const;
    QPushButton *ClearButton() const;

    void PlotCharts(int first, int last, bool fromScroll) { m_controller.PlotCharts(first, last, fromScroll); }
    void PlotFromTuner() { m_controller.PlotFromTuner(); }
    void RefreshEntries(int k) { m_controller.RefreshEntries(k); }

public slots:
    void cmdPlot_Click() { m_controller.cmdPlot_Click(); }
    void cmdClearGraph_Click() { m_controller.cmdClearGraph_Click(); }
    void chkPlotRefFM_Click(bool checked) { m_controller.chkPlotRefFM_Click(checked); }
    void cmdExport_Click();
    void cmdCopyChart_Click();
    // The editor's reference model choice: the graphs are cleared and the legends get refLabel
    // ("Ref: " + the model), or "Ref: " + the text of cboFM when it is empty.
    void ReferenceModelChosen(const QString &refLabel = QString());

public:
    // IChartHost
    bool EntriesOK() override;
    bool EnvEntriesOK() override;
    void Compute() override;
    std::shared_ptr<FireSpread> CurrentFireSpread() const override;
    std::shared_ptr<FireSpread> ReferenceFireSpread() const override;
    QString RefFLIText() const override;
    QString RefFLText() const override;
    QString WindReduceText() const override;
    void WriteEntries(const std::vector<EntryWrite> &writes) override;
    int CurrentTab() const override;
    void SetCurrentTab(int tab) override;
    bool PlotReferenceChecked() const override;
    void ShowChart(int k, const std::vector<ChartRow> &rows, double axisMax) override;
    void ClearChart(int k) override;
    void SetScrollRange(int k, int minimum, int maximum) override;
    void SetScrollValue(int k, int value) override;
    void ShowReferenceLegends(bool shown) override;
    void HistoryChanged(int count) override;

private:
    void buildCommands();
    // The editor's control a plot writes by name (not the entry boxes), or null.
    QWidget *control(const QString &name) const;
    QString defaultExportPath();
    IPrompts &prompts();
    struct PlotExportContext exportContext() const;

    frmEditModel *m_editor;
    ChartEditorHooks m_hooks;
    QTabWidget *m_tabs = nullptr;
    std::array<FireChartView *, ChartCount> m_charts{};
    // The commands sit in the editor's layout and may go before this object when the editor
    // is destroyed.
    QPointer<QPushButton> m_plot;
    QPointer<QPushButton> m_clear;
    QPointer<QCheckBox> m_plotRef;
    QPointer<QPushButton> m_export;
    QPointer<QPushButton> m_copy;
    std::unique_ptr<IPrompts> m_ownPrompts; // when the hooks bring none
    ChartController m_controller;
};

// The open editor's charts, for the tuner windows; each does nothing when no editor is open.
void PlotCharts(int first, int last, bool fromScroll);
// A tuner's Plot: the editor's entry checks and Compute, both results appended, the newest
// ten shown.
void PlotFromTuner();

// Builds the charts into the Edit and Test Center: the commands go beside "Compute", and the
// editor's reference model choice runs Clear Graphs. Owned by the editor.
EditorCharts *AttachEditorCharts(frmEditModel *editor);
