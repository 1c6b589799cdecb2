#pragma once

#include "analysis/AnalysisInputs.h"
#include "analysis/CsvTable.h"

#include <QWidget>

class ChartExporter;
class ChartReadout;
class QChart;
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
    std::vector<CharacteristicPoint> m_points;
    QString m_editedSet, m_referenceSet;
    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    ChartReadout *m_readout = nullptr;
    ChartExporter *m_exporter = nullptr;
};
