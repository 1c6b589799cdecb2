#pragma once

#include "analysis/AnalysisInputs.h"
#include "analysis/Sensitivity.h"
#include "data/CsvTable.h"

#include <QWidget>

#include <array>

class ChartExporter;
class ChartReadout;
class QBarCategoryAxis;
class QBarSet;
class QHorizontalBarSeries;
class QChart;
class QChartView;
class QLabel;
class QSpinBox;
class QValueAxis;

// The sensitivity tab: for the edited model at the current environment, each of its 13 fuel
// parameters lowered and raised by the chosen percentage (clamped to the entry's range; a
// clamped parameter is starred and named below the charts), and the resulting change of rate
// of spread and of flame length in percent as two horizontal bar charts, the parameter with
// the largest effect on top.
class SensitivityPanel : public QWidget
{
    Q_OBJECT
public:
    explicit SensitivityPanel(QWidget *parent = nullptr);

    void Refresh(const AnalysisInputs &inputs);

    const SensitivityResult &Result() const { return m_result; }
    CsvTable Table() const;
    QSpinBox *PercentBox() const { return m_percent; }
    QChartView *Chart(int k) const { return m_views[std::size_t(k)]; }
    QStringList Categories() const;
    // The line under the bars: the model, its base rate of spread and flame length, and the
    // clamped parameters.
    QString ClampNote() const;
    // The bar sets of chart k: lowered (-) and raised (+), one bar per category.
    QBarSet *LoweredBars(int k) const { return m_low[std::size_t(k)]; }
    QBarSet *RaisedBars(int k) const { return m_high[std::size_t(k)]; }
    ChartExporter *Exporter() const { return m_exporter; }

signals:
    void SettingsChanged();

private:
    void redraw();
    QString barText(std::size_t chart, QBarSet *set, int index) const;

    SensitivityResult m_result;
    // The model the bars are of, as the other panels' legends name it: "ID (edited), set NAME".
    QString m_modelName;
    FireSpread m_base;
    QSpinBox *m_percent = nullptr;
    QLabel *m_note = nullptr;
    QWidget *m_chartsArea = nullptr;
    std::array<QChartView *, 2> m_views{};
    std::array<QChart *, 2> m_charts{};
    std::array<QBarCategoryAxis *, 2> m_axisY{};
    std::array<QValueAxis *, 2> m_axisX{};
    std::array<QHorizontalBarSeries *, 2> m_series{};
    std::array<QBarSet *, 2> m_low{};
    std::array<QBarSet *, 2> m_high{};
    std::array<ChartReadout *, 2> m_readouts{};
    ChartExporter *m_exporter = nullptr;
};
