#include "widgets/ChartReadout.h"

#include "data/CsvTable.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QEvent>
#include <QGraphicsEllipseItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QPen>
#include <QValueAxis>
#include <QXYSeries>

#include <cmath>
#include <limits>

namespace {

QString axisTitle(QXYSeries *series, Qt::Orientation o, const QString &fallback)
{
    const auto axes = series->attachedAxes();
    for (QAbstractAxis *a : axes)
        if (a->orientation() == o && !a->titleText().isEmpty())
            return a->titleText();
    return fallback;
}

} // namespace

ChartReadout::ChartReadout(QChartView *view) : QObject(view), m_view(view), m_viewport(view->viewport())
{
    view->setMouseTracking(true);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);

    QChart *chart = view->chart();
    m_box = new QGraphicsRectItem(chart);
    m_box->setBrush(QColor(255, 255, 240, 235));
    m_box->setPen(QPen(QColor(90, 90, 90)));
    m_box->setZValue(20);
    m_label = new QGraphicsSimpleTextItem(m_box);
    m_mark = new QGraphicsEllipseItem(chart);
    m_mark->setPen(QPen(Qt::black, 1.5));
    m_mark->setBrush(Qt::NoBrush);
    m_mark->setZValue(19);
    m_box->hide();
    m_mark->hide();
}

void ChartReadout::AttachBars(QAbstractBarSeries *series)
{
    connect(series, &QAbstractBarSeries::hovered, this, [this, series](bool status, int index, QBarSet *set) {
        if (!status) {
            Hide();
            return;
        }
        QString text;
        if (m_barFormatter) {
            text = m_barFormatter(set, index);
        } else {
            QString category = QString::number(index + 1);
            for (QAbstractAxis *a : series->attachedAxes())
                if (auto *cats = qobject_cast<QBarCategoryAxis *>(a); cats && index < cats->count())
                    category = cats->at(index);
            text = QStringLiteral("%1, %2: %3").arg(set->label(), category, TableNumber(set->at(index), 3));
        }
        const QPointF scene = m_view->mapToScene(m_view->viewport()->mapFromGlobal(QCursor::pos()));
        showAt(m_view->chart()->mapFromScene(scene), text);
        m_mark->hide();
    });
}

QString ChartReadout::defaultPointText(QXYSeries *series, int index) const
{
    const QPointF p = series->at(index);
    QStringList lines;
    if (!series->name().isEmpty())
        lines << series->name();
    lines << QStringLiteral("%1: %2").arg(axisTitle(series, Qt::Horizontal, QStringLiteral("x")),
                                          TableNumber(p.x(), 3));
    lines << QStringLiteral("%1: %2").arg(axisTitle(series, Qt::Vertical, QStringLiteral("y")), TableNumber(p.y(), 3));
    return lines.join(u'\n');
}

bool ChartReadout::ShowNearest(const QPointF &viewPosition)
{
    QChart *chart = m_view->chart();
    const QPointF chartPos = chart->mapFromScene(m_view->mapToScene(viewPosition.toPoint()));
    if (!chart->plotArea().adjusted(-kPickRadius, -kPickRadius, kPickRadius, kPickRadius).contains(chartPos)) {
        Hide();
        return false;
    }
    QXYSeries *best = nullptr;
    int bestIndex = -1;
    QPointF bestPos;
    double bestDistance = std::numeric_limits<double>::max();
    bool anyPoints = false;
    for (QAbstractSeries *s : chart->series()) {
        auto *xy = qobject_cast<QXYSeries *>(s);
        if (!xy || !xy->isVisible() || xy->attachedAxes().size() < 2)
            continue;
        const int n = xy->count();
        anyPoints = anyPoints || n > 0;
        for (int i = 0; i < n; ++i) {
            const QPointF value = xy->at(i);
            if (!std::isfinite(value.x()) || !std::isfinite(value.y()))
                continue;
            const QPointF pos = chart->mapToPosition(value, xy);
            const double d = std::hypot(pos.x() - chartPos.x(), pos.y() - chartPos.y());
            if (d < bestDistance) {
                bestDistance = d;
                best = xy;
                bestIndex = i;
                bestPos = pos;
            }
        }
    }
    // A chart of bars only: its series report hovering themselves.
    if (!anyPoints)
        return false;
    if (!best || bestDistance > kPickRadius) {
        Hide();
        return false;
    }
    const QString text = m_pointFormatter ? m_pointFormatter(best, bestIndex) : defaultPointText(best, bestIndex);
    m_mark->setRect(bestPos.x() - 5, bestPos.y() - 5, 10, 10);
    m_mark->show();
    showAt(bestPos, text);
    return true;
}

void ChartReadout::showAt(const QPointF &chartPoint, const QString &text)
{
    m_label->setText(text);
    const QRectF textRect = m_label->boundingRect();
    const QSizeF size(textRect.width() + 10, textRect.height() + 8);
    // Beside the point, flipped to the other side where it would leave the chart.
    const QRectF bounds = m_view->chart()->rect();
    QPointF topLeft = chartPoint + QPointF(12, -size.height() - 6);
    if (topLeft.x() + size.width() > bounds.right())
        topLeft.setX(chartPoint.x() - size.width() - 12);
    if (topLeft.y() < bounds.top())
        topLeft.setY(chartPoint.y() + 12);
    topLeft.setX(std::max(bounds.left(), topLeft.x()));
    topLeft.setY(std::min(std::max(bounds.top(), topLeft.y()), bounds.bottom() - size.height()));
    m_box->setRect(QRectF(QPointF(0, 0), size));
    m_box->setPos(topLeft);
    m_label->setPos(5, 4);
    m_box->show();
    if (text != m_text) {
        m_text = text;
        emit ReadoutChanged(m_text);
    }
}

void ChartReadout::Hide()
{
    m_box->hide();
    m_mark->hide();
    if (!m_text.isEmpty()) {
        m_text.clear();
        emit ReadoutChanged(m_text);
    }
}

bool ChartReadout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport) {
        if (event->type() == QEvent::MouseMove)
            ShowNearest(static_cast<QMouseEvent *>(event)->position());
        else if (event->type() == QEvent::Leave)
            Hide();
        else if (event->type() == QEvent::Destroy)
            m_viewport = nullptr; // the view is going: nothing of it is to be touched any more
    }
    return QObject::eventFilter(watched, event);
}
