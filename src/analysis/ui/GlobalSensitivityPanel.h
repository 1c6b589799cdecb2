#pragma once

#include "analysis/AnalysisInputs.h"
#include "uncertainty/SobolIndices.h"

#include <QFutureWatcher>
#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class SobolBarsView;

// The global sensitivity tab: the first-order and total Sobol indices of rate of spread and of
// flame length for every input that varies on the uncertainty tab (drawn independently), as
// horizontal bars sorted by total index with their bootstrap 95 % intervals, and the sum of the
// first-order indices (what is left to 1 is carried by interactions). Computed off the window's
// thread; the previous result stays, dimmed, until the new one is ready.
class GlobalSensitivityPanel : public QWidget
{
    Q_OBJECT
public:
    explicit GlobalSensitivityPanel(QWidget *parent = nullptr);
    ~GlobalSensitivityPanel() override;

    void Refresh(const AnalysisInputs &inputs, const std::vector<VaryingInput> &varying);

    const SobolResult &Result() const { return m_result; }
    // The names of the inputs of the result shown, in the model's order.
    const QStringList &InputNames() const { return m_names; }
    bool IsComputing() const { return m_watcher.isRunning(); }
    bool IsStale() const;
    QComboBox *SamplesBox() const { return m_samples; }
    SobolBarsView *Bars(int k) const { return m_bars[std::size_t(k)]; }
    QLabel *SumLabel() const { return m_sum; }

signals:
    void SettingsChanged();
    void ResultShown();

protected:
    // A hidden tab only keeps the newest request; it is computed when the tab is shown.
    void showEvent(QShowEvent *event) override;

private:
    struct Request
    {
        UncertainModel model;
        SobolOptions options;
        QStringList names;
    };
    struct Computed
    {
        SobolResult result;
        QStringList names;
    };
    void startComputation();
    void showResult();

    QComboBox *m_samples = nullptr;
    std::array<SobolBarsView *, 2> m_bars{};
    QLabel *m_sum = nullptr;
    QFutureWatcher<Computed> m_watcher;
    std::optional<Request> m_pending;
    SobolResult m_result;
    QStringList m_names;
};
