#pragma once

#include "testcenter/ChartData.h"

#include <QWidget>

#include <array>
#include <vector>

class ChartReadout;
class QBarCategoryAxis;
class QBarSet;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QScrollBar;
class QValueAxis;

// One of the four fire behavior charts as it sits in its result tab: the title label, the
// chart `chtFB_k` with bars for the edited model and a line for the reference model over ten
// labelled rows, the reference legend panel `vseRef_k` with `lblRefName_k`, and the scroll
// bar `hscChart_k`. It only draws what it is given: an empty value is no bar, an empty
// reference value breaks the line (the line is made of segments between empty points), so a
// missing value is never shown as 0. The series and axes are created once and refilled.
class FireChartView : public QObject
{
    Q_OBJECT
public:
    // Fills the (empty) layout of the tab page with the chart of index k.
    FireChartView(int k, QWidget *page);

    void Show(const std::vector<ChartRow> &rows, double axisMax);
    // Ten empty rows labelled 1 to 10, axis up to 10.
    void Clear();

    QScrollBar *ScrollBar() const { return m_scroll; }
    QChartView *ChartView() const { return m_view; }
    QWidget *LegendPanel() const { return m_legend; }
    QLabel *RefNameLabel() const { return m_refName; }
    // The chart's title above it (lblChartTitle_k).
    QLabel *TitleLabel() const { return m_title; }
    // Title, chart and legend: what Copy Chart puts on the clipboard.
    QWidget *ChartArea() const { return m_area; }

    static constexpr int MaxLineSegments = ChartRowCount / 2;

    // The value readout under the mouse.
    ChartReadout *Readout() const { return m_readout; }
    // What the readout shows over a bar (reference false) or a reference point of a row.
    QString readoutText(int row, bool reference) const;

signals:
    // A bar of the edited model was clicked; row 0 to 9 within the shown ten.
    void EditedBarClicked(int row);

private:
    void showUnits();

    int m_k;
    QWidget *m_area = nullptr;
    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QBarSet *m_bars = nullptr;
    std::array<QLineSeries *, MaxLineSegments> m_line{};
    QBarCategoryAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    QScrollBar *m_scroll = nullptr;
    QWidget *m_legend = nullptr;
    QLabel *m_refName = nullptr;
    QLabel *m_title = nullptr;
    std::vector<ChartRow> m_rows;
    ChartReadout *m_readout = nullptr;
    QString m_unit;
    double m_axisMax = -1;
    QStringList m_categories;
};
