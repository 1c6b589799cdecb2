#pragma once

#include "analysis/AnalysisInputs.h"
#include "data/CsvTable.h"

#include <QWidget>

class ChartExporter;
class ChartReadout;
class QAbstractSeries;
class QChart;
class QLineSeries;
class QScatterSeries;
class QChartView;
class QValueAxis;

// The fire characteristics tab: heat per unit area across, rate of spread up, the curves of
// 2, 4, 8 and 11 ft flame length (each with its fireline intensity), and as points the edited
// model, the reference model and every plot of the history labelled with its plot number.
class CharacteristicsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CharacteristicsPanel(QWidget *parent = nullptr);

    void Refresh(const AnalysisInputs &inputs);

    const std::vector<CharacteristicPoint> &Points() const { return m_points; }
    CsvTable Table() const;
    QChartView *Chart() const { return m_view; }
    QValueAxis *AxisX() const { return m_axisX; }
    QValueAxis *AxisY() const { return m_axisY; }
    ChartExporter *Exporter() const { return m_exporter; }

private:
    void addSeries(QAbstractSeries *series);
    void deleteSeries(QAbstractSeries *series);
    static void setName(QAbstractSeries *series, const QString &name);

    std::vector<CharacteristicPoint> m_points;
    // Made on the first refresh that needs them, then refilled: a curve and its name label per
    // flame length, a dot per point (edited, reference, plots).
    std::vector<QLineSeries *> m_curveLines;
    std::vector<QScatterSeries *> m_curveLabels;
    std::vector<QScatterSeries *> m_dots;
    QString m_editedSet, m_referenceSet;
    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    ChartReadout *m_readout = nullptr;
    ChartExporter *m_exporter = nullptr;
};
