#pragma once

#include "analysis/AnalysisInputs.h"
#include "data/CsvTable.h"
#include "analysis/Sweep.h"

#include <QWidget>

#include <array>
#include <vector>

class ChartExporter;
class ChartReadout;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QScatterSeries;
class QValueAxis;

// The response curves tab: rate of spread, flame length, fireline intensity and size after
// one hour against one swept input, in four charts that share the x axis. Curves for the
// edited model, the reference model (check box) and up to five models picked from the
// library; on every curve the current environment is marked, and the first point where the
// wind limit caps the fire. The panel computes nothing until Refresh gives it inputs.
class ResponseCurvesPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ResponseCurvesPanel(QWidget *parent = nullptr);

    // Recomputes every curve at these inputs and redraws.
    void Refresh(const AnalysisInputs &inputs);
    // The library the picker offers (positions as in the library); call again after changes.
    void SetLibrary(const std::vector<PickedModel> &models);

    static constexpr int kMaxPicked = 5;
    static constexpr int kPoints = 200;

    SweepInput Input() const;
    const std::vector<ModelCurve> &Curves() const { return m_curves; }
    CsvTable Table() const;
    QChartView *Chart(int k) const { return m_views[std::size_t(k)]; }
    ChartReadout *Readout(int k) const { return m_readouts[std::size_t(k)]; }
    ChartExporter *Exporter() const { return m_exporter; }
    QWidget *ChartsArea() const { return m_chartsArea; }
    QString LegendText() const;

signals:
    // The picked models or the range changed: the owner refreshes with current inputs.
    void SettingsChanged();

private:
    void inputChosen();
    void addPicked();
    void removePicked();
    // The series of one curve in one chart: its line, the current environment's dot and the
    // wind limit's square (each empty when not shown).
    struct CurveSeries
    {
        QLineSeries *line = nullptr;
        QScatterSeries *current = nullptr;
        QScatterSeries *limit = nullptr;
    };
    CurveSeries &seriesOf(std::size_t chart, std::size_t curve);
    void dropSeriesFrom(std::size_t chart, std::size_t count);
    void redraw();
    QString pointText(int curve, int index) const;

    AnalysisInputs m_inputs;
    bool m_haveInputs = false;
    std::vector<PickedModel> m_library;
    std::vector<PickedModel> m_picked;
    std::vector<ModelCurve> m_curves;

    QComboBox *m_cboInput = nullptr;
    QDoubleSpinBox *m_from = nullptr;
    QDoubleSpinBox *m_to = nullptr;
    QCheckBox *m_chkReference = nullptr;
    QComboBox *m_cboLibraryModel = nullptr;
    QPushButton *m_cmdAdd = nullptr;
    QPushButton *m_cmdRemove = nullptr;
    QListWidget *m_lstPicked = nullptr;
    QLabel *m_legend = nullptr;
    QLabel *m_status = nullptr;
    QWidget *m_chartsArea = nullptr;
    std::array<QChartView *, 4> m_views{};
    std::array<QChart *, 4> m_charts{};
    std::array<QValueAxis *, 4> m_axisX{};
    std::array<QValueAxis *, 4> m_axisY{};
    std::array<std::vector<CurveSeries>, 4> m_series;
    std::array<ChartReadout *, 4> m_readouts{};
    ChartExporter *m_exporter = nullptr;
};

// Colours of the curves in their order (edited, reference, picked ...).
QColor CurveColour(int position);
