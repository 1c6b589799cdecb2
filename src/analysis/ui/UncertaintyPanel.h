#pragma once

#include "analysis/AnalysisInputs.h"
#include "uncertainty/ResponseBands.h"
#include "uncertainty/Uncertainty.h"

#include <QFutureWatcher>
#include <QWidget>

#include <array>
#include <optional>

class HistogramView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

// The uncertainty tab: which inputs of the edited model vary and how (a table of every input
// with its distribution, presets, the user's choices kept in the settings), and the
// distribution of rate of spread, flame length and fireline intensity over the draws as
// histograms with their quantiles and mean, the chance that the flame length exceeds the
// briefing thresholds, and the chance that the model does not spread; where observed fires are
// loaded (the editor's calibration window), the share of them inside the model's 5-95 % band
// under their own environments. The draws are computed
// off the window's thread; while a newer computation runs the previous result stays, dimmed.
class UncertaintyPanel : public QWidget
{
    Q_OBJECT
public:
    explicit UncertaintyPanel(QWidget *parent = nullptr);
    ~UncertaintyPanel() override;

    void Refresh(const AnalysisInputs &inputs);
    // The observed fires whose share inside the 5-95 % band is shown (none: no such line);
    // takes effect at the next Refresh.
    void SetObservedFires(std::vector<ObservedFire> fires) { m_fires = std::move(fires); }
    // Each observed fire's band is drawn from at most this many draws.
    static constexpr int kCoverageDraws = 400;

    // The inputs ticked in the table with their distributions (English units).
    std::vector<VaryingInput> VaryingInputs() const;
    // Replaces the table's choices (and keeps them in the settings).
    void SetVaryingInputs(const std::vector<VaryingInput> &inputs);

    const UncertaintyResult &Result() const { return m_result; }
    // The observed fires inside the band at the last result (empty without observed fires).
    const std::optional<BandCoverage> &Coverage() const { return m_coverage; }
    bool IsComputing() const { return m_watcher.isRunning(); }
    bool IsStale() const;
    QString Problem() const { return m_problem; }

    QTableWidget *InputsTable() const { return m_table; }
    QComboBox *PresetBox() const { return m_preset; }
    QSpinBox *DrawsBox() const { return m_draws; }
    QDoubleSpinBox *CorrelationBox() const { return m_correlation; }
    QLineEdit *ThresholdsBox() const { return m_thresholds; }
    HistogramView *Histogram(int k) const { return m_histograms[std::size_t(k)]; }
    QLabel *SummaryLabel() const { return m_summary; }

signals:
    void SettingsChanged();
    // A computation has finished and its result is shown.
    void ResultShown();

protected:
    // A hidden tab only keeps the newest request; it is computed when the tab is shown.
    void showEvent(QShowEvent *event) override;

private:
    struct Request
    {
        UncertainModel model;
        UncertaintyOptions options;
        std::vector<VaryingInput> inputs;
        std::vector<ObservedFire> fires;
    };
    struct Outcome
    {
        UncertaintyResult result;
        std::optional<BandCoverage> coverage;
        std::string coverageProblem;
    };
    void startComputation();
    void showResult();
    void fillTable(const std::vector<VaryingInput> &inputs);
    void saveSettings() const;
    std::vector<double> thresholdsFeet() const;

    QTableWidget *m_table = nullptr;
    QComboBox *m_preset = nullptr;
    QSpinBox *m_draws = nullptr;
    QDoubleSpinBox *m_correlation = nullptr;
    QLineEdit *m_thresholds = nullptr;
    std::array<HistogramView *, 3> m_histograms{};
    QLabel *m_summary = nullptr;
    bool m_filling = false;

    QFutureWatcher<Outcome> m_watcher;
    std::optional<Request> m_pending;
    UncertaintyResult m_result;
    std::optional<BandCoverage> m_coverage;
    std::vector<ObservedFire> m_fires;
    QString m_problem;
};
