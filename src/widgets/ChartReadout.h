#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

#include <functional>

class QAbstractBarSeries;
class QBarSet;
class QChartView;
class QGraphicsEllipseItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QXYSeries;

// The value readout under the mouse of one chart view: moving the mouse over the plot shows,
// in a small box beside the nearest data point of a visible line or scatter series (within
// 24 pixels), that point's values; bar series report their hovered bar. The text comes from
// a formatter the chart's owner may set (to show every result of a swept point); the default
// names the series and gives x and y with the axis titles, which carry the units. Leaving
// the plot hides the box.
class ChartReadout : public QObject
{
    Q_OBJECT
public:
    using PointFormatter = std::function<QString(QXYSeries *series, int index)>;
    using BarFormatter = std::function<QString(QBarSet *set, int index)>;

    explicit ChartReadout(QChartView *view);

    void SetPointFormatter(PointFormatter f) { m_pointFormatter = std::move(f); }
    void SetBarFormatter(BarFormatter f) { m_barFormatter = std::move(f); }
    // Bar series report hovering themselves; call once per bar series of the chart.
    void AttachBars(QAbstractBarSeries *series);

    // What the box shows now; empty when hidden.
    QString Text() const { return m_text; }
    // Shows the readout of the point nearest to a position in view coordinates, as a mouse
    // move there does. False (box hidden) when no point is near enough.
    bool ShowNearest(const QPointF &viewPosition);
    void Hide();

    static constexpr double kPickRadius = 24;

signals:
    void ReadoutChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString defaultPointText(QXYSeries *series, int index) const;
    void showAt(const QPointF &scenePoint, const QString &text);

    QChartView *m_view;
    // Kept from the start: while the view is destroyed its viewport still sends events here,
    // and the view is then no longer a chart view to ask for it.
    QWidget *m_viewport;
    PointFormatter m_pointFormatter;
    BarFormatter m_barFormatter;
    QString m_text;
    QGraphicsRectItem *m_box = nullptr;
    QGraphicsSimpleTextItem *m_label = nullptr;
    QGraphicsEllipseItem *m_mark = nullptr;
};
