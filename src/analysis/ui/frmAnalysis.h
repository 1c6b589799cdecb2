#pragma once

#include "analysis/AnalysisInputs.h"
#include "uncertainty/ResponseBands.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class CharacteristicsPanel;
class IPrompts;
class QLabel;
class GlobalSensitivityPanel;
class QTabWidget;
class ResponseCurvesPanel;
class SensitivityPanel;
class UncertaintyPanel;

// What the analysis window asks of the Edit and Test Center.
struct AnalysisHooks
{
    // The editor's entries now, as its own computation would take them.
    std::function<AnalysisInputs()> Inputs;
    // The library's models for the curve picker, set by set.
    std::function<std::vector<PickedModel>()> LibraryModels;
    // The observed fires loaded for calibration (none when no hook or none loaded).
    std::function<std::vector<ObservedFire>()> ObservedFires;
    // The editor's prompts, for the panels' export dialogs and messages (Qt's own without them).
    IPrompts *Prompts = nullptr;
};

// The analysis window of one editor: tabs "Response Curves", "Sensitivity", "Fire
// Characteristics", "Uncertainty" and "Global Sensitivity" over the edited model. The editor calls EntriesChanged whenever an entry,
// a list or the reference model changes; the window recomputes once the events of that change
// are handled (a tuner drag or a paste gives one recomputation, not one per box) and only
// while it is shown. More panels can be added as tabs of Tabs().
class frmAnalysis : public QWidget
{
    Q_OBJECT
public:
    explicit frmAnalysis(AnalysisHooks hooks, QWidget *parent = nullptr);

    QTabWidget *Tabs() const { return m_tabs; }
    ResponseCurvesPanel *Curves() const { return m_curves; }
    SensitivityPanel *Sensitivity() const { return m_sensitivity; }
    CharacteristicsPanel *Characteristics() const { return m_characteristics; }
    // Shown above the tabs while the editor's entries are refused: the charts then keep the
    // last entries that held their ranges, and this note says so and names the entry.
    QLabel *RefusedNote() const { return m_refusedNote; }
    UncertaintyPanel *Uncertainty() const { return m_uncertainty; }
    GlobalSensitivityPanel *GlobalSensitivity() const { return m_global; }

    // Schedules a recomputation (coalesced).
    void EntriesChanged();
    // Recomputes every panel now.
    void RefreshNow();
    // The library changed: the picker lists its models again.
    void LibraryChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    AnalysisHooks m_hooks;
    QTabWidget *m_tabs = nullptr;
    ResponseCurvesPanel *m_curves = nullptr;
    SensitivityPanel *m_sensitivity = nullptr;
    CharacteristicsPanel *m_characteristics = nullptr;
    QLabel *m_refusedNote = nullptr;
    UncertaintyPanel *m_uncertainty = nullptr;
    GlobalSensitivityPanel *m_global = nullptr;
    QTimer m_pending;
};
