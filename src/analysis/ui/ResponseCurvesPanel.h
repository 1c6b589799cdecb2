#pragma once

#include "analysis/AnalysisInputs.h"
#include "analysis/Sweep.h"
#include "data/CsvTable.h"
#include "uncertainty/ResponseBands.h"

#include <QFutureWatcher>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class ChartExporter;
class ChartReadout;
class QAreaSeries;
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
// wind limit caps the fire. Around the edited model's curve, the 5-95 % and 25-75 % bands of
// its outputs while the inputs of the Uncertainty tab vary (computed off the window's thread;
// the previous bands stay, dimmed, until the new ones are ready). The panel computes nothing
// until Refresh gives it inputs.
class ResponseCurvesPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ResponseCurvesPanel(QWidget *parent = nullptr);
    ~ResponseCurvesPanel() override;

    // Recomputes every curve at these inputs and redraws.
    void Refresh(const AnalysisInputs &inputs);
    // The library the picker offers (positions as in the library); call again after changes.
    void SetLibrary(const std::vector<PickedModel> &models);

    // The inputs whose uncertainty the bands show (English units) and their moisture
    // correlation; takes effect at the next Refresh.
    void SetBandInputs(const std::vector<VaryingInput> &inputs, double moistureCorrelation);

    static constexpr int kMaxPicked = 5;
    static constexpr int kPoints = 200;
    // The bands are computed at fewer points than the curves, each over kBandDraws draws.
    static constexpr int kBandPoints = 41;
    static constexpr int kBandDraws = 400;

    SweepInput Input() const;
    const std::vector<ModelCurve> &Curves() const { return m_curves; }
    CsvTable Table() const;
    QChartView *Chart(int k) const { return m_views[std::size_t(k)]; }
    ChartReadout *Readout(int k) const { return m_readouts[std::size_t(k)]; }
    ChartExporter *Exporter() const { return m_exporter; }
    QWidget *ChartsArea() const { return m_chartsArea; }
    QString LegendText() const;
    QCheckBox *BandsBox() const { return m_chkBands; }
    QLabel *BandStatus() const { return m_bandStatus; }
    // The bands drawn (empty when off or without varying inputs), x in English units.
    const std::vector<BandPoint> &Bands() const { return m_bands; }
    bool BandsComputing() const { return m_bandWatcher.isRunning(); }
    // The band areas of chart k: 0 the 5-95 %, 1 the 25-75 %.
    QAreaSeries *BandArea(int chart, int which) const { return m_bandAreas[std::size_t(chart)][std::size_t(which)]; }

signals:
    // New bands are drawn.
    void BandsShown();
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
    struct BandRequest
    {
        UncertaintyPoint point;
        std::vector<VaryingInput> inputs;
        InputKey swept;
        std::vector<double> xs;
        BandOptions options;
    };
    struct BandOutcome
    {
        InputKey swept;
        std::vector<BandPoint> bands;
        std::string problem;
    };
    void requestBands();
    void startBands();
    void bandsDone();
    void drawBands();
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

    QCheckBox *m_chkBands = nullptr;
    QLabel *m_bandStatus = nullptr;
    std::vector<VaryingInput> m_bandInputs;
    double m_bandCorrelation = 0.9;
    std::array<std::array<QAreaSeries *, 2>, 4> m_bandAreas{};
    std::vector<BandPoint> m_bands;
    QFutureWatcher<BandOutcome> m_bandWatcher;
    std::optional<BandRequest> m_bandPending;
};

// Colours of the curves in their order (edited, reference, picked ...).
QColor CurveColour(int position);
